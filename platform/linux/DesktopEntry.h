#pragma once
#include <string>

// Texts of a Desktop Entry file (freedesktop.org) as the autostart entry needs them.
namespace DesktopEntry {

// One argument of an Exec key, quoted so that blanks, quotation marks, backslashes, "$",
// "`" and "%" reach the program unchanged (before the file's string escaping).
std::string quotedExecArgument(const std::string &argument);

// A string value as the file stores it: backslash, newline, tab and carriage return escaped.
std::string escapedValue(const std::string &value);

// The whole entry: runs `exePath` with `startFlag` (a plain word) when the user logs on.
std::string autostartEntry(const std::string &name, const std::string &exePath,
                           const std::string &startFlag);

} // namespace DesktopEntry
