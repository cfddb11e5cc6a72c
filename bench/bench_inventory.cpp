// Cost of the whole inventory on this machine: the eight Linux stand-in queries and the
// parsing, as DDataManager runs them once at start-up.
#include "inventory/HardwareInventory.h"
#include "platform/InventorySource.h"

#include <QtTest>

class BenchInventory : public QObject
{
    Q_OBJECT
private slots:
    void gatherAndParse();
    void eachQuery_data();
    void eachQuery();
};

void BenchInventory::gatherAndParse()
{
    QBENCHMARK
    {
        InventoryOutputs outputs;
        for (const InventoryQuery q : InventoryQueries::all())
            outputOf(outputs, q) = InventoryQueries::decode(q, InventorySource::run(q));
        const HardwareInventory inventory = parseInventory(outputs);
        Q_UNUSED(inventory);
    }
}

void BenchInventory::eachQuery_data()
{
    QTest::addColumn<int>("query");
    for (const InventoryQuery q : InventoryQueries::all())
        QTest::newRow(qPrintable(InventoryQueries::replayFileName(q))) << int(q);
}

void BenchInventory::eachQuery()
{
    QFETCH(int, query);
    QBENCHMARK
    {
        const QByteArray output = InventorySource::run(InventoryQuery(query));
        Q_UNUSED(output);
    }
}

QTEST_GUILESS_MAIN(BenchInventory)
#include "bench_inventory.moc"
