// CPU time of one polling pass: the library part alone (SelectDevice and 6 x 512 ReadSensor calls
// per device) and the whole pass of the sensor source (readings, catalogue, dashboard selection,
// publishing), on a large fixture machine and on this machine. The floor beside them is a plain
// open/read/close of every value file the fixture holds (the least any reader of those files
// pays); goal: the library within 2 ms and within twice the floor. `sensors` (lm-sensors), where
// installed, is timed on this machine for scale.

#include "sensors/SensorCatalogue.h"
#include "sensors/SensorLibrary.h"
#include "sensors/hwinfo.h"
#include "tests/support/sensors/SensorFixtures.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The value files a pass reads: hwmon inputs and alarms, cpufreq, RAPL counters, GPU busy and
// clock files, and the procfs files.
QStringList valueFiles(const QString& root)
{
    static const char* const endings[] = {"_input",          "_average",         "_alarm",
                                          "cpu0_vid",        "scaling_cur_freq", "energy_uj",
                                          "gt_cur_freq_mhz", "busy_percent",     "mem_info_vram_used"};
    QStringList files;
    // Links are not followed: every file of a fixture tree is a real file once.
    QDirIterator it(root, QDir::Files | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        for (const char* ending : endings)
            if (path.endsWith(QLatin1String(ending)))
                files << path;
    }
    return files;
}

double plainReadMs(const QStringList& files, int passes)
{
    std::vector<QByteArray> paths;
    for (const QString& f : files)
        paths.push_back(QFile::encodeName(f));
    char buffer[4096];
    const double start = threadCpuMs();
    for (int p = 0; p < passes; ++p) {
        for (const QByteArray& path : paths) {
            const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            while (::read(fd, buffer, sizeof buffer) > 0) {
            }
            ::close(fd);
        }
    }
    return (threadCpuMs() - start) / passes;
}

std::string libraryFile()
{
    return std::string(VORTANE_BENCH_PROGRAM_DIR) + "/libvortane-sensors.so";
}

// Returns the library's CPU time per pass in ms (-1: no library).
double measure(const char* what, int passes)
{
    auto library = openSensorLibraryFile(libraryFile());
    if (!library || !library->entryPoints().complete()) {
        std::printf("%-28s library not found at %s\n", what, libraryFile().c_str());
        return -1.0;
    }
    const SensorEntryPoints& lib = library->entryPoints();
    lib.Init(64);
    const int devices = lib.DeviceCount();
    int readings = 0;
    const double start = threadCpuMs();
    for (int p = 0; p < passes; ++p) {
        for (int d = 0; d < devices; ++d) {
            lib.SelectDevice(d);
            VortaneSensorRecord record;
            for (int i = 0; i < 512; ++i) {
                std::memset(&record, 0, sizeof record);
                for (int type : {1, 3, 2, 6, 7, 8})
                    readings += lib.ReadSensor(type, d, i, &record);
            }
        }
    }
    const double libraryMs = (threadCpuMs() - start) / passes;
    lib.Close();
    library.reset();

    hwinfo source(openSensorLibraryFile(libraryFile()));
    const double startPass = threadCpuMs();
    for (int p = 0; p < passes; ++p)
        source.refresh();
    const double passMs = (threadCpuMs() - startPass) / passes;
    std::printf("%-28s %3d devices %5d readings   library %.3f ms   whole pass %.3f ms CPU\n", what, devices,
                readings / passes, libraryMs, passMs);
    return libraryMs;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int passes = 50;
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--passes"));
    if (at >= 0 && at + 1 < args.size())
        passes = qMax(1, args.at(at + 1).toInt());

    {
        // The largest fixture: a 64-thread AMD desktop with a GPU pair, a cooler, a busy Super I/O
        // chip and four drives.
        auto tree = SensorFixtures::MachineTree::amdDesktop();
        QList<int> clocks;
        QList<QList<quint64>> stat;
        for (int n = 0; n < 64; ++n) {
            clocks << 3000000 + n * 10000;
            stat << QList<quint64>{100u + n, 0, 50, 850, 1, 0, 0, 0};
        }
        tree->cpus(64, clocks);
        tree->procStat(stat);
        QMap<QString, QByteArray> chip;
        for (int n = 1; n <= 7; ++n)
            chip.insert(QStringLiteral("fan%1_input").arg(n), QByteArray::number(600 + n * 100));
        for (int n = 0; n <= 15; ++n)
            chip.insert(QStringLiteral("in%1_input").arg(n), QByteArray::number(1000 + n * 100));
        static const char* const labels[] = {"SYSTIN",  "CPUTIN",       "AUXTIN0",       "AUXTIN1",     "AUXTIN2",
                                             "AUXTIN3", "PECI Agent 0", "PCH_CHIP_TEMP", "PCH_CPU_TEMP"};
        for (int n = 0; n < 9; ++n) {
            chip.insert(QStringLiteral("temp%1_label").arg(n + 1), labels[n]);
            chip.insert(QStringLiteral("temp%1_input").arg(n + 1), QByteArray::number(30000 + n * 1000));
            chip.insert(QStringLiteral("temp%1_alarm").arg(n + 1), "0");
        }
        tree->hwmon(5, "nct6798", chip);
        for (int n = 0; n < 4; ++n)
            tree->hwmon(6 + n, "nvme", {{"temp1_label", "Composite"}, {"temp1_input", "40000"}});
        // RAPL counters and an Intel GPU with its clock beside the AMD pair.
        tree->raplZone(QStringLiteral("intel-rapl:0"), "package-0", 1000000, 262143328850ull);
        tree->raplZone(QStringLiteral("intel-rapl:0:0"), "core", 500000, 262143328850ull);
        const QString arc = QStringLiteral("devices/pci0000:00/0000:00:01.0/0000:0a:00.0");
        tree->hwmon(10, "i915", {{"in0_input", "680"}, {"energy1_input", "123456789"}}, arc);
        tree->write(QStringLiteral("sys/") + arc + QStringLiteral("/vendor"), "0x8086\n");
        tree->write(QStringLiteral("sys/") + arc + QStringLiteral("/device"), "0x56a0\n");
        tree->drmCard(0, arc, "i915", {{"gt_cur_freq_mhz", "2100"}});
        const double libraryMs = measure("fixture (64 threads)", passes);
        const QStringList files =
            valueFiles(tree->sysRoot()) + valueFiles(tree->procRoot()) +
            QStringList{tree->procRoot() + QStringLiteral("/stat"), tree->procRoot() + QStringLiteral("/meminfo")};
        const double floorMs = plainReadMs(files, passes);
        std::printf("%-28s plain read of the same %d files (floor) %.3f ms CPU; library / floor %.2f "
                    "(goal <= 2 ms and <= 2.0)\n",
                    "fixture (64 threads)", int(files.size()), floorMs, libraryMs / floorMs);
    }
    measure("this machine", passes);

    const QString sensors = QStandardPaths::findExecutable(QStringLiteral("sensors"));
    if (!sensors.isEmpty()) {
        QElapsedTimer timer;
        timer.start();
        QProcess::execute(sensors, {QStringLiteral("-u")});
        std::printf("%-28s one run of sensors -u: %lld ms wall\n", "this machine", qint64(timer.elapsed()));
    } else {
        std::printf("%-28s (lm-sensors not installed; no reference run)\n", "this machine");
    }
    return 0;
}
