#pragma once

#include "sensors/SensorCatalogue.h"

#include <QCoreApplication>
#include <QString>

class CustomHwinfoProgressbarLight;
class CustonHwinfoDisplayLabel;
class homepageHwinfoDisplayWidget;

// Bar maxima of the dashboard groups, in the unit each group shows.
inline constexpr int kFanBarMaximum = 3000;       // RPM
inline constexpr int kVoltageBarMaximum = 10;     // V
inline constexpr int kUsageBarMaximum = 100;      // %
inline constexpr int kFrequencyBarMaximum = 9000; // MHz

// The homepage's tiles, owned by the main window's form.
struct HomepageTiles
{
    homepageHwinfoDisplayWidget* cpuTemperature = nullptr;
    homepageHwinfoDisplayWidget* cpuPackageTemperature = nullptr;
    homepageHwinfoDisplayWidget* motherboardTemperature = nullptr;
    homepageHwinfoDisplayWidget* chipsetTemperature = nullptr;
    homepageHwinfoDisplayWidget* gpuTemperature = nullptr;
    homepageHwinfoDisplayWidget* mTemperature = nullptr;
    CustomHwinfoProgressbarLight* cpuFanSpeed = nullptr;
    CustomHwinfoProgressbarLight* aioPump = nullptr;
    CustonHwinfoDisplayLabel* vrmHsFan = nullptr;
    CustonHwinfoDisplayLabel* chassisFanSpeed = nullptr;
    CustomHwinfoProgressbarLight* cpuCoreVoltage = nullptr;
    CustomHwinfoProgressbarLight* gpuVoltage = nullptr;
    CustonHwinfoDisplayLabel* memoryControllerVoltage = nullptr;
    CustonHwinfoDisplayLabel* temp1Voltage = nullptr;
    CustomHwinfoProgressbarLight* cpuAverageUsage = nullptr;
    CustomHwinfoProgressbarLight* gpuUsage = nullptr;
    CustonHwinfoDisplayLabel* ramUsage = nullptr;
    CustonHwinfoDisplayLabel* temp1Usage = nullptr;
    CustomHwinfoProgressbarLight* cpuFrequency = nullptr;
    CustomHwinfoProgressbarLight* gpuFrequency = nullptr;
    CustonHwinfoDisplayLabel* temp1Frequency = nullptr;
    CustonHwinfoDisplayLabel* temp2Frequency = nullptr;
};

// Writes the dashboard slots of a sensor pass onto the homepage tiles. Owns no widgets. GUI
// thread only.
class HomepageDashboard final
{
    Q_DECLARE_TR_FUNCTIONS(HomepageDashboard)

public:
    explicit HomepageDashboard(const HomepageTiles& tiles);

    // The titles the tiles show before the first pass, and the values of the tiles that have no
    // sensor. Called once while the window is set up.
    void setInitialTitles();

    // Sets the translated titles again in the language now installed: the fixed titles, and the
    // pump's while no pump sensor has named it.
    void retranslate();

    // Rewrites every tile from the slots.
    void update(const DashboardSlots& readings) const;

    // A bar's position for `value` on a bar whose full scale is `maximum`: the percentage
    // truncated toward zero, kept within 0..100.
    static int barValue(double value, int maximum);

    const HomepageTiles& tiles() const { return m_tiles; }

private:
    HomepageTiles m_tiles;
    // The pump title as last translated; a different title is a sensor's name and stays.
    QString m_pumpTitle;
};
