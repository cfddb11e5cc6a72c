#include "platform/InventorySource.h"

#include <QProcess>
#include <QStringList>

namespace {
// No query may keep the program from starting, the processor's included.
const int queryWaitMs = 30000;
} // namespace

QByteArray InventorySource::run(InventoryQuery query)
{
    QProcess process;
    if (query == InventoryQuery::DiskDrive)
        process.start(
            QStringLiteral("wmic"),
            {QStringLiteral("diskdrive"), QStringLiteral("get"), QStringLiteral("model,size")},
            QIODevice::ReadWrite);
    else
        process.start(InventoryQueries::commandLine(query), QIODevice::ReadWrite);
    // wmic reads its standard input until that is closed.
    process.closeWriteChannel();
    process.waitForFinished(queryWaitMs);
    const QByteArray output = process.readAllStandardOutput();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
    return output;
}
