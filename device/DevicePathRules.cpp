#include "device/DevicePathRules.h"

namespace DevicePathRules {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The four characters after the first `tag` that is followed by four characters other than a
// line break, read as hexadecimal; 0 when there is no such place or they are not hexadecimal.
std::uint16_t fieldAfter(const std::string& path, const char* tag)
{
    const std::string key(tag);
    for (std::size_t at = path.find(key); at != std::string::npos; at = path.find(key, at + 1)) {
        const std::size_t start = at + key.size();
        if (start + 4 > path.size())
            return 0;
        bool anyLineBreak = false;
        for (std::size_t i = start; i < start + 4; ++i)
            anyLineBreak = anyLineBreak || path[i] == '\n';
        if (anyLineBreak)
            continue;
        unsigned value = 0;
        for (std::size_t i = start; i < start + 4; ++i) {
            const int d = hexDigit(path[i]);
            if (d < 0)
                return 0;
            value = value * 16 + static_cast<unsigned>(d);
        }
        return static_cast<std::uint16_t>(value);
    }
    return 0;
}

} // namespace

std::string upperCased(std::string path)
{
    for (char& c : path) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return path;
}

VidPid parseVidPid(const std::string& upperPath)
{
    return VidPid{fieldAfter(upperPath, "VID_"), fieldAfter(upperPath, "PID_")};
}

bool isScreenPath(const std::string& path)
{
    const VidPid ids = parseVidPid(upperCased(path));
    return ids.vid == kScreenVid && ids.pid == kScreenPid;
}

} // namespace DevicePathRules
