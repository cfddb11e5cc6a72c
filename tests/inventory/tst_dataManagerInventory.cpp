#include "appdata/DDataManager.h"
#include "core/Clock.h"
#include "inventory/HardwareInventory.h"
#include "logCollect/log_out.h"
#include "platform/InventorySource.h"

#include <QSignalSpy>
#include <QtTest>

// The inventory of the running machine through DDataManager, as the program gathers it.
class TstDataManagerInventory : public QObject
{
    Q_OBJECT
private slots:
    void gathersParsesAndSignals();
    void getInfoRunsOnlyInventoryCommands();
};

void TstDataManagerInventory::gathersParsesAndSignals()
{
    DDataManager *dm = DDataManager::getInstance();
    InitializeLog(QString()); // as the program starts it
    qInstallMessageHandler(LogMessageHandler);
    QSignalSpy over(dm, &DDataManager::sigGetPcHardwareInfoOver);
    QVERIFY(!dm->hardwareInventoryReady());
    dm->theHardwareInfoGet();
    // Gathered on a worker thread, handed over on this one.
    QVERIFY(over.wait(30000));
    QCOMPARE(over.count(), 1);
    QVERIFY(dm->hardwareInventoryReady());

    InventoryOutputs outputs;
    for (const InventoryQuery q : InventoryQueries::all())
        outputOf(outputs, q) = InventoryQueries::decode(q, InventorySource::run(q));
    const HardwareInventory expected = parseInventory(outputs);
    QCOMPARE(dm->getCpuName(), expected.cpuName);
    QCOMPARE(dm->getBoardInfo(), expected.boardInfo);
    QCOMPARE(dm->getMemoryList(), expected.memoryList);
    QCOMPARE(dm->getDiskList(), expected.diskList);
    QCOMPARE(dm->getGpuList(), expected.gpuList);
    QCOMPARE(dm->getAudioList(), expected.audioList);
    QCOMPARE(dm->getNetworkList(), expected.networkList);
    QCOMPARE(dm->getOsCaption(), expected.osCaption);
    QVERIFY(!dm->getMemoryList().isEmpty());
    QCOMPARE(dm->getAudioList().size(), 1);

    // Every dump, in order, between the start and end lines.
    QFile log(LogFormat::filePath(Clock::now()));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    int at = text.indexOf("*** PC Hardware Info Get Start ***");
    QVERIFY(at >= 0);
    for (const InventoryQuery q : InventoryQueries::all()) {
        at = text.indexOf(QLatin1String(InventoryQueries::debugTitle(q)), at);
        QVERIFY2(at >= 0, InventoryQueries::debugTitle(q));
    }
    QVERIFY(text.indexOf("*** PC Hardware Info Get Over ***", at) > at);
}

void TstDataManagerInventory::getInfoRunsOnlyInventoryCommands()
{
    DDataManager *dm = DDataManager::getInstance();
    QCOMPARE(dm->getInfo("wmic cpu get Name"), dm->getCpuName());
    QCOMPARE(dm->getInfo("echo hello"), QString());
}

QTEST_MAIN(TstDataManagerInventory)
#include "tst_dataManagerInventory.moc"
