#pragma once

#include "widgets/FramelessModalDialog.h"

#include <memory>

namespace Ui {
class Dialog_Privary_Policy;
}

// The privacy policy: what the program reads, stores and sends, in the interface language.
// Understand closes it; nothing is recorded. GUI thread only.
class Dialog_Privary_Policy final : public FramelessModalDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(Dialog_Privary_Policy)

public:
    explicit Dialog_Privary_Policy(QWidget* parent = nullptr);
    ~Dialog_Privary_Policy() override;

    // The translated policy text, paragraphs separated by blank lines.
    static QString policyText();

private slots:
    void on_pushButton_ok_clicked();

private:
    std::unique_ptr<Ui::Dialog_Privary_Policy> ui;
};

// Shows the privacy policy modally over the mask on `maskOwner`'s window (the dialog itself has no
// parent, so it is centred on the screen). GUI thread only.
void showPrivacyPolicy(QWidget* maskOwner);
