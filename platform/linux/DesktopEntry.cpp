#include "platform/linux/DesktopEntry.h"

namespace DesktopEntry {

std::string quotedExecArgument(const std::string &argument)
{
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        // A lone "%" would start a field code.
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + '"';
}

std::string escapedValue(const std::string &value)
{
    std::string escaped;
    for (const char c : value) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string autostartEntry(const std::string &name, const std::string &exePath,
                           const std::string &startFlag)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           escapedValue(name) +
           "\n"
           "Exec=" +
           escapedValue(quotedExecArgument(exePath) + ' ' + startFlag) + "\n";
}

} // namespace DesktopEntry
