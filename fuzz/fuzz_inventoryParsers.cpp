// Every inventory parser on the same hostile tool output.
#include "FuzzInput.h"
#include "inventory/InventoryParsers.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString output = FuzzInput::text(data, size);
    InventoryParsers::processorName(output, QStringLiteral("wmic cpu get Name"));
    // The header word to strip comes from the input too: empty, blank or odd words.
    const int split = output.indexOf(QChar(0));
    if (split >= 0)
        InventoryParsers::processorName(output.mid(split + 1), output.left(split));
    InventoryParsers::boardInfo(output);
    InventoryParsers::memoryList(output);
    InventoryParsers::diskList(output);
    InventoryParsers::gpuList(output);
    FuzzInput::require(InventoryParsers::audioList(output).size() == 1);
    InventoryParsers::networkList(output);
    InventoryParsers::osCaption(output);
    if (size >= sizeof(double)) {
        double bytes = 0;
        std::memcpy(&bytes, data, sizeof(bytes));
        InventoryParsers::sizeText(bytes, QStringLiteral(" GB"));
    }
    return 0;
}
