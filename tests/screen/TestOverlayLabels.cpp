// The sensor overlay labels of the preview: dragging, raising, the position lists of both
// orientations, label sizes, and what the composer paints of them.

#include "screen/FlexibleLabel.h"
#include "screen/FrameComposer.h"
#include "screen/MediaLabel.h"
#include "screen/OverlayLabels.h"
#include "sensors/SensorCatalogue.h"
#include "shell/AppGlobals.h"
#include "shell/Fonts.h"

#include <QMouseEvent>
#include <QScreen>
#include <QtTest>

namespace {

constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kGreen = 0xff00ff00;

QPixmap blackFrame(int w, int h)
{
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::black);
    return pixmap;
}

// Sends one mouse event to `label` at `local` (label coordinates); the screen position follows
// from where the label is.
void sendMouse(FlexibleLabel* label, QEvent::Type type, const QPoint& local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(label->mapToGlobal(local)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(label, &event);
}

// A whole drag: press at the label's middle, one move by `delta`, release.
void drag(FlexibleLabel* label, const QPoint& delta)
{
    const QPoint start = label->rect().center();
    sendMouse(label, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(start), QPointF(label->mapToGlobal(start) + delta), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &move);
    sendMouse(label, QEvent::MouseButtonRelease, label->rect().center(), Qt::LeftButton, Qt::NoButton);
}

// An item over the test device "Board" whose sensor "Temp1" reads 45 °C.
OverlayItem boardItem(bool enable = true)
{
    OverlayItem item;
    item.hardwareName = QStringLiteral("Board");
    item.sensorName = QStringLiteral("Temp1");
    item.titleColor = QColor(kGreen);
    item.contentColor = QColor(kRed);
    item.titleFont = QFont(familyMiSansRegular, 40, 57);
    item.contentFont = QFont(familyMiSansRegular, 60, 75);
    item.enable = enable;
    return item;
}

void publishBoardReading(const QString& valueText)
{
    beginPass();
    HardwareEntry entry;
    entry.name = QStringLiteral("Board");
    SensorReading reading;
    reading.hardwareName = entry.name;
    reading.sensorName = QStringLiteral("Temp1");
    reading.valueText = valueText;
    reading.value = valueText.toDouble();
    reading.unit = QStringLiteral("\u00B0C");
    entry.sensors.insert(reading.sensorName, reading);
    storeHardwareEntry(entry);
    finishPass();
}

// Of the pixels where `text` has ink, the share that `frame` shows in `colour`, with the text's
// top-left corner at `at` (screen pixels).
double inkMatch(const QImage& frame, const QImage& text, const QPoint& at, QRgb colour)
{
    int ink = 0;
    int matched = 0;
    for (int y = 0; y < text.height(); ++y) {
        for (int x = 0; x < text.width(); ++x) {
            if (qAlpha(text.pixel(x, y)) < 250)
                continue;
            ++ink;
            const QPoint p = at + QPoint(x, y);
            if (!frame.rect().contains(p))
                continue;
            const QRgb seen = frame.pixel(p);
            if (qAbs(qRed(seen) - qRed(colour)) < 60 && qAbs(qGreen(seen) - qGreen(colour)) < 60 &&
                qAbs(qBlue(seen) - qBlue(colour)) < 60)
                ++matched;
        }
    }
    return ink == 0 ? 0.0 : double(matched) / ink;
}

struct Preview
{
    explicit Preview(bool portrait = false)
    {
        label.resize(portrait ? 120 : 200, portrait ? 200 : 120);
        label.setPixmap(blackFrame(portrait ? 480 : 800, portrait ? 800 : 480));
        label.show();
    }
    MediaLabel label;
};

} // namespace

class TestOverlayLabels final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        screenWidth = 800;
        screenHeight = 480;
        previewScale = 0.25;
        registerFonts();
    }

    void init()
    {
        resetSensorCatalogue();
        publishBoardReading(QStringLiteral("45"));
    }

    void dragStaysInsideThePreview_data()
    {
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QPoint>("end");
        // The label is 40 x 13 in a 200 x 120 preview.
        QTest::newRow("inside: the label follows the mouse") << QPoint(10, 10) << QPoint(7, 3) << QPoint(17, 13);
        QTest::newRow("beyond the right edge: x = preview width - label width")
            << QPoint(150, 50) << QPoint(100, 0) << QPoint(160, 50);
        QTest::newRow("beyond the left edge: x = 0") << QPoint(10, 50) << QPoint(-50, 0) << QPoint(0, 50);
        QTest::newRow("beyond the top edge: y = 0") << QPoint(10, 5) << QPoint(0, -30) << QPoint(10, 0);
        QTest::newRow("beyond the bottom edge: y = preview height - label height")
            << QPoint(10, 100) << QPoint(0, 50) << QPoint(10, 107);
        QTest::newRow("beyond a corner: both clamp") << QPoint(100, 100) << QPoint(500, 500) << QPoint(160, 107);
    }
    void dragStaysInsideThePreview()
    {
        QFETCH(QPoint, start);
        QFETCH(QPoint, delta);
        QFETCH(QPoint, end);
        Preview preview;
        FlexibleLabel* label = preview.label.contentLabel(1);
        label->setFixedSize(40, 13);
        label->move(start);
        label->show();
        const OverlayPositions before = preview.label.overlayPositions();
        drag(label, delta);
        QCOMPARE(label->pos(), end);
        // The release stores the position in the landscape content list of item 1, nothing else.
        OverlayPositions expected = before;
        expected.contentPositionsH[1] = end;
        QVERIFY(preview.label.overlayPositions() == expected);
    }

    void positionListsPerOrientation()
    {
        Preview preview;
        OverlayPositions positions;
        positions.titlePositionsH[2] = QPoint(5, 6);
        positions.titlePositionsV[2] = QPoint(7, 150);
        preview.label.setOverlayPositions(positions);
        FlexibleLabel* title = preview.label.titleLabel(2);
        title->setFixedSize(20, 10);
        title->show();
        preview.label.applyOrientationLayout();
        QCOMPARE(title->pos(), QPoint(5, 6));

        drag(title, QPoint(30, 4));
        QCOMPARE(preview.label.overlayPositions().titlePositionsH[2], QPoint(35, 10));
        QCOMPARE(preview.label.overlayPositions().titlePositionsV[2], QPoint(7, 150));

        preview.label.resize(120, 200);
        QVERIFY(preview.label.isPortrait());
        preview.label.applyOrientationLayout();
        QCOMPARE(title->pos(), QPoint(7, 150));
        drag(title, QPoint(0, -100));
        QCOMPARE(preview.label.overlayPositions().titlePositionsV[2], QPoint(7, 50));
        QCOMPARE(preview.label.overlayPositions().titlePositionsH[2], QPoint(35, 10));

        preview.label.resize(200, 120);
        preview.label.applyOrientationLayout();
        QCOMPARE(title->pos(), QPoint(35, 10));
    }

    void pressRaisesOnlyWithTheLeftButton_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("raised");
        QTest::newRow("left press: raised and painted on top") << int(Qt::LeftButton) << true;
        QTest::newRow("right press: neither raised nor dragged") << int(Qt::RightButton) << false;
    }
    void pressRaisesOnlyWithTheLeftButton()
    {
        QFETCH(int, button);
        QFETCH(bool, raised);
        Preview preview;
        // Item 0's content (red) lies under item 1's content (green) at the same place.
        OverlayItem red = boardItem();
        OverlayItem green = boardItem();
        green.contentColor = QColor(kGreen);
        preview.label.applyOverlayItem(0, red);
        preview.label.applyOverlayItem(1, green);
        FlexibleLabel* lower = preview.label.contentLabel(0);
        preview.label.contentLabel(1)->move(20, 20);
        lower->move(20, 20);

        const auto mouseButton = Qt::MouseButton(button);
        sendMouse(lower, QEvent::MouseButtonPress, QPoint(2, 2), mouseButton, mouseButton);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(lower->mapToGlobal(QPoint(2, 2)) + QPoint(30, 0)),
                         Qt::NoButton, mouseButton, Qt::NoModifier);
        QApplication::sendEvent(lower, &move);
        sendMouse(lower, QEvent::MouseButtonRelease, QPoint(2, 2), mouseButton, Qt::NoButton);
        QCOMPARE(lower->pos(), raised ? QPoint(50, 20) : QPoint(20, 20));
        QCOMPARE(preview.label.children().last() == lower, raised);

        FrameComposer composer([] { return qint64(0); });
        const QImage frame = composer.composeImage(preview.label, 0);
        const QImage text = OverlayLabels::renderText(QStringLiteral("45\u00B0C"), red.contentFont, Qt::white);
        // The raised red label sits alone where it was dropped; unraised, green covers red.
        const QPoint at = lower->pos() * 4;
        QVERIFY(inkMatch(frame, text, at, raised ? kRed : kGreen) > 0.9);
    }

    void labelSizeIsAQuarterTruncated_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("label");
        QTest::newRow("160 x 53 gives 40 x 13") << QSize(160, 53) << QSize(40, 13);
        QTest::newRow("161 x 54 gives 40 x 13 (truncated)") << QSize(161, 54) << QSize(40, 13);
        QTest::newRow("3 x 3 gives 0 x 0") << QSize(3, 3) << QSize(0, 0);
    }
    void labelSizeIsAQuarterTruncated()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, label);
        QCOMPARE(OverlayLabels::labelSizeFor(picture), label);
    }

    // Texts are measured and drawn at 96 dots per inch whatever the desktop's DPI (this suite runs
    // with a desktop of 144): 60 points are 80 pixels, and the picture holds the whole text.
    void textIsMeasuredAt96Dpi()
    {
        QCOMPARE(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()), 144);
        const QFont points(familyMiSansRegular, 60, 75);
        QFont pixels = points;
        pixels.setPixelSize(80);
        const QString text = QStringLiteral("88\u00B0C");
        const QImage picture = OverlayLabels::renderText(text, points, Qt::white);
        const QFontMetrics expected(pixels);
        QCOMPARE(picture.size(), QSize(expected.horizontalAdvance(text), expected.height()));
        // Measured on the desktop, the same font is half as large again.
        QWidget desktopWidget;
        QVERIFY(QFontMetrics(points, &desktopWidget).height() > picture.height() * 5 / 4);
    }

    void renderedLabelShowsItsTextAtAQuarter()
    {
        Preview preview;
        preview.label.applyOverlayItem(0, boardItem());
        const FlexibleLabel* content = preview.label.contentLabel(0);
        const QPixmap pixmap = content->pixmap(Qt::ReturnByValue);
        const QFontMetrics metrics = OverlayLabels::textMetrics(boardItem().contentFont);
        QCOMPARE(pixmap.size(), QSize(metrics.horizontalAdvance(QStringLiteral("45\u00B0C")), metrics.height()));
        QCOMPARE(content->size(), OverlayLabels::labelSizeFor(pixmap.size()));
        QCOMPARE(preview.label.overlays().renderedText(0, 1), QStringLiteral("45\u00B0C"));
        QCOMPARE(preview.label.overlays().renderedText(0, 0), QStringLiteral("Temp1"));
        // The properties read back as the item that was applied.
        QVERIFY(preview.label.overlayItem(0) == boardItem());
    }

    void sensorUpdateRendersNewValues()
    {
        Preview preview;
        preview.label.applyOverlayItem(3, boardItem());
        publishBoardReading(QStringLiteral("61"));
        preview.label.updataHwinfoLabel();
        QCOMPARE(preview.label.overlays().renderedText(3, 1), QStringLiteral("61\u00B0C"));
    }

    void missingSensorAndMissingHardware_data()
    {
        QTest::addColumn<QString>("hardwareName");
        QTest::addColumn<QString>("sensorName");
        QTest::addColumn<QString>("content");
        QTest::newRow("sensor not in the catalogue: placeholder")
            << QStringLiteral("Board") << QStringLiteral("Nope") << QStringLiteral("- -");
        QTest::newRow("no hardware name: not rendered") << QString() << QStringLiteral("Temp1") << QString();
    }
    void missingSensorAndMissingHardware()
    {
        QFETCH(QString, hardwareName);
        QFETCH(QString, sensorName);
        QFETCH(QString, content);
        Preview preview;
        OverlayItem item = boardItem();
        item.hardwareName = hardwareName;
        item.sensorName = sensorName;
        preview.label.applyOverlayItem(2, item);
        QCOMPARE(preview.label.overlays().renderedText(2, 1), content);
        QCOMPARE(preview.label.contentLabel(2)->pixmap(Qt::ReturnByValue).isNull(), content.isEmpty());
    }

    // The composer paints an enabled item's texts in their colours at position / previewScale, in
    // both orientations, and never a disabled one.
    void enabledItemIsPaintedAtItsPosition_data()
    {
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<bool>("enable");
        QTest::newRow("landscape, enabled") << false << true;
        QTest::newRow("portrait, enabled") << true << true;
        QTest::newRow("landscape, disabled: not painted") << false << false;
    }
    void enabledItemIsPaintedAtItsPosition()
    {
        QFETCH(bool, portrait);
        QFETCH(bool, enable);
        Preview preview(portrait);
        OverlayPositions positions;
        positions.titlePositionsH[0] = QPoint(12, 7);
        positions.contentPositionsH[0] = QPoint(12, 25);
        positions.titlePositionsV[0] = QPoint(20, 100);
        positions.contentPositionsV[0] = QPoint(20, 118);
        preview.label.setOverlayPositions(positions);
        const OverlayItem item = boardItem(enable);
        preview.label.applyOverlayItem(0, item);
        preview.label.applyOrientationLayout();

        FrameComposer composer([] { return qint64(0); });
        QImage frame = composer.composeImage(preview.label, 0);
        if (portrait)
            frame = frame.transformed(QTransform().rotate(90));
        const QPoint title = (portrait ? QPoint(20, 100) : QPoint(12, 7)) * 4;
        const QPoint content = (portrait ? QPoint(20, 118) : QPoint(12, 25)) * 4;
        const QImage titleText = OverlayLabels::renderText(QStringLiteral("Temp1"), item.titleFont, Qt::white);
        const QImage contentText = OverlayLabels::renderText(QStringLiteral("45\u00B0C"), item.contentFont, Qt::white);
        if (enable) {
            QVERIFY(inkMatch(frame, titleText, title, kGreen) > 0.9);
            QVERIFY(inkMatch(frame, contentText, content, kRed) > 0.9);
            // Another value would not match: the frame shows this text, not merely red pixels.
            const QImage other = OverlayLabels::renderText(QStringLiteral("17\u00B0C"), item.contentFont, Qt::white);
            QVERIFY(inkMatch(frame, other, content, kRed) < 0.8);
        } else {
            QCOMPARE(inkMatch(frame, contentText, content, kRed), 0.0);
        }
    }

    // The main window gives the preview a black background by a style sheet without a selector;
    // the labels must not take it on and cover the picture with black boxes.
    void labelsShowThePictureAroundTheirText()
    {
        Preview preview;
        QPixmap white(800, 480);
        white.fill(Qt::white);
        preview.label.setPixmap(white);
        preview.label.setStyleSheet(QStringLiteral("background-color:#000000;"));
        preview.label.applyOverlayItem(0, boardItem());
        FlexibleLabel* content = preview.label.contentLabel(0);
        content->move(10, 10);
        preview.label.showClockFace(1);
        const QImage shown = preview.label.grab().toImage();
        // The label's top-left corner holds no ink; the clock's corner holds no hand.
        QCOMPARE(QColor(shown.pixel(content->geometry().topLeft())), QColor(Qt::white));
        QCOMPARE(QColor(shown.pixel(preview.label.clockLabel()->geometry().topLeft())), QColor(Qt::white));
    }

    void showByEnableAndHideAll()
    {
        Preview preview;
        preview.label.applyOverlayItem(0, boardItem(true));
        preview.label.applyOverlayItem(1, boardItem(false));
        preview.label.hideOverlays();
        QVERIFY(preview.label.titleLabel(0)->isHidden());
        preview.label.showOverlaysByEnable();
        QVERIFY(!preview.label.titleLabel(0)->isHidden());
        QVERIFY(!preview.label.contentLabel(0)->isHidden());
        QVERIFY(preview.label.titleLabel(1)->isHidden());
        QVERIFY(preview.label.contentLabel(1)->isHidden());
    }

    // An editor that carries its item as properties reaches the labels through the sender-based
    // slot, the way the overlay editors are wired.
    void editorSlotAppliesTheSendersItem()
    {
        Preview preview;
        QObject editor;
        const OverlayItem item = boardItem();
        editor.setProperty("ID", 2);
        editor.setProperty("hardwareName", item.hardwareName);
        editor.setProperty("sensorName", item.sensorName);
        editor.setProperty("titleColor", item.titleColor);
        editor.setProperty("contentColor", item.contentColor);
        editor.setProperty("titleFont", item.titleFont);
        editor.setProperty("contentFont", item.contentFont);
        editor.setProperty("enable", true);
        // Any signal of the editor will do; a plain QObject has objectNameChanged.
        connect(&editor, &QObject::objectNameChanged, &preview.label, &MediaLabel::updateHwinfoPropertySlot);
        editor.setObjectName(QStringLiteral("editor"));
        QVERIFY(preview.label.overlayItem(2) == item);
        QVERIFY(!preview.label.contentLabel(2)->isHidden());
    }
};

QTEST_MAIN(TestOverlayLabels)
#include "TestOverlayLabels.moc"
