#pragma once
#include "platform/SystemFigures.h"

#include <string>
#include <vector>

// The Windows drive walk, kept free of Qt; the drive list itself comes from QDir::drives().
namespace SystemFigures {

// True for the path of the system drive: it contains "C", in either case.
bool isSystemDrivePath(const std::wstring &rootPath);

// Asks GetDiskFreeSpaceExW about each root in order and answers with the first that
// responds with a non-zero total and whose path is the system drive's. Drives whose call
// fails, or that report no size (an empty card reader), are skipped.
Drive systemDriveAmong(const std::vector<std::wstring> &rootPaths);

} // namespace SystemFigures
