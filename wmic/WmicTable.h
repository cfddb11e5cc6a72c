#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

// The column text that wmic prints through a pipe: a header line, one line per instance,
// every column as wide as its widest cell plus two blanks, "\r\r\n" line ends and one
// closing empty line.
namespace WmicTable {

// The data lines of a table, trimmed: the pieces between the header and the closing empty
// line after splitting at "\n" (empty pieces dropped). Fewer than three pieces: none.
QStringList dataLines(const QString &output);

// Writes `rows` (cells in the order of `headers`) the way wmic would: columns sorted by
// header name, whatever order they were given in. No rows give no text at all, as wmic
// prints nothing on standard output when no instance exists.
QString format(const QStringList &headers, const QVector<QStringList> &rows);

} // namespace WmicTable
