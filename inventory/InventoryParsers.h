#pragma once
#include <QString>
#include <QStringList>

// Turn the text of one inventory query into the display text of its item. Every table
// parser reads only the data lines of the table (WmicTable::dataLines).
namespace InventoryParsers {

// Bytes as gigabytes with one decimal, followed by `suffix`; the division runs in single
// precision.
QString sizeText(double bytes, const QString &suffix);

// The processor query's output reduced to one line: every occurrence of the command line's
// last word (the column header) removed in any case, line ends dropped, blanks simplified.
QString processorName(const QString &output, const QString &commandLine);

// Maker and product, split at the first blank; the last data line wins.
QString boardInfo(const QString &output);
// "maker,size GB" per module: capacity before the first blank, maker between the first
// and the last blank.
QStringList memoryList(const QString &output);
// "model,size GB" per disk: size after the last blank.
QStringList diskList(const QString &output);
// "name,sizeGB" per adapter: memory before the first blank; adapters whose memory reads
// as 0 are left out.
QStringList gpuList(const QString &output);
// Exactly one entry: the first "High Definition Audio" device, else the last device
// with "Audio" in its name, else an empty text.
QStringList audioList(const QString &output);
// Every data line.
QStringList networkList(const QString &output);
// The last data line.
QString osCaption(const QString &output);

} // namespace InventoryParsers
