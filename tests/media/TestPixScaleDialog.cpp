// The crop-and-scale dialog: the record each runner returns for a still, a GIF and a video (and for
// Cancel), Escape that does not close it, quarter turns (also of the frames that arrive while a
// medium plays), and that the picture inside the crop rectangle is what the renderer makes of the
// record.

#include "media/ImageLabel.h"
#include "media/MediaFiles.h"
#include "media/VideoPlayer.h"
#include "media/VideoTimeline.h"
#include "media/pixScaleDialog.h"
#include "tests/support/media/MediaFixtures.h"
#include "widgets/MaskOverlay.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(MediaScaleRecord)

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void drag(QWidget* widget, QPoint from, QPoint delta)
{
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, from + delta, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, from + delta, Qt::NoButton);
}

void wheel(QWidget* widget, QPoint pos, int delta)
{
    QWheelEvent event(QPointF(pos), QPointF(widget->mapToGlobal(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// Red rises and falls along x, green along y, each in a triangle wave of 256 pixels: every pixel
// tells where it came from to within a few pixels, and a picture placed or turned wrongly reads
// differently.
int triangle(int v)
{
    const int phase = v % 256;
    return phase < 128 ? phase * 2 : (255 - phase) * 2;
}

QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(triangle(x), triangle(y), 96);
    }
    return image;
}

// A picture with a red block in its top-left corner and grey elsewhere.
QImage markedCorner(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter(&image).fillRect(0, 0, width / 4, height / 4, Qt::red);
    return image;
}

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

MediaScaleRecord makeRecord(int x, int y, int width, int height, int canvasWidth, int canvasHeight, double ratio,
                            int rotation, double startPos, double endPos)
{
    MediaScaleRecord r;
    r.x = x;
    r.y = y;
    r.width = width;
    r.height = height;
    r.canvasWidth = canvasWidth;
    r.canvasHeight = canvasHeight;
    r.ratio = ratio;
    r.rotation = rotation;
    r.startPos = startPos;
    r.endPos = endPos;
    return r;
}

QString describe(const MediaScaleRecord& r)
{
    return QStringLiteral("x %1 y %2 size %3x%4 canvas %5x%6 ratio %7 rotation %8 range %9..%10")
        .arg(r.x)
        .arg(r.y)
        .arg(r.width)
        .arg(r.height)
        .arg(r.canvasWidth)
        .arg(r.canvasHeight)
        .arg(r.ratio)
        .arg(r.rotation)
        .arg(r.startPos)
        .arg(r.endPos);
}

QPushButton* button(pixScaleDialog& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
}

// Answers the next runner's dialog with the named button once its event loop runs; `inspect` sees
// the dialog first.
void answerWith(const char* buttonName, std::function<void(pixScaleDialog&)> inspect = {})
{
    pixScaleDialog::setShownHook([buttonName, inspect](pixScaleDialog& dialog) {
        QTimer::singleShot(0, &dialog, [&dialog, buttonName, inspect] {
            if (inspect)
                inspect(dialog);
            button(dialog, buttonName)->click();
        });
    });
}

} // namespace

class TestPixScaleDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void stillRecord_data();
    void stillRecord();
    void runnersReturnTheRecordOfDone();
    void cancelReturnsTheCancelledRecord_data();
    void cancelReturnsTheCancelledRecord();
    void escapeDoesNotCloseTheDialog();
    void runnerShowsTheMaskWhileItRuns();
    void formAndTexts();
    void fourQuarterTurnsReturnToZero();
    void quarterTurnMeasuresTheTurnedPicture();
    void frameArrivingDuringPlaybackStaysTurned();
    void gifRecordWithThumbnailsAndTrim();
    void gifThumbnailsFollowTheStepRule();
    void gifScrubShowsTheFrame();
    void gifPlaysTurnedFrames();
    void unreadableFilesGiveABlackCanvas();
    void videoRecordUntouched();
    void thumbnailsOfAVeryTallClipAreCapped();
    void videoPlaysTheTrimmedRange();
    void closingWhilePlayingStopsThePlayback();
    void cropShowsWhatTheRendererMakes_data();
    void cropShowsWhatTheRendererMakes();

private:
    QTemporaryDir m_dir;
};

void TestPixScaleDialog::init()
{
    QVERIFY(m_dir.isValid());
}

void TestPixScaleDialog::cleanup()
{
    pixScaleDialog::setShownHook({});
}

void TestPixScaleDialog::stillRecord_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<MediaScaleRecord>("expected");
    QTest::newRow("1920x1080 for a landscape item")
        << QSize(1920, 1080) << QSize(800, 480) << makeRecord(-24, 0, 800, 480, 716, 428, 0.4, 0, 0.0, 1.0);
    QTest::newRow("1920x1080 for a portrait item")
        << QSize(1920, 1080) << QSize(480, 800) << makeRecord(-256, 0, 480, 800, 252, 428, 0.4, 0, 0.0, 1.0);
    QTest::newRow("600x400 at 1.0 for a landscape item")
        << QSize(600, 400) << QSize(800, 480) << makeRecord(60, 16, 800, 480, 716, 428, 1.0, 0, 0.0, 1.0);
}

void TestPixScaleDialog::stillRecord()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, frame);
    QFETCH(MediaScaleRecord, expected);
    const QString path = m_dir.filePath(QStringLiteral("still.png"));
    QVERIFY(gradient(picture.width(), picture.height()).save(path));
    pixScaleDialog dialog;
    dialog.setImageFile(path, frame.width(), frame.height());
    QCOMPARE(dialog.mediaKind(), int(pixScaleDialog::StillImage));
    dialog.on_pushButton_ok_clicked();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(describe(dialog.record()), describe(expected));
}

void TestPixScaleDialog::runnersReturnTheRecordOfDone()
{
    const QString path = m_dir.filePath(QStringLiteral("still.jpg"));
    QVERIFY(gradient(1920, 1080).save(path));
    answerWith("pushButton_ok", [](pixScaleDialog& dialog) {
        // Move the picture by (10, 4) widget pixels and turn it once.
        drag(dialog.imageLabel(), {10, 10}, {10, 4});
        dialog.on_pushButton_Rotate_clicked();
    });
    const MediaScaleRecord record = runImageScaleDialog(nullptr, path, 800, 480);
    // Turned: 1080x1920 at 432 / 1920 = 0.225, 243x432 centred at (328, 0); the earlier move is
    // undone by the refit.
    QCOMPARE(describe(record), describe(makeRecord(328 - 90, 0, 800, 480, 716, 428, 0.225, 1, 0.0, 1.0)));
}

void TestPixScaleDialog::cancelReturnsTheCancelledRecord_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("still") << "still";
    QTest::newRow("gif") << "gif";
    QTest::newRow("video") << "video";
}

void TestPixScaleDialog::cancelReturnsTheCancelledRecord()
{
    QFETCH(QString, kind);
    MediaScaleRecord record;
    answerWith("pushButton_cancel");
    if (kind == QLatin1String("still")) {
        const QString path = m_dir.filePath(QStringLiteral("c.png"));
        QVERIFY(gradient(64, 48).save(path));
        record = runImageScaleDialog(nullptr, path, 800, 480);
    } else if (kind == QLatin1String("gif")) {
        const QString path = m_dir.filePath(QStringLiteral("c.gif"));
        QVERIFY(vortane::test::writeGif(path, {}));
        record = runGifScaleDialog(nullptr, path, 800, 480);
    } else {
        const QString path = m_dir.filePath(QStringLiteral("c.mp4"));
        QVERIFY(vortane::test::writeClip(path, {}));
        record = runVideoScaleDialog(nullptr, path, 800, 480);
    }
    QCOMPARE(describe(record), describe(MediaScaleRecord()));
    QCOMPARE(record.width, 0);
    QCOMPARE(record.endPos, 1.0);
}

void TestPixScaleDialog::escapeDoesNotCloseTheDialog()
{
    const QString path = m_dir.filePath(QStringLiteral("e.png"));
    QVERIFY(gradient(600, 400).save(path));
    bool stillOpen = false;
    pixScaleDialog::setShownHook([&stillOpen](pixScaleDialog& dialog) {
        QTimer::singleShot(0, &dialog, [&dialog, &stillOpen] {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QTest::keyClick(dialog.imageLabel(), Qt::Key_Escape);
            QTimer::singleShot(0, &dialog, [&dialog, &stillOpen] {
                stillOpen = dialog.isVisible();
                button(dialog, "pushButton_ok")->click();
            });
        });
    });
    const MediaScaleRecord record = runImageScaleDialog(nullptr, path, 800, 480);
    QVERIFY(stillOpen);
    QCOMPARE(record.width, 800); // answered by Done, not cancelled by Escape
}

void TestPixScaleDialog::runnerShowsTheMaskWhileItRuns()
{
    const QString path = m_dir.filePath(QStringLiteral("m.png"));
    QVERIFY(gradient(64, 48).save(path));
    QWidget window;
    window.resize(800, 600);
    window.show();
    bool masked = false;
    answerWith("pushButton_ok", [&window, &masked](pixScaleDialog&) {
        masked = window.findChild<QWidget*>(QString::fromLatin1(kMaskOverlayObjectName)) != nullptr;
    });
    runImageScaleDialog(&window, path, 800, 480);
    QVERIFY(masked);
    QVERIFY(!window.findChild<QWidget*>(QString::fromLatin1(kMaskOverlayObjectName)));
}

void TestPixScaleDialog::formAndTexts()
{
    pixScaleDialog dialog;
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("label_Title"))->text(),
             QStringLiteral("Photo or video cropping"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("label_msg"))->text(),
             QStringLiteral("For better display quality, please select a ratio before cropping."));
    QCOMPARE(button(dialog, "pushButton_Fit_width")->text(), QStringLiteral("Fit width"));
    QCOMPARE(button(dialog, "pushButton_Fit_height")->text(), QStringLiteral("Fit height"));
    QCOMPARE(button(dialog, "pushButton_Rotate")->text(), QStringLiteral("Rotate 90°"));
    QCOMPARE(button(dialog, "pushButton_ok")->text(), QStringLiteral("Done"));
    QCOMPARE(button(dialog, "pushButton_cancel")->text(), QStringLiteral("Cancel"));
    QCOMPARE(button(dialog, "pushButton_ok")->metaObject()->className(), "CustomButton");
    QCOMPARE(dialog.imageLabel()->objectName(), QStringLiteral("widget"));
    QCOMPARE(dialog.timeline()->objectName(), QStringLiteral("TimeLine"));
    // The slots in the order the dialog declares them.
    const QMetaObject* meta = dialog.metaObject();
    QStringList slotNames;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        if (meta->method(i).methodType() == QMetaMethod::Slot)
            slotNames << QString::fromLatin1(meta->method(i).methodSignature());
    }
    QCOMPARE(slotNames,
             QStringList({"on_pushButton_Fit_width_clicked()", "on_pushButton_Fit_height_clicked()",
                          "on_pushButton_Rotate_clicked()", "setVideoImage(QImage)", "on_pushButton_ok_clicked()",
                          "on_pushButton_cancel_clicked()", "videoTimeLineSlot(double)", "gifTimeLineSlot(double)",
                          "videoTimeLinePosSlot(double,double)", "gifTimeLinePosSlot(double,double)",
                          "on_pushButton_TimeLineIcon_clicked()"}));
}

void TestPixScaleDialog::fourQuarterTurnsReturnToZero()
{
    const QString path = m_dir.filePath(QStringLiteral("r.png"));
    QVERIFY(markedCorner(200, 100).save(path));
    pixScaleDialog dialog;
    dialog.setImageFile(path, 800, 480);
    const QList<int> expected = {1, 2, 3, 0};
    for (int steps : expected) {
        dialog.on_pushButton_Rotate_clicked();
        QCOMPARE(dialog.rotationSteps(), steps);
        QCOMPARE(dialog.record().rotation, steps);
    }
    QCOMPARE(dialog.imageLabel()->sourceImage().size(), QSize(200, 100));
    QVERIFY(isRed(dialog.imageLabel()->sourceImage().pixel(2, 2)));
}

void TestPixScaleDialog::quarterTurnMeasuresTheTurnedPicture()
{
    const QString path = m_dir.filePath(QStringLiteral("q.png"));
    QVERIFY(markedCorner(200, 100).save(path));
    pixScaleDialog dialog;
    dialog.setImageFile(path, 800, 480);
    dialog.on_pushButton_Rotate_clicked();
    const QImage shown = dialog.imageLabel()->sourceImage();
    QCOMPARE(shown.size(), QSize(100, 200));
    // Clockwise: the top-left corner went to the top-right.
    QVERIFY(isRed(shown.pixel(97, 2)));
    QVERIFY(!isRed(shown.pixel(2, 2)));
    // The renderer turns the source the same way before it applies the record's geometry.
    const QImage rendered = vortane::media::renderFrame(markedCorner(200, 100), dialog.record());
    const QImage direct = vortane::media::renderFrame(shown, [&] {
        MediaScaleRecord r = dialog.record();
        r.rotation = 0;
        return r;
    }());
    QCOMPARE(rendered, direct);
}

void TestPixScaleDialog::frameArrivingDuringPlaybackStaysTurned()
{
    const QString path = m_dir.filePath(QStringLiteral("f.png"));
    QVERIFY(markedCorner(300, 100).save(path));
    pixScaleDialog dialog;
    dialog.setImageFile(path, 800, 480);
    dialog.on_pushButton_Rotate_clicked();
    const double ratio = dialog.imageLabel()->imageRatio();
    const QPoint position = dialog.imageLabel()->picturePosition();
    dialog.setVideoImage(markedCorner(300, 100));
    const QImage shown = dialog.imageLabel()->sourceImage();
    QCOMPARE(shown.size(), QSize(100, 300));
    QVERIFY(isRed(shown.pixel(97, 2)));
    // A further frame keeps the placement.
    QCOMPARE(dialog.imageLabel()->imageRatio(), ratio);
    QCOMPARE(dialog.imageLabel()->picturePosition(), position);
    // Turning again starts from the frame being shown.
    dialog.on_pushButton_Rotate_clicked();
    QCOMPARE(dialog.imageLabel()->sourceImage().size(), QSize(300, 100));
    QVERIFY(isRed(dialog.imageLabel()->sourceImage().pixel(297, 97)));
}

void TestPixScaleDialog::gifRecordWithThumbnailsAndTrim()
{
    const QString path = m_dir.filePath(QStringLiteral("anim.gif"));
    QVERIFY(vortane::test::writeGif(path, {}));
    answerWith("pushButton_ok", [](pixScaleDialog& dialog) {
        QCOMPARE(dialog.mediaKind(), int(pixScaleDialog::Gif));
        QVERIFY(dialog.timeline()->isVisible());
        // 32x24 frames: thumbnails 32 wide, 12 fit, step 10 / 12 = 0, so all ten.
        QCOMPARE(dialog.timeline()->thumbnails().size(), 10);
        QCOMPARE(dialog.timeline()->currentPx(), 200);
        QCOMPARE(dialog.gifPlayer()->isRunning(), false);
        VideoTimeline* timeline = dialog.timeline();
        drag(timeline, {0, 14}, {100, 0});
        drag(timeline, {399, 14}, {-99, 0});
        // The GIF thread plays the trimmed range.
        QCOMPARE(dialog.gifPlayer()->startPos(), 0.25);
        QCOMPARE(dialog.gifPlayer()->endPos(), 0.75);
    });
    const MediaScaleRecord record = runGifScaleDialog(nullptr, path, 480, 800);
    // 32x24 at 1.0 centred at (434, 204); portrait crop left 161.
    QCOMPARE(describe(record), describe(makeRecord(434 - 322, 204, 480, 800, 252, 428, 1.0, 0, 0.25, 0.75)));
}

void TestPixScaleDialog::gifThumbnailsFollowTheStepRule()
{
    const QString path = m_dir.filePath(QStringLiteral("long.gif"));
    vortane::test::GifRecipe recipe;
    recipe.frameCount = 40;
    QVERIFY(vortane::test::writeGif(path, recipe));
    pixScaleDialog dialog;
    dialog.setGifFile(path, 800, 480);
    // 12 fit, step 40 / 12 = 3: frames 0, 3, ..., 39.
    const QVector<QImage>& thumbnails = dialog.timeline()->thumbnails();
    QCOMPARE(thumbnails.size(), 14);
    QCOMPARE(thumbnails.first().size(), QSize(400 / 14, 24));
    QCOMPARE(vortane::test::readGifFrameIndex(thumbnails.at(1)), 3);
    QCOMPARE(vortane::test::readGifFrameIndex(thumbnails.last()), 39);
    QCOMPARE(describe(dialog.record()), describe(makeRecord(434 - 90, 204, 800, 480, 716, 428, 1.0, 0, 0.0, 0.9975)));
}

void TestPixScaleDialog::gifScrubShowsTheFrame()
{
    const QString path = m_dir.filePath(QStringLiteral("scrub.gif"));
    QVERIFY(vortane::test::writeGif(path, {}));
    pixScaleDialog dialog;
    dialog.setGifFile(path, 800, 480);
    QCOMPARE(vortane::test::readGifFrameIndex(dialog.imageLabel()->sourceImage()), 0);
    drag(dialog.timeline(), {200, 14}, {-20, 0}); // the marker to 180 of 400: frame trunc(10 * 0.45)
    QCOMPARE(vortane::test::readGifFrameIndex(dialog.imageLabel()->sourceImage()), 4);
    dialog.gifTimeLineSlot(0.999);
    QCOMPARE(vortane::test::readGifFrameIndex(dialog.imageLabel()->sourceImage()), 9);
}

void TestPixScaleDialog::gifPlaysTurnedFrames()
{
    const QString path = m_dir.filePath(QStringLiteral("play.gif"));
    vortane::test::GifRecipe recipe;
    recipe.width = 40;
    recipe.height = 20;
    QVERIFY(vortane::test::writeGif(path, recipe));
    pixScaleDialog dialog;
    dialog.setGifFile(path, 800, 480);
    dialog.on_pushButton_Rotate_clicked();
    dialog.on_pushButton_TimeLineIcon_clicked();
    QVERIFY(dialog.gifPlayer()->isRunning());
    QTRY_VERIFY(vortane::test::readGifFrameIndex(dialog.imageLabel()->sourceImage()) > 0);
    QCOMPARE(dialog.imageLabel()->sourceImage().size(), QSize(20, 40));
    dialog.on_pushButton_TimeLineIcon_clicked();
    QVERIFY(!dialog.gifPlayer()->isRunning());
}

void TestPixScaleDialog::unreadableFilesGiveABlackCanvas()
{
    const QString broken = m_dir.filePath(QStringLiteral("broken.png"));
    QVERIFY(vortane::test::writeRandomBytes(broken, 4096, 7));
    pixScaleDialog still;
    still.setImageFile(broken, 800, 480);
    still.on_pushButton_Fit_width_clicked();
    still.on_pushButton_Fit_height_clicked();
    still.on_pushButton_Rotate_clicked();
    QCOMPARE(describe(still.record()), describe(makeRecord(450 - 90, 216, 800, 480, 716, 428, 1.0, 1, 0.0, 1.0)));

    const QString brokenGif = m_dir.filePath(QStringLiteral("broken.gif"));
    QVERIFY(vortane::test::writeRandomBytes(brokenGif, 4096, 8));
    pixScaleDialog gif;
    gif.setGifFile(brokenGif, 800, 480);
    QVERIFY(gif.timeline()->thumbnails().isEmpty());
    gif.gifTimeLineSlot(0.5);
    QCOMPARE(gif.record().ratio, 1.0);

    const QString brokenClip = m_dir.filePath(QStringLiteral("broken.mp4"));
    QVERIFY(vortane::test::writeRandomBytes(brokenClip, 4096, 9));
    pixScaleDialog video;
    video.setVideoFile(brokenClip, 800, 480);
    QVERIFY(video.timeline()->thumbnails().isEmpty());
    QVERIFY(video.imageLabel()->sourceImage().isNull());
    QCOMPARE(video.record().ratio, 1.0);
}

void TestPixScaleDialog::videoRecordUntouched()
{
    const QString path = m_dir.filePath(QStringLiteral("clip.mp4"));
    QVERIFY(vortane::test::writeClip(path, {}));
    answerWith("pushButton_ok", [](pixScaleDialog& dialog) {
        QCOMPARE(dialog.mediaKind(), int(pixScaleDialog::Video));
        QVERIFY(dialog.timeline()->isVisible());
        QVERIFY(!dialog.timeline()->thumbnails().isEmpty());
        QVERIFY(dialog.player());
        // The middle frame of 30 is the source picture.
        const int index = vortane::test::readFrameIndex(dialog.imageLabel()->sourceImage());
        QVERIFY2(index >= 14 && index <= 16, qPrintable(QString::number(index)));
    });
    const MediaScaleRecord record = runVideoScaleDialog(nullptr, path, 800, 480);
    // 160x96 at 1.0 centred at (370, 168).
    QCOMPARE(describe(record), describe(makeRecord(370 - 90, 168, 800, 480, 716, 428, 1.0, 0, 0.0, 0.9975)));
}

void TestPixScaleDialog::thumbnailsOfAVeryTallClipAreCapped()
{
    // 32 x 512: a thumbnail 1 pixel wide at 24 high, so 400 would fit, each 240 x 3840.
    const QString path = m_dir.filePath(QStringLiteral("tall.mp4"));
    vortane::test::ClipRecipe recipe;
    recipe.width = 32;
    recipe.height = 512;
    recipe.frameCount = 10;
    QVERIFY(vortane::test::writeClip(path, recipe));
    VideoPlayer player;
    const QList<QImage> thumbnails = player.extractTimelineThumbnails(path);
    QVERIFY(!thumbnails.isEmpty());
    QVERIFY2(thumbnails.size() <= 100, qPrintable(QString::number(thumbnails.size())));
    for (const QImage& thumbnail : thumbnails)
        QCOMPARE(thumbnail.size(), QSize(240, 480));

    pixScaleDialog dialog;
    dialog.setVideoFile(path, 480, 800);
    QVERIFY(dialog.timeline()->thumbnails().size() <= VideoTimeline::kMaxThumbnails);
    QCOMPARE(dialog.timeline()->thumbnails().first().height(), 24);
}

void TestPixScaleDialog::videoPlaysTheTrimmedRange()
{
    const QString path = m_dir.filePath(QStringLiteral("trim.mp4"));
    vortane::test::ClipRecipe recipe;
    recipe.frameCount = 60; // two seconds at 30 frames per second
    QVERIFY(vortane::test::writeClip(path, recipe));
    pixScaleDialog dialog;
    dialog.setVideoFile(path, 800, 480);
    QVector<int> shown;
    connect(dialog.player(), &VideoPlayer::updataImage, this,
            [&shown](const QImage& frame) { shown.append(vortane::test::readFrameIndex(frame)); });
    // Trim to 0.25 .. 0.5 of the clip: frames 15 to 30.
    drag(dialog.timeline(), {0, 14}, {100, 0});
    drag(dialog.timeline(), {399, 14}, {-199, 0});
    shown.clear();
    dialog.on_pushButton_TimeLineIcon_clicked();
    QCOMPARE(dialog.player()->state(), int(PlayStatePlaying));
    // More frames than the range holds: playback loops back to its start instead of running on.
    QTRY_VERIFY_WITH_TIMEOUT(shown.size() >= 24, 20000);
    for (int index : shown)
        QVERIFY2(index >= 14 && index <= 31, qPrintable(QString::number(index)));
    dialog.on_pushButton_TimeLineIcon_clicked();
    QCOMPARE(dialog.player()->state(), int(PlayStatePaused));
}

void TestPixScaleDialog::closingWhilePlayingStopsThePlayback()
{
    const QString gifPath = m_dir.filePath(QStringLiteral("close.gif"));
    QVERIFY(vortane::test::writeGif(gifPath, {}));
    auto gif = std::make_unique<pixScaleDialog>();
    gif->setGifFile(gifPath, 800, 480);
    gif->on_pushButton_TimeLineIcon_clicked();
    QTRY_VERIFY(vortane::test::readGifFrameIndex(gif->imageLabel()->sourceImage()) > 0);
    gif.reset();

    const QString clipPath = m_dir.filePath(QStringLiteral("close.mp4"));
    QVERIFY(vortane::test::writeClip(clipPath, {}));
    auto video = std::make_unique<pixScaleDialog>();
    video->setVideoFile(clipPath, 800, 480);
    video->on_pushButton_TimeLineIcon_clicked();
    QCOMPARE(video->player()->state(), int(PlayStatePlaying));
    video.reset();
    // Frames still queued for the closed dialogs go nowhere.
    QCoreApplication::processEvents();
}

void TestPixScaleDialog::cropShowsWhatTheRendererMakes_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<int>("turns");
    QTest::newRow("landscape, unturned") << QSize(800, 480) << 0;
    QTest::newRow("landscape, one quarter turn") << QSize(800, 480) << 1;
    QTest::newRow("portrait, three quarter turns") << QSize(480, 800) << 3;
}

void TestPixScaleDialog::cropShowsWhatTheRendererMakes()
{
    QFETCH(QSize, frame);
    QFETCH(int, turns);
    const QImage source = gradient(1600, 1000);
    const QString path = m_dir.filePath(QStringLiteral("framed.png"));
    QVERIFY(source.save(path));
    pixScaleDialog dialog;
    dialog.setImageFile(path, frame.width(), frame.height());
    for (int i = 0; i < turns; ++i)
        dialog.on_pushButton_Rotate_clicked();
    ImageLabel* label = dialog.imageLabel();
    // Shrink the crop by its bottom-right handle, move it, move the picture and zoom in about a point.
    const QPoint bottomRight = label->cropPoints()[ImageLabel::BottomRight];
    drag(label, bottomRight, {-40, 0});
    const QPoint topLeft = label->cropPoints()[ImageLabel::TopLeft];
    drag(label, topLeft + QPoint(20, 20), {6, 8});
    drag(label, {2, 2}, {-12, 6});
    for (int i = 0; i < 15; ++i)
        wheel(label, {200, 100}, 120);

    const MediaScaleRecord record = dialog.record();
    const QImage rendered = vortane::media::renderFrame(source, record);
    QCOMPARE(rendered.size(), frame);
    const QImage shown = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint tl = label->cropPoints()[ImageLabel::TopLeft];
    const QPoint br = label->cropPoints()[ImageLabel::BottomRight];
    const double cropWidth = br.x() - tl.x();
    const double cropHeight = br.y() - tl.y();
    // Sample away from the outline, the handle marks and the thirds grid.
    const QList<double> fractions = {0.15, 0.25, 0.45, 0.55, 0.75, 0.85};
    int compared = 0;
    for (double fy : fractions) {
        for (double fx : fractions) {
            const int wx = tl.x() + int(cropWidth * fx);
            const int wy = tl.y() + int(cropHeight * fy);
            const QRgb onScreen = shown.pixel(wx, wy);
            // Widget pixel -> canvas units relative to the crop -> output frame pixel (pixel centres).
            const double ox = (2.0 * (wx - tl.x()) + 1.0) * record.width / record.canvasWidth;
            const double oy = (2.0 * (wy - tl.y()) + 1.0) * record.height / record.canvasHeight;
            const QRgb inFrame =
                rendered.pixel(qBound(0, int(ox), rendered.width() - 1), qBound(0, int(oy), rendered.height() - 1));
            const int difference =
                std::max({std::abs(qRed(onScreen) - qRed(inFrame)), std::abs(qGreen(onScreen) - qGreen(inFrame)),
                          std::abs(qBlue(onScreen) - qBlue(inFrame))});
            QVERIFY2(difference <= 12, qPrintable(QStringLiteral("widget (%1,%2): shown %3, rendered %4")
                                                      .arg(wx)
                                                      .arg(wy)
                                                      .arg(QColor(onScreen).name(), QColor(inFrame).name())));
            ++compared;
        }
    }
    QCOMPARE(compared, 36);
}

QTEST_MAIN(TestPixScaleDialog)
#include "TestPixScaleDialog.moc"
