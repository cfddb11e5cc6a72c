// The autostart entry for any executable path and name: read back the way a desktop reads
// it (string escapes first, then the Exec quoting), both must come out unchanged, and the
// entry must keep its four lines.
#include "FuzzInput.h"
#include "platform/linux/DesktopEntry.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

namespace {

bool unescapeValue(const std::string &value, std::string &out)
{
    out.clear();
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size())
            return false;
        switch (value[i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            return false;
        }
    }
    return true;
}

// One double-quoted Exec argument at the start of `exec`; `rest` gets what follows it.
bool unquoteArgument(const std::string &exec, std::string &argument, std::string &rest)
{
    if (exec.empty() || exec[0] != '"')
        return false;
    argument.clear();
    for (size_t i = 1; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == '"') {
            rest = exec.substr(i + 1);
            return true;
        }
        if (c == '\\') {
            if (++i == exec.size())
                return false;
            const char next = exec[i];
            if (next != '"' && next != '`' && next != '$' && next != '\\')
                return false;
            argument += next;
        } else if (c == '%') {
            // Only "%%" stands for a "%"; anything else would be a field code.
            if (++i == exec.size() || exec[i] != '%')
                return false;
            argument += '%';
        } else {
            argument += c;
        }
    }
    return false;
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        result.push_back(text.substr(start, end - start));
    result.push_back(text.substr(start));
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string name = input.ConsumeRandomLengthString(64);
    const std::string exePath = input.ConsumeRemainingBytesAsString();
    // Neither a file name nor a text line of the entry can hold a NUL.
    if (name.find('\0') != std::string::npos || exePath.find('\0') != std::string::npos)
        return 0;
    const std::string flag = "---StartupByTaskMinWindow";
    const std::vector<std::string> entry = lines(DesktopEntry::autostartEntry(name, exePath, flag));
    FuzzInput::require(entry.size() == 5 && entry[0] == "[Desktop Entry]" &&
                       entry[1] == "Type=Application" && entry[4].empty());
    FuzzInput::require(entry[2].compare(0, 5, "Name=") == 0 &&
                       entry[3].compare(0, 5, "Exec=") == 0);

    std::string value;
    FuzzInput::require(unescapeValue(entry[2].substr(5), value) && value == name);
    std::string argument;
    std::string rest;
    FuzzInput::require(unescapeValue(entry[3].substr(5), value));
    FuzzInput::require(unquoteArgument(value, argument, rest));
    FuzzInput::require(argument == exePath && rest == " " + flag);
    return 0;
}
