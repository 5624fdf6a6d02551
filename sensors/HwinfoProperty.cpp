#include "sensors/HwinfoProperty.h"

#include "ui_HwinfoProperty.h"

#include "sensors/CustomProgressBarRing.h"
#include "sensors/HwinfoSelectDialog.h"
#include "sensors/SensorCatalogue.h"

#include <QColorDialog>
#include <QEvent>
#include <QFontDialog>

namespace {

const QString kSensorSeparator = QStringLiteral("//");

QString colorButtonStyle(const QColor& color, const char* closing)
{
    const QString name = color.name();
    return QStringLiteral("QPushButton{background-color: ") + name +
           QStringLiteral(";border:1px solid #e0e0e0;}QPushButton:hover{background-color: ") + name +
           QStringLiteral(";border:1px solid #e0e0e0;}QPushButton:checked{background-color: ") + name +
           QLatin1String(closing);
}

} // namespace

HwinfoProperty::HwinfoProperty(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::HwinfoProperty>())
    , m_chooseColor([](const QColor& initial, QWidget* owner) { return QColorDialog::getColor(initial, owner); })
    , m_chooseFont([](bool* accepted, const QFont& initial) {
        return QFontDialog::getFont(accepted, initial, nullptr, QString());
    })
    , m_chooseSensor(&selectSensor)
{
    ui->setupUi(this);
    ui->progressBar->value = 50;
    ui->progressBar->maximum = 100;
    ui->progressBar->unit = QStringLiteral("\u00B0C");
    setTitleColor(m_item.titleColor);
    setContentColor(m_item.contentColor);
}

HwinfoProperty::~HwinfoProperty() = default;

void HwinfoProperty::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

CustomProgressBarRing* HwinfoProperty::gauge() const
{
    return ui->progressBar;
}

void HwinfoProperty::setColorChooser(ColorChooser chooser)
{
    m_chooseColor = std::move(chooser);
}

void HwinfoProperty::setFontChooser(FontChooser chooser)
{
    m_chooseFont = std::move(chooser);
}

void HwinfoProperty::setSensorChooser(SensorChooser chooser)
{
    m_chooseSensor = std::move(chooser);
}

QString HwinfoProperty::titleColorStyle(const QColor& color)
{
    return colorButtonStyle(color, ";border:1px solid #e0e0e0;}QPushButton:disabled{background-color:#717171;"
                                   "border:1px solid #FFFFFF;}");
}

QString HwinfoProperty::contentColorStyle(const QColor& color)
{
    return colorButtonStyle(color, ";border:1px solid #e0e0e0;}");
}

void HwinfoProperty::setItem(const OverlayItem& item)
{
    setSensor(item.hardwareName, item.sensorName);
    setTitleColor(item.titleColor);
    setContentColor(item.contentColor);
    m_item.titleFont = item.titleFont;
    m_item.contentFont = item.contentFont;
    m_item.enable = item.enable;
    ui->pushButton_Enable->setChecked(item.enable);
}

void HwinfoProperty::setSensor(const QString& hardwareName, const QString& sensorName)
{
    m_item.hardwareName = hardwareName;
    m_item.sensorName = sensorName;
    refreshDisplay();
}

void HwinfoProperty::refreshDisplay()
{
    ui->label_HwinfoName->setText(displayNameFor(m_item.hardwareName, m_item.sensorName));
    const SensorReading reading = readingFor(m_item.hardwareName, m_item.sensorName);
    CustomProgressBarRing* ring = ui->progressBar;
    ring->value = reading.value;
    ring->unit = reading.unit;
    ring->maximum = rangeMaximumFor(reading.unit);
    ring->update();
}

void HwinfoProperty::setTitleColor(const QColor& color)
{
    m_item.titleColor = color;
    ui->pushButton_EditTitleColor->setStyleSheet(titleColorStyle(color));
}

void HwinfoProperty::setContentColor(const QColor& color)
{
    m_item.contentColor = color;
    ui->pushButton_EditContentColor->setStyleSheet(contentColorStyle(color));
}

void HwinfoProperty::on_pushButton_EditTitleColor_clicked()
{
    const QColor color = m_chooseColor(m_item.titleColor, this);
    if (!color.isValid())
        return;
    setTitleColor(color);
    emit hwinfopropertyChange();
}

void HwinfoProperty::on_pushButton_EditContentColor_clicked()
{
    const QColor color = m_chooseColor(m_item.contentColor, this);
    if (!color.isValid())
        return;
    setContentColor(color);
    emit hwinfopropertyChange();
}

void HwinfoProperty::on_pushButton_TitleFontEdit_clicked()
{
    bool accepted = false;
    const QFont font = m_chooseFont(&accepted, m_item.titleFont);
    if (!accepted)
        return;
    m_item.titleFont = font;
    emit hwinfopropertyChange();
}

void HwinfoProperty::on_pushButton_ContentFontEdit_clicked()
{
    bool accepted = false;
    const QFont font = m_chooseFont(&accepted, m_item.contentFont);
    if (!accepted)
        return;
    m_item.contentFont = font;
    emit hwinfopropertyChange();
}

void HwinfoProperty::on_pushButton_SelectHwinfo_clicked()
{
    const QString answer = m_chooseSensor(this, m_item.hardwareName + kSensorSeparator + m_item.sensorName);
    QString hardwareName;
    QString sensorName;
    if (answer.isEmpty() || !splitSensorChoice(answer, &hardwareName, &sensorName))
        return;
    setSensor(hardwareName, sensorName);
    emit hwinfopropertyChange();
}

void HwinfoProperty::on_pushButton_Enable_clicked()
{
    m_item.enable = ui->pushButton_Enable->isChecked();
    emit hwinfopropertyChange();
}
