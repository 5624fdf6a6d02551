// The overlay editor and its ring gauge: what the gauge paints for values inside and outside its
// range, and what each of the editor's buttons does through replaceable colour, font and sensor
// choosers.

#include "sensors/CustomProgressBarRing.h"
#include "sensors/HwinfoProperty.h"
#include "sensors/SensorCatalogue.h"
#include "shell/Fonts.h"
#include "tests/widgets/PixelChecks.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const QString kBoard = QStringLiteral("Mainboard: Test Board");
const QString kPump = QStringLiteral("Pump // Loop");
const QColor kBlue(0, 168, 255);
const QColor kGrey(77, 77, 77);

SensorReading reading(const QString& device, const QString& name, double value, const QString& valueText,
                      const QString& unit)
{
    SensorReading r;
    r.hardwareName = device;
    r.sensorName = name;
    r.value = value;
    r.valueText = valueText;
    r.unit = unit;
    return r;
}

// One pass that stores a board with a voltage, a fan and a temperature, and a device whose name and
// sensor hold "//".
void storeMachine()
{
    resetSensorCatalogue();
    beginPass();
    HardwareEntry board;
    board.name = kBoard;
    board.sensors.insert(QStringLiteral("Vcore"), reading(kBoard, QStringLiteral("Vcore"), 1.25, "1.250", "V"));
    board.sensors.insert(QStringLiteral("CPU Fan"), reading(kBoard, QStringLiteral("CPU Fan"), 1200, "1200", "RPM"));
    board.sensors.insert(QStringLiteral("Motherboard"),
                         reading(kBoard, QStringLiteral("Motherboard"), 33, "33", QStringLiteral("\u00B0C")));
    storeHardwareEntry(board);
    HardwareEntry pump;
    pump.name = kPump;
    pump.sensors.insert(QStringLiteral("Flow//Rate"), reading(kPump, QStringLiteral("Flow//Rate"), 7, "7", "MHz"));
    storeHardwareEntry(pump);
    finishPass();
}

// Point of the gauge's 4-pixel ring at `degrees` (counter-clockwise from 3 o'clock) for a side of 140.
QPoint ringPoint(double degrees)
{
    const double radians = degrees * M_PI / 180.0;
    return QPoint(int(std::lround(70 + 68 * std::cos(radians))), int(std::lround(70 - 68 * std::sin(radians))));
}

QLabel* titleLabel(HwinfoProperty& editor)
{
    return editor.findChild<QLabel*>(QStringLiteral("label_HwinfoName"));
}

QPushButton* button(HwinfoProperty& editor, const char* name)
{
    return editor.findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

class TestHwinfoProperty final : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    std::unique_ptr<QSettings> remarks;

private slots:
    void initTestCase()
    {
        registerFonts();
        remarks =
            std::make_unique<QSettings>(folder.filePath(QStringLiteral("sensorRemark.ini")), QSettings::IniFormat);
        remarks->setIniCodec("UTF-8");
    }
    void init()
    {
        storeMachine();
        remarks->clear();
        remarkStore = remarks.get();
    }
    void cleanupTestCase() { remarkStore = nullptr; }

    void gaugeText_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("V: three decimals") << "V" << 1.25 << "1.250";
        QTest::newRow("V: three decimals, rounded") << "V" << 0.98765 << "0.988";
        QTest::newRow("degrees: none, rounded") << QStringLiteral("\u00B0C") << 45.6 << "46";
        QTest::newRow("MHz: none") << "MHz" << 4500.0 << "4500";
        QTest::newRow("no unit: none") << "" << 0.0 << "0";
    }
    void gaugeText()
    {
        QFETCH(QString, unit);
        QFETCH(double, value);
        QFETCH(QString, text);
        CustomProgressBarRing ring;
        ring.unit = unit;
        ring.value = value;
        QCOMPARE(ring.valueText(), text);
    }

    // The sweep is value / maximum of a full turn, truncated, and never leaves 0..360: a value
    // below 0 or above the maximum, a maximum of 0 and a value that is not a number stay inside.
    void gaugeSweep_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<int>("sweep");
        QTest::newRow("half") << 50.0 << 100.0 << 180;
        QTest::newRow("truncated") << 33.3 << 100.0 << 119;
        QTest::newRow("at the maximum: full") << 100.0 << 100.0 << 360;
        QTest::newRow("above the maximum: full") << 150.0 << 100.0 << 360;
        QTest::newRow("below 0: empty") << -20.0 << 100.0 << 0;
        QTest::newRow("maximum 0: empty") << 10.0 << 0.0 << 0;
        QTest::newRow("not a number: empty") << std::numeric_limits<double>::quiet_NaN() << 100.0 << 0;
    }
    void gaugeSweep()
    {
        QFETCH(double, value);
        QFETCH(double, maximum);
        QFETCH(int, sweep);
        CustomProgressBarRing ring;
        ring.value = value;
        ring.maximum = maximum;
        QCOMPARE(ring.sweepDegrees(), sweep);
    }

    // The painted ring: blue from the bottom clockwise (on screen) over the swept part, grey over
    // the rest, for values inside and outside the range.
    void gaugePainting_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QList<int>>("blueAt"); // degrees, counter-clockwise from 3 o'clock
        QTest::addColumn<QList<int>>("greyAt");
        QTest::newRow("a quarter: the lower left") << 25.0 << QList<int>{225} << QList<int>{315, 90, 0, 180 - 20};
        QTest::newRow("three quarters: all but the lower right") << 75.0 << QList<int>{225, 135, 45} << QList<int>{315};
        QTest::newRow("above the maximum: all round") << 250.0 << QList<int>{225, 135, 45, 315} << QList<int>{};
        QTest::newRow("below 0: none") << -50.0 << QList<int>{} << QList<int>{225, 135, 45, 315};
    }
    void gaugePainting()
    {
        QFETCH(double, value);
        QFETCH(QList<int>, blueAt);
        QFETCH(QList<int>, greyAt);
        CustomProgressBarRing ring;
        ring.resize(140, 140);
        ring.value = value;
        ring.maximum = 100;
        const QImage image = ring.grab().toImage();
        for (int degrees : blueAt) {
            const QColor seen = image.pixelColor(ringPoint(degrees));
            QVERIFY2(PixelChecks::near(seen, kBlue),
                     qPrintable(QStringLiteral("%1: %2").arg(degrees).arg(seen.name())));
        }
        for (int degrees : greyAt) {
            const QColor seen = image.pixelColor(ringPoint(degrees));
            QVERIFY2(PixelChecks::near(seen, kGrey),
                     qPrintable(QStringLiteral("%1: %2").arg(degrees).arg(seen.name())));
        }
        // The centre is the dark disc, never the sweep.
        QVERIFY(PixelChecks::near(image.pixelColor(70, 130), QColor(37, 37, 37)));
    }

    // setItem shows the item without emitting; the seven fields are readable as properties.
    void setItemShowsTheItem()
    {
        HwinfoProperty editor;
        QSignalSpy changes(&editor, &HwinfoProperty::hwinfopropertyChange);
        OverlayItem item;
        item.hardwareName = kBoard;
        item.sensorName = QStringLiteral("Vcore");
        item.titleColor = QColor(1, 2, 3);
        item.contentColor = QColor(250, 128, 0);
        item.titleFont = QFont(QStringLiteral("Serif"), 33);
        item.contentFont = QFont(QStringLiteral("Sans"), 44);
        item.enable = true;
        editor.setItem(item);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(editor.item(), item);
        QCOMPARE(editor.property("hardwareName").toString(), kBoard);
        QCOMPARE(editor.property("sensorName").toString(), QStringLiteral("Vcore"));
        QCOMPARE(editor.property("titleColor").value<QColor>(), QColor(1, 2, 3));
        QCOMPARE(editor.property("contentColor").value<QColor>(), QColor(250, 128, 0));
        QCOMPARE(editor.property("titleFont").value<QFont>(), item.titleFont);
        QCOMPARE(editor.property("contentFont").value<QFont>(), item.contentFont);
        QCOMPARE(editor.property("enable").toBool(), true);
        QVERIFY(button(editor, "pushButton_Enable")->isChecked());
        QCOMPARE(titleLabel(editor)->text(), QStringLiteral("Vcore"));
        QCOMPARE(editor.gauge()->value, 1.25);
        QCOMPARE(editor.gauge()->unit, QStringLiteral("V"));
        QCOMPARE(editor.gauge()->maximum, 10.0);
        QCOMPARE(editor.gauge()->valueText(), QStringLiteral("1.250"));
        QCOMPARE(button(editor, "pushButton_EditTitleColor")->styleSheet(),
                 QStringLiteral("QPushButton{background-color: #010203;border:1px solid #e0e0e0;}"
                                "QPushButton:hover{background-color: #010203;border:1px solid #e0e0e0;}"
                                "QPushButton:checked{background-color: #010203;border:1px solid #e0e0e0;}"
                                "QPushButton:disabled{background-color:#717171;border:1px solid #FFFFFF;}"));
        QCOMPARE(button(editor, "pushButton_EditContentColor")->styleSheet(),
                 QStringLiteral("QPushButton{background-color: #fa8000;border:1px solid #e0e0e0;}"
                                "QPushButton:hover{background-color: #fa8000;border:1px solid #e0e0e0;}"
                                "QPushButton:checked{background-color: #fa8000;border:1px solid #e0e0e0;}"));
    }

    // A sensor that is not in the catalogue shows its name and an empty gauge in the range 100;
    // a remark shows at the next refresh.
    void refreshDisplay()
    {
        HwinfoProperty editor;
        editor.setSensor(kBoard, QStringLiteral("Gone"));
        QCOMPARE(titleLabel(editor)->text(), QStringLiteral("Gone"));
        QCOMPARE(editor.gauge()->value, 0.0);
        QCOMPARE(editor.gauge()->unit, QString());
        QCOMPARE(editor.gauge()->maximum, 100.0);

        editor.setSensor(kBoard, QStringLiteral("CPU Fan"));
        QCOMPARE(editor.gauge()->maximum, 3000.0);
        storeRemark(kBoard, QStringLiteral("CPU Fan"), QStringLiteral("Radiator"));
        QCOMPARE(titleLabel(editor)->text(), QStringLiteral("CPU Fan"));
        editor.refreshDisplay();
        QCOMPARE(titleLabel(editor)->text(), QStringLiteral("Radiator"));
    }

    // The colour buttons ask with the current colour; an answer (the same colour too) is stored,
    // restyles the button and is announced; a cancelled dialog changes nothing.
    void colourButtons_data()
    {
        QTest::addColumn<bool>("title");
        QTest::addColumn<QColor>("answer");
        QTest::addColumn<bool>("changed");
        QTest::newRow("title: a new colour") << true << QColor(10, 200, 30) << true;
        QTest::newRow("title: the same colour again still announces") << true << QColor(90, 90, 90) << true;
        QTest::newRow("title: cancelled changes nothing") << true << QColor() << false;
        QTest::newRow("content: a new colour") << false << QColor(10, 200, 30) << true;
        QTest::newRow("content: the same colour again still announces") << false << QColor(90, 90, 90) << true;
        QTest::newRow("content: cancelled changes nothing") << false << QColor() << false;
    }
    void colourButtons()
    {
        QFETCH(bool, title);
        QFETCH(QColor, answer);
        QFETCH(bool, changed);
        HwinfoProperty editor;
        OverlayItem item;
        item.sensorName = QStringLiteral("CPU Temp");
        item.titleColor = item.contentColor = QColor(90, 90, 90);
        editor.setItem(item);
        QColor asked;
        QWidget* askedParent = nullptr;
        editor.setColorChooser([&](const QColor& initial, QWidget* parent) {
            asked = initial;
            askedParent = parent;
            return answer;
        });
        QSignalSpy changes(&editor, &HwinfoProperty::hwinfopropertyChange);
        QPushButton* colourButton = button(editor, title ? "pushButton_EditTitleColor" : "pushButton_EditContentColor");
        const QString styleBefore = colourButton->styleSheet();
        colourButton->click();
        QCOMPARE(asked, QColor(90, 90, 90));
        QCOMPARE(askedParent, &editor);
        QCOMPARE(changes.count(), changed ? 1 : 0);
        const QColor expected = changed ? answer : QColor(90, 90, 90);
        QCOMPARE(title ? editor.titleColor() : editor.contentColor(), expected);
        QCOMPARE(title ? editor.contentColor() : editor.titleColor(), QColor(90, 90, 90));
        if (changed)
            QVERIFY(colourButton->styleSheet().contains(QStringLiteral("background-color: ") + answer.name()));
        else
            QCOMPARE(colourButton->styleSheet(), styleBefore);
    }

    void fontButtons_data()
    {
        QTest::addColumn<bool>("title");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("title: accepted") << true << true;
        QTest::newRow("title: cancelled changes nothing") << true << false;
        QTest::newRow("content: accepted") << false << true;
        QTest::newRow("content: cancelled changes nothing") << false << false;
    }
    void fontButtons()
    {
        QFETCH(bool, title);
        QFETCH(bool, accepted);
        HwinfoProperty editor;
        OverlayItem item;
        item.sensorName = QStringLiteral("CPU Temp");
        item.titleFont = QFont(QStringLiteral("Serif"), 40);
        item.contentFont = QFont(QStringLiteral("Sans"), 60);
        editor.setItem(item);
        const QFont chosen(QStringLiteral("Monospace"), 25);
        QFont asked;
        editor.setFontChooser([&](bool* ok, const QFont& initial) {
            asked = initial;
            *ok = accepted;
            return accepted ? chosen : QFont();
        });
        QSignalSpy changes(&editor, &HwinfoProperty::hwinfopropertyChange);
        button(editor, title ? "pushButton_TitleFontEdit" : "pushButton_ContentFontEdit")->click();
        QCOMPARE(asked, title ? item.titleFont : item.contentFont);
        QCOMPARE(changes.count(), accepted ? 1 : 0);
        QCOMPARE(title ? editor.titleFont() : editor.contentFont(),
                 accepted ? chosen : (title ? item.titleFont : item.contentFont));
        QCOMPARE(title ? editor.contentFont() : editor.titleFont(), title ? item.contentFont : item.titleFont);
    }

    // The sensor button asks with "device//sensor"; an answer naming a sensor becomes the item's
    // sensor (display refreshed, change announced); anything else changes nothing.
    void selectSensor_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("sensor");
        QTest::newRow("device//sensor: chosen") << kBoard + "//Vcore" << kBoard << "Vcore";
        QTest::newRow("a sensor not in the catalogue: chosen, shown as a placeholder")
            << kBoard + "//Gone" << kBoard << "Gone";
        QTest::newRow("names holding //: chosen") << kPump + "//Flow//Rate" << kPump << "Flow//Rate";
        QTest::newRow("empty: unchanged") << ""
                                          << "Default Sensor"
                                          << "CPU Temp";
        QTest::newRow("no //: unchanged") << kBoard + "/Vcore"
                                          << "Default Sensor"
                                          << "CPU Temp";
        QTest::newRow("three parts naming nothing: unchanged") << "a//b//c"
                                                               << "Default Sensor"
                                                               << "CPU Temp";
    }
    void selectSensor()
    {
        QFETCH(QString, answer);
        QFETCH(QString, device);
        QFETCH(QString, sensor);
        HwinfoProperty editor;
        OverlayItem item;
        item.sensorName = QStringLiteral("CPU Temp");
        editor.setItem(item);
        QString asked;
        QWidget* askedParent = nullptr;
        editor.setSensorChooser([&](QWidget* parent, const QString& current) {
            askedParent = parent;
            asked = current;
            return answer;
        });
        QSignalSpy changes(&editor, &HwinfoProperty::hwinfopropertyChange);
        button(editor, "pushButton_SelectHwinfo")->click();
        QCOMPARE(asked, QStringLiteral("Default Sensor//CPU Temp"));
        QCOMPARE(askedParent, &editor);
        QCOMPARE(editor.hardwareName(), device);
        QCOMPARE(editor.sensorName(), sensor);
        QCOMPARE(changes.count(), device == kBoard || device == kPump ? 1 : 0);
        QCOMPARE(titleLabel(editor)->text(), displayNameFor(device, sensor));
        QCOMPARE(editor.gauge()->unit, readingFor(device, sensor).unit);
    }

    // The enable button flips the item's flag and announces it each time.
    void enableButton()
    {
        HwinfoProperty editor;
        QSignalSpy changes(&editor, &HwinfoProperty::hwinfopropertyChange);
        button(editor, "pushButton_Enable")->click();
        QVERIFY(editor.enable());
        QCOMPARE(editor.property("enable").toBool(), true);
        button(editor, "pushButton_Enable")->click();
        QVERIFY(!editor.enable());
        QCOMPARE(changes.count(), 2);
    }
};

QTEST_MAIN(TestHwinfoProperty)
#include "TestHwinfoProperty.moc"
