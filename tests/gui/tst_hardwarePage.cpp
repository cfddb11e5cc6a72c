#include "gui/HardwarePage.h"
#include "inventory/HardwareInventory.h"

#include <QLabel>
#include <QWidget>
#include <QtTest>

namespace {
const char *const allLabels[] = {
    "label_29", "label_30", "label_31", "label_32", "label_33", "label_34", "label_35", "label_36",
    "label_37", "label_38", "label_39", "label_40", "label_41", "label_42", "label_43", "label_44",
    "label_45", "label_46", "label_47", "label_48", "label_49", "label_50", "label_51", "label_52"};
} // namespace

class TstHardwarePage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void rowSlots_data();
    void rowSlots();
    void nameOnlyRow();
    void pageByLabelNames();

private:
    QLabel *label(const char *name) { return page->findChild<QLabel *>(name); }
    // "name|size" per shown slot, "-" per hidden one.
    QStringList shown(const QVector<HardwareSlot> &rowSlots);

    std::unique_ptr<QWidget> page;
};

void TstHardwarePage::init()
{
    page = std::make_unique<QWidget>();
    for (const char *name : allLabels) {
        auto *l = new QLabel(QStringLiteral("TextLabel"), page.get());
        l->setObjectName(name);
    }
    page->show();
}

QStringList TstHardwarePage::shown(const QVector<HardwareSlot> &rowSlots)
{
    QStringList result;
    for (const HardwareSlot &s : rowSlots) {
        if (!s.name->isVisible()) {
            result << "-";
            continue;
        }
        result << s.name->text() + '|' + (s.size->isVisible() ? s.size->text() : "<hidden>");
    }
    return result;
}

void TstHardwarePage::rowSlots_data()
{
    QTest::addColumn<int>("slotCount");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("result");
    QTest::newRow("four modules: the last slot shows the fourth")
        << 3 << QStringList({"A,8.0 GB", "B,8.0 GB", "C,8.0 GB", "D,4.0 GB"})
        << QStringList({"A|8.0 GB", "B|8.0 GB", "D|4.0 GB"});
    QTest::newRow("one graphics card")
        << 2 << QStringList({"GTX,4.0GB"}) << QStringList({"GTX|4.0GB", "-"});
    QTest::newRow("entry ending with its comma")
        << 2 << QStringList({"Disk,"}) << QStringList({"Disk|", "-"});
    QTest::newRow("two commas: the rest is dropped")
        << 2 << QStringList({"Name,Size,Rest"}) << QStringList({"Name|Size", "-"});
    QTest::newRow("no comma: empty size")
        << 2 << QStringList({"Plain"}) << QStringList({"Plain|", "-"});
    QTest::newRow("empty list hides every slot")
        << 3 << QStringList() << QStringList({"-", "-", "-"});
}

void TstHardwarePage::rowSlots()
{
    QFETCH(int, slotCount);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, result);
    const char *names[][2] = {
        {"label_31", "label_32"}, {"label_33", "label_34"}, {"label_44", "label_45"}};
    QVector<HardwareSlot> rowSlots;
    for (int i = 0; i < slotCount; ++i)
        rowSlots << HardwareSlot{label(names[i][0]), label(names[i][1])};
    // Shown by an earlier fill: the new one must hide what it does not use.
    fillHardwareRow(rowSlots, {"X,1", "Y,2", "Z,3"}, true);
    fillHardwareRow(rowSlots, entries, true);
    QCOMPARE(shown(rowSlots), result);
}

void TstHardwarePage::nameOnlyRow()
{
    const QVector<HardwareSlot> rowSlots = {
        {label("label_41"), nullptr}, {label("label_48"), nullptr}, {label("label_49"), nullptr}};
    fillHardwareRow(rowSlots, {"Realtek, High Definition Audio"}, false);
    QVERIFY(label("label_41")->isVisible());
    QCOMPARE(label("label_41")->text(), QStringLiteral("Realtek, High Definition Audio"));
    QVERIFY(!label("label_48")->isVisible());
    QVERIFY(!label("label_49")->isVisible());
}

void TstHardwarePage::pageByLabelNames()
{
    HardwareInventory inv;
    inv.boardInfo = " ";
    inv.memoryList = QStringList({"Kingston,8.0 GB", "Kingston,8.0 GB"});
    inv.gpuList = QStringList({"A,1.0GB", "B,2.0GB", "C,3.0GB"});
    inv.audioList = QStringList({QString()});
    inv.networkList = QStringList({"eth", "wifi", "usb"});
    fillHardwarePage(page.get(), inv);

    // The single labels are never hidden, even with empty texts.
    for (const char *single : {"label_29", "label_30", "label_43"})
        QVERIFY(label(single)->isVisible());
    QCOMPARE(label("label_29")->text(), QString());
    QCOMPARE(label("label_30")->text(), QStringLiteral(" "));
    QCOMPARE(label("label_33")->text(), QStringLiteral("Kingston"));
    QVERIFY(!label("label_44")->isVisible());
    for (const char *disk :
         {"label_35", "label_36", "label_37", "label_38", "label_46", "label_47"})
        QVERIFY(!label(disk)->isVisible());
    QCOMPARE(label("label_50")->text(), QStringLiteral("C"));
    QCOMPARE(label("label_51")->text(), QStringLiteral("3.0GB"));
    QVERIFY(label("label_41")->isVisible());
    QVERIFY(!label("label_48")->isVisible());
    QCOMPARE(label("label_42")->text(), QStringLiteral("eth"));
    QCOMPARE(label("label_52")->text(), QStringLiteral("usb"));
}

QTEST_MAIN(TstHardwarePage)
#include "tst_hardwarePage.moc"
