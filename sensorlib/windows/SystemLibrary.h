#pragma once
// Loads a DLL from the system folder only: never from the current folder or PATH, where
// another program could have put a file of the same name.
#include <windows.h>

namespace hwsensors {

/// nullptr when System32 has no such library.
HMODULE loadSystemLibrary(const wchar_t *fileName);

} // namespace hwsensors
