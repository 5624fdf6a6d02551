// Finding the machine's sensors: hwmon chips, cpufreq, /proc/stat, /proc/meminfo, amdgpu and NVML,
// each turned into channels with the class and kind codes documented in VortaneSensors.h.

#include "sensorlib/SensorDevices.h"
#include "sensorlib/VortaneSensors.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>

namespace vortane_sensors {

namespace {

constexpr int kTemp = VORTANE_TYPE_TEMPERATURE;
constexpr int kVolt = VORTANE_TYPE_VOLTAGE;
constexpr int kFan = VORTANE_TYPE_FAN;
constexpr int kCurrent = VORTANE_TYPE_CURRENT;
constexpr int kClock = VORTANE_TYPE_CLOCK;
constexpr int kUsage = VORTANE_TYPE_USAGE;
constexpr int kOther = VORTANE_TYPE_OTHER;

constexpr int kClassMemory = VORTANE_CLASS_SYSTEM_MEMORY;
constexpr int kClassCpu = VORTANE_CLASS_CPU;
constexpr int kClassBoard = VORTANE_CLASS_MAINBOARD;
constexpr int kClassGpu = VORTANE_CLASS_GPU;
constexpr int kClassChipset = VORTANE_CLASS_CHIPSET;
constexpr int kClassStorage = VORTANE_CLASS_STORAGE;
constexpr int kClassOther = VORTANE_CLASS_OTHER;
constexpr int kClassModule = VORTANE_CLASS_MEMORY_MODULE;

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// Plausible ranges per type, in the record's unit; anything outside is a broken or absent input.
void setRange(Channel& c)
{
    switch (c.type) {
    case kTemp:
        c.minValid = -60.0;
        c.maxValid = 250.0;
        break;
    case kVolt:
        c.minValid = -30.0;
        c.maxValid = 100.0;
        break;
    case kFan:
        c.minValid = 0.0;
        c.maxValid = 30000.0;
        break;
    case kCurrent:
        c.minValid = -1000.0;
        c.maxValid = 1000.0;
        break;
    case kClock:
        c.minValid = 0.0;
        c.maxValid = 20000.0;
        break;
    case kUsage:
        c.minValid = 0.0;
        c.maxValid = 100.0;
        break;
    default:
        if (c.unit == "Yes/No") {
            c.minValid = 0.0;
            c.maxValid = 1.0;
        } else if (c.unit == "W") {
            c.minValid = 0.0;
            c.maxValid = 5000.0;
        } else {
            c.minValid = -1e12;
            c.maxValid = 1e12;
        }
        break;
    }
}

Channel fileChannel(int type, int classCode, int kind, std::string label, std::string unit, std::string path,
                    double scale, int subIndex = 0)
{
    Channel c;
    c.type = type;
    c.classCode = classCode;
    c.kindCode = kind;
    c.subIndex = subIndex;
    c.label = std::move(label);
    c.unit = std::move(unit);
    c.source = Source::File;
    c.path = std::move(path);
    c.scale = scale;
    setRange(c);
    return c;
}

Channel computedChannel(int type, int classCode, int kind, std::string label, std::string unit, Source source, int arg,
                        int subIndex = 0)
{
    Channel c;
    c.type = type;
    c.classCode = classCode;
    c.kindCode = kind;
    c.subIndex = subIndex;
    c.label = std::move(label);
    c.unit = std::move(unit);
    c.source = source;
    c.arg = arg;
    setRange(c);
    return c;
}

// ---- hwmon ------------------------------------------------------------------------------------

struct HwmonInput
{
    std::string kind; // "temp", "in", "fan", "curr", "power", "freq"
    int number = 0;
    std::string file;  // the value file
    std::string label; // the driver's label, may be empty
    std::string base;  // dir + "/" + kind + number, for _alarm and friends
};

struct HwmonChip
{
    std::string name; // the driver's chip name
    std::string dir;  // folder holding the sensor files
    std::string deviceDir;
    std::vector<HwmonInput> inputs;
};

int kindOrder(const std::string& kind)
{
    static const char* const order[] = {"temp", "fan", "in", "curr", "power", "freq"};
    for (int i = 0; i < 6; ++i)
        if (kind == order[i])
            return i;
    return 6;
}

std::vector<HwmonInput> scanInputs(const std::string& dir)
{
    std::vector<HwmonInput> inputs;
    std::set<std::pair<std::string, int>> seen;
    for (const std::string& entry : listDirectory(dir)) {
        static const char* const kinds[] = {"temp", "in", "fan", "curr", "power", "freq"};
        for (const char* kind : kinds) {
            const size_t klen = std::strlen(kind);
            if (entry.compare(0, klen, kind) != 0)
                continue;
            size_t pos = klen;
            while (pos < entry.size() && std::isdigit(static_cast<unsigned char>(entry[pos])))
                ++pos;
            if (pos == klen || pos - klen > 4)
                continue;
            const std::string suffix = entry.substr(pos);
            if (suffix != "_input" && !(suffix == "_average" && std::strcmp(kind, "power") == 0))
                continue;
            const int number = std::atoi(entry.substr(klen, pos - klen).c_str());
            if (!seen.insert({kind, number}).second)
                continue;
            HwmonInput input;
            input.kind = kind;
            input.number = number;
            input.base = dir + "/" + kind + std::to_string(number);
            // Power: the instantaneous value where the driver has one, else its average.
            input.file = fileExists(input.base + "_input") ? input.base + "_input" : input.base + "_average";
            input.label = readTrimmed(input.base + "_label");
            inputs.push_back(std::move(input));
        }
    }
    std::sort(inputs.begin(), inputs.end(), [](const HwmonInput& a, const HwmonInput& b) {
        const int ka = kindOrder(a.kind), kb = kindOrder(b.kind);
        return ka != kb ? ka < kb : a.number < b.number;
    });
    return inputs;
}

std::vector<HwmonChip> scanHwmon(const Roots& roots)
{
    std::vector<HwmonChip> chips;
    const std::string classDir = roots.sys + "/class/hwmon";
    std::vector<std::pair<int, std::string>> entries;
    for (const std::string& entry : listDirectory(classDir)) {
        if (!startsWith(entry, "hwmon"))
            continue;
        long long number = 0;
        if (!parseInteger(entry.substr(5), number))
            continue;
        entries.emplace_back(int(number), entry);
    }
    std::sort(entries.begin(), entries.end());
    for (const auto& [number, entry] : entries) {
        (void)number;
        HwmonChip chip;
        const std::string dir = classDir + "/" + entry;
        chip.deviceDir = dir + "/device";
        chip.name = readTrimmed(dir + "/name");
        chip.dir = dir;
        chip.inputs = scanInputs(dir);
        // Older drivers keep their files in the parent device's folder.
        if (chip.inputs.empty() && isDirectory(chip.deviceDir)) {
            chip.inputs = scanInputs(chip.deviceDir);
            if (chip.name.empty())
                chip.name = readTrimmed(chip.deviceDir + "/name");
            chip.dir = chip.deviceDir;
        }
        if (chip.name.empty() || chip.inputs.empty())
            continue;
        chips.push_back(std::move(chip));
    }
    return chips;
}

enum class ChipFamily
{
    Cpu,
    SuperIoNuvoton,
    SuperIoIte,
    AsusEc,
    Laptop,
    Cooler,
    AcpiZone,
    Pch,
    Amdgpu,
    Drive,
    Dimm,
    Other
};

ChipFamily familyOf(const std::string& name)
{
    if (name == "coretemp" || name == "k10temp" || name == "zenpower")
        return ChipFamily::Cpu;
    if (startsWith(name, "nct6") || startsWith(name, "nct5"))
        return ChipFamily::SuperIoNuvoton;
    if (startsWith(name, "it8"))
        return ChipFamily::SuperIoIte;
    if (name == "asusec" || name == "asus_ec_sensors" || name == "asuswmisensors" || name == "asus_wmi_sensors")
        return ChipFamily::AsusEc;
    if (name == "thinkpad" || name == "dell_smm" || name == "asus" || name == "hp" || name == "applesmc" ||
        name == "legion_hwmon" || name == "msi_ec")
        return ChipFamily::Laptop;
    static const char* const coolers[] = {"kraken2",
                                          "kraken3",
                                          "z53",
                                          "kraken2023",
                                          "kraken2023elite",
                                          "x53",
                                          "corsaircpro",
                                          "d5next",
                                          "octo",
                                          "quadro",
                                          "farbwerk",
                                          "farbwerk360",
                                          "aquaero",
                                          "aquastreamxt",
                                          "aquastreamult",
                                          "highflownext",
                                          "highflow",
                                          "leakshield",
                                          "poweradjust3",
                                          "asus_rog_ryujin",
                                          "gigabyte_waterforce",
                                          "corsairhydroplatinum",
                                          "nzxtsmart2",
                                          "smart2"};
    for (const char* cooler : coolers)
        if (name == cooler)
            return ChipFamily::Cooler;
    if (name == "acpitz")
        return ChipFamily::AcpiZone;
    if (startsWith(name, "pch_"))
        return ChipFamily::Pch;
    if (name == "amdgpu")
        return ChipFamily::Amdgpu;
    if (name == "nvme" || name == "drivetemp")
        return ChipFamily::Drive;
    if (name == "spd5118" || name == "jc42")
        return ChipFamily::Dimm;
    return ChipFamily::Other;
}

std::string chipDisplayName(const std::string& name, ChipFamily family)
{
    static const std::pair<const char*, const char*> names[] = {
        {"kraken2", "NZXT Kraken X42/X52/X62/X72"},
        {"kraken3", "NZXT Kraken X53/X63/X73"},
        {"x53", "NZXT Kraken X53/X63/X73"},
        {"z53", "NZXT Kraken Z53/Z63/Z73"},
        {"kraken2023", "NZXT Kraken 2023"},
        {"kraken2023elite", "NZXT Kraken 2023 Elite"},
        {"corsaircpro", "Corsair Commander Pro"},
        {"corsairhydroplatinum", "Corsair Hydro Platinum"},
        {"d5next", "Aquacomputer D5 Next"},
        {"octo", "Aquacomputer Octo"},
        {"quadro", "Aquacomputer Quadro"},
        {"farbwerk", "Aquacomputer Farbwerk"},
        {"farbwerk360", "Aquacomputer Farbwerk 360"},
        {"aquaero", "Aquacomputer Aquaero"},
        {"aquastreamxt", "Aquacomputer Aquastream XT"},
        {"aquastreamult", "Aquacomputer Aquastream Ultimate"},
        {"highflownext", "Aquacomputer High Flow Next"},
        {"highflow", "Aquacomputer High Flow"},
        {"leakshield", "Aquacomputer Leakshield"},
        {"poweradjust3", "Aquacomputer Poweradjust 3"},
        {"asus_rog_ryujin", "ASUS ROG Ryujin II"},
        {"gigabyte_waterforce", "Gigabyte AORUS Waterforce"},
        {"nzxtsmart2", "NZXT Smart Device V2"},
        {"smart2", "NZXT Smart Device V2"},
        {"asusec", "ASUS EC"},
        {"asus_ec_sensors", "ASUS EC"},
        {"asuswmisensors", "ASUS WMI"},
        {"asus_wmi_sensors", "ASUS WMI"},
        {"thinkpad", "ThinkPad"},
        {"dell_smm", "Dell SMM"},
        {"asus", "ASUS Laptop"},
        {"hp", "HP Laptop"},
        {"applesmc", "Apple SMC"},
        {"legion_hwmon", "Lenovo Legion"},
        {"msi_ec", "MSI EC"},
        {"acpitz", "ACPI Thermal Zone"},
    };
    for (const auto& [driver, display] : names)
        if (name == driver)
            return display;
    if (family == ChipFamily::SuperIoNuvoton)
        return "Nuvoton " + upper(name);
    if (family == ChipFamily::SuperIoIte)
        return "ITE " + upper(name);
    if (family == ChipFamily::Pch)
        return "Intel PCH";
    return name;
}

std::string numbered(const char* text, int number)
{
    return std::string(text) + " " + std::to_string(number);
}

struct Mapped
{
    std::string label;
    int classCode;
    int kind;
};

// Temperatures of boards and laptops, by the driver's label.
Mapped mapBoardTemperature(const HwmonInput& in, ChipFamily family)
{
    const std::string& label = in.label;
    if (family == ChipFamily::SuperIoNuvoton) {
        if (label == "SYSTIN")
            return {"Motherboard", kClassBoard, VORTANE_KIND_BOARD_MAINBOARD};
        if (label == "CPUTIN")
            return {"CPU", kClassBoard, VORTANE_KIND_BOARD_CPU};
        if (startsWith(label, "AUXTIN"))
            return {"Auxiliary " + label.substr(6), kClassBoard, VORTANE_KIND_BOARD_AUXILIARY};
        if (startsWith(label, "PECI Agent"))
            return {"CPU (PECI" + label.substr(10) + ")", kClassBoard, VORTANE_KIND_BOARD_AUXILIARY};
        if (label == "PCH_CHIP_TEMP")
            return {"Chipset", kClassChipset, VORTANE_KIND_CHIPSET_PCH};
        if (startsWith(label, "PCH_"))
            return {"PCH " + label.substr(4), kClassChipset, VORTANE_KIND_CHIPSET_OTHER};
    }
    if (label.empty()) {
        if (family == ChipFamily::SuperIoIte && in.number == 1)
            return {"Motherboard", kClassBoard, VORTANE_KIND_BOARD_MAINBOARD};
        if ((family == ChipFamily::SuperIoIte && in.number == 3) || (family == ChipFamily::Laptop && in.number == 1))
            return {"CPU", kClassBoard, VORTANE_KIND_BOARD_CPU};
        if (family == ChipFamily::Cooler && in.number == 1)
            return {"Coolant", kClassBoard, VORTANE_KIND_BOARD_COOLANT};
        return {numbered("Temperature", in.number), kClassBoard, VORTANE_KIND_BOARD_AUXILIARY};
    }
    const std::string l = lower(label);
    if (l == "cpu" || l == "cpu temperature" || l == "cpu socket" || l == "processor")
        return {"CPU", kClassBoard, VORTANE_KIND_BOARD_CPU};
    if (contains(l, "chipset") || l == "pch")
        return {"Chipset", kClassChipset,
                family == ChipFamily::AsusEc ? VORTANE_KIND_CHIPSET_EC : VORTANE_KIND_CHIPSET_PCH};
    if (contains(l, "motherboard") || l == "ambient" || l == "mainboard")
        return {label, kClassBoard, VORTANE_KIND_BOARD_MAINBOARD};
    if (contains(l, "water") || contains(l, "coolant") || contains(l, "liquid"))
        return {label, kClassBoard, VORTANE_KIND_BOARD_COOLANT};
    return {label, kClassBoard,
            family == ChipFamily::Cooler ? VORTANE_KIND_BOARD_COOLANT : VORTANE_KIND_BOARD_AUXILIARY};
}

struct FanMapped
{
    std::string label;
    int kind;
    bool hiddenUntilNonZero;
};

FanMapped mapBoardFan(const HwmonInput& in, ChipFamily family)
{
    if (!in.label.empty()) {
        const std::string l = lower(in.label);
        if (contains(l, "pump"))
            return {in.label, VORTANE_KIND_BOARD_PUMP, false};
        if (contains(l, "vrm"))
            return {in.label, VORTANE_KIND_BOARD_VRM_FAN, false};
        if (contains(l, "opt") || contains(l, "chipset") || contains(l, "flow") || contains(l, "gpu") ||
            contains(l, "video"))
            return {in.label, VORTANE_KIND_UNSPECIFIED, false};
        if (contains(l, "cpu") || contains(l, "processor"))
            return {in.label == "cpu_fan" ? "CPU Fan" : in.label, VORTANE_KIND_BOARD_CPU, false};
        return {in.label, VORTANE_KIND_BOARD_CHASSIS_FAN, false};
    }
    switch (family) {
    case ChipFamily::SuperIoNuvoton:
        // fan2 is the CPUFANIN pin; fan1 is SYSFANIN, fan3 onwards are the auxiliary headers.
        if (in.number == 2)
            return {"CPU Fan", VORTANE_KIND_BOARD_CPU, true};
        return {numbered("System Fan", in.number == 1 ? 1 : in.number - 1), VORTANE_KIND_BOARD_CHASSIS_FAN, true};
    case ChipFamily::SuperIoIte:
        if (in.number == 1)
            return {"CPU Fan", VORTANE_KIND_BOARD_CPU, true};
        return {numbered("System Fan", in.number - 1), VORTANE_KIND_BOARD_CHASSIS_FAN, true};
    case ChipFamily::Laptop:
        if (in.number == 1)
            return {"CPU Fan", VORTANE_KIND_BOARD_CPU, false};
        return {numbered("Fan", in.number), VORTANE_KIND_UNSPECIFIED, false};
    default:
        return {numbered("Fan", in.number), VORTANE_KIND_BOARD_CHASSIS_FAN, false};
    }
}

const char* nuvotonVoltageName(int number)
{
    static const char* const names[] = {"Vcore", "VIN1", "AVSB", "3VCC", "VIN0", "VIN8", "VIN4", "3VSB",
                                        "VBAT",  "VTT",  "VIN5", "VIN6", "VIN2", "VIN3", "VIN7", "VIN9"};
    return number >= 0 && number < 16 ? names[number] : nullptr;
}

void addAlarm(Device& device, const HwmonInput& in, const std::string& label, int classCode)
{
    const std::string alarm = in.base + "_alarm";
    if (fileExists(alarm))
        device.channels.push_back(
            fileChannel(kOther, classCode, VORTANE_KIND_BOARD_ALARM, label + " Alarm", "Yes/No", alarm, 1.0));
}

// Mainboard chips, laptop platform drivers and liquid coolers.
void addBoardChip(Device& device, const HwmonChip& chip, ChipFamily family)
{
    for (const HwmonInput& in : chip.inputs) {
        if (in.kind == "temp") {
            const Mapped m = mapBoardTemperature(in, family);
            device.channels.push_back(fileChannel(kTemp, m.classCode, m.kind, m.label, "C", in.file, 1e-3));
            addAlarm(device, in, m.label, kClassBoard);
        } else if (in.kind == "fan") {
            const FanMapped m = mapBoardFan(in, family);
            Channel c = fileChannel(kFan, kClassBoard, m.kind, m.label, "RPM", in.file, 1.0);
            c.hiddenUntilNonZero = m.hiddenUntilNonZero;
            device.channels.push_back(std::move(c));
            addAlarm(device, in, m.label, kClassBoard);
        } else if (in.kind == "in") {
            std::string label = in.label;
            if (label.empty() && family == ChipFamily::SuperIoNuvoton && nuvotonVoltageName(in.number))
                label = nuvotonVoltageName(in.number);
            if (label.empty())
                label = in.number == 0 && family == ChipFamily::SuperIoIte ? "Vcore" : numbered("Voltage", in.number);
            const std::string l = lower(label);
            const bool core = l == "vcore" || contains(l, "cpu core") || l == "cpuvcore";
            device.channels.push_back(fileChannel(kVolt, core ? kClassCpu : kClassBoard,
                                                  core ? VORTANE_KIND_CPU_CORE : VORTANE_KIND_BOARD_RAIL, label, "V",
                                                  in.file, 1e-3));
        } else if (in.kind == "curr") {
            const std::string label = in.label.empty() ? numbered("Current", in.number) : in.label;
            device.channels.push_back(
                fileChannel(kCurrent, kClassBoard, VORTANE_KIND_BOARD_RAIL, label, "A", in.file, 1e-3));
        } else if (in.kind == "power") {
            const std::string label = in.label.empty() ? numbered("Power", in.number) : in.label;
            device.channels.push_back(
                fileChannel(kOther, kClassBoard, VORTANE_KIND_BOARD_RAIL, label, "W", in.file, 1e-6));
        }
    }
    // The VID the CPU requests, reported by Super I/O chips in millivolts.
    const std::string vid = chip.dir + "/cpu0_vid";
    if (fileExists(vid)) {
        Channel c =
            fileChannel(kVolt, kClassCpu, VORTANE_KIND_CPU_CORE, "CPU VID", "V", vid, 1e-3, VORTANE_SUBINDEX_CPU_VID);
        c.minValid = 0.1; // 0 means the chip does not decode the VID lines
        device.channels.push_back(std::move(c));
    }
}

void addCpuChip(Device& cpu, const HwmonChip& chip)
{
    bool hasTdie = false;
    for (const HwmonInput& in : chip.inputs)
        hasTdie = hasTdie || (in.kind == "temp" && in.label == "Tdie");
    for (const HwmonInput& in : chip.inputs) {
        const std::string& label = in.label;
        if (in.kind == "temp") {
            Mapped m{label, kClassCpu, VORTANE_KIND_CPU_TCTL};
            if (startsWith(label, "Package id ") || startsWith(label, "Physical id ")) {
                const std::string socket = label.substr(label.rfind(' ') + 1);
                m = {socket == "0" ? "CPU Package" : "CPU Package (Socket " + socket + ")", kClassCpu,
                     VORTANE_KIND_CPU_PACKAGE};
            } else if (startsWith(label, "Core ")) {
                m = {label, kClassCpu, VORTANE_KIND_CPU_CORE};
            } else if (label == "Tdie" || (label == "Tctl" && !hasTdie) || (label.empty() && chip.name != "coretemp")) {
                m = {"CPU Package", kClassCpu, VORTANE_KIND_CPU_PACKAGE};
            } else if (label == "Tctl") {
                m = {"CPU Tctl", kClassCpu, VORTANE_KIND_CPU_TCTL};
            } else if (startsWith(label, "Tccd")) {
                m = {"CPU CCD" + label.substr(4), kClassCpu, VORTANE_KIND_CPU_CORE};
            } else if (label.empty()) {
                m = {numbered("CPU Temperature", in.number), kClassCpu, VORTANE_KIND_CPU_TCTL};
            }
            cpu.channels.push_back(fileChannel(kTemp, m.classCode, m.kind, m.label, "C", in.file, 1e-3));
        } else if (in.kind == "in") {
            const std::string l = lower(label);
            if (contains(l, "core"))
                cpu.channels.push_back(fileChannel(kVolt, kClassCpu, VORTANE_KIND_CPU_CORE, "CPU Core Voltage (SVI2)",
                                                   "V", in.file, 1e-3));
            else if (contains(l, "soc"))
                cpu.channels.push_back(
                    fileChannel(kVolt, kClassCpu, VORTANE_KIND_CPU_SOC, "CPU SoC Voltage", "V", in.file, 1e-3));
            else
                cpu.channels.push_back(fileChannel(kVolt, kClassCpu, VORTANE_KIND_UNSPECIFIED,
                                                   label.empty() ? numbered("CPU Voltage", in.number) : "CPU " + label,
                                                   "V", in.file, 1e-3));
        } else if (in.kind == "curr") {
            const std::string l = lower(label);
            const std::string name = contains(l, "core")  ? "CPU Core Current"
                                     : contains(l, "soc") ? "CPU SoC Current"
                                                          : numbered("CPU Current", in.number);
            cpu.channels.push_back(fileChannel(kCurrent, kClassCpu, VORTANE_KIND_CPU_POWER, name, "A", in.file, 1e-3));
        } else if (in.kind == "power") {
            const std::string l = lower(label);
            const std::string name = contains(l, "core")  ? "CPU Core Power"
                                     : contains(l, "soc") ? "CPU SoC Power"
                                                          : numbered("CPU Power", in.number);
            cpu.channels.push_back(fileChannel(kOther, kClassCpu, VORTANE_KIND_CPU_POWER, name, "W", in.file, 1e-6));
        }
    }
}

void addSimpleTemperatures(Device& device, const HwmonChip& chip, int classCode, int kind, const char* baseLabel)
{
    int count = 0;
    for (const HwmonInput& in : chip.inputs)
        count += in.kind == "temp" ? 1 : 0;
    int seen = 0;
    for (const HwmonInput& in : chip.inputs) {
        if (in.kind != "temp")
            continue;
        ++seen;
        std::string label = baseLabel;
        if (in.label == "Composite" || count == 1 || in.label.empty())
            label = seen == 1 ? std::string(baseLabel) : numbered(baseLabel, seen);
        else
            label = std::string(baseLabel) + " (" + in.label + ")";
        device.channels.push_back(fileChannel(kTemp, classCode, kind, label, "C", in.file, 1e-3));
    }
}

void addOtherChip(Device& device, const HwmonChip& chip)
{
    for (const HwmonInput& in : chip.inputs) {
        const auto label = [&](const char* base) { return in.label.empty() ? numbered(base, in.number) : in.label; };
        if (in.kind == "temp")
            device.channels.push_back(
                fileChannel(kTemp, kClassOther, VORTANE_KIND_UNSPECIFIED, label("Temperature"), "C", in.file, 1e-3));
        else if (in.kind == "fan")
            device.channels.push_back(
                fileChannel(kFan, kClassOther, VORTANE_KIND_UNSPECIFIED, label("Fan"), "RPM", in.file, 1.0));
        else if (in.kind == "in")
            device.channels.push_back(
                fileChannel(kVolt, kClassOther, VORTANE_KIND_UNSPECIFIED, label("Voltage"), "V", in.file, 1e-3));
        else if (in.kind == "curr")
            device.channels.push_back(
                fileChannel(kCurrent, kClassOther, VORTANE_KIND_UNSPECIFIED, label("Current"), "A", in.file, 1e-3));
        else if (in.kind == "power")
            device.channels.push_back(
                fileChannel(kOther, kClassOther, VORTANE_KIND_UNSPECIFIED, label("Power"), "W", in.file, 1e-6));
    }
}

// ---- GPUs ---------------------------------------------------------------------------------------

std::string pciIdsName(const std::string& vendor, const std::string& device)
{
    std::vector<std::string> files;
    if (const char* overridePath = std::getenv("VORTANE_PCI_IDS")) {
        if (*overridePath)
            files.emplace_back(overridePath);
    } else {
        files = {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids"};
    }
    for (const std::string& file : files) {
        std::string text;
        if (!readTextFile(file, text, 8u << 20))
            continue;
        const std::string vendorLine = "\n" + vendor + "  ";
        size_t pos = text.find(vendorLine);
        if (pos == std::string::npos)
            continue;
        pos = text.find('\n', pos + 1);
        while (pos != std::string::npos && pos + 1 < text.size() && text[pos + 1] == '\t') {
            const size_t end = text.find('\n', pos + 1);
            const std::string line = text.substr(pos + 1, end == std::string::npos ? std::string::npos : end - pos - 1);
            if (line.size() > 7 && line[1] != '\t' && line.compare(1, 4, device) == 0 && line.compare(5, 2, "  ") == 0)
                return line.substr(7);
            pos = end;
        }
    }
    return std::string();
}

std::string amdGpuModel(const std::string& deviceDir)
{
    std::string model = readTrimmed(deviceDir + "/product_name");
    if (!model.empty())
        return model;
    std::string vendor = lower(readTrimmed(deviceDir + "/vendor"));
    std::string device = lower(readTrimmed(deviceDir + "/device"));
    if (startsWith(vendor, "0x"))
        vendor = vendor.substr(2);
    if (startsWith(device, "0x"))
        device = device.substr(2);
    const std::string name = vendor.empty() || device.empty() ? std::string() : pciIdsName(vendor, device);
    if (!name.empty()) {
        // "Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]": the marketing name is in the brackets.
        const size_t open = name.find('['), close = name.rfind(']');
        const std::string shown =
            open != std::string::npos && close > open ? name.substr(open + 1, close - open - 1) : name;
        return startsWith(shown, "AMD") ? shown : "AMD " + shown;
    }
    // Never just "AMD Radeon": the program takes that name for a placeholder device and skips it.
    return device.empty() ? "AMD Radeon Graphics" : "AMD Radeon Graphics [1002:" + upper(device) + "]";
}

struct GpuCandidate
{
    long long vramBytes = 0;
    std::unique_ptr<Device> device;
};

GpuCandidate makeAmdGpu(const HwmonChip& chip)
{
    GpuCandidate gpu;
    gpu.device = std::make_unique<Device>();
    Device& d = *gpu.device;
    d.name = amdGpuModel(chip.deviceDir);
    readInteger(chip.deviceDir + "/mem_info_vram_total", gpu.vramBytes);
    for (const HwmonInput& in : chip.inputs) {
        if (in.kind == "temp") {
            if (in.label == "edge" || (in.label.empty() && in.number == 1))
                d.channels.push_back(
                    fileChannel(kTemp, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Temperature", "C", in.file, 1e-3));
            else if (in.label == "junction")
                d.channels.push_back(fileChannel(kTemp, kClassGpu, VORTANE_KIND_GPU_SECONDARY,
                                                 "GPU Hot Spot Temperature", "C", in.file, 1e-3));
            else if (in.label == "mem")
                d.channels.push_back(fileChannel(kTemp, kClassGpu, VORTANE_KIND_GPU_MEMORY, "GPU Memory Temperature",
                                                 "C", in.file, 1e-3));
        } else if (in.kind == "in") {
            if (in.label == "vddgfx" || (in.label.empty() && in.number == 0))
                d.channels.push_back(fileChannel(kVolt, kClassGpu, VORTANE_KIND_GPU_PRIMARY,
                                                 "GPU Core Voltage (VDDGFX)", "V", in.file, 1e-3));
            else if (in.label == "vddnb")
                d.channels.push_back(fileChannel(kVolt, kClassGpu, VORTANE_KIND_GPU_SECONDARY,
                                                 "GPU SoC Voltage (VDDNB)", "V", in.file, 1e-3));
        } else if (in.kind == "freq") {
            if (in.label == "sclk")
                d.channels.push_back(
                    fileChannel(kClock, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Clock", "MHz", in.file, 1e-6));
            else if (in.label == "mclk")
                d.channels.push_back(fileChannel(kClock, kClassGpu, VORTANE_KIND_GPU_SECONDARY, "GPU Memory Clock",
                                                 "MHz", in.file, 1e-6));
        } else if (in.kind == "fan") {
            d.channels.push_back(
                fileChannel(kFan, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Fan", "RPM", in.file, 1.0));
        } else if (in.kind == "power" && in.number == 1) {
            d.channels.push_back(
                fileChannel(kOther, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Power", "W", in.file, 1e-6));
        }
    }
    if (fileExists(chip.deviceDir + "/gpu_busy_percent"))
        d.channels.push_back(fileChannel(kUsage, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Core Load", "%",
                                         chip.deviceDir + "/gpu_busy_percent", 1.0));
    if (fileExists(chip.deviceDir + "/mem_busy_percent"))
        d.channels.push_back(fileChannel(kUsage, kClassGpu, VORTANE_KIND_GPU_SECONDARY, "GPU Memory Controller Load",
                                         "%", chip.deviceDir + "/mem_busy_percent", 1.0));
    if (fileExists(chip.deviceDir + "/mem_info_vram_used"))
        d.channels.push_back(fileChannel(kOther, kClassGpu, VORTANE_KIND_GPU_SECONDARY, "GPU Memory Allocated", "MB",
                                         chip.deviceDir + "/mem_info_vram_used", 1.0 / (1024.0 * 1024.0)));
    return gpu;
}

std::unique_ptr<Device> makeNvidiaGpu(const NvmlGpu& gpu)
{
    auto d = std::make_unique<Device>();
    d->name = gpu.name;
    d->nvmlHandle = gpu.handle;
    d->channels.push_back(computedChannel(kTemp, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Temperature", "C",
                                          Source::Nvml, NvmlTemperature));
    d->channels.push_back(computedChannel(kClock, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Clock", "MHz", Source::Nvml,
                                          NvmlGraphicsClock));
    d->channels.push_back(computedChannel(kClock, kClassGpu, VORTANE_KIND_GPU_SECONDARY, "GPU Memory Clock", "MHz",
                                          Source::Nvml, NvmlMemoryClock));
    d->channels.push_back(
        computedChannel(kUsage, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Core Load", "%", Source::Nvml, NvmlGpuLoad));
    d->channels.push_back(computedChannel(kUsage, kClassGpu, VORTANE_KIND_GPU_SECONDARY, "GPU Memory Controller Load",
                                          "%", Source::Nvml, NvmlMemoryLoad));
    d->channels.push_back(
        computedChannel(kOther, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Power", "W", Source::Nvml, NvmlPower));
    d->channels.push_back(
        computedChannel(kOther, kClassGpu, VORTANE_KIND_GPU_SECONDARY, "GPU Fan Duty", "%", Source::Nvml, NvmlFan));
    return d;
}

// ---- CPU and memory -----------------------------------------------------------------------------

std::string cpuModel(const Roots& roots)
{
    std::string text;
    readTextFile(roots.proc + "/cpuinfo", text, 1u << 20);
    for (const char* key : {"model name", "Processor", "Hardware"}) {
        size_t pos = 0;
        while ((pos = text.find(key, pos)) != std::string::npos) {
            const bool lineStart = pos == 0 || text[pos - 1] == '\n';
            const size_t colon = text.find(':', pos);
            const size_t end = text.find('\n', pos);
            if (lineStart && colon != std::string::npos && colon < end) {
                std::string value =
                    text.substr(colon + 1, end == std::string::npos ? std::string::npos : end - colon - 1);
                value.erase(0, value.find_first_not_of(" \t"));
                value.erase(value.find_last_not_of(" \t\r") + 1);
                if (!value.empty())
                    return value;
            }
            pos += std::strlen(key);
        }
    }
    return "Processor";
}

std::vector<int> logicalCpus(const std::string& cpuDir)
{
    std::vector<int> cpus;
    for (const std::string& entry : listDirectory(cpuDir)) {
        long long number = 0;
        if (startsWith(entry, "cpu") && parseInteger(entry.substr(3), number) && number >= 0 && number < 4096)
            cpus.push_back(int(number));
    }
    std::sort(cpus.begin(), cpus.end());
    return cpus;
}

void addCpuBasics(Device& cpu, const Roots& roots)
{
    // Clocks: cpufreq where the kernel has it, else the figures /proc/cpuinfo reports.
    const std::string cpuDir = roots.sys + "/devices/system/cpu";
    bool haveCpufreq = false;
    for (int n : logicalCpus(cpuDir)) {
        const std::string file = cpuDir + "/cpu" + std::to_string(n) + "/cpufreq/scaling_cur_freq";
        if (!fileExists(file))
            continue;
        haveCpufreq = true;
        cpu.channels.push_back(
            fileChannel(kClock, kClassCpu, VORTANE_KIND_CPU_CORE, numbered("CPU", n) + " Clock", "MHz", file, 1e-3));
    }
    std::string text;
    if (!haveCpufreq && readTextFile(roots.proc + "/cpuinfo", text, 1u << 20)) {
        int processors = 0;
        size_t pos = 0;
        while ((pos = text.find("cpu MHz", pos)) != std::string::npos) {
            ++processors;
            pos += 7;
        }
        for (int n = 0; n < processors; ++n)
            cpu.channels.push_back(computedChannel(kClock, kClassCpu, VORTANE_KIND_CPU_CORE,
                                                   numbered("CPU", n) + " Clock", "MHz", Source::CpuInfoClock, n));
        cpu.needsCpuInfo = processors > 0;
    }

    // Usage from /proc/stat: the total line first, then one per logical CPU.
    if (readTextFile(roots.proc + "/stat", text, 1u << 20)) {
        cpu.channels.push_back(computedChannel(kUsage, kClassCpu, VORTANE_KIND_CPU_TOTAL_USAGE, "Total CPU Usage", "%",
                                               Source::ProcStatCpu, -1, VORTANE_SUBINDEX_CPU_TOTAL));
        size_t pos = 0;
        while ((pos = text.find("\ncpu", pos)) != std::string::npos) {
            pos += 4;
            long long n = 0;
            const size_t space = text.find(' ', pos);
            if (space != std::string::npos && parseInteger(text.substr(pos, space - pos), n) && n >= 0 && n < 4096)
                cpu.channels.push_back(computedChannel(kUsage, kClassCpu, VORTANE_KIND_CPU_CORE,
                                                       numbered("CPU", int(n)) + " Usage", "%", Source::ProcStatCpu,
                                                       int(n)));
        }
        cpu.needsProcStat = true;
    }
}

std::unique_ptr<Device> makeMemory(const Roots& roots)
{
    std::string text;
    if (!readTextFile(roots.proc + "/meminfo", text, 64u << 10) || text.find("MemTotal:") == std::string::npos)
        return nullptr;
    auto d = std::make_unique<Device>();
    d->name = "System Memory";
    d->needsMemInfo = true;
    d->channels.push_back(computedChannel(kOther, kClassMemory, VORTANE_KIND_MEMORY_LOAD, "Physical Memory Load", "%",
                                          Source::MemInfo, 0));
    d->channels.back().maxValid = 100.0;
    d->channels.back().minValid = 0.0;
    d->channels.push_back(computedChannel(kOther, kClassMemory, VORTANE_KIND_MEMORY_USED, "Physical Memory Used", "MB",
                                          Source::MemInfo, 1));
    d->channels.push_back(computedChannel(kOther, kClassMemory, VORTANE_KIND_MEMORY_AVAILABLE,
                                          "Physical Memory Available", "MB", Source::MemInfo, 2));
    return d;
}

void makeNamesUnique(std::vector<std::unique_ptr<Device>>& devices)
{
    std::map<std::string, int> counts;
    for (auto& device : devices) {
        const int n = ++counts[device->name];
        if (n > 1)
            device->name += " #" + std::to_string(n);
    }
}

} // namespace

void finishDevice(Device& device)
{
    device.byType.clear();
    std::map<std::pair<int, std::string>, int> labels;
    for (size_t i = 0; i < device.channels.size(); ++i) {
        Channel& c = device.channels[i];
        const int n = ++labels[{c.type, c.label}];
        if (n > 1)
            c.label += " #" + std::to_string(n);
        truncateUtf8(c.label, 131);
        std::vector<size_t>& list = device.byType[c.type];
        if (list.size() < VORTANE_SENSORS_MAX_INDEX)
            list.push_back(i);
    }
}

std::vector<std::unique_ptr<Device>> discoverDevices(const Roots& roots)
{
    auto cpu = std::make_unique<Device>();
    cpu->name = "CPU [#0]: " + cpuModel(roots);
    std::vector<std::unique_ptr<Device>> platform, boards, coolers, drives, modules, others;
    std::vector<GpuCandidate> amdGpus;

    for (const HwmonChip& chip : scanHwmon(roots)) {
        const ChipFamily family = familyOf(chip.name);
        auto device = std::make_unique<Device>();
        device->name = chipDisplayName(chip.name, family);
        switch (family) {
        case ChipFamily::Cpu:
            addCpuChip(*cpu, chip);
            continue;
        case ChipFamily::Amdgpu:
            amdGpus.push_back(makeAmdGpu(chip));
            continue;
        case ChipFamily::AcpiZone:
            for (const HwmonInput& in : chip.inputs)
                if (in.kind == "temp")
                    device->channels.push_back(fileChannel(kTemp, kClassBoard, VORTANE_KIND_BOARD_MAINBOARD,
                                                           "ACPI Thermal Zone", "C", in.file, 1e-3));
            platform.push_back(std::move(device));
            continue;
        case ChipFamily::Pch:
            addSimpleTemperatures(*device, chip, kClassChipset, VORTANE_KIND_CHIPSET_PCH, "Chipset");
            platform.push_back(std::move(device));
            continue;
        case ChipFamily::Drive: {
            const std::string model = readTrimmed(chip.deviceDir + "/model");
            device->name = "Drive: " + (model.empty() ? std::string(chip.name == "nvme" ? "NVMe" : "SATA") : model);
            addSimpleTemperatures(*device, chip, kClassStorage, VORTANE_KIND_DEVICE_TEMPERATURE, "Drive Temperature");
            drives.push_back(std::move(device));
            continue;
        }
        case ChipFamily::Dimm:
            device->name = "Memory Module: " + upper(chip.name);
            addSimpleTemperatures(*device, chip, kClassModule, VORTANE_KIND_DEVICE_TEMPERATURE, "DIMM Temperature");
            modules.push_back(std::move(device));
            continue;
        case ChipFamily::Cooler:
            addBoardChip(*device, chip, family);
            coolers.push_back(std::move(device));
            continue;
        case ChipFamily::Other:
            addOtherChip(*device, chip);
            others.push_back(std::move(device));
            continue;
        default:
            addBoardChip(*device, chip, family);
            boards.push_back(std::move(device));
            continue;
        }
    }
    addCpuBasics(*cpu, roots);

    std::vector<std::unique_ptr<Device>> devices;
    devices.push_back(std::move(cpu));
    // The ACPI zone and PCH come before the board chips so that the board's own inputs win
    // where both report the same kind.
    for (auto* group : {&platform, &boards, &coolers})
        for (auto& d : *group)
            devices.push_back(std::move(d));
    if (auto memory = makeMemory(roots))
        devices.push_back(std::move(memory));

    // Integrated GPUs (the least video memory) first: the program reads the GPU listed last.
    std::stable_sort(amdGpus.begin(), amdGpus.end(),
                     [](const GpuCandidate& a, const GpuCandidate& b) { return a.vramBytes < b.vramBytes; });
    int gpuIndex = 0;
    for (GpuCandidate& gpu : amdGpus) {
        gpu.device->name = "GPU [#" + std::to_string(gpuIndex++) + "]: " + gpu.device->name;
        devices.push_back(std::move(gpu.device));
    }
    for (const NvmlGpu& gpu : nvmlDevices()) {
        auto d = makeNvidiaGpu(gpu);
        d->name = "GPU [#" + std::to_string(gpuIndex++) + "]: " + d->name;
        devices.push_back(std::move(d));
    }
    for (auto* group : {&drives, &modules, &others})
        for (auto& d : *group)
            devices.push_back(std::move(d));

    devices.erase(std::remove_if(devices.begin(), devices.end(),
                                 [](const std::unique_ptr<Device>& d) { return d->channels.empty(); }),
                  devices.end());
    makeNamesUnique(devices);
    for (auto& d : devices) {
        truncateUtf8(d->name, VORTANE_SENSORS_NAME_SIZE - 1);
        finishDevice(*d);
    }
    return devices;
}

} // namespace vortane_sensors
