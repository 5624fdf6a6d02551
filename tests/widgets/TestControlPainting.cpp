// Rendering of the custom-painted controls: each state of each button kind paints its own frame,
// fill, text and icon; the icon button's size rule; the scroll bar handle; the homepage separator.

#include "shell/Fonts.h"
#include "tests/widgets/PixelChecks.h"
#include "widgets/CustomButton.h"
#include "widgets/CustomGradientBGButton.h"
#include "widgets/CustomIconButton.h"
#include "widgets/CustomItemButton.h"
#include "widgets/VScrollBar.h"
#include "widgets/homepageline.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace PixelChecks;

namespace {

enum class Kind
{
    Button,
    IconButton,
    ItemButton
};

const QColor kPageBackground(0x16, 0x16, 0x16); // the window frame's background
const QSize kButtonSize(200, 40);
constexpr int kIconSizePx = 16;

// Distinct solid colours for the four icons, so the picture drawn tells which icon was chosen.
const QColor kIconActive(0xFF, 0x00, 0x00);
const QColor kIconHover(0x00, 0xFF, 0x00);
const QColor kIconNormal(0x00, 0x00, 0xFF);
const QColor kIconDisabled(0xFF, 0x00, 0xFF);

struct States
{
    bool hover = false;
    bool press = false;
    bool select = false;
    bool disable = false;
};

QColor rgb(unsigned value, int alpha = 255)
{
    QColor colour = QColor::fromRgb(QRgb(value));
    colour.setAlpha(alpha);
    return colour;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestControlPainting final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir iconDir;

    QString iconPath(const char* name) const { return iconDir.filePath(QString::fromLatin1(name) + ".png"); }

    std::unique_ptr<TrackedStateButton> makeButton(Kind kind)
    {
        switch (kind) {
        case Kind::Button:
            return std::make_unique<CustomButton>();
        case Kind::IconButton: {
            auto button = std::make_unique<CustomIconButton>();
            button->setIcons(iconPath("active"), iconPath("hover"), iconPath("normal"), iconPath("disabled"));
            return button;
        }
        case Kind::ItemButton:
            return std::make_unique<CustomItemButton>();
        }
        return nullptr;
    }

    // Brings the button into the given states the way the user and its owner do: pointer over it,
    // left button held, marked by the owner, then disabled.
    static void applyStates(TrackedStateButton& button, Kind kind, const States& states)
    {
        if (states.hover) {
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(&button, &enter);
        }
        if (states.press)
            QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, button.rect().center());
        if (states.select) {
            if (kind == Kind::IconButton)
                static_cast<CustomIconButton&>(button).setSelected(true);
            if (kind == Kind::ItemButton)
                static_cast<CustomItemButton&>(button).setSelected(true);
        }
        if (states.disable)
            button.setEnabled(false);
    }

private slots:
    void initTestCase()
    {
        registerFonts();
        QVERIFY(iconDir.isValid());
        const std::pair<const char*, QColor> icons[] = {
            {"active", kIconActive}, {"hover", kIconHover}, {"normal", kIconNormal}, {"disabled", kIconDisabled}};
        for (const auto& [name, colour] : icons) {
            QImage icon(kIconSizePx, kIconSizePx, QImage::Format_RGB32);
            icon.fill(colour);
            QVERIFY(icon.save(iconPath(name)));
        }
    }

    void buttonStates_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("hover");
        QTest::addColumn<bool>("press");
        QTest::addColumn<bool>("select");
        QTest::addColumn<bool>("disable");
        QTest::addColumn<QColor>("frame");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("icon");

        const QColor none;
        auto row = [](const char* name, Kind kind, States s, QColor frame, QColor fill, QColor text, QColor icon) {
            QTest::newRow(name) << kind << s.hover << s.press << s.select << s.disable << frame << fill << text << icon;
        };
        const States normal{};
        const States hover{true, false, false, false};
        const States press{false, true, false, false};
        const States hoverPress{true, true, false, false};
        const States select{false, false, true, false};
        const States hoverSelect{true, false, true, false};
        const States pressSelect{false, true, true, false};
        const States disable{false, false, false, true};
        const States hoverDisable{true, false, false, true};
        const States selectDisable{false, false, true, true};

        const Kind B = Kind::Button;
        row("button: normal", B, normal, rgb(0xFFFFFF), rgb(0x121212), rgb(0xF2F2F2), none);
        row("button: hover", B, hover, rgb(0x64DDFF), rgb(0x00A8FF, 0x1E), rgb(0x64DDFF), none);
        row("button: pressed", B, press, rgb(0x00A8FF), rgb(0x00A8FF, 0x1E), rgb(0x00A8FF), none);
        row("button: pressed wins over hover", B, hoverPress, rgb(0x00A8FF), rgb(0x00A8FF, 0x1E), rgb(0x00A8FF), none);
        row("button: disabled", B, disable, rgb(0x333333), rgb(0x000000, 0x33), rgb(0x4D4D4D), none);
        row("button: disabled wins over hover", B, hoverDisable, rgb(0x333333), rgb(0x000000, 0x33), rgb(0x4D4D4D),
            none);

        const Kind I = Kind::IconButton;
        row("icon: normal", I, normal, rgb(0x606060), rgb(0x121212), rgb(0xFFFFFF), kIconNormal);
        row("icon: hover", I, hover, rgb(0x64D0FF), rgb(0x00141F), rgb(0x64D0FF), kIconHover);
        row("icon: pressed", I, press, rgb(0x00A8FF), rgb(0x00141F), rgb(0x00A8FF), kIconActive);
        row("icon: selected", I, select, rgb(0x00A8FF), rgb(0x00141F), rgb(0x00A8FF), kIconActive);
        row("icon: selected wins over hover", I, hoverSelect, rgb(0x00A8FF), rgb(0x00141F), rgb(0x00A8FF), kIconActive);
        row("icon: disabled", I, disable, rgb(0x4D4D4D), rgb(0x090909), rgb(0x4D4D4D), kIconDisabled);
        row("icon: disabled + selected", I, selectDisable, rgb(0x4D4D4D), rgb(0x090909), rgb(0x4D4D4D), kIconDisabled);

        // The item button tests hover before selected, so the pointer highlights the current row.
        const Kind R = Kind::ItemButton;
        row("item: normal", R, normal, rgb(0x282828), rgb(0x282828), rgb(0xFFFFFF), none);
        row("item: hover", R, hover, rgb(0x64D0FF), rgb(0x64D0FF), rgb(0x0F0F0F), none);
        row("item: pressed", R, press, rgb(0x00A8FF), rgb(0x00A8FF), rgb(0x0F0F0F), none);
        row("item: selected", R, select, rgb(0x0F0F0F), rgb(0x0F0F0F), rgb(0xF2F2F2), none);
        row("item: hover wins over selected", R, hoverSelect, rgb(0x64D0FF), rgb(0x64D0FF), rgb(0x0F0F0F), none);
        row("item: pressed wins over selected", R, pressSelect, rgb(0x00A8FF), rgb(0x00A8FF), rgb(0x0F0F0F), none);
        row("item: disabled", R, disable, rgb(0x282828), rgb(0x282828), rgb(0x4D4D4D), none);
        row("item: disabled + selected", R, selectDisable, rgb(0x282828), rgb(0x282828), rgb(0x4D4D4D), none);
    }

    void buttonStates()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, hover);
        QFETCH(bool, press);
        QFETCH(bool, select);
        QFETCH(bool, disable);
        QFETCH(QColor, frame);
        QFETCH(QColor, fill);
        QFETCH(QColor, text);
        QFETCH(QColor, icon);

        std::unique_ptr<TrackedStateButton> button = makeButton(kind);
        button->setText(QStringLiteral("Apply"));
        button->resize(kButtonSize);
        button->show();
        QVERIFY(QTest::qWaitForWindowExposed(button.get()));
        applyStates(*button, kind, States{hover, press, select, disable});

        const QImage image = render(*button, kPageBackground);
        const int w = image.width();
        const int h = image.height();
        const QColor expectedFill = over(fill, kPageBackground);

        const QPoint framePoints[] = {{0, h / 2}, {w - 1, h / 2}, {w / 2, 0}, {w / 2, h - 1}};
        for (const QPoint& p : framePoints) {
            const QColor actual = image.pixelColor(p);
            QVERIFY2(near(actual, frame), qPrintable(QStringLiteral("frame at (%1,%2) is %3, expected %4")
                                                         .arg(p.x())
                                                         .arg(p.y())
                                                         .arg(describe(actual), describe(frame))));
        }

        const QColor fillPixel = image.pixelColor(8, h / 2);
        QVERIFY2(
            near(fillPixel, expectedFill),
            qPrintable(QStringLiteral("fill is %1, expected %2").arg(describe(fillPixel), describe(expectedFill))));

        QRect textArea(10, 3, w - 20, h - 6);
        if (kind == Kind::IconButton) {
            const QColor iconPixel = image.pixelColor(16 + kIconSizePx / 2, h / 2);
            QVERIFY2(near(iconPixel, icon),
                     qPrintable(QStringLiteral("icon is %1, expected %2").arg(describe(iconPixel), describe(icon))));
            textArea.setLeft(kIconSizePx + 20);
            textArea.setRight(w - 6);
        }
        QString why;
        QVERIFY2(showsText(image, textArea, expectedFill, text, &why), qPrintable(why));
    }

    // Nothing of the state may leak into the drawing of the gradient button.
    void gradientButtonIgnoresStates()
    {
        CustomGradientBGButton button;
        button.setText(QStringLiteral("Screen settings"));
        button.resize(240, 48);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        const QImage normal = render(button, Qt::black);

        QString why;
        QVERIFY2(showsText(normal, normal.rect().adjusted(4, 4, -4, -4), normal.pixelColor(2, 2), Qt::white, &why),
                 qPrintable(why));

        const QImage picture(QStringLiteral(":/material/Icon/homepageButtonBg.png"));
        if (!picture.isNull()) {
            const QImage stretched = picture.scaled(button.size()).convertToFormat(QImage::Format_RGB32);
            const QColor expected = over(stretched.pixelColor(3, 3), Qt::black);
            QVERIFY2(near(normal.pixelColor(3, 3), expected, 24),
                     qPrintable(describe(normal.pixelColor(3, 3)) + " vs " + describe(expected)));
        }

        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(&button, &enter);
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, button.rect().center());
        QVERIFY(button.isHovered());
        QVERIFY(button.isPressed());
        QCOMPARE(render(button, Qt::black), normal);
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, button.rect().center());
        QVERIFY(!button.isPressed());
    }

    void pressAndReleaseStillClick()
    {
        CustomButton button;
        button.resize(kButtonSize);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QSignalSpy clicked(&button, &QPushButton::clicked);
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, button.rect().center());
        QVERIFY(button.isPressed());
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, button.rect().center());
        QVERIFY(!button.isPressed());
        QCOMPARE(clicked.count(), 1);

        // The right button neither presses nor clicks.
        QTest::mousePress(&button, Qt::RightButton, Qt::NoModifier, button.rect().center());
        QVERIFY(!button.isPressed());
        QTest::mouseRelease(&button, Qt::RightButton, Qt::NoModifier, button.rect().center());
        QCOMPARE(clicked.count(), 1);

        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(&button, &enter);
        QVERIFY(button.isHovered());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&button, &leave);
        QVERIFY(!button.isHovered());
    }

    // A button disabled while held down never gets its release; it must not come back pressed.
    void disablingClearsPress()
    {
        CustomButton button;
        button.resize(kButtonSize);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, button.rect().center());
        button.setEnabled(false);
        button.setEnabled(true);
        QVERIFY(!button.isPressed());
        const QImage image = render(button, kPageBackground);
        QVERIFY(near(image.pixelColor(0, image.height() / 2), rgb(0xFFFFFF)));
    }

    void iconButtonSizeRule()
    {
        CustomIconButton button;
        button.setIcons(iconPath("active"), iconPath("hover"), iconPath("normal"), iconPath("disabled"));
        button.setText(QStringLiteral("A considerably longer orientation label"));
        // Not shown, so the grabs below are its only paints.
        button.resize(120, 40);

        QFont labelFont(QStringLiteral("MiSans"));
        labelFont.setPixelSize(16);
        const int longContent = kIconSizePx + 48 + QFontMetrics(labelFont, &button).boundingRect(button.text()).width();
        QVERIFY(longContent > 120);
        QCOMPARE(button.contentWidth(), longContent);
        button.grab();
        QCOMPARE(button.minimumSize(), QSize(longContent, 40));
        QCOMPARE(button.maximumSize(), QSize(longContent, 40));
        QCOMPARE(button.width(), longContent);

        button.setText(QStringLiteral("H"));
        const int shortContent = button.contentWidth();
        button.grab();
        QCOMPARE(button.maximumSize(), QSize(CustomIconButton::kUnboundedSize, CustomIconButton::kUnboundedSize));
        QCOMPARE(button.minimumSize(), QSize(shortContent, 40));

        // In a layout the button keeps its content width even when the row is squeezed.
        QWidget row;
        auto* layout = new QHBoxLayout(&row);
        auto* inRow = new CustomIconButton(&row);
        inRow->setText(QStringLiteral("A considerably longer orientation label"));
        layout->addWidget(inRow);
        row.resize(100, 40);
        row.show();
        QVERIFY(QTest::qWaitForWindowExposed(&row));
        inRow->grab();
        QCoreApplication::processEvents();
        QVERIFY(inRow->width() >= inRow->contentWidth());
    }

    void scrollBarHandle_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expectedTop");

        // Height 200: the handle's top runs from 0 to 200 - 66 = 134.
        QTest::newRow("at the minimum: top") << 0 << 100 << 0 << 0;
        QTest::newRow("halfway") << 0 << 100 << 50 << 67;
        QTest::newRow("one step: truncated") << 0 << 3 << 1 << 44;
        QTest::newRow("at the maximum: touches the bottom") << 0 << 100 << 100 << 134;
        QTest::newRow("maximum 0: stays at the top") << 0 << 0 << 0 << 0;
        QTest::newRow("range from 50 at its maximum: bottom") << 50 << 150 << 150 << 134;
    }

    void scrollBarHandle()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, expectedTop);

        VScrollBar bar;
        bar.setRange(minimum, maximum);
        bar.setValue(value);
        bar.resize(12, 200);
        QCOMPARE(bar.handleTop(), expectedTop);

        const QColor background = Qt::white;
        const QImage image = render(bar, background);
        const int column = bar.width() / 2 + 1; // inside the handle, clear of the track
        const QColor handleFill = rgb(0xCCCCCC);
        for (int y = expectedTop + 2; y < expectedTop + VScrollBar::kHandleHeightPx - 2; ++y)
            QVERIFY2(near(image.pixelColor(column, y), handleFill), qPrintable(QString::number(y)));
        if (expectedTop >= 2)
            QVERIFY(near(image.pixelColor(column, expectedTop - 2), background));
        const int below = expectedTop + VScrollBar::kHandleHeightPx + 1;
        if (below < image.height())
            QVERIFY(near(image.pixelColor(column, below), background));
        if (expectedTop + VScrollBar::kHandleHeightPx == bar.height())
            QVERIFY2(!near(image.pixelColor(column, image.height() - 1), background, 30),
                     "the handle's bottom edge does not reach the bottom row");

        // The track runs the full height, also where the handle is not.
        const int trackRow = expectedTop > 100 ? 20 : 180;
        QVERIFY(!near(image.pixelColor(bar.width() / 2 - 1, trackRow), background, 30));
    }

    void homepageLine()
    {
        homepageline line;
        line.resize(300, 10);
        const QColor background = Qt::white;
        const QImage image = render(line, background);
        const QColor lineColour = rgb(0x202020);

        const QImage point(QStringLiteral(":/material/Icon/homepagelinepoint.png"));
        const int middle = image.width() / 2;
        // Three pairs of lines at rows 0-1, 4-5 and 8-9; antialiasing spreads each one over
        // neighbouring rows, but rows 2 and 6 stay clear and the pair centres are dark.
        for (const int y : {0, 4, 8}) {
            const QColor pixel = image.pixelColor(middle, y);
            QVERIFY2(distance(pixel, lineColour) < distance(pixel, background),
                     qPrintable(QStringLiteral("row %1 is %2").arg(y).arg(describe(pixel))));
        }
        for (const int y : {2, 6})
            QVERIFY2(near(image.pixelColor(middle, y), background), qPrintable(QString::number(y)));

        if (!point.isNull() && point.width() > 2 && point.height() > 2) {
            const QImage opaquePoint = point.convertToFormat(QImage::Format_ARGB32);
            const QPoint inside(point.width() / 2, qMin(point.height(), image.height()) / 2);
            const QColor expected = over(opaquePoint.pixelColor(inside), background);
            QVERIFY(near(image.pixelColor(inside), expected, 12));
            QVERIFY(near(image.pixelColor(image.width() - point.width() + inside.x(), inside.y()), expected, 12));
        }
    }
};

QTEST_MAIN(TestControlPainting)
#include "TestControlPainting.moc"
