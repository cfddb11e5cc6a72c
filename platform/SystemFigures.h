#pragma once
#include <cstdint>

// Memory and system-drive figures that the refresh measures itself, once a second.
namespace SystemFigures {

struct Memory
{
    bool valid = false;
    uint32_t loadPercent = 0; // share of physical memory in use, 0..100
    uint64_t totalBytes = 0;
    uint64_t availableBytes = 0;
};

// Physical memory now; valid is false when the figures cannot be read.
Memory memory();

struct Drive
{
    bool found = false;
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;
};

// The drive the system runs from; found is false when none answers with a usable size.
Drive systemDrive();

} // namespace SystemFigures
