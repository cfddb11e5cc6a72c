// The session ending: which messages make the program shut down, also as a real window gets
// them.
#include "platform/windows/SessionEnd.h"
#include "winTestMain.h"

namespace {

struct Row
{
    const char *name;
    UINT message;
    WPARAM wParam;
    bool ends;
};

const Row rows[] = {
    {"session ends", WM_ENDSESSION, TRUE, true},
    {"session ends, log-off flag in lParam only", WM_ENDSESSION, 1, true},
    // Asked first; another program may still refuse, and the program would be gone for nothing.
    {"asked whether it may end", WM_QUERYENDSESSION, 0, false},
    {"end cancelled", WM_ENDSESSION, FALSE, false},
    {"closing the window only hides it", WM_CLOSE, 0, false},
    {"TRUE on another message", WM_POWERBROADCAST, TRUE, false},
};

int endsSeen = 0;

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (SessionEnd::endsSession(message, wParam))
        ++endsSeen;
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

static void decodeRows()
{
    for (const Row &row : rows) {
        const bool got = SessionEnd::endsSession(row.message, row.wParam);
        if (got != row.ends)
            std::printf("row \"%s\": got %d\n", row.name, got ? 1 : 0);
        WCHECK(got == row.ends);
    }
}

static void deliveredToWindow()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = countingProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TarnixSessionEndTest";
    WCHECK(RegisterClassW(&windowClass) != 0);
    // Message-only: the tests run without a display.
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, instance, nullptr);
    WCHECK(window != nullptr);
    SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);
    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    WCHECK(endsSeen == 1);
    DestroyWindow(window);
}

int main()
{
    decodeRows();
    deliveredToWindow();
    return wintestSummary("tst_sessionEnd");
}
