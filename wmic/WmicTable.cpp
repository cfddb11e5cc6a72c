#include "wmic/WmicTable.h"

#include <algorithm>
#include <numeric>

namespace {
const QString lineEnd = QStringLiteral("\r\r\n");

// A cell never spans lines, or the table would gain rows.
QString oneLineCell(QString cell)
{
    cell.replace(QLatin1Char('\r'), QLatin1Char(' '));
    cell.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return cell;
}

QString joinPadded(const QStringList &cells, const QVector<int> &order, const QVector<int> &widths)
{
    QString line;
    for (int i = 0; i < order.size(); ++i)
        line += cells.value(order[i]).leftJustified(widths[i]);
    return line + lineEnd;
}
} // namespace

namespace WmicTable {

QStringList dataLines(const QString &output)
{
#if QT_VERSION >= QT_VERSION_CHECK(5, 14, 0)
    const QStringList pieces = output.split(QStringLiteral("\n"), Qt::SkipEmptyParts);
#else
    const QStringList pieces = output.split(QStringLiteral("\n"), QString::SkipEmptyParts);
#endif
    QStringList lines;
    for (int i = 1; i < pieces.size() - 1; ++i)
        lines << pieces[i].trimmed();
    return lines;
}

QString format(const QStringList &headers, const QVector<QStringList> &rows)
{
    if (rows.isEmpty())
        return QString();

    QVector<int> order(headers.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return headers[a].compare(headers[b], Qt::CaseInsensitive) < 0;
    });

    QVector<QStringList> cleanRows;
    cleanRows.reserve(rows.size());
    for (const QStringList &row : rows) {
        QStringList cells;
        for (int c = 0; c < headers.size(); ++c)
            cells << oneLineCell(row.value(c));
        cleanRows << cells;
    }

    QVector<int> widths;
    for (const int column : order) {
        int width = headers[column].size();
        for (const QStringList &row : cleanRows)
            width = std::max(width, row[column].size());
        widths << width + 2;
    }

    QString text = joinPadded(headers, order, widths);
    for (const QStringList &row : cleanRows)
        text += joinPadded(row, order, widths);
    return text + lineEnd;
}

} // namespace WmicTable
