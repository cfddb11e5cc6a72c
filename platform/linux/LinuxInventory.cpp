#include "platform/linux/LinuxInventory.h"

#include "platform/linux/PciIds.h"
#include "sysio/BoundedRead.h"
#include "sysio/SmbiosMemory.h"
#include "wmic/WmicTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <memory>

namespace {
using Rows = QVector<QStringList>;

// What the inventory reads, each up to a bound: /proc texts (cpuinfo's first record, meminfo,
// the sound cards, os-release) are a few kB; an SMBIOS table stays well below a megabyte; the
// PCI ID database is about 1.5 MB and grows slowly.
constexpr size_t kTextFileLimit = 64 * 1024;
constexpr size_t kSmbiosLimit = 1024 * 1024;
constexpr qint64 kPciIdsLimit = 16 * 1024 * 1024;

QByteArray readFile(const QString &path, size_t limit)
{
    std::string content;
    if (!hwsensors::readFileBounded(QFile::encodeName(path).toStdString(), limit, content))
        return QByteArray();
    return QByteArray::fromStdString(content);
}

// One sysfs attribute.
QString readText(const QString &path)
{
    return QString::fromUtf8(readFile(path, hwsensors::kAttributeLimit)).trimmed();
}

// sysfs writes PCI IDs as "0x10de".
unsigned readHexId(const QString &path)
{
    return readText(path).toUInt(nullptr, 16);
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}

// The PCI ID database, mapped on first use; only the adapter queries need it.
class PciDatabase
{
public:
    explicit PciDatabase(const QString &root)
        : file(root + QStringLiteral("/usr/share/misc/pci.ids"))
    {
    }

    QString name(unsigned vendor, unsigned device)
    {
        if (!opened) {
            opened = true;
            if (file.open(QIODevice::ReadOnly)) {
                // A larger file is not the database; its start is looked at all the same.
                const qint64 size = qMin(file.size(), kPciIdsLimit);
                const uchar *data = size > 0 ? file.map(0, size) : nullptr;
                if (data)
                    text = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                   static_cast<int>(size));
            }
        }
        return PciIds::deviceName(text, vendor, device);
    }

private:
    QFile file;
    QByteArray text;
    bool opened = false;
};

class Sources
{
public:
    explicit Sources(const QString &root) : root(root), pci(root) {}

    QString path(const QString &relative) const { return root + relative; }

    // Name of the hardware behind a sysfs device folder: the nearest PCI device by its
    // database name, or the nearest USB device by its own strings; empty when neither.
    QString hardwareName(const QString &devicePath)
    {
        QString dir = QFileInfo(devicePath).canonicalFilePath();
        const QString top = QFileInfo(path(QStringLiteral("/sys/devices"))).canonicalFilePath();
        for (int depth = 0; depth < 6 && !dir.isEmpty() && dir != top; ++depth) {
            const QString subsystem =
                QFileInfo(QFileInfo(dir + QStringLiteral("/subsystem")).canonicalFilePath())
                    .fileName();
            if (subsystem == QLatin1String("pci"))
                return pci.name(readHexId(dir + QStringLiteral("/vendor")),
                                readHexId(dir + QStringLiteral("/device")));
            if (subsystem == QLatin1String("usb") &&
                QFileInfo::exists(dir + QStringLiteral("/idVendor")))
                return (readText(dir + QStringLiteral("/manufacturer")) + QLatin1Char(' ') +
                        readText(dir + QStringLiteral("/product")))
                    .trimmed();
            dir = QFileInfo(dir).path();
        }
        return QString();
    }

private:
    QString root;
    PciDatabase pci;
};

Rows processorRows(Sources &src)
{
    const QString cpuinfo =
        QString::fromUtf8(readFile(src.path(QStringLiteral("/proc/cpuinfo")), kTextFileLimit));
    static const QRegularExpression modelName(QStringLiteral("^model name\\s*:\\s*(.*)$"),
                                              QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = modelName.match(cpuinfo);
    if (!match.hasMatch())
        return {};
    return {{match.captured(1).trimmed()}};
}

Rows baseboardRows(Sources &src)
{
    const QString vendor = readText(src.path(QStringLiteral("/sys/class/dmi/id/board_vendor")));
    const QString name = readText(src.path(QStringLiteral("/sys/class/dmi/id/board_name")));
    if (vendor.isEmpty() && name.isEmpty())
        return {};
    return {{vendor, name}};
}

// The page splits memory, disk and graphics entries at their commas into name and size, and
// Linux names often carry one ("Red Hat, Inc."); Windows' own names do not.
QString listName(QString name)
{
    return name.remove(QLatin1Char(',')).simplified();
}

// Modules from the SMBIOS table where it is readable (root only), else the total as one
// module of unknown make.
Rows memoryRows(Sources &src)
{
    Rows rows;
    const QByteArray table =
        readFile(src.path(QStringLiteral("/sys/firmware/dmi/tables/DMI")), kSmbiosLimit);
    const auto *bytes = reinterpret_cast<const unsigned char *>(table.constData());
    for (const SmbiosMemory::Module &m : SmbiosMemory::modules(bytes, size_t(table.size())))
        rows << QStringList{QString::number(m.bytes),
                            listName(QString::fromLatin1(m.manufacturer.c_str())),
                            m.speedMts ? QString::number(m.speedMts) : QString()};
    if (!rows.isEmpty())
        return rows;

    const QString meminfo =
        QString::fromUtf8(readFile(src.path(QStringLiteral("/proc/meminfo")), kTextFileLimit));
    static const QRegularExpression total(QStringLiteral("^MemTotal:\\s*(\\d+)\\s*kB"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = total.match(meminfo);
    if (!match.hasMatch())
        return {};
    return {{QString::number(match.captured(1).toULongLong() * 1024), QString(), QString()}};
}

bool isDiskDrive(const QString &block, const QString &name)
{
    static const QRegularExpression virtualOrOptical(QStringLiteral("^(loop|ram|zram|sr)"));
    // Device-mapper, md and other purely virtual devices have no hardware behind them.
    return !virtualOrOptical.match(name).hasMatch() &&
           QFileInfo::exists(block + QStringLiteral("/device"));
}

Rows diskRows(Sources &src)
{
    Rows rows;
    const QString dir = src.path(QStringLiteral("/sys/block"));
    for (const QString &name : entries(dir)) {
        const QString block = dir + QLatin1Char('/') + name;
        if (!isDiskDrive(block, name))
            continue;
        QString model = readText(block + QStringLiteral("/device/model"));
        if (model.isEmpty())
            model = src.hardwareName(block + QStringLiteral("/device"));
        if (model.isEmpty())
            model = name;
        const quint64 sectors = readText(block + QStringLiteral("/size")).toULongLong();
        rows << QStringList{listName(model), QString::number(sectors * 512)};
    }
    return rows;
}

Rows videoRows(Sources &src)
{
    Rows rows;
    static const QRegularExpression card(QStringLiteral("^card\\d+$"));
    const QString dir = src.path(QStringLiteral("/sys/class/drm"));
    for (const QString &name : entries(dir)) {
        const QString device = dir + QLatin1Char('/') + name + QStringLiteral("/device");
        if (!card.match(name).hasMatch() || !QFileInfo::exists(device))
            continue;
        QString adapter = src.hardwareName(device);
        if (adapter.isEmpty())
            adapter = name;
        // Only amdgpu tells its memory size here; 0 leaves the adapter out of the list.
        QString memory = readText(device + QStringLiteral("/mem_info_vram_total"));
        if (memory.isEmpty())
            memory = QStringLiteral("0");
        rows << QStringList{memory, listName(adapter)};
    }
    return rows;
}

Rows pciClassRows(Sources &src, const QString &classPrefix)
{
    Rows rows;
    const QString dir = src.path(QStringLiteral("/sys/bus/pci/devices"));
    for (const QString &name : entries(dir)) {
        const QString device = dir + QLatin1Char('/') + name;
        if (!readText(device + QStringLiteral("/class")).startsWith(classPrefix))
            continue;
        const QString adapter = src.hardwareName(device);
        rows << QStringList{adapter.isEmpty() ? name : adapter};
    }
    return rows;
}

Rows soundRows(Sources &src)
{
    // " 0 [PCH            ]: HDA-Intel - HDA Intel PCH"
    static const QRegularExpression cardLine(
        QStringLiteral("^\\s*(\\d+)\\s+\\[[^\\]]*\\]:\\s*.*? - (.*)$"),
        QRegularExpression::MultilineOption);
    const QString cards =
        QString::fromUtf8(readFile(src.path(QStringLiteral("/proc/asound/cards")), kTextFileLimit));
    Rows rows;
    for (auto it = cardLine.globalMatch(cards); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString name = src.hardwareName(src.path(QStringLiteral("/sys/class/sound/card")) +
                                        match.captured(1) + QStringLiteral("/device"));
        if (name.isEmpty())
            name = match.captured(2).trimmed();
        rows << QStringList{name};
    }
    if (rows.isEmpty())
        rows = pciClassRows(src, QStringLiteral("0x0403"));
    return rows;
}

Rows networkRows(Sources &src)
{
    Rows rows;
    const QString dir = src.path(QStringLiteral("/sys/class/net"));
    for (const QString &name : entries(dir)) {
        const QString iface = dir + QLatin1Char('/') + name;
        if (name == QLatin1String("lo") ||
            readText(iface + QStringLiteral("/operstate")) != QLatin1String("up"))
            continue;
        const QString adapter = src.hardwareName(iface + QStringLiteral("/device"));
        rows << QStringList{adapter.isEmpty() ? name : adapter};
    }
    return rows;
}

// os-release values may be quoted and shell-escaped.
QString osReleaseValue(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 &&
        (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\''))) &&
        value.endsWith(value.at(0)))
        value = value.mid(1, value.size() - 2);
    static const QRegularExpression escaped(QStringLiteral("\\\\([\"'$`\\\\])"));
    return value.replace(escaped, QStringLiteral("\\1"));
}

Rows osRows(Sources &src)
{
    QByteArray release = readFile(src.path(QStringLiteral("/etc/os-release")), kTextFileLimit);
    if (release.isEmpty())
        release = readFile(src.path(QStringLiteral("/usr/lib/os-release")), kTextFileLimit);
    static const QRegularExpression pretty(QStringLiteral("^PRETTY_NAME=(.*)$"),
                                           QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pretty.match(QString::fromUtf8(release));
    if (!match.hasMatch())
        return {};
    return {{osReleaseValue(match.captured(1))}};
}

struct Query
{
    QStringList headers;
    Rows (*rows)(Sources &);
};

Query queryOf(InventoryQuery query)
{
    const QString name = QStringLiteral("Name");
    switch (query) {
    case InventoryQuery::Cpu:
        return {{name}, processorRows};
    case InventoryQuery::Baseboard:
        return {{QStringLiteral("Manufacturer"), QStringLiteral("Product")}, baseboardRows};
    case InventoryQuery::MemoryChip:
        return {
            {QStringLiteral("Capacity"), QStringLiteral("Manufacturer"), QStringLiteral("Speed")},
            memoryRows};
    case InventoryQuery::DiskDrive:
        return {{QStringLiteral("Model"), QStringLiteral("Size")}, diskRows};
    case InventoryQuery::VideoController:
        return {{QStringLiteral("AdapterRAM"), name}, videoRows};
    case InventoryQuery::SoundDevice:
        return {{name}, soundRows};
    case InventoryQuery::Nic:
        return {{name}, networkRows};
    case InventoryQuery::Os:
        return {{QStringLiteral("Caption")}, osRows};
    }
    return {{}, nullptr};
}
} // namespace

namespace LinuxInventory {

QString tableText(InventoryQuery query, const QString &root)
{
    const Query q = queryOf(query);
    if (!q.rows)
        return QString();
    Sources sources(root == QLatin1String("/") ? QString() : root);
    return WmicTable::format(q.headers, q.rows(sources));
}

} // namespace LinuxInventory
