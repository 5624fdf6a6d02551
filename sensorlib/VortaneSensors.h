#ifndef VORTANE_SENSORS_H
#define VORTANE_SENSORS_H

/*
 * libvortane-sensors: the hardware sensor library of Vortane Screen on Linux.
 *
 * Plain C ABI, six entry points and one optional query exported by name. The program loads the
 * library at run time, calls Init(64) once, enumerates the devices, and then once a second selects
 * each device and reads up to 512 sensors of each type from the devices it shows. The library serialises its own calls,
 * but the program never calls it from two threads at once.
 *
 * Call contract
 *   int32_t Init(int32_t version)
 *       version must be VORTANE_SENSORS_VERSION (64). Finds every device below
 *       $VORTANE_SYSFS_ROOT (default /sys) and $VORTANE_PROCFS_ROOT (default /proc), and loads
 *       NVML from $VORTANE_NVML_LIBRARY (default "libnvidia-ml.so.1"; set but empty: no NVML).
 *       Returns 0 on success, non-zero on failure. Calling it again starts afresh.
 *   void Close(void)
 *       Drops every device and unloads NVML. Safe to call without Init.
 *   int32_t DeviceCount(void)
 *       Number of devices found by Init; devices are addressed by index 0 .. count-1.
 *   int32_t SelectDevice(int32_t device)
 *       Starts a new pass over the device: the next ReadSensor of the device takes a new sample
 *       (every file the device reads is read once), and the ReadSensor calls after it are served
 *       from that sample until the device is selected again. Selecting reads nothing, so a device
 *       that is selected but not read (a GPU the program does not show) is never woken. Returns
 *       0, or -1 for an index out of range.
 *   int32_t DeviceName(int32_t device, char* buffer, int32_t size)
 *       Writes the device name as NUL-terminated UTF-8 into buffer (truncated to size - 1 bytes
 *       on a character boundary). Returns 0, or -1 for an index out of range (buffer: "").
 *   int32_t ReadSensor(int32_t type, int32_t device, int32_t index, VortaneSensorRecord* record)
 *       Fills record with the index-th sensor of the given type of the device and returns 1;
 *       returns 0 and leaves record alone when there is no such sensor or it has no valid
 *       value in the current sample. Takes the device's sample first when the device was
 *       selected since its last sample (or was never sampled), else serves the last sample.
 *       Power figures from energy counters (RAPL, hwmon energy inputs) are the energy used
 *       between two samples over the time between them, so they have no value in a device's
 *       first sample.
 *   int32_t MachineFlags(void)
 *       Optional (a loader must not require it): facts about the machine found by Init, as
 *       VORTANE_MACHINE_* bits; 0 before Init and after Close.
 *
 * Device names
 *   "CPU [#0]: <model>"          CPU temperatures, clocks, usage, core voltages, RAPL power
 *   "<chip maker> <chip>"        mainboard monitoring chips, e.g. "Nuvoton NCT6798", "ITE IT8688",
 *                                "Fintek F71889FG", "Winbond W83627EHF", "ASUS EC", "Gigabyte WMI",
 *                                laptop platform sensors ("ThinkPad", "Dell SMM", "ASUS Laptop", ...)
 *   "<cooler model>"             liquid coolers and fan hubs, e.g. "NZXT Kraken X53/X63/X73"
 *   "Intel PCH"                  the platform controller hub's temperature
 *   "ACPI Thermal Zone"          ACPI thermal zones
 *   "System Memory"              memory load from /proc/meminfo
 *   "GPU [#n]: <model>"          GPUs: AMD (amdgpu, radeon), Intel (i915, xe; integrated ones too),
 *                                NVIDIA (NVML, or nouveau). Numbered integrated first, then by
 *                                video memory, NVML last, so the GPU listed last (the one the
 *                                program shows) is the discrete one. The prefix "GPU [#n]: " is
 *                                ten characters for n < 10
 *   "Drive: <model>"             NVMe and SATA drives (nvme, drivetemp)
 *   "Memory Module: <chip>"      DIMM temperature sensors (spd5118, jc42)
 *   "<hwmon name>"               any other hwmon chip, read as it is
 *   Names are unique: a second device of the same name gets " #2", and so on.
 */

#include <stddef.h>
#include <stdint.h>

#define VORTANE_SENSORS_VERSION 64
#define VORTANE_SENSORS_MAX_INDEX 512 /* sensor indexes 0 .. 511 per type and device */
#define VORTANE_SENSORS_NAME_SIZE 256 /* DeviceName buffer the program passes */

/* MachineFlags bits. */
#define VORTANE_MACHINE_NO_BOARD_CHIP                                                                                  \
    0x1 /* no mainboard monitoring chip (Super I/O, embedded                                                           \
           controller, WMI board or laptop platform driver) is bound:                                                  \
           board temperatures and fans are missing until its hwmon                                                     \
           driver is loaded (e.g. nct6775, it87) */

/* Sensor types (the first argument of ReadSensor) and the record units they carry. */
enum VortaneSensorType
{
    VORTANE_TYPE_TEMPERATURE = 1, /* unit "C" (degrees Celsius) */
    VORTANE_TYPE_VOLTAGE = 2,     /* unit "V" */
    VORTANE_TYPE_FAN = 3,         /* unit "RPM" */
    VORTANE_TYPE_CURRENT = 4,     /* unit "A" */
    VORTANE_TYPE_POWER = 5,       /* not emitted: power is an "other" value so the program shows it */
    VORTANE_TYPE_CLOCK = 6,       /* unit "MHz" */
    VORTANE_TYPE_USAGE = 7,       /* unit "%" */
    VORTANE_TYPE_OTHER = 8        /* unit "%", "W", "MB", or "Yes/No" (value 0 or 1) */
};

/*
 * Class codes (record field classCode): the hardware a sensor belongs to. A record's class is
 * its own, not its device's: a mainboard chip reports the CPU core voltage it measures in the
 * CPU class and the PCH temperature it reads in the chipset class.
 */
enum VortaneSensorClass
{
    VORTANE_CLASS_SYSTEM_MEMORY = 10, /* "System Memory" */
    VORTANE_CLASS_CPU = 11,           /* CPU temperatures, clocks, usage, core voltage and VID */
    VORTANE_CLASS_MAINBOARD = 12,     /* mainboard chips, laptop platform sensors, liquid coolers */
    VORTANE_CLASS_GPU = 13,           /* AMD, Intel and NVIDIA GPUs */
    VORTANE_CLASS_CHIPSET = 14,       /* chipset / PCH temperatures */
    VORTANE_CLASS_STORAGE = 15,       /* NVMe and SATA drives */
    VORTANE_CLASS_OTHER = 16,         /* hwmon chips the library does not know */
    VORTANE_CLASS_MEMORY_MODULE = 17  /* DIMM sensors */
};

/*
 * Kind codes (record field kindCode): what a sensor measures within its class. 0 means
 * unspecified. One number can mean different things in different classes and types, so each name
 * carries its class; the comment says which types use it. subIndex is 0 unless noted.
 */
enum VortaneSensorKind
{
    VORTANE_KIND_UNSPECIFIED = 0, /* any class: no dashboard role; listed only */

    /* CPU (class 11) */
    VORTANE_KIND_CPU_PACKAGE = 10,     /* temperature "CPU Package" (coretemp package, k10temp/zenpower
                                          Tdie, or Tctl without Tdie) */
    VORTANE_KIND_CPU_TOTAL_USAGE = 10, /* usage, subIndex VORTANE_SUBINDEX_CPU_TOTAL: "Total CPU Usage" */
    VORTANE_KIND_CPU_CORE = 11,        /* temperature per core or per CCD ("Core 0", "CPU CCD1"), or
                                          "CPU Die" for a CPU whose chip has one die reading only
                                          (Tctl-only APUs and mobile parts); voltage: core voltage (board Vcore
                                          input, SVI2), and with subIndex VORTANE_SUBINDEX_CPU_VID the
                                          requested VID (cpu0_vid); clock and usage per logical CPU */
    VORTANE_KIND_CPU_TCTL = 12,        /* temperature: Tctl when Tdie exists, other CPU inputs */
    VORTANE_KIND_CPU_SOC = 13,         /* voltage: SoC voltage */
    VORTANE_KIND_CPU_POWER = 20,       /* current; power (W, type other), also from energy counters:
                                          "CPU Package Power", "CPU Cores Power", ... (RAPL) */

    /* Mainboard (class 12) */
    VORTANE_KIND_BOARD_CPU_PACKAGE = 10,    /* temperature "CPU Package" read by the board; not emitted
                                               here, but a board reading of this kind wins the package tile */
    VORTANE_KIND_BOARD_CPU = 14,            /* temperature "CPU" (the CPU socket input); fan: the CPU fan */
    VORTANE_KIND_BOARD_CHASSIS_FAN = 20,    /* fan: chassis and radiator fans (take the chassis fan tiles) */
    VORTANE_KIND_BOARD_RAIL = 20,           /* voltage, current, power: rails and cooler supply values;
                                               "Platform Power" (RAPL psys) */
    VORTANE_KIND_BOARD_ALARM = 30,          /* other, unit "Yes/No": alarm of a fan or temperature input */
    VORTANE_KIND_BOARD_MAINBOARD = 35,      /* temperature: mainboard ("Motherboard", "System", the first
                                               ACPI thermal zone while no board chip reports a
                                               mainboard temperature) */
    VORTANE_KIND_BOARD_AUXILIARY = 36,      /* temperature: any other input (auxiliary, VRM, T_Sensor,
                                               "CPU (PECI 0)", "Temperature 3", further ACPI zones, every
                                            input of a second chip of the same board) */
    VORTANE_KIND_BOARD_COOLANT = 40,        /* temperature: coolant ("Coolant", "Water In", "Water Out") */
    VORTANE_KIND_BOARD_MAINBOARD_ALT = 706, /* temperature: mainboard; not emitted here, accepted too */
    VORTANE_KIND_BOARD_PUMP = 901,          /* fan: pump */
    VORTANE_KIND_BOARD_VRM_FAN = 1001,      /* fan: VRM heatsink fan */
    /* Mainboard fans of kind 0 are fans that are not case fans (CPU optional, chipset, flow meter,
       laptop GPU fan): they are listed but take no fan tile. */

    /* GPU (class 13) */
    VORTANE_KIND_GPU_PRIMARY = 101,   /* temperature "GPU Temperature"; voltage "GPU Core Voltage (...)";
                                         clock "GPU Clock" (hwmon sclk, i915 gt_cur_freq_mhz, xe
                                         cur_freq); usage "GPU Core Load"; fan "GPU Fan"; other
                                         "GPU Power" (W) */
    VORTANE_KIND_GPU_SECONDARY = 102, /* temperature "GPU Hot Spot Temperature"; voltage "GPU SoC
                                         Voltage (VDDNB)"; clock "GPU Memory Clock"; usage "GPU Memory
                                         Controller Load"; other "GPU Memory Allocated" (MB), "GPU Fan
                                         Duty" (%) */
    VORTANE_KIND_GPU_MEMORY = 103,    /* temperature "GPU Memory Temperature" */
    VORTANE_KIND_GPU_CORE_ALT = 10,   /* temperature "GPU Core Temperature"; not emitted here, accepted too */

    /* Chipset (class 14) */
    VORTANE_KIND_CHIPSET_PCH = 500,   /* temperature "Chipset" from the PCH (Intel PCH thermal device,
                                         nct67xx PCH_CHIP_TEMP, a board chip's "PCH" input) */
    VORTANE_KIND_CHIPSET_OTHER = 501, /* temperature: other PCH inputs */
    VORTANE_KIND_CHIPSET_EC = 504,    /* temperature "Chipset" from the board's embedded controller
                                         (ASUS EC); preferred over VORTANE_KIND_CHIPSET_PCH */

    /* System memory (class 10), other values */
    VORTANE_KIND_MEMORY_LOAD = 10,      /* "Physical Memory Load" (%) */
    VORTANE_KIND_MEMORY_USED = 11,      /* "Physical Memory Used" (MB) */
    VORTANE_KIND_MEMORY_AVAILABLE = 12, /* "Physical Memory Available" (MB) */

    /* Storage (class 15) and memory modules (class 17) */
    VORTANE_KIND_DEVICE_TEMPERATURE = 20 /* temperature */
    /* Other (class 16): everything is VORTANE_KIND_UNSPECIFIED. */
};

/* Sub-indexes (record field subIndex) that tell readings of one kind apart. */
enum VortaneSensorSubIndex
{
    VORTANE_SUBINDEX_PRIMARY = 0,
    VORTANE_SUBINDEX_CPU_TOTAL = 1, /* CPU usage: the whole CPU */
    VORTANE_SUBINDEX_CPU_VID = 2    /* CPU core voltage: the requested VID */
};

/* The 464-byte record ReadSensor fills; the caller owns it and zero-fills it before use. */
typedef struct VortaneSensorRecord
{
    int32_t valid; /* non-zero when the sensor exists */
    int32_t reserved0;
    double value;      /* the reading in unit */
    char unit[32];     /* NUL-terminated UTF-8 */
    int32_t classCode; /* VortaneSensorClass */
    char reserved1[264];
    int32_t kindCode; /* see the kind codes above */
    char reserved2[8];
    char label[132];  /* NUL-terminated UTF-8 sensor name, e.g. "CPU Package" */
    int32_t subIndex; /* tells readings of the same kind apart */
} VortaneSensorRecord;

#ifdef __cplusplus
#define VORTANE_STATIC_ASSERT static_assert
#else
#define VORTANE_STATIC_ASSERT _Static_assert
#endif
VORTANE_STATIC_ASSERT(sizeof(VortaneSensorRecord) == 464, "record is 464 bytes");
VORTANE_STATIC_ASSERT(offsetof(VortaneSensorRecord, valid) == 0, "valid at 0");
VORTANE_STATIC_ASSERT(offsetof(VortaneSensorRecord, value) == 8, "value at 8");
VORTANE_STATIC_ASSERT(offsetof(VortaneSensorRecord, unit) == 16, "unit at 16");
VORTANE_STATIC_ASSERT(offsetof(VortaneSensorRecord, classCode) == 48, "classCode at 48");
VORTANE_STATIC_ASSERT(offsetof(VortaneSensorRecord, kindCode) == 316, "kindCode at 316");
VORTANE_STATIC_ASSERT(offsetof(VortaneSensorRecord, label) == 328, "label at 328");
VORTANE_STATIC_ASSERT(offsetof(VortaneSensorRecord, subIndex) == 460, "subIndex at 460");
#undef VORTANE_STATIC_ASSERT

/* Entry point types, as the program takes them from the library. */
typedef int32_t (*VortaneInitFn)(int32_t version);
typedef void (*VortaneCloseFn)(void);
typedef int32_t (*VortaneDeviceCountFn)(void);
typedef int32_t (*VortaneSelectDeviceFn)(int32_t device);
typedef int32_t (*VortaneDeviceNameFn)(int32_t device, char* buffer, int32_t size);
typedef int32_t (*VortaneReadSensorFn)(int32_t type, int32_t device, int32_t index, VortaneSensorRecord* record);
typedef int32_t (*VortaneMachineFlagsFn)(void);

#endif
