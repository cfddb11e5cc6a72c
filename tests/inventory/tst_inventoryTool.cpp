#include "RecordedOutputs.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run
{
    int code = -1;
    QString out;
};

Run runTool(const QStringList &args)
{
    QProcess tool;
    tool.start(QStringLiteral(TARNIX_BINARY_DIR "/tarnix-inventory"), args);
    tool.closeWriteChannel();
    Run run;
    if (!tool.waitForFinished(10000))
        return run;
    run.code = tool.exitCode();
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    return run;
}

QStringList keysOf(const QString &out)
{
    QStringList keys;
    for (const QString &line : out.split('\n', Qt::SkipEmptyParts))
        keys << line.section('\t', 0, 0);
    return keys;
}
} // namespace

class TstInventoryTool : public QObject
{
    Q_OBJECT
private slots:
    void replaysRecordedOutputs();
    void missingFilesPrintedNothing();
    void liveRunOnThisMachine();
    void badArguments();
};

void TstInventoryTool::replaysRecordedOutputs()
{
    const Run run = runTool({"--replay", recordedDir()});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QStringLiteral("cpuName\tIntel(R) Core(TM) i5-2400 CPU @ 3.10GHz\n"
                                     "boardInfo\tASUSTeK COMPUTER INC.  PRIME B450M-A\n"
                                     "memoryList\tKingston,8.0 GB\n"
                                     "memoryList\tKingston,8.0 GB\n"
                                     "diskList\tSamsung SSD 970 EVO Plus 500GB,465.8 GB\n"
                                     "diskList\tWDC WD10EZEX-08WN4A0,931.5 GB\n"
                                     "gpuList\tNVIDIA GeForce GTX 1060 6GB,4.0GB\n"
                                     "gpuList\tIntel(R) UHD Graphics 630,1.0GB\n"
                                     "audioList\tNVIDIA High Definition Audio\n"
                                     "networkList\tIntel(R) Ethernet Connection (7) I219-V\n"
                                     "networkList\tIntel(R) Wi-Fi 6 AX201 160MHz\n"
                                     "osCaption\tMicrosoft Windows 10 Pro\n"));
}

void TstInventoryTool::missingFilesPrintedNothing()
{
    QTemporaryDir dir;
    QFile os(dir.filePath("os.txt"));
    QVERIFY(os.open(QIODevice::WriteOnly));
    os.write(recorded("os.txt"));
    os.close();
    const Run run = runTool({"--replay", dir.path()});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QStringLiteral("cpuName\t\nboardInfo\t \naudioList\t\n"
                                     "osCaption\tMicrosoft Windows 10 Pro\n"));
}

void TstInventoryTool::liveRunOnThisMachine()
{
    const Run run = runTool({});
    QCOMPARE(run.code, 0);
    QStringList keys = keysOf(run.out);
    QCOMPARE(keys.first(), QStringLiteral("cpuName"));
    QCOMPARE(keys.last(), QStringLiteral("osCaption"));
    keys.removeDuplicates();
    const QStringList order = {"cpuName", "boardInfo", "memoryList",  "diskList",
                               "gpuList", "audioList", "networkList", "osCaption"};
    int at = 0;
    for (const QString &key : keys) {
        while (at < order.size() && order[at] != key)
            ++at;
        QVERIFY2(at < order.size(), qPrintable(key + " out of order"));
    }
    QVERIFY(keys.contains("memoryList"));
    QVERIFY(keys.contains("audioList"));
}

void TstInventoryTool::badArguments()
{
    QCOMPARE(runTool({"--replay"}).code, 2);
    QCOMPARE(runTool({"--replay", "/nonexistent/folder"}).code, 1);
}

QTEST_GUILESS_MAIN(TstInventoryTool)
#include "tst_inventoryTool.moc"
