#include "Builders.h"

namespace hwsensors {

namespace {

bool containsCpu(const std::string &label)
{
    return label.find("CPU") != std::string::npos;
}

// The fan that cools the processor: one the chip labels as such, else where the board
// makers wire it (fan2 on Nuvoton chips, fan1 on ITE chips).
const HwmonInput *cpuFanInput(const HwmonChip &chip)
{
    for (const HwmonInput &input : chip.inputs)
        if (input.kind == Fan && input.label != input.attribute && containsCpu(input.label))
            return &input;
    if (startsWith(chip.name, "nct67"))
        return findInput(chip, "fan2");
    if (startsWith(chip.name, "it8"))
        return findInput(chip, "fan1");
    return nullptr;
}

Sensor boardSensor(const HwmonChip &chip)
{
    Sensor board;
    board.name = "Motherboard";
    const HwmonInput *cpuFan = cpuFanInput(chip);
    const bool nuvoton = startsWith(chip.name, "nct67");
    for (const HwmonInput &input : chip.inputs) {
        std::string name = input.label;
        if (&input == cpuFan)
            name = "CPU Fan";
        else if (nuvoton && input.kind == Temperature && input.label == "SYSTIN")
            name = "Motherboard";
        board.add(input.kind, name, fileSample(input.fullPath, input.scale));
    }
    return board;
}

Sensor plainSensor(const HwmonChip &chip)
{
    Sensor sensor;
    sensor.name = chip.name;
    for (const HwmonInput &input : chip.inputs)
        sensor.add(input.kind, input.label, fileSample(input.fullPath, input.scale));
    return sensor;
}

} // namespace

bool isGpuChip(const std::string &name)
{
    return name == "amdgpu" || name == "radeon" || name == "nouveau" || name == "i915" ||
           name == "xe";
}

bool isBoardChip(const std::string &name)
{
    return startsWith(name, "nct6") || startsWith(name, "it8") || startsWith(name, "w83") ||
           startsWith(name, "f71");
}

std::vector<Sensor> buildChipSensors(const std::vector<HwmonChip> &chips)
{
    std::vector<Sensor> sensors;
    bool haveBoard = false;
    for (const HwmonChip &chip : chips) {
        if (isCpuChip(chip.name) || isGpuChip(chip.name))
            continue;
        if (!haveBoard && isBoardChip(chip.name)) {
            haveBoard = true;
            sensors.insert(sensors.begin(), boardSensor(chip));
            continue;
        }
        Sensor sensor = plainSensor(chip);
        if (!sensor.empty())
            sensors.push_back(std::move(sensor));
    }
    return sensors;
}

} // namespace hwsensors
