#include "TarnixRun.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <sys/ipc.h>
#include <sys/resource.h>
#include <sys/sem.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString tempFolder()
{
    return qEnvironmentVariable("TARNIX_TEST_SCRATCH", QDir::tempPath()) + QStringLiteral("/tmp");
}

pid_t parentOf(const QString &pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // "pid (comm) state ppid ...": the command name may hold spaces and parentheses.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toInt() : -1;
}

} // namespace

QString TarnixRun::executable()
{
    return QFileInfo(QStringLiteral(TARNIX_BINARY_DIR "/Tarnix")).canonicalFilePath();
}

void TarnixRun::isolate()
{
    QDir().mkpath(tempFolder());
    qputenv("TMPDIR", tempFolder().toLocal8Bit());
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
}

void TarnixRun::start(QProcess &process, const QStringList &arguments, const QString &outputFile)
{
    process.setStandardOutputFile(outputFile);
    process.setStandardErrorFile(outputFile + QStringLiteral(".err"));
    process.start(executable(), arguments);
    process.waitForStarted(10000);
}

QString TarnixRun::readText(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

bool TarnixRun::waitForText(const QString &file, const QString &text, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!readText(file).contains(text)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

QList<pid_t> TarnixRun::adoptedCopies()
{
    QList<pid_t> copies;
    const QString exe = executable();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid || parentOf(entry) != getpid())
            continue;
        if (QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)) == exe)
            copies.append(pid);
    }
    return copies;
}

QByteArrayList TarnixRun::arguments(pid_t pid)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly))
        return {};
    QByteArray text = cmdline.readAll();
    if (text.endsWith('\0'))
        text.chop(1);
    return text.split('\0');
}

bool TarnixRun::isBlocked(pid_t pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigBlk:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
    }
    return false;
}

void TarnixRun::killAndReap(pid_t pid)
{
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

void TarnixRun::removeLeftoverIpc()
{
    const QDir folder(tempFolder());
    const QStringList keyFiles = folder.entryList({QStringLiteral("qipc_*")}, QDir::Files);
    for (const QString &name : keyFiles) {
        // Qt derives both keys with ftok(file, 'Q').
        const key_t key = ftok(QFile::encodeName(folder.filePath(name)).constData(), 'Q');
        if (key == -1)
            continue;
        const int segment = shmget(key, 0, 0);
        if (segment != -1)
            shmctl(segment, IPC_RMID, nullptr);
        const int semaphore = semget(key, 0, 0);
        if (semaphore != -1)
            semctl(semaphore, 0, IPC_RMID);
    }
}
