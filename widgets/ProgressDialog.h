#pragma once

#include "widgets/FramelessModalDialog.h"

#include <memory>

namespace Ui {
class ProgressDialog;
}

// Progress of a long job that runs on the GUI thread (firmware transfer, media import, transcode).
// The caller owns it, shows it with show(), connects its progress signal to setValue(int) and
// hides it afterwards; the dialog accepts (closes) itself when the value reaches exactly 100.
// GUI thread only.
class ProgressDialog final : public FramelessModalDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(ProgressDialog)

public:
    explicit ProgressDialog(QWidget* parent = nullptr);
    ~ProgressDialog() override;

    void setTitleText(const QString& title);
    void setMessageText(const QString& message);

    int value() const;

public slots:
    // Percent done, 0 to 100.
    void setValue(int percent);

private:
    std::unique_ptr<Ui::ProgressDialog> ui;
};
