#pragma once
// Each builder turns one Windows source into a published sensor; an empty sensor when the
// source is absent on this machine.
#include "Pdh.h"
#include "SensorModel.h"
#include "SystemFunctions.h"

namespace hwsensors {

/// "CPU": total usage, core 0 clock, package power. Takes the first samples of its rate
/// counters now, so the first pass already has values. \a pdh may be nullptr.
Sensor buildCpuSensor(const SystemFunctions &system, const Pdh *pdh);

/// The ACPI thermal zones, one temperature per zone named after it.
Sensor buildThermalZoneSensor(const Pdh *pdh);

/// The memory clock the firmware's SMBIOS table states.
Sensor buildMemorySensor(const SystemFunctions &system);

} // namespace hwsensors
