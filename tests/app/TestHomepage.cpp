// The homepage of the program's window on fixture machines, through the real sensor library: the
// fixture's temperatures, fan speeds, usages and frequencies on the tiles, in °F after the switch
// together with the screen's overlays, and the sentence about a missing board sensor chip.
// With VORTANE_SHOTS_DIR set (run under a real X server), the homepage and the settings page in
// the four languages are written there as PNG files.

#include "app/FramelessWidget.h"
#include "app/MainWindow.h"
#include "screen/MediaLabel.h"
#include "screen/OverlayLabels.h"
#include "sensors/CustomHwinfoProgressbarLight.h"
#include "sensors/CustonHwinfoDisplayLabel.h"
#include "sensors/SensorCatalogue.h"
#include "sensors/homepageHwinfoDisplayWidget.h"
#include "sensors/hwinfo.h"
#include "settings/AppPaths.h"
#include "shell/Fonts.h"
#include "tests/support/TestSupport.h"
#include "tests/support/app/AppFakes.h"
#include "tests/support/app/WindowTestFolder.h"
#include "tests/support/sensors/SensorFixtures.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using SensorFixtures::MachineTree;

namespace {

using AppFakes::FakeLink;

// The window's frame at the size the program opens it.
struct ProgramWindow
{
    FramelessWidget frame;
    MainWindow* window = nullptr;

    ProgramWindow()
    {
        window = new MainWindow(nullptr, std::make_unique<FakeLink>(), &SensorFixtures::realSource);
        frame.setMainWidget(window);
        frame.show();
    }
    ~ProgramWindow() { delete window; }
    Ui::MainWindow* ui() const { return window->form(); }
};

// Waits for `count` passes of the window's sensor source to reach the GUI thread.
void waitForPasses(MainWindow* window, int count)
{
    QSignalSpy passes(window->sensorSource(), &hwinfo::upateHwinfo);
    QTRY_VERIFY_WITH_TIMEOUT(passes.count() >= count, 10000);
    QCoreApplication::processEvents();
}

QString shotsFolder()
{
    return qEnvironmentVariable("VORTANE_SHOTS_DIR");
}

void shoot(QWidget& frame, const QString& name)
{
    if (shotsFolder().isEmpty())
        return;
    QDir().mkpath(shotsFolder());
    QCoreApplication::processEvents();
    QVERIFY(frame.grab().save(shotsFolder() + QLatin1Char('/') + name + QStringLiteral(".png")));
}

// Widgets of one parent that overlap one another or stick out of it.
QStringList overlapsIn(const QWidget* parent)
{
    QStringList faults;
    QList<QWidget*> children;
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child != nullptr && child->isVisibleTo(parent->window()) && !child->isWindow())
            children << child;
    }
    for (int i = 0; i < children.size(); ++i) {
        if (!parent->rect().contains(children[i]->geometry()))
            faults << children[i]->objectName() + QStringLiteral(" outside ") + parent->objectName();
        for (int j = i + 1; j < children.size(); ++j) {
            if (children[i]->geometry().intersects(children[j]->geometry()))
                faults << children[i]->objectName() + QStringLiteral(" overlaps ") + children[j]->objectName();
        }
    }
    return faults;
}

// A label whose text needs more room than the label has.
QStringList clippedLabels(const QWidget* root)
{
    QStringList faults;
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(root->window()) || label->wordWrap() || label->text().isEmpty() ||
            !label->pixmap(Qt::ReturnByValue).isNull())
            continue;
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        const int room = label->contentsRect().width() - 2 * label->margin() - 2 * label->indent();
        if (needed > room + 1)
            faults << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                          .arg(label->objectName(), label->text())
                          .arg(needed)
                          .arg(room);
    }
    // A button's text keeps some room to its border.
    for (const QPushButton* button : root->findChildren<QPushButton*>()) {
        if (!button->isVisibleTo(root->window()) || button->text().isEmpty())
            continue;
        // Link-style (flat) buttons are as wide as their text; framed ones keep 8 px each side.
        const int needed = button->fontMetrics().horizontalAdvance(button->text()) + (button->isFlat() ? 0 : 16);
        if (needed > button->width())
            faults << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                          .arg(button->objectName(), button->text())
                          .arg(needed)
                          .arg(button->width());
    }
    return faults;
}

} // namespace

class TestHomepage final : public QObject
{
    Q_OBJECT

    QTemporaryDir programFolder;
    QTemporaryDir simFolder;

private slots:
    void initTestCase()
    {
        registerFonts();
        QVERIFY(WindowTestFolder::prepare(programFolder.path(), simFolder.path(), true));
    }

    void init()
    {
        resetSensorCatalogue();
        useFahrenheit = false;
        // Overlay item 0 on the screen: the "Default Sensor" CPU temperature.
        WindowTestFolder::writeSettings(
            {{"HwSensorName0", "CPU Temp"}, {"HwHardwareName0", "Default Sensor"}, {"HwEnable0", true}});
    }

    // The Intel desktop: what its sysfs says is what the tiles say; after the switch to °F the
    // first full pass shows °F on the tiles and on the screen's overlay alike.
    void fixtureMachineOnTheHomepage()
    {
        auto tree = MachineTree::intelDesktop();
        ProgramWindow program;
        Ui::MainWindow* ui = program.ui();
        QVERIFY(ui->label_boardChipMissing->isHidden());
        waitForPasses(program.window, 1);

        QCOMPARE(ui->widget_CpuTemperature->value(), QStringLiteral("45"));
        QCOMPARE(ui->widget_CpuTemperature->unit(), QStringLiteral("\u00B0C"));
        QCOMPARE(ui->widget_CpuPackageTemperature->value(), QStringLiteral("55"));
        QCOMPARE(ui->widget_MotherboardTemperature->value(), QStringLiteral("33"));
        QCOMPARE(ui->widget_ChipsetTemperature->value(), QStringLiteral("48"));
        // No GPU in this machine.
        QCOMPARE(ui->widget_GpuTemperature->value(), QStringLiteral("--"));
        QCOMPARE(ui->widget_GpuTemperature->unit(), QStringLiteral("-"));
        QCOMPARE(ui->widget_CpuFanSpeed->valueText(), QStringLiteral("1250RPM"));
        QCOMPARE(ui->widget_CpuFanSpeed->barValue(), 41);
        QCOMPARE(ui->widget_ChassisFanSpeed->value(), QStringLiteral("650RPM"));
        QCOMPARE(ui->widget_VRMHSFan->value(), QStringLiteral("720RPM"));
        QCOMPARE(ui->widget_CpuFrequency->valueText(), QStringLiteral("4750MHz"));
        QCOMPARE(ui->widget_CpuFrequency->barValue(), 52);
        QVERIFY(ui->widget_CpuAverageUsage->valueText().endsWith(QLatin1Char('%')));
        QVERIFY(ui->widget_RamUsage->value().endsWith(QLatin1Char('%')));
        QCOMPARE(ui->widget_RamUsage->title(), QStringLiteral("RAM"));
        QCOMPARE(ui->widget_temp1Frequency->value(), QStringLiteral("- -"));
        MediaLabel* preview = ui->label_bg;
        QCOMPARE(preview->overlays().renderedText(0, 1), QStringLiteral("55\u00B0C"));
        shoot(program.frame, QStringLiteral("homepage-intel-desktop"));

        ui->comboBox_temperature->setCurrentRow(1);
        // A pass that was running when the unit changed may still be in °C; the next one is not.
        waitForPasses(program.window, 2);
        QCOMPARE(ui->widget_CpuTemperature->value(), QStringLiteral("113"));
        QCOMPARE(ui->widget_CpuTemperature->unit(), QStringLiteral("\u00B0F"));
        QCOMPARE(ui->widget_CpuPackageTemperature->value(), QStringLiteral("131"));
        QCOMPARE(ui->widget_MotherboardTemperature->unit(), QStringLiteral("\u00B0F"));
        QCOMPARE(preview->overlays().renderedText(0, 1), QStringLiteral("131\u00B0F"));
        QCOMPARE(ui->widget_CpuFanSpeed->valueText(), QStringLiteral("1250RPM"));
        shoot(program.frame, QStringLiteral("homepage-intel-desktop-fahrenheit"));
        ui->comboBox_temperature->setCurrentRow(0);
    }

    // Without a board chip the homepage says so, in the language in use.
    void missingBoardChipIsTold()
    {
        auto tree = MachineTree::intelLaptop();
        ProgramWindow program;
        Ui::MainWindow* ui = program.ui();
        QVERIFY(boardSensorChipMissing());
        QVERIFY(ui->label_boardChipMissing->isVisible());
        QVERIFY(ui->label_boardChipMissing->text().contains(QLatin1String("nct6775")));
        waitForPasses(program.window, 1);
        QCOMPARE(ui->widget_CpuFanSpeed->valueText(), QStringLiteral("- -"));
        QCOMPARE(overlapsIn(ui->widget_homepage_groups), QStringList());
        shoot(program.frame, QStringLiteral("homepage-no-board-chip"));
    }

    // At the window's size nothing on the homepage or the settings page is clipped or overlaps,
    // in any language.
    void layoutInEveryLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("simplified Chinese") << 1;
        QTest::newRow("Japanese") << 2;
        QTest::newRow("Korean") << 3;
    }
    void layoutInEveryLanguage()
    {
        QFETCH(int, language);
        auto tree = MachineTree::intelLaptop();
        WindowTestFolder::writeSettings({{"ApplyLanguage", language}});
        ProgramWindow program;
        QVERIFY(QTest::qWaitForWindowExposed(&program.frame));
        Ui::MainWindow* ui = program.ui();
        waitForPasses(program.window, 1);
        // The frame keeps the size the program opens it at: the pages fit in it.
        QCOMPARE(program.frame.size(), QSize(1280, 680));
        const QString suffix = QStringLiteral("-lang%1").arg(language);
        QStringList faults;
        for (const QWidget* group :
             {ui->widget_homepage_body, ui->widget_Temperature_frame, ui->widget_homepage_groups,
              static_cast<QWidget*>(ui->widget_Fan_frame), static_cast<QWidget*>(ui->widget_Frequency_frame)})
            faults << overlapsIn(group);
        faults << clippedLabels(ui->tab_homepage);
        shoot(program.frame, QStringLiteral("homepage") + suffix);

        ui->pushButton_Settings_2->click();
        QCoreApplication::processEvents();
        faults << clippedLabels(ui->tab_Config);
        shoot(program.frame, QStringLiteral("settings") + suffix);
        ui->scrollArea_settings->verticalScrollBar()->setValue(ui->scrollArea_settings->verticalScrollBar()->maximum());
        shoot(program.frame, QStringLiteral("settings-end") + suffix);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestHomepage)
#include "TestHomepage.moc"
