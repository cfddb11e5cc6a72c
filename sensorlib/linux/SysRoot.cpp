#include "SysRoot.h"
#include "ValueFile.h"
#include "sysio/BoundedRead.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hwsensors {

SysRoot::SysRoot(std::string root) : base(std::move(root))
{
    while (!base.empty() && base.back() == '/')
        base.pop_back();
}

SysRoot SysRoot::fromEnvironment()
{
    const char *root = std::getenv("HWSENSORS_ROOT");
    return SysRoot(root ? root : "");
}

bool SysRoot::exists(const std::string &absolute) const
{
    struct stat info;
    return stat(path(absolute).c_str(), &info) == 0;
}

bool SysRoot::isDirectory(const std::string &absolute) const
{
    struct stat info;
    return stat(path(absolute).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> SysRoot::list(const std::string &absolute) const
{
    std::vector<std::string> names;
    DIR *dir = opendir(path(absolute).c_str());
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), naturalLess);
    return names;
}

std::string SysRoot::readLine(const std::string &absolute) const
{
    noteFileRead(path(absolute));
    std::string content;
    if (!readFileBounded(path(absolute), kAttributeLimit, content))
        return std::string();
    return trimmed(content.substr(0, content.find('\n')));
}

std::string SysRoot::readAttribute(const std::string &absolute) const
{
    noteFileRead(path(absolute));
    std::string content;
    if (!readFileBounded(path(absolute), kAttributeLimit, content))
        content.clear();
    return content;
}

bool readNumber(const std::string &fullPath, double &value)
{
    noteFileRead(fullPath);
    // Sysfs values are short; one read on a stack buffer keeps the per-pass cost low.
    const int fd = open(fullPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char text[64];
    const ssize_t got = read(fd, text, sizeof(text));
    close(fd);
    if (got <= 0)
        return false;
    return parseSysfsValue(text, static_cast<size_t>(got), value);
}

std::string trimmed(const std::string &text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])))
        --last;
    return text.substr(first, last - first);
}

bool naturalLess(const std::string &a, const std::string &b)
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i]));
        const bool db = std::isdigit(static_cast<unsigned char>(b[j]));
        if (da && db) {
            size_t ei = i;
            size_t ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            const unsigned long long va = std::strtoull(a.substr(i, ei - i).c_str(), nullptr, 10);
            const unsigned long long vb = std::strtoull(b.substr(j, ej - j).c_str(), nullptr, 10);
            if (va != vb)
                return va < vb;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

bool startsWith(const std::string &text, const char *prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

} // namespace hwsensors
