// The column text of the inventory tool: hostile output must split into trimmed data lines,
// and any table the writer produces must read back with one data line per row.
#include "FuzzInput.h"
#include "wmic/WmicTable.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const QString &line : WmicTable::dataLines(FuzzInput::text(data, size)))
        FuzzInput::require(line == line.trimmed());

    FuzzedDataProvider input(data, size);
    const int columns = input.ConsumeIntegralInRange(1, 4);
    QStringList headers;
    for (int i = 0; i < columns; ++i)
        headers << QStringLiteral("Column%1").arg(columns - i);
    QVector<QStringList> rows;
    while (input.remaining_bytes() > 0 && rows.size() < 16) {
        QStringList row;
        for (int i = 0; i < columns; ++i)
            row << QString::fromStdString(input.ConsumeRandomLengthString(24));
        rows << row;
    }
    const QStringList lines = WmicTable::dataLines(WmicTable::format(headers, rows));
    FuzzInput::require(lines.size() == rows.size());
    if (columns == 1) {
        // Line ends inside a cell become blanks; the cell is otherwise kept.
        for (int i = 0; i < rows.size(); ++i) {
            QString cell = rows[i][0];
            cell.replace('\r', ' ').replace('\n', ' ');
            FuzzInput::require(lines[i] == cell.trimmed());
        }
    }
    return 0;
}
