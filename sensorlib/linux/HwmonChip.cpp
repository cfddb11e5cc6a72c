#include "HwmonChip.h"
#include "ValueFile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

namespace hwsensors {

namespace {

struct InputType
{
    const char *prefix;
    Kind kind;
    double scale;
};

// sysfs units: millidegrees, RPM, microwatts, hertz.
const InputType inputTypes[] = {
    {"temp", Temperature, 1e-3}, {"fan", Fan, 1.0}, {"power", Power, 1e-6}, {"freq", Clock, 1e-6}};

// Splits "temp12_input" into its type, number and suffix.
bool parseAttribute(const std::string &file, const InputType *&type, std::string &attribute,
                    std::string &suffix)
{
    for (const InputType &candidate : inputTypes) {
        if (!startsWith(file, candidate.prefix))
            continue;
        size_t pos = std::char_traits<char>::length(candidate.prefix);
        const size_t digits = pos;
        while (pos < file.size() && std::isdigit(static_cast<unsigned char>(file[pos])))
            ++pos;
        if (pos == digits || pos >= file.size() || file[pos] != '_')
            return false;
        type = &candidate;
        attribute = file.substr(0, pos);
        suffix = file.substr(pos + 1);
        return true;
    }
    return false;
}

bool isDriveChip(const std::string &name)
{
    return name == "nvme" || name == "drivetemp";
}

} // namespace

bool takesInput(const std::string &chipName, Kind kind, const std::string &suffix)
{
    if (isDriveChip(chipName))
        return kind == Temperature && suffix == "input";
    return suffix == "input" || (kind == Power && suffix == "average");
}

HwmonChip readHwmonChip(const SysRoot &root, const std::string &dir, bool readAttributes)
{
    HwmonChip chip;
    chip.dir = dir;
    // Older drivers keep their attributes in the device folder.
    if (!root.exists(dir + "/name") && root.exists(dir + "/device/name"))
        chip.dir = dir + "/device";
    if (readAttributes)
        chip.name = root.readLine(chip.dir + "/name");
    for (const std::string &file : root.list(chip.dir)) {
        const InputType *type = nullptr;
        std::string attribute;
        std::string suffix;
        if (!parseAttribute(file, type, attribute, suffix))
            continue;
        // Power chips offer an average and an instant value; the average is steadier.
        if (!takesInput(chip.name, type->kind, suffix))
            continue;
        if (type->kind == Power && suffix == "input" &&
            root.exists(chip.dir + "/" + attribute + "_average"))
            continue;
        std::string label;
        if (readAttributes)
            label = root.readLine(chip.dir + "/" + attribute + "_label");
        if (label.empty())
            label = attribute;
        chip.inputs.push_back(HwmonInput{type->kind, attribute, label,
                                         root.path(chip.dir + "/" + file), type->scale});
    }
    std::stable_sort(chip.inputs.begin(), chip.inputs.end(),
                     [](const HwmonInput &a, const HwmonInput &b) {
                         return naturalLess(a.attribute, b.attribute);
                     });
    return chip;
}

std::vector<HwmonChip> listHwmonChips(const SysRoot &root)
{
    std::vector<HwmonChip> chips;
    for (const std::string &entry : root.list("/sys/class/hwmon")) {
        HwmonChip chip = readHwmonChip(root, "/sys/class/hwmon/" + entry);
        if (!chip.name.empty())
            chips.push_back(std::move(chip));
    }
    return chips;
}

HwmonChip deviceHwmonChip(const SysRoot &root, const std::string &deviceDir, bool readAttributes)
{
    for (const std::string &entry : root.list(deviceDir + "/hwmon")) {
        if (startsWith(entry, "hwmon"))
            return readHwmonChip(root, deviceDir + "/hwmon/" + entry, readAttributes);
    }
    return HwmonChip();
}

const HwmonInput *findInput(const HwmonChip &chip, const std::string &attribute)
{
    for (const HwmonInput &input : chip.inputs)
        if (input.attribute == attribute)
            return &input;
    return nullptr;
}

const HwmonInput *findLabel(const HwmonChip &chip, Kind kind, const std::string &label)
{
    for (const HwmonInput &input : chip.inputs)
        if (input.kind == kind && input.label == label)
            return &input;
    return nullptr;
}

std::function<bool(double &)> fileSample(std::string fullPath, double scale)
{
    auto file = std::make_shared<ValueFile>(std::move(fullPath));
    return [file, scale](double &value) {
        double raw = 0;
        if (!file->readNumber(raw))
            return false;
        value = raw * scale;
        return true;
    };
}

} // namespace hwsensors
