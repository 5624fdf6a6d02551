#include "sensors/HomepageDashboard.h"

#include "sensors/CustomHwinfoProgressbarLight.h"
#include "sensors/CustonHwinfoDisplayLabel.h"
#include "sensors/homepageHwinfoDisplayWidget.h"

#include <cmath>

namespace {

// The catalogue's names and texts for a sensor that is not there.
const QString kNoSensorName = QStringLiteral("--");
const QString kNoValueText = QStringLiteral("- -");
// What a temperature tile shows for a sensor that is not there.
const QString kNoTemperatureValue = QStringLiteral("--");
const QString kNoTemperatureUnit = QStringLiteral("-");
// A clock reported in GHz: the bar's full scale is the MHz one divided in integer arithmetic.
const QString kGigahertz = QStringLiteral("GHz");
constexpr int kMegahertzPerGigahertz = 1024;

QString textWithUnit(const SensorReading& reading)
{
    return reading.valueText + reading.unit;
}

void showTemperature(homepageHwinfoDisplayWidget* tile, const SensorReading& reading)
{
    if (reading.valueText == kNoValueText) {
        tile->setValue(kNoTemperatureValue);
        tile->setUnit(kNoTemperatureUnit);
    } else {
        tile->setValue(reading.valueText);
        tile->setUnit(reading.unit);
    }
}

// A named sensor gives the tile its title; the placeholder leaves the title as it was.
template <typename Tile>
void takeNameAsTitle(Tile* tile, const SensorReading& reading)
{
    if (reading.sensorName != kNoSensorName)
        tile->setTitle(reading.sensorName);
}

void showFanBar(CustomHwinfoProgressbarLight* tile, const SensorReading& reading)
{
    takeNameAsTitle(tile, reading);
    tile->setValueText(textWithUnit(reading));
    tile->setBarValue(HomepageDashboard::barValue(reading.value, kFanBarMaximum));
}

void showFanLine(CustonHwinfoDisplayLabel* tile, const SensorReading& reading)
{
    takeNameAsTitle(tile, reading);
    tile->setValue(textWithUnit(reading));
}

void showFrequency(CustomHwinfoProgressbarLight* tile, const SensorReading& reading)
{
    tile->setValueText(textWithUnit(reading));
    const int maximum =
        reading.unit == kGigahertz ? kFrequencyBarMaximum / kMegahertzPerGigahertz : kFrequencyBarMaximum;
    tile->setBarValue(HomepageDashboard::barValue(reading.value, maximum));
}

void showBar(CustomHwinfoProgressbarLight* tile, const SensorReading& reading, int maximum)
{
    tile->setValueText(textWithUnit(reading));
    tile->setBarValue(HomepageDashboard::barValue(reading.value, maximum));
}

} // namespace

HomepageDashboard::HomepageDashboard(const HomepageTiles& tiles)
    : m_tiles(tiles)
{
}

int HomepageDashboard::barValue(double value, int maximum)
{
    if (maximum <= 0 || !std::isfinite(value))
        return 0;
    const double percent = std::trunc(value * 100.0 / maximum);
    if (percent <= 0)
        return 0;
    return percent >= 100 ? 100 : int(percent);
}

void HomepageDashboard::setInitialTitles()
{
    const HomepageTiles& t = m_tiles;
    // "CPU", "GPU" and "RAM" read the same in every language.
    t.cpuTemperature->setTitle(QStringLiteral("CPU"));
    t.gpuTemperature->setTitle(QStringLiteral("GPU"));
    t.mTemperature->setTitle(QStringLiteral("----"));
    t.cpuFanSpeed->setTitle(QStringLiteral("CPU"));
    t.vrmHsFan->setTitle(kNoSensorName);
    t.chassisFanSpeed->setTitle(kNoSensorName);
    t.cpuCoreVoltage->setTitle(QStringLiteral("CPU Core"));
    t.gpuVoltage->setTitle(QStringLiteral("GPU"));
    t.memoryControllerVoltage->setTitle(kNoSensorName);
    t.gpuUsage->setTitle(QStringLiteral("GPU"));
    t.ramUsage->setTitle(QStringLiteral("RAM"));
    t.cpuFrequency->setTitle(QStringLiteral("CPU"));
    t.gpuFrequency->setTitle(QStringLiteral("GPU"));
    m_pumpTitle.clear();
    t.aioPump->setTitle(QString());
    retranslate();
    // The lines without a sensor keep these texts for good.
    for (CustonHwinfoDisplayLabel* spare : {t.temp1Voltage, t.temp1Usage, t.temp1Frequency, t.temp2Frequency}) {
        spare->setTitle(kNoSensorName);
        spare->setValue(kNoValueText);
    }
}

void HomepageDashboard::retranslate()
{
    const HomepageTiles& t = m_tiles;
    // No update changes these titles.
    t.cpuPackageTemperature->setTitle(tr("CPU Package"));
    t.motherboardTemperature->setTitle(tr("Motherboard"));
    t.chipsetTemperature->setTitle(tr("Chipset"));
    t.cpuAverageUsage->setTitle(tr("CPU Average"));
    if (t.aioPump->title() == m_pumpTitle) {
        m_pumpTitle = tr("AIO Pump");
        t.aioPump->setTitle(m_pumpTitle);
    }
}

void HomepageDashboard::update(const DashboardSlots& readings) const
{
    const HomepageTiles& t = m_tiles;
    showTemperature(t.cpuTemperature, readings.cpuTemperature);
    showTemperature(t.cpuPackageTemperature, readings.cpuPackageTemperature);
    showTemperature(t.motherboardTemperature, readings.motherboardTemperature);
    showTemperature(t.chipsetTemperature, readings.chipsetTemperature);
    showTemperature(t.gpuTemperature, readings.gpuTemperature);

    showFanBar(t.cpuFanSpeed, readings.cpuFanSpeed);
    showFanBar(t.aioPump, readings.aioPump);
    // Without a VRM heatsink fan, the board's second generic fan takes its line.
    if (readings.vrmHsFan.sensorName != kNoSensorName) {
        showFanLine(t.vrmHsFan, readings.vrmHsFan);
        showFanLine(t.chassisFanSpeed, readings.chassisFanSpeed);
    } else {
        showFanLine(t.chassisFanSpeed, readings.chassisFanSpeed);
        showFanLine(t.vrmHsFan, readings.chassisFanSpeed2);
    }

    showFrequency(t.cpuFrequency, readings.cpuFrequency);
    showFrequency(t.gpuFrequency, readings.gpuFrequency);

    // "CPU Core Voltage", or "CPU Core VIDs" when only the VIDs are reported.
    t.cpuCoreVoltage->setTitle(readings.cpuCoreVoltage.sensorName);
    showBar(t.cpuCoreVoltage, readings.cpuCoreVoltage, kVoltageBarMaximum);
    showBar(t.gpuVoltage, readings.gpuVoltage, kVoltageBarMaximum);
    takeNameAsTitle(t.memoryControllerVoltage, readings.memoryControllerVoltage);
    t.memoryControllerVoltage->setValue(textWithUnit(readings.memoryControllerVoltage));

    showBar(t.cpuAverageUsage, readings.cpuAverageUsage, kUsageBarMaximum);
    showBar(t.gpuUsage, readings.gpuUsage, kUsageBarMaximum);
    // The RAM line keeps its own title whatever the sensor is called.
    t.ramUsage->setValue(textWithUnit(readings.ramUsage));
}
