#include "inventory/HardwareInventory.h"

#include "inventory/InventoryParsers.h"

HardwareInventory parseInventory(const InventoryOutputs &outputs)
{
    using namespace InventoryParsers;
    const auto of = [&](InventoryQuery query) -> const QString & {
        return outputOf(outputs, query);
    };

    HardwareInventory inventory;
    inventory.cpuName =
        processorName(of(InventoryQuery::Cpu), InventoryQueries::commandLine(InventoryQuery::Cpu));
    inventory.boardInfo = boardInfo(of(InventoryQuery::Baseboard));
    inventory.memoryList = memoryList(of(InventoryQuery::MemoryChip));
    inventory.diskList = diskList(of(InventoryQuery::DiskDrive));
    inventory.gpuList = gpuList(of(InventoryQuery::VideoController));
    inventory.audioList = audioList(of(InventoryQuery::SoundDevice));
    inventory.networkList = networkList(of(InventoryQuery::Nic));
    inventory.osCaption = osCaption(of(InventoryQuery::Os));
    return inventory;
}
