#include "sysio/SmbiosMemory.h"

namespace SmbiosMemory {

namespace {

constexpr unsigned kMemoryDeviceType = 17;
constexpr unsigned kEndOfTableType = 127;

struct Structure
{
    unsigned type = 0;
    const unsigned char *formatted = nullptr; // the formatted area, header included
    size_t length = 0;
    const unsigned char *strings = nullptr; // the string set, each ended by a NUL
    size_t stringsLength = 0;
};

unsigned word(const Structure &s, size_t offset)
{
    return s.formatted[offset] | unsigned(s.formatted[offset + 1]) << 8;
}

uint32_t dword(const Structure &s, size_t offset)
{
    return word(s, offset) | uint32_t(word(s, offset + 2)) << 16;
}

// Reads the structure at `at`; returns false when the table is damaged there, else sets
// `next` to the offset of the following one.
bool readStructure(const unsigned char *table, size_t size, size_t at, Structure &out, size_t &next)
{
    if (size < 4 || at > size - 4)
        return false;
    const size_t length = table[at + 1];
    if (length < 4 || length > size - at)
        return false;
    // The string set ends with two NULs (just two NULs when there are no strings).
    const size_t stringsAt = at + length;
    size_t end = stringsAt;
    while (end + 1 < size && !(table[end] == 0 && table[end + 1] == 0))
        ++end;
    if (end + 1 >= size)
        return false;
    out.type = table[at];
    out.formatted = table + at;
    out.length = length;
    out.strings = table + stringsAt;
    out.stringsLength = end - stringsAt;
    next = end + 2;
    return true;
}

std::string trimmed(const std::string &text)
{
    const char *space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string stringAt(const Structure &s, size_t offset)
{
    if (offset >= s.length)
        return std::string();
    const unsigned index = s.formatted[offset];
    if (index < 1)
        return std::string();
    size_t start = 0;
    for (unsigned i = 1; i < index; ++i) {
        while (start < s.stringsLength && s.strings[start] != 0)
            ++start;
        if (start >= s.stringsLength)
            return std::string();
        ++start;
    }
    if (start > s.stringsLength)
        return std::string();
    size_t end = start;
    while (end < s.stringsLength && s.strings[end] != 0)
        ++end;
    return trimmed(std::string(reinterpret_cast<const char *>(s.strings) + start, end - start));
}

// Size in bytes, 0 for an empty slot or an unknown size.
uint64_t moduleBytes(const Structure &s)
{
    if (s.length < 0x0E)
        return 0;
    const unsigned size = word(s, 0x0C);
    if (size == 0 || size == 0xFFFF)
        return 0;
    const uint64_t mib = 1024 * 1024;
    if (size == 0x7FFF) {
        if (s.length < 0x20)
            return 0;
        return (dword(s, 0x1C) & 0x7FFFFFFF) * mib;
    }
    if (size & 0x8000)
        return uint64_t(size & 0x7FFF) * 1024;
    return size * mib;
}

// A speed word, or the double word at `extended` when the word says it does not fit.
unsigned speed(const Structure &s, size_t offset, size_t extended)
{
    if (s.length < offset + 2)
        return 0;
    const unsigned value = word(s, offset);
    if (value != 0xFFFF)
        return value;
    return s.length >= extended + 4 ? dword(s, extended) : 0;
}

} // namespace

std::vector<Module> modules(const unsigned char *table, size_t size)
{
    std::vector<Module> found;
    Structure s;
    size_t at = 0;
    while (table && at < size) {
        size_t next = 0;
        if (!readStructure(table, size, at, s, next) || s.type == kEndOfTableType)
            break;
        at = next;
        if (s.type != kMemoryDeviceType)
            continue;
        Module module;
        module.bytes = moduleBytes(s);
        if (module.bytes == 0)
            continue;
        module.speedMts = speed(s, 0x15, 0x54);
        module.configuredSpeedMts = speed(s, 0x20, 0x58);
        module.manufacturer = stringAt(s, 0x17);
        found.push_back(std::move(module));
    }
    return found;
}

} // namespace SmbiosMemory
