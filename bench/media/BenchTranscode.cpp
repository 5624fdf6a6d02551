// What adding a video to the library costs: the transcode of a 1080p H.264 clip with a crop, the
// scale to 800 x 480 and a trim, printed beside the ffmpeg command line doing the same cut on the
// same clip in the same run (wall and CPU time, best of the runs).
//
// Run: build/<preset>/bench-bin/BenchTranscode [--seconds N] [--runs N] [--clip file.mp4]

#include "media/VideoPlayer.h"
#include "media/VideoTranscoder.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing
{
    bool ok = false;
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;
};

bool ffmpeg(const QStringList& arguments, Timing* timing = nullptr)
{
    const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("ffmpeg"),
                  QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + arguments);
    const bool ok =
        process.waitForFinished(900000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (timing) {
        timing->ok = ok;
        timing->wallSeconds = clock.elapsed() / 1000.0;
        timing->cpuSeconds = cpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    }
    return ok;
}

Timing transcode(const QString& clip, const QString& output, const MediaScaleRecord& record)
{
    QFile::remove(output);
    Timing timing;
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    vortane::media::VideoTranscoder transcoder;
    timing.ok = transcoder.run(clip, output, record) == vortane::media::VideoTranscoder::Result::Finished;
    timing.wallSeconds = clock.elapsed() / 1000.0;
    timing.cpuSeconds = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    return timing;
}

Timing best(const QVector<Timing>& runs)
{
    Timing result = runs.value(0);
    for (const Timing& run : runs) {
        if (run.ok && run.wallSeconds < result.wallSeconds) {
            result.wallSeconds = run.wallSeconds;
        }
        if (run.ok && run.cpuSeconds < result.cpuSeconds) {
            result.cpuSeconds = run.cpuSeconds;
        }
        result.ok = result.ok && run.ok;
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption secondsOption("seconds", "Length of the generated 1080p clip.", "N", "20");
    QCommandLineOption runsOption("runs", "Runs of each side; the best is printed.", "N", "2");
    QCommandLineOption clipOption("clip", "A 1920 x 1080 clip to use instead of a generated one.", "file");
    parser.addOptions({secondsOption, runsOption, clipOption});
    parser.process(app);
    if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty()) {
        std::fprintf(stderr, "the ffmpeg command is needed for the comparison\n");
        return 1;
    }
    QTemporaryDir dir;
    const int seconds = std::max(2, parser.value(secondsOption).toInt());
    const int runs = std::max(1, parser.value(runsOption).toInt());
    QString clip = parser.value(clipOption);
    if (clip.isEmpty()) {
        clip = dir.filePath(QStringLiteral("clip1080.mp4"));
        // Moving test pictures, so the encoder has real work; the bit rate of a camera clip.
        if (!ffmpeg({"-f", "lavfi", "-i", QStringLiteral("testsrc2=size=1920x1080:rate=30:duration=%1").arg(seconds),
                     "-c:v", "libx264", "-preset", "veryfast", "-b:v", "8M", "-pix_fmt", "yuv420p", clip})) {
            std::fprintf(stderr, "could not make the clip\n");
            return 1;
        }
    }

    // The dialog frames the 1280 x 720 picture: a 1000 x 600 window from (140, 60), scaled to the
    // 800 x 480 frame, trimmed to 10 % .. 90 %. On the 1080p source that is 1500 x 900 from (210, 90).
    MediaScaleRecord record;
    record.x = -140;
    record.y = -60;
    record.canvasWidth = 1000;
    record.canvasHeight = 600;
    record.width = 800;
    record.height = 480;
    record.ratio = 1.0;
    record.startPos = 0.1;
    record.endPos = 0.9;
    const double start = seconds * record.startPos;
    const double end = seconds * record.endPos;

    const QString ours = dir.filePath(QStringLiteral("ours.mp4"));
    const QString theirs = dir.filePath(QStringLiteral("ffmpeg.mp4"));
    QVector<Timing> ourRuns;
    QVector<Timing> theirRuns;
    for (int i = 0; i < runs; ++i) {
        Timing timing;
        ffmpeg({"-ss", QString::number(start), "-to", QString::number(end), "-i", clip, "-vf",
                "crop=1500:900:210:90,scale=800:480", "-c:v", "libx264", "-b:v", "4M", "-g", "10", "-an", theirs},
               &timing);
        theirRuns.append(timing);
        ourRuns.append(transcode(clip, ours, record));
    }
    const Timing our = best(ourRuns);
    const Timing their = best(theirRuns);
    std::printf("transcode of %d s 1080p, crop + scale to 800x480 + trim %.1f..%.1f s (best of %d)\n", seconds, start,
                end, runs);
    std::printf("  VideoTranscoder  wall %6.2f s  cpu %6.2f s  %s\n", our.wallSeconds, our.cpuSeconds,
                our.ok ? "" : "FAILED");
    std::printf("  ffmpeg           wall %6.2f s  cpu %6.2f s  %s\n", their.wallSeconds, their.cpuSeconds,
                their.ok ? "" : "FAILED");
    if (their.wallSeconds > 0 && their.cpuSeconds > 0) {
        std::printf("  ratio            wall %6.2fx   cpu %6.2fx   (goal: at most 1.20x)\n",
                    our.wallSeconds / their.wallSeconds, our.cpuSeconds / their.cpuSeconds);
    }
    return our.ok && their.ok ? 0 : 1;
}
