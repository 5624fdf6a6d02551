#pragma once

#include "media/MediaLibrary.h"
#include "media/MediaUpload.h"
#include "screen/FrameComposer.h"
#include "settings/SettingsState.h"
#include "settings/SettingsStore.h"
#include "shell/AppGlobals.h"

#include <QByteArray>
#include <QImage>
#include <QMainWindow>
#include <QStringList>
#include <QSystemTrayIcon>

#include <array>
#include <functional>
#include <memory>

#include "app/DeviceLink.h"

class DeviceDiscovery;
class FirmwareUpdateFlow;
class HomepageDashboard;
class HwinfoProperty;
class hwinfo;
class QAction;
class QButtonGroup;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class QTranslator;
class QUrl;

namespace Ui {
class MainWindow;
}

// The application's content window, hosted inside FramelessWidget: the homepage, the screen
// editor and the settings page, the navigation between them, the tray icon, device discovery and
// the frame composer that feeds the device. It owns the application state for the life of the
// process and writes every setting when it is destroyed. GUI thread only.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(MainWindow)

public:
    // Makes the sensor source; called once, first thing in the constructor.
    using SensorSourceFactory = std::function<std::unique_ptr<hwinfo>()>;

    // `device` replaces the program's own device link (tests); null uses the real one. `sensors`
    // makes the sensor source (tests: a fake library); empty loads the platform's sensor library.
    explicit MainWindow(QWidget* parent = nullptr, std::unique_ptr<DeviceLink> device = {},
                        SensorSourceFactory sensors = {});
    ~MainWindow() override;

    // Writes every application setting to bgConfig.ini (widget values are copied in first).
    void saveAppConfig();
    void saveMediaConfig();
    void saveOverlayConfig();
    // Replaces the installed translation by the .qm file at `path`; a file that does not load
    // leaves the texts as they are and shows the "Warning" notice.
    void loadTranslator(const QString& path);

    int isPrivacyPolicyAgree = 0; // first-launch flag (bgConfig.ini isPrivacyPolicyAgree)
    QTabWidget* tabWidget_home = nullptr;

    // Current frame size of the orientation: 800 x 480 landscape, 480 x 800 portrait.
    int frameWidth = 800;
    int frameHeight = 480;
    int styleMode() const { return m_state.applyStyleMode; }
    int sleepMode() const { return m_state.sleepMode; }
    int currentMediaIndex() const { return m_library.currentIndex(); }
    // The play-cycle mode the cycle buttons show: 0 one item, 1 list, 2 shuffle.
    int cycleMode() const { return m_state.applyBgCycleMode; }
    const MediaLibrary& mediaLibrary() const { return m_library; }
    // Asked before a library item is deleted; the default shows the "Delete?" dialog.
    void setDeleteConfirmation(std::function<bool()> confirm);
    // The random values of the shuffle mode; the default is the process-wide generator.
    void setRandomSource(MediaLibrary::RandomSource random);

    // The upload behind the media strip's "+" (tests put their seams in).
    MediaUpload* mediaUpload() const { return m_upload.get(); }

    // The 40-byte header of the packet the composer made last (null before the first).
    QByteArray lastFrameHeader() const { return m_lastPacket; }
    // The discovery timer's period while it runs (1000 ms, 100 ms after an arrival), else 0.
    int discoveryIntervalMs() const;
    // Asks the user for the firmware file; an empty answer ends the flow. The default shows the
    // open-file dialog "Select Firmware" for ".bin" files; tests put their own in.
    void setFirmwareFileChooser(std::function<QString()> chooser);
    // How long the firmware flow waits for the device to come back in update mode.
    void setUpdateModeWaitLimitMs(int ms);
    // Opens a web address for "About Us"; the default hands it to the desktop's browser.
    void setUrlOpener(std::function<bool(const QUrl&)> open);
    // The sensor source this window owns (never null); its thread runs from the end of the
    // constructor until the destructor.
    hwinfo* sensorSource() const { return m_sensors.get(); }
    // The device link this window drives (never null).
    DeviceLink* deviceLink() const { return m_device.get(); }
    Ui::MainWindow* form() const { return ui.get(); }
    // The overlay editor of item `index` (0..3) in the screen editor's sensor tab.
    HwinfoProperty* overlayEditor(int index) const { return m_overlayEditors.at(size_t(index)); }

    // The "on" and "off" style sheets of the settings page toggles; a toggle is on exactly when
    // it carries the "on" one.
    static QString toggleOnStyle();
    static QString toggleOffStyle();

public slots:
    void closeMainWindowEvent();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void changeImageListItem(int index);
    void deleteImageFromList(int index);
    void connectDevice();
    void sendScreenJpgData();
    void applyBgCycleSlot();
    void updatehomepageHwinfo();
    void updatehomepageBgLabel(QPixmap frame);
    void changeTimeStyle(int id);
    void setHomePageScreenButtonStyleByifConnect(bool connected);
    void on_pushButton_ScreenSwitch_clicked();
    void on_pushButton_Horizontal_clicked();
    void on_pushButton_Vertical_clicked();
    void on_pushButton_DynamicSetting_clicked();
    void on_pushButton_Time_clicked();
    void on_pushButton_playCycleOne_clicked();
    void on_pushButton_playCycleList_clicked();
    void on_pushButton_playCycleRandom_clicked();
    void on_pushButton_imageLIstArrowLeft_clicked();
    void on_pushButton_imageLIstArrowRight_clicked();
    void on_pushButton_bgAdd_clicked();
    void on_pushButton_LeftArrow_clicked();
    void on_pushButton_Settings_clicked();
    void on_pushButton_about_us_clicked();
    void on_pushButton_startup_setting_clicked();
    void on_pushButton_homepage_screen_settings_clicked();
    void on_pushButton_Settings_2_clicked();
    void on_pushButton_sleep_mode_clicked();
    void on_pushButton_user_agreement_clicked();
    void on_pushButton_privacy_policy_clicked();
    void on_pushButton_upload_firmware_clicked();
    void on_comboBox_language_currentIndexChanged(int index);
    void on_comboBox_temperature_currentIndexChanged(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Windows delivers device arrival and removal as window messages; elsewhere the device link
    // signals them.
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;

private:
    void applyTextStyles();
    void buildTimeStyleSelector();
    void buildSettingsPage();
    // Hands the homepage tiles to the dashboard and shows their initial texts.
    void buildHomepage();
    void createTray();
    void chooseStartOrientationAndPage();
    void setOrientation(int width, int height);
    bool isPortrait() const { return frameWidth != screenWidth; }
    // Starts a shipped full-frame medium (the fallback video, a clock background) in the preview.
    void showFullFrameBackground(const QString& fileName);
    // The fallback video of the orientation, looping, in place of a library item.
    void showFallbackVideo();
    // Rebuilds the strip from the library's thumbnails (building the missing ones) and marks the
    // applied item.
    void refreshThumbnails();
    // Checks the cycle button of `mode`, stores it and gives it to the preview; `reapply` restarts
    // the applied item.
    void selectCycleMode(int mode, bool reapply);
    // Frame size, preview size and strip of an orientation, without choosing a medium.
    void setOrientationFrame(int width, int height);
    // Copies the library into the settings state before a save.
    void syncLibraryToState();
    void retranslate();
    bool toggleIsOn(const QWidget* toggle) const;
    void setToggle(QWidget* toggle, bool on);
    void applyStoredOverlays();
    void copyOverlaysIntoState();
    // The crop-and-scale dialogs the upload runs for stills, GIFs and videos.
    MediaUpload::ScaleDialogs scaleDialogs();
    // The four overlay editors in a scrolling column of the sensor tab, showing the stored items;
    // each change goes to the preview's overlay labels.
    void createOverlayEditors();
    // The editors' titles and gauges after a sensor pass.
    void refreshOverlayEditors();

    // Declared first: the sensor source is created before everything else and stopped last.
    std::unique_ptr<hwinfo> m_sensors;
    std::unique_ptr<Ui::MainWindow> ui;
    SettingsStore m_store;
    SettingsState m_state;
    QMenu* trayMenu = nullptr;
    QSystemTrayIcon* trayIcon = nullptr;
    QAction* showAction = nullptr;
    QAction* quitAction = nullptr;
    QButtonGroup* timeStyleGroup = nullptr;
    QLabel* timeStylePreview[2] = {nullptr, nullptr};
    std::unique_ptr<DeviceLink> m_device;
    DeviceDiscovery* m_discovery = nullptr;
    std::unique_ptr<FirmwareUpdateFlow> m_firmwareFlow;
    std::unique_ptr<HomepageDashboard> m_dashboard;
    std::function<bool(const QUrl&)> m_openUrl;
    int constructing = 1; // 1 while the constructor runs: the overlay tab keeps the stored page mode
    QTranslator* translator = nullptr;
    FrameComposer m_composer;
    MediaLibrary m_library;
    std::function<bool()> m_confirmDelete;
    MediaLibrary::RandomSource m_random;
    std::unique_ptr<MediaUpload> m_upload;
    QByteArray m_lastPacket;
    std::array<HwinfoProperty*, kOverlayItemSlots> m_overlayEditors{};
};
