#include "RecordedOutputs.h"
#include "inventory/HardwareInventory.h"
#include "inventory/InventoryParsers.h"
#include "wmic/WmicTable.h"

#include <QtTest>

using namespace InventoryParsers;

namespace {
// A table the way wmic ends its lines, with the closing empty line.
QString table(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\r\n")) + QStringLiteral("\r\r\n\r\r\n");
}

const double GiB = 1073741824.0;
} // namespace

class TstInventoryParsers : public QObject
{
    Q_OBJECT
private slots:
    void recordedOutputs();
    void dataLines_data();
    void dataLines();
    void sizeText_data();
    void sizeText();
    void processorName_data();
    void processorName();
    void boardInfo_data();
    void boardInfo();
    void memoryList_data();
    void memoryList();
    void diskList_data();
    void diskList();
    void gpuList_data();
    void gpuList();
    void audioList_data();
    void audioList();
    void osCaptionLastLineWins();
    void nothingPrinted();
};

void TstInventoryParsers::recordedOutputs()
{
    InventoryOutputs outputs;
    for (const InventoryQuery q : InventoryQueries::all())
        outputOf(outputs, q) =
            InventoryQueries::decode(q, recorded(InventoryQueries::replayFileName(q)));
    const HardwareInventory inv = parseInventory(outputs);

    QCOMPARE(inv.cpuName, QStringLiteral("Intel(R) Core(TM) i5-2400 CPU @ 3.10GHz"));
    QCOMPARE(inv.boardInfo, QStringLiteral("ASUSTeK COMPUTER INC.  PRIME B450M-A"));
    QCOMPARE(inv.memoryList, QStringList({"Kingston,8.0 GB", "Kingston,8.0 GB"}));
    QCOMPARE(inv.diskList, QStringList({"Samsung SSD 970 EVO Plus 500GB,465.8 GB",
                                        "WDC WD10EZEX-08WN4A0,931.5 GB"}));
    QCOMPARE(inv.gpuList,
             QStringList({"NVIDIA GeForce GTX 1060 6GB,4.0GB", "Intel(R) UHD Graphics 630,1.0GB"}));
    QCOMPARE(inv.audioList, QStringList({"NVIDIA High Definition Audio"}));
    QCOMPARE(inv.networkList, QStringList({"Intel(R) Ethernet Connection (7) I219-V",
                                           "Intel(R) Wi-Fi 6 AX201 160MHz"}));
    QCOMPARE(inv.osCaption, QStringLiteral("Microsoft Windows 10 Pro"));
}

void TstInventoryParsers::dataLines_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("header, two lines, closing line")
        << table({"Name  ", "A b  ", "  C  "}) << QStringList({"A b", "C"});
    QTest::newRow("no closing line loses the last data line")
        << QStringLiteral("Name  \r\r\nA  \r\r\nB  \r\r\n") << QStringList({"A"});
    QTest::newRow("header and closing line only") << table({"Name  "}) << QStringList();
    QTest::newRow("two pieces") << QStringLiteral("Name\r\r\nA\r\r\n") << QStringList();
    QTest::newRow("empty pieces are not counted")
        << QStringLiteral("Name\n\nA\n\nB\n\n") << QStringList({"A"});
    QTest::newRow("blank data line is kept empty")
        << table({"Name  ", "      ", "X     "}) << QStringList({"", "X"});
}

void TstInventoryParsers::dataLines()
{
    QFETCH(QString, output);
    QFETCH(QStringList, lines);
    QCOMPARE(WmicTable::dataLines(output), lines);
}

void TstInventoryParsers::sizeText_data()
{
    QTest::addColumn<double>("bytes");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("text");
    QTest::newRow("8 GiB") << 8 * GiB << " GB"
                           << "8.0 GB";
    QTest::newRow("465.76 GiB rounds to one decimal") << 465.76 * GiB << " GB"
                                                      << "465.8 GB";
    QTest::newRow("1 MiB short of 4 GiB") << 4 * GiB - 1048576 << "GB"
                                          << "4.0GB";
    QTest::newRow("zero") << 0.0 << " GB"
                          << "0.0 GB";
    // 1.1500000022 GiB in double precision; the float nearest to it lies below 1.15.
    QTest::newRow("single precision") << 1234803100.0 << "GB"
                                      << "1.1GB";
}

void TstInventoryParsers::sizeText()
{
    QFETCH(double, bytes);
    QFETCH(QString, suffix);
    QFETCH(QString, text);
    QCOMPARE(InventoryParsers::sizeText(bytes, suffix), text);
}

void TstInventoryParsers::processorName_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("name");
    QTest::newRow("inner blank runs collapse")
        << table({"Name                                              ",
                  "Intel(R) Xeon(R) CPU           E5645  @ 2.40GHz  "})
        << "Intel(R) Xeon(R) CPU E5645 @ 2.40GHz";
    QTest::newRow("the header word goes in any case")
        << table({"Name    ", "Renamed NAME cpu  "}) << "Red cpu";
    QTest::newRow("two processors join on one line")
        << table({"Name  ", "CPU A  ", "CPU B  "}) << "CPU A CPU B";
    QTest::newRow("nothing printed") << QString() << QString();
}

void TstInventoryParsers::processorName()
{
    QFETCH(QString, output);
    QFETCH(QString, name);
    QCOMPARE(InventoryParsers::processorName(output, QStringLiteral("wmic cpu get Name")), name);
}

void TstInventoryParsers::boardInfo_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("info");
    QTest::newRow("first blank run reduced to one")
        << table({"Manufacturer  Product  ", "Gigabyte      B550M    "}) << "Gigabyte B550M";
    QTest::newRow("last line wins")
        << table({"Manufacturer  Product  ", "A  X  ", "B  Y  "}) << "B Y";
    QTest::newRow("maker only") << table({"Manufacturer  Product  ", "Gigabyte               "})
                                << "Gigabyte ";
    QTest::newRow("no line") << QString() << " ";
}

void TstInventoryParsers::boardInfo()
{
    QFETCH(QString, output);
    QFETCH(QString, info);
    QCOMPARE(InventoryParsers::boardInfo(output), info);
}

void TstInventoryParsers::memoryList_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("entries");
    const QString header = QStringLiteral("Capacity     Manufacturer       Speed  ");
    QTest::newRow("maker with blanks") << table({header, "17179869184  Micron Technology  3200   "})
                                       << QStringList({"Micron Technology,16.0 GB"});
    QTest::newRow("unknown maker and speed")
        << table({header, "16709652480                            "}) << QStringList({",15.6 GB"});
    QTest::newRow("capacity not a number")
        << table({header, "Unknown      Samsung            2400   "})
        << QStringList({"Samsung,0.0 GB"});
}

void TstInventoryParsers::memoryList()
{
    QFETCH(QString, output);
    QFETCH(QStringList, entries);
    QCOMPARE(InventoryParsers::memoryList(output), entries);
}

void TstInventoryParsers::diskList_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("model with double blanks")
        << table({"Model                  Size          ", "SSK  SCSI Disk Device  500105249280  "})
        << QStringList({"SSK  SCSI Disk Device,465.8 GB"});
    QTest::newRow("no size") << table({"Model       Size  ", "Card Reader       "})
                             << QStringList({"Card,0.0 GB"});
}

void TstInventoryParsers::diskList()
{
    QFETCH(QString, output);
    QFETCH(QStringList, entries);
    QCOMPARE(InventoryParsers::diskList(output), entries);
}

void TstInventoryParsers::gpuList_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("entries");
    const QString header = QStringLiteral("AdapterRAM  Name                      ");
    QTest::newRow("no memory, or none reported, is skipped")
        << table({header, "0           Remote Display Adapter    ",
                  "            Microsoft Basic Display   ",
                  "536870912   AMD Radeon(TM) Graphics   "})
        << QStringList({"AMD Radeon(TM) Graphics,0.5GB"});
}

void TstInventoryParsers::gpuList()
{
    QFETCH(QString, output);
    QFETCH(QStringList, entries);
    QCOMPARE(InventoryParsers::gpuList(output), entries);
}

void TstInventoryParsers::audioList_data()
{
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("High Definition Audio wins")
        << QStringList({"USB Audio", "Realtek High Definition Audio", "Other Audio"})
        << "Realtek High Definition Audio";
    QTest::newRow("else the last Audio line")
        << QStringList({"USB Audio", "Virtual Cable", "Other Audio"}) << "Other Audio";
    QTest::newRow("case matters") << QStringList({"usb audio", "high definition audio"})
                                  << QString();
    QTest::newRow("no Audio line") << QStringList({"Virtual Cable"}) << QString();
}

void TstInventoryParsers::audioList()
{
    QFETCH(QStringList, devices);
    QFETCH(QString, chosen);
    QCOMPARE(InventoryParsers::audioList(table(QStringList({"Name"}) + devices)),
             QStringList({chosen}));
}

void TstInventoryParsers::osCaptionLastLineWins()
{
    QCOMPARE(osCaption(table({"Caption  ", "First  ", "Second  "})), QStringLiteral("Second"));
}

void TstInventoryParsers::nothingPrinted()
{
    const HardwareInventory inv = parseInventory(InventoryOutputs());
    QCOMPARE(inv.cpuName, QString());
    QCOMPARE(inv.boardInfo, QStringLiteral(" "));
    QVERIFY(inv.memoryList.isEmpty() && inv.diskList.isEmpty() && inv.gpuList.isEmpty());
    QCOMPARE(inv.audioList, QStringList({QString()}));
    QVERIFY(inv.networkList.isEmpty());
    QCOMPARE(inv.osCaption, QString());
}

QTEST_APPLESS_MAIN(TstInventoryParsers)
#include "tst_inventoryParsers.moc"
