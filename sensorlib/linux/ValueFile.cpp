#include "ValueFile.h"
#include "sysio/BoundedRead.h"

#include <atomic>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

namespace hwsensors {

bool parseSysfsValue(const char *text, size_t length, double &value)
{
    if (!text)
        return false;
    size_t i = 0;
    while (i < length && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const auto isDigit = [&](size_t at) {
        return at < length && text[at] >= '0' && text[at] <= '9';
    };
    if (!isDigit(i))
        return false;
    double number = 0;
    while (isDigit(i))
        number = number * 10 + (text[i++] - '0');
    if (i < length && text[i] == '.') {
        ++i;
        double scale = 1;
        while (isDigit(i)) {
            scale /= 10;
            number += (text[i++] - '0') * scale;
        }
    }
    if (!std::isfinite(number))
        return false;
    value = negative ? -number : number;
    return true;
}

namespace {
std::atomic<FileReadObserver> readObserver{nullptr};
} // namespace

void setFileReadObserver(FileReadObserver observer)
{
    readObserver = observer;
}

void noteFileRead(const std::string &fullPath)
{
    if (const FileReadObserver observer = readObserver.load(std::memory_order_relaxed))
        observer(fullPath);
}

ValueFile::ValueFile(std::string fullPath) : filePath(std::move(fullPath)) {}

ValueFile::~ValueFile()
{
    forget();
}

bool ValueFile::ensureOpen()
{
    if (fd < 0)
        fd = ::open(filePath.c_str(), O_RDONLY | O_CLOEXEC);
    return fd >= 0;
}

void ValueFile::forget()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool ValueFile::readNumber(double &value)
{
    noteFileRead(filePath);
    if (!ensureOpen())
        return false;
    // Sysfs values are short; one read on a stack buffer.
    char text[64];
    ssize_t got;
    do
        got = ::pread(fd, text, sizeof(text), 0);
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        forget();
        return false;
    }
    return parseSysfsValue(text, static_cast<size_t>(got), value);
}

bool ValueFile::readUpTo(size_t limit, std::string &content)
{
    content.clear();
    noteFileRead(filePath);
    if (!ensureOpen())
        return false;
    if (readBounded(fd, limit, content))
        return true;
    forget();
    return false;
}

bool ValueFile::readAt(char *buffer, size_t size, size_t offset, size_t &got)
{
    got = 0;
    noteFileRead(filePath);
    if (!ensureOpen())
        return false;
    ssize_t read;
    do
        read = ::pread(fd, buffer, size, static_cast<off_t>(offset));
    while (read < 0 && errno == EINTR);
    if (read < 0) {
        forget();
        return false;
    }
    got = static_cast<size_t>(read);
    return true;
}

} // namespace hwsensors
