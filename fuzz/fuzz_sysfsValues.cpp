// The sensor library's readers of sysfs and /proc text. The first byte picks the reader.
#include "CpuCounters.h"
#include "FuzzInput.h"
#include "SysRoot.h"
#include "ValueFile.h"

#include <cmath>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const char *text = reinterpret_cast<const char *>(data + 1);
    const size_t length = size - 1;
    const std::string content(text, length);
    switch (data[0] % 5) {
    case 0: {
        double value = 0;
        if (hwsensors::parseSysfsValue(text, length, value))
            FuzzInput::require(std::isfinite(value));
        break;
    }
    case 1: {
        const hwsensors::CpuTimes times = hwsensors::parseCpuTimes(content);
        if (times.valid) {
            const double usage =
                hwsensors::cpuUsagePercent(hwsensors::CpuTimes{0, 0, true}, times, 0);
            FuzzInput::require(usage >= 0 && usage <= 100);
        }
        break;
    }
    case 2: {
        int processor = -1;
        double mhz = 0;
        for (const bool atEnd : {false, true}) {
            const hwsensors::CpuinfoScan scan =
                hwsensors::firstCpuinfoClock(content.data(), content.size(), atEnd, processor, mhz);
            if (scan == hwsensors::CpuinfoScan::Found)
                FuzzInput::require(processor >= 0 && std::isfinite(mhz));
            FuzzInput::require(!atEnd || scan != hwsensors::CpuinfoScan::NeedMore);
        }
        break;
    }
    case 3: {
        const std::string trimmed = hwsensors::trimmed(content);
        FuzzInput::require(hwsensors::trimmed(trimmed) == trimmed);
        break;
    }
    case 4: {
        // Natural order must be a strict weak order, or sorting folder names is undefined.
        const size_t split = content.find('\0');
        const std::string a = content.substr(0, split);
        const std::string b =
            split == std::string::npos ? std::string() : content.substr(split + 1);
        FuzzInput::require(!hwsensors::naturalLess(a, a));
        FuzzInput::require(!(hwsensors::naturalLess(a, b) && hwsensors::naturalLess(b, a)));
        break;
    }
    }
    return 0;
}
