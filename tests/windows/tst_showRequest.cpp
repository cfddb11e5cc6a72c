// A later copy's show request reaches the running copy's listener through its window
// message, and nothing answers once the listener is gone.
#include "platform/ShowRequest.h"
#include "winTestMain.h"

#include <windows.h>

namespace {
// What the GUI thread's event loop does for the listener's window.
void pumpMessages()
{
    for (int round = 0; round < 20; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}
} // namespace

int main()
{
    int shown = 0;
    WCHECK(!ShowRequest::send());
    {
        ShowRequestListener listener([&shown] { ++shown; });
        WCHECK(listener.isListening());
        WCHECK(ShowRequest::send());
        pumpMessages();
        WCHECK(shown == 1);
        WCHECK(ShowRequest::send());
        WCHECK(ShowRequest::send());
        pumpMessages();
        WCHECK(shown == 3);
    }
    WCHECK(!ShowRequest::send());
    pumpMessages();
    WCHECK(shown == 3);
    return wintestSummary("showRequest");
}
