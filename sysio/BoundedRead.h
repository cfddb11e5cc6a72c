#pragma once
// Reads of files whose size nobody vouches for. A sysfs attribute or a /proc file is small, but
// a broken driver, a FUSE mount or a test tree can put a file of any size in its place; read
// whole, a 1 GB label took seconds and gigabytes. Every text file of the sensor library and
// the Linux inventory is therefore read up to a bound chosen for what it holds.
#include <cstddef>
#include <string>

namespace hwsensors {

/// One sysfs attribute (a name, a label, a uevent): the kernel hands out at most a page.
constexpr size_t kAttributeLimit = 4096;
/// /proc/stat: a line per processor and the interrupt counters; a few hundred kB on machines
/// with thousands of processors.
constexpr size_t kProcStatLimit = 1 << 20;

/// Reads at most \a limit bytes from the start of an open file with pread (the file offset is
/// left alone) into \a content, whose storage is reused. False when a read fails; \a content
/// then holds what came before the failure.
bool readBounded(int fd, size_t limit, std::string &content);
/// The same for a file given by its full path: opened, read and closed. False when it cannot
/// be opened or read.
bool readFileBounded(const std::string &fullPath, size_t limit, std::string &content);

} // namespace hwsensors
