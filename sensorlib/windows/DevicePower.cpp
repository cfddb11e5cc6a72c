#include "DevicePower.h"
#include "SystemLibrary.h"

#include <devpropdef.h>

#include <string>
#include <vector>

namespace hwsensors {

namespace {

// The keys of devpkey.h, spelled out: only their values are needed, not the import library.
constexpr GUID kDeviceKeys = {
    0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}};
const DEVPROPKEY kBusNumber = {kDeviceKeys, 23};
const DEVPROPKEY kAddress = {kDeviceKeys, 30};
const DEVPROPKEY kPowerData = {kDeviceKeys, 32};
const wchar_t kDisplayClass[] = L"{4d36e968-e325-11ce-bfc1-08002be10318}";

template <typename Function> void resolve(HMODULE library, const char *name, Function &out)
{
    out = library
              ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)))
              : nullptr;
}

bool readUint32(const CfgMgrFunctions &f, DEVINST node, const DEVPROPKEY &key, uint32_t &out)
{
    DEVPROPTYPE type = 0;
    ULONG size = sizeof(out);
    return f.getDevNodeProperty(node, &key, &type, reinterpret_cast<PBYTE>(&out), &size, 0) ==
               CR_SUCCESS &&
           type == DEVPROP_TYPE_UINT32 && size == sizeof(out);
}

std::vector<std::wstring> displayDeviceIds(const CfgMgrFunctions &f)
{
    const ULONG flags = CM_GETIDLIST_FILTER_CLASS | CM_GETIDLIST_FILTER_PRESENT;
    ULONG length = 0;
    if (f.getDeviceIdListSize(&length, kDisplayClass, flags) != CR_SUCCESS || length == 0)
        return {};
    std::vector<wchar_t> list(length + 1, L'\0');
    if (f.getDeviceIdList(kDisplayClass, list.data(), length, flags) != CR_SUCCESS)
        return {};
    std::vector<std::wstring> ids;
    for (const wchar_t *id = list.data(); *id; id += ids.back().size() + 1)
        ids.emplace_back(id);
    return ids;
}

bool findDevNode(const CfgMgrFunctions &f, const PciLocation &location, DEVINST &found)
{
    for (std::wstring &id : displayDeviceIds(f)) {
        DEVINST node = 0;
        uint32_t bus = 0;
        uint32_t address = 0;
        if (f.locateDevNode(&node, id.data(), CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS)
            continue;
        if (readUint32(f, node, kBusNumber, bus) && readUint32(f, node, kAddress, address) &&
            bus == location.bus && address == pciDevNodeAddress(location)) {
            found = node;
            return true;
        }
    }
    return false;
}

} // namespace

CfgMgrFunctions CfgMgrFunctions::load()
{
    CfgMgrFunctions f;
    const HMODULE library = loadSystemLibrary(L"cfgmgr32.dll");
    resolve(library, "CM_Get_Device_ID_List_SizeW", f.getDeviceIdListSize);
    resolve(library, "CM_Get_Device_ID_ListW", f.getDeviceIdList);
    resolve(library, "CM_Locate_DevNodeW", f.locateDevNode);
    resolve(library, "CM_Get_DevNode_PropertyW", f.getDevNodeProperty);
    return f;
}

PowerLookup displayPowerLookup(const CfgMgrFunctions &functions)
{
    if (!functions.complete())
        return {};
    return [functions](const PciLocation &location) -> PowerCheck {
        DEVINST node = 0;
        if (!findDevNode(functions, location, node))
            return {};
        return [functions, node] {
            CM_POWER_DATA data{};
            DEVPROPTYPE type = 0;
            ULONG size = sizeof(data);
            const bool read = functions.getDevNodeProperty(node, &kPowerData, &type,
                                                           reinterpret_cast<PBYTE>(&data), &size,
                                                           0) == CR_SUCCESS &&
                              size >= offsetof(CM_POWER_DATA, PD_Capabilities);
            return adapterAwake(read, static_cast<uint32_t>(data.PD_MostRecentPowerState));
        };
    };
}

} // namespace hwsensors
