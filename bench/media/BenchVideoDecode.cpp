// How much the preview's video playback costs: CPU time per shown 1280 x 720 RGB frame of a 1080p
// H.264 clip, the latency of grabFrame, and how long stop() takes during a pause; printed beside
// the ffmpeg command line doing the same work on the same clip in the same run.

#include "media/VideoPlayer.h"
#include "tests/support/media/MediaFixtures.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

struct ToolRun
{
    bool ok = false;
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;
};

// Runs the ffmpeg command line; its CPU time is what the reaped child adds to RUSAGE_CHILDREN.
ToolRun runFfmpeg(const QStringList& arguments)
{
    ToolRun run;
    const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("ffmpeg"), QStringList{"-hide_banner", "-loglevel", "error", "-nostdin"} + arguments);
    run.ok = process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    run.wallSeconds = clock.elapsed() / 1000.0;
    run.cpuSeconds = cpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    return run;
}

// Runs the event loop (sleeping between events, so the GUI thread costs no CPU of its own) until
// `done` or the time-out.
void waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= timeoutMs) {
            loop.quit();
        }
    });
    poll.start(5);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "Length of the generated clip in seconds.", "n", "6"});
    parser.addOption({"clip", "Use this clip instead of generating one.", "file"});
    parser.process(app);

    const bool haveFfmpeg = !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
    QTemporaryDir dir;
    QString clip = parser.value("clip");
    const int seconds = std::max(1, parser.value("seconds").toInt());
    if (clip.isEmpty()) {
        clip = dir.filePath("bench-1080p.mp4");
        // Moving test patterns decode like real footage; the fixture builder's flat frames would
        // flatter the decoder, so it is only the fallback.
        const bool made =
            haveFfmpeg &&
            runFfmpeg({"-f", "lavfi", "-i", QStringLiteral("testsrc2=size=1920x1080:rate=30:duration=%1").arg(seconds),
                       "-c:v", "libx264", "-preset", "veryfast", "-crf", "20", "-pix_fmt", "yuv420p", "-y", clip})
                .ok;
        if (!made) {
            vortane::test::ClipRecipe recipe;
            recipe.width = 1920;
            recipe.height = 1080;
            recipe.frameCount = 30 * seconds;
            if (!vortane::test::writeClip(clip, recipe)) {
                std::fprintf(stderr, "cannot make the 1080p clip\n");
                return 1;
            }
        }
    }
    std::printf("clip: %s%s\n", qPrintable(clip), haveFfmpeg ? "" : " (ffmpeg not found: no reference figures)");

    // ---- playback: decode, pace and convert every shown frame ----
    VideoPlayer player;
    int shown = 0;
    int ended = 0;
    QSize shownSize;
    QObject::connect(&player, &VideoPlayer::updataImage, &app, [&](const QImage& image) {
        ++shown;
        shownSize = image.size();
    });
    QObject::connect(&player, &VideoPlayer::videoPlayStatusChange, &app, [&](PlayState) { ++ended; });
    player.setCycleMode(1);
    player.setFile(clip);
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer wall;
    wall.start();
    player.play();
    waitFor([&] { return ended > 0; }, 600000);
    const double playWall = wall.elapsed() / 1000.0;
    const double playCpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    std::printf("\nplayback (paced, %d shown frames of %dx%d in %.2f s)\n", shown, shownSize.width(),
                shownSize.height(), playWall);
    std::printf("  %-44s %8.2f ms CPU per frame  (%.2f s CPU, %.0f%% of one core)\n", "VideoPlayer",
                shown ? playCpu * 1000.0 / shown : 0.0, playCpu, playWall > 0 ? playCpu * 100.0 / playWall : 0.0);

    if (haveFfmpeg) {
        const int frames = std::max(shown, 1);
        const ToolRun scale = runFfmpeg({"-i", clip, "-vf", "scale=1280:720", "-f", "null", "-"});
        const ToolRun rgb = runFfmpeg({"-i", clip, "-vf", "scale=1280:720,format=rgb24", "-f", "null", "-"});
        const ToolRun rgbOneThread = runFfmpeg({"-threads", "1", "-i", clip, "-vf", "scale=1280:720,format=rgb24",
                                                "-filter_threads", "1", "-f", "null", "-"});
        std::printf("  %-44s %8.2f ms CPU per frame  (%.2f s CPU, unpaced %.2f s)\n",
                    "ffmpeg -i clip -vf scale=1280:720 -f null -", scale.cpuSeconds * 1000.0 / frames, scale.cpuSeconds,
                    scale.wallSeconds);
        std::printf("  %-44s %8.2f ms CPU per frame  (%.2f s CPU, unpaced %.2f s)\n", "  same, to rgb24",
                    rgb.cpuSeconds * 1000.0 / frames, rgb.cpuSeconds, rgb.wallSeconds);
        std::printf("  %-44s %8.2f ms CPU per frame  (%.2f s CPU, unpaced %.2f s)\n", "  same, to rgb24, one thread",
                    rgbOneThread.cpuSeconds * 1000.0 / frames, rgbOneThread.cpuSeconds, rgbOneThread.wallSeconds);
    }

    // ---- grabFrame at the middle ----
    std::vector<double> grabMs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        const QImage frame = VideoPlayer::grabFrame(clip, 0.5);
        grabMs.push_back(clock.nsecsElapsed() / 1e6);
        if (frame.isNull()) {
            std::printf("grabFrame failed\n");
            break;
        }
    }
    std::printf("\ngrabFrame(clip, 0.5), median of %zu\n", grabMs.size());
    std::printf("  %-44s %8.1f ms\n", "VideoPlayer::grabFrame", median(grabMs));
    if (haveFfmpeg) {
        std::vector<double> toolMs;
        const QString middle = QString::number(player.durationUs() / 2e6, 'f', 3);
        for (int i = 0; i < 5; ++i) {
            toolMs.push_back(runFfmpeg({"-ss", middle, "-i", clip, "-frames:v", "1", "-vf",
                                        "scale=1280:720,format=rgb24", "-f", "null", "-"})
                                 .wallSeconds *
                             1000.0);
        }
        std::printf("  %-44s %8.1f ms (includes process start)\n", "ffmpeg -ss mid -i clip -frames:v 1 ...",
                    median(toolMs));
    }

    // ---- stop() while paused ----
    std::vector<double> stopMs;
    for (int i = 0; i < 5; ++i) {
        int frames = 0;
        auto connection = QObject::connect(&player, &VideoPlayer::updataImage, &app, [&](const QImage&) { ++frames; });
        player.setCycleMode(0);
        player.setFile(clip);
        player.play();
        waitFor([&] { return frames > 0; }, 10000);
        player.pause();
        waitFor([] { return false; }, 100);
        QElapsedTimer clock;
        clock.start();
        player.stop();
        stopMs.push_back(clock.nsecsElapsed() / 1e6);
        QObject::disconnect(connection);
    }
    std::printf("\nstop() while paused, median of %zu: %.1f ms\n", stopMs.size(), median(stopMs));
    return 0;
}
