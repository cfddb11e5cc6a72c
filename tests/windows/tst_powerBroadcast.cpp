// Power broadcasts: which messages count as waking from sleep, also as a real window gets them.
#include "platform/windows/PowerBroadcast.h"
#include "winTestMain.h"

namespace {

struct Row
{
    const char *name;
    UINT message;
    WPARAM wParam;
    bool resume;
};

const Row rows[] = {
    {"automatic resume", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, true},
    // Follows the automatic one when a user is present: counting it would search twice.
    {"resume with a user present", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, false},
    {"going to sleep", WM_POWERBROADCAST, PBT_APMSUSPEND, false},
    {"power source changed", WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, false},
    {"power setting changed", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, false},
    {"resume code on another message", WM_DEVICECHANGE, PBT_APMRESUMEAUTOMATIC, false},
    {"resume code on a plain message", WM_USER, PBT_APMRESUMEAUTOMATIC, false},
};

int resumesSeen = 0;

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (PowerBroadcast::isResume(message, wParam))
        ++resumesSeen;
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

static void decodeRows()
{
    for (const Row &row : rows) {
        const bool got = PowerBroadcast::isResume(row.message, row.wParam);
        if (got != row.resume)
            std::printf("row \"%s\": got %d\n", row.name, got ? 1 : 0);
        WCHECK(got == row.resume);
    }
}

static void deliveredToWindow()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = countingProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TarnixPowerTest";
    WCHECK(RegisterClassW(&windowClass) != 0);
    // Message-only: the tests run without a display.
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, instance, nullptr);
    WCHECK(window != nullptr);
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    WCHECK(resumesSeen == 1);
    DestroyWindow(window);
}

int main()
{
    decodeRows();
    deliveredToWindow();
    return wintestSummary("tst_powerBroadcast");
}
