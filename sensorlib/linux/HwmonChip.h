#pragma once
// Listing hwmon chips and the inputs they offer.
#include "SensorModel.h"
#include "SysRoot.h"

#include <string>
#include <vector>

namespace hwsensors {

struct HwmonInput
{
    Kind kind;
    std::string attribute; // "temp1", "fan2", ...
    std::string label;     // the chip's own label, else the attribute
    std::string fullPath;  // of the value file, root applied
    double scale;          // to degrees Celsius, RPM, watts, MHz
};

struct HwmonChip
{
    std::string dir; // absolute, root not applied
    std::string name;
    std::vector<HwmonInput> inputs;
};

/// Whether a chip's input is read: drive chips (NVMe, SATA) only through temp*_input, as
/// their other attributes send the drive commands; other chips through *_input, power also
/// through *_average.
bool takesInput(const std::string &chipName, Kind kind, const std::string &suffix);

/// The chip in \a dir (a hwmonN folder); the attributes may sit in its device/ folder.
/// Without \a readAttributes only the folder is listed (a sleeping device's chip): no name,
/// labels are the attribute names.
HwmonChip readHwmonChip(const SysRoot &root, const std::string &dir, bool readAttributes = true);
/// Every chip under /sys/class/hwmon, in natural order.
std::vector<HwmonChip> listHwmonChips(const SysRoot &root);
/// The first chip below a device's hwmon/ folder (GPU cards); name empty when none.
HwmonChip deviceHwmonChip(const SysRoot &root, const std::string &deviceDir,
                          bool readAttributes = true);

const HwmonInput *findInput(const HwmonChip &chip, const std::string &attribute);
const HwmonInput *findLabel(const HwmonChip &chip, Kind kind, const std::string &label);

} // namespace hwsensors
