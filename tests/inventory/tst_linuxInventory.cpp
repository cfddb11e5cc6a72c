#include "RecordedOutputs.h"
#include "platform/linux/LinuxInventory.h"
#include "platform/linux/PciIds.h"
#include "sysio/SmbiosMemory.h"
#include "wmic/WmicTable.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

namespace {
const char pciIds[] = "# comment\n"
                      "1002  Advanced Micro Devices, Inc. [AMD/ATI]\n"
                      "\t73df  Navi 22 [Radeon RX 6700/6700 XT]\n"
                      "\tab28  Navi 21/23 HDMI/DP Audio Controller\n"
                      "10de  NVIDIA Corporation\n"
                      "\t1c03  GP106 [GeForce GTX 1060 6GB]\n"
                      "\t\t10de 1c03  GP106 board\n"
                      "# gap inside the list\n"
                      "\t10f1  GP106 High Definition Audio Controller\n"
                      "8086  Intel Corporation\n"
                      "\t15bc  Ethernet Connection (7) I219-V\n"
                      "C 04  Multimedia controller\n";

// One SMBIOS structure: formatted area (header included) and its strings.
QByteArray structure(int type, QByteArray area, const QList<QByteArray> &strings)
{
    area[0] = char(type);
    area[1] = char(area.size());
    QByteArray s = area;
    for (const QByteArray &str : strings)
        s += str + '\0';
    if (strings.isEmpty())
        s += '\0';
    return s + '\0';
}

// A memory device of `sizeField` (the 16-bit size word) with its maker as string 1.
QByteArray memoryDevice(unsigned sizeField, unsigned speed, const QByteArray &maker,
                        quint32 extendedMiB = 0)
{
    QByteArray area(0x28, '\0');
    area[0x0C] = char(sizeField & 0xff);
    area[0x0D] = char(sizeField >> 8);
    area[0x15] = char(speed & 0xff);
    area[0x16] = char(speed >> 8);
    area[0x17] = 1;
    for (int i = 0; i < 4; ++i)
        area[0x1C + i] = char(extendedMiB >> (8 * i));
    return structure(17, area, {maker});
}

// A memory device with its speed words set, as long as `length` bytes (0x22: SMBIOS 2.7,
// 0x5C: 3.3 with the extended speeds).
QByteArray speedDevice(int length, unsigned speed, unsigned configured, quint32 extendedSpeed,
                       quint32 extendedConfigured)
{
    QByteArray area(length, '\0');
    auto put = [&area](int at, quint32 value, int bytes) {
        for (int i = 0; i < bytes && at + i < area.size(); ++i)
            area[at + i] = char(value >> (8 * i));
    };
    put(0x0C, 8192, 2);
    put(0x15, speed, 2);
    put(0x20, configured, 2);
    put(0x54, extendedSpeed, 4);
    put(0x58, extendedConfigured, 4);
    return structure(17, area, {});
}

std::vector<SmbiosMemory::Module> modulesOf(const QByteArray &table)
{
    return SmbiosMemory::modules(reinterpret_cast<const unsigned char *>(table.constData()),
                                 size_t(table.size()));
}

QByteArray endOfTable()
{
    return structure(127, QByteArray(4, '\0'), {});
}
} // namespace

class TstLinuxInventory : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void recordedDesktop_data();
    void recordedDesktop();
    void memoryFromMeminfoWithoutSmbios();
    void graphicsAndSound();
    void soundFromPciClassWithoutAsound();
    void networkAdaptersThatAreUp();
    void osReleaseQuotes();
    void pciNames();
    void smbiosSizes();
    void smbiosDamagedTable();
    void smbiosSpeeds_data();
    void smbiosSpeeds();
    void oversizedFiles_data();
    void oversizedFiles();

private:
    void write(const QString &path, const QByteArray &content);
    void link(const QString &target, const QString &path);
    QString pciDevice(const QString &slot, const char *vendor, const char *device,
                      const char *pciClass = "0x030000");
    QString text(InventoryQuery q) { return LinuxInventory::tableText(q, root->path()); }

    std::unique_ptr<QTemporaryDir> root;
};

void TstLinuxInventory::write(const QString &path, const QByteArray &content)
{
    const QString full = root->filePath(path);
    QVERIFY(QDir().mkpath(QFileInfo(full).path()));
    QFile file(full);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void TstLinuxInventory::link(const QString &target, const QString &path)
{
    const QString full = root->filePath(path);
    QVERIFY(QDir().mkpath(QFileInfo(full).path()));
    QVERIFY(QFile::link(root->filePath(target), full));
}

QString TstLinuxInventory::pciDevice(const QString &slot, const char *vendor, const char *device,
                                     const char *pciClass)
{
    const QString dir = QStringLiteral("sys/devices/pci0000:00/") + slot;
    write(dir + "/vendor", QByteArray(vendor) + '\n');
    write(dir + "/device", QByteArray(device) + '\n');
    write(dir + "/class", QByteArray(pciClass) + '\n');
    link("sys/bus/pci", dir + "/subsystem");
    link(dir, "sys/bus/pci/devices/" + slot);
    return dir;
}

void TstLinuxInventory::init()
{
    root = std::make_unique<QTemporaryDir>();
    QVERIFY(root->isValid());
    QVERIFY(QDir(root->path()).mkpath("sys/bus/pci/devices"));
    write("usr/share/misc/pci.ids", pciIds);
}

void TstLinuxInventory::recordedDesktop_data()
{
    QTest::addColumn<int>("query");
    QTest::addColumn<QString>("file");
    QTest::newRow("processor") << int(InventoryQuery::Cpu) << "cpu.txt";
    QTest::newRow("mainboard") << int(InventoryQuery::Baseboard) << "baseboard.txt";
    QTest::newRow("memory modules") << int(InventoryQuery::MemoryChip) << "memorychip.txt";
    QTest::newRow("disks") << int(InventoryQuery::DiskDrive) << "diskdrive.txt";
}

// The same machine as the recorded outputs, described the Linux way, gives the same text.
void TstLinuxInventory::recordedDesktop()
{
    QFETCH(int, query);
    QFETCH(QString, file);
    write("proc/cpuinfo", "processor\t: 0\nmodel name\t: Intel(R) Core(TM) i5-2400 CPU @ 3.10GHz\n"
                          "\nprocessor\t: 1\nmodel name\t: Intel(R) Core(TM) i5-2400 CPU @ "
                          "3.10GHz\n");
    write("sys/class/dmi/id/board_vendor", "ASUSTeK COMPUTER INC.\n");
    write("sys/class/dmi/id/board_name", "PRIME B450M-A\n");
    write("sys/firmware/dmi/tables/DMI", memoryDevice(8192, 2666, "Kingston") +
                                             memoryDevice(0, 0, "Empty slot") +
                                             memoryDevice(8192, 2666, "Kingston  ") + endOfTable() +
                                             memoryDevice(4096, 2666, "After the end"));
    write("proc/meminfo", "MemTotal:       16318480 kB\n");

    write("sys/block/nvme0n1/size", "976768065\n");
    write("sys/block/nvme0n1/device/model", "Samsung SSD 970 EVO Plus 500GB          \n");
    write("sys/block/sda/size", "1953520065\n");
    write("sys/block/sda/device/model", "WDC WD10EZEX-08WN4A0\n");
    for (const char *skipped : {"loop0", "ram0", "zram0", "sr0"}) {
        write(QStringLiteral("sys/block/%1/size").arg(skipped), "2048\n");
        write(QStringLiteral("sys/block/%1/device/model").arg(skipped), "Virtual\n");
    }
    write("sys/block/dm-0/size", "2048\n"); // no hardware behind it

    QCOMPARE(text(InventoryQuery(query)).toLatin1(), recorded(file));
}

void TstLinuxInventory::memoryFromMeminfoWithoutSmbios()
{
    write("proc/meminfo", "MemTotal:       16318480 kB\nMemFree:         1000 kB\n");
    QCOMPARE(text(InventoryQuery::MemoryChip),
             QStringLiteral("Capacity     Manufacturer  Speed  \r\r\n"
                            "16710123520                       \r\r\n\r\r\n"));
}

void TstLinuxInventory::graphicsAndSound()
{
    const QString amd = pciDevice("0000:03:00.0", "0x1002", "0x73df");
    write(amd + "/mem_info_vram_total", "12868124672\n");
    const QString nvidia = pciDevice("0000:01:00.0", "0x10de", "0x1c03");
    const QString hdmi = pciDevice("0000:01:00.1", "0x10de", "0x10f1", "0x040300");
    link(amd, "sys/class/drm/card0/device");
    link(nvidia, "sys/class/drm/card1/device");
    link(amd, "sys/class/drm/card0-DP-1/device");
    link(amd, "sys/class/drm/renderD128/device");

    QCOMPARE(WmicTable::dataLines(text(InventoryQuery::VideoController)),
             // The vendor's comma would split the page's entry into a wrong name and size.
             QStringList({"12868124672  Advanced Micro Devices Inc. [AMD/ATI] Navi 22 [Radeon RX "
                          "6700/6700 XT]",
                          "0            NVIDIA Corporation GP106 [GeForce GTX 1060 6GB]"}));

    write("proc/asound/cards", " 0 [NVidia         ]: HDA-Intel - HDA NVidia\n"
                               "                      HDA NVidia at 0xf7080000 irq 17\n"
                               " 1 [Headset        ]: USB-Audio - Logitech USB Headset\n"
                               "                      Logitech Logitech USB Headset at usb-1\n");
    link(hdmi, "sys/class/sound/card0/device");
    QCOMPARE(WmicTable::dataLines(text(InventoryQuery::SoundDevice)),
             QStringList({"NVIDIA Corporation GP106 High Definition Audio Controller",
                          "Logitech USB Headset"}));
}

void TstLinuxInventory::soundFromPciClassWithoutAsound()
{
    pciDevice("0000:00:1f.3", "0x8086", "0xa348", "0x040300");
    pciDevice("0000:00:02.0", "0x8086", "0x3e92", "0x030000");
    QCOMPARE(WmicTable::dataLines(text(InventoryQuery::SoundDevice)),
             QStringList({"Intel Corporation Device a348"}));
}

void TstLinuxInventory::networkAdaptersThatAreUp()
{
    const QString nic = pciDevice("0000:00:1f.6", "0x8086", "0x15bc", "0x020000");
    write("sys/class/net/enp0s31f6/operstate", "up\n");
    link(nic, "sys/class/net/enp0s31f6/device");
    write("sys/class/net/wlan0/operstate", "down\n");
    link(nic, "sys/class/net/wlan0/device");
    write("sys/class/net/lo/operstate", "up\n");
    write("sys/class/net/docker0/operstate", "up\n");
    // A USB adapter is named by the USB device, not by the host controller it hangs off.
    const QString usb = QStringLiteral("sys/devices/pci0000:00/0000:00:14.0/usb1/1-2");
    write(usb + "/idVendor", "0bda\n");
    write(usb + "/manufacturer", "Realtek\n");
    write(usb + "/product", "USB 10/100/1000 LAN\n");
    QVERIFY(QDir(root->path()).mkpath("sys/bus/usb"));
    link("sys/bus/usb", usb + "/subsystem");
    link("sys/bus/usb", usb + "/1-2:1.0/subsystem");
    write("sys/class/net/enx00e04c/operstate", "up\n");
    link(usb + "/1-2:1.0", "sys/class/net/enx00e04c/device");

    QCOMPARE(WmicTable::dataLines(text(InventoryQuery::Nic)),
             QStringList({"docker0", "Intel Corporation Ethernet Connection (7) I219-V",
                          "Realtek USB 10/100/1000 LAN"}));
}

void TstLinuxInventory::osReleaseQuotes()
{
    write("usr/lib/os-release", "NAME=Other\nPRETTY_NAME=\"Fallback\"\n");
    QCOMPARE(WmicTable::dataLines(text(InventoryQuery::Os)), QStringList({"Fallback"}));
    write("etc/os-release", "NAME=\"Debian\"\nPRETTY_NAME=\"Debian \\\"12\\\" \\$x\"\nID=debian\n");
    QCOMPARE(WmicTable::dataLines(text(InventoryQuery::Os)), QStringList({"Debian \"12\" $x"}));
}

void TstLinuxInventory::pciNames()
{
    const QByteArray db(pciIds);
    QCOMPARE(PciIds::deviceName(db, 0x10de, 0x1c03),
             QStringLiteral("NVIDIA Corporation GP106 [GeForce GTX 1060 6GB]"));
    QCOMPARE(PciIds::deviceName(db, 0x10de, 0x10f1),
             QStringLiteral("NVIDIA Corporation GP106 High Definition Audio Controller"));
    // A subsystem line of another device is no device of its own.
    QCOMPARE(PciIds::deviceName(db, 0x1002, 0x10de),
             QStringLiteral("Advanced Micro Devices, Inc. [AMD/ATI] Device 10de"));
    QCOMPARE(PciIds::deviceName(db, 0x8086, 0x1c03),
             QStringLiteral("Intel Corporation Device 1c03"));
    QCOMPARE(PciIds::deviceName(db, 0x1af4, 0x1000), QString());
    QCOMPARE(PciIds::deviceName(QByteArray("1af4  Red Hat, Inc.\n"), 0x1af4, 0x1000),
             QStringLiteral("Red Hat, Inc. Device 1000"));
}

void TstLinuxInventory::smbiosSizes()
{
    const QByteArray table = memoryDevice(0x7FFF, 4800, "Samsung", 65536) +
                             memoryDevice(0x8000 | 512, 0, "KB") +
                             memoryDevice(0xFFFF, 2400, "Unknown size") +
                             structure(17, QByteArray(0x15, '\0'), {}) + // an SMBIOS 2.1 empty slot
                             endOfTable();
    const std::vector<SmbiosMemory::Module> modules = modulesOf(table);
    QCOMPARE(modules.size(), size_t(2));
    QCOMPARE(modules[0].bytes, Q_UINT64_C(65536) * 1024 * 1024);
    QCOMPARE(modules[0].manufacturer, std::string("Samsung"));
    QCOMPARE(modules[0].speedMts, 4800u);
    QCOMPARE(modules[1].bytes, Q_UINT64_C(512) * 1024);
    QCOMPARE(modules[1].speedMts, 0u);
}

void TstLinuxInventory::smbiosDamagedTable()
{
    const QByteArray good = memoryDevice(8192, 2666, "Kingston");
    QByteArray table = good + memoryDevice(8192, 2666, "Cut off");
    table.chop(12);
    QCOMPARE(modulesOf(table).size(), size_t(1));
    QByteArray badLength = good + memoryDevice(8192, 2666, "Bad");
    badLength[good.size() + 1] = char(0xff); // runs past the end
    QCOMPARE(modulesOf(badLength).size(), size_t(1));
    QCOMPARE(modulesOf(QByteArray("\x11\x02", 2)).size(), size_t(0));
    // A string index past the string set names no maker.
    QByteArray noSuchString = memoryDevice(8192, 2666, "Only one");
    noSuchString[0x17] = 3;
    QCOMPARE(modulesOf(noSuchString).at(0).manufacturer, std::string());
}

void TstLinuxInventory::smbiosSpeeds_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<unsigned>("speed");
    QTest::addColumn<unsigned>("configured");
    QTest::newRow("SMBIOS 2.7 speeds") << speedDevice(0x22, 3200, 2933, 0, 0) << 3200u << 2933u;
    QTest::newRow("before 2.7: no configured speed")
        << speedDevice(0x1C, 2400, 0, 0, 0) << 2400u << 0u;
    QTest::newRow("configured word cut off by the length")
        << speedDevice(0x21, 2400, 2133, 0, 0) << 2400u << 0u;
    QTest::newRow("3.3 extended speeds")
        << speedDevice(0x5C, 0xFFFF, 0xFFFF, 70000, 68000) << 70000u << 68000u;
    QTest::newRow("extended speed missing from a short structure")
        << speedDevice(0x28, 0xFFFF, 0xFFFF, 70000, 68000) << 0u << 0u;
}

void TstLinuxInventory::smbiosSpeeds()
{
    QFETCH(QByteArray, table);
    QFETCH(unsigned, speed);
    QFETCH(unsigned, configured);
    const std::vector<SmbiosMemory::Module> modules = modulesOf(table + endOfTable());
    QCOMPARE(modules.size(), size_t(1));
    QCOMPARE(modules[0].speedMts, speed);
    QCOMPARE(modules[0].configuredSpeedMts, configured);
}

void TstLinuxInventory::oversizedFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("head"); // the file's start; the rest up to 1 GB is zeros
    QTest::addColumn<int>("query");
    QTest::addColumn<QString>("expected"); // in the query's table text

    QTest::newRow("cpuinfo") << "proc/cpuinfo"
                             << QByteArray("processor\t: 0\nmodel name\t: Test CPU 9000\n\n")
                             << int(InventoryQuery::Cpu) << "Test CPU 9000";
    QTest::newRow("meminfo") << "proc/meminfo" << QByteArray("MemTotal:  16318480 kB\n")
                             << int(InventoryQuery::MemoryChip) << "16710123520";
    QTest::newRow("SMBIOS table") << "sys/firmware/dmi/tables/DMI"
                                  << memoryDevice(8192, 2666, "Kingston")
                                  << int(InventoryQuery::MemoryChip) << "Kingston";
    QTest::newRow("board name") << "sys/class/dmi/id/board_name" << QByteArray("B650M\n")
                                << int(InventoryQuery::Baseboard) << "B650M";
    QTest::newRow("os-release") << "etc/os-release" << QByteArray("PRETTY_NAME=\"Debian 12\"\n")
                                << int(InventoryQuery::Os) << "Debian 12";
    QTest::newRow("sound cards") << "proc/asound/cards"
                                 << QByteArray(" 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n")
                                 << int(InventoryQuery::SoundDevice) << "HDA Intel PCH";
    QTest::newRow("PCI ID database")
        << "usr/share/misc/pci.ids" << QByteArray(pciIds) << int(InventoryQuery::VideoController)
        << "NVIDIA Corporation GP106 [GeForce GTX 1060 6GB]";
}

// A file of 1 GB where a small one belongs (a broken driver, a FUSE mount) is read only as far
// as its content can go: the inventory neither takes seconds nor a gigabyte of memory for it.
void TstLinuxInventory::oversizedFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, head);
    QFETCH(int, query);
    QFETCH(QString, expected);

    if (query == int(InventoryQuery::VideoController))
        link(pciDevice("0000:01:00.0", "0x10de", "0x1c03"), "sys/class/drm/card0/device");
    write(file, head);
    QFile big(root->filePath(file));
    QVERIFY(big.resize(qint64(1) << 30)); // sparse: no disk space taken

    const QString table = text(InventoryQuery(query));
    QVERIFY2(table.contains(expected), qPrintable(table.left(500)));
    rusage usage{};
    QVERIFY(getrusage(RUSAGE_SELF, &usage) == 0);
    QVERIFY2(usage.ru_maxrss < 200 * 1024, qPrintable(QString::number(usage.ru_maxrss)));
}

QTEST_GUILESS_MAIN(TstLinuxInventory)
#include "tst_linuxInventory.moc"
