#include "widgets/ProgressDialog.h"

#include "ui_ProgressDialog.h"

#include "shell/TextStyles.h"

ProgressDialog::ProgressDialog(QWidget* parent)
    : FramelessModalDialog(parent)
    , ui(std::make_unique<Ui::ProgressDialog>())
{
    ui->setupUi(this);
    appendStyleSheet(ui->label_title, QString::fromLatin1(TextStyle::MisansMedium18White));
    appendStyleSheet(ui->label_msg, QString::fromLatin1(TextStyle::MisansRegular16White));
}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::setTitleText(const QString& title)
{
    ui->label_title->setText(title);
}

void ProgressDialog::setMessageText(const QString& message)
{
    ui->label_msg->setText(message);
}

int ProgressDialog::value() const
{
    return ui->progressBar->value();
}

void ProgressDialog::setValue(int percent)
{
    ui->progressBar->setValue(percent);
    if (percent == 100)
        accept();
}
