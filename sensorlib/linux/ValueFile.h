#pragma once
// Sensor value files read once a second all day: kept open and read again from their start
// with pread, which saves an open and a close per value and pass.
#include <cstddef>
#include <string>

namespace hwsensors {

/// Reads the number at the start of a sysfs or procfs value text: blanks, an optional sign,
/// digits with an optional fraction, whatever the process locale. What follows the number is
/// ignored. False when no digit comes first or the number does not fit a double. The text
/// need not be NUL-terminated.
bool parseSysfsValue(const char *text, size_t length, double &value);

/// Sees the full path of every file the library reads (value files and SysRoot's reads), so
/// that tests can count what a pass touches. None by default.
using FileReadObserver = void (*)(const std::string &fullPath);
void setFileReadObserver(FileReadObserver observer);
void noteFileRead(const std::string &fullPath);

class ValueFile
{
public:
    explicit ValueFile(std::string fullPath);
    ~ValueFile();
    ValueFile(const ValueFile &) = delete;
    ValueFile &operator=(const ValueFile &) = delete;

    const std::string &path() const { return filePath; }
    /// The file's leading number; false when it cannot be read or holds none.
    bool readNumber(double &value);
    /// The file's text, at most \a limit bytes of it, into \a content, whose storage is
    /// reused from pass to pass.
    bool readUpTo(size_t limit, std::string &content);
    /// Up to \a size bytes from \a offset; \a got 0 at the end of the file.
    bool readAt(char *buffer, size_t size, size_t offset, size_t &got);

private:
    bool ensureOpen();
    // A file that fails a read may have been removed and created anew (a driver reloaded):
    // the next read opens it again.
    void forget();

    std::string filePath;
    int fd = -1;
};

} // namespace hwsensors
