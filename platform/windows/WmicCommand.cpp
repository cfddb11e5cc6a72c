#include "platform/windows/WmicCommand.h"

#include <cwctype>
#include <vector>

namespace {

struct Alias
{
    const wchar_t *alias;
    const wchar_t *className;
};

const Alias aliases[] = {
    {L"cpu", L"Win32_Processor"},
    {L"baseboard", L"Win32_BaseBoard"},
    {L"memorychip", L"Win32_PhysicalMemory"},
    {L"diskdrive", L"Win32_DiskDrive"},
    {L"nic", L"Win32_NetworkAdapter"},
    {L"os", L"Win32_OperatingSystem"},
};

bool sameWord(const std::wstring &a, const wchar_t *b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return i == a.size() && !b[i];
}

bool isName(const std::wstring &text)
{
    if (text.empty())
        return false;
    for (const wchar_t c : text) {
        if (!(std::iswalnum(c) || c == L'_') || c > 0x7F)
            return false;
    }
    return true;
}

// Blank-separated words; a double-quoted stretch is one word, without its quotes. An
// unclosed quote makes the whole line unreadable.
std::optional<std::vector<std::wstring>> words(const std::wstring &line)
{
    std::vector<std::wstring> result;
    std::wstring word;
    bool inWord = false;
    bool quoted = false;
    for (const wchar_t c : line) {
        if (c == L'"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && std::iswspace(c)) {
            if (inWord)
                result.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        result.push_back(word);
    return result;
}

std::wstring withoutParentheses(std::wstring condition)
{
    if (condition.size() >= 2 && condition.front() == L'(' && condition.back() == L')')
        return condition.substr(1, condition.size() - 2);
    return condition;
}

// "capacity," "speed," "manufacturer" or "model,size": the words after get, split at commas.
std::optional<std::vector<std::wstring>> propertyList(const std::vector<std::wstring> &list)
{
    std::vector<std::wstring> properties;
    for (const std::wstring &word : list) {
        size_t start = 0;
        while (start <= word.size()) {
            size_t comma = word.find(L',', start);
            if (comma == std::wstring::npos)
                comma = word.size();
            const std::wstring name = word.substr(start, comma - start);
            if (!name.empty()) {
                if (!isName(name))
                    return std::nullopt;
                properties.push_back(name);
            }
            start = comma + 1;
        }
    }
    if (properties.empty())
        return std::nullopt;
    return properties;
}

} // namespace

namespace WmicCommand {

std::optional<WmiQuery> toWmiQuery(const std::wstring &commandLine)
{
    const std::optional<std::vector<std::wstring>> parsed = words(commandLine);
    if (!parsed || parsed->size() < 3)
        return std::nullopt;
    const std::vector<std::wstring> &w = *parsed;
    if (!sameWord(w[0], L"wmic") && !sameWord(w[0], L"wmic.exe"))
        return std::nullopt;

    WmiQuery query;
    size_t next = 1;
    if (sameWord(w[next], L"path")) {
        if (next + 1 >= w.size() || !isName(w[next + 1]))
            return std::nullopt;
        query.className = w[next + 1];
        next += 2;
    } else {
        for (const Alias &alias : aliases) {
            if (sameWord(w[next], alias.alias))
                query.className = alias.className;
        }
        if (query.className.empty())
            return std::nullopt;
        ++next;
    }

    if (next < w.size() && sameWord(w[next], L"where")) {
        if (next + 1 >= w.size())
            return std::nullopt;
        query.where = withoutParentheses(w[next + 1]);
        if (query.where.empty())
            return std::nullopt;
        next += 2;
    }

    if (next >= w.size() || !sameWord(w[next], L"get"))
        return std::nullopt;
    const std::optional<std::vector<std::wstring>> properties =
        propertyList(std::vector<std::wstring>(w.begin() + next + 1, w.end()));
    if (!properties)
        return std::nullopt;
    query.properties = *properties;
    return query;
}

} // namespace WmicCommand
