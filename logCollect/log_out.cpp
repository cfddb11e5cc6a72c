#include "logCollect/log_out.h"

#include "core/Clock.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QTextCodec>
#include <QTextStream>

namespace {

const int retentionDays = 7;

// Set once before the log starts (a service names its own folder); empty for the usual one.
QString &chosenFolder()
{
    static QString folder;
    return folder;
}

QDateTime creationTime(const QFileInfo &info)
{
    // Not every file system records a birth time; the last change is the closest stand-in.
    const QDateTime birth = info.birthTime();
    return birth.isValid() ? birth : info.lastModified();
}

} // namespace

QString LogFormat::sourceFileField(const QString &file)
{
    const int slash = file.lastIndexOf(QLatin1Char('\\'));
    return slash > 0 ? file.mid(slash + 1) : file;
}

QString LogFormat::line(const QString &file, int line, const QDateTime &when,
                        const QString &message)
{
    return QStringLiteral("[%1]-[flie:%2    line:%3    datetime:%4]--------------------> %5")
        .arg(QStringLiteral("Debug"))
        .arg(sourceFileField(file))
        .arg(line)
        .arg(when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
        .arg(message);
}

void LogFormat::setFolder(const QString &folder)
{
    chosenFolder() = folder;
}

QString LogFormat::folderPath()
{
    if (!chosenFolder().isEmpty())
        return QDir::toNativeSeparators(chosenFolder());
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
        QStringLiteral("/logDir"));
}

QString LogFormat::filePath(const QDateTime &when)
{
    const QString folder = chosenFolder().isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                                     QStringLiteral("/logDir")
                               : chosenFolder();
    return QDir::toNativeSeparators(folder + QStringLiteral("/") +
                                    when.date().toString(QStringLiteral("yyyy-MM-dd")) +
                                    QStringLiteral(".log"));
}

void InitializeLog(const QString &subFolder)
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!subFolder.isEmpty()) {
        base += QStringLiteral("/") + subFolder;
        if (!QDir(base).exists())
            QDir().mkdir(base);
    }
    const QString logDir = chosenFolder().isEmpty()
                               ? QDir::toNativeSeparators(base + QStringLiteral("/logDir"))
                               : LogFormat::folderPath();
    // A fresh Linux account may not have ~/.local/share yet: the whole path is made.
    if (!QDir(logDir).exists())
        QDir().mkpath(logDir);
    qDebug() << "LogDir FullPath:" << logDir;

    const QDateTime cutOff = Clock::now().addDays(-retentionDays);
    QDir dir(logDir);
    const QFileInfoList entries = dir.entryInfoList();
    for (const QFileInfo &entry : entries) {
        if (entry.fileName() == QLatin1String(".") || entry.fileName() == QLatin1String(".."))
            continue;
        const qint32 secs = static_cast<qint32>(cutOff.secsTo(creationTime(entry)));
        if (secs < 0)
            dir.remove(entry.fileName());
    }
}

void LogMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (type != QtDebugMsg)
        return;

    static QMutex mutex;
    QMutexLocker locker(&mutex);

    const QDateTime now = Clock::now();
    const QString text = LogFormat::line(QString::fromUtf8(context.file ? context.file : ""),
                                         context.line, now, msg);

    QFile file(LogFormat::filePath(now));
    // Without a log folder the line is lost; writing to the closed file would only warn.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return;
    QTextStream stream(&file);
#ifndef Q_OS_WIN
    // Linux desktops are UTF-8; fixing it keeps "℃" intact when started without a locale.
    stream.setCodec(QTextCodec::codecForName("UTF-8"));
#endif
    stream << text << "\r\n";
    stream.flush();
    file.close();
}
