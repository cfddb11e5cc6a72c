#pragma once
// Performance counters through pdh.dll, loaded at run time. Every entry point sits in a
// function table so tests can hand in fakes.
//
// Wine knows almost no counters and its PdhGetFormattedCounterArrayW aborts the process, so
// the array call is only ever made for a counter that was added to a query whose latest
// collection succeeded.
#include <windows.h>

#include <pdh.h>

#include <memory>
#include <vector>

namespace hwsensors {

/// The pdh.dll entry points the library uses.
struct PdhFunctions
{
    PDH_STATUS(WINAPI *openQuery)(LPCWSTR dataSource, DWORD_PTR userData, PDH_HQUERY *query);
    PDH_STATUS(WINAPI *addEnglishCounter)
    (PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData, PDH_HCOUNTER *counter);
    PDH_STATUS(WINAPI *collectQueryData)(PDH_HQUERY query);
    PDH_STATUS(WINAPI *getFormattedCounterValue)
    (PDH_HCOUNTER counter, DWORD format, LPDWORD type, PPDH_FMT_COUNTERVALUE value);
    PDH_STATUS(WINAPI *getFormattedCounterArray)
    (PDH_HCOUNTER counter, DWORD format, LPDWORD bufferBytes, LPDWORD itemCount,
     PPDH_FMT_COUNTERVALUE_ITEM_W items);
    PDH_STATUS(WINAPI *closeQuery)(PDH_HQUERY query);
};

/// pdh.dll itself: a query factory. Shared read-only by every source that reads counters.
class Pdh
{
public:
    /// nullptr when pdh.dll or one of its entry points is missing.
    static std::unique_ptr<Pdh> load();
    /// Tests build one from fake functions; every member must be set.
    explicit Pdh(const PdhFunctions &functions) : api(functions) {}

    const PdhFunctions &functions() const { return api; }

private:
    PdhFunctions api;
};

/// One instance of a wildcard counter: its name points into the query's buffer and stays
/// valid until the next call on that query.
struct PdhInstance
{
    const wchar_t *name;
    double value;
};

/// One PDH query: add the counters, then each collect() samples them all at once. A rate
/// counter (a percentage of time, a utilisation) has a value only from the second collection
/// on, so callers collect once right after adding to have values on their first pass.
class PdhQuery
{
public:
    explicit PdhQuery(const Pdh &pdh);
    ~PdhQuery();
    PdhQuery(const PdhQuery &) = delete;
    PdhQuery &operator=(const PdhQuery &) = delete;

    /// False when the query could not be opened; then no counter can be added.
    bool isOpen() const { return query != nullptr; }

    /// Adds a counter by its English path ("\Processor Information(_Total)\Processor
    /// Frequency"; "(*)" for every instance). Returns its index, or -1 when this machine has
    /// no such counter.
    int addCounter(const wchar_t *englishPath);
    int counterCount() const { return static_cast<int>(counters.size()); }

    /// Samples every counter. False when the collection failed: no value can be read until a
    /// later collection succeeds.
    bool collect();

    /// The latest value of a single-instance counter; false when there is none (first sample
    /// of a rate counter, failed collection, bad index).
    bool value(int counter, double &out) const;

    /// The latest values of every instance of a wildcard counter, instances with invalid
    /// data left out; false (and \a out empty) when there are none. Reuses \a out's storage.
    bool instances(int counter, std::vector<PdhInstance> &out) const;

private:
    PdhFunctions api; // a copy: pdh.dll itself is never unloaded
    PDH_HQUERY query = nullptr;
    std::vector<PDH_HCOUNTER> counters;
    bool collected = false;
    mutable std::vector<unsigned char> arrayBuffer; // reused by every instances() call
};

} // namespace hwsensors
