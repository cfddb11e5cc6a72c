#pragma once
// File access below a root folder, so that the library can read a fixture tree as if it
// were /sys and /proc. Paths given to it are absolute ("/sys/class/hwmon").
#include <cstddef>
#include <string>
#include <vector>

namespace hwsensors {

class SysRoot
{
public:
    explicit SysRoot(std::string root = std::string());
    /// The root named by HWSENSORS_ROOT; empty or unset: the real root.
    static SysRoot fromEnvironment();

    const std::string &root() const { return base; }
    std::string path(const std::string &absolute) const { return base + absolute; }
    bool exists(const std::string &absolute) const;
    bool isDirectory(const std::string &absolute) const;
    /// Names in a folder, without "." and "..", in natural order (hwmon2 before hwmon10).
    std::vector<std::string> list(const std::string &absolute) const;
    /// The file's first line without surrounding white space; empty when unreadable. Read as
    /// a sysfs attribute: at most a page.
    std::string readLine(const std::string &absolute) const;
    /// The text of a sysfs attribute, at most a page of it; empty when unreadable.
    std::string readAttribute(const std::string &absolute) const;

private:
    std::string base;
};

/// Reads the leading number of a file given by its full path.
bool readNumber(const std::string &fullPath, double &value);
std::string trimmed(const std::string &text);
/// Natural order: digit runs compare by value.
bool naturalLess(const std::string &a, const std::string &b);
bool startsWith(const std::string &text, const char *prefix);

} // namespace hwsensors
