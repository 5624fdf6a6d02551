#pragma once

// Byte layouts of everything the host and the screen controller exchange over the bulk pipes:
// the screen-frame header and the framed command packets with their replies. Pure functions
// over caller-owned buffers; no Qt, so the fuzzer and the Win32-only code can use them too.
// Every multi-byte integer on the wire is big-endian, checksums included.

#include <cstddef>
#include <cstdint>

namespace Packets {

constexpr int kFrameHeaderSize = 40; // screen-frame header; the JPEG follows it
constexpr int kCommandSize = 36;     // fixed command: 32 bytes of fields and the CRC-32
constexpr int kIdentifyReplySize = 36;
constexpr int kShortReplySize = 13;     // reply to restart, firmware block and firmware end
constexpr int kFirmwareBlockMax = 4096; // firmware bytes per block
constexpr int kFirmwareBlockOverhead = 14;
constexpr int kTxBufferSize = 4160; // holds the largest packet (a full block, 4110 bytes)
constexpr int kRxBufferSize = 1024;
constexpr int kMaxReadSize = 512; // one bulk read never asks for more

// Device state letters in byte 2 of the identify reply.
constexpr std::uint8_t kStateNormal = 0x3B; // ';'
constexpr std::uint8_t kStateUpdate = 0x5B; // '['
constexpr std::uint8_t kStateThird = 0x2B;  // '+'

// Restart targets.
constexpr std::uint8_t kRestartIntoUpdate = 0;
constexpr std::uint8_t kRestartIntoNormal = 1;

// Outcome of a reply check. The values are the exchange result codes the controller returns.
enum ReplyCheck : int
{
    ReplyOk = 0,
    ReplyWrongLength = -3,
    ReplyBadCrc = -4,
};

// The protocol's CRC-32: reflected polynomial 0xEDB88320, initial value 0, no final XOR
// (not the common CRC-32 preset). 0 over an empty range.
std::uint32_t packetCrc32(const void* data, std::size_t size);

// CRC-16/MODBUS: reflected polynomial 0xA001, initial 0xFFFF, no final XOR.
std::uint16_t crc16Modbus(const void* data, std::size_t size);

// Builders write a whole packet into tx (at least kTxBufferSize bytes) and return the number of
// bytes to write. Bytes without a defined meaning are sent as zero.
int buildIdentifyRequest(std::uint8_t* tx);
int buildRestartRequest(std::uint8_t* tx, std::uint8_t target);
int buildFirmwareEnd(std::uint8_t* tx, std::uint32_t imageLength, std::uint32_t imageCrc);
// A block of 1..4096 firmware bytes at image offset address. Returns length + 14, except 38 for
// a 22-byte block (its 36-byte packet is written with two zero bytes after the CRC, the length
// field still saying 36); -1 when length is out of range.
int buildFirmwareBlock(std::uint8_t* tx, std::uint32_t address, const std::uint8_t* data, int length);

// Writes the 40-byte screen-frame header for a JPEG of jpegLength bytes. The brightness byte is
// brightness AND 0x7F, or 0 when the screen is switched off.
void buildFrameHeader(std::uint8_t* header, std::uint32_t jpegLength, int brightness, bool screenOn,
                      std::uint8_t displayMode, std::uint8_t sleepFlag);

struct IdentifyReply
{
    std::uint8_t state = 0;     // byte 2: kStateNormal, kStateUpdate, kStateThird or anything else
    std::uint8_t model[2] = {}; // bytes 27-28, 00 01 for a healthy device in normal mode
    char version[5] = {};       // bytes 18-22, ASCII, meaningful in normal mode
};

// Checks a reply of length bytes: the length first, then the CRC-32. Only on ReplyOk is *out
// filled in. Never reads beyond length bytes.
ReplyCheck checkIdentifyReply(const std::uint8_t* rx, int length, IdentifyReply* out);
// As above for a 13-byte reply; *result receives byte 8.
ReplyCheck checkShortReply(const std::uint8_t* rx, int length, std::uint8_t* result);

// Whether a reply of length bytes read after the command in tx was written can be its answer.
// Only replies that plainly belong to another command are refused, as late answers to exchanges
// that were given up: a well-formed identify reply after any other command, a well-formed short
// reply after an identify, and a well-formed short reply that starts AA 55 and carries another
// command's letter (K, O, J or L) in byte 2. Anything else (also a reply that is broken) is left to the checks
// above. Never reads beyond length bytes.
bool replyAnswers(const std::uint8_t* tx, const std::uint8_t* rx, int length);

// The device's side, for simulated screens and tests: what a host packet says, and the replies.

struct FrameHeader
{
    std::uint32_t jpegLength = 0;
    std::uint8_t brightness = 0;
    std::uint8_t displayMode = 0;
    std::uint8_t sleepFlag = 0;
};

enum class FrameCheck
{
    Ok,
    TooShort,      // fewer than 40 bytes
    BadMagic,      // not 5A A5
    BadLengthCrc,  // the CRC-16 does not match the length field
    LengthMismatch // the length field is not the number of bytes after the header
};

// Checks a whole screen-frame packet of length bytes; *out is filled in on Ok.
FrameCheck checkFramePacket(const std::uint8_t* packet, std::size_t length, FrameHeader* out);

enum class CommandKind
{
    Identify,
    Restart,
    FirmwareBlock,
    FirmwareEnd,
};

struct Command
{
    CommandKind kind = CommandKind::Identify;
    std::uint8_t restartTarget = 0;          // Restart
    std::uint32_t address = 0;               // FirmwareBlock
    const std::uint8_t* blockData = nullptr; // FirmwareBlock: points into the packet
    int blockLength = 0;                     // FirmwareBlock
    std::uint32_t imageLength = 0;           // FirmwareEnd
    std::uint32_t imageCrc = 0;              // FirmwareEnd
};

// Reads one command packet as written by the host (a 22-byte firmware block arrives as 38 bytes).
// False when it is not a known, well-formed command with a matching CRC-32.
bool parseCommand(const std::uint8_t* packet, int length, Command* out);

// Reply builders; each returns the number of bytes written into out.
int buildIdentifyReply(std::uint8_t* out, std::uint8_t state, const char version[5], std::uint8_t model0,
                       std::uint8_t model1);
int buildShortReply(std::uint8_t* out, std::uint8_t result);

} // namespace Packets
