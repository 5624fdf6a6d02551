// Finding the machine's sensors: hwmon chips, cpufreq, /proc/stat, /proc/meminfo, RAPL powercap,
// DRM GPUs (amdgpu, radeon, i915, xe, nouveau) and NVML, each turned into channels with the class
// and kind codes documented in VortaneSensors.h.

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
    std::string kind; // "temp", "in", "fan", "curr", "power", "energy", "freq"
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
    static const char* const order[] = {"temp", "fan", "in", "curr", "power", "energy", "freq"};
    for (int i = 0; i < 7; ++i)
        if (kind == order[i])
            return i;
    return 7;
}

std::vector<HwmonInput> scanInputs(const std::string& dir)
{
    std::vector<HwmonInput> inputs;
    std::set<std::pair<std::string, int>> seen;
    for (const std::string& entry : listDirectory(dir)) {
        static const char* const kinds[] = {"temp", "in", "fan", "curr", "power", "energy", "freq"};
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
    CpuEnergy, // energy counters of the CPU (zenergy, amd_energy)
    SuperIoNuvoton,
    SuperIoIte,
    SuperIoFintek,
    SuperIoWinbond,
    AsusEc,
    BoardWmi,
    Laptop,
    Cooler,
    AcpiZone,
    Pch,
    Amdgpu,
    Radeon,
    Nouveau,
    IntelGpu,
    Drive,
    Dimm,
    Other
};

ChipFamily familyOf(const std::string& name)
{
    if (name == "coretemp" || name == "k10temp" || name == "zenpower")
        return ChipFamily::Cpu;
    if (name == "zenergy" || name == "amd_energy")
        return ChipFamily::CpuEnergy;
    if (startsWith(name, "nct6") || startsWith(name, "nct5"))
        return ChipFamily::SuperIoNuvoton;
    if (startsWith(name, "it8"))
        return ChipFamily::SuperIoIte;
    // The f71882fg driver's chips: f71808e ... f71889fg, f8000, f81865f, f81866a, ...
    if (startsWith(name, "f718") || startsWith(name, "f8000") || startsWith(name, "f818"))
        return ChipFamily::SuperIoFintek;
    if (startsWith(name, "w83"))
        return ChipFamily::SuperIoWinbond;
    if (name == "asusec" || name == "asus_ec_sensors" || name == "asuswmisensors" || name == "asus_wmi_sensors")
        return ChipFamily::AsusEc;
    if (name == "gigabyte_wmi")
        return ChipFamily::BoardWmi;
    if (name == "thinkpad" || name == "dell_smm" || name == "asus" || name == "asus_nb_wmi" || name == "hp" ||
        name == "applesmc" || name == "legion_hwmon" || name == "msi_ec" || name == "ideapad" || name == "surface_fan")
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
    if (name == "radeon")
        return ChipFamily::Radeon;
    if (name == "nouveau")
        return ChipFamily::Nouveau;
    if (name == "i915" || name == "xe")
        return ChipFamily::IntelGpu;
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
        {"gigabyte_wmi", "Gigabyte WMI"},
        {"thinkpad", "ThinkPad"},
        {"dell_smm", "Dell SMM"},
        {"asus", "ASUS Laptop"},
        {"asus_nb_wmi", "ASUS Laptop"},
        {"ideapad", "Lenovo IdeaPad"},
        {"surface_fan", "Microsoft Surface"},
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
    if (family == ChipFamily::SuperIoFintek)
        return "Fintek " + upper(name);
    if (family == ChipFamily::SuperIoWinbond)
        return "Winbond " + upper(name);
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

// A board chip as its inputs are mapped.
struct BoardChip
{
    ChipFamily family = ChipFamily::Other;
    // A further chip of the same maker beside the board's main one (Gigabyte's IT8792 beside its
    // IT8688): its inputs are listed, but the CPU, mainboard and CPU fan roles stay with the main chip.
    bool secondary = false;
    std::string model;        // "IT8792", for the names of a secondary chip's inputs
    bool hasCpuLabel = false; // a temperature is labelled "CPU", so "CPU Socket" is another input
};

bool nuvotonLike(ChipFamily family)
{
    return family == ChipFamily::SuperIoNuvoton || family == ChipFamily::SuperIoWinbond;
}

// Temperatures of boards and laptops, by the driver's label.
Mapped mapBoardTemperature(const HwmonInput& in, const BoardChip& chip)
{
    const ChipFamily family = chip.family;
    const std::string& label = in.label;
    if (chip.secondary)
        return {label.empty() ? chip.model + " " + numbered("Temperature", in.number) : label, kClassBoard,
                VORTANE_KIND_BOARD_AUXILIARY};
    if (nuvotonLike(family)) {
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
        // Unlabelled inputs by the usual wiring of each chip family.
        if (family == ChipFamily::SuperIoIte && in.number == 1)
            return {"Motherboard", kClassBoard, VORTANE_KIND_BOARD_MAINBOARD};
        if ((family == ChipFamily::SuperIoIte && in.number == 3) || (family == ChipFamily::Laptop && in.number == 1))
            return {"CPU", kClassBoard, VORTANE_KIND_BOARD_CPU};
        // Winbond (and older Nuvoton) chips: SYSTIN, CPUTIN, AUXTIN; Fintek: CPU first, then system.
        if (family == ChipFamily::SuperIoWinbond && in.number <= 2)
            return in.number == 1 ? Mapped{"Motherboard", kClassBoard, VORTANE_KIND_BOARD_MAINBOARD}
                                  : Mapped{"CPU", kClassBoard, VORTANE_KIND_BOARD_CPU};
        if (family == ChipFamily::SuperIoFintek && in.number <= 2)
            return in.number == 1 ? Mapped{"CPU", kClassBoard, VORTANE_KIND_BOARD_CPU}
                                  : Mapped{"Motherboard", kClassBoard, VORTANE_KIND_BOARD_MAINBOARD};
        if (family == ChipFamily::Cooler && in.number == 1)
            return {"Coolant", kClassBoard, VORTANE_KIND_BOARD_COOLANT};
        return {numbered("Temperature", in.number), kClassBoard, VORTANE_KIND_BOARD_AUXILIARY};
    }
    const std::string l = lower(label);
    if (l == "cpu socket" && chip.hasCpuLabel)
        return {label, kClassBoard, VORTANE_KIND_BOARD_AUXILIARY};
    if (l == "cpu" || l == "cpu temperature" || l == "cpu socket" || l == "processor")
        return {"CPU", kClassBoard, VORTANE_KIND_BOARD_CPU};
    if (contains(l, "chipset") || l == "pch")
        return {"Chipset", kClassChipset,
                family == ChipFamily::AsusEc ? VORTANE_KIND_CHIPSET_EC : VORTANE_KIND_CHIPSET_PCH};
    // "System" (MSI's nct6687) is the board's own input; the label is kept as the driver gives it.
    if (contains(l, "motherboard") || l == "ambient" || l == "mainboard" || l == "system" || l == "systin")
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

FanMapped mapBoardFan(const HwmonInput& in, const BoardChip& chip)
{
    const ChipFamily family = chip.family;
    if (chip.secondary && in.label.empty())
        return {chip.model + " " + numbered("Fan", in.number), VORTANE_KIND_BOARD_CHASSIS_FAN, true};
    if (!in.label.empty()) {
        const std::string l = lower(in.label);
        if (contains(l, "pump"))
            return {in.label, VORTANE_KIND_BOARD_PUMP, false};
        if (contains(l, "vrm"))
            return {in.label, VORTANE_KIND_BOARD_VRM_FAN, false};
        if (contains(l, "opt") || contains(l, "chipset") || contains(l, "flow") || contains(l, "gpu") ||
            contains(l, "video"))
            return {in.label, VORTANE_KIND_UNSPECIFIED, false};
        if (!chip.secondary && (contains(l, "cpu") || contains(l, "processor")))
            return {in.label == "cpu_fan" ? "CPU Fan" : in.label, VORTANE_KIND_BOARD_CPU, false};
        return {in.label, VORTANE_KIND_BOARD_CHASSIS_FAN, false};
    }
    switch (family) {
    case ChipFamily::SuperIoNuvoton:
    case ChipFamily::SuperIoWinbond:
        // fan2 is the CPUFANIN pin; fan1 is SYSFANIN, fan3 onwards are the auxiliary headers.
        if (in.number == 2)
            return {"CPU Fan", VORTANE_KIND_BOARD_CPU, true};
        return {numbered("System Fan", in.number == 1 ? 1 : in.number - 1), VORTANE_KIND_BOARD_CHASSIS_FAN, true};
    case ChipFamily::SuperIoIte:
    case ChipFamily::SuperIoFintek:
        if (in.number == 1)
            return {"CPU Fan", VORTANE_KIND_BOARD_CPU, true};
        return {numbered("System Fan", in.number - 1), VORTANE_KIND_BOARD_CHASSIS_FAN, true};
    case ChipFamily::Laptop:
        // The first fan of a laptop cools the CPU (often with the GPU); further ones are the GPU's.
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

Channel energyChannel(int classCode, int kind, std::string label, std::string path, long long range = 0)
{
    Channel c = fileChannel(kOther, classCode, kind, std::move(label), "W", std::move(path), 1.0);
    c.source = Source::EnergyRate;
    c.energyRange = range;
    return c;
}

// Monitoring chips whose inputs read exactly 0 when nothing is wired to them.
bool hidesUnwiredTemperatures(ChipFamily family)
{
    return family == ChipFamily::SuperIoNuvoton || family == ChipFamily::SuperIoIte ||
           family == ChipFamily::SuperIoFintek || family == ChipFamily::SuperIoWinbond ||
           family == ChipFamily::BoardWmi || family == ChipFamily::Laptop;
}

// Mainboard chips, laptop platform drivers and liquid coolers.
void addBoardChip(Device& device, const HwmonChip& hwmon, const BoardChip& chip)
{
    const ChipFamily family = chip.family;
    for (const HwmonInput& in : hwmon.inputs) {
        if (in.kind == "temp") {
            const Mapped m = mapBoardTemperature(in, chip);
            Channel c = fileChannel(kTemp, m.classCode, m.kind, m.label, "C", in.file, 1e-3);
            c.hiddenUntilNonZero = hidesUnwiredTemperatures(family);
            device.channels.push_back(std::move(c));
            addAlarm(device, in, m.label, kClassBoard);
        } else if (in.kind == "fan") {
            const FanMapped m = mapBoardFan(in, chip);
            Channel c = fileChannel(kFan, kClassBoard, m.kind, m.label, "RPM", in.file, 1.0);
            // Super I/O chips list every header, connected or not.
            c.hiddenUntilNonZero =
                m.hiddenUntilNonZero ||
                (hidesUnwiredTemperatures(family) && family != ChipFamily::Laptop && family != ChipFamily::BoardWmi);
            device.channels.push_back(std::move(c));
            addAlarm(device, in, m.label, kClassBoard);
        } else if (in.kind == "in") {
            std::string label = in.label;
            if (label.empty() && !chip.secondary && nuvotonLike(family) && nuvotonVoltageName(in.number))
                label = nuvotonVoltageName(in.number);
            if (label.empty() && !chip.secondary &&
                ((in.number == 0 && family == ChipFamily::SuperIoIte) ||
                 (in.number == 1 && family == ChipFamily::SuperIoFintek)))
                label = "Vcore";
            if (label.empty())
                label = numbered("Voltage", in.number);
            const std::string l = lower(label);
            const bool core = !chip.secondary && (l == "vcore" || l == "cpu vcore" || contains(l, "cpu core") ||
                                                  l == "cpuvcore" || l == "cpu_vcore");
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
        } else if (in.kind == "energy") {
            const std::string label = (in.label.empty() ? numbered("Energy", in.number) : in.label) + " Power";
            device.channels.push_back(energyChannel(kClassBoard, VORTANE_KIND_BOARD_RAIL, label, in.file));
        }
    }
    // The VID the CPU requests, reported by Super I/O chips in millivolts.
    const std::string vid = hwmon.dir + "/cpu0_vid";
    if (!chip.secondary && fileExists(vid)) {
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
        } else if (in.kind == "energy") {
            // zenergy / amd_energy: "Esocket0", "Ecore000", ...
            const std::string l = lower(label);
            long long number = 0;
            std::string name = numbered("CPU Energy", in.number) + " Power";
            if (startsWith(l, "esocket"))
                name = l == "esocket0" ? "CPU Package Power" : "CPU Package Power (Socket " + label.substr(7) + ")";
            else if (startsWith(l, "ecore") && parseInteger(label.substr(5), number))
                name = "CPU Core " + std::to_string(number) + " Power";
            cpu.channels.push_back(energyChannel(kClassCpu, VORTANE_KIND_CPU_POWER, name, in.file));
        }
    }
    // A CPU with one die reading (Tctl-only APUs and mobile parts, zenpower's Tdie without CCDs):
    // that reading is also the die's, so the CPU temperature has a source without a board chip.
    const auto fromChip = [&](const Channel& c) {
        return std::any_of(chip.inputs.begin(), chip.inputs.end(),
                           [&](const HwmonInput& in) { return in.file == c.path; });
    };
    const bool hasCoreReading = std::any_of(cpu.channels.begin(), cpu.channels.end(), [&](const Channel& c) {
        return c.type == kTemp && c.kindCode == VORTANE_KIND_CPU_CORE && fromChip(c);
    });
    if (!hasCoreReading && chip.name != "coretemp") {
        for (size_t i = 0; i < cpu.channels.size(); ++i) {
            const Channel package = cpu.channels[i];
            if (package.type == kTemp && package.kindCode == VORTANE_KIND_CPU_PACKAGE && fromChip(package)) {
                cpu.channels.push_back(
                    fileChannel(kTemp, kClassCpu, VORTANE_KIND_CPU_CORE, "CPU Die", "C", package.path, 1e-3));
                break;
            }
        }
    }
}

// RAPL energy counters (powercap): Intel, and AMD on recent kernels. The MMIO interface repeats
// the package counter and is left out.
void addRapl(Device& cpu, const Roots& roots)
{
    const std::string dir = roots.sys + "/class/powercap";
    for (const std::string& zone : listDirectory(dir)) {
        if (!startsWith(zone, "intel-rapl:"))
            continue;
        const std::string zoneDir = dir + "/" + zone;
        const std::string name = readTrimmed(zoneDir + "/name");
        const std::string energy = zoneDir + "/energy_uj";
        if (name.empty() || !fileExists(energy))
            continue;
        long long range = 0;
        readInteger(zoneDir + "/max_energy_range_uj", range);
        std::string label;
        if (startsWith(name, "package-"))
            label = name == "package-0" ? "CPU Package Power" : "CPU Package Power (Socket " + name.substr(8) + ")";
        else if (name == "core")
            label = "CPU Cores Power";
        else if (name == "uncore")
            label = "CPU Uncore Power";
        else if (name == "dram")
            label = "CPU DRAM Power";
        if (!label.empty())
            cpu.channels.push_back(energyChannel(kClassCpu, VORTANE_KIND_CPU_POWER, label, energy, range));
        else if (name == "psys")
            cpu.channels.push_back(
                energyChannel(kClassBoard, VORTANE_KIND_BOARD_RAIL, "Platform Power", energy, range));
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

std::string hexId(const std::string& file)
{
    std::string id = lower(readTrimmed(file));
    return startsWith(id, "0x") ? id.substr(2) : id;
}

// The GPU's marketing name: amdgpu's product_name, else pci.ids ("DG2 [Arc A770]" gives
// "Intel Arc A770"), else the vendor and the PCI ids.
std::string gpuModel(const std::string& deviceDir)
{
    std::string model = readTrimmed(deviceDir + "/product_name");
    if (!model.empty())
        return model;
    const std::string vendor = hexId(deviceDir + "/vendor");
    const std::string device = hexId(deviceDir + "/device");
    const std::string maker = vendor == "1002" ? "AMD" : vendor == "8086" ? "Intel" : vendor == "10de" ? "NVIDIA" : "";
    const std::string name = vendor.empty() || device.empty() ? std::string() : pciIdsName(vendor, device);
    if (!name.empty()) {
        // "Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]": the marketing name is in the brackets.
        const size_t open = name.find('['), close = name.rfind(']');
        const std::string shown =
            open != std::string::npos && close > open ? name.substr(open + 1, close - open - 1) : name;
        return maker.empty() || startsWith(shown, maker.c_str()) ? shown : maker + " " + shown;
    }
    // Never just "AMD Radeon": the program takes that name for a placeholder device and skips it.
    if (vendor == "1002")
        return device.empty() ? "AMD Radeon Graphics" : "AMD Radeon Graphics [1002:" + upper(device) + "]";
    return (maker.empty() ? std::string("GPU") : maker + " Graphics") +
           (device.empty() ? std::string() : " [" + upper(vendor) + ":" + upper(device) + "]");
}

// A GPU that sits on the root bus of its PCI domain ("0000:00:02.0") is part of the processor or
// chipset; discrete cards sit behind a bridge.
bool onRootBus(const std::string& resolvedDeviceDir)
{
    const std::string address = resolvedDeviceDir.substr(resolvedDeviceDir.rfind('/') + 1);
    return address.size() == 12 && address[4] == ':' && address[7] == ':' && address.compare(5, 2, "00") == 0;
}

// A DRM card: /sys/class/drm/cardN and the PCI device behind it.
struct DrmCard
{
    std::string cardDir;
    std::string deviceDir;
    std::string driver; // "i915", "xe", "amdgpu", ...
};

std::map<std::string, DrmCard> scanDrmCards(const Roots& roots)
{
    std::map<std::string, DrmCard> cards; // by resolved PCI device folder
    const std::string dir = roots.sys + "/class/drm";
    for (const std::string& entry : listDirectory(dir)) {
        long long number = 0;
        if (!startsWith(entry, "card") || !parseInteger(entry.substr(4), number))
            continue; // "card0-DP-1" and the like are connectors
        DrmCard card;
        card.cardDir = dir + "/" + entry;
        card.deviceDir = card.cardDir + "/device";
        const std::string resolved = resolvedPath(card.deviceDir);
        if (resolved.empty())
            continue;
        const std::string driver = resolvedPath(card.deviceDir + "/driver");
        card.driver = driver.substr(driver.rfind('/') + 1);
        cards.emplace(resolved, card);
    }
    return cards;
}

struct GpuCandidate
{
    bool integrated = false;
    long long vramBytes = 0;
    std::unique_ptr<Device> device;
};

// amdgpu and radeon.
void addAmdGpuInputs(Device& d, const HwmonChip& chip)
{
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
            else if (in.label == "vddc")
                d.channels.push_back(fileChannel(kVolt, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Core Voltage (VDDC)",
                                                 "V", in.file, 1e-3));
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
    const std::string& dev = chip.deviceDir;
    if (fileExists(dev + "/gpu_busy_percent"))
        d.channels.push_back(fileChannel(kUsage, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Core Load", "%",
                                         dev + "/gpu_busy_percent", 1.0));
    if (fileExists(dev + "/mem_busy_percent"))
        d.channels.push_back(fileChannel(kUsage, kClassGpu, VORTANE_KIND_GPU_SECONDARY, "GPU Memory Controller Load",
                                         "%", dev + "/mem_busy_percent", 1.0));
    if (fileExists(dev + "/mem_info_vram_used"))
        d.channels.push_back(fileChannel(kOther, kClassGpu, VORTANE_KIND_GPU_SECONDARY, "GPU Memory Allocated", "MB",
                                         dev + "/mem_info_vram_used", 1.0 / (1024.0 * 1024.0)));
}

// i915 and xe (their hwmon exists on discrete cards) and nouveau.
void addOtherGpuInputs(Device& d, const HwmonChip& chip)
{
    bool haveTemperature = false, havePower = false;
    for (const HwmonInput& in : chip.inputs) {
        const std::string l = lower(in.label);
        if (in.kind == "temp") {
            if (l == "vram" || l == "mctrl" || l == "mem")
                d.channels.push_back(fileChannel(kTemp, kClassGpu, VORTANE_KIND_GPU_MEMORY, "GPU Memory Temperature",
                                                 "C", in.file, 1e-3));
            else if (!haveTemperature)
                d.channels.push_back(
                    fileChannel(kTemp, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Temperature", "C", in.file, 1e-3));
            haveTemperature = true;
        } else if (in.kind == "in" && !contains(l, "mem")) {
            d.channels.push_back(
                fileChannel(kVolt, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Core Voltage", "V", in.file, 1e-3));
        } else if (in.kind == "fan") {
            d.channels.push_back(
                fileChannel(kFan, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Fan", "RPM", in.file, 1.0));
        } else if ((in.kind == "power" || in.kind == "energy") && !havePower) {
            // The whole card's figure: the first input (xe's "card"; i915 and nouveau have one).
            havePower = true;
            if (in.kind == "power")
                d.channels.push_back(
                    fileChannel(kOther, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Power", "W", in.file, 1e-6));
            else
                d.channels.push_back(energyChannel(kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Power", in.file));
        }
    }
}

// The GPU's current clock where the driver reports it outside hwmon.
void addDrmClock(Device& d, const DrmCard& card)
{
    for (const std::string& file : {card.cardDir + "/gt_cur_freq_mhz", card.deviceDir + "/tile0/gt0/freq0/cur_freq"}) {
        if (fileExists(file)) {
            d.channels.push_back(
                fileChannel(kClock, kClassGpu, VORTANE_KIND_GPU_PRIMARY, "GPU Clock", "MHz", file, 1.0));
            return;
        }
    }
}

bool isIntelDriver(const std::string& driver)
{
    return driver == "i915" || driver == "xe";
}

// One GPU from its hwmon chip (null: none) and its DRM card (null: none).
GpuCandidate makeGpu(const HwmonChip* chip, ChipFamily family, const DrmCard* card)
{
    GpuCandidate gpu;
    gpu.device = std::make_unique<Device>();
    Device& d = *gpu.device;
    const std::string deviceDir = chip != nullptr ? chip->deviceDir : card->deviceDir;
    d.name = gpuModel(deviceDir);
    readInteger(deviceDir + "/mem_info_vram_total", gpu.vramBytes);
    gpu.integrated = onRootBus(resolvedPath(deviceDir));
    if (chip != nullptr && (family == ChipFamily::Amdgpu || family == ChipFamily::Radeon)) {
        addAmdGpuInputs(d, *chip);
        // amdgpu leaves out the memory controller load and the fans on APUs.
        if (family == ChipFamily::Amdgpu && !fileExists(deviceDir + "/mem_busy_percent")) {
            const bool hasFan = std::any_of(chip->inputs.begin(), chip->inputs.end(),
                                            [](const HwmonInput& in) { return in.kind == "fan"; });
            gpu.integrated = gpu.integrated || !hasFan;
        }
    } else if (chip != nullptr) {
        addOtherGpuInputs(d, *chip);
    }
    if (card != nullptr && isIntelDriver(card->driver))
        addDrmClock(d, *card);
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

// Words that tell readings of different types apart when a device gives them one label.
const char* typeWord(int type)
{
    switch (type) {
    case kTemp:
        return " Temperature";
    case kVolt:
        return " Voltage";
    case kFan:
        return " Fan";
    case kCurrent:
        return " Current";
    case kClock:
        return " Clock";
    case kUsage:
        return " Usage";
    default:
        return " Value";
    }
}

bool isBoardChip(ChipFamily family)
{
    switch (family) {
    case ChipFamily::SuperIoNuvoton:
    case ChipFamily::SuperIoIte:
    case ChipFamily::SuperIoFintek:
    case ChipFamily::SuperIoWinbond:
    case ChipFamily::AsusEc:
    case ChipFamily::BoardWmi:
    case ChipFamily::Laptop:
        return true;
    default:
        return false;
    }
}

bool isGpuChip(ChipFamily family)
{
    return family == ChipFamily::Amdgpu || family == ChipFamily::Radeon || family == ChipFamily::Nouveau ||
           family == ChipFamily::IntelGpu;
}

// Board chips in mapping order: the main chip of a maker before its secondary ones. With more than
// one ITE chip, the IT879x companion (or every chip after the first) is secondary.
std::vector<std::pair<const HwmonChip*, BoardChip>> arrangeBoardChips(const std::vector<HwmonChip>& chips)
{
    std::vector<std::pair<const HwmonChip*, BoardChip>> boards;
    const HwmonChip* mainIte = nullptr;
    for (const HwmonChip& chip : chips)
        if (familyOf(chip.name) == ChipFamily::SuperIoIte &&
            (mainIte == nullptr || (startsWith(mainIte->name, "it879") && !startsWith(chip.name, "it879"))))
            mainIte = &chip;
    for (const HwmonChip& chip : chips) {
        const ChipFamily family = familyOf(chip.name);
        if (!isBoardChip(family) && family != ChipFamily::Cooler)
            continue;
        BoardChip board;
        board.family = family;
        board.secondary = family == ChipFamily::SuperIoIte && &chip != mainIte;
        board.model = upper(chip.name);
        for (const HwmonInput& in : chip.inputs)
            board.hasCpuLabel = board.hasCpuLabel || (in.kind == "temp" && lower(in.label) == "cpu");
        boards.emplace_back(&chip, board);
    }
    std::stable_sort(boards.begin(), boards.end(),
                     [](const auto& a, const auto& b) { return !a.second.secondary && b.second.secondary; });
    return boards;
}

} // namespace

void finishDevice(Device& device)
{
    device.byType.clear();
    // Labels are unique within the device, across types too: the program keys a device's readings
    // by label alone, so a "Chipset" fan beside a "Chipset" temperature becomes "Chipset Fan".
    std::map<std::pair<int, std::string>, int> labels;
    std::set<std::string> taken;
    for (size_t i = 0; i < device.channels.size(); ++i) {
        Channel& c = device.channels[i];
        const int n = ++labels[{c.type, c.label}];
        if (n > 1)
            c.label += " #" + std::to_string(n);
        if (taken.count(c.label) != 0)
            c.label += typeWord(c.type);
        const std::string base = c.label;
        for (int k = 2; taken.count(c.label) != 0; ++k)
            c.label = base + " #" + std::to_string(k);
        truncateUtf8(c.label, 131);
        taken.insert(c.label);
        std::vector<size_t>& list = device.byType[c.type];
        if (list.size() < VORTANE_SENSORS_MAX_INDEX)
            list.push_back(i);
    }
}

Machine discoverMachine(const Roots& roots)
{
    Machine machine;
    auto cpu = std::make_unique<Device>();
    cpu->name = "CPU [#0]: " + cpuModel(roots);
    std::vector<std::unique_ptr<Device>> platform, boards, coolers, drives, modules, others;
    std::vector<GpuCandidate> gpus;
    std::map<std::string, DrmCard> cards = scanDrmCards(roots);
    const std::vector<HwmonChip> chips = scanHwmon(roots);

    bool boardChipBound = false;
    for (const auto& [chip, board] : arrangeBoardChips(chips)) {
        auto device = std::make_unique<Device>();
        device->name = chipDisplayName(chip->name, board.family);
        addBoardChip(*device, *chip, board);
        boardChipBound = boardChipBound || isBoardChip(board.family);
        (board.family == ChipFamily::Cooler ? coolers : boards).push_back(std::move(device));
    }

    for (const HwmonChip& chip : chips) {
        const ChipFamily family = familyOf(chip.name);
        if (isBoardChip(family) || family == ChipFamily::Cooler)
            continue;
        if (isGpuChip(family)) {
            const auto card = cards.find(resolvedPath(chip.deviceDir));
            gpus.push_back(makeGpu(&chip, family, card != cards.end() ? &card->second : nullptr));
            if (card != cards.end())
                cards.erase(card);
            continue;
        }
        auto device = std::make_unique<Device>();
        device->name = chipDisplayName(chip.name, family);
        switch (family) {
        case ChipFamily::Cpu:
        case ChipFamily::CpuEnergy:
            addCpuChip(*cpu, chip);
            continue;
        case ChipFamily::AcpiZone:
            for (const HwmonInput& in : chip.inputs)
                if (in.kind == "temp")
                    device->channels.push_back(fileChannel(kTemp, kClassBoard, VORTANE_KIND_BOARD_AUXILIARY,
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
        default:
            addOtherChip(*device, chip);
            others.push_back(std::move(device));
            continue;
        }
    }
    // Intel GPUs without hwmon (integrated ones): their clock alone.
    for (const auto& [resolved, card] : cards) {
        (void)resolved;
        if (isIntelDriver(card.driver))
            gpus.push_back(makeGpu(nullptr, ChipFamily::IntelGpu, &card));
    }
    addCpuBasics(*cpu, roots);
    addRapl(*cpu, roots);

    // The first ACPI thermal zone stands for the mainboard only while no board chip reports a
    // mainboard temperature.
    const bool boardHasMainboard = std::any_of(boards.begin(), boards.end(), [](const std::unique_ptr<Device>& d) {
        return std::any_of(d->channels.begin(), d->channels.end(), [](const Channel& c) {
            return c.type == kTemp && c.classCode == kClassBoard && c.kindCode == VORTANE_KIND_BOARD_MAINBOARD;
        });
    });
    const auto promoteFirstZone = [&] {
        for (auto& d : platform)
            for (Channel& c : d->channels)
                if (c.label == "ACPI Thermal Zone") {
                    c.kindCode = VORTANE_KIND_BOARD_MAINBOARD;
                    return;
                }
    };
    if (!boardHasMainboard)
        promoteFirstZone();

    std::vector<std::unique_ptr<Device>>& devices = machine.devices;
    devices.push_back(std::move(cpu));
    // The ACPI zone and PCH come before the board chips so that the board's own inputs win
    // where both report the same kind.
    for (auto* group : {&platform, &boards, &coolers})
        for (auto& d : *group)
            devices.push_back(std::move(d));
    if (auto memory = makeMemory(roots))
        devices.push_back(std::move(memory));

    // The program reads the GPU listed last: integrated GPUs first (an APU's memory carve-out can
    // be larger than a discrete card's memory), then by video memory, NVML's GPUs last.
    std::stable_sort(gpus.begin(), gpus.end(), [](const GpuCandidate& a, const GpuCandidate& b) {
        if (a.integrated != b.integrated)
            return a.integrated;
        return a.vramBytes < b.vramBytes;
    });
    int gpuIndex = 0;
    for (GpuCandidate& gpu : gpus) {
        if (gpu.device->channels.empty())
            continue;
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
    machine.boardChipMissing = !boardChipBound;
    return machine;
}

} // namespace vortane_sensors
