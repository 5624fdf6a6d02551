#include "sensors/homepageHwinfoDisplayWidget.h"

#include "ui_homepageHwinfoDisplayWidget.h"

homepageHwinfoDisplayWidget::homepageHwinfoDisplayWidget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::homepageHwinfoDisplayWidget>())
{
    ui->setupUi(this);
}

homepageHwinfoDisplayWidget::~homepageHwinfoDisplayWidget() = default;

void homepageHwinfoDisplayWidget::setTitle(const QString& title)
{
    ui->label_HwinfoTitle->setText(title);
}

void homepageHwinfoDisplayWidget::setValue(const QString& value)
{
    ui->label_HwinfoValue->setText(value);
}

void homepageHwinfoDisplayWidget::setUnit(const QString& unit)
{
    ui->label_HwinfoUnit->setText(unit);
}

QString homepageHwinfoDisplayWidget::title() const
{
    return ui->label_HwinfoTitle->text();
}

QString homepageHwinfoDisplayWidget::value() const
{
    return ui->label_HwinfoValue->text();
}

QString homepageHwinfoDisplayWidget::unit() const
{
    return ui->label_HwinfoUnit->text();
}
