#pragma once

#include <QDialog>

// Base of the program's secondary windows: a frameless, application-modal dialog that Escape
// never closes (it can only be answered with its own buttons); every other key gets the default
// handling. It has no meta-object of its own, so the dialogs appear as direct QDialog subclasses.
// GUI thread only.
class FramelessModalDialog : public QDialog
{
    Q_DISABLE_COPY(FramelessModalDialog)

public:
    explicit FramelessModalDialog(QWidget* parent = nullptr);
    ~FramelessModalDialog() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
