#include "platform/windows/SchtasksCommand.h"

#include <windows.h>

namespace SchtasksCommand {

std::wstring widen(const std::string &utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::wstring arguments(const std::wstring &taskName, const std::wstring &exePath,
                       const std::wstring &startFlag)
{
    // Plain concatenation: a "%2" inside the name or the path stays what it is.
    return L"/create /tn \"" + taskName + L"\" /tr \"\\\"" + exePath + L"\\\" " + startFlag +
           L"\" /sc onlogon /rl highest";
}

} // namespace SchtasksCommand
