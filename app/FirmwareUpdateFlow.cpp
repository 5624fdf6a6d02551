#include "app/FirmwareUpdateFlow.h"

#include "app/DeviceLink.h"
#include "widgets/NoticeDialog.h"
#include "widgets/ProgressDialog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QThread>

namespace {

constexpr int kNoticeShowMs = 3000;
constexpr int kNoticeFadeStepMs = 20;
constexpr int kBeforeReturnToNormalMs = 200;

// The flow's texts are the settings page's and are translated with the main window's.
QString pageText(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

FirmwareUpdateFlow::FirmwareUpdateFlow(DeviceLink* device, QWidget* dialogParent)
    : QObject(nullptr)
    , m_device(device)
    , m_dialogParent(dialogParent)
{
}

FirmwareUpdateFlow::~FirmwareUpdateFlow() = default;

QString FirmwareUpdateFlow::chooseFile()
{
    if (m_fileChooser)
        return m_fileChooser();
    return QFileDialog::getOpenFileName(m_dialogParent, pageText(QT_TRANSLATE_NOOP("MainWindow", "Select Firmware")),
                                        QString(), QStringLiteral("file(*.bin)"));
}

bool FirmwareUpdateFlow::waitForUpdateMode()
{
    QElapsedTimer waited;
    waited.start();
    while (!(m_device->deviceMode() == 0 && m_device->isOpen())) {
        if (waited.elapsed() >= m_updateModeWaitLimitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void FirmwareUpdateFlow::run()
{
    const QString path = chooseFile();
    if (path.isEmpty())
        return;
    ProgressDialog progress(m_dialogParent);
    progress.setTitleText(pageText(QT_TRANSLATE_NOOP("MainWindow", "Upload")));
    progress.setMessageText(pageText(
        QT_TRANSLATE_NOOP("MainWindow", "Please DO NOT remove the device during the firmware update process.")));
    const QMetaObject::Connection toProgress =
        connect(m_device, &DeviceLink::burnMcuProgress, &progress, &ProgressDialog::setValue);
    progress.show();
    if (m_device->deviceMode() != 0)
        m_device->enterUpdateMode();
    // A device that never comes back in update mode ends the flow with the error notice.
    const int result = waitForUpdateMode() ? m_device->writeFirmwareFile(path) : 0;
    disconnect(toProgress);
    if (result < 1) {
        progress.hide();
        showNotice(m_dialogParent, pageText(QT_TRANSLATE_NOOP("MainWindow", "Error")),
                   pageText(QT_TRANSLATE_NOOP("MainWindow", "An issue occurred during the upload. Please try again.")),
                   kNoticeShowMs, kNoticeFadeStepMs);
        return;
    }
    QThread::msleep(kBeforeReturnToNormalMs);
    m_device->returnToNormalMode();
    progress.hide();
    showNotice(
        m_dialogParent, pageText(QT_TRANSLATE_NOOP("MainWindow", "Updated successfully")),
        pageText(QT_TRANSLATE_NOOP("MainWindow", "Your device has been updated and is now using the latest version.")),
        kNoticeShowMs, kNoticeFadeStepMs);
}
