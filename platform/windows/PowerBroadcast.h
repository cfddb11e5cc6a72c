#pragma once
#include <windows.h>

// Power broadcasts to the window, kept free of Qt: the window's nativeEvent hands each message
// to isResume().
namespace PowerBroadcast {

// True for WM_POWERBROADCAST with PBT_APMRESUMEAUTOMATIC, which Windows sends on every wake-up
// (PBT_APMRESUMESUSPEND follows only when a user is present, so it is left out).
bool isResume(UINT message, WPARAM wParam);

} // namespace PowerBroadcast
