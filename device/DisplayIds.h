#pragma once

// The USB display Tarnix feeds. The udev rule and the AppStream data are generated from these
// lines when the build is configured, so keep each on one line as it stands.
namespace DisplayIds {
constexpr unsigned short kVendorId = 0x5131;
constexpr unsigned short kProductId = 0x2007;
// Report number and payload of the one output report the display takes.
constexpr int kReportLength = 65;
} // namespace DisplayIds
