#include "app/MainWindow.h"

#include "app/DeviceDiscovery.h"
#include "app/FirmwareUpdateFlow.h"
#include "app/FramelessWidget.h"
#include "media/CustomImageList.h"
#include "media/pixScaleDialog.h"
#include "screen/MediaLabel.h"
#include "screen/OverlayLayout.h"
#include "sensors/HomepageDashboard.h"
#include "sensors/HwinfoProperty.h"
#include "sensors/SensorCatalogue.h"
#include "sensors/hwinfo.h"
#include "settings/AppPaths.h"
#include "settings/AutoStart.h"
#include "shell/AppGlobals.h"
#include "shell/TextStyles.h"
#include "ui_MainWindow.h"
#include "widgets/CustomItemButton.h"
#include "widgets/Dialog_Privary_Policy.h"
#include "widgets/Dialog_User_Agreement.h"
#include "widgets/Dialog_Warn_delete.h"
#include "widgets/NoticeDialog.h"
#include "widgets/VScrollBar.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QRandomGenerator64>
#include <QScrollArea>
#include <QTabBar>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

namespace {

constexpr int kNoticeShowMs = 3000;
constexpr int kNoticeFadeStepMs = 20;
constexpr char kAppVersion[] = "1.0.0";
constexpr char kTrayToolTip[] = "VORTANE DUVIZERUZU SCREEN";
constexpr char kProductPage[] = "https://www.vortane.com/";

// The strip's arrows scroll by this much.
constexpr int kStripScrollStepPx = 450;
// Height of the homepage's copy of the preview, and its outline colour.
constexpr int kHomepagePreviewHeight = 118;
constexpr QRgb kHomepagePreviewOutline = 0xFF00AAFF;

// Index = ApplyLanguage.
constexpr const char* kLanguageNames[] = {"English", "简体中文", "日本語", "한국인"};
constexpr const char* kTranslationFiles[] = {"Translate_EN.qm", "Translate_CN.qm", "Translate_JP.qm",
                                             "Translate_KR.qm"};

// The shipped clock background of an orientation (the clock pages and the fallback picture).
QString clockBackgroundFile(bool portrait)
{
    return AppPaths::defaultMediaFile(portrait ? QStringLiteral("defaultbgClockV.jpg")
                                               : QStringLiteral("defaultbgClockH.jpg"));
}

// The shipped video of an orientation, shown when no library item fits it.
QString fallbackVideoFile(bool portrait)
{
    return AppPaths::defaultMediaFile(portrait ? QStringLiteral("defaultbgV.mp4") : QStringLiteral("defaultbgH.mp4"));
}

// The time-style tile: the style's icon centred on a dark card of the frame size.
QPixmap timeStyleTile(int style, int width, int height, bool portrait)
{
    QImage tile(width, height, QImage::Format_ARGB32_Premultiplied);
    tile.fill(QColor(37, 37, 37));
    QPainter painter(&tile);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(QColor(37, 37, 37));
    painter.drawRect(tile.rect());
    const QImage icon(style == 0 ? QStringLiteral(":/material/Icon/time_icon.png")
                                 : QStringLiteral(":/material/Icon/clock_icon.png"));
    painter.drawImage((width - icon.width()) / 2, (height - icon.height()) / 2, icon);
    painter.setPen(QPen(QColor(51, 51, 51), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(tile.rect(), 2, 2);
    painter.end();
    return QPixmap::fromImage(tile.scaledToWidth(portrait ? 200 : 236, Qt::SmoothTransformation));
}

} // namespace

MainWindow::MainWindow(QWidget* parent, std::unique_ptr<DeviceLink> device, SensorSourceFactory sensors)
    : QMainWindow(parent)
    , m_sensors(sensors ? sensors() : std::make_unique<hwinfo>())
    , ui(std::make_unique<Ui::MainWindow>())
    , m_device(device ? std::move(device) : DeviceLink::createControllerLink())
{
    ui->setupUi(this);
    m_discovery = new DeviceDiscovery(m_device.get(), ui->pushButton_homepage_screen_settings,
                                      ui->label_firmware_version_info, this);
    m_firmwareFlow = std::make_unique<FirmwareUpdateFlow>(m_device.get(), this);
    // Shown after the attempt that found the screen has returned, so the notice never runs inside
    // a handshake's wait.
    connect(
        m_discovery, &DeviceDiscovery::permissionProblem, this,
        [this](const QString& advice) { showNotice(this, tr("Warning"), advice, kNoticeShowMs, kNoticeFadeStepMs); },
        Qt::QueuedConnection);
    tabWidget_home = ui->tabWidget_home;
    for (QTabWidget* pages : {ui->tabWidget_home, ui->tabWidget_main, ui->tabWidget_uiType})
        pages->tabBar()->hide();

    screenWidth = 800;
    screenHeight = 480;
    previewScale = 0.25;
    overlayItemCount = 4;
    m_state = SettingsState{};
    // One pass before the settings load: the default overlay layout is measured against the
    // texts the labels will show.
    m_sensors->refresh();

    applyTextStyles();
    ui->pushButton_Horizontal->setIcons(QStringLiteral(":/material/Icon/horizontal_Rectangle_p.png"),
                                        QStringLiteral(":/material/Icon/horizontal_Rectangle_h.png"),
                                        QStringLiteral(":/material/Icon/horizontal_Rectangle_n.png"),
                                        QStringLiteral(":/material/Icon/horizontal_Rectangle_d.png"));
    ui->pushButton_Vertical->setIcons(QStringLiteral(":/material/Icon/Vertical_Rectangle_p.png"),
                                      QStringLiteral(":/material/Icon/Vertical_Rectangle_h.png"),
                                      QStringLiteral(":/material/Icon/Vertical_Rectangle_n.png"),
                                      QStringLiteral(":/material/Icon/Vertical_Rectangle_d.png"));
    m_store.openSettingsFiles();
    // The catalogue shows a sensor by its remark, and the default overlay layout measures the
    // titles as they are shown.
    remarkStore = m_store.remarkSettings();
    m_store.setDefaultOverlayLayout(&applyDefaultOverlayLayout);
    m_store.loadConfig(m_state);
    isPrivacyPolicyAgree = m_state.isPrivacyPolicyAgree;
    m_library.setPathResolver(&AppPaths::resolveMediaPath);
    m_library.setItems(m_state.mediaPaths, m_state.mediaRecords, int(m_state.defaultMediaPaths.size()));
    m_library.setCurrentIndex(m_state.currentMediaIndex);
    m_confirmDelete = [this] { return confirmDelete(this); };
    m_random = [] { return QRandomGenerator64::global()->generate(); };
    m_upload = std::make_unique<MediaUpload>(m_library, this, AppPaths::backgroundFolder());
    m_upload->setScaleDialogs(scaleDialogs());
    m_upload->setStreamingLink(
        {[this] { disconnect(m_device.get(), &DeviceLink::haveNoPacket, this, &MainWindow::sendScreenJpgData); },
         [this] {
             connect(m_device.get(), &DeviceLink::haveNoPacket, this, &MainWindow::sendScreenJpgData,
                     Qt::UniqueConnection);
         }});
    m_upload->setItemAdded([this](int index) {
        refreshThumbnails();
        changeImageListItem(index);
        ui->widget_ImageList->showItem(index);
        saveMediaConfig();
    });
    m_openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    if (m_state.applyLanguage >= 0 && m_state.applyLanguage < 4)
        loadTranslator(AppPaths::translatorFolder() + QLatin1Char('/') +
                       QLatin1String(kTranslationFiles[m_state.applyLanguage]));
    ui->label_bg->setOverlayPositions(m_state.overlayPositions);
    applyStoredOverlays();
    createOverlayEditors();
    buildTimeStyleSelector();
    buildSettingsPage();
    buildHomepage();
    m_device->registerNotifications(this);

    // The homepage copy keeps the preview's shape (landscape or portrait) at its own height.
    ui->label_homepage_preview_bg->setScaledContents(false);
    ui->label_homepage_preview_bg->setAlignment(Qt::AlignCenter);
    connect(ui->widget_ImageList, &CustomImageList::changeImageItem, this, &MainWindow::changeImageListItem);
    connect(ui->widget_ImageList, &CustomImageList::deleteImageFromList, this, &MainWindow::deleteImageFromList);
    connect(m_sensors.get(), &hwinfo::upateHwinfo, ui->label_bg, &MediaLabel::updataHwinfoLabel);
    connect(m_sensors.get(), &hwinfo::upateHwinfo, this, &MainWindow::updatehomepageHwinfo);
    connect(ui->label_bg, &MediaLabel::mediaOver, this, &MainWindow::applyBgCycleSlot);
    connect(ui->label_bg, &MediaLabel::updatebgImage, this, &MainWindow::updatehomepageBgLabel);
    connect(m_device.get(), &DeviceLink::haveNoPacket, this, &MainWindow::sendScreenJpgData);

    m_library.refreshThumbnails();
    // The stored cycle mode reaches the buttons and the preview before the applied item starts.
    selectCycleMode(m_state.applyBgCycleMode, false);
    chooseStartOrientationAndPage();
    // One more pass now that the preview listens, so its texts are current before the first frame;
    // then the thread. A library whose Init failed (status 0) has nothing to read; a missing one
    // (-1) still runs passes, which fill the placeholders.
    if (m_sensors->status != 0) {
        m_sensors->refresh();
        m_sensors->start();
    }
    setHomePageScreenButtonStyleByifConnect(false);
    m_discovery->start();
    ui->label_app_version_info->setText(QLatin1String(kAppVersion));
    createTray();
    constructing = 0;
}

MainWindow::~MainWindow()
{
    saveAppConfig();
    // The background medium's threads end before the window goes.
    ui->label_bg->stopMedia();
    // Passes still running deliver nothing more to the window.
    disconnect(m_sensors.get(), nullptr, this, nullptr);
    disconnect(m_sensors.get(), nullptr, ui->label_bg, nullptr);
    // No composition or discovery may run while the members go.
    disconnect(m_device.get(), nullptr, this, nullptr);
    m_discovery->stop();
    delete timeStylePreview[0];
    delete timeStylePreview[1];
    timeStylePreview[0] = timeStylePreview[1] = nullptr;
    m_device->closeDevice();
    // Stops the sensor thread (waking it from its sleep) and closes the library.
    m_sensors.reset();
    if (remarkStore == m_store.remarkSettings())
        remarkStore = nullptr;
}

QString MainWindow::toggleOnStyle()
{
    return QStringLiteral("QPushButton{border:none;background:transparent;image:url(:/material/Icon/button_on.png);}");
}

QString MainWindow::toggleOffStyle()
{
    return QStringLiteral("QPushButton{border:none;background:transparent;image:url(:/material/Icon/button_off.png);}");
}

bool MainWindow::toggleIsOn(const QWidget* toggle) const
{
    return toggle->styleSheet() == toggleOnStyle();
}

void MainWindow::setToggle(QWidget* toggle, bool on)
{
    toggle->setStyleSheet(on ? toggleOnStyle() : toggleOffStyle());
}

void MainWindow::applyTextStyles()
{
    using namespace TextStyle;
    const auto style = [](QWidget* widget, const char* fragment) {
        appendStyleSheet(widget, QString::fromLatin1(fragment));
    };
    style(ui->label_homepage, SegoeBold24Light);
    style(ui->label_Title_ScreenSetting, SegoeBold24Light);
    style(ui->label_MedioLibraryText, SegoeSemibold16Light);
    for (QLabel* title :
         {ui->label_Fan_title, ui->label_Voltage_title, ui->label_Usage_title, ui->label_Frequency_title})
        style(title, SegoeSemibold16Light);
    for (QLabel* rowLabel :
         {ui->label_language, ui->label_temperature, ui->label_startup_setting, ui->label_screen_setting,
          ui->label_sleep_mode, ui->label_app_version, ui->label_firmware_version})
        style(rowLabel, SegoeRegular16Light);
    style(ui->label_sleep_mode_tip, SegoeRegular14Grey);
    style(ui->label_app_version_info, SegoeRegular16Grey);
    style(ui->label_firmware_version_info, SegoeRegular16Grey);

    QFont titleFont(familyAlibabaExtraBold);
    titleFont.setPixelSize(24);
    // The family may hold several weights; the title uses its heaviest face.
    titleFont.setWeight(QFont::ExtraBold);
    ui->label_homepage_title->setFont(titleFont);
    ui->label_homepage_title->setStyleSheet(QStringLiteral("color:#F2F2F2;"));
    ui->label_homepage_title->setMinimumWidth(
        QFontMetrics(titleFont).horizontalAdvance(ui->label_homepage_title->text()) + 8);
    for (QWidget* group :
         {ui->widget_Fan_frame, ui->widget_Voltage_frame, ui->widget_Usage_frame, ui->widget_Frequency_frame}) {
        group->setStyleSheet(QStringLiteral("QWidget{background-color:#1a1a1a;}QWidget#") + group->objectName() +
                             QStringLiteral("{border:2px solid #333333;border-radius:5px;background-color:#1a1a1a;}"
                                            "QLabel{background-color:#1a1a1a;}"));
    }
}

void MainWindow::buildTimeStyleSelector()
{
    timeStyleGroup = new QButtonGroup(this);
    timeStyleGroup->setExclusive(true);
    auto* column = new QVBoxLayout(ui->widget_timeStyleSelect);
    column->setSpacing(20);
    column->setContentsMargins(0, 0, 0, 0);
    for (int id = 0; id < 2; ++id) {
        auto* row = new QHBoxLayout;
        auto* radio = new QRadioButton(ui->widget_timeStyleSelect);
        radio->setObjectName(QStringLiteral("radioButton_timeStyle%1").arg(id));
        radio->setStyleSheet(
            QStringLiteral("QRadioButton::indicator::unchecked {image: url(:/material/Icon/groupbox_unselect.png);}"
                           "QRadioButton::indicator::checked {image: url(:/material/Icon/groupbox_select.png); }"));
        timeStyleGroup->addButton(radio, id);
        timeStylePreview[id] = new QLabel(ui->widget_timeStyleSelect);
        timeStylePreview[id]->setObjectName(QStringLiteral("label_timeStyle%1").arg(id));
        row->addStretch(1);
        row->addWidget(radio);
        row->addWidget(timeStylePreview[id]);
        row->addStretch(1);
        column->addLayout(row);
    }
    column->addStretch(1);
    timeStyleGroup->button(m_state.applyStyleMode == 2 ? 1 : 0)->setChecked(true);
    connect(timeStyleGroup, &QButtonGroup::idClicked, this, &MainWindow::changeTimeStyle);
}

void MainWindow::buildSettingsPage()
{
    ui->scrollArea_settings->setVerticalScrollBar(new VScrollBar(ui->scrollArea_settings));
    ui->scrollArea_settings->viewport()->setAutoFillBackground(false);
    ui->scrollArea_settings->viewport()->setStyleSheet(QStringLiteral("background:transparent;"));
    QSignalBlocker blockLanguage(ui->comboBox_language);
    QSignalBlocker blockTemperature(ui->comboBox_temperature);
    for (const char* name : kLanguageNames)
        ui->comboBox_language->addRow(QString::fromUtf8(name));
    ui->comboBox_language->setCurrentRow(qBound(0, m_state.applyLanguage, 3));
    ui->comboBox_temperature->addRow(QStringLiteral("°C"));
    ui->comboBox_temperature->addRow(QStringLiteral("°F"));
    ui->comboBox_temperature->setCurrentRow(useFahrenheit.load() ? 1 : 0);
    setToggle(ui->pushButton_startup_setting, isAutoStart());
    setToggle(ui->pushButton_sleep_mode, m_state.sleepMode != 1);
    setToggle(ui->pushButton_ScreenSwitch, m_state.screenSwitch);
    ui->spinBox_brightness->setValue(qBound(0, m_state.applyBacklight, 100));
}

void MainWindow::createTray()
{
    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setIcon(QIcon(QStringLiteral(":/favicon.ico")));
    trayIcon->setToolTip(QLatin1String(kTrayToolTip));
    showAction = new QAction(QStringLiteral("Show"), this);
    quitAction = new QAction(QStringLiteral("Quit"), this);
    connect(showAction, &QAction::triggered, this, [this] {
        if (QWidget* frame = window())
            frame->showNormal();
    });
    // A transcode in progress stops first, so the program does not wait for it and leaves no file.
    connect(quitAction, &QAction::triggered, m_upload.get(), &MediaUpload::cancel);
    connect(quitAction, &QAction::triggered, qApp, &QCoreApplication::quit);
    trayMenu = new QMenu(this);
    trayMenu->addAction(showAction);
    trayMenu->addSeparator();
    trayMenu->addAction(quitAction);
    trayIcon->setContextMenu(trayMenu);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::iconActivated);
    trayIcon->setVisible(true);
}

void MainWindow::chooseStartOrientationAndPage()
{
    const int count = m_library.count();
    if (m_library.currentIndex() >= count)
        m_library.setCurrentIndex(0);
    const int index = m_library.currentIndex();
    if (count > 0 && index >= 0) {
        if (m_library.record(index).width == screenWidth)
            on_pushButton_Horizontal_clicked();
        else
            on_pushButton_Vertical_clicked();
    } else if (m_state.bgDirection == 1) {
        on_pushButton_Vertical_clicked();
    } else {
        on_pushButton_Horizontal_clicked();
    }
    if (m_state.applyStyleMode == 1 || m_state.applyStyleMode == 2)
        on_pushButton_Time_clicked();
    else
        on_pushButton_DynamicSetting_clicked();
}

void MainWindow::syncLibraryToState()
{
    m_state.mediaPaths = m_library.paths();
    m_state.mediaRecords = m_library.records();
    m_state.currentMediaIndex = m_library.currentIndex();
}

// The items of bgConfig.ini go onto the preview's labels the way the overlay editors apply them,
// so an enabled item is on the screen from the first frame of the dynamic mode.
void MainWindow::applyStoredOverlays()
{
    for (int i = 0; i < kOverlayItemSlots; ++i)
        ui->label_bg->applyOverlayItem(i, m_state.overlayItems.at(size_t(i)));
}

void MainWindow::createOverlayEditors()
{
    // Four editors are taller than the tab: the column scrolls.
    QWidget* column = ui->widget_hwinfoSelect;
    auto* scrollArea = new QScrollArea(ui->tab_hwinfo);
    scrollArea->setObjectName(QStringLiteral("scrollArea_hwinfoSelect"));
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setWidgetResizable(true);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setVerticalScrollBar(new VScrollBar(scrollArea));
    scrollArea->setStyleSheet(QStringLiteral("QScrollArea#scrollArea_hwinfoSelect{background:transparent;border:none;}"
                                             "QWidget#widget_hwinfoSelect{background:transparent;}"));
    scrollArea->viewport()->setAutoFillBackground(false);
    delete ui->verticalLayout_hwinfo->replaceWidget(column, scrollArea);
    scrollArea->setWidget(column);
    column->setAutoFillBackground(false);
    // The form's fixed minimum height would override the editors' own: the column takes theirs.
    column->setMinimumSize(0, 0);

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(20);
    for (int i = 0; i < kOverlayItemSlots; ++i) {
        auto* editor = new HwinfoProperty(column);
        editor->setObjectName(QStringLiteral("hwinfoProperty%1").arg(i));
        editor->setProperty("ID", i);
        editor->setItem(m_state.overlayItems.at(size_t(i)));
        layout->addWidget(editor);
        connect(editor, &HwinfoProperty::hwinfopropertyChange, ui->label_bg, &MediaLabel::updateHwinfoPropertySlot);
        m_overlayEditors[size_t(i)] = editor;
    }
    layout->addStretch(1);
}

void MainWindow::refreshOverlayEditors()
{
    for (HwinfoProperty* editor : m_overlayEditors) {
        if (editor != nullptr)
            editor->refreshDisplay();
    }
}

// What is saved is what the labels hold: the items as last applied and the positions as dragged.
void MainWindow::copyOverlaysIntoState()
{
    for (int i = 0; i < kOverlayItemSlots; ++i)
        m_state.overlayItems[size_t(i)] = ui->label_bg->overlayItem(i);
    m_state.overlayPositions = ui->label_bg->overlayPositions();
}

void MainWindow::saveAppConfig()
{
    syncLibraryToState();
    m_state.isPrivacyPolicyAgree = isPrivacyPolicyAgree;
    m_state.applyBacklight = ui->spinBox_brightness->value();
    m_state.screenSwitch = toggleIsOn(ui->pushButton_ScreenSwitch);
    m_state.temperUnit = qMax(0, ui->comboBox_temperature->currentIndex());
    copyOverlaysIntoState();
    m_store.saveAppConfig(m_state);
}

void MainWindow::saveMediaConfig()
{
    syncLibraryToState();
    m_store.saveMediaConfig(m_state);
}

void MainWindow::saveOverlayConfig()
{
    syncLibraryToState();
    copyOverlaysIntoState();
    m_store.saveOverlayConfig(m_state);
}

void MainWindow::loadTranslator(const QString& path)
{
    // The new file is loaded before the installed one goes: a file that does not load leaves the
    // current language in place, for the texts on show and for every text set later.
    auto* loaded = new QTranslator(this);
    if (!loaded->load(path)) {
        delete loaded;
        showNotice(this, tr("Warning"), path + tr("lost"), kNoticeShowMs, kNoticeFadeStepMs);
        return;
    }
    if (translator != nullptr) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    translator = loaded;
    QCoreApplication::installTranslator(translator);
    retranslate();
}

void MainWindow::retranslate()
{
    ui->retranslateUi(this);
    // Null while the constructor installs the stored language, before the homepage is built.
    if (m_dashboard)
        m_dashboard->retranslate();
    ui->label_Title_ScreenSetting->setText(ui->tabWidget_main->currentIndex() == 1 ? tr("Settings")
                                                                                   : tr("Screen Settings"));
    setHomePageScreenButtonStyleByifConnect(m_device->isOpen() && m_device->deviceMode() == 1);
    ui->label_app_version_info->setText(QLatin1String(kAppVersion));
}

// ---- close and tray ----

void MainWindow::closeMainWindowEvent()
{
    QWidget* top = window();
    if (auto* frame = qobject_cast<FramelessWidget*>(top))
        frame->hideToTray();
    else if (top != nullptr)
        top->hide();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Inside its frame the page never closes on its own: a close request (a window manager's, or
    // close() on the page) closes the frame, which hides to the tray or minimises where there is
    // none. Hiding only the page would leave the frame empty when the tray brings it back.
    if (window() != this) {
        event->ignore();
        closeMainWindowEvent();
        return;
    }
    if (trayIcon != nullptr && trayIcon->isVisible() && FramelessWidget::systemTrayAvailable()) {
        hide();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    QWidget* frame = window();
    switch (reason) {
    case QSystemTrayIcon::Context:
        trayMenu->popup(QCursor::pos());
        break;
    case QSystemTrayIcon::DoubleClick:
        frame->activateWindow();
        frame->showNormal();
        break;
    case QSystemTrayIcon::Trigger:
        frame->showNormal();
        break;
    default:
        break;
    }
}

// ---- media library ----

void MainWindow::setDeleteConfirmation(std::function<bool()> confirm)
{
    m_confirmDelete = std::move(confirm);
}

void MainWindow::setRandomSource(MediaLibrary::RandomSource random)
{
    m_random = std::move(random);
}

void MainWindow::changeImageListItem(int index)
{
    MediaLabel* preview = ui->label_bg;
    if (ui->pushButton_Time->isChecked()) {
        // The clock page keeps its background; the library position stays as it is.
        preview->setProperty("id", 0);
        preview->setPlayCycleMode(0);
        showFullFrameBackground(clockBackgroundFile(isPortrait()));
        return;
    }
    const QString file = m_library.playableFile(index);
    if (file.isEmpty()) {
        showFallbackVideo();
        return;
    }
    const MediaScaleRecord record = m_library.record(index);
    // An item is shown in its own orientation; the buttons, the frame size and the strip follow.
    if (record.width != frameWidth && record.width > 0 && record.height > 0)
        setOrientationFrame(record.width, record.height);
    m_library.setCurrentIndex(index);
    ui->widget_ImageList->selectItem(index);
    preview->setProperty("id", index);
    // After the fallback video or the clock page the preview plays again in the mode the cycle
    // buttons show.
    preview->setPlayCycleMode(m_state.applyBgCycleMode);
    preview->setBackgroundMedia(file, record);
}

void MainWindow::showFallbackVideo()
{
    ui->label_bg->setProperty("id", 0);
    ui->label_bg->setPlayCycleMode(0);
    showFullFrameBackground(fallbackVideoFile(isPortrait()));
}

void MainWindow::deleteImageFromList(int index)
{
    const MediaLibrary::Removal removal = m_library.remove(index, m_confirmDelete);
    if (!removal.removed)
        return;
    const int shown = ui->label_bg->property("id").toInt();
    if (!removal.wasApplied && shown > index)
        ui->label_bg->setProperty("id", shown - 1);
    refreshThumbnails();
    if (removal.wasApplied) {
        const int next = m_library.firstOfWidth(frameWidth);
        if (next >= 0) {
            changeImageListItem(next);
        } else {
            m_library.setCurrentIndex(-1);
            changeImageListItem(-1);
        }
    }
    saveMediaConfig();
}

void MainWindow::refreshThumbnails()
{
    m_library.refreshThumbnails();
    ui->widget_ImageList->setItems(m_library.stripEntries(), isPortrait());
    ui->widget_ImageList->selectItem(m_library.currentIndex());
}

void MainWindow::applyBgCycleSlot()
{
    if (m_library.isEmpty() || ui->pushButton_Time->isChecked())
        return;
    const int shown = ui->label_bg->property("id").toInt();
    const MediaLibrary::CycleChoice choice =
        m_library.nextForCycle(m_state.applyBgCycleMode, shown, frameWidth, m_random);
    switch (choice.step) {
    case MediaLibrary::CycleStep::Stay:
        break;
    case MediaLibrary::CycleStep::Fallback:
        changeImageListItem(-1);
        break;
    case MediaLibrary::CycleStep::Apply:
        changeImageListItem(choice.index);
        break;
    }
}

void MainWindow::selectCycleMode(int mode, bool reapply)
{
    ui->pushButton_playCycleOne->setChecked(mode == 0);
    ui->pushButton_playCycleList->setChecked(mode == 1);
    ui->pushButton_playCycleRandom->setChecked(mode == 2);
    if (mode >= 0 && mode <= 2)
        m_state.applyBgCycleMode = mode;
    ui->label_bg->setPlayCycleMode(m_state.applyBgCycleMode);
    if (reapply)
        changeImageListItem(m_library.currentIndex());
}

void MainWindow::on_pushButton_playCycleOne_clicked()
{
    selectCycleMode(0, true);
}

void MainWindow::on_pushButton_playCycleList_clicked()
{
    selectCycleMode(1, true);
}

void MainWindow::on_pushButton_playCycleRandom_clicked()
{
    selectCycleMode(2, true);
}

void MainWindow::on_pushButton_imageLIstArrowLeft_clicked()
{
    ui->widget_ImageList->setScrollValue(ui->widget_ImageList->scrollValue() - kStripScrollStepPx);
}

void MainWindow::on_pushButton_imageLIstArrowRight_clicked()
{
    ui->widget_ImageList->setScrollValue(ui->widget_ImageList->scrollValue() + kStripScrollStepPx);
}

void MainWindow::on_pushButton_bgAdd_clicked()
{
    m_upload->run(frameWidth, frameHeight);
}

MediaUpload::ScaleDialogs MainWindow::scaleDialogs()
{
    return {MediaUpload::ScaleDialog(&runImageScaleDialog), MediaUpload::ScaleDialog(&runGifScaleDialog),
            MediaUpload::ScaleDialog(&runVideoScaleDialog)};
}

void MainWindow::showFullFrameBackground(const QString& path)
{
    ui->label_bg->setBackgroundMedia(path, MediaScaleRecord::defaultMedium(frameWidth, frameHeight));
}

// ---- homepage ----

void MainWindow::buildHomepage()
{
    HomepageTiles tiles;
    tiles.cpuTemperature = ui->widget_CpuTemperature;
    tiles.cpuPackageTemperature = ui->widget_CpuPackageTemperature;
    tiles.motherboardTemperature = ui->widget_MotherboardTemperature;
    tiles.chipsetTemperature = ui->widget_ChipsetTemperature;
    tiles.gpuTemperature = ui->widget_GpuTemperature;
    tiles.mTemperature = ui->widget_mTemperature;
    tiles.cpuFanSpeed = ui->widget_CpuFanSpeed;
    tiles.aioPump = ui->widget_AIOPump;
    tiles.vrmHsFan = ui->widget_VRMHSFan;
    tiles.chassisFanSpeed = ui->widget_ChassisFanSpeed;
    tiles.cpuCoreVoltage = ui->widget_CpuCoreVoltage;
    tiles.gpuVoltage = ui->widget_GpuVoltage;
    tiles.memoryControllerVoltage = ui->widget_MemoryControllerVoltage;
    tiles.temp1Voltage = ui->widget_temp1Voltage;
    tiles.cpuAverageUsage = ui->widget_CpuAverageUsage;
    tiles.gpuUsage = ui->widget_GpuUsage;
    tiles.ramUsage = ui->widget_RamUsage;
    tiles.temp1Usage = ui->widget_temp1Usage;
    tiles.cpuFrequency = ui->widget_CpuFrequency;
    tiles.gpuFrequency = ui->widget_GpuFrequency;
    tiles.temp1Frequency = ui->widget_temp1Frequency;
    tiles.temp2Frequency = ui->widget_temp2Frequency;
    m_dashboard = std::make_unique<HomepageDashboard>(tiles);
    m_dashboard->setInitialTitles();
    // The sensor library looked for the board's monitoring chip when it started; without one the
    // board's temperatures and fans stay empty, and the homepage says why.
    appendStyleSheet(ui->label_boardChipMissing, QString::fromLatin1(TextStyle::SegoeRegular14Orange));
    ui->label_boardChipMissing->setVisible(boardSensorChipMissing());
}

void MainWindow::updatehomepageHwinfo()
{
    m_dashboard->update(dashboardSlots());
    refreshOverlayEditors();
}

void MainWindow::updatehomepageBgLabel(QPixmap frame)
{
    if (frame.isNull())
        return;
    QPixmap copy = frame.scaledToHeight(kHomepagePreviewHeight, Qt::FastTransformation);
    QPainter painter(&copy);
    painter.setPen(QColor::fromRgba(kHomepagePreviewOutline));
    painter.drawRect(0, 0, copy.width() - 2, copy.height() - 2);
    painter.end();
    ui->label_homepage_preview_bg->setPixmap(copy);
}

// ---- navigation ----

void MainWindow::on_pushButton_homepage_screen_settings_clicked()
{
    ui->tabWidget_home->setCurrentIndex(0);
    ui->frame_ScreenControl->show();
}

void MainWindow::on_pushButton_Settings_2_clicked()
{
    ui->tabWidget_home->setCurrentIndex(0);
    ui->tabWidget_main->setCurrentIndex(1);
    ui->label_Title_ScreenSetting->setText(tr("Settings"));
    ui->frame_ScreenControl->hide();
}

void MainWindow::on_pushButton_Settings_clicked()
{
    ui->tabWidget_main->setCurrentIndex(1);
    ui->label_Title_ScreenSetting->setText(tr("Settings"));
    ui->frame_ScreenControl->hide();
}

void MainWindow::on_pushButton_LeftArrow_clicked()
{
    if (ui->tabWidget_main->currentIndex() != 0)
        ui->tabWidget_main->setCurrentIndex(0);
    else
        ui->tabWidget_home->setCurrentIndex(1);
    ui->label_Title_ScreenSetting->setText(tr("Screen Settings"));
    ui->frame_ScreenControl->show();
}

// ---- orientation and page mode ----

void MainWindow::setOrientationFrame(int width, int height)
{
    frameWidth = width;
    frameHeight = height;
    const int w = int(width * previewScale);
    const int h = int(height * previewScale);
    ui->label_bg->setMinimumSize(w, h);
    ui->label_bg->setMaximumSize(w, h);
    ui->label_bg->setGeometry(1, 1, w, h);
    ui->widget_bg->setMinimumSize(w + 2, h + 2);
    ui->widget_bg->setMaximumSize(w + 2, h + 2);
    ui->pushButton_Horizontal->setSelected(width == screenWidth);
    ui->pushButton_Vertical->setSelected(width != screenWidth);
    ui->label_bg->applyOrientationLayout();
    const bool portrait = width != screenWidth;
    for (int id = 0; id < 2; ++id)
        timeStylePreview[id]->setPixmap(timeStyleTile(id, width, height, portrait));
    refreshThumbnails();
}

void MainWindow::setOrientation(int width, int height)
{
    setOrientationFrame(width, height);
    const bool portrait = width != screenWidth;
    if (ui->tabWidget_uiType->currentIndex() == 1) {
        ui->label_bg->hideOverlays();
        ui->label_bg->showClockFace(timeStyleGroup->checkedId() == 1 ? 1 : 0);
        if (constructing == 0) {
            m_library.setCurrentIndex(-1);
            ui->widget_ImageList->selectItem(-1);
            showFullFrameBackground(clockBackgroundFile(portrait));
        }
    } else {
        ui->label_bg->showOverlaysByEnable();
        // The page slot that follows during construction chooses the medium.
        if (constructing != 0)
            return;
        // The applied item stays when it fits; else the first item of the orientation.
        int index = m_library.currentIndex();
        if (index < 0 || index >= m_library.count() || m_library.record(index).width != width)
            index = m_library.firstOfWidth(width);
        if (index >= 0) {
            changeImageListItem(index);
        } else {
            m_library.setCurrentIndex(-1);
            ui->widget_ImageList->selectItem(-1);
            showFallbackVideo();
        }
    }
}

void MainWindow::on_pushButton_Horizontal_clicked()
{
    setOrientation(screenWidth, screenHeight);
}

void MainWindow::on_pushButton_Vertical_clicked()
{
    setOrientation(screenHeight, screenWidth);
}

void MainWindow::on_pushButton_DynamicSetting_clicked()
{
    ui->pushButton_Time->setChecked(false);
    ui->pushButton_DynamicSetting->setChecked(true);
    ui->tabWidget_uiType->setCurrentIndex(0);
    ui->frame_bgOp->show();
    ui->label_bg->hideClockFaces();
    ui->label_bg->showOverlaysByEnable();
    ui->widget_ImageList->setItemsLocked(false);
    const int index = m_library.currentIndex();
    if (index >= 0 && index < m_library.count()) {
        changeImageListItem(index);
    } else {
        const int match = m_library.firstOfWidth(frameWidth);
        if (match >= 0)
            changeImageListItem(match);
        else
            showFallbackVideo();
    }
    if (constructing == 0)
        m_state.applyStyleMode = 0;
}

void MainWindow::on_pushButton_Time_clicked()
{
    ui->pushButton_DynamicSetting->setChecked(false);
    ui->pushButton_Time->setChecked(true);
    ui->tabWidget_uiType->setCurrentIndex(1);
    ui->frame_bgOp->hide();
    const int style = timeStyleGroup->checkedId() == 1 ? 1 : 0;
    ui->label_bg->hideOverlays();
    ui->label_bg->showClockFace(style);
    ui->widget_ImageList->setItemsLocked(true);
    ui->label_bg->setProperty("id", 0);
    ui->label_bg->setPlayCycleMode(0);
    m_state.applyStyleMode = style == 1 ? 2 : 1;
    showFullFrameBackground(clockBackgroundFile(isPortrait()));
}

void MainWindow::changeTimeStyle(int id)
{
    ui->label_bg->showClockFace(id == 1 ? 1 : 0);
    m_state.applyStyleMode = timeStyleGroup->checkedId() != 0 ? 2 : 1;
    showFullFrameBackground(clockBackgroundFile(isPortrait()));
    ui->label_bg->setPlayCycleMode(0);
}

// ---- settings page ----

void MainWindow::on_pushButton_ScreenSwitch_clicked()
{
    const bool on = !toggleIsOn(ui->pushButton_ScreenSwitch);
    setToggle(ui->pushButton_ScreenSwitch, on);
    m_store.saveScreenSwitch(m_state, on);
}

void MainWindow::on_pushButton_sleep_mode_clicked()
{
    const bool wasOn = toggleIsOn(ui->pushButton_sleep_mode);
    setToggle(ui->pushButton_sleep_mode, !wasOn);
    m_store.saveSleepMode(m_state, wasOn ? 1 : 0);
}

void MainWindow::on_pushButton_startup_setting_clicked()
{
    const bool wanted = !toggleIsOn(ui->pushButton_startup_setting);
    setAutoStart(wanted);
    // Show what is now registered, so the toggle never claims a state the desktop does not have.
    setToggle(ui->pushButton_startup_setting, isAutoStart());
}

void MainWindow::on_pushButton_about_us_clicked()
{
    m_openUrl(QUrl(QLatin1String(kProductPage)));
}

void MainWindow::setUrlOpener(std::function<bool(const QUrl&)> open)
{
    m_openUrl = std::move(open);
}

void MainWindow::on_pushButton_user_agreement_clicked()
{
    showUserAgreement(this, m_state.applyLanguage, AppPaths::userAgreementFolder());
}

void MainWindow::on_pushButton_privacy_policy_clicked()
{
    showPrivacyPolicy(this);
}

void MainWindow::on_comboBox_language_currentIndexChanged(int index)
{
    Q_UNUSED(index)
    const int i = ui->comboBox_language->currentIndex();
    if (i != m_state.applyLanguage && i >= 0 && i < 4) {
        m_state.applyLanguage = i;
        loadTranslator(AppPaths::translatorFolder() + QLatin1Char('/') + QLatin1String(kTranslationFiles[i]));
    }
    m_store.saveLanguage(m_state, m_state.applyLanguage);
}

void MainWindow::on_comboBox_temperature_currentIndexChanged(int index)
{
    Q_UNUSED(index)
    const int unit = ui->comboBox_temperature->currentIndex();
    useFahrenheit = unit != 0;
    m_store.saveTemperUnit(m_state, unit);
}

// ---- device ----

void MainWindow::connectDevice()
{
    m_discovery->connectDevice();
}

bool MainWindow::nativeEvent(const QByteArray& eventType, void* message, long* result)
{
    // The link turns a device notification into deviceArrived() / deviceRemoved().
    m_device->handleNativeEvent(eventType, message);
    return QMainWindow::nativeEvent(eventType, message, result);
}

int MainWindow::discoveryIntervalMs() const
{
    return m_discovery->intervalMs();
}

void MainWindow::setFirmwareFileChooser(std::function<QString()> chooser)
{
    m_firmwareFlow->setFileChooser(std::move(chooser));
}

void MainWindow::setUpdateModeWaitLimitMs(int ms)
{
    m_firmwareFlow->setUpdateModeWaitLimitMs(ms);
}

void MainWindow::setHomePageScreenButtonStyleByifConnect(bool connected)
{
    m_discovery->showConnected(connected);
}

void MainWindow::sendScreenJpgData()
{
    FrameHeaderFields fields;
    fields.brightness = ui->spinBox_brightness->value();
    fields.screenOn = toggleIsOn(ui->pushButton_ScreenSwitch);
    fields.styleMode = m_state.applyStyleMode;
    fields.sleepMode = m_state.sleepMode;
    const QByteArray packet = m_composer.composeFrame(*ui->label_bg, fields);
    if (packet.isNull())
        return;
    // A copy of the header only: holding the packet itself would make the composer's next frame
    // allocate a new buffer.
    m_lastPacket = QByteArray(packet.constData(), qMin(packet.size(), int(FrameComposer::kHeaderBytes)));
    m_device->pushFrame(packet);
}

void MainWindow::on_pushButton_upload_firmware_clicked()
{
    m_firmwareFlow->run();
}
