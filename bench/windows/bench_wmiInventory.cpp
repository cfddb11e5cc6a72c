// The inventory's eight queries asked of WMI, as the program asks them where wmic is gone:
// each on a worker thread, each with its own connection. The first round is what a start
// of the program costs (WMI's DLLs loaded, the provider warmed up); later rounds the rest.
#include "platform/windows/WmiQuery.h"
#include "platform/windows/WmicCommand.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main()
{
    const wchar_t *lines[] = {
        L"wmic cpu get Name",
        L"wmic baseboard get product,Manufacturer",
        L"wmic memorychip get capacity, speed, manufacturer",
        L"wmic diskdrive get model,size",
        L"wmic path win32_VideoController get AdapterRAM,Name",
        L"wmic path Win32_SoundDevice get Name",
        L"wmic nic where \"NetEnabled=true\" get Name",
        L"wmic os get Caption",
    };
    using Clock = std::chrono::steady_clock;
    const int rounds = 10;
    std::vector<double> totals;
    for (int round = 0; round < rounds; ++round) {
        const Clock::time_point start = Clock::now();
        for (const wchar_t *line : lines) {
            if (const std::optional<WmiQuery> query = WmicCommand::toWmiQuery(line))
                Wmi::runOnWorker(*query, std::chrono::seconds(30));
        }
        totals.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::printf("first round (program start): %.1f ms\n", totals[0]);
    std::vector<double> later(totals.begin() + 1, totals.end());
    std::sort(later.begin(), later.end());
    std::printf("later rounds: median %.1f ms, min %.1f ms, max %.1f ms\n", later[later.size() / 2],
                later.front(), later.back());
    return 0;
}
