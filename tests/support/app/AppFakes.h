#pragma once

// Stand-ins for the main window's suites: a device link whose answers a test scripts, and a driver
// that watches and closes the dialogs the window's flows open.

#include "app/DeviceLink.h"
#include "widgets/NoticeDialog.h"
#include "widgets/ProgressDialog.h"

#include <QApplication>
#include <QLabel>
#include <QList>
#include <QTimer>

#include <functional>

namespace AppFakes {

// The firmware flow's progress dialog while it is shown, else null.
inline ProgressDialog* shownProgress()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* progress = qobject_cast<ProgressDialog*>(widget);
        if (progress != nullptr && progress->isVisible())
            return progress;
    }
    return nullptr;
}

// A device link whose answers the test scripts.
class FakeLink final : public DeviceLink
{
public:
    void openFirstDevice() override
    {
        ++connects;
        if (duringOpen)
            duringOpen();
        if (present)
            open = true;
    }
    void closeDevice() override
    {
        ++closes;
        open = false;
        mode = -1;
    }
    bool isOpen() const override { return open; }
    int deviceMode() const override { return open ? mode : -1; }
    QString firmwareVersion() const override { return version; }
    bool openDeviceStillPresent() const override { return present; }
    void pushFrame(const QByteArray& frame) override { frames.append(frame.left(40)); }
    int enterUpdateMode() override
    {
        ++enterUpdateCalls;
        if (restartsIntoUpdate)
            QTimer::singleShot(50, this, [this] { mode = 0; });
        return 0;
    }
    int returnToNormalMode() override
    {
        ++returnCalls;
        return 0;
    }
    int writeFirmwareFile(const QString& path) override
    {
        writtenPath = path;
        emit burnMcuProgress(50);
        if (ProgressDialog* progress = shownProgress())
            progressDuringWrite = progress->value();
        return writeResult;
    }

    bool present = false;
    bool open = false;
    int mode = -1;
    QString version = QStringLiteral("1.1.3");
    bool restartsIntoUpdate = true;
    int writeResult = 1;
    int connects = 0;
    int closes = 0;
    int enterUpdateCalls = 0;
    int returnCalls = 0;
    QString writtenPath;
    int progressDuringWrite = -1; // what the shown progress dialog said after the 50 % signal
    QList<QByteArray> frames;
    // Runs inside openFirstDevice, as the events processed while a handshake waits would.
    std::function<void()> duringOpen;
};

// Watches the dialogs the firmware and language flows open: notes whether the progress dialog
// showed and which notice came, and closes the notice.
class DialogDriver final : public QObject
{
public:
    DialogDriver()
    {
        connect(&timer, &QTimer::timeout, this, &DialogDriver::look);
        timer.start(20);
    }
    void look()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* notice = qobject_cast<NoticeDialog*>(modal)) {
            noticeTitle = notice->findChild<QLabel*>(QStringLiteral("label_Title"))->text();
            noticeText = notice->findChild<QLabel*>(QStringLiteral("label_msg"))->text();
            notice->done(0);
        }
        if (shownProgress() != nullptr)
            progressShown = true;
    }
    QTimer timer;
    bool progressShown = false;
    QString noticeTitle;
    QString noticeText;
};

} // namespace AppFakes
