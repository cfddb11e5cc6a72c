#include "RecordedOutputs.h"
#include "wmic/WmicTable.h"

#include <QtTest>

using Rows = QVector<QStringList>;

class TstWmicTable : public QObject
{
    Q_OBJECT
private slots:
    void writesRecordedTables_data();
    void writesRecordedTables();
    void emptyCellsAndWidths();
    void cellsStayOnTheirLine();
    void noRowsNoText();
};

void TstWmicTable::writesRecordedTables_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<Rows>("rows");
    // Headers in the order the command lines ask for them; wmic sorts them.
    QTest::newRow("baseboard") << "baseboard.txt" << QStringList({"Product", "Manufacturer"})
                               << Rows({{"PRIME B450M-A", "ASUSTeK COMPUTER INC."}});
    QTest::newRow("memorychip") << "memorychip.txt"
                                << QStringList({"Capacity", "Speed", "Manufacturer"})
                                << Rows({{"8589934592", "2666", "Kingston"},
                                         {"8589934592", "2666", "Kingston"}});
    QTest::newRow("diskdrive") << "diskdrive.txt" << QStringList({"Model", "Size"})
                               << Rows({{"Samsung SSD 970 EVO Plus 500GB", "500105249280"},
                                        {"WDC WD10EZEX-08WN4A0", "1000202273280"}});
    QTest::newRow("videocontroller") << "videocontroller.txt" << QStringList({"AdapterRAM", "Name"})
                                     << Rows({{"4293918720", "NVIDIA GeForce GTX 1060 6GB"},
                                              {"1073741824", "Intel(R) UHD Graphics 630"}});
    QTest::newRow("cpu") << "cpu.txt" << QStringList({"Name"})
                         << Rows({{"Intel(R) Core(TM) i5-2400 CPU @ 3.10GHz"}});
    QTest::newRow("os") << "os.txt" << QStringList({"Caption"})
                        << Rows({{"Microsoft Windows 10 Pro"}});
}

void TstWmicTable::writesRecordedTables()
{
    QFETCH(QString, file);
    QFETCH(QStringList, headers);
    QFETCH(Rows, rows);
    QCOMPARE(WmicTable::format(headers, rows).toLatin1(), recorded(file));
}

void TstWmicTable::emptyCellsAndWidths()
{
    // An empty value is a cell of blanks; a header wider than its cells sets the width.
    const QString text = WmicTable::format({"Capacity", "Manufacturer", "Speed"},
                                           {{"17179869184", "", ""}, {"1", "A", "3200"}});
    QCOMPARE(text, QStringLiteral("Capacity     Manufacturer  Speed  \r\r\n"
                                  "17179869184                       \r\r\n"
                                  "1            A             3200   \r\r\n"
                                  "\r\r\n"));
}

void TstWmicTable::cellsStayOnTheirLine()
{
    const QString text = WmicTable::format({"Name"}, {{"Two\nlines\r"}});
    QCOMPARE(WmicTable::dataLines(text), QStringList({"Two lines"}));
}

void TstWmicTable::noRowsNoText()
{
    QCOMPARE(WmicTable::format({"Name"}, {}), QString());
}

QTEST_APPLESS_MAIN(TstWmicTable)
#include "tst_wmicTable.moc"
