#include "sensorlib/SensorDevices.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>

namespace vortane_sensors {

namespace {

// Closes the descriptor on every path out of a read. O_NONBLOCK: a FIFO planted in a fixture
// tree (or anything else that would wait for a writer) never stalls a pass.
struct ScopedFd
{
    int fd = -1;
    ~ScopedFd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

bool readTextFile(const std::string& path, std::string& text, size_t limit)
{
    text.clear();
    const ScopedFd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.fd < 0)
        return false;
    char chunk[4096];
    while (text.size() < limit) {
        const size_t want = std::min(sizeof chunk, limit - text.size());
        const ssize_t got = ::read(file.fd, chunk, want);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false; // EIO from a sensor that went away, EACCES, ...
        }
        if (got == 0)
            break;
        text.append(chunk, size_t(got));
    }
    return true;
}

std::string readTrimmed(const std::string& path)
{
    // One read: a sysfs attribute (at most a page) arrives whole in the first read, and the
    // second read that would only confirm the end costs a system call per value file.
    char buffer[512];
    const ScopedFd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.fd < 0)
        return std::string();
    ssize_t got = -1;
    do
        got = ::read(file.fd, buffer, sizeof buffer);
    while (got < 0 && errno == EINTR);
    if (got <= 0)
        return std::string();
    const std::string text(buffer, size_t(got));
    const auto notSpace = [](unsigned char c) { return c != ' ' && c != '\n' && c != '\t' && c != '\r' && c != 0; };
    const auto first = std::find_if(text.begin(), text.end(), notSpace);
    const auto last = std::find_if(text.rbegin(), text.rend(), notSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

bool parseInteger(const std::string& text, long long& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0')
        return false;
    value = parsed;
    return true;
}

void truncateUtf8(std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return;
    size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
}

bool readInteger(const std::string& path, long long& value)
{
    return parseInteger(readTrimmed(path), value);
}

std::vector<std::string> listDirectory(const std::string& path)
{
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool isDirectory(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string resolvedPath(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool fileExists(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace vortane_sensors
