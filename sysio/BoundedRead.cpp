#include "sysio/BoundedRead.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace hwsensors {

namespace {
// /proc files are produced a page at a time; larger reads gain nothing there.
constexpr size_t kChunk = 4096;
} // namespace

bool readBounded(int fd, size_t limit, std::string &content)
{
    size_t used = 0;
    bool ok = true;
    while (used < limit) {
        const size_t want = std::min(limit - used, kChunk);
        content.resize(used + want);
        const ssize_t got = ::pread(fd, &content[used], want, static_cast<off_t>(used));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        used += static_cast<size_t>(got);
    }
    content.resize(used);
    return ok;
}

bool readFileBounded(const std::string &fullPath, size_t limit, std::string &content)
{
    content.clear();
    const int fd = ::open(fullPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = readBounded(fd, limit, content);
    ::close(fd);
    return ok;
}

} // namespace hwsensors
