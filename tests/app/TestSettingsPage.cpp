// The settings page, row by row: the four languages live (and a file that does not load), the
// temperature unit, launch on startup through the autostart entry, the screen and standby toggles
// in the frame header, the versions, "About Us", and a start that runs no change slot.

#include "app/FramelessWidget.h"
#include "app/MainWindow.h"
#include "settings/AppPaths.h"
#include "settings/AutoStart.h"
#include "tests/support/TestSupport.h"
#include "tests/support/app/AppFakes.h"
#include "tests/support/app/WindowTestFolder.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace {

using AppFakes::DialogDriver;
using AppFakes::FakeLink;

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSettingsPage final : public QObject
{
    Q_OBJECT

    QTemporaryDir programFolder;
    QTemporaryDir simFolder;

    QString autostartEntry() const
    {
        return programFolder.filePath(QStringLiteral("config/autostart/vortane-screen.desktop"));
    }

private slots:
    void initTestCase() { QVERIFY(WindowTestFolder::prepare(programFolder.path(), simFolder.path())); }

    void init()
    {
        WindowTestFolder::writeSettings({});
        QFile::remove(autostartEntry());
    }

    // Each language re-translates the generated texts, the page title and the homepage's sentence
    // about a missing board chip; back in English every one reads as before.
    void languagesSwitchLive_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("mediaLibrary");
        QTest::addColumn<QString>("settingsTitle");
        QTest::addColumn<QString>("chipSentenceStart");
        QTest::addColumn<QString>("boardTitle");
        QTest::newRow("simplified Chinese") << 1 << QStringLiteral("媒体库") << QStringLiteral("设置")
                                            << QStringLiteral("未找到主板传感器芯片") << QStringLiteral("主板");
        QTest::newRow("Japanese") << 2 << QStringLiteral("メディアライブラリ") << QStringLiteral("設定")
                                  << QStringLiteral("マザーボードのセンサーチップ") << QStringLiteral("マザーボード");
        QTest::newRow("Korean") << 3 << QStringLiteral("미디어 라이브러리") << QStringLiteral("설정")
                                << QStringLiteral("메인보드 센서 칩") << QStringLiteral("메인보드");
    }
    void languagesSwitchLive()
    {
        QFETCH(int, index);
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        Ui::MainWindow* ui = window.form();
        ui->pushButton_Settings_2->click();
        ui->comboBox_language->setCurrentRow(index);
        QTEST(ui->label_MedioLibraryText->text(), "mediaLibrary");
        QTEST(ui->label_Title_ScreenSetting->text(), "settingsTitle");
        QFETCH(QString, chipSentenceStart);
        QVERIFY(ui->label_boardChipMissing->text().startsWith(chipSentenceStart));
        QTEST(ui->widget_MotherboardTemperature->title(), "boardTitle");
        QCOMPARE(ui->label_app_version_info->text(), QStringLiteral("1.0.0"));
        // The language names are never translated.
        QCOMPARE(ui->comboBox_language->itemText(1), QStringLiteral("简体中文"));
        QCOMPARE(QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value("ApplyLanguage").toInt(), index);

        ui->comboBox_language->setCurrentRow(0);
        QCOMPARE(ui->label_MedioLibraryText->text(), QStringLiteral("Media Library"));
        QCOMPARE(ui->label_Title_ScreenSetting->text(), QStringLiteral("Settings"));
        QVERIFY(ui->label_boardChipMissing->text().startsWith(QLatin1String("No mainboard sensor chip found")));
        QCOMPARE(ui->label_language->text(), QStringLiteral("Language"));
        QCOMPARE(ui->widget_MotherboardTemperature->title(), QStringLiteral("Motherboard"));
    }

    // A file that does not load leaves the language in use installed: the texts on show stay, and
    // so do the texts set afterwards (the page title when the user navigates).
    void failedTranslationKeepsTheCurrentOne()
    {
        const QString korean = AppPaths::translatorFolder() + QStringLiteral("/Translate_KR.qm");
        const QString aside = korean + QStringLiteral(".aside");
        QVERIFY(QFile::rename(korean, aside));
        {
            MainWindow window(nullptr, std::make_unique<FakeLink>());
            window.show();
            Ui::MainWindow* ui = window.form();
            ui->comboBox_language->setCurrentRow(1);
            QCOMPARE(ui->label_MedioLibraryText->text(), QStringLiteral("媒体库"));
            DialogDriver driver;
            ui->comboBox_language->setCurrentRow(3);
            QTRY_VERIFY(!driver.noticeText.isEmpty());
            QCOMPARE(driver.noticeTitle, QStringLiteral("警告"));
            QVERIFY(driver.noticeText.startsWith(korean));
            QCOMPARE(ui->label_MedioLibraryText->text(), QStringLiteral("媒体库"));
            ui->pushButton_Settings->click();
            QCOMPARE(ui->label_Title_ScreenSetting->text(), QStringLiteral("设置"));
            ui->pushButton_LeftArrow->click();
            QCOMPARE(ui->label_Title_ScreenSetting->text(), QStringLiteral("屏幕设置"));
        }
        // The index is stored all the same, so the next start tries the file again.
        QCOMPARE(QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value("ApplyLanguage").toInt(), 3);
        QVERIFY(QFile::rename(aside, korean));
    }

    void sameLanguageOnlyWritesTheIndex()
    {
        WindowTestFolder::writeSettings({{"ApplyLanguage", 2}});
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        Ui::MainWindow* ui = window.form();
        QCOMPARE(ui->label_MedioLibraryText->text(), QStringLiteral("メディアライブラリ"));
        // The stored language reaches the homepage titles set while the window is built.
        QCOMPARE(ui->widget_ChipsetTemperature->title(), QStringLiteral("チップセット"));
        QSettings(AppPaths::settingsFile(), QSettings::IniFormat).remove(QStringLiteral("ApplyLanguage"));
        window.on_comboBox_language_currentIndexChanged(2);
        QCOMPARE(ui->label_MedioLibraryText->text(), QStringLiteral("メディアライブラリ"));
        QCOMPARE(QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value("ApplyLanguage").toInt(), 2);
    }

    // The drop-downs show the stored values, and building the page writes nothing: a start with
    // temperUnit 1 leaves the settings file as it was.
    void startRunsNoChangeSlot()
    {
        WindowTestFolder::writeSettings({{"temperUnit", 1}, {"ApplyLanguage", 1}, {"SleepMode", 1}});
        const QByteArray before = fileBytes(AppPaths::settingsFile());
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        Ui::MainWindow* ui = window.form();
        QCOMPARE(ui->comboBox_temperature->currentIndex(), 1);
        QCOMPARE(ui->comboBox_temperature->itemText(0), QStringLiteral("\u00B0C"));
        QCOMPARE(ui->comboBox_temperature->itemText(1), QStringLiteral("\u00B0F"));
        QCOMPARE(ui->comboBox_language->currentIndex(), 1);
        QCOMPARE(ui->comboBox_language->count(), 4);
        QVERIFY(useFahrenheit.load());
        QCOMPARE(ui->pushButton_sleep_mode->styleSheet(), MainWindow::toggleOffStyle());
        QCOMPARE(fileBytes(AppPaths::settingsFile()), before);
    }

    void temperatureUnitIsStored()
    {
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        Ui::MainWindow* ui = window.form();
        ui->comboBox_temperature->setCurrentRow(1);
        QVERIFY(useFahrenheit.load());
        QCOMPARE(QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value("temperUnit").toInt(), 1);
        ui->comboBox_temperature->setCurrentRow(0);
        QVERIFY(!useFahrenheit.load());
        QCOMPARE(QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value("temperUnit").toInt(), 0);
    }

    // The toggle writes and removes the autostart entry and shows whether it exists.
    void launchOnStartup()
    {
        {
            MainWindow window(nullptr, std::make_unique<FakeLink>());
            QPushButton* toggle = window.form()->pushButton_startup_setting;
            QCOMPARE(toggle->styleSheet(), MainWindow::toggleOffStyle());
            toggle->click();
            QVERIFY(QFile::exists(autostartEntry()));
            QVERIFY(isAutoStart());
            QCOMPARE(toggle->styleSheet(), MainWindow::toggleOnStyle());
            const QByteArray entry = fileBytes(autostartEntry());
            QVERIFY2(entry.contains("Exec=") && entry.contains(" min\n"), entry.constData());
        }
        {
            // The next start finds the entry.
            MainWindow window(nullptr, std::make_unique<FakeLink>());
            QPushButton* toggle = window.form()->pushButton_startup_setting;
            QCOMPARE(toggle->styleSheet(), MainWindow::toggleOnStyle());
            toggle->click();
            QVERIFY(!QFile::exists(autostartEntry()));
            QCOMPARE(toggle->styleSheet(), MainWindow::toggleOffStyle());
        }
    }

    // The toggles reach the next composed packet's header: byte 8 brightness (0 while the screen
    // is off), byte 10 the sleep flag (0 while standby mode is on).
    void togglesInTheFrameHeader_data()
    {
        QTest::addColumn<bool>("screenOn");
        QTest::addColumn<bool>("standbyOn");
        QTest::addColumn<int>("brightnessByte");
        QTest::addColumn<int>("sleepByte");
        QTest::newRow("screen on, standby on") << true << true << 75 << 0;
        QTest::newRow("screen off: brightness 0") << false << true << 0 << 0;
        QTest::newRow("standby off: sleep flag 1") << true << false << 75 << 1;
        QTest::newRow("both off") << false << false << 0 << 1;
    }
    void togglesInTheFrameHeader()
    {
        QFETCH(bool, screenOn);
        QFETCH(bool, standbyOn);
        WindowTestFolder::writeSettings({{"ApplyBacklight", 75}});
        auto link = std::make_unique<FakeLink>();
        FakeLink* fake = link.get();
        MainWindow window(nullptr, std::move(link));
        Ui::MainWindow* ui = window.form();
        if (!screenOn)
            ui->pushButton_ScreenSwitch->click();
        if (!standbyOn)
            ui->pushButton_sleep_mode->click();
        QTest::qWait(20); // past the composer's 15 ms throttle
        emit fake->haveNoPacket();
        QCoreApplication::processEvents();
        const QByteArray header = window.lastFrameHeader();
        QCOMPARE(header.size(), 40);
        QTEST(int(uchar(header[8])), "brightnessByte");
        QTEST(int(uchar(header[10])), "sleepByte");
        QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("screenSwitch"), true).toBool(), screenOn);
        QCOMPARE(ini.value(QStringLiteral("SleepMode"), 0).toInt(), standbyOn ? 0 : 1);
    }

    void versions()
    {
        auto link = std::make_unique<FakeLink>();
        FakeLink* fake = link.get();
        MainWindow window(nullptr, std::move(link));
        Ui::MainWindow* ui = window.form();
        QCOMPARE(ui->label_app_version_info->text(), QStringLiteral("1.0.0"));
        QCOMPARE(ui->label_firmware_version_info->text(), QString());
        fake->present = true;
        fake->mode = 1;
        window.connectDevice();
        QCOMPARE(ui->label_firmware_version_info->text(), QStringLiteral("1.1.3"));
    }

    void aboutUsOpensTheProductPage()
    {
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        QList<QUrl> opened;
        window.setUrlOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        window.form()->pushButton_about_us->click();
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first().isValid());
        QCOMPARE(opened.first().scheme(), QStringLiteral("https"));
        // FAQ has no action.
        window.form()->pushButton_faq->click();
        QCOMPARE(opened.size(), 1);
    }
};

QTEST_MAIN(TestSettingsPage)
#include "TestSettingsPage.moc"
