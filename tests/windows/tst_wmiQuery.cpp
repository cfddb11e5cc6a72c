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

static void commandLines()
{
    struct Row
    {
        const wchar_t *line;
        const wchar_t *className;
        Strings properties;
        const wchar_t *where;
    };
    const Row rows[] = {
        {L"wmic cpu get Name", L"Win32_Processor", {L"Name"}, L""},
        {L"wmic baseboard get product,Manufacturer",
         L"Win32_BaseBoard",
         {L"product", L"Manufacturer"},
         L""},
        {L"wmic memorychip get capacity, speed, manufacturer",
         L"Win32_PhysicalMemory",
         {L"capacity", L"speed", L"manufacturer"},
         L""},
        {L"wmic diskdrive get model,size", L"Win32_DiskDrive", {L"model", L"size"}, L""},
        {L"wmic path win32_VideoController get AdapterRAM,Name",
         L"win32_VideoController",
         {L"AdapterRAM", L"Name"},
         L""},
        {L"wmic path Win32_SoundDevice get Name", L"Win32_SoundDevice", {L"Name"}, L""},
        {L"wmic nic where \"NetEnabled=true\" get Name",
         L"Win32_NetworkAdapter",
         {L"Name"},
         L"NetEnabled=true"},
        {L"wmic os get Caption", L"Win32_OperatingSystem", {L"Caption"}, L""},
        // Other spellings of the same requests.
        {L"WMIC CPU GET Name", L"Win32_Processor", {L"Name"}, L""},
        {L"  wmic   nic where (NetEnabled=true)  get  Name ,Speed ",
         L"Win32_NetworkAdapter",
         {L"Name", L"Speed"},
         L"NetEnabled=true"},
        {L"wmic cpu where \"Name like '%Xeon%'\" get Name",
         L"Win32_Processor",
         {L"Name"},
         L"Name like '%Xeon%'"},
    };
    for (const Row &row : rows) {
        const std::optional<WmiQuery> query = WmicCommand::toWmiQuery(row.line);
        WCHECK(query.has_value());
        if (!query)
            continue;
        WCHECK(query->className == row.className);
        WCHECK(query->properties == row.properties);
        WCHECK(query->where == row.where);
    }

    const wchar_t *refused[] = {
        L"",
        L"wmic",
        L"wmic cpu",
        L"wmic cpu get",
        L"wmic cpu get ,",
        L"wmic cpu list brief",
        L"wmic bios get Name", // an alias the inventory never uses
        L"wmic path get Name",
        L"wmic cpu where get Name",
        L"wmic cpu where \"\" get Name",
        L"wmic nic where \"NetEnabled=true get Name",
        L"wmic cpu get Name /format:list",
        L"wmic cpu get Name;DROP",
        L"cmd /c wmic cpu get Name",
    };
    for (const wchar_t *line : refused)
        WCHECK(!WmicCommand::toWmiQuery(line).has_value());
}

static void selectStatements()
{
    WCHECK(Wmi::selectStatement({L"Win32_BaseBoard", {L"product", L"Manufacturer"}, L""}) ==
           L"SELECT product,Manufacturer FROM Win32_BaseBoard");
    WCHECK(Wmi::selectStatement({L"Win32_NetworkAdapter", {L"Name"}, L"NetEnabled=true"}) ==
           L"SELECT Name FROM Win32_NetworkAdapter WHERE NetEnabled=true");
}

static std::wstring textOf(VARTYPE vt, long long number, CIMTYPE type)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    v.llVal = 0;
    switch (vt) {
    case VT_I1:
        v.cVal = static_cast<CHAR>(number);
        break;
    case VT_UI1:
        v.bVal = static_cast<BYTE>(number);
        break;
    case VT_I2:
        v.iVal = static_cast<SHORT>(number);
        break;
    case VT_I4:
        v.lVal = static_cast<LONG>(number);
        break;
    case VT_BOOL:
        v.boolVal = number ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    default:
        v.llVal = number;
    }
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

static void valueTexts()
{
    // uint32 and uint16 arrive as VT_I4: a 4 GiB card's AdapterRAM must not turn negative.
    WCHECK(textOf(VT_I4, -1048576, CIM_UINT32) == L"4293918720");
    WCHECK(textOf(VT_I4, -1, CIM_UINT32) == L"4294967295");
    WCHECK(textOf(VT_I4, 3200, CIM_UINT32) == L"3200");
    WCHECK(textOf(VT_I4, 65535, CIM_UINT16) == L"65535");
    WCHECK(textOf(VT_I4, -5, CIM_SINT32) == L"-5");
    WCHECK(textOf(VT_I2, -3, CIM_SINT8) == L"-3");
    WCHECK(textOf(VT_UI1, 200, CIM_UINT8) == L"200");
    WCHECK(textOf(VT_I1, -7, CIM_SINT8) == L"-7");
    WCHECK(textOf(VT_I8, -9000000000LL, CIM_SINT64) == L"-9000000000");
    WCHECK(textOf(VT_UI8, -1, CIM_UINT64) == L"18446744073709551615");
    WCHECK(textOf(VT_BOOL, 1, CIM_BOOLEAN) == L"TRUE");
    WCHECK(textOf(VT_BOOL, 0, CIM_BOOLEAN) == L"FALSE");
    WCHECK(textOf(VT_NULL, 0, CIM_STRING) == L"");
    WCHECK(textOf(VT_EMPTY, 0, CIM_UINT32) == L"");

    // uint64 and dates come as strings and stay exactly as WMI wrote them, blanks included.
    WCHECK(textOfString(L"17179869184", CIM_UINT64) == L"17179869184");
    WCHECK(textOfString(L"20240101120000.000000+060", CIM_DATETIME) ==
           L"20240101120000.000000+060");
    WCHECK(textOfString(L"Intel(R) Xeon(R) CPU           E5645  @ 2.40GHz", CIM_STRING) ==
           L"Intel(R) Xeon(R) CPU           E5645  @ 2.40GHz");
    WCHECK(textOfString(L"", CIM_STRING) == L"");

    VARIANT strings;
    VariantInit(&strings);
    strings.vt = VT_ARRAY | VT_BSTR;
    strings.parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
    const wchar_t *items[] = {L"a b", L"c"};
    for (LONG i = 0; i < 2; ++i) {
        BSTR item = SysAllocString(items[i]);
        SafeArrayPutElement(strings.parray, &i, item);
        SysFreeString(item);
    }
    WCHECK(Wmi::valueText(strings, CIM_STRING | CIM_FLAG_ARRAY) == L"{\"a b\",\"c\"}");
    VariantClear(&strings);

    VARIANT numbers;
    VariantInit(&numbers);
    numbers.vt = VT_ARRAY | VT_I4;
    numbers.parray = SafeArrayCreateVector(VT_I4, 0, 2);
    const LONG values[] = {-1, 7};
    for (LONG i = 0; i < 2; ++i)
        SafeArrayPutElement(numbers.parray, &i, const_cast<LONG *>(&values[i]));
    WCHECK(Wmi::valueText(numbers, CIM_UINT32 | CIM_FLAG_ARRAY) == L"{4294967295,7}");
    VariantClear(&numbers);

    // The array's own element type counts, not the variant's claim: elements wider than the
    // claimed type must neither overrun nor be misread.
    VARIANT mixed;
    VariantInit(&mixed);
    mixed.vt = VT_ARRAY | VT_I4;
    mixed.parray = SafeArrayCreateVector(VT_VARIANT, 0, 2);
    VARIANT one;
    VariantInit(&one);
    one.vt = VT_I4;
    one.lVal = 1;
    VARIANT word;
    VariantInit(&word);
    word.vt = VT_BSTR;
    word.bstrVal = SysAllocString(L"x");
    LONG index = 0;
    SafeArrayPutElement(mixed.parray, &index, &one);
    index = 1;
    SafeArrayPutElement(mixed.parray, &index, &word);
    VariantClear(&word);
    WCHECK(Wmi::valueText(mixed, CIM_SINT32 | CIM_FLAG_ARRAY) == L"{1,\"x\"}");
    VariantClear(&mixed);

    VARIANT none;
    VariantInit(&none);
    none.vt = VT_ARRAY | VT_I4;
    none.parray = SafeArrayCreateVector(VT_I4, 0, 0);
    WCHECK(Wmi::valueText(none, CIM_UINT32 | CIM_FLAG_ARRAY) == L"{}");
    VariantClear(&none);
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

    // Wine's provider has Capacity only; Speed and Manufacturer stay empty cells.
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
    selectStatements();
    valueTexts();
    inventoryQueries();
    unusualAnswers();
    apartments();
    return wintestSummary("tst_wmiQuery");
}
