#include "sensors/SensorCatalogue.h"

#include <QSettings>

QSettings* remarkStore = nullptr;

SensorReading readingFor(const QString& hardwareName, const QString& sensorName)
{
    Q_UNUSED(hardwareName)
    Q_UNUSED(sensorName)
    return SensorReading();
}

QString displayNameFor(const QString& hardwareName, const QString& sensorName)
{
    if (remarkStore != nullptr) {
        const QString remark = remarkStore->value(hardwareName + QLatin1Char('/') + sensorName).toString();
        if (!remark.isEmpty())
            return remark;
    }
    return sensorName;
}

double rangeMaximumFor(const QString& unit)
{
    Q_UNUSED(unit)
    return 100.0;
}
