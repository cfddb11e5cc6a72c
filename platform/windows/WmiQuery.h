#pragma once
#include <wbemidl.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// One WMI query over COM, for the inventory where the wmic tool is gone: the same classes,
// properties and filters, with every value written as wmic would print it.
struct WmiQuery
{
    std::wstring className;
    std::vector<std::wstring> properties;
    std::wstring where; // WQL condition; empty for all instances
};

// The answer: the properties in the order asked for, with WMI's own spelling of their
// names, and one row of value texts per instance. A property an instance lacks (older or
// partial WMI providers) gives an empty cell, as an unset value does in wmic.
struct WmiTable
{
    std::vector<std::wstring> columns;
    std::vector<std::vector<std::wstring>> rows;
};

namespace Wmi {

// "SELECT a,b FROM class" with " WHERE condition" when there is one.
std::wstring selectStatement(const WmiQuery &query);

// A property value the way wmic prints it: strings (64-bit integers and dates among them,
// which WMI hands out as strings) as they are, integers in decimal read with the
// signedness of their CIM type, booleans TRUE/FALSE, NULL as nothing, arrays as
// {"a","b"} or {1,2}.
std::wstring valueText(const VARIANT &value, CIMTYPE cimType);

// Runs the query in ROOT\CIMV2 on the calling thread. Joins the thread's COM apartment,
// whatever its kind, and tolerates a process whose COM security is already set. Nothing
// when COM, the connection or the query fails (WMI refuses a condition on a property the
// class lacks); a table without rows when no instance matches.
std::optional<WmiTable> run(const WmiQuery &query);

// The same on a thread of its own, so the caller's apartment never matters, waiting at most
// `timeout`. A query still running then is left to finish alone and gives nothing.
std::optional<WmiTable> runOnWorker(const WmiQuery &query, std::chrono::milliseconds timeout);

} // namespace Wmi
