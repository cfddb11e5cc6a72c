// Stands in for wmic beside Tarnix.exe (a program started by name is looked for in the
// starting program's folder first): it marks that the inventory has begun, then holds every
// query back until the check creates "wmic-release" in the same folder, and answers nothing.
#include <windows.h>

#include <string>

namespace {
std::wstring besideMe(const wchar_t *name)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}
} // namespace

int wmain()
{
    const HANDLE started = CreateFileW(besideMe(L"wmic-started").c_str(), GENERIC_WRITE, 0,
                                       nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (started != INVALID_HANDLE_VALUE)
        CloseHandle(started);
    const std::wstring release = besideMe(L"wmic-release");
    // Bounded, so a check that dies never leaves it behind for long.
    for (int i = 0; i < 1200 && GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES;
         ++i)
        Sleep(50);
    return 0;
}
