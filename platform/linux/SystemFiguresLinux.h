#pragma once
#include "platform/SystemFigures.h"

#include <string>

// The Linux sources of the system figures, split out so fixtures can feed them.
namespace SystemFigures {

// Reads MemTotal and MemAvailable (kB) from the text of /proc/meminfo. Kernels without
// MemAvailable get MemFree + Buffers + Cached instead. The load is the used share in whole
// percent, truncated, so it reaches 100 only when nothing at all is available.
Memory memoryFromMeminfo(const std::string &text);

// memoryFromMeminfo() over a file; invalid when the file cannot be read.
Memory memoryFromFile(const std::string &path);

// /proc/meminfo below $HWSENSORS_ROOT when that is set, so a fixture tree can stand in.
std::string meminfoPath();

// Sizes from statvfs counts; a file system that reports no blocks is not a drive.
Drive driveFromBlocks(uint64_t blocks, uint64_t freeBlocks, uint64_t fragmentSize);

// statvfs() of the file system holding path.
Drive driveAt(const std::string &path);

} // namespace SystemFigures
