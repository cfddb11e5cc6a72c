#pragma once
#include "device/DisplayIds.h"
#include "model/SensorReadings.h"

#include <QDateTime>
#include <QtGlobal>

#include <array>

// Everything one report to the display carries besides the sensor readings themselves.
struct DeviceFrameInput
{
    SensorReadings readings;
    bool celsius = true;          // false: bit 7 on both temperature bytes
    quint32 memoryLoad = 0;       // percent
    quint64 memoryTotalBytes = 0; // physical memory
    int driveUsage = 0;           // percent; 0 when no system drive
    quint64 driveTotalBytes = 0;  // 0 when no system drive
    QDateTime localTime;
};

// The 65-byte HID output report: report number 0, marker 0x40, the values (2-byte ones
// big-endian; each the truncated integer, at most the field's largest value, negative ones
// as their low bits), the date and time, and at byte 30 the sum of bytes 1 to 29; bytes 31
// to 64 are zero.
using DeviceFrame = std::array<quint8, DisplayIds::kReportLength>;

DeviceFrame buildDeviceFrame(const DeviceFrameInput &input);

// Share of the drive in use: 100 - free / total * 100 in double precision, truncated.
// 0 for a drive of size 0.
int driveUsagePercent(quint64 totalBytes, quint64 freeBytes);
