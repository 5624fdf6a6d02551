#include "tests/support/sensors/SensorFixtures.h"

#include "sensors/SensorLibrary.h"
#include "sensors/hwinfo.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace SensorFixtures {

VortaneSensorRecord record(int classCode, int kindCode, int subIndex, const char* label, const char* unit, double value,
                           int valid)
{
    VortaneSensorRecord r;
    std::memset(&r, 0, sizeof r);
    r.valid = valid;
    r.value = value;
    std::strncpy(r.unit, unit, sizeof r.unit - 1);
    r.classCode = classCode;
    r.kindCode = kindCode;
    std::strncpy(r.label, label, sizeof r.label - 1);
    r.subIndex = subIndex;
    return r;
}

QString fakeLibraryPath()
{
    return QStringLiteral(VORTANE_FAKE_SENSORS_PATH);
}

QString fakeLibraryWithoutReadSensorPath()
{
    return QStringLiteral(VORTANE_FAKE_SENSORS_NO_READ_PATH);
}

QString fakeNvmlPath()
{
    return QStringLiteral(VORTANE_FAKE_NVML_PATH);
}

std::unique_ptr<hwinfo> fakeSource()
{
    return std::make_unique<hwinfo>(openSensorLibraryFile(fakeLibraryPath().toStdString()));
}

std::unique_ptr<hwinfo> realSource()
{
    const QString path = TestSupport::programDir() + QStringLiteral("/libvortane-sensors.so");
    return std::make_unique<hwinfo>(openSensorLibraryFile(QFile::encodeName(path).toStdString()));
}

MachineTree::MachineTree()
    : m_oldSys(qgetenv("VORTANE_SYSFS_ROOT"))
    , m_oldProc(qgetenv("VORTANE_PROCFS_ROOT"))
    , m_oldNvml(qgetenv("VORTANE_NVML_LIBRARY"))
    , m_oldPciIds(qgetenv("VORTANE_PCI_IDS"))
{
    QDir(m_dir.path()).mkpath(QStringLiteral("sys/class/hwmon"));
    QDir(m_dir.path()).mkpath(QStringLiteral("proc"));
    write(QStringLiteral("pci.ids"), "# fixture\n1002  Advanced Micro Devices, Inc. [AMD/ATI]\n"
                                     "\t164e  Raphael\n"
                                     "\t1681  Rembrandt [Radeon 680M]\n"
                                     "\t743f  Navi 24 [Radeon RX 6400/6500 XT/6500M]\n"
                                     "\t747e  Navi 32 [Radeon RX 7700 XT / 7800 XT]\n"
                                     "10de  NVIDIA Corporation\n"
                                     "\t1c03  GP106 [GeForce GTX 1060 6GB]\n"
                                     "8086  Intel Corporation\n"
                                     "\t56a0  DG2 [Arc A770]\n"
                                     "\t9a49  TigerLake-LP GT2 [Iris Xe Graphics]\n"
                                     "\ta780  Raptor Lake-S GT1 [UHD Graphics 770]\n");
    qputenv("VORTANE_SYSFS_ROOT", QFile::encodeName(sysRoot()));
    qputenv("VORTANE_PROCFS_ROOT", QFile::encodeName(procRoot()));
    qputenv("VORTANE_NVML_LIBRARY", QByteArray()); // set and empty: no NVML, whatever the machine has
    qputenv("VORTANE_PCI_IDS", QFile::encodeName(m_dir.path() + QStringLiteral("/pci.ids")));
}

MachineTree::~MachineTree()
{
    const auto restore = [](const char* name, const QByteArray& old) {
        if (old.isNull())
            qunsetenv(name);
        else
            qputenv(name, old);
    };
    restore("VORTANE_SYSFS_ROOT", m_oldSys);
    restore("VORTANE_PROCFS_ROOT", m_oldProc);
    restore("VORTANE_NVML_LIBRARY", m_oldNvml);
    restore("VORTANE_PCI_IDS", m_oldPciIds);
}

void MachineTree::useNvml(const QString& file) const
{
    qputenv("VORTANE_NVML_LIBRARY", QFile::encodeName(file));
}

QString MachineTree::sysRoot() const
{
    return m_dir.path() + QStringLiteral("/sys");
}

QString MachineTree::procRoot() const
{
    return m_dir.path() + QStringLiteral("/proc");
}

void MachineTree::write(const QString& relativePath, const QByteArray& content) const
{
    const QString path = m_dir.path() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

void MachineTree::remove(const QString& relativePath) const
{
    QFile::remove(m_dir.path() + QLatin1Char('/') + relativePath);
}

void MachineTree::hwmon(int number, const QByteArray& name, const QMap<QString, QByteArray>& files,
                        const QString& deviceFolder) const
{
    const QString dir = QStringLiteral("sys/class/hwmon/hwmon%1/").arg(number);
    write(dir + QStringLiteral("name"), name + '\n');
    for (auto it = files.constBegin(); it != files.constEnd(); ++it)
        write(dir + it.key(), it.value() + '\n');
    if (!deviceFolder.isEmpty()) {
        const QString target = sysRoot() + QLatin1Char('/') + deviceFolder;
        QDir().mkpath(target);
        QFile::link(target, m_dir.path() + QLatin1Char('/') + dir + QStringLiteral("device"));
    }
}

void MachineTree::drmCard(int number, const QString& deviceFolder, const QByteArray& driver,
                          const QMap<QString, QByteArray>& cardFiles) const
{
    const QString card = QStringLiteral("sys/class/drm/card%1/").arg(number);
    const QString device = sysRoot() + QLatin1Char('/') + deviceFolder;
    const QString driverDir = sysRoot() + QStringLiteral("/bus/pci/drivers/") + QString::fromLatin1(driver);
    QDir().mkpath(device);
    QDir().mkpath(driverDir);
    QDir().mkpath(m_dir.path() + QLatin1Char('/') + card);
    QFile::link(device, m_dir.path() + QLatin1Char('/') + card + QStringLiteral("device"));
    QFile::link(driverDir, device + QStringLiteral("/driver"));
    for (auto it = cardFiles.constBegin(); it != cardFiles.constEnd(); ++it)
        write(card + it.key(), it.value() + '\n');
}

void MachineTree::raplZone(const QString& zone, const QByteArray& name, quint64 energyUj, quint64 rangeUj) const
{
    const QString dir = QStringLiteral("sys/class/powercap/") + zone + QLatin1Char('/');
    write(dir + QStringLiteral("name"), name + '\n');
    write(dir + QStringLiteral("energy_uj"), QByteArray::number(energyUj) + '\n');
    write(dir + QStringLiteral("max_energy_range_uj"), QByteArray::number(rangeUj) + '\n');
    write(dir + QStringLiteral("enabled"), "1\n");
}

void MachineTree::cpus(int count, const QList<int>& curFreqKHz) const
{
    for (int n = 0; n < count; ++n) {
        const QString dir = QStringLiteral("sys/devices/system/cpu/cpu%1/").arg(n);
        if (n < curFreqKHz.size())
            write(dir + QStringLiteral("cpufreq/scaling_cur_freq"), QByteArray::number(curFreqKHz.at(n)) + '\n');
        else
            write(dir + QStringLiteral("online"), "1\n");
    }
}

void MachineTree::procStat(const QList<QList<quint64>>& perCpu) const
{
    QList<quint64> total;
    for (const QList<quint64>& cpu : perCpu) {
        while (total.size() < cpu.size())
            total.append(0);
        for (int i = 0; i < cpu.size(); ++i)
            total[i] += cpu.at(i);
    }
    const auto line = [](const QByteArray& name, const QList<quint64>& fields) {
        QByteArray text = name;
        for (quint64 f : fields)
            text += ' ' + QByteArray::number(f);
        return text + " 0 0\n";
    };
    QByteArray text = line("cpu ", total);
    for (int n = 0; n < perCpu.size(); ++n)
        text += line("cpu" + QByteArray::number(n), perCpu.at(n));
    text += "intr 12345 0 0 0\nctxt 987654\nbtime 1700000000\nprocesses 4242\n";
    write(QStringLiteral("proc/stat"), text);
}

void MachineTree::memInfo(quint64 totalKb, quint64 availableKb) const
{
    write(QStringLiteral("proc/meminfo"), "MemTotal:       " + QByteArray::number(totalKb) +
                                              " kB\nMemFree:         1000 kB\nMemAvailable:   " +
                                              QByteArray::number(availableKb) + " kB\nBuffers:          10 kB\n");
}

void MachineTree::cpuInfo(const QByteArray& model, int processors, double mhz) const
{
    QByteArray text;
    for (int n = 0; n < processors; ++n)
        text += "processor\t: " + QByteArray::number(n) + "\nmodel name\t: " + model +
                "\ncpu MHz\t\t: " + QByteArray::number(mhz, 'f', 3) + "\n\n";
    write(QStringLiteral("proc/cpuinfo"), text);
}

std::unique_ptr<MachineTree> MachineTree::intelDesktop()
{
    auto m = std::make_unique<MachineTree>();
    m->cpuInfo("12th Gen Intel(R) Core(TM) i7-12700K", 4, 3600.0);
    m->cpus(4, {4700000, 4800000, 4600000, 4900000});
    m->procStat({{100, 0, 50, 850, 0, 0, 0, 0},
                 {200, 0, 100, 700, 0, 0, 0, 0},
                 {100, 0, 50, 850, 0, 0, 0, 0},
                 {100, 0, 50, 850, 0, 0, 0, 0}});
    m->memInfo(32000000, 24000000);
    m->hwmon(0, "coretemp",
             {{"temp1_label", "Package id 0"},
              {"temp1_input", "55000"},
              {"temp2_label", "Core 0"},
              {"temp2_input", "50000"},
              {"temp3_label", "Core 4"},
              {"temp3_input", "52000"},
              {"temp4_label", "Core 8"},
              {"temp4_input", "54000"}},
             QStringLiteral("devices/platform/coretemp.0"));
    m->hwmon(1, "nct6798",
             {{"temp1_label", "SYSTIN"},       {"temp1_input", "33000"},   {"temp2_label", "CPUTIN"},
              {"temp2_input", "45000"},        {"temp3_label", "AUXTIN0"}, {"temp3_input", "-62000"},
              {"temp7_label", "PECI Agent 0"}, {"temp7_input", "55000"},   {"temp8_label", "PCH_CHIP_TEMP"},
              {"temp8_input", "48000"},        {"fan1_input", "650"},      {"fan1_alarm", "0"},
              {"fan2_input", "1250"},          {"fan2_alarm", "0"},        {"fan3_input", "0"},
              {"fan4_input", "720"},           {"in0_input", "1192"},      {"in1_input", "1008"},
              {"in2_input", "3392"},           {"in7_input", "3376"},      {"cpu0_vid", "1250"}},
             QStringLiteral("devices/platform/nct6775.656"));
    m->hwmon(
        2, "nvme",
        {{"temp1_label", "Composite"}, {"temp1_input", "38850"}, {"temp2_label", "Sensor 1"}, {"temp2_input", "41850"}},
        QStringLiteral("devices/pci0000:00/0000:00:1d.0/0000:03:00.0/nvme/nvme0"));
    m->write(QStringLiteral("sys/devices/pci0000:00/0000:00:1d.0/0000:03:00.0/nvme/nvme0/model"),
             "Samsung SSD 980 PRO 1TB                 \n");
    return m;
}

std::unique_ptr<MachineTree> MachineTree::amdDesktop()
{
    auto m = std::make_unique<MachineTree>();
    m->cpuInfo("AMD Ryzen 7 7800X3D 8-Core Processor", 2, 4200.0);
    m->cpus(2, {5000000, 4000000});
    m->procStat({{300, 0, 100, 600, 0, 0, 0, 0}, {100, 0, 100, 800, 0, 0, 0, 0}});
    m->memInfo(16000000, 12000000);
    m->hwmon(0, "k10temp",
             {{"temp1_label", "Tctl"}, {"temp1_input", "71250"}, {"temp3_label", "Tccd1"}, {"temp3_input", "66000"}},
             QStringLiteral("devices/pci0000:00/0000:00:18.3"));
    m->hwmon(1, "nct6799",
             {{"temp1_label", "SYSTIN"},
              {"temp1_input", "34000"},
              {"temp2_label", "CPUTIN"},
              {"temp2_input", "52000"},
              {"fan2_input", "1100"},
              {"in0_input", "1050"}},
             QStringLiteral("devices/platform/nct6775.2592"));
    const QString dgpu = QStringLiteral("devices/pci0000:00/0000:00:01.1/0000:03:00.0");
    m->hwmon(2, "amdgpu",
             {{"temp1_label", "edge"},
              {"temp1_input", "48000"},
              {"temp2_label", "junction"},
              {"temp2_input", "61000"},
              {"temp3_label", "mem"},
              {"temp3_input", "56000"},
              {"in0_label", "vddgfx"},
              {"in0_input", "825"},
              {"freq1_label", "sclk"},
              {"freq1_input", "2124000000"},
              {"freq2_label", "mclk"},
              {"freq2_input", "1218000000"},
              {"fan1_input", "1450"},
              {"power1_average", "187000000"}},
             dgpu);
    m->write(QStringLiteral("sys/") + dgpu + QStringLiteral("/vendor"), "0x1002\n");
    m->write(QStringLiteral("sys/") + dgpu + QStringLiteral("/device"), "0x747e\n");
    m->write(QStringLiteral("sys/") + dgpu + QStringLiteral("/gpu_busy_percent"), "37\n");
    m->write(QStringLiteral("sys/") + dgpu + QStringLiteral("/mem_info_vram_total"), "17163091968\n");
    m->write(QStringLiteral("sys/") + dgpu + QStringLiteral("/mem_info_vram_used"), "1073741824\n");
    m->hwmon(3, "z53",
             {{"temp1_label", "Coolant temp"},
              {"temp1_input", "31500"},
              {"fan1_label", "Pump speed"},
              {"fan1_input", "2100"},
              {"fan2_label", "Fan speed"},
              {"fan2_input", "950"}},
             QStringLiteral("devices/pci0000:00/0000:00:08.1/usb3/3-2/3-2:1.0/0003:1E71:3008.0004"));
    // The processor's integrated graphics, with little video memory: listed first.
    const QString igpu = QStringLiteral("devices/pci0000:00/0000:00:08.1/0000:7c:00.0");
    m->hwmon(4, "amdgpu",
             {{"temp1_label", "edge"}, {"temp1_input", "45000"}, {"in0_label", "vddgfx"}, {"in0_input", "1100"}}, igpu);
    m->write(QStringLiteral("sys/") + igpu + QStringLiteral("/vendor"), "0x1002\n");
    m->write(QStringLiteral("sys/") + igpu + QStringLiteral("/device"), "0x164e\n");
    m->write(QStringLiteral("sys/") + igpu + QStringLiteral("/gpu_busy_percent"), "3\n");
    m->write(QStringLiteral("sys/") + igpu + QStringLiteral("/mem_info_vram_total"), "536870912\n");
    return m;
}

std::unique_ptr<MachineTree> MachineTree::laptop()
{
    auto m = std::make_unique<MachineTree>();
    m->cpuInfo("11th Gen Intel(R) Core(TM) i5-1135G7 @ 2.40GHz", 2, 2400.0);
    m->cpus(2, {1800000, 2200000});
    m->procStat({{50, 0, 50, 900, 0, 0, 0, 0}, {50, 0, 50, 900, 0, 0, 0, 0}});
    m->memInfo(8000000, 2000000);
    m->hwmon(0, "acpitz", {{"temp1_input", "51000"}}, QStringLiteral("devices/virtual/thermal/thermal_zone0"));
    m->hwmon(1, "coretemp",
             {{"temp1_label", "Package id 0"},
              {"temp1_input", "62000"},
              {"temp2_label", "Core 0"},
              {"temp2_input", "60000"},
              {"temp3_label", "Core 1"},
              {"temp3_input", "58000"}},
             QStringLiteral("devices/platform/coretemp.0"));
    m->hwmon(2, "pch_tigerlake", {{"temp1_input", "47000"}}, QStringLiteral("devices/pci0000:00/0000:00:12.0"));
    m->hwmon(3, "thinkpad", {{"temp1_input", "61000"}, {"temp2_input", "0"}, {"fan1_input", "2900"}},
             QStringLiteral("devices/platform/thinkpad_hwmon"));
    m->hwmon(4, "nvme", {{"temp1_label", "Composite"}, {"temp1_input", "36850"}},
             QStringLiteral("devices/pci0000:00/0000:00:1c.4/0000:04:00.0/nvme/nvme0"));
    m->write(QStringLiteral("sys/devices/pci0000:00/0000:00:1c.4/0000:04:00.0/nvme/nvme0/model"), "WDC PC SN730\n");
    m->hwmon(5, "BAT0", {{"in0_input", "12480"}}, QStringLiteral("devices/platform/battery"));
    return m;
}

std::unique_ptr<MachineTree> MachineTree::iteAsusBoard()
{
    auto m = std::make_unique<MachineTree>();
    m->cpuInfo("AMD Ryzen 9 5950X 16-Core Processor", 1, 3400.0);
    m->procStat({{10, 0, 10, 80, 0, 0, 0, 0}});
    m->hwmon(0, "zenpower",
             {{"temp1_label", "Tdie"},
              {"temp1_input", "58125"},
              {"temp2_label", "Tctl"},
              {"temp2_input", "68125"},
              {"in1_label", "SVI2_Core"},
              {"in1_input", "1356"},
              {"in2_label", "SVI2_SoC"},
              {"in2_input", "1081"}});
    m->hwmon(1, "it8688",
             {{"temp1_input", "36000"},
              {"temp2_input", "44000"},
              {"temp3_input", "50000"},
              {"fan1_input", "1400"},
              {"fan2_input", "800"},
              {"fan3_input", "0"},
              {"in0_input", "1344"},
              {"cpu0_vid", "0"}});
    m->hwmon(2, "asusec",
             {{"temp1_label", "Chipset"},
              {"temp1_input", "61000"},
              {"temp2_label", "Water_In"},
              {"temp2_input", "30000"},
              {"fan1_label", "VRM HS"},
              {"fan1_input", "2700"},
              {"fan2_label", "CPU_Opt"},
              {"fan2_input", "1000"}});
    m->hwmon(3, "kraken2",
             {{"temp1_label", "Coolant"},
              {"temp1_input", "29500"},
              {"fan1_label", "Fans"},
              {"fan1_input", "700"},
              {"fan2_label", "Pump"},
              {"fan2_input", "2800"}});
    return m;
}

} // namespace SensorFixtures

namespace SensorFixtures {

namespace {

void pciDevice(const MachineTree& m, const QString& folder, const QMap<QString, QByteArray>& files)
{
    for (auto it = files.constBegin(); it != files.constEnd(); ++it)
        m.write(QStringLiteral("sys/") + folder + QLatin1Char('/') + it.key(), it.value() + '\n');
}

constexpr quint64 kRaplRangeUj = 262143328850ull; // max_energy_range_uj of a client Intel package

} // namespace

std::unique_ptr<MachineTree> MachineTree::amdApuLaptop()
{
    auto m = std::make_unique<MachineTree>();
    m->cpuInfo("AMD Ryzen 7 6800H with Radeon Graphics", 2, 3200.0);
    m->cpus(2, {3200000, 2800000});
    m->procStat({{200, 0, 100, 700, 0, 0, 0, 0}, {100, 0, 100, 800, 0, 0, 0, 0}});
    m->memInfo(16000000, 8000000);
    m->hwmon(0, "acpitz", {{"temp1_input", "45000"}}, QStringLiteral("devices/virtual/thermal/thermal_zone0"));
    m->hwmon(1, "k10temp", {{"temp1_label", "Tctl"}, {"temp1_input", "68250"}},
             QStringLiteral("devices/pci0000:00/0000:00:18.3"));
    // The APU's graphics: no fan inputs, no memory controller load, 8 GiB carve-out.
    const QString igpu = QStringLiteral("devices/pci0000:00/0000:00:08.1/0000:05:00.0");
    m->hwmon(2, "amdgpu",
             {{"temp1_label", "edge"},
              {"temp1_input", "52000"},
              {"in0_label", "vddgfx"},
              {"in0_input", "1050"},
              {"in1_label", "vddnb"},
              {"in1_input", "900"},
              {"freq1_label", "sclk"},
              {"freq1_input", "2200000000"},
              {"power1_label", "PPT"},
              {"power1_input", "15000000"}},
             igpu);
    pciDevice(*m, igpu,
              {{"vendor", "0x1002"},
               {"device", "0x1681"},
               {"gpu_busy_percent", "12"},
               {"mem_info_vram_total", "8589934592"},
               {"mem_info_vram_used", "536870912"}});
    m->drmCard(0, igpu, "amdgpu");
    const QString dgpu = QStringLiteral("devices/pci0000:00/0000:00:01.1/0000:01:00.0/0000:02:00.0/0000:03:00.0");
    m->hwmon(3, "amdgpu",
             {{"temp1_label", "edge"},
              {"temp1_input", "61000"},
              {"temp2_label", "junction"},
              {"temp2_input", "70000"},
              {"in0_label", "vddgfx"},
              {"in0_input", "900"},
              {"freq1_label", "sclk"},
              {"freq1_input", "2400000000"},
              {"power1_average", "45000000"}},
             dgpu);
    pciDevice(*m, dgpu,
              {{"vendor", "0x1002"},
               {"device", "0x743f"},
               {"gpu_busy_percent", "55"},
               {"mem_busy_percent", "20"},
               {"mem_info_vram_total", "4294967296"},
               {"mem_info_vram_used", "1073741824"}});
    m->drmCard(1, dgpu, "amdgpu");
    m->hwmon(4, "asus",
             {{"fan1_label", "cpu_fan"}, {"fan1_input", "3100"}, {"fan2_label", "gpu_fan"}, {"fan2_input", "2900"}},
             QStringLiteral("devices/platform/asus-nb-wmi"));
    m->hwmon(5, "nvme", {{"temp1_label", "Composite"}, {"temp1_input", "39850"}},
             QStringLiteral("devices/pci0000:00/0000:00:02.4/0000:04:00.0/nvme/nvme0"));
    m->raplZone(QStringLiteral("intel-rapl:0"), "package-0", 1000000, kRaplRangeUj);
    m->raplZone(QStringLiteral("intel-rapl:0:0"), "core", 400000, kRaplRangeUj);
    return m;
}

std::unique_ptr<MachineTree> MachineTree::intelLaptop()
{
    auto m = std::make_unique<MachineTree>();
    m->cpuInfo("11th Gen Intel(R) Core(TM) i7-1165G7 @ 2.80GHz", 2, 2800.0);
    m->cpus(2, {2900000, 3100000});
    m->procStat({{50, 0, 50, 900, 0, 0, 0, 0}, {150, 0, 50, 800, 0, 0, 0, 0}});
    m->memInfo(16000000, 12000000);
    m->hwmon(0, "acpitz", {{"temp1_input", "47000"}, {"temp2_input", "50000"}},
             QStringLiteral("devices/virtual/thermal/thermal_zone0"));
    m->hwmon(1, "coretemp",
             {{"temp1_label", "Package id 0"},
              {"temp1_input", "64000"},
              {"temp2_label", "Core 0"},
              {"temp2_input", "61000"},
              {"temp3_label", "Core 1"},
              {"temp3_input", "63000"}},
             QStringLiteral("devices/platform/coretemp.0"));
    m->hwmon(2, "pch_tigerlake", {{"temp1_input", "49000"}}, QStringLiteral("devices/pci0000:00/0000:00:12.0"));
    // Integrated graphics on the root bus; i915 registers no hwmon for it.
    const QString igpu = QStringLiteral("devices/pci0000:00/0000:00:02.0");
    pciDevice(*m, igpu, {{"vendor", "0x8086"}, {"device", "0x9a49"}, {"boot_vga", "1"}});
    m->drmCard(0, igpu, "i915",
               {{"gt_cur_freq_mhz", "1300"},
                {"gt_act_freq_mhz", "1295"},
                {"gt_min_freq_mhz", "100"},
                {"gt_max_freq_mhz", "1300"}});
    m->raplZone(QStringLiteral("intel-rapl:0"), "package-0", 5000000, kRaplRangeUj);
    m->raplZone(QStringLiteral("intel-rapl:0:0"), "core", 2000000, kRaplRangeUj);
    m->raplZone(QStringLiteral("intel-rapl:0:1"), "uncore", 100000, kRaplRangeUj);
    m->raplZone(QStringLiteral("intel-rapl:1"), "psys", 9000000, kRaplRangeUj);
    m->raplZone(QStringLiteral("intel-rapl-mmio:0"), "package-0", 5000000, kRaplRangeUj);
    m->hwmon(3, "nvme", {{"temp1_label", "Composite"}, {"temp1_input", "35850"}},
             QStringLiteral("devices/pci0000:00/0000:00:06.0/0000:01:00.0/nvme/nvme0"));
    return m;
}

std::unique_ptr<MachineTree> MachineTree::gigabyteBoard()
{
    auto m = std::make_unique<MachineTree>();
    m->cpuInfo("AMD Ryzen 9 5900X 12-Core Processor", 2, 3700.0);
    m->cpus(2, {4500000, 4300000});
    m->procStat({{100, 0, 100, 800, 0, 0, 0, 0}, {100, 0, 100, 800, 0, 0, 0, 0}});
    m->memInfo(32000000, 28000000);
    m->hwmon(0, "acpitz", {{"temp1_input", "16800"}}, QStringLiteral("devices/virtual/thermal/thermal_zone0"));
    m->hwmon(1, "k10temp",
             {{"temp1_label", "Tctl"},
              {"temp1_input", "63500"},
              {"temp3_label", "Tccd1"},
              {"temp3_input", "57000"},
              {"temp4_label", "Tccd2"},
              {"temp4_input", "55000"}},
             QStringLiteral("devices/pci0000:00/0000:00:18.3"));
    // The companion chip is bound first.
    m->hwmon(2, "it8792",
             {{"temp1_input", "40000"},
              {"temp2_input", "0"},
              {"temp3_input", "45000"},
              {"fan1_input", "900"},
              {"fan2_input", "0"},
              {"fan3_input", "0"},
              {"in0_input", "1080"},
              {"in1_input", "1800"},
              {"in2_input", "1212"}},
             QStringLiteral("devices/platform/it87.2624"));
    m->hwmon(3, "it8688",
             {{"temp1_input", "33000"},
              {"temp2_input", "47000"},
              {"temp3_input", "55000"},
              {"temp4_input", "38000"},
              {"temp5_input", "44000"},
              {"temp6_input", "42000"},
              {"fan1_input", "1350"},
              {"fan2_input", "800"},
              {"fan3_input", "0"},
              {"in0_input", "1380"},
              {"in1_input", "2016"},
              {"in2_input", "2000"}},
             QStringLiteral("devices/platform/it87.2592"));
    m->hwmon(
        4, "gigabyte_wmi",
        {{"temp1_input", "33000"},
         {"temp2_input", "47000"},
         {"temp3_input", "55000"},
         {"temp4_input", "38000"},
         {"temp5_input", "44000"},
         {"temp6_input", "42000"}},
        QStringLiteral("devices/platform/PNP0C14:00/wmi_bus/wmi_bus-PNP0C14:00/DEADBEEF-2001-0000-00A0-C90629100000"));
    const QString card = QStringLiteral("devices/pci0000:00/0000:00:03.1/0000:09:00.0");
    m->hwmon(5, "nouveau",
             {{"temp1_input", "56000"},
              {"fan1_input", "1200"},
              {"in0_label", "GPU core"},
              {"in0_input", "850"},
              {"power1_input", "65000000"}},
             card);
    pciDevice(*m, card, {{"vendor", "0x10de"}, {"device", "0x1c03"}, {"boot_vga", "1"}});
    m->drmCard(0, card, "nouveau");
    return m;
}

std::unique_ptr<MachineTree> MachineTree::msiBoard()
{
    auto m = std::make_unique<MachineTree>();
    m->cpuInfo("13th Gen Intel(R) Core(TM) i9-13900K", 2, 3000.0);
    m->cpus(2, {5500000, 5300000});
    m->procStat({{300, 0, 100, 600, 0, 0, 0, 0}, {100, 0, 100, 800, 0, 0, 0, 0}});
    m->memInfo(64000000, 48000000);
    m->hwmon(0, "coretemp",
             {{"temp1_label", "Package id 0"},
              {"temp1_input", "51000"},
              {"temp2_label", "Core 0"},
              {"temp2_input", "47000"},
              {"temp3_label", "Core 4"},
              {"temp3_input", "49000"}},
             QStringLiteral("devices/platform/coretemp.0"));
    m->hwmon(1, "nct6687",
             {{"temp1_label", "CPU"},
              {"temp1_input", "48000"},
              {"temp2_label", "System"},
              {"temp2_input", "35000"},
              {"temp3_label", "VRM MOS"},
              {"temp3_input", "52000"},
              {"temp4_label", "PCH"},
              {"temp4_input", "44000"},
              {"temp5_label", "CPU Socket"},
              {"temp5_input", "0"},
              {"temp6_label", "PCIe x1"},
              {"temp6_input", "0"},
              {"temp7_label", "M2_1"},
              {"temp7_input", "0"},
              {"fan1_label", "CPU Fan"},
              {"fan1_input", "1100"},
              {"fan2_label", "Pump Fan"},
              {"fan2_input", "2600"},
              {"fan3_label", "System Fan #1"},
              {"fan3_input", "700"},
              {"fan4_label", "System Fan #2"},
              {"fan4_input", "0"},
              {"fan5_label", "System Fan #3"},
              {"fan5_input", "650"},
              {"in0_label", "+12V"},
              {"in0_input", "12096"},
              {"in1_label", "+5V"},
              {"in1_input", "5040"},
              {"in2_label", "CPU Vcore"},
              {"in2_input", "1250"},
              {"in3_label", "DRAM"},
              {"in3_input", "1350"}},
             QStringLiteral("devices/platform/nct6687.2592"));
    const QString igpu = QStringLiteral("devices/pci0000:00/0000:00:02.0");
    pciDevice(*m, igpu, {{"vendor", "0x8086"}, {"device", "0xa780"}, {"boot_vga", "0"}});
    m->drmCard(0, igpu, "i915", {{"gt_cur_freq_mhz", "300"}});
    // The Arc card sits behind its own PCIe switch; i915 registers hwmon for discrete cards only.
    const QString arc = QStringLiteral("devices/pci0000:00/0000:00:01.0/0000:01:00.0/0000:02:01.0/0000:03:00.0");
    m->hwmon(2, "i915",
             {{"in0_input", "680"},
              {"energy1_input", "123456789"},
              {"power1_max", "190000000"},
              {"power1_rated_max", "225000000"},
              {"power1_crit", "400000000"}},
             arc);
    pciDevice(*m, arc, {{"vendor", "0x8086"}, {"device", "0x56a0"}, {"boot_vga", "1"}});
    m->drmCard(1, arc, "i915", {{"gt_cur_freq_mhz", "2100"}});
    return m;
}

} // namespace SensorFixtures
