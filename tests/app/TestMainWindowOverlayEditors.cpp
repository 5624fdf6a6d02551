// The four overlay editors in the main window over the fake sensor library: what they show at
// start, how a change reaches the preview's labels, the composed frame and the simulated screen,
// what is saved and read back, and the sensor passes and the temperature unit reaching the editors.

#include "app/FramelessWidget.h"
#include "app/MainWindow.h"
#include "screen/FlexibleLabel.h"
#include "screen/FrameComposer.h"
#include "screen/MediaLabel.h"
#include "screen/OverlayLabels.h"
#include "sensors/CustomProgressBarRing.h"
#include "sensors/HwinfoProperty.h"
#include "sensors/HwinfoSelectDialog.h"
#include "sensors/SensorCatalogue.h"
#include "sensors/hwinfo.h"
#include "settings/AppPaths.h"
#include "shell/Fonts.h"
#include "tests/support/TestSupport.h"
#include "tests/support/app/AppFakes.h"
#include "tests/support/app/WindowTestFolder.h"
#include "tests/support/device/SimScreenPeer.h"
#include "tests/support/sensors/FakeSensorLibrary.h"
#include "tests/support/sensors/SensorFixtures.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>

namespace {

using AppFakes::FakeLink;

const QString kCpu = QStringLiteral("CPU [#0]: Test CPU");
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

// A CPU whose package reads `celsius` (the "Default Sensor" "CPU Temp") with a fan beside it.
void scriptCpu(double celsius)
{
    FakeSensorsReset();
    const int cpu = FakeSensorsAddDevice(kCpu.toUtf8().constData());
    const VortaneSensorRecord package = SensorFixtures::record(11, 10, 0, "CPU Package", "C", celsius);
    FakeSensorsSetRecord(cpu, 1, 0, &package, 1);
    const VortaneSensorRecord core = SensorFixtures::record(11, 11, 1, "Core Max", "C", celsius + 5);
    FakeSensorsSetRecord(cpu, 1, 1, &core, 1);
    const VortaneSensorRecord volts = SensorFixtures::record(11, 0, 0, "Core VID", "V", 1.2);
    FakeSensorsSetRecord(cpu, 2, 2, &volts, 1);
}

std::unique_ptr<MainWindow> makeWindow()
{
    return std::make_unique<MainWindow>(nullptr, std::make_unique<FakeLink>(), &SensorFixtures::fakeSource);
}

QPushButton* button(HwinfoProperty* editor, const char* name)
{
    return editor->findChild<QPushButton*>(QLatin1String(name));
}

// Of the opaque pixels of `picture` placed at `at`, the share `frame` shows near `colour`.
double match(const QImage& frame, const QImage& picture, const QPoint& at, const QColor& colour)
{
    int opaque = 0;
    int matched = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) < 250)
                continue;
            ++opaque;
            const QPoint f = at + QPoint(x, y);
            if (!frame.rect().contains(f))
                continue;
            const QRgb seen = frame.pixel(f);
            matched += qAbs(qRed(seen) - colour.red()) < 70 && qAbs(qGreen(seen) - colour.green()) < 70 &&
                       qAbs(qBlue(seen) - colour.blue()) < 70;
        }
    }
    return opaque == 0 ? 0.0 : double(matched) / opaque;
}

// The screen-frame packets the simulated screen received.
QList<QByteArray> framesOf(const SimScreenPeer& screen)
{
    QList<QByteArray> frames;
    for (const SimScreenPeer::Message& message : screen.received()) {
        if (message.endpoint == 0x01 && message.payload.size() > 40 && uchar(message.payload[0]) == 0x5A &&
            uchar(message.payload[1]) == 0xA5)
            frames.append(message.payload);
    }
    return frames;
}

// In editor `index`: choose `sensor` ("device//sensor"), green title, red value, shown.
void editItem(HwinfoProperty* editor, const QString& sensor)
{
    editor->setSensorChooser([sensor](QWidget*, const QString&) { return sensor; });
    button(editor, "pushButton_SelectHwinfo")->click();
    editor->setColorChooser([](const QColor&, QWidget*) { return kGreen; });
    button(editor, "pushButton_EditTitleColor")->click();
    editor->setColorChooser([](const QColor&, QWidget*) { return kRed; });
    button(editor, "pushButton_EditContentColor")->click();
    if (!editor->enable())
        button(editor, "pushButton_Enable")->click();
}

} // namespace

class TestMainWindowOverlayEditors final : public QObject
{
    Q_OBJECT

    QTemporaryDir programFolder;
    QTemporaryDir simFolder;

    void writeSettings(const QVariantMap& values)
    {
        QFile::remove(AppPaths::remarkFile());
        WindowTestFolder::writeSettings(values);
    }

    // The title and the value of item `index` as the frame shows them: share of the title's ink in
    // the title colour and of the value's ink in the value colour, at the labels' positions.
    static QPair<double, double> itemInFrame(const QImage& frame, MediaLabel* preview, int index, const QString& title,
                                             const QString& value)
    {
        const OverlayItem item = preview->overlayItem(index);
        const QImage titleInk = OverlayLabels::renderText(title, item.titleFont, Qt::white);
        const QImage valueInk = OverlayLabels::renderText(value, item.contentFont, Qt::white);
        return {match(frame, titleInk, preview->titleLabel(index)->pos() * 4, item.titleColor),
                match(frame, valueInk, preview->contentLabel(index)->pos() * 4, item.contentColor)};
    }

private slots:
    void initTestCase()
    {
        registerFonts();
        QVERIFY(WindowTestFolder::prepare(programFolder.path(), simFolder.path()));
    }

    void init()
    {
        resetSensorCatalogue();
        useFahrenheit = false;
        scriptCpu(45);
        writeSettings({});
    }

    // Four editors, IDs 0..3, in a scrolling column of the sensor tab, each showing its stored item.
    void editorsShowTheStoredItems()
    {
        writeSettings(
            {{"HwHardwareName1", kCpu}, {"HwSensorName1", "Core VID"}, {"HwEnable1", true}, {"HwTColor1", "ff102030"}});
        auto window = makeWindow();
        QWidget* column = window->form()->widget_hwinfoSelect;
        const auto editors = column->findChildren<HwinfoProperty*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(editors.size(), 4);
        auto* layout = qobject_cast<QVBoxLayout*>(column->layout());
        QVERIFY(layout != nullptr);
        QCOMPARE(layout->contentsMargins(), QMargins(20, 20, 20, 20));
        QCOMPARE(layout->spacing(), 20);
        auto* scroll = window->findChild<QScrollArea*>(QStringLiteral("scrollArea_hwinfoSelect"));
        QVERIFY(scroll != nullptr);
        QCOMPARE(scroll->widget(), column);
        for (int i = 0; i < 4; ++i) {
            HwinfoProperty* editor = window->overlayEditor(i);
            QCOMPARE(editor->property("ID").toInt(), i);
            QCOMPARE(layout->itemAt(i)->widget(), editor);
            QCOMPARE(editor->item(), window->form()->label_bg->overlayItem(i));
        }
        HwinfoProperty* second = window->overlayEditor(1);
        QCOMPARE(second->sensorName(), QStringLiteral("Core VID"));
        QVERIFY(second->enable());
        QCOMPARE(second->titleColor(), QColor(0x10, 0x20, 0x30));
        QCOMPARE(second->gauge()->valueText(), QStringLiteral("1.200"));
        QCOMPARE(window->overlayEditor(0)->sensorName(), QStringLiteral("CPU Temp"));
        QCOMPARE(window->overlayEditor(3)->sensorName(), QStringLiteral("RAM Usage"));
    }

    // An editor's sensor, colours and enable reach the preview's labels and the composed frame.
    void editorReachesLabelsAndFrame()
    {
        auto window = makeWindow();
        MediaLabel* preview = window->form()->label_bg;
        HwinfoProperty* editor = window->overlayEditor(2);
        QVERIFY(preview->titleLabel(2)->isHidden());
        editItem(editor, kCpu + "//CPU Package");
        const OverlayItem item = preview->overlayItem(2);
        QCOMPARE(item, editor->item());
        QCOMPARE(item.hardwareName, kCpu);
        QCOMPARE(item.sensorName, QStringLiteral("CPU Package"));
        QVERIFY(!preview->titleLabel(2)->isHidden());
        QCOMPARE(preview->overlays().renderedText(2, 0), QStringLiteral("CPU Package"));
        QCOMPARE(preview->overlays().renderedText(2, 1), QStringLiteral("45\u00B0C"));

        FrameComposer composer([] { return qint64(0); });
        const QImage frame = composer.composeImage(*preview, window->styleMode());
        const auto shares = itemInFrame(frame, preview, 2, QStringLiteral("CPU Package"), QStringLiteral("45\u00B0C"));
        QVERIFY2(shares.first > 0.9, qPrintable(QString::number(shares.first)));
        QVERIFY2(shares.second > 0.9, qPrintable(QString::number(shares.second)));

        // Switched off in the editor: off the preview and out of the frame.
        button(editor, "pushButton_Enable")->click();
        QVERIFY(preview->titleLabel(2)->isHidden());
        const QImage without = composer.composeImage(*preview, window->styleMode());
        QVERIFY(itemInFrame(without, preview, 2, QStringLiteral("CPU Package"), QStringLiteral("45\u00B0C")).second <
                0.1);
    }

    // What the editors hold is what is written, both by the overlay save and at exit, and a new
    // window shows it in its editors and on its labels.
    void editsAreSavedAndReadBack_data()
    {
        QTest::addColumn<bool>("saveExplicitly");
        QTest::newRow("saveOverlayConfig") << true;
        QTest::newRow("at exit") << false;
    }
    void editsAreSavedAndReadBack()
    {
        QFETCH(bool, saveExplicitly);
        const QFont titleFont(QStringLiteral("Serif"), 31);
        {
            auto window = makeWindow();
            HwinfoProperty* editor = window->overlayEditor(3);
            editItem(editor, kCpu + "//Core VID");
            editor->setFontChooser([&](bool* ok, const QFont&) {
                *ok = true;
                return titleFont;
            });
            button(editor, "pushButton_TitleFontEdit")->click();
            if (saveExplicitly) {
                window->saveOverlayConfig();
                QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
                QCOMPARE(ini.value(QStringLiteral("HwHardwareName3")).toString(), kCpu);
                QCOMPARE(ini.value(QStringLiteral("HwSensorName3")).toString(), QStringLiteral("Core VID"));
                QCOMPARE(ini.value(QStringLiteral("HwEnable3")).toBool(), true);
                QCOMPARE(ini.value(QStringLiteral("HwTColor3")).toString(), QStringLiteral("ff00ff00"));
                QCOMPARE(ini.value(QStringLiteral("HwCColor3")).toString(), QStringLiteral("ffff0000"));
            }
        }
        auto again = makeWindow();
        HwinfoProperty* editor = again->overlayEditor(3);
        QCOMPARE(editor->hardwareName(), kCpu);
        QCOMPARE(editor->sensorName(), QStringLiteral("Core VID"));
        QCOMPARE(editor->titleColor(), kGreen);
        QCOMPARE(editor->contentColor(), kRed);
        QCOMPARE(editor->titleFont().family(), titleFont.family());
        QCOMPARE(editor->titleFont().pointSize(), 31);
        QVERIFY(editor->enable());
        QCOMPARE(again->form()->label_bg->overlayItem(3), editor->item());
        QVERIFY(!again->form()->label_bg->titleLabel(3)->isHidden());
    }

    // The sensor tree chosen through the real runner, with a remark: the editor and the label take
    // the sensor and show the remark as its title.
    void sensorTreeChoiceWithRemark()
    {
        auto window = makeWindow();
        HwinfoProperty* editor = window->overlayEditor(0);
        HwinfoSelectDialog::setExecHookForTesting([](HwinfoSelectDialog& dialog) {
            auto* tree = dialog.findChild<QTreeWidget*>(QStringLiteral("treeWidget"));
            const auto found = tree->findItems(QStringLiteral("Core Max"), Qt::MatchExactly | Qt::MatchRecursive);
            if (found.size() != 1)
                return int(QDialog::Rejected);
            found.first()->setText(2, QStringLiteral("Hottest core"));
            found.first()->setCheckState(0, Qt::Checked);
            dialog.findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click();
            return dialog.result();
        });
        button(editor, "pushButton_SelectHwinfo")->click();
        HwinfoSelectDialog::setExecHookForTesting({});
        QCOMPARE(editor->sensorName(), QStringLiteral("Core Max"));
        QCOMPARE(editor->findChild<QLabel*>(QStringLiteral("label_HwinfoName"))->text(),
                 QStringLiteral("Hottest core"));
        QCOMPARE(window->form()->label_bg->overlayItem(0).sensorName, QStringLiteral("Core Max"));
        QCOMPARE(window->form()->label_bg->overlays().renderedText(0, 0), QStringLiteral("Hottest core"));
        QSettings remarks(AppPaths::remarkFile(), QSettings::IniFormat);
        remarks.setIniCodec("UTF-8");
        QCOMPARE(remarks.value(remarkKey(kCpu, QStringLiteral("Core Max"))).toString(), QStringLiteral("Hottest core"));
    }

    // Every sensor pass refreshes the editors' gauges; after the unit switch they show °F.
    void passesAndUnitReachTheEditors()
    {
        auto window = makeWindow();
        HwinfoProperty* editor = window->overlayEditor(0);
        QCOMPARE(editor->gauge()->valueText(), QStringLiteral("45"));
        QCOMPARE(editor->gauge()->unit, QStringLiteral("\u00B0C"));
        scriptCpu(71);
        QTRY_COMPARE_WITH_TIMEOUT(editor->gauge()->valueText(), QStringLiteral("71"), 5000);
        window->form()->comboBox_temperature->setCurrentRow(1);
        QTRY_COMPARE_WITH_TIMEOUT(editor->gauge()->unit, QStringLiteral("\u00B0F"), 5000);
        QCOMPARE(editor->gauge()->valueText(), QStringLiteral("160"));
        window->form()->comboBox_temperature->setCurrentRow(0);
        QTRY_COMPARE_WITH_TIMEOUT(editor->gauge()->unit, QStringLiteral("\u00B0C"), 5000);
    }

    // The editors' button tips switch with the language.
    void tipsFollowTheLanguage()
    {
        auto window = makeWindow();
        QPushButton* select = button(window->overlayEditor(0), "pushButton_SelectHwinfo");
        QCOMPARE(select->toolTip(), QStringLiteral("Choose sensor"));
        window->form()->comboBox_language->setCurrentRow(1);
        QTRY_COMPARE(select->toolTip(), QStringLiteral("选择传感器"));
        window->form()->comboBox_language->setCurrentRow(0);
        QTRY_COMPARE(select->toolTip(), QStringLiteral("Choose sensor"));
    }

    // End to end: a sensor chosen and recoloured in an editor shows on the frames the simulated
    // screen receives over the real device link.
    void editorReachesTheScreen()
    {
        auto screen = std::make_unique<SimScreenPeer>(simFolder.path(), QStringLiteral("screen"));
        QVERIFY(screen->isListening());
        MainWindow window(nullptr, {}, &SensorFixtures::fakeSource);
        QTRY_VERIFY_WITH_TIMEOUT(framesOf(*screen).size() >= 2, 10000);
        MediaLabel* preview = window.form()->label_bg;
        editItem(window.overlayEditor(1), kCpu + "//CPU Package");
        const int sentBefore = framesOf(*screen).size();
        QTRY_VERIFY_WITH_TIMEOUT(framesOf(*screen).size() >= sentBefore + 3, 10000);
        const QImage frame =
            QImage::fromData(framesOf(*screen).last().mid(40), "JPG").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(frame.size(), QSize(800, 480));
        const auto shares = itemInFrame(frame, preview, 1, QStringLiteral("CPU Package"), QStringLiteral("45\u00B0C"));
        QVERIFY2(shares.first > 0.6, qPrintable(QString::number(shares.first)));
        QVERIFY2(shares.second > 0.6, qPrintable(QString::number(shares.second)));
        // The former title is not what is drawn there.
        const auto former = itemInFrame(frame, preview, 1, QStringLiteral("GPU Temp"), QStringLiteral("45\u00B0C"));
        QVERIFY2(former.first < shares.first - 0.2, qPrintable(QString::number(former.first)));
    }
};

QTEST_MAIN(TestMainWindowOverlayEditors)
#include "TestMainWindowOverlayEditors.moc"
