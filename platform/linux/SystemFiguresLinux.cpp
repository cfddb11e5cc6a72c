#include "platform/linux/SystemFiguresLinux.h"
#include "sysio/BoundedRead.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace SystemFigures {

namespace {

constexpr uint64_t kBytesPerKiB = 1024;
// /proc/meminfo is a couple of kB; whatever stands in its place is read no further than this.
constexpr size_t kMeminfoLimit = 64 * 1024;

// Value in kB of the line "key: value kB", or false when the key is absent.
bool meminfoValue(const std::string &text, const char *key, uint64_t &value)
{
    const size_t keyLength = std::strlen(key);
    size_t pos = 0;
    while (pos < text.size()) {
        if (text.compare(pos, keyLength, key) == 0 && pos + keyLength < text.size() &&
            text[pos + keyLength] == ':') {
            char *end = nullptr;
            const char *digits = text.c_str() + pos + keyLength + 1;
            const unsigned long long parsed = std::strtoull(digits, &end, 10);
            if (end == digits)
                return false;
            value = parsed;
            return true;
        }
        pos = text.find('\n', pos);
        if (pos == std::string::npos)
            break;
        ++pos;
    }
    return false;
}

bool availableKiB(const std::string &text, uint64_t &available)
{
    if (meminfoValue(text, "MemAvailable", available))
        return true;
    uint64_t free = 0, buffers = 0, cached = 0;
    if (!meminfoValue(text, "MemFree", free))
        return false;
    meminfoValue(text, "Buffers", buffers);
    meminfoValue(text, "Cached", cached);
    available = free + buffers + cached;
    return true;
}

} // namespace

Memory memoryFromMeminfo(const std::string &text)
{
    uint64_t total = 0, available = 0;
    if (!meminfoValue(text, "MemTotal", total) || total == 0 || !availableKiB(text, available))
        return {};
    if (available > total)
        available = total;
    Memory figures;
    figures.valid = true;
    figures.totalBytes = total * kBytesPerKiB;
    figures.availableBytes = available * kBytesPerKiB;
    figures.loadPercent = static_cast<uint32_t>((total - available) * 100 / total);
    return figures;
}

Memory memoryFromFile(const std::string &path)
{
    std::string text;
    if (!hwsensors::readFileBounded(path, kMeminfoLimit, text))
        return {};
    return memoryFromMeminfo(text);
}

std::string meminfoPath()
{
    const char *root = std::getenv("HWSENSORS_ROOT");
    return std::string(root ? root : "") + "/proc/meminfo";
}

Drive driveFromBlocks(uint64_t blocks, uint64_t freeBlocks, uint64_t fragmentSize)
{
    if (blocks == 0 || fragmentSize == 0)
        return {};
    Drive drive;
    drive.found = true;
    drive.totalBytes = blocks * fragmentSize;
    drive.freeBytes = (freeBlocks < blocks ? freeBlocks : blocks) * fragmentSize;
    return drive;
}

Drive driveAt(const std::string &path)
{
    struct statvfs info;
    if (statvfs(path.c_str(), &info) != 0)
        return {};
    return driveFromBlocks(info.f_blocks, info.f_bfree, info.f_frsize);
}

namespace {

// /proc/meminfo, read once a second all day: kept open and read again from its start, which
// saves an open, a stat and a close per refresh. Reopened when the file fails or the root
// below which it is read changes.
class KeptMeminfo
{
public:
    Memory read(const std::string &path)
    {
        std::lock_guard<std::mutex> lock(guard);
        if (path != openPath)
            forget();
        if (fd < 0) {
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                return {};
            openPath = path;
        }
        if (!hwsensors::readBounded(fd, kMeminfoLimit, text)) {
            forget();
            return {};
        }
        return memoryFromMeminfo(text);
    }

private:
    void forget()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        openPath.clear();
    }

    std::mutex guard;
    int fd = -1;
    std::string openPath;
    std::string text; // storage reused by every refresh
};

} // namespace

Memory memory()
{
    // Never destroyed: the program ends with worker threads still running.
    static KeptMeminfo *const kept = new KeptMeminfo;
    return kept->read(meminfoPath());
}

Drive systemDrive()
{
    return driveAt("/");
}

} // namespace SystemFigures
