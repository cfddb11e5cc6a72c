#include "app/RefreshFigures.h"
#include "platform/linux/SystemFiguresLinux.h"

#include <QtTest>

#include <limits>

using namespace SystemFigures;

namespace {
constexpr quint64 GiB = 1073741824;
const QString kData = QStringLiteral(TARNIX_SOURCE_DIR "/tests/system/data");
} // namespace

class TestSystemFigures : public QObject
{
    Q_OBJECT
private slots:
    void meminfo_data();
    void meminfo();
    void meminfoOldKernel();
    void memoryBelowRoot();
    void memoryUnreadable();
    void memoryReadAgain();
    void driveFromBlocks_data();
    void driveFromBlocks();
    void rootDrive();
    void memoryText_data();
    void memoryText();
    void driveFigures_data();
    void driveFigures();
    void autoRange_data();
    void autoRange();
};

void TestSystemFigures::meminfo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint64>("totalKiB");
    QTest::addColumn<quint64>("availableKiB");
    QTest::addColumn<uint>("load");

    QTest::newRow("half used") << "MemTotal: 1000 kB\nMemFree: 10 kB\nMemAvailable: 500 kB\n"
                               << true << quint64(1000) << quint64(500) << 50u;
    // 99.9 % in use is not yet full.
    QTest::newRow("load truncates") << "MemTotal: 1000 kB\nMemAvailable: 1 kB\n"
                                    << true << quint64(1000) << quint64(1) << 99u;
    QTest::newRow("nothing available") << "MemTotal: 1000 kB\nMemAvailable: 0 kB\n"
                                       << true << quint64(1000) << quint64(0) << 100u;
    QTest::newRow("available above total") << "MemTotal: 1000 kB\nMemAvailable: 4000 kB\n"
                                           << true << quint64(1000) << quint64(1000) << 0u;
    QTest::newRow("similar key ignored")
        << "MemTotal: 1000 kB\nMemAvailableX: 7 kB\nMemAvailable: 250 kB\n"
        << true << quint64(1000) << quint64(250) << 75u;
    QTest::newRow("no trailing newline") << "MemAvailable: 250 kB\nMemTotal: 1000 kB" << true
                                         << quint64(1000) << quint64(250) << 75u;
    QTest::newRow("zero total") << "MemTotal: 0 kB\nMemAvailable: 0 kB\n"
                                << false << quint64(0) << quint64(0) << 0u;
    QTest::newRow("no total") << "MemFree: 10 kB\nMemAvailable: 5 kB\n"
                              << false << quint64(0) << quint64(0) << 0u;
    QTest::newRow("total without number") << "MemTotal: kB\nMemAvailable: 5 kB\n"
                                          << false << quint64(0) << quint64(0) << 0u;
    QTest::newRow("empty") << "" << false << quint64(0) << quint64(0) << 0u;
}

void TestSystemFigures::meminfo()
{
    QFETCH(QString, text);
    const Memory m = memoryFromMeminfo(text.toStdString());
    QTEST(m.valid, "valid");
    QFETCH(quint64, totalKiB);
    QFETCH(quint64, availableKiB);
    QCOMPARE(quint64(m.totalBytes), totalKiB * 1024);
    QCOMPARE(quint64(m.availableBytes), availableKiB * 1024);
    QTEST(uint(m.loadPercent), "load");
}

void TestSystemFigures::meminfoOldKernel()
{
    const Memory m = memoryFromFile((kData + "/meminfo-old-kernel").toStdString());
    QVERIFY(m.valid);
    QCOMPARE(quint64(m.availableBytes), quint64(1000000) * 1024); // free + buffers + cached
    QCOMPARE(m.loadPercent, 75u);
}

void TestSystemFigures::memoryBelowRoot()
{
    qputenv("HWSENSORS_ROOT", (kData + "/root").toLocal8Bit());
    const Memory m = memory();
    qunsetenv("HWSENSORS_ROOT");
    QVERIFY(m.valid);
    QCOMPARE(quint64(m.totalBytes), quint64(16318480) * 1024);
    QCOMPARE(quint64(m.availableBytes), quint64(8159240) * 1024);
    QCOMPARE(m.loadPercent, 50u);
    QCOMPARE(QString::fromStdString(meminfoPath()), QStringLiteral("/proc/meminfo"));
}

void TestSystemFigures::memoryUnreadable()
{
    QVERIFY(!memoryFromFile((kData + "/no-such-file").toStdString()).valid);
}

// The file stays open between refreshes: each one still sees the current figures, and a
// different root is read from its own file.
void TestSystemFigures::memoryReadAgain()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("proc")));
    QFile file(root.filePath(QStringLiteral("proc/meminfo")));
    const auto write = [&file](const QByteArray &available) {
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("MemTotal: 1000 kB\nMemFree: 1 kB\nMemAvailable: " + available + " kB\n");
        file.close();
    };
    write("900");
    qputenv("HWSENSORS_ROOT", QFile::encodeName(root.path()));
    QCOMPARE(memory().loadPercent, 10u);
    write("250");
    QCOMPARE(memory().loadPercent, 75u);
    qunsetenv("HWSENSORS_ROOT");
    const Memory real = memory();
    QVERIFY(real.valid);
    QVERIFY(real.totalBytes != 1000 * 1024);
}

void TestSystemFigures::driveFromBlocks_data()
{
    QTest::addColumn<quint64>("blocks");
    QTest::addColumn<quint64>("freeBlocks");
    QTest::addColumn<quint64>("fragment");
    QTest::addColumn<bool>("found");
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("free");

    QTest::newRow("ordinary") << quint64(1000) << quint64(250) << quint64(4096) << true
                              << quint64(4096000) << quint64(1024000);
    QTest::newRow("no blocks") << quint64(0) << quint64(0) << quint64(4096) << false << quint64(0)
                               << quint64(0);
    QTest::newRow("no fragment size")
        << quint64(10) << quint64(5) << quint64(0) << false << quint64(0) << quint64(0);
}

void TestSystemFigures::driveFromBlocks()
{
    QFETCH(quint64, blocks);
    QFETCH(quint64, freeBlocks);
    QFETCH(quint64, fragment);
    const Drive d = SystemFigures::driveFromBlocks(blocks, freeBlocks, fragment);
    QTEST(d.found, "found");
    QTEST(quint64(d.totalBytes), "total");
    QTEST(quint64(d.freeBytes), "free");
}

void TestSystemFigures::rootDrive()
{
    const Drive d = systemDrive();
    QVERIFY(d.found);
    QVERIFY(d.totalBytes > 0);
    QVERIFY(d.freeBytes <= d.totalBytes);
    QVERIFY(!driveAt("/no/such/folder").found);
}

void TestSystemFigures::memoryText_data()
{
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("available");
    QTest::addColumn<QString>("text");

    QTest::newRow("7.96 used prints 8.0") << 16 * GiB << quint64(8632884265) << "8.0G/16.0G";
    QTest::newRow("odd sizes") << quint64(17072495001) << quint64(8589934592) << "7.9G/15.9G";
    QTest::newRow("all available") << 16 * GiB << 16 * GiB << "0.0G/16.0G";
    QTest::newRow("nothing measured") << quint64(0) << quint64(0) << "0.0G/0.0G";
}

void TestSystemFigures::memoryText()
{
    QFETCH(quint64, total);
    QFETCH(quint64, available);
    Memory m;
    m.valid = true;
    m.totalBytes = total;
    m.availableBytes = available;
    QTEST(RefreshFigures::memoryText(m), "text");
}

void TestSystemFigures::driveFigures_data()
{
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("free");
    QTest::addColumn<int>("usage");
    QTest::addColumn<QString>("text");

    QTest::newRow("40 % free") << 100 * GiB << 40 * GiB << 60 << "60G/100G";
    QTest::newRow("39.6 % free truncates") << 1000 * GiB << 396 * GiB << 60 << "604G/1000G";
    // In double, exactly 55 % free truncates to 44: the figure the display has always shown.
    QTest::newRow("55 % free") << 100 * GiB << 55 * GiB << 44 << "45G/100G";
    QTest::newRow("texts round") << quint64(254047315558) << quint64(125627793408) << 50
                                 << "120G/237G";
    QTest::newRow("empty drive") << 237 * GiB << 237 * GiB << 0 << "0G/237G";
    QTest::newRow("full drive") << 237 * GiB << quint64(0) << 100 << "237G/237G";
    QTest::newRow("no size") << quint64(0) << quint64(0) << 0 << "0G/0G";
}

void TestSystemFigures::driveFigures()
{
    QFETCH(quint64, total);
    QFETCH(quint64, free);
    Drive d;
    d.found = true;
    d.totalBytes = total;
    d.freeBytes = free;
    const RefreshFigures::DriveFigures f = RefreshFigures::driveFigures(d);
    QTEST(f.usagePercent, "usage");
    QTEST(f.text, "text");
}

void TestSystemFigures::autoRange_data()
{
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QList<int>>("maxima");

    QTest::newRow("4000 then 3000 keeps 4001") << QList<int>{4000, 3000} << QList<int>{4001, 4001};
    QTest::newRow("first 0 gives 1") << QList<int>{0} << QList<int>{1};
    QTest::newRow("first 1 gives 1") << QList<int>{1} << QList<int>{1};
    QTest::newRow("equal value keeps it") << QList<int>{10, 11, 12} << QList<int>{11, 11, 13};
    QTest::newRow("rises with each new peak")
        << QList<int>{5, 50, 20, 60} << QList<int>{6, 51, 51, 61};
    QTest::newRow("negative reading") << QList<int>{-5} << QList<int>{1};
    QTest::newRow("no overflow at the top") << QList<int>{std::numeric_limits<int>::max()}
                                            << QList<int>{std::numeric_limits<int>::max()};
}

void TestSystemFigures::autoRange()
{
    QFETCH(QList<int>, values);
    QFETCH(QList<int>, maxima);
    int maximum = 0; // the running maxima start at zero
    for (int i = 0; i < values.size(); ++i) {
        maximum = RefreshFigures::autoRangeMaximum(maximum, values[i]);
        QCOMPARE(maximum, maxima[i]);
    }
}

QTEST_GUILESS_MAIN(TestSystemFigures)
#include "tst_systemFigures.moc"
