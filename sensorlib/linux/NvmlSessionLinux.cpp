#include "NvmlSessionLinux.h"
#include "ValueFile.h"
#include "sysio/BoundedRead.h"

#include <algorithm>
#include <cctype>

namespace hwsensors {

bool deviceAwake(bool statusRead, const std::string &status)
{
    return !statusRead || status == "active" || status == "unsupported";
}

NvmlSession::AwakeCheck runtimeStatusCheck(const std::string &statusFullPath)
{
    auto file = std::make_shared<ValueFile>(statusFullPath);
    auto text = std::make_shared<std::string>(); // storage reused by every pass
    return [file, text] {
        const bool read = file->readUpTo(kAttributeLimit, *text);
        return deviceAwake(read, trimmed(*text));
    };
}

// PCI devices bound to NVIDIA's driver; only core PCI attributes are read, never the GPU's.
NvmlSession::View nvidiaView(const SysRoot &root)
{
    NvmlSession::View view;
    for (const std::string &address : root.list("/sys/bus/pci/devices")) {
        const std::string dir = "/sys/bus/pci/devices/" + address;
        if (root.readLine(dir + "/vendor") != "0x10de" ||
            !startsWith(root.readLine(dir + "/class"), "0x03"))
            continue;
        const std::string uevent = root.readAttribute(dir + "/uevent");
        if (uevent.find("DRIVER=nvidia\n") == std::string::npos)
            continue;
        std::string id = root.readLine(dir + "/device");
        id = startsWith(id, "0x") ? id.substr(2) : id;
        std::transform(id.begin(), id.end(), id.begin(), ::toupper);
        view.gpus.push_back({address, "NVIDIA Graphics [10DE:" + id + "]", true});
    }
    view.awakeCheck = [root](const std::string &address) {
        return address.empty() ? NvmlSession::AwakeCheck()
                               : runtimeStatusCheck(root.path("/sys/bus/pci/devices/" + address +
                                                              "/power/runtime_status"));
    };
    return view;
}

} // namespace hwsensors
