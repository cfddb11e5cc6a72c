// Prints the PC inventory, one value a line as "<item>\t<text>", or, with --replay DIR,
// what the inventory makes of query outputs recorded in DIR.
#include "inventory/HardwareInventory.h"
#include "platform/InventorySource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {
InventoryOutputs liveOutputs()
{
    InventoryOutputs outputs;
    for (const InventoryQuery query : InventoryQueries::all())
        outputOf(outputs, query) = InventoryQueries::decode(query, InventorySource::run(query));
    return outputs;
}

// A missing file stands for a query that printed nothing.
InventoryOutputs replayOutputs(const QDir &dir)
{
    InventoryOutputs outputs;
    for (const InventoryQuery query : InventoryQueries::all()) {
        QFile file(dir.filePath(InventoryQueries::replayFileName(query)));
        if (file.open(QIODevice::ReadOnly))
            outputOf(outputs, query) = InventoryQueries::decode(query, file.readAll());
    }
    return outputs;
}

void printLine(const char *item, const QString &text)
{
    std::printf("%s\t%s\n", item, text.toUtf8().constData());
}

void printList(const char *item, const QStringList &entries)
{
    for (const QString &entry : entries)
        printLine(item, entry);
}

void print(const HardwareInventory &inventory)
{
    printLine("cpuName", inventory.cpuName);
    printLine("boardInfo", inventory.boardInfo);
    printList("memoryList", inventory.memoryList);
    printList("diskList", inventory.diskList);
    printList("gpuList", inventory.gpuList);
    printList("audioList", inventory.audioList);
    printList("networkList", inventory.networkList);
    printLine("osCaption", inventory.osCaption);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 1) {
        print(parseInventory(liveOutputs()));
        return 0;
    }
    if (args.size() == 3 && args[1] == QLatin1String("--replay")) {
        const QDir dir(args[2]);
        if (!dir.exists()) {
            std::fprintf(stderr, "tarnix-inventory: no folder %s\n", qPrintable(args[2]));
            return 1;
        }
        print(parseInventory(replayOutputs(dir)));
        return 0;
    }
    std::fprintf(stderr, "usage: tarnix-inventory [--replay DIR]\n");
    return 2;
}
