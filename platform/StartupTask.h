#pragma once
#include <string>

// Registration of the program as a task that starts at every logon of the user.
namespace StartupTask {

// The argument the logon task starts the program with; the window then stays hidden.
constexpr char kStartFlag[] = "---StartupByTaskMinWindow";

struct Result
{
    bool registered = false;
    unsigned long errorCode = 0; // the system's error code when not registered
};

// Arranges for `exePath` to be started with the argument `startFlag` at every logon, under
// `taskName`. All texts are UTF-8.
Result registerAtLogon(const std::string &taskName, const std::string &exePath,
                       const std::string &startFlag);

} // namespace StartupTask
