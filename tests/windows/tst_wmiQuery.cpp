// The inventory's WMI queries: wmic command lines translated, values written as wmic prints
// them, and the eight queries asked of wine's own WMI from the apartments the program has.
#include "platform/windows/WmiQuery.h"
#include "platform/windows/WmicCommand.h"
#include "winTestMain.h"

#include <cwctype>
#include <thread>

using Strings = std::vector<std::wstring>;

static bool isDecimal(const std::wstring &text)
{
    if (text.empty())
        return false;
    for (const wchar_t c : text) {
        if (!std::iswdigit(c))
            return false;
    }
    return true;
}

// Each command line as the statement WMI is asked.
static void commandLines()
{
    const wchar_t *rows[][2] = {
        {L"wmic cpu get Name", L"SELECT Name FROM Win32_Processor"},
        {L"wmic baseboard get product,Manufacturer",
         L"SELECT product,Manufacturer FROM Win32_BaseBoard"},
        {L"wmic memorychip get capacity, speed, manufacturer",
         L"SELECT capacity,speed,manufacturer FROM Win32_PhysicalMemory"},
        {L"wmic diskdrive get model,size", L"SELECT model,size FROM Win32_DiskDrive"},
        {L"wmic path win32_VideoController get AdapterRAM,Name",
         L"SELECT AdapterRAM,Name FROM win32_VideoController"},
        {L"wmic path Win32_SoundDevice get Name", L"SELECT Name FROM Win32_SoundDevice"},
        {L"wmic nic where \"NetEnabled=true\" get Name",
         L"SELECT Name FROM Win32_NetworkAdapter WHERE NetEnabled=true"},
        {L"wmic os get Caption", L"SELECT Caption FROM Win32_OperatingSystem"},
        // Other spellings of the same requests.
        {L"WMIC CPU GET Name", L"SELECT Name FROM Win32_Processor"},
        {L"  wmic   nic where (NetEnabled=true)  get  Name ,Speed ",
         L"SELECT Name,Speed FROM Win32_NetworkAdapter WHERE NetEnabled=true"},
        {L"wmic cpu where \"Name like '%Xeon  E5%'\" get Name",
         L"SELECT Name FROM Win32_Processor WHERE Name like '%Xeon  E5%'"},
    };
    for (const auto &row : rows) {
        const std::optional<WmiQuery> query = WmicCommand::toWmiQuery(row[0]);
        WCHECK(query && Wmi::selectStatement(*query) == row[1]);
    }

    const wchar_t *refused[] = {
        L"wmic cpu",
        L"wmic cpu get ,",
        L"wmic cpu list brief",
        L"wmic bios get Name", // an alias the inventory never uses
        L"wmic path get Name",
        L"wmic cpu where get Name",
        L"wmic nic where \"NetEnabled=true get Name",
        L"wmic cpu get Name /format:list",
        L"wmic cpu get Name;DROP",
        L"cmd /c wmic cpu get Name",
    };
    for (const wchar_t *line : refused)
        WCHECK(!WmicCommand::toWmiQuery(line).has_value());
}

// The low bytes of the 64-bit member are every narrower member's value.
static std::wstring textOf(VARTYPE vt, long long number, CIMTYPE type)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    v.llVal = number;
    return Wmi::valueText(v, type);
}

static std::wstring textOfString(const wchar_t *text, CIMTYPE type)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    const std::wstring result = Wmi::valueText(v, type);
    VariantClear(&v);
    return result;
}

// An array of `vt` elements, each put from `values` as a variant of its own.
static std::wstring textOfArray(VARTYPE claimed, VARTYPE vt, std::vector<VARIANT> values,
                                CIMTYPE type)
{
    VARIANT array;
    VariantInit(&array);
    array.vt = VT_ARRAY | claimed;
    array.parray = SafeArrayCreateVector(vt, 0, static_cast<ULONG>(values.size()));
    for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
        VARIANT &value = values[static_cast<size_t>(i)];
        SafeArrayPutElement(array.parray, &i,
                            vt == VT_VARIANT ? static_cast<void *>(&value)
                            : vt == VT_BSTR  ? static_cast<void *>(value.bstrVal)
                                             : static_cast<void *>(&value.llVal));
    }
    const std::wstring result = Wmi::valueText(array, type | CIM_FLAG_ARRAY);
    VariantClear(&array);
    for (VARIANT &value : values)
        VariantClear(&value);
    return result;
}

static VARIANT variantOf(long long number)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.llVal = number;
    return v;
}

static VARIANT variantOf(const wchar_t *text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

static void valueTexts()
{
    struct Row
    {
        VARTYPE vt;
        long long number;
        CIMTYPE type;
        const wchar_t *expected;
    };
    const Row rows[] = {
        // uint32 and uint16 arrive as VT_I4: a 4 GiB card's AdapterRAM must not turn negative.
        {VT_I4, -1048576, CIM_UINT32, L"4293918720"},
        {VT_I4, 3200, CIM_UINT32, L"3200"},
        {VT_I4, 65535, CIM_UINT16, L"65535"},
        {VT_I4, -5, CIM_SINT32, L"-5"},
        {VT_I2, -3, CIM_SINT8, L"-3"},
        {VT_UI1, 200, CIM_UINT8, L"200"},
        {VT_I8, -9000000000LL, CIM_SINT64, L"-9000000000"},
        {VT_UI8, -1, CIM_UINT64, L"18446744073709551615"},
        {VT_BOOL, VARIANT_TRUE, CIM_BOOLEAN, L"TRUE"},
        {VT_BOOL, VARIANT_FALSE, CIM_BOOLEAN, L"FALSE"},
        {VT_NULL, 0, CIM_STRING, L""},
        {VT_EMPTY, 0, CIM_UINT32, L""},
    };
    for (const Row &row : rows)
        WCHECK(textOf(row.vt, row.number, row.type) == row.expected);

    // uint64 comes as a string; strings stay exactly as WMI wrote them, blanks included.
    WCHECK(textOfString(L"17179869184", CIM_UINT64) == L"17179869184");
    WCHECK(textOfString(L"Intel(R) Xeon(R) CPU           E5645  @ 2.40GHz", CIM_STRING) ==
           L"Intel(R) Xeon(R) CPU           E5645  @ 2.40GHz");

    WCHECK(textOfArray(VT_BSTR, VT_BSTR, {variantOf(L"a b"), variantOf(L"c")}, CIM_STRING) ==
           L"{\"a b\",\"c\"}");
    WCHECK(textOfArray(VT_I4, VT_I4, {variantOf(-1), variantOf(7)}, CIM_UINT32) ==
           L"{4294967295,7}");
    WCHECK(textOfArray(VT_I4, VT_I4, {}, CIM_UINT32) == L"{}");
    // The array's own element type counts, not the variant's claim: elements wider than the
    // claimed type must neither overrun nor be misread.
    WCHECK(textOfArray(VT_I4, VT_VARIANT, {variantOf(1), variantOf(L"x")}, CIM_SINT32) ==
           L"{1,\"x\"}");
}

static std::optional<WmiTable> ask(const wchar_t *commandLine)
{
    const std::optional<WmiQuery> query = WmicCommand::toWmiQuery(commandLine);
    WCHECK(query.has_value());
    return query ? Wmi::run(*query) : std::nullopt;
}

// What wine's WMI answers to the inventory's queries.
static void inventoryQueries()
{
    const auto cpu = ask(L"wmic cpu get Name");
    WCHECK(cpu && cpu->columns == Strings{L"Name"} && !cpu->rows.empty() &&
           !cpu->rows[0][0].empty());

    // The header takes WMI's spelling, not the command line's.
    const auto board = ask(L"wmic baseboard get product,Manufacturer");
    WCHECK(board && board->columns == (Strings{L"Product", L"Manufacturer"}) &&
           board->rows.size() == 1);

    // Wine 8 has Capacity only; Speed and Manufacturer stay empty cells.
    const auto memory = ask(L"wmic memorychip get capacity, speed, manufacturer");
    WCHECK(memory && !memory->rows.empty());
    if (memory && !memory->rows.empty()) {
        WCHECK(memory->columns[0] == L"Capacity");
        WCHECK(memory->rows[0].size() == 3);
        WCHECK(isDecimal(memory->rows[0][0]));
    }

    const auto disks = ask(L"wmic diskdrive get model,size");
    WCHECK(disks && disks->columns == (Strings{L"Model", L"Size"}) && !disks->rows.empty());
    for (const Strings &row : disks ? disks->rows : std::vector<Strings>())
        WCHECK(isDecimal(row[1]));

    const auto video = ask(L"wmic path win32_VideoController get AdapterRAM,Name");
    WCHECK(video && video->columns == (Strings{L"AdapterRAM", L"Name"}) && !video->rows.empty());
    if (video && !video->rows.empty())
        WCHECK(isDecimal(video->rows[0][0]));

    const auto sound = ask(L"wmic path Win32_SoundDevice get Name");
    WCHECK(sound && !sound->rows.empty() && !sound->rows[0][0].empty());

    const auto os = ask(L"wmic os get Caption");
    WCHECK(os && os->rows.size() == 1 && os->rows[0][0].rfind(L"Microsoft Windows", 0) == 0);

    // Wine's adapters have no NetEnabled, and a filter on a missing property is refused, not
    // answered empty; the unfiltered list answers.
    const auto nics = ask(L"wmic nic get Name");
    WCHECK(nics && !nics->rows.empty());
    WCHECK(!Wmi::run({L"Win32_NetworkAdapter", {L"Name"}, L"NoSuchProperty=true"}));
    std::printf("note: wine answers the filtered adapter query: %s\n",
                ask(L"wmic nic where \"NetEnabled=true\" get Name") ? "yes" : "no");
}

static void unusualAnswers()
{
    // Windows refuses an unknown class, wine answers it without instances.
    const auto noClass = Wmi::run({L"Win32_NoSuchClass", {L"Name"}, L""});
    WCHECK(!noClass || noClass->rows.empty());
    WCHECK(!Wmi::run({L"Win32_Processor", {}, L""}));
    WCHECK(!Wmi::run({L"", {L"Name"}, L""}));

    const auto none = Wmi::run({L"Win32_Processor", {L"Name"}, L"Name='no such processor'"});
    WCHECK(none && none->rows.empty() && none->columns == Strings{L"Name"});

    const auto partial = Wmi::run({L"Win32_Processor", {L"name", L"NoSuchProperty"}, L""});
    WCHECK(partial && partial->columns == (Strings{L"Name", L"NoSuchProperty"}));
    if (partial && !partial->rows.empty())
        WCHECK(partial->rows[0][1].empty() && !partial->rows[0][0].empty());
}

static const WmiQuery cpuQuery{L"Win32_Processor", {L"Name"}, L""};

// Whoever sets the process's COM security first keeps it; the query must live with that.
static void securityAlreadySet()
{
    WCHECK(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    WCHECK(SUCCEEDED(CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_CONNECT,
                                          RPC_C_IMP_LEVEL_IDENTIFY, nullptr, EOAC_NONE, nullptr)));
    const HRESULT again =
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    std::printf("note: a second CoInitializeSecurity gives 0x%08lx\n",
                static_cast<unsigned long>(again));
    const auto table = Wmi::run(cpuQuery);
    WCHECK(table && !table->rows.empty());
    CoUninitialize();
}

static void apartments()
{
    const std::optional<WmiTable> reference = Wmi::run(cpuQuery);
    WCHECK(reference && !reference->rows.empty());

    // A GUI thread lives in a single-threaded apartment and must stay in it.
    std::thread gui([&] {
        WCHECK(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        const auto here = Wmi::run(cpuQuery);
        WCHECK(here && reference && here->rows == reference->rows);
        const auto worker = Wmi::runOnWorker(cpuQuery, std::chrono::seconds(30));
        WCHECK(worker && reference && worker->rows == reference->rows);
        WCHECK(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) == S_FALSE);
        CoUninitialize();
        CoUninitialize();
    });
    gui.join();

    // A query that outlives its wait gives nothing; the next one is not disturbed.
    WCHECK(!Wmi::runOnWorker(cpuQuery, std::chrono::milliseconds(0)));
    const auto after = Wmi::runOnWorker(cpuQuery, std::chrono::seconds(30));
    WCHECK(after && reference && after->rows == reference->rows);
    WCHECK(!Wmi::runOnWorker({L"Win32_Processor", {}, L""}, std::chrono::seconds(30)));
}

int main()
{
    // First, before any query has set the process's security itself.
    securityAlreadySet();
    commandLines();
    valueTexts();
    inventoryQueries();
    unusualAnswers();
    apartments();
    return wintestSummary("tst_wmiQuery");
}
