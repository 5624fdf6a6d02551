#pragma once

// The simulated link between the program and a simulated screen (vortane-screen-sim):
// - every Unix stream socket "<name>.sock" in simFolder() is one device of the screen's kind,
//   named <name>; its device path is "SIM:" followed by the socket's absolute path; the device is
//   gone when its socket file is;
// - every bulk transfer is one message: 1 byte endpoint address (kSimHostToDevice or
//   kSimDeviceToHost), 4 bytes big-endian payload length, then the payload;
// - a host write of n bytes is one host-to-device message of n bytes; the device sends each reply
//   as one device-to-host message, of which a host read delivers at most 512 bytes.

#include <QString>

#include <cstdint>

constexpr std::uint8_t kSimHostToDevice = 0x01;
constexpr std::uint8_t kSimDeviceToHost = 0x81;
constexpr int kSimMessageHeaderSize = 5;
// Largest payload either side accepts in one message; anything larger is a broken peer.
constexpr std::uint32_t kSimMaxPayload = 64U * 1024U * 1024U;
inline const QString kSimPathPrefix = QStringLiteral("SIM:");

// $VORTANE_SIM_DIR if set, else $XDG_RUNTIME_DIR/vortane-screen-sim, else
// /tmp/vortane-screen-sim-<uid>. The first two are not created here. The last lies in a folder
// every user may write to, so it is used only as claimPrivateFolder() allows (created when
// missing); when refused, the result is empty (no simulated screens) and the reason is logged once.
// GUI thread.
QString simFolder();

// GUI thread. Whether path is a folder of this user's that nobody else may enter or write: a real
// folder (not a link) owned by this user with mode 0700. A missing folder is created so. *why
// gets the reason for a refusal.
bool claimPrivateFolder(const QString& path, QString* why);

// The device path of the socket file at socketFile (made absolute).
QString simDevicePath(const QString& socketFile);

// Writes the 5-byte message header for a payload of payloadLength bytes.
void putSimMessageHeader(std::uint8_t* header, std::uint8_t endpoint, std::uint32_t payloadLength);
