#include "app/DeviceLink.h"
#include "app/FramelessWidget.h"
#include "app/MainWindow.h"
#include "screen/MediaLabel.h"
#include "settings/AppPaths.h"
#include "tests/support/TestSupport.h"
#include "tests/support/app/AppFakes.h"
#include "tests/support/app/WindowTestFolder.h"
#include "ui_MainWindow.h"
#include "widgets/NoticeDialog.h"
#include "widgets/ProgressDialog.h"

#include <QButtonGroup>
#include <QDir>
#include <QMenu>
#include <QMetaMethod>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

using AppFakes::DialogDriver;
using AppFakes::FakeLink;

bool trayAbsent()
{
    return false;
}

} // namespace

class TestMainWindow final : public QObject
{
    Q_OBJECT

    QTemporaryDir programFolder;
    QTemporaryDir simFolder;

private slots:
    void initTestCase() { QVERIFY(WindowTestFolder::prepare(programFolder.path(), simFolder.path())); }

    void init() { WindowTestFolder::writeSettings({}); }

    void slotsInTheirOrder()
    {
        const QStringList expected = {"closeMainWindowEvent()",
                                      "iconActivated(QSystemTrayIcon::ActivationReason)",
                                      "changeImageListItem(int)",
                                      "deleteImageFromList(int)",
                                      "connectDevice()",
                                      "sendScreenJpgData()",
                                      "applyBgCycleSlot()",
                                      "updatehomepageHwinfo()",
                                      "updatehomepageBgLabel(QPixmap)",
                                      "changeTimeStyle(int)",
                                      "setHomePageScreenButtonStyleByifConnect(bool)",
                                      "on_pushButton_ScreenSwitch_clicked()",
                                      "on_pushButton_Horizontal_clicked()",
                                      "on_pushButton_Vertical_clicked()",
                                      "on_pushButton_DynamicSetting_clicked()",
                                      "on_pushButton_Time_clicked()",
                                      "on_pushButton_playCycleOne_clicked()",
                                      "on_pushButton_playCycleList_clicked()",
                                      "on_pushButton_playCycleRandom_clicked()",
                                      "on_pushButton_imageLIstArrowLeft_clicked()",
                                      "on_pushButton_imageLIstArrowRight_clicked()",
                                      "on_pushButton_bgAdd_clicked()",
                                      "on_pushButton_LeftArrow_clicked()",
                                      "on_pushButton_Settings_clicked()",
                                      "on_pushButton_about_us_clicked()",
                                      "on_pushButton_startup_setting_clicked()",
                                      "on_pushButton_homepage_screen_settings_clicked()",
                                      "on_pushButton_Settings_2_clicked()",
                                      "on_pushButton_sleep_mode_clicked()",
                                      "on_pushButton_user_agreement_clicked()",
                                      "on_pushButton_privacy_policy_clicked()",
                                      "on_pushButton_upload_firmware_clicked()",
                                      "on_comboBox_language_currentIndexChanged(int)",
                                      "on_comboBox_temperature_currentIndexChanged(int)"};
        const QMetaObject& meta = MainWindow::staticMetaObject;
        QStringList actual;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() == QMetaMethod::Slot)
                actual << QString::fromLatin1(meta.method(i).methodSignature());
        }
        QCOMPARE(actual, expected);
    }

    void navigation_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("homeIndex");
        QTest::addColumn<int>("mainIndex");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("screenControlShown");
        QTest::newRow("homepage gear: settings page")
            << QStringList{"pushButton_Settings_2"} << 0 << 1 << "Settings" << false;
        QTest::newRow("gear, back: screen editor")
            << QStringList{"pushButton_Settings_2", "pushButton_LeftArrow"} << 0 << 0 << "Screen Settings" << true;
        QTest::newRow("gear, back, back: homepage")
            << QStringList{"pushButton_Settings_2", "pushButton_LeftArrow", "pushButton_LeftArrow"} << 1 << 0
            << "Screen Settings" << true;
        QTest::newRow("screen settings button: editor")
            << QStringList{"pushButton_homepage_screen_settings"} << 0 << 0 << "Screen Settings" << true;
        QTest::newRow("editor gear: settings page")
            << QStringList{"pushButton_homepage_screen_settings", "pushButton_Settings"} << 0 << 1 << "Settings"
            << false;
        QTest::newRow("editor back: homepage")
            << QStringList{"pushButton_homepage_screen_settings", "pushButton_LeftArrow"} << 1 << 0 << "Screen Settings"
            << true;
    }
    void navigation()
    {
        QFETCH(QStringList, clicks);
        QFETCH(int, homeIndex);
        QFETCH(int, mainIndex);
        QFETCH(QString, title);
        QFETCH(bool, screenControlShown);
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        Ui::MainWindow* ui = window.form();
        QCOMPARE(ui->tabWidget_home->currentIndex(), 1); // starts on the homepage
        for (const QString& name : clicks)
            window.findChild<QPushButton*>(name)->click();
        QCOMPARE(ui->tabWidget_home->currentIndex(), homeIndex);
        QCOMPARE(ui->tabWidget_main->currentIndex(), mainIndex);
        QCOMPARE(ui->label_Title_ScreenSetting->text(), title);
        QCOMPARE(!ui->frame_ScreenControl->isHidden(), screenControlShown);
    }

    void startFromSettings_data()
    {
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<int>("styleMode");
        QTest::addColumn<int>("uiTypeIndex");
        QTest::addColumn<int>("checkedStyle");
        QTest::addColumn<QSize>("previewSize");
        QTest::newRow("ApplyStyleMode 2: clock page, style 1")
            << QVariantMap{{"ApplyStyleMode", 2}} << 2 << 1 << 1 << QSize(200, 120);
        QTest::newRow("ApplyStyleMode 1: clock page, style 0")
            << QVariantMap{{"ApplyStyleMode", 1}} << 1 << 1 << 0 << QSize(200, 120);
        QTest::newRow("ApplyStyleMode 0: overlay page")
            << QVariantMap{{"ApplyStyleMode", 0}} << 0 << 0 << 0 << QSize(200, 120);
        QTest::newRow("empty library, bgDirection 1: portrait")
            << QVariantMap{{"bgDirection", 1}} << 0 << 0 << 0 << QSize(120, 200);
        QTest::newRow("empty library, bgDirection 1, clock page: portrait")
            << QVariantMap{{"bgDirection", 1}, {"ApplyStyleMode", 2}} << 2 << 1 << 1 << QSize(120, 200);
    }
    void startFromSettings()
    {
        QFETCH(QVariantMap, settings);
        QFETCH(int, styleMode);
        QFETCH(int, uiTypeIndex);
        QFETCH(int, checkedStyle);
        QFETCH(QSize, previewSize);
        WindowTestFolder::writeSettings(settings);
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        Ui::MainWindow* ui = window.form();
        QCOMPARE(window.styleMode(), styleMode);
        QCOMPARE(ui->tabWidget_uiType->currentIndex(), uiTypeIndex);
        QCOMPARE(ui->frame_bgOp->isHidden(), uiTypeIndex == 1);
        QCOMPARE(ui->pushButton_Time->isChecked(), uiTypeIndex == 1);
        QCOMPARE(ui->pushButton_DynamicSetting->isChecked(), uiTypeIndex == 0);
        QCOMPARE(
            window.findChild<QRadioButton*>(QStringLiteral("radioButton_timeStyle%1").arg(checkedStyle))->isChecked(),
            true);
        QCOMPARE(ui->label_bg->size(), previewSize);
        QCOMPARE(ui->widget_bg->maximumSize(), previewSize + QSize(2, 2));
        QCOMPARE(window.frameWidth, previewSize.width() * 4);
        // The preview holds a real picture of the frame size, so frames are real pictures.
        QCOMPARE(ui->label_bg->pixmap(Qt::ReturnByValue).size(), QSize(window.frameWidth, window.frameHeight));
    }

    void orientationSlots()
    {
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        Ui::MainWindow* ui = window.form();
        ui->pushButton_Vertical->click();
        QCOMPARE(window.frameWidth, 480);
        QCOMPARE(window.frameHeight, 800);
        QCOMPARE(ui->label_bg->geometry(), QRect(1, 1, 120, 200));
        QCOMPARE(ui->widget_bg->minimumSize(), QSize(122, 202));
        QVERIFY(ui->pushButton_Vertical->isSelected());
        QVERIFY(!ui->pushButton_Horizontal->isSelected());
        QCOMPARE(ui->label_bg->pixmap(Qt::ReturnByValue).size(), QSize(480, 800));
        ui->pushButton_Horizontal->click();
        QCOMPARE(ui->label_bg->geometry(), QRect(1, 1, 200, 120));
        QCOMPARE(ui->label_bg->pixmap(Qt::ReturnByValue).size(), QSize(800, 480));
    }

    void pageModeSlots()
    {
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        Ui::MainWindow* ui = window.form();
        ui->pushButton_Time->click();
        QCOMPARE(window.styleMode(), 1);
        window.findChild<QRadioButton*>(QStringLiteral("radioButton_timeStyle1"))->click();
        QCOMPARE(window.styleMode(), 2);
        QVERIFY(ui->label_bg->clockLabel()->isVisibleTo(ui->label_bg));
        QVERIFY(!ui->label_bg->hourLabel()->isVisibleTo(ui->label_bg));
        ui->pushButton_DynamicSetting->click();
        QCOMPARE(window.styleMode(), 0);
        QVERIFY(!ui->label_bg->clockLabel()->isVisibleTo(ui->label_bg));
        QVERIFY(!ui->frame_bgOp->isHidden());
    }

    // Brightness, screen switch and standby mode from bgConfig.ini reach the frame header, and the
    // toggles change it with the next frame.
    void settingsReachTheHeader()
    {
        WindowTestFolder::writeSettings({{"ApplyBacklight", 75}, {"screenSwitch", false}, {"SleepMode", 1}});
        auto link = std::make_unique<FakeLink>();
        FakeLink* fake = link.get();
        MainWindow window(nullptr, std::move(link));
        Ui::MainWindow* ui = window.form();
        const auto header = [&] {
            QTest::qWait(20); // past the composer's 15 ms throttle
            emit fake->haveNoPacket();
            QCoreApplication::processEvents();
            return window.lastFrameHeader();
        };
        QByteArray h = header();
        QCOMPARE(h.size(), 40);
        QCOMPARE(int(uchar(h[8])), 0);
        QCOMPARE(int(uchar(h[10])), 1);
        QCOMPARE(fake->frames.size(), 1);
        ui->pushButton_ScreenSwitch->click();
        QCOMPARE(int(uchar(header()[8])), 75);
        ui->pushButton_sleep_mode->click();
        QCOMPARE(int(uchar(header()[10])), 0);
        ui->pushButton_Time->click();
        QCOMPARE(int(uchar(header()[9])), 1);
        QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("screenSwitch")).toBool(), true);
        QCOMPARE(ini.value(QStringLiteral("SleepMode")).toInt(), 0);
    }

    void destructionWritesTheSettings()
    {
        {
            MainWindow window(nullptr, std::make_unique<FakeLink>());
            window.form()->spinBox_brightness->setValue(42);
            window.form()->pushButton_Time->click();
        }
        QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("ApplyBacklight")).toInt(), 42);
        QCOMPARE(ini.value(QStringLiteral("ApplyStyleMode")).toInt(), 1);
    }

    void closeToTrayAndBack()
    {
        FramelessWidget frame;
        auto* window = new MainWindow(nullptr, std::make_unique<FakeLink>());
        frame.setMainWidget(window);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.findChild<QPushButton*>(QStringLiteral("pushButtonClose"))->click();
        QVERIFY(frame.isHidden());
        window->iconActivated(QSystemTrayIcon::Trigger);
        QVERIFY(frame.isVisible());
        frame.hide();
        window->iconActivated(QSystemTrayIcon::DoubleClick);
        QVERIFY(frame.isVisible());

        auto* tray = window->findChild<QSystemTrayIcon*>();
        QVERIFY(tray != nullptr);
        QCOMPARE(tray->toolTip(), QStringLiteral("VORTANE DUVIZERUZU SCREEN"));
        QStringList texts;
        for (QAction* action : tray->contextMenu()->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(texts, (QStringList{"Show", "-", "Quit"}));
        frame.hide();
        tray->contextMenu()->actions().first()->trigger();
        QVERIFY(frame.isVisible());
        window->iconActivated(QSystemTrayIcon::Context);
        QTRY_VERIFY(tray->contextMenu()->isVisible());
        tray->contextMenu()->hide();
        delete window;
    }

    // A close request on the page inside its frame closes the frame as its own close button does;
    // the page itself stays shown, so the frame comes back whole.
    void closeOfThePageClosesTheFrame_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("with a tray: the frame hides, Show brings the page back") << true;
        QTest::newRow("without a tray: the frame minimises") << false;
    }
    void closeOfThePageClosesTheFrame()
    {
        QFETCH(bool, tray);
        FramelessWidget::setTrayProbeForTesting(tray ? WindowTestFolder::trayPresent : trayAbsent);
        FramelessWidget frame;
        auto* window = new MainWindow(nullptr, std::make_unique<FakeLink>());
        frame.setMainWidget(window);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(!window->close());
        QVERIFY(window->isVisibleTo(&frame));
        if (tray) {
            QVERIFY(frame.isHidden());
            window->findChild<QSystemTrayIcon*>()->contextMenu()->actions().first()->trigger();
            QVERIFY(frame.isVisible());
            QVERIFY(window->isVisible());
        } else {
            QTRY_VERIFY(frame.isMinimized());
            QVERIFY(!frame.isHidden());
        }
        FramelessWidget::setTrayProbeForTesting(WindowTestFolder::trayPresent);
        delete window;
    }

    // The window's slots reach the discovery and the firmware flow it owns.
    void discoveryAndFirmwareWiring()
    {
        auto link = std::make_unique<FakeLink>();
        FakeLink* fake = link.get();
        MainWindow window(nullptr, std::move(link));
        window.show();
        Ui::MainWindow* ui = window.form();
        QCOMPARE(window.discoveryIntervalMs(), 1000);
        QCOMPARE(ui->pushButton_homepage_screen_settings->text(), QStringLiteral("Not Connected"));
        fake->present = true;
        fake->mode = 1;
        window.connectDevice();
        QCOMPARE(window.discoveryIntervalMs(), 0);
        QCOMPARE(ui->pushButton_homepage_screen_settings->text(), QStringLiteral("Screen Settings"));
        QCOMPARE(ui->label_firmware_version_info->text(), QStringLiteral("1.1.3"));

        DialogDriver driver;
        bool asked = false;
        window.setFirmwareFileChooser([&asked] {
            asked = true;
            return QString();
        });
        ui->pushButton_upload_firmware->click();
        QVERIFY(asked);
        QVERIFY(!driver.progressShown);
        QCOMPARE(fake->enterUpdateCalls, 0);
    }

    void languageSwitchRetranslates()
    {
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        Ui::MainWindow* ui = window.form();
        ui->comboBox_language->setCurrentRow(1);
        QCOMPARE(ui->label_Title_ScreenSetting->text(), QStringLiteral("屏幕设置"));
        QCOMPARE(ui->pushButton_homepage_screen_settings->text(), QStringLiteral("未连接"));
        QCOMPARE(ui->label_MedioLibraryText->text(), QStringLiteral("媒体库"));
        QCOMPARE(QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value("ApplyLanguage").toInt(), 1);
        ui->comboBox_language->setCurrentRow(0);
        QCOMPARE(ui->label_Title_ScreenSetting->text(), QStringLiteral("Screen Settings"));
        QCOMPARE(ui->label_MedioLibraryText->text(), QStringLiteral("Media Library"));
        QCOMPARE(QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value("ApplyLanguage").toInt(), 0);
    }

    void missingTranslationWarns()
    {
        const QString korean = AppPaths::translatorFolder() + QStringLiteral("/Translate_KR.qm");
        const QString aside = korean + QStringLiteral(".aside");
        QVERIFY(QFile::rename(korean, aside));
        {
            MainWindow window(nullptr, std::make_unique<FakeLink>());
            window.show();
            DialogDriver driver;
            window.form()->comboBox_language->setCurrentRow(3);
            QCOMPARE(driver.noticeTitle, QStringLiteral("Warning"));
            QCOMPARE(driver.noticeText, korean + QStringLiteral("lost"));
            QCOMPARE(window.form()->label_MedioLibraryText->text(), QStringLiteral("Media Library"));
        }
        QCOMPARE(QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value("ApplyLanguage").toInt(), 3);
        QVERIFY(QFile::rename(aside, korean));
        WindowTestFolder::writeSettings({});
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
