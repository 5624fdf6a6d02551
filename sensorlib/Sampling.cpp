// One sample of a device: each file and each shared procfs input is read once, then every channel
// takes its value from what was read.

#include "sensorlib/SensorDevices.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace vortane_sensors {

namespace {

// /proc/stat "cpu" lines: index 0 is the total line, i + 1 is logical CPU i. Missing CPUs
// (offline ones) keep total 0.
std::vector<CpuTimes> parseProcStat(const std::string& text)
{
    std::vector<CpuTimes> times;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, 3, "cpu") != 0)
            continue;
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        size_t slot = 0;
        if (name.size() > 3) {
            long long n = 0;
            if (!parseInteger(name.substr(3), n) || n < 0 || n >= 4096)
                continue;
            slot = size_t(n) + 1;
        }
        // user nice system idle iowait irq softirq steal; guest time is already inside user.
        unsigned long long value[8] = {};
        int count = 0;
        while (count < 8 && fields >> value[count])
            ++count;
        if (count < 4)
            continue;
        CpuTimes t;
        for (int i = 0; i < count; ++i)
            t.total += value[i];
        const uint64_t idle = value[3] + (count > 4 ? value[4] : 0);
        t.busy = t.total >= idle ? t.total - idle : 0;
        if (times.size() <= slot)
            times.resize(slot + 1);
        times[slot] = t;
    }
    return times;
}

void updateCpuUsage(Device& device, const Roots& roots)
{
    std::string text;
    if (!readTextFile(roots.proc + "/stat", text, 1u << 20)) {
        device.lastCpuTimes.clear();
        device.lastUsage.clear();
        return;
    }
    const std::vector<CpuTimes> now = parseProcStat(text);
    device.lastUsage.resize(now.size(), -1.0);
    for (size_t i = 0; i < now.size(); ++i) {
        if (now[i].total == 0) {
            device.lastUsage[i] = -1.0;
            continue;
        }
        const bool havePrevious = i < device.lastCpuTimes.size() && device.lastCpuTimes[i].total != 0;
        if (havePrevious && now[i].total == device.lastCpuTimes[i].total)
            continue; // no tick since the last sample: keep the last figure
        CpuTimes from;
        if (havePrevious && now[i].total > device.lastCpuTimes[i].total && now[i].busy >= device.lastCpuTimes[i].busy)
            from = device.lastCpuTimes[i];
        // Without an earlier sample (or after a counter reset) the figure is the average since boot.
        const double span = double(now[i].total - from.total);
        device.lastUsage[i] = span > 0 ? 100.0 * double(now[i].busy - from.busy) / span : 0.0;
    }
    device.lastCpuTimes = now;
}

std::vector<double> parseCpuInfoClocks(const std::string& text)
{
    std::vector<double> clocks;
    size_t pos = 0;
    while ((pos = text.find("cpu MHz", pos)) != std::string::npos) {
        const size_t colon = text.find(':', pos);
        const size_t end = text.find('\n', pos);
        pos += 7;
        if (colon == std::string::npos || colon > end) {
            clocks.push_back(NAN);
            continue;
        }
        char* stop = nullptr;
        const std::string value =
            text.substr(colon + 1, end == std::string::npos ? std::string::npos : end - colon - 1);
        const double mhz = std::strtod(value.c_str(), &stop);
        clocks.push_back(stop == value.c_str() ? NAN : mhz);
    }
    return clocks;
}

struct MemFigures
{
    bool valid = false;
    double loadPercent = 0, usedMb = 0, availableMb = 0;
};

MemFigures parseMemInfo(const std::string& text)
{
    const std::string lines = "\n" + text;
    const auto field = [&](const char* key, long long& value) {
        const std::string k = std::string("\n") + key + ":";
        const size_t pos = lines.find(k);
        if (pos == std::string::npos)
            return false;
        const char* start = lines.c_str() + pos + k.size();
        char* end = nullptr;
        value = std::strtoll(start, &end, 10);
        return end != start;
    };
    MemFigures m;
    long long total = 0, available = 0, freeKb = 0, buffers = 0, cached = 0;
    if (!field("MemTotal", total) || total <= 0)
        return m;
    if (!field("MemAvailable", available)) {
        if (!field("MemFree", freeKb))
            return m;
        field("Buffers", buffers);
        field("Cached", cached);
        available = freeKb + buffers + cached;
    }
    if (available < 0 || available > total)
        available = total;
    m.valid = true;
    m.loadPercent = 100.0 * double(total - available) / double(total);
    m.usedMb = double(total - available) / 1024.0;
    m.availableMb = double(available) / 1024.0;
    return m;
}

// One reading of an energy counter: its rate against the previous reading, then the reading kept
// for the next sample. A counter that cannot be read forgets its previous reading.
bool sampleEnergy(Channel& c, double nowSeconds, double& watts)
{
    long long energy = 0;
    if (!readInteger(c.path, energy) || energy < 0) {
        c.haveEnergy = false;
        return false;
    }
    const bool ok =
        c.haveEnergy && energyRate(c.lastEnergy, energy, c.energyRange, nowSeconds - c.lastEnergySeconds, watts);
    c.haveEnergy = true;
    c.lastEnergy = energy;
    c.lastEnergySeconds = nowSeconds;
    return ok;
}

} // namespace

bool energyRate(long long previousMicrojoules, long long nowMicrojoules, long long range, double seconds, double& watts)
{
    if (!(seconds > 0.0))
        return false;
    long long delta = nowMicrojoules - previousMicrojoules;
    if (delta < 0) {
        // Wrapped past its range back to 0; without a range (or beyond it) it was reset.
        if (range <= 0 || previousMicrojoules > range || nowMicrojoules > range)
            return false;
        delta += range;
    }
    watts = double(delta) * 1e-6 / seconds;
    return true;
}

void sampleDevice(Device& device, const Roots& roots, double nowSeconds)
{
    if (device.needsProcStat)
        updateCpuUsage(device, roots);
    std::vector<double> clocks;
    std::string text;
    if (device.needsCpuInfo && readTextFile(roots.proc + "/cpuinfo", text, 1u << 20))
        clocks = parseCpuInfoClocks(text);
    MemFigures mem;
    if (device.needsMemInfo && readTextFile(roots.proc + "/meminfo", text, 64u << 10))
        mem = parseMemInfo(text);

    for (Channel& c : device.channels) {
        bool ok = false;
        double value = 0.0;
        switch (c.source) {
        case Source::File: {
            long long raw = 0;
            ok = readInteger(c.path, raw);
            value = double(raw) * c.scale;
            break;
        }
        case Source::ProcStatCpu: {
            const size_t slot = size_t(c.arg + 1);
            ok = slot < device.lastUsage.size() && device.lastUsage[slot] >= 0.0;
            value = ok ? device.lastUsage[slot] : 0.0;
            break;
        }
        case Source::CpuInfoClock:
            ok = size_t(c.arg) < clocks.size() && !std::isnan(clocks[size_t(c.arg)]);
            value = ok ? clocks[size_t(c.arg)] : 0.0;
            break;
        case Source::MemInfo:
            ok = mem.valid;
            value = c.arg == 0 ? mem.loadPercent : c.arg == 1 ? mem.usedMb : mem.availableMb;
            break;
        case Source::Nvml:
            ok = nvmlRead(device.nvmlHandle, c.arg, value);
            break;
        case Source::EnergyRate:
            ok = sampleEnergy(c, nowSeconds, value);
            break;
        }
        ok = ok && std::isfinite(value) && value >= c.minValid && value <= c.maxValid;
        if (ok && value != 0.0)
            c.seenNonZero = true;
        c.present = ok && (!c.hiddenUntilNonZero || c.seenNonZero);
        c.value = ok ? value : 0.0;
    }
    device.sampleDue = false;
}

} // namespace vortane_sensors
