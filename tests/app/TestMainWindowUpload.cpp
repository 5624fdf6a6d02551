// A video added through the media strip's "+" of the real main window, connected to a simulated
// screen: the 1080p clip is trimmed and cropped as the dialog answered, lands in the library and
// the Background folder, and the screen then shows the cropped picture. No frame reaches the
// screen while the video is being framed and transcoded.

#include "app/MainWindow.h"
#include "media/VideoPlayer.h"
#include "media/pixScaleDialog.h"
#include "settings/AppPaths.h"
#include "tests/support/TestSupport.h"
#include "tests/support/device/SimScreenPeer.h"
#include "tests/support/media/MediaFixtures.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// The pictures of the screen-frame packets (0x01 messages that start 5A A5) the screen received.
int frameCount(const SimScreenPeer& screen)
{
    int count = 0;
    for (const SimScreenPeer::Message& message : screen.received()) {
        if (message.endpoint == 0x01 && message.payload.size() > 40 && uchar(message.payload[0]) == 0x5A &&
            uchar(message.payload[1]) == 0xA5)
            ++count;
    }
    return count;
}

QImage lastFramePicture(const SimScreenPeer& screen)
{
    const QList<SimScreenPeer::Message> messages = screen.received();
    for (auto it = messages.crbegin(); it != messages.crend(); ++it) {
        if (it->endpoint == 0x01 && it->payload.size() > 40 && uchar(it->payload[0]) == 0x5A)
            return QImage::fromData(it->payload.mid(40), "JPG");
    }
    return {};
}

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 180 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

bool redAt(const QImage& picture, double x, double y)
{
    return !picture.isNull() && isRed(picture.pixel(int(x * picture.width()), int(y * picture.height())));
}

} // namespace

class TestMainWindowUpload final : public QObject
{
    Q_OBJECT

    QTemporaryDir programFolder;
    QTemporaryDir simFolder;
    QTemporaryDir userFolder;

private slots:
    void initTestCase()
    {
        const QString built = TestSupport::programDir();
        QDir(programFolder.path()).mkpath(QStringLiteral("Default"));
        for (const char* name : {"defaultbgClockH.jpg", "defaultbgClockV.jpg"})
            QVERIFY(QFile::copy(built + QStringLiteral("/Default/") + QLatin1String(name),
                                programFolder.filePath(QStringLiteral("Default/")) + QLatin1String(name)));
        AppPaths::setProgramFolder(programFolder.path());
        qputenv("VORTANE_SIM_DIR", simFolder.path().toUtf8());
        QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("isPrivacyPolicyAgree"), 1);
        ini.sync();
    }

    void uploadedClipReachesTheScreenCropped()
    {
        // 2 s of 1080p whose frames carry a red marker on the top-left fifth of each side.
        vortane::test::ClipRecipe recipe;
        recipe.width = 1920;
        recipe.height = 1080;
        recipe.fps = 30;
        recipe.frameCount = 60;
        recipe.keyFrameInterval = 10;
        const QString clip = userFolder.filePath(QStringLiteral("clip.mp4"));
        QVERIFY(vortane::test::writeClip(clip, recipe));

        auto screen = std::make_unique<SimScreenPeer>(simFolder.path(), QStringLiteral("screen"));
        QVERIFY(screen->isListening());
        MainWindow window;
        Ui::MainWindow* ui = window.form();
        QTRY_VERIFY_WITH_TIMEOUT(frameCount(*screen) >= 3, 10000);
        QVERIFY(!redAt(lastFramePicture(*screen), 0.3, 0.3));
        const int itemsBefore = window.mediaLibrary().count();

        // The dialog frames the top-left 640 x 384 of the 1280 x 720 picture it shows and keeps
        // the second half of the clip.
        MediaScaleRecord record;
        record.width = 800;
        record.height = 480;
        record.canvasWidth = 640;
        record.canvasHeight = 384;
        record.ratio = 1.0;
        record.startPos = 0.5;
        record.endPos = 1.0;
        int framesDuringDialog = -1;
        MediaUpload* upload = window.mediaUpload();
        upload->setFileChooser([&](QWidget*, const QString&, const QString&, const QString&) { return clip; });
        const auto refuse = [](QWidget*, const QString&, int, int) { return MediaScaleRecord(); };
        upload->setScaleDialogs({refuse, refuse, [&](QWidget*, const QString& path, int width, int height) {
                                     [&] {
                                         QCOMPARE(path, clip);
                                         QCOMPARE(width, 800);
                                         QCOMPARE(height, 480);
                                     }();
                                     // The device gets no frames while the user frames the video.
                                     const int before = frameCount(*screen);
                                     QTest::qWait(300);
                                     framesDuringDialog = frameCount(*screen) - before;
                                     return record;
                                 }});
        ui->pushButton_bgAdd->click();
        QCOMPARE(framesDuringDialog, 0);

        // The transcoded clip is the library's new, applied item, stored by its bare name.
        QCOMPARE(window.mediaLibrary().count(), itemsBefore + 1);
        const int added = itemsBefore;
        QCOMPARE(window.mediaLibrary().path(added), QStringLiteral("clip.mp4"));
        QCOMPARE(window.mediaLibrary().record(added), record);
        QCOMPARE(window.currentMediaIndex(), added);
        const QString written = AppPaths::backgroundFolder() + QStringLiteral("/clip.mp4");
        QVERIFY(QFileInfo::exists(written));
        const QImage firstFrame = VideoPlayer::grabFrame(written, 0.0);
        QCOMPARE(firstFrame.size(), QSize(800, 480));
        // The marker (a fifth of the picture) fills two fifths of the cropped frame.
        QVERIFY(redAt(firstFrame, 0.3, 0.3));
        QVERIFY(!redAt(firstFrame, 0.5, 0.1));
        QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("bgPath%1").arg(added)).toString(), QStringLiteral("clip.mp4"));

        // Streaming resumed, and the screen shows the cropped picture.
        const int afterUpload = frameCount(*screen);
        QTRY_VERIFY_WITH_TIMEOUT(frameCount(*screen) > afterUpload + 3, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(redAt(lastFramePicture(*screen), 0.3, 0.3), 10000);
        QVERIFY(!redAt(lastFramePicture(*screen), 0.5, 0.1));
    }

    void stillGoesThroughTheCropDialog()
    {
        // The window's own dialog frames the picture: Done on the untouched dialog keeps the
        // largest centred crop of the fitted 1920 x 1080 picture.
        QImage picture(1920, 1080, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        const QString path = userFolder.filePath(QStringLiteral("wide.png"));
        QVERIFY(picture.save(path));

        MainWindow window;
        const int itemsBefore = window.mediaLibrary().count();
        window.mediaUpload()->setFileChooser(
            [&](QWidget*, const QString&, const QString&, const QString&) { return path; });
        bool shown = false;
        pixScaleDialog::setShownHook([&](pixScaleDialog& dialog) {
            shown = true;
            QTimer::singleShot(0, &dialog, &pixScaleDialog::on_pushButton_ok_clicked);
        });
        window.form()->pushButton_bgAdd->click();
        pixScaleDialog::setShownHook({});
        QVERIFY(shown);

        QCOMPARE(window.mediaLibrary().count(), itemsBefore + 1);
        QCOMPARE(window.mediaLibrary().path(itemsBefore), QStringLiteral("wide.png"));
        const MediaScaleRecord record = window.mediaLibrary().record(itemsBefore);
        QCOMPARE(record.x, -24);
        QCOMPARE(record.y, 0);
        QCOMPARE(record.width, 800);
        QCOMPARE(record.height, 480);
        QCOMPARE(record.canvasWidth, 716);
        QCOMPARE(record.canvasHeight, 428);
        QCOMPARE(record.ratio, 0.4);
        QCOMPARE(window.currentMediaIndex(), itemsBefore);
        QVERIFY(QFileInfo::exists(AppPaths::backgroundFolder() + QStringLiteral("/wide.png")));
    }
};

QTEST_MAIN(TestMainWindowUpload)
#include "TestMainWindowUpload.moc"
