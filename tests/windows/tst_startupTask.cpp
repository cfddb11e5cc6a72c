// The schtasks command line of the logon task.
#include "platform/windows/SchtasksCommand.h"
#include "winTestMain.h"

using SchtasksCommand::arguments;
using SchtasksCommand::widen;

int main()
{
    // The path with its blanks sits inside escaped quotation marks: one argument to the task.
    WCHECK(arguments(L"TarnixStartupTaskOKver---A1", L"C:/Program Files (x86)/Tarnix/Tarnix.exe",
                     L"---StartupByTaskMinWindow") ==
           L"/create /tn \"TarnixStartupTaskOKver---A1\" /tr \"\\\"C:/Program Files "
           L"(x86)/Tarnix/Tarnix.exe\\\" ---StartupByTaskMinWindow\" /sc onlogon /rl highest");

    // An empty AppID leaves the name ending in the three hyphens.
    WCHECK(arguments(L"TarnixStartupTaskOKver---", L"C:/T.exe", L"---StartupByTaskMinWindow") ==
           L"/create /tn \"TarnixStartupTaskOKver---\" /tr \"\\\"C:/T.exe\\\" "
           L"---StartupByTaskMinWindow\" /sc onlogon /rl highest");

    // Placeholder-like text in the name or the path is taken as it is.
    WCHECK(arguments(L"T%2", L"C:/100%3/T.exe", L"F") ==
           L"/create /tn \"T%2\" /tr \"\\\"C:/100%3/T.exe\\\" F\" /sc onlogon /rl highest");

    WCHECK(widen("C:/Tärnix/€.exe") == L"C:/T\u00e4rnix/\u20ac.exe");
    WCHECK(widen("").empty());

    return wintestSummary("tst_startupTask");
}
