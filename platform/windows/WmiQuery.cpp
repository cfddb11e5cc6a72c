#include "platform/windows/WmiQuery.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <memory>

namespace {

// Releases the interface it holds; `out()` hands its slot to a function that fills it.
template <class T> class ComRef
{
public:
    ComRef() = default;
    ComRef(const ComRef &) = delete;
    ComRef &operator=(const ComRef &) = delete;
    ~ComRef()
    {
        if (ptr)
            ptr->Release();
    }
    T *operator->() const { return ptr; }
    T *get() const { return ptr; }
    T **out() { return &ptr; }
    void **outVoid() { return reinterpret_cast<void **>(&ptr); }

private:
    T *ptr = nullptr;
};

class Bstr
{
public:
    explicit Bstr(const std::wstring &text)
        : value(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
    }
    Bstr(const Bstr &) = delete;
    Bstr &operator=(const Bstr &) = delete;
    ~Bstr() { SysFreeString(value); }
    BSTR get() const { return value; }

private:
    BSTR value;
};

class Variant
{
public:
    Variant() { VariantInit(&value); }
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;
    ~Variant() { VariantClear(&value); }
    VARIANT value;
};

// Joins the thread's apartment for as long as it lives. A thread already in a
// single-threaded apartment (a GUI thread) stays in it: the query works there too.
class ComApartment
{
public:
    ComApartment() : result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;
    ~ComApartment()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
    bool usable() const { return SUCCEEDED(result) || result == RPC_E_CHANGED_MODE; }

private:
    HRESULT result;
};

std::wstring bstrText(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

// WMI hands unsigned CIM values in the next wider signed variant (uint32 as VT_I4, uint16
// as VT_I4), so a value above the signed range arrives negative; its CIM type says how to
// read the bits back.
std::wstring integerText(long long number, CIMTYPE type)
{
    switch (type) {
    case CIM_UINT8:
        return std::to_wstring(static_cast<unsigned long long>(number) & 0xFFu);
    case CIM_UINT16:
        return std::to_wstring(static_cast<unsigned long long>(number) & 0xFFFFu);
    case CIM_UINT32:
        return std::to_wstring(static_cast<unsigned long long>(number) & 0xFFFFFFFFu);
    case CIM_UINT64:
        return std::to_wstring(static_cast<unsigned long long>(number));
    default:
        return std::to_wstring(number);
    }
}

std::optional<long long> integerOf(const VARIANT &value)
{
    switch (value.vt) {
    case VT_I1:
        return static_cast<signed char>(value.cVal);
    case VT_UI1:
        return value.bVal;
    case VT_I2:
        return value.iVal;
    case VT_UI2:
        return value.uiVal;
    case VT_I4:
        return value.lVal;
    case VT_UI4:
        return value.ulVal;
    case VT_INT:
        return value.intVal;
    case VT_UINT:
        return value.uintVal;
    case VT_I8:
        return value.llVal;
    default:
        return std::nullopt;
    }
}

std::wstring scalarText(const VARIANT &value, CIMTYPE type)
{
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return std::wstring();
    case VT_BSTR:
        return bstrText(value.bstrVal);
    case VT_BOOL:
        return value.boolVal != VARIANT_FALSE ? L"TRUE" : L"FALSE";
    case VT_UI8:
        return std::to_wstring(value.ullVal);
    default:
        break;
    }
    if (const std::optional<long long> number = integerOf(value))
        return integerText(*number, type);

    // Reals and anything rarer: the variant's own text.
    Variant text;
    if (FAILED(VariantChangeType(&text.value, const_cast<VARIANT *>(&value), 0, VT_BSTR)))
        return std::wstring();
    return bstrText(text.value.bstrVal);
}

std::wstring arrayText(const VARIANT &value, CIMTYPE elementType)
{
    SAFEARRAY *array = value.parray;
    if (!array || SafeArrayGetDim(array) != 1)
        return std::wstring();
    // The array's own element type, not the variant's claim, says how much one element
    // writes: a larger one than the variant's union holds is never read.
    VARTYPE elementVt = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(array, &elementVt)) ||
        (elementVt != VT_VARIANT && SafeArrayGetElemsize(array) > sizeof(LONGLONG)))
        return std::wstring();
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);

    std::wstring text = L"{";
    bool first = true;
    for (LONG i = lower; i <= upper; ++i) {
        Variant element;
        HRESULT hr;
        if (elementVt == VT_VARIANT) {
            hr = SafeArrayGetElement(array, &i, &element.value);
        } else {
            // Every member of the variant's union starts at the same address.
            element.value.vt = elementVt;
            hr = SafeArrayGetElement(array, &i, &element.value.llVal);
        }
        if (FAILED(hr)) {
            element.value.vt = VT_EMPTY;
            continue;
        }
        if (!first)
            text += L',';
        first = false;
        if (element.value.vt == VT_BSTR)
            text += L'"' + bstrText(element.value.bstrVal) + L'"';
        else
            text += scalarText(element.value, elementType);
    }
    return text + L'}';
}

// The object's own spelling of each asked property, in the order asked. A property the
// object lacks keeps the asked spelling; its cells stay empty.
std::vector<std::wstring> propertyNames(IWbemClassObject *object,
                                        const std::vector<std::wstring> &asked)
{
    std::vector<std::wstring> own;
    SAFEARRAY *names = nullptr;
    if (SUCCEEDED(object->GetNames(nullptr, WBEM_FLAG_ALWAYS | WBEM_FLAG_NONSYSTEM_ONLY, nullptr,
                                   &names)) &&
        names) {
        LONG lower = 0;
        LONG upper = -1;
        SafeArrayGetLBound(names, 1, &lower);
        SafeArrayGetUBound(names, 1, &upper);
        for (LONG i = lower; i <= upper; ++i) {
            BSTR name = nullptr;
            if (SUCCEEDED(SafeArrayGetElement(names, &i, &name))) {
                own.push_back(bstrText(name));
                SysFreeString(name);
            }
        }
        SafeArrayDestroy(names);
    }

    std::vector<std::wstring> spelled;
    for (const std::wstring &property : asked) {
        const auto match = std::find_if(own.begin(), own.end(), [&](const std::wstring &name) {
            return _wcsicmp(name.c_str(), property.c_str()) == 0;
        });
        spelled.push_back(match == own.end() ? property : *match);
    }
    return spelled;
}

std::vector<std::wstring> rowOf(IWbemClassObject *object,
                                const std::vector<std::wstring> &properties)
{
    std::vector<std::wstring> row;
    for (const std::wstring &property : properties) {
        Variant value;
        CIMTYPE type = CIM_EMPTY;
        if (SUCCEEDED(object->Get(property.c_str(), 0, &value.value, &type, nullptr)))
            row.push_back(Wmi::valueText(value.value, type));
        else
            row.emplace_back();
    }
    return row;
}

struct WorkerJob
{
    WmiQuery query;
    std::optional<WmiTable> result;
};

DWORD WINAPI workerMain(void *param)
{
    // The job is shared with the caller, which may have stopped waiting.
    const std::unique_ptr<std::shared_ptr<WorkerJob>> job(
        static_cast<std::shared_ptr<WorkerJob> *>(param));
    (*job)->result = Wmi::run((*job)->query);
    return 0;
}

} // namespace

namespace Wmi {

std::wstring selectStatement(const WmiQuery &query)
{
    std::wstring statement = L"SELECT ";
    for (size_t i = 0; i < query.properties.size(); ++i) {
        if (i > 0)
            statement += L',';
        statement += query.properties[i];
    }
    statement += L" FROM " + query.className;
    if (!query.where.empty())
        statement += L" WHERE " + query.where;
    return statement;
}

std::wstring valueText(const VARIANT &value, CIMTYPE cimType)
{
    const CIMTYPE scalarType = cimType & ~CIM_FLAG_ARRAY;
    if (value.vt & VT_ARRAY)
        return arrayText(value, scalarType);
    if (value.vt & VT_BYREF)
        return std::wstring();
    return scalarText(value, scalarType);
}

std::optional<WmiTable> run(const WmiQuery &query)
{
    if (query.className.empty() || query.properties.empty())
        return std::nullopt;

    const ComApartment apartment;
    if (!apartment.usable())
        return std::nullopt;
    // Process-wide and settable once: whoever came first (Qt, a library) keeps theirs.
    const HRESULT security =
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (FAILED(security) && security != RPC_E_TOO_LATE)
        return std::nullopt;

    ComRef<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                locator.outVoid())))
        return std::nullopt;
    ComRef<IWbemServices> services;
    if (FAILED(locator->ConnectServer(Bstr(L"ROOT\\CIMV2").get(), nullptr, nullptr, nullptr, 0,
                                      nullptr, nullptr, services.out())))
        return std::nullopt;
    // Only a proxy to the WMI service takes a blanket; an in-process service refuses it
    // and needs none.
    CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                      RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);

    ComRef<IEnumWbemClassObject> instances;
    if (FAILED(services->ExecQuery(Bstr(L"WQL").get(), Bstr(selectStatement(query)).get(),
                                   WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                   instances.out())))
        return std::nullopt;

    WmiTable table;
    for (;;) {
        ComRef<IWbemClassObject> object;
        ULONG returned = 0;
        const HRESULT hr = instances->Next(WBEM_INFINITE, 1, object.out(), &returned);
        if (FAILED(hr))
            return std::nullopt;
        if (returned == 0)
            break;
        if (table.columns.empty())
            table.columns = propertyNames(object.get(), query.properties);
        table.rows.push_back(rowOf(object.get(), table.columns));
    }
    if (table.columns.empty())
        table.columns = query.properties;
    return table;
}

std::optional<WmiTable> runOnWorker(const WmiQuery &query, std::chrono::milliseconds timeout)
{
    auto job = std::make_shared<WorkerJob>();
    job->query = query;
    auto *param = new std::shared_ptr<WorkerJob>(job);
    const HANDLE thread = CreateThread(nullptr, 0, workerMain, param, 0, nullptr);
    if (!thread) {
        delete param;
        return std::nullopt;
    }
    const long long ms = std::clamp<long long>(timeout.count(), 0, INFINITE - 1);
    const DWORD waited = WaitForSingleObject(thread, static_cast<DWORD>(ms));
    CloseHandle(thread);
    if (waited != WAIT_OBJECT_0)
        return std::nullopt;
    return std::move(job->result);
}

} // namespace Wmi
