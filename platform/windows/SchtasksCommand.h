#pragma once
#include <string>

// The schtasks command line that creates the logon task.
namespace SchtasksCommand {

// UTF-8 to UTF-16, as the wide Win32 calls take it.
std::wstring widen(const std::string &utf8);

// "/create /tn "<name>" /tr "\"<path>\" <flag>" /sc onlogon /rl highest": the path sits
// inside escaped quotation marks, so the task's command keeps it as one argument.
std::wstring arguments(const std::wstring &taskName, const std::wstring &exePath,
                       const std::wstring &startFlag);

} // namespace SchtasksCommand
