#pragma once

// How a device path names the screen controller: the path is upper-cased, then the first
// "VID_" and the first "PID_" each followed by four characters are read as hexadecimal numbers
// (0 when the four characters are not all hexadecimal digits, or when there is no such part).
// No Qt and no platform headers: the Windows backend and the Linux backend share it.

#include <cstdint>
#include <string>

namespace DevicePathRules {

constexpr std::uint16_t kScreenVid = 0x3767;
constexpr std::uint16_t kScreenPid = 0x7791;

// ASCII upper-casing; other bytes are left as they are.
std::string upperCased(std::string path);

struct VidPid
{
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
};

// Parses an already upper-cased path.
VidPid parseVidPid(const std::string& upperPath);

// Upper-cases path and tells whether it names the screen controller.
bool isScreenPath(const std::string& path);

} // namespace DevicePathRules
