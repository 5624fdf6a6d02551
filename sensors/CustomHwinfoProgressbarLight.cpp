#include "sensors/CustomHwinfoProgressbarLight.h"

#include "sensors/CustomProgressBarlight.h"
#include "sensors/CustonHwinfoDisplayLabel.h"
#include "ui_CustomHwinfoProgressbarLight.h"

CustomHwinfoProgressbarLight::CustomHwinfoProgressbarLight(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::CustomHwinfoProgressbarLight>())
{
    ui->setupUi(this);
}

CustomHwinfoProgressbarLight::~CustomHwinfoProgressbarLight() = default;

void CustomHwinfoProgressbarLight::setTitle(const QString& title)
{
    ui->widget_hwinfo_text->setTitle(title);
}

void CustomHwinfoProgressbarLight::setValueText(const QString& text)
{
    ui->widget_hwinfo_text->setValue(text);
}

void CustomHwinfoProgressbarLight::setBarValue(int value)
{
    // QProgressBar ignores a value outside its range, which would leave the last one standing.
    ui->progressBar->setValue(qBound(qMax(0, ui->progressBar->minimum()), value, ui->progressBar->maximum()));
}

QString CustomHwinfoProgressbarLight::title() const
{
    return ui->widget_hwinfo_text->title();
}

QString CustomHwinfoProgressbarLight::valueText() const
{
    return ui->widget_hwinfo_text->value();
}

int CustomHwinfoProgressbarLight::barValue() const
{
    return ui->progressBar->value();
}

CustonHwinfoDisplayLabel* CustomHwinfoProgressbarLight::textLine() const
{
    return ui->widget_hwinfo_text;
}

CustomProgressBarlight* CustomHwinfoProgressbarLight::bar() const
{
    return ui->progressBar;
}
