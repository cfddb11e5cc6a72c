#pragma once
#include "platform/windows/WmiQuery.h"

#include <optional>
#include <string>

// What a wmic command line asks WMI, so the inventory can ask it directly where the tool
// is gone. Understands the forms the inventory uses:
//   wmic ALIAS [where COND] get PROP[, PROP...]
//   wmic path CLASS [where COND] get PROP[, PROP...]
// with the aliases cpu, baseboard, memorychip, diskdrive, nic and os. The condition may be
// quoted or in parentheses; properties may be separated by commas, blanks or both.
namespace WmicCommand {

// Nothing for anything else: another verb, an unknown alias, a switch, a missing part.
std::optional<WmiQuery> toWmiQuery(const std::wstring &commandLine);

} // namespace WmicCommand
