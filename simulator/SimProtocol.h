#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

// The screen controller's side of the protocol: checksums, parsing of what the host writes,
// replies, and the message framing of the simulated link. Pure functions, any thread.
//
// The host side lives in device/; this file is written from the device's point of view on
// purpose, so that each side checks the other instead of sharing one possibly wrong helper.
namespace SimProtocol {

// CRC-32 of the protocol: reflected polynomial 0xEDB88320, initial value 0, no final XOR.
uint32_t crc32(const uint8_t* data, std::size_t size);
uint32_t crc32(const QByteArray& bytes);
// CRC-16/MODBUS: reflected polynomial 0xA001, initial value 0xFFFF, no final XOR.
uint16_t crc16Modbus(const uint8_t* data, std::size_t size);

uint32_t readBigEndian32(const uint8_t* p);
void writeBigEndian32(uint8_t* p, uint32_t value);

constexpr int kFrameHeaderBytes = 40;
constexpr int kFixedCommandBytes = 36;
constexpr int kIdentifyReplyBytes = 36;
constexpr int kShortReplyBytes = 13;
constexpr int kFirmwareBlockOverheadBytes = 14;
constexpr int kFirmwareBlockMaxData = 4096;

// What a host write turned out to be.
enum class PacketKind
{
    ScreenFrame,   // starts 5A A5
    Identify,      // AA 55 4B 4C 54
    Restart,       // AA 55 4F 75 73 42
    FirmwareBlock, // AA 55 4A
    FirmwareEnd,   // AA 55 4C 00 00 24
    Unknown
};

PacketKind classify(const QByteArray& payload);

// A screen-frame header that passed its checks. The JPEG starts at offset 40.
struct FrameHeader
{
    uint32_t jpegBytes = 0;
    int brightness = 0;  // byte 8, 0-127 on the wire; the host sends 0-100
    int displayMode = 0; // byte 9: 0 dynamic, 1 digital clock, 2 analog clock
    int sleepFlag = 0;   // byte 10: 0 standby mode on, 1 standby mode off
};

enum class FrameError
{
    None,
    TooShort,      // fewer than 40 bytes
    BadMagic,      // not 5A A5
    BadLengthCrc,  // CRC-16 over bytes 2-5 does not match bytes 6-7
    LengthMismatch // the write is not exactly 40 + N bytes long
};

// Checks a whole host write as a screen frame: magic, length CRC-16, then 40 + N = size.
FrameError parseFrame(const QByteArray& payload, FrameHeader* header);

// True when a fixed 36-byte command carries a matching CRC-32 over bytes 0-31. Longer writes
// are accepted; only the first 36 bytes count.
bool fixedCommandCrcOk(const QByteArray& payload);

// A firmware block that passed its checks.
struct FirmwareBlock
{
    uint32_t address = 0;
    QByteArray data; // 1 to 4096 bytes
};

enum class BlockError
{
    None,
    TooShort,  // shorter than its length field says, or than the smallest block
    BadLength, // length field outside 15 ... 4110
    BadCrc
};

// Checks a firmware block. The host writes 38 bytes for a block whose length field says 36;
// bytes after the packet are ignored.
BlockError parseFirmwareBlock(const QByteArray& payload, FirmwareBlock* block);

struct FirmwareEnd
{
    uint32_t imageBytes = 0;
    uint32_t imageCrc = 0;
};
// Reads the length and CRC of a firmware end command whose CRC has been checked.
FirmwareEnd parseFirmwareEnd(const QByteArray& payload);

// The restart command's target byte: 0 update mode, 1 normal mode.
int restartTarget(const QByteArray& payload);

// The 36-byte identify reply. `stateLetter` ";" normal, "[" update, "+" third state; `version`
// is five ASCII characters (padded or cut); `model` is written at bytes 27-28.
QByteArray identifyReply(char stateLetter, const QString& version, uint16_t model);

// The 13-byte reply to restart, firmware block and firmware end; `result` goes to byte 8.
QByteArray shortReply(char commandLetter, uint8_t result);

// Simulated link framing: endpoint address, 4-byte big-endian length, payload.
constexpr uint8_t kEndpointOut = 0x01; // host to device
constexpr uint8_t kEndpointIn = 0x81;  // device to host
constexpr int kMessageHeaderBytes = 5;
// Largest message the simulated screen takes: a 64 MiB firmware image is sent in blocks, so
// only frames come near this; a bigger length is a broken host.
constexpr uint32_t kMaxMessageBytes = 32u * 1024u * 1024u;

QByteArray message(uint8_t endpoint, const QByteArray& payload);

// The folder of simulated screens: $VORTANE_SIM_DIR, else $XDG_RUNTIME_DIR/vortane-screen-sim,
// else /tmp/vortane-screen-sim-<uid>.
QString simulatorFolder();

} // namespace SimProtocol
