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

} // namespace

HwmonChip readHwmonChip(const SysRoot &root, const std::string &dir)
{
    HwmonChip chip;
    chip.dir = dir;
    // Older drivers keep their attributes in the device folder.
    if (!root.exists(dir + "/name") && root.exists(dir + "/device/name"))
        chip.dir = dir + "/device";
    chip.name = root.readLine(chip.dir + "/name");
    for (const std::string &file : root.list(chip.dir)) {
        const InputType *type = nullptr;
        std::string attribute;
        std::string suffix;
        if (!parseAttribute(file, type, attribute, suffix))
            continue;
        // Power chips offer an average and an instant value; the average is steadier.
        const bool wanted = suffix == "input" || (type->kind == Power && suffix == "average");
        if (!wanted)
            continue;
        if (type->kind == Power && suffix == "input" &&
            root.exists(chip.dir + "/" + attribute + "_average"))
            continue;
        std::string label = root.readLine(chip.dir + "/" + attribute + "_label");
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

HwmonChip deviceHwmonChip(const SysRoot &root, const std::string &deviceDir)
{
    for (const std::string &entry : root.list(deviceDir + "/hwmon")) {
        if (startsWith(entry, "hwmon"))
            return readHwmonChip(root, deviceDir + "/hwmon/" + entry);
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
