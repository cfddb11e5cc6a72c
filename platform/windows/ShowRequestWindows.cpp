#include "platform/ShowRequest.h"

#include <windows.h>

// A message-only window of our own class receives a registered message. FindWindowExW looks
// only at the caller's desktop, so a copy reaches the one running in its own session.
namespace {
const wchar_t className[] = L"Zorvex_V2.0 show request";

UINT showMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Zorvex_V2.0 show window");
    return message;
}

LRESULT CALLBACK listenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != 0 && message == showMessage()) {
        auto *onRequest =
            reinterpret_cast<std::function<void()> *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (onRequest && *onRequest)
            (*onRequest)();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

struct ShowRequestListener::Impl
{
    std::function<void()> onRequest;
    HWND window = nullptr;
};

ShowRequestListener::ShowRequestListener(std::function<void()> onRequest) : impl(new Impl)
{
    impl->onRequest = std::move(onRequest);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = listenerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass); // fails harmlessly when already registered
    impl->window = CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
    if (impl->window)
        SetWindowLongPtrW(impl->window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(&impl->onRequest));
}

ShowRequestListener::~ShowRequestListener()
{
    if (impl->window)
        DestroyWindow(impl->window);
}

bool ShowRequestListener::isListening() const
{
    return impl->window != nullptr;
}

bool ShowRequest::send()
{
    HWND listener = FindWindowExW(HWND_MESSAGE, nullptr, className, nullptr);
    if (!listener || showMessage() == 0)
        return false;
    // The user just started this copy, so it may hand the foreground to the running one.
    DWORD process = 0;
    GetWindowThreadProcessId(listener, &process);
    AllowSetForegroundWindow(process);
    return PostMessageW(listener, showMessage(), 0, 0) != 0;
}
