#include "tests/support/TestSupport.h"
#include "tests/support/media/MediaFixtures.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The frames the simulated screen dumped so far, in arrival order.
QStringList dumpedFrames(const QString& dump)
{
    QStringList frames;
    for (const QString& name : QDir(dump).entryList({QStringLiteral("frame-*.jpg")}, QDir::Files, QDir::Name))
        frames << dump + QLatin1Char('/') + name;
    return frames;
}

// A GIF frame index from a dumped frame: the fixture paints frame i as (i, 255 - i, 128); the
// JPEG moves each channel by a few levels at most. -1 when the frame is not a GIF frame.
int gifIndexOf(const QImage& frame)
{
    const QRgb pixel = frame.pixel(frame.width() / 2, frame.height() / 2);
    if (qAbs(qGreen(pixel) + qRed(pixel) - 255) > 6 || qAbs(qBlue(pixel) - 128) > 6)
        return -1;
    return qRed(pixel);
}

bool near(QRgb pixel, QColor colour)
{
    return qAbs(qRed(pixel) - colour.red()) < 24 && qAbs(qGreen(pixel) - colour.green()) < 24 &&
           qAbs(qBlue(pixel) - colour.blue()) < 24;
}

} // namespace

// The program as its own process streams its background medium to the simulated screen
// (vortane-screen-sim --headless --dump): the dumped frames are that medium's frames.
class TestProgramMedia final : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    QString programFolder;
    QProcess program;
    QProcess screen;

    void writeSettings(const QByteArray& items)
    {
        QFile ini(programFolder + QStringLiteral("/bgConfig.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\nisPrivacyPolicyAgree=1\nApplyStyleMode=0\n" + items);
    }

    // Starts the screen and the program; returns the dump folder.
    QString run(const QString& name)
    {
        const QString sims = work.filePath(name + QStringLiteral("-sims"));
        const QString dump = work.filePath(name + QStringLiteral("-dump"));
        const QString runtime = work.filePath(name + QStringLiteral("-runtime"));
        QDir().mkpath(sims);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(sims, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VORTANE_SIM_DIR"), sims);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("HOME"), work.path());
        screen.setProcessEnvironment(env);
        screen.start(TestSupport::programFile(QStringLiteral("vortane-screen-sim")),
                     {QStringLiteral("--headless"), QStringLiteral("--folder"), sims, QStringLiteral("--name"),
                      QStringLiteral("screen"), QStringLiteral("--dump"), dump, QStringLiteral("--dump-frames"),
                      QStringLiteral("2000")});
        if (!screen.waitForStarted())
            return {};
        QElapsedTimer wait;
        wait.start();
        while (!QFile::exists(sims + QStringLiteral("/screen.sock")) && wait.elapsed() < 10000)
            QTest::qWait(20);
        program.setProcessEnvironment(env);
        program.start(programFolder + QStringLiteral("/vortane-screen"), {QStringLiteral("min")});
        if (!program.waitForStarted())
            return {};
        return dump;
    }

    void stop()
    {
        for (QProcess* process : {&program, &screen}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                process->waitForFinished(10000);
            }
        }
    }

private slots:
    void initTestCase()
    {
        // A portable copy of the program folder, without the default library GIFs: the library
        // holds exactly the items each case stores.
        programFolder = work.filePath(QStringLiteral("program"));
        QDir().mkpath(programFolder + QStringLiteral("/Background"));
        const QString built = TestSupport::programDir();
        QVERIFY(QFile::copy(TestSupport::programFile(QStringLiteral("vortane-screen")),
                            programFolder + QStringLiteral("/vortane-screen")));
        for (const char* sub : {"Default", "Translator"}) {
            QDir().mkpath(programFolder + QLatin1Char('/') + QLatin1String(sub));
            for (const QFileInfo& file :
                 QDir(built + QLatin1Char('/') + QLatin1String(sub)).entryInfoList(QDir::Files)) {
                if (file.suffix() != QLatin1String("gif"))
                    QFile::copy(file.filePath(), programFolder + QLatin1Char('/') + QLatin1String(sub) +
                                                     QLatin1Char('/') + file.fileName());
            }
        }
        const QString bg = programFolder + QStringLiteral("/Background/");
        vortane::test::ClipRecipe clip;
        clip.width = 800;
        clip.height = 480;
        clip.frameCount = 60; // 2 s
        QVERIFY(vortane::test::writeClip(bg + QStringLiteral("clip.mp4"), clip));
        vortane::test::GifRecipe gif;
        gif.width = 40;
        gif.height = 24;
        gif.frameCount = 10;
        gif.delayCs = 8;
        QVERIFY(vortane::test::writeGif(bg + QStringLiteral("anim.gif"), gif));
        // A 400 x 240 picture of four quadrants, stored with ratio 2 on an 800 x 480 canvas.
        QImage still(400, 240, QImage::Format_RGB32);
        QPainter painter(&still);
        painter.fillRect(0, 0, 200, 120, Qt::red);
        painter.fillRect(200, 0, 200, 120, Qt::green);
        painter.fillRect(0, 120, 200, 120, Qt::blue);
        painter.fillRect(200, 120, 200, 120, Qt::white);
        painter.end();
        QVERIFY(still.save(bg + QStringLiteral("still.png")));
    }

    void cleanup() { stop(); }

    void userVideoMoves()
    {
        writeSettings("bgMaxCount=1\nbgPath0=clip.mp4\nbgScaleW0=800\nbgScaleH0=480\nbgScaleRt0=1\n");
        const QString dump = run(QStringLiteral("video"));
        QVERIFY(!dump.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(dumpedFrames(dump).size() >= 80, 30000);
        QSet<int> indexes;
        for (const QString& file : dumpedFrames(dump).mid(20)) {
            const QImage frame(file);
            QCOMPARE(frame.size(), QSize(800, 480));
            const int index = vortane::test::readFrameIndex(frame);
            QVERIFY2(index >= 0 && index < 60, qPrintable(file));
            indexes.insert(index);
        }
        QVERIFY2(indexes.size() >= 20, qPrintable(QString::number(indexes.size())));
    }

    void userGifMoves()
    {
        writeSettings("bgMaxCount=1\nbgPath0=anim.gif\nbgScaleW0=800\nbgScaleH0=480\nbgScaleCW0=40\nbgScaleCH0=24\n"
                      "bgScaleRt0=1\n");
        const QString dump = run(QStringLiteral("gif"));
        QVERIFY(!dump.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(dumpedFrames(dump).size() >= 80, 30000);
        QSet<int> indexes;
        for (const QString& file : dumpedFrames(dump).mid(20)) {
            const QImage frame(file);
            const int index = gifIndexOf(frame);
            QVERIFY2(index >= 0 && index <= 12, qPrintable(file));
            indexes.insert(index);
        }
        QVERIFY2(indexes.size() >= 5, qPrintable(QString::number(indexes.size())));
    }

    void scaledStillIsRendered()
    {
        writeSettings("bgMaxCount=1\nbgPath0=still.png\nbgScaleW0=800\nbgScaleH0=480\nbgScaleCW0=800\n"
                      "bgScaleCH0=480\nbgScaleRt0=2\n");
        const QString dump = run(QStringLiteral("still"));
        QVERIFY(!dump.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(dumpedFrames(dump).size() >= 20, 30000);
        const QImage frame(dumpedFrames(dump).last());
        QCOMPARE(frame.size(), QSize(800, 480));
        QVERIFY(near(frame.pixel(200, 120), Qt::red));
        QVERIFY(near(frame.pixel(600, 120), Qt::green));
        QVERIFY(near(frame.pixel(200, 360), Qt::blue));
        QVERIFY(near(frame.pixel(600, 360), Qt::white));
    }

    // Repeat-list: the GIF plays one pass, then the video plays through, then the GIF again. The
    // GIF's first pass may be over before the screen is found, so the dump may begin with either.
    void repeatListAdvancesThroughTheLibrary()
    {
        writeSettings("ApplyBgCycleMode=1\nApplyBgID=0\nbgMaxCount=2\n"
                      "bgPath0=anim.gif\nbgScaleW0=800\nbgScaleH0=480\nbgScaleCW0=40\nbgScaleCH0=24\nbgScaleRt0=1\n"
                      "bgPath1=clip.mp4\nbgScaleW1=800\nbgScaleH1=480\nbgScaleRt1=1\n");
        const QString dump = run(QStringLiteral("list"));
        QVERIFY(!dump.isEmpty());
        // The item shown in each dumped frame, with repeats collapsed: G, V, G, V ...
        QString order;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                order.clear();
                for (const QString& file : dumpedFrames(dump)) {
                    const QImage frame(file);
                    const QChar item = gifIndexOf(frame) >= 0                      ? QLatin1Char('G')
                                       : vortane::test::readFrameIndex(frame) >= 0 ? QLatin1Char('V')
                                                                                   : QLatin1Char('?');
                    if (item != QLatin1Char('?') && (order.isEmpty() || order.back() != item))
                        order += item;
                }
                return order.size() >= 4;
            }(),
            40000);
        QVERIFY2(order.startsWith(QLatin1String("GVGV")) || order.startsWith(QLatin1String("VGVG")), qPrintable(order));
    }
};

QTEST_MAIN(TestProgramMedia)
#include "TestProgramMedia.moc"
