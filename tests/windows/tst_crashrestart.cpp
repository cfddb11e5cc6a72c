// A crashing program with the restart filter: a crash more than a minute after its start
// starts a new copy without arguments; an earlier one does not.
#include "winTestMain.h"

#include <windows.h>

#include <string>

namespace {

std::wstring folderOfThisProgram()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring freshFolder(const wchar_t *name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
    DeleteFileW((folder + L"\\crash_restarted.txt").c_str());
    CreateDirectoryW(folder.c_str(), NULL);
    return folder;
}

// Runs crash_probe.exe in the folder with its stamp set back; returns its exit code.
DWORD runProbe(const std::wstring &folder, int backMs)
{
    const std::wstring probe = folderOfThisProgram() + L"crash_probe.exe";
    std::wstring commandLine = L"\"" + probe + L"\" " + std::to_wstring(backMs);
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    if (!CreateProcessW(probe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                        &si, &pi)) {
        std::printf("cannot start crash_probe.exe (%lu)\n", GetLastError());
        return 0;
    }
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, 90000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

// The marker's text once it appears within the wait, else empty.
std::string waitForMarker(const std::wstring &folder, DWORD waitMs)
{
    const std::wstring marker = folder + L"\\crash_restarted.txt";
    for (DWORD waited = 0;; waited += 100) {
        HANDLE file = CreateFileW(marker.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                  OPEN_EXISTING, 0, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            char text[64] = {};
            DWORD read = 0;
            ReadFile(file, text, sizeof(text) - 1, &read, NULL);
            CloseHandle(file);
            if (read > 0)
                return std::string(text, read);
        }
        if (waited >= waitMs)
            return std::string();
        Sleep(100);
    }
}

void removeFolder(const std::wstring &folder)
{
    DeleteFileW((folder + L"\\crash_restarted.txt").c_str());
    RemoveDirectoryW(folder.c_str());
}

void lateCrashStartsACopyWithoutArguments()
{
    const std::wstring folder = freshFolder(L"tarnix-crash-late");
    WCHECK(runProbe(folder, 61000) == EXCEPTION_ACCESS_VIOLATION);
    WCHECK(waitForMarker(folder, 20000) == "argc=1\n");
    removeFolder(folder);
}

void earlyCrashStartsNothing()
{
    const std::wstring folder = freshFolder(L"tarnix-crash-early");
    WCHECK(runProbe(folder, 30000) == EXCEPTION_ACCESS_VIOLATION);
    WCHECK(waitForMarker(folder, 3000).empty());
    removeFolder(folder);
}

// The no-restart case ends in wine's default crash handling, which starts winedbg: turned
// off for the probe and what it starts. Wine reads the overrides from each process's own
// environment.
void keepDebuggerAway()
{
    wchar_t current[1024] = {};
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", current, 1024);
    std::wstring overrides = current;
    overrides += overrides.empty() ? L"winedbg.exe=d" : L";winedbg.exe=d";
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides.c_str());
}

} // namespace

int main()
{
    keepDebuggerAway();
    lateCrashStartsACopyWithoutArguments();
    earlyCrashStartsNothing();
    return wintestSummary("tst_crashrestart");
}
