// Usage: BenchBackgroundStreaming [seconds]
//
// The whole program's CPU per second while it plays a background video in its preview and streams
// it to a simulated screen, beside the ffmpeg command line doing the decoding part of that work on
// the same clip in the same run:
//   1. an 800 x 480 H.264 clip (what the transcoder writes for a library video), four overlays
//      enabled, beside `ffmpeg` decoding it to raw RGB frames;
//   2. a 1920 x 1080 clip the program fits to the 800 x 480 frame, beside `ffmpeg` decoding and
//      scaling it to 800 x 480.
// The program's share beyond decoding is the JPEG encode of every frame it sends; its cost per
// frame is measured here too (Qt's writer, quality 90, on a decoded frame of the clip). The clips
// are ffmpeg's moving test pattern; without ffmpeg, the suites' own (nearly still) fixture clips.

#include "media/VideoPlayer.h"
#include "tests/support/device/SimScreenPeer.h"
#include "tests/support/media/MediaFixtures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

QTextStream out(stdout);

qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(stat.readAll());
    const QStringList fields = text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
    return fields.value(11).toLongLong() + fields.value(12).toLongLong(); // utime + stime
}

// CPU seconds of one run of `command` (user + system of the child), or -1.
double childCpuSeconds(const QStringList& command)
{
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        std::vector<QByteArray> bytes;
        for (const QString& arg : command)
            bytes.push_back(arg.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& b : bytes)
            argv.push_back(b.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    if (wait4(pid, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Milliseconds of one Qt JPEG encode (quality 90) of `frame`.
double jpegMs(const QImage& frame)
{
    const QImage picture = frame.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    constexpr int kRounds = 50;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRounds; ++i) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "JPG");
        writer.setQuality(90);
        writer.write(picture);
    }
    return timer.nsecsElapsed() / 1e6 / kRounds;
}

struct ProgramRun
{
    double cpuPerSecond = -1;
    double fps = 0;
};

ProgramRun runProgram(const QString& programDir, const QString& clip, int seconds)
{
    QTemporaryDir folder;
    QTemporaryDir simFolder;
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::copy(programDir + QStringLiteral("/vortane-screen"), folder.filePath(QStringLiteral("vortane-screen")));
    QFile::setPermissions(folder.filePath(QStringLiteral("vortane-screen")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const char* sub : {"Default", "Translator"}) {
        QDir().mkpath(folder.filePath(QLatin1String(sub)));
        for (const QFileInfo& file :
             QDir(programDir + QLatin1Char('/') + QLatin1String(sub)).entryInfoList(QDir::Files))
            QFile::copy(file.filePath(), folder.filePath(QLatin1String(sub) + QLatin1Char('/') + file.fileName()));
    }
    QFile ini(folder.filePath(QStringLiteral("bgConfig.ini")));
    ini.open(QIODevice::WriteOnly);
    QByteArray text = "[General]\nisPrivacyPolicyAgree=1\nApplyStyleMode=0\nApplyBgCycleMode=0\nApplyBgID=4\n"
                      "bgMaxCount=5\nbgPath4=" +
                      QFile::encodeName(clip) + "\nbgScaleW4=800\nbgScaleH4=480\nbgScaleRt4=1\n";
    for (int i = 0; i < 4; ++i)
        text += "HwEnable" + QByteArray::number(i) + "=true\n";
    ini.write(text);
    ini.close();

    SimScreenPeer screen(simFolder.path(), QStringLiteral("bench"));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VORTANE_SIM_DIR"), simFolder.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("HOME"), folder.path());
    process.setProcessEnvironment(env);
    process.start(folder.filePath(QStringLiteral("vortane-screen")), {QStringLiteral("min")});
    ProgramRun run;
    if (!process.waitForStarted())
        return run;
    QElapsedTimer wait;
    wait.start();
    while (screen.received().size() < 40 && wait.elapsed() < 20000)
        QThread::msleep(20);
    const int before = screen.received().size();
    const qint64 ticksBefore = cpuTicks(process.processId());
    QElapsedTimer timer;
    timer.start();
    QThread::sleep(ulong(seconds));
    const qint64 ticksAfter = cpuTicks(process.processId());
    const double wall = timer.elapsed() / 1000.0;
    const int frames = screen.received().size() - before;
    process.terminate();
    process.waitForFinished(10000);
    run.cpuPerSecond = double(ticksAfter - ticksBefore) / double(sysconf(_SC_CLK_TCK)) / wall;
    run.fps = frames / wall;
    return run;
}

void compare(const QString& title, const QString& programDir, const QString& clip, double clipSeconds,
             const QStringList& ffmpegArgs, int seconds)
{
    const ProgramRun run = runProgram(programDir, clip, seconds);
    QStringList command = {QStringLiteral("ffmpeg"),   QStringLiteral("-v"), QStringLiteral("error"),
                           QStringLiteral("-nostdin"), QStringLiteral("-i"), clip};
    command << ffmpegArgs << QStringLiteral("-f") << QStringLiteral("rawvideo") << QStringLiteral("-y")
            << QStringLiteral("/dev/null");
    const double reference = childCpuSeconds(command);
    const double referencePerSecond = reference >= 0 ? reference / clipSeconds : -1;
    const QImage decoded = VideoPlayer::grabFrame(clip, 0.5);
    const double encodeMs = jpegMs(decoded.scaled(800, 480));
    const double encodePerSecond = encodeMs * run.fps / 1000.0;
    out << title << '\n';
    out << QStringLiteral("  program: %1 CPU s per s (%2 % of a core) streaming %3 frames/s\n")
               .arg(run.cpuPerSecond, 0, 'f', 3)
               .arg(100 * run.cpuPerSecond, 0, 'f', 1)
               .arg(run.fps, 0, 'f', 1);
    if (referencePerSecond < 0) {
        out << "  ffmpeg: not available\n";
        return;
    }
    out << QStringLiteral("  ffmpeg %1: %2 CPU s per s of clip\n")
               .arg(ffmpegArgs.join(QLatin1Char(' ')))
               .arg(referencePerSecond, 0, 'f', 3);
    out << QStringLiteral("  JPEG encode (Qt, q90): %1 ms per frame = %2 CPU s per s at the sent rate\n")
               .arg(encodeMs, 0, 'f', 2)
               .arg(encodePerSecond, 0, 'f', 3);
    const double budget = 1.3 * referencePerSecond + encodePerSecond;
    out << QStringLiteral("  goal 1.3 x ffmpeg + encode = %1; program / goal = %2\n")
               .arg(budget, 0, 'f', 3)
               .arg(run.cpuPerSecond / budget, 0, 'f', 2);
}

bool writeFixtureClips(const QString& smallClip, const QString& largeClip)
{
    vortane::test::ClipRecipe small;
    small.width = 800;
    small.height = 480;
    small.fps = 30;
    small.frameCount = 300;
    vortane::test::ClipRecipe large = small;
    large.width = 1920;
    large.height = 1080;
    if (!vortane::test::writeClip(smallClip, small) || !vortane::test::writeClip(largeClip, large)) {
        out << "could not write the clips\n";
        return false;
    }
    out << "Clips: the test suites' fixture clips (almost still), 10 s at 30 fps.\n";
    return true;
}

// ffmpeg's moving test pattern as a 10 s H.264 clip; false without ffmpeg.
bool writeTestPattern(const QString& size, const QString& file)
{
    return childCpuSeconds({QStringLiteral("ffmpeg"), QStringLiteral("-v"), QStringLiteral("error"),
                            QStringLiteral("-nostdin"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                            QStringLiteral("-i"), QStringLiteral("testsrc2=size=%1:rate=30").arg(size),
                            QStringLiteral("-t"), QStringLiteral("10"), QStringLiteral("-c:v"),
                            QStringLiteral("libx264"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                            QStringLiteral("-y"), file}) >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(2, QString::fromLocal8Bit(argv[1]).toInt()) : 10;
    const QString programDir = QStringLiteral(VORTANE_BENCH_PROGRAM_DIR);
    QTemporaryDir clips;
    const QString smallClip = clips.filePath(QStringLiteral("clip800x480.mp4"));
    const QString largeClip = clips.filePath(QStringLiteral("clip1080p.mp4"));
    if (writeTestPattern(QStringLiteral("800x480"), smallClip) &&
        writeTestPattern(QStringLiteral("1920x1080"), largeClip))
        out << "Clips: ffmpeg testsrc2 (moving), 10 s at 30 fps, H.264.\n";
    else if (!writeFixtureClips(smallClip, largeClip))
        return 1;
    out << "Overlays: four enabled in the settings (drawn only where the overlay renderer draws them).\n";
    compare(QStringLiteral("800 x 480 H.264, 30 fps"), programDir, smallClip, 10.0,
            {QStringLiteral("-pix_fmt"), QStringLiteral("rgb24")}, seconds);
    compare(QStringLiteral("1920 x 1080 H.264, 30 fps, fitted to 800 x 480"), programDir, largeClip, 10.0,
            {QStringLiteral("-vf"), QStringLiteral("scale=800:480:flags=bicubic"), QStringLiteral("-pix_fmt"),
             QStringLiteral("rgb24")},
            seconds);
    return 0;
}
