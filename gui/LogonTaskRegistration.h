#pragma once
#include <functional>

struct AppConfig;

// Registers the program to start at every logon, with its window hidden, when the
// configuration asks for it; a failure is logged and shows the error code in a modal box,
// opened once the event loop runs and without holding anything up.
void registerLogonTask(const AppConfig &config);

// Replaces the box that reports a failed registration (an empty function restores it), so
// tests never block on a modal dialog.
void setLogonTaskErrorBox(std::function<void(unsigned long errorCode)> box);
