#pragma once
#include <windows.h>

// The session ending (log-off, shut-down, restart), kept free of Qt: the Qt glue hands each
// window message to endsSession().
namespace SessionEnd {

// True for WM_ENDSESSION with wParam TRUE: the session really ends, and Windows ends the
// process soon after the message returns, so the program shuts down before it returns.
// WM_QUERYENDSESSION only asks (another program may still cancel the end) and a
// WM_ENDSESSION with FALSE says it was cancelled: both leave the program running.
bool endsSession(UINT message, WPARAM wParam);

} // namespace SessionEnd
