#include "Pdh.h"

#include "SystemLibrary.h"

#include <pdhmsg.h>

namespace hwsensors {

namespace {

// Percentages such as "% Processor Performance" go above 100 while the processor boosts,
// and counters are read in their own units.
constexpr DWORD kFormat = PDH_FMT_DOUBLE | PDH_FMT_NOSCALE | PDH_FMT_NOCAP100;

bool validStatus(DWORD status)
{
    return status == PDH_CSTATUS_VALID_DATA || status == PDH_CSTATUS_NEW_DATA;
}

template <typename Function> bool resolve(HMODULE library, const char *name, Function &out)
{
    out = reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)));
    return out != nullptr;
}

} // namespace

std::unique_ptr<Pdh> Pdh::load()
{
    const HMODULE library = loadSystemLibrary(L"pdh.dll");
    if (!library)
        return nullptr;
    PdhFunctions f{};
    const bool complete =
        resolve(library, "PdhOpenQueryW", f.openQuery) &&
        resolve(library, "PdhAddEnglishCounterW", f.addEnglishCounter) &&
        resolve(library, "PdhCollectQueryData", f.collectQueryData) &&
        resolve(library, "PdhGetFormattedCounterValue", f.getFormattedCounterValue) &&
        resolve(library, "PdhGetFormattedCounterArrayW", f.getFormattedCounterArray) &&
        resolve(library, "PdhCloseQuery", f.closeQuery);
    // pdh.dll stays loaded: queries of other sources may outlive this object's callers.
    return complete ? std::make_unique<Pdh>(f) : nullptr;
}

PdhQuery::PdhQuery(const Pdh &pdh) : api(pdh.functions())
{
    PDH_HQUERY opened = nullptr;
    if (api.openQuery(nullptr, 0, &opened) == ERROR_SUCCESS)
        query = opened;
}

PdhQuery::~PdhQuery()
{
    if (query)
        api.closeQuery(query);
}

int PdhQuery::addCounter(const wchar_t *englishPath)
{
    if (!query)
        return -1;
    PDH_HCOUNTER counter = nullptr;
    if (api.addEnglishCounter(query, englishPath, 0, &counter) != ERROR_SUCCESS || !counter)
        return -1;
    counters.push_back(counter);
    return static_cast<int>(counters.size()) - 1;
}

bool PdhQuery::collect()
{
    collected = query && !counters.empty() && api.collectQueryData(query) == ERROR_SUCCESS;
    return collected;
}

bool PdhQuery::value(int counter, double &out) const
{
    if (!collected || counter < 0 || counter >= counterCount())
        return false;
    PDH_FMT_COUNTERVALUE value{};
    if (api.getFormattedCounterValue(counters[static_cast<size_t>(counter)], kFormat, nullptr,
                                     &value) != ERROR_SUCCESS ||
        !validStatus(value.CStatus))
        return false;
    out = value.doubleValue;
    return true;
}

bool PdhQuery::instances(int counter, std::vector<PdhInstance> &out) const
{
    out.clear();
    if (!collected || counter < 0 || counter >= counterCount())
        return false;
    const PDH_HCOUNTER handle = counters[static_cast<size_t>(counter)];
    // Instances come and go between calls (a GPU engine, a process). pdh.dll may answer a
    // too-small non-zero size with PDH_INVALID_ARGUMENT rather than the size it needs, so
    // every read starts by asking the size with 0 and no buffer, and asks again after a miss.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD bytes = 0;
        DWORD count = 0;
        PDH_STATUS status = api.getFormattedCounterArray(handle, kFormat, &bytes, &count, nullptr);
        if (static_cast<DWORD>(status) != PDH_MORE_DATA || bytes == 0)
            return false; // an error, or no instance at all
        if (arrayBuffer.size() < bytes)
            arrayBuffer.resize(bytes);
        bytes = static_cast<DWORD>(arrayBuffer.size());
        auto *items = reinterpret_cast<PDH_FMT_COUNTERVALUE_ITEM_W *>(arrayBuffer.data());
        status = api.getFormattedCounterArray(handle, kFormat, &bytes, &count, items);
        if (static_cast<DWORD>(status) == PDH_MORE_DATA ||
            static_cast<DWORD>(status) == PDH_INVALID_ARGUMENT)
            continue; // grown since the size was asked
        if (status != ERROR_SUCCESS)
            return false;
        for (DWORD i = 0; i < count; ++i) {
            if (items[i].szName && validStatus(items[i].FmtValue.CStatus))
                out.push_back(PdhInstance{items[i].szName, items[i].FmtValue.doubleValue});
        }
        return !out.empty();
    }
    return false;
}

} // namespace hwsensors
