#include "inventory/InventoryParsers.h"

#include "model/Units.h"
#include "wmic/WmicTable.h"

namespace {
const QChar blank = QLatin1Char(' ');
const QString memorySuffix = QStringLiteral(" GB");
const QString diskSuffix = QStringLiteral(" GB");
const QString gpuSuffix = QStringLiteral("GB");

float gigabytes(double bytes)
{
    return static_cast<float>(bytes) / float(kBytesPerGiB);
}

// Without a blank the whole line is the first word.
QString beforeFirstBlank(const QString &line)
{
    const int first = line.indexOf(blank);
    return first < 0 ? line : line.left(first);
}

// Without a blank nothing follows the first word.
QString afterFirstBlank(const QString &line)
{
    const int first = line.indexOf(blank);
    return first < 0 ? QString() : line.mid(first).trimmed();
}

QString betweenFirstAndLastBlank(const QString &line)
{
    const int first = line.indexOf(blank);
    const int last = line.lastIndexOf(blank);
    if (first < 0 || last <= first)
        return QString();
    return line.mid(first + 1, last - first - 1).trimmed();
}
} // namespace

namespace InventoryParsers {

QString sizeText(double bytes, const QString &suffix)
{
    return QString::number(gigabytes(bytes), 'f', 1) + suffix;
}

QString processorName(const QString &output, const QString &commandLine)
{
    const QString header = commandLine.split(blank).last();
    QString text = output;
    if (!header.isEmpty())
        text.remove(header, Qt::CaseInsensitive);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text.simplified();
}

QString boardInfo(const QString &output)
{
    QString maker;
    QString product;
    for (const QString &line : WmicTable::dataLines(output)) {
        maker = beforeFirstBlank(line);
        product = afterFirstBlank(line);
    }
    return maker + blank + product;
}

QStringList memoryList(const QString &output)
{
    QStringList modules;
    for (const QString &line : WmicTable::dataLines(output)) {
        const double capacity = beforeFirstBlank(line).toDouble();
        modules << betweenFirstAndLastBlank(line) + QLatin1Char(',') +
                       sizeText(capacity, memorySuffix);
    }
    return modules;
}

QStringList diskList(const QString &output)
{
    QStringList disks;
    for (const QString &line : WmicTable::dataLines(output)) {
        const int last = line.lastIndexOf(blank);
        const double size = line.mid(last + 1).toDouble();
        disks << line.left(last + 1).trimmed() + QLatin1Char(',') + sizeText(size, diskSuffix);
    }
    return disks;
}

QStringList gpuList(const QString &output)
{
    QStringList adapters;
    for (const QString &line : WmicTable::dataLines(output)) {
        const double memory = beforeFirstBlank(line).toDouble();
        if (gigabytes(memory) == 0.0f)
            continue;
        adapters << afterFirstBlank(line) + QLatin1Char(',') + sizeText(memory, gpuSuffix);
    }
    return adapters;
}

QStringList audioList(const QString &output)
{
    QString fallback;
    for (const QString &line : WmicTable::dataLines(output)) {
        if (line.contains(QLatin1String("High Definition Audio")))
            return {line};
        if (line.contains(QLatin1String("Audio")))
            fallback = line;
    }
    return {fallback};
}

QStringList networkList(const QString &output)
{
    return WmicTable::dataLines(output);
}

QString osCaption(const QString &output)
{
    const QStringList lines = WmicTable::dataLines(output);
    return lines.isEmpty() ? QString() : lines.last();
}

} // namespace InventoryParsers
