#include "platform/StartupTask.h"

#include "platform/linux/DesktopEntry.h"
#include "sysio/BoundedRead.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string configHome()
{
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char *home = std::getenv("HOME");
    if (!home || !home[0]) {
        const passwd *pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : "";
    }
    return std::string(home) + "/.config";
}

// The task name comes from the configuration: it must not reach outside the folder.
std::string fileNameOf(std::string taskName)
{
    for (char &c : taskName) {
        if (c == '/')
            c = '_';
    }
    return taskName + ".desktop";
}

// mkdir -p; returns 0 or errno.
int makeFolders(const std::string &path)
{
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        struct stat st;
        if (stat(part.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return ENOTDIR;
            continue;
        }
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    return 0;
}

bool hasContent(const std::string &path, const std::string &content)
{
    // One byte more than the entry tells a longer file apart without reading all of it.
    std::string existing;
    return hwsensors::readFileBounded(path, content.size() + 1, existing) && existing == content;
}

int writeAll(int fd, const std::string &content)
{
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

// Writes through a temporary file, so a failed write never leaves half an entry.
int replaceFile(const std::string &path, const std::string &content)
{
    const std::string temporary = path + ".new";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, content);
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        unlink(temporary.c_str());
    return error;
}
} // namespace

namespace StartupTask {

Result registerAtLogon(const std::string &taskName, const std::string &exePath,
                       const std::string &startFlag)
{
    const std::string folder = configHome() + "/autostart";
    const std::string path = folder + '/' + fileNameOf(taskName);
    const std::string content = DesktopEntry::autostartEntry(taskName, exePath, startFlag);
    if (hasContent(path, content))
        return {true, 0};
    int error = makeFolders(folder);
    if (error == 0)
        error = replaceFile(path, content);
    if (error != 0)
        return {false, static_cast<unsigned long>(error)};
    return {true, 0};
}

} // namespace StartupTask
