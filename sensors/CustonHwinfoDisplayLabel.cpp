#include "sensors/CustonHwinfoDisplayLabel.h"

#include "shell/TextStyles.h"
#include "ui_CustonHwinfoDisplayLabel.h"

CustonHwinfoDisplayLabel::CustonHwinfoDisplayLabel(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::CustonHwinfoDisplayLabel>())
{
    ui->setupUi(this);
    appendStyleSheet(ui->label_HwinfoTitle, QString::fromLatin1(TextStyle::MisansRegular16Grey));
    appendStyleSheet(ui->label_HwinfoValue, QString::fromLatin1(TextStyle::MisansRegular16Grey));
}

CustonHwinfoDisplayLabel::~CustonHwinfoDisplayLabel() = default;

void CustonHwinfoDisplayLabel::setTitle(const QString& title)
{
    ui->label_HwinfoTitle->setText(title);
}

void CustonHwinfoDisplayLabel::setValue(const QString& value)
{
    ui->label_HwinfoValue->setText(value);
}

QString CustonHwinfoDisplayLabel::title() const
{
    return ui->label_HwinfoTitle->text();
}

QString CustonHwinfoDisplayLabel::value() const
{
    return ui->label_HwinfoValue->text();
}
