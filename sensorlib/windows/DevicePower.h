#pragma once
// A display device's power state from the configuration manager: the state Windows recorded
// for it, read without sending the device anything, so a sleeping GPU stays asleep.
#include "GpuAdapters.h"

#include <windows.h>

#include <cfgmgr32.h>

namespace hwsensors {

/// The cfgmgr32.dll entry points, resolved at run time; tests hand in fakes. Any member null:
/// no power states, every adapter counts as awake.
struct CfgMgrFunctions
{
    CONFIGRET(WINAPI *getDeviceIdListSize)(PULONG length, PCWSTR filter, ULONG flags) = nullptr;
    CONFIGRET(WINAPI *getDeviceIdList)
    (PCWSTR filter, PZZWSTR buffer, ULONG length, ULONG flags) = nullptr;
    CONFIGRET(WINAPI *locateDevNode)(PDEVINST devInst, DEVINSTID_W id, ULONG flags) = nullptr;
    CONFIGRET(WINAPI *getDevNodeProperty)
    (DEVINST devInst, const DEVPROPKEY *key, DEVPROPTYPE *type, PBYTE buffer, PULONG size,
     ULONG flags) = nullptr;

    /// The real functions from System32's cfgmgr32.dll.
    static CfgMgrFunctions load();
    bool complete() const
    {
        return getDeviceIdListSize && getDeviceIdList && locateDevNode && getDevNodeProperty;
    }
};

/// Finds the display device at a PCI location among the present display-class devices and
/// returns a check of its power state; empty when it is not found or \a functions is
/// incomplete. The functions must outlive the checks.
PowerLookup displayPowerLookup(const CfgMgrFunctions &functions);

} // namespace hwsensors
