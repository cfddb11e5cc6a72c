#include "platform/InventorySource.h"

#include "platform/windows/WmiQuery.h"
#include "platform/windows/WmicCommand.h"
#include "wmic/WmicTable.h"

#include <QProcess>
#include <QStringList>
#include <QVector>

#include <chrono>

namespace {
// No query may keep the program from starting, the processor's included.
const int queryWaitMs = 30000;

// Where wmic is gone (Windows 11 24H2 and later), WMI itself answers the same query; its
// answer is written as the column text wmic would have printed, so the parsers see no
// difference. On a thread of its own, so the caller's COM apartment never matters.
QByteArray runThroughWmi(InventoryQuery query)
{
    const std::optional<WmiQuery> wmiQuery =
        WmicCommand::toWmiQuery(InventoryQueries::commandLine(query).toStdWString());
    if (!wmiQuery)
        return QByteArray();
    const std::optional<WmiTable> table =
        Wmi::runOnWorker(*wmiQuery, std::chrono::milliseconds(queryWaitMs));
    if (!table)
        return QByteArray();

    QStringList headers;
    for (const std::wstring &column : table->columns)
        headers << QString::fromStdWString(column);
    QVector<QStringList> rows;
    rows.reserve(static_cast<int>(table->rows.size()));
    for (const std::vector<std::wstring> &row : table->rows) {
        QStringList cells;
        for (const std::wstring &cell : row)
            cells << QString::fromStdWString(cell);
        rows << cells;
    }
    return InventoryQueries::encode(query, WmicTable::format(headers, rows));
}

// Windows' wmic writes 8-bit text into a pipe. UTF-16 behind a byte-order mark comes from
// another wmic (wine's, which also drops the closing empty line the parsers count on); WMI
// holds the same answer and gives it in the expected shape.
bool isWideText(const QByteArray &output)
{
    return output.startsWith("\xFF\xFE");
}
} // namespace

QByteArray InventorySource::run(InventoryQuery query)
{
    // Split the way QProcess always split a whole command line; the disk query's argument
    // list ("diskdrive", "get", "model,size") comes out the same.
    QStringList arguments = QProcess::splitCommand(InventoryQueries::commandLine(query));
    const QString program = arguments.takeFirst();
    QProcess process;
    process.start(program, arguments, QIODevice::ReadWrite);
    // wmic reads its standard input until that is closed.
    process.closeWriteChannel();
    process.waitForFinished(queryWaitMs);
    if (process.error() == QProcess::FailedToStart)
        return runThroughWmi(query);
    const QByteArray output = process.readAllStandardOutput();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
    return isWideText(output) ? runThroughWmi(query) : output;
}
