#include "core/Clock.h"
#include "logCollect/log_out.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>
#include <thread>

namespace {

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

void writeDebug(const char *file, int line, const QString &text, QtMsgType type = QtDebugMsg)
{
    const QMessageLogContext context(file, line, "void f()", "default");
    LogMessageHandler(type, context, text);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_logOut : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sourceFileField_data();
    void sourceFileField();
    void writesExactLineFormat();
    void midnightStartsNextDaysFile();
    void ignoresOtherLevels_data();
    void ignoresOtherLevels();
    void cleanUpByAge_data();
    void cleanUpByAge();
    void twoThreadsWriteWholeLines();
    void unwritableFolderIsHarmless();

private:
    QString logDir() const { return LogFormat::folderPath(); }
};

void tst_logOut::init()
{
    QDir(logDir()).removeRecursively();
    QDir().mkpath(logDir());
}

void tst_logOut::cleanup()
{
    Clock::setNowSourceForTesting({});
    qunsetenv("XDG_DATA_HOME");
}

void tst_logOut::sourceFileField_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("field");
    QTest::newRow("windows path") << "D:\\work\\logCollect\\log_out.cpp"
                                  << "log_out.cpp";
    QTest::newRow("no backslash") << "/work/main/dmainwidget.cpp"
                                  << "/work/main/dmainwidget.cpp";
    QTest::newRow("only leading backslash") << "\\main.cpp"
                                            << "\\main.cpp";
    QTest::newRow("trailing backslash") << "dir\\"
                                        << "";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_logOut::sourceFileField()
{
    QFETCH(QString, file);
    QFETCH(QString, field);
    QCOMPARE(LogFormat::sourceFileField(file), field);
}

void tst_logOut::writesExactLineFormat()
{
    Clock::setNowSourceForTesting([] { return at("2026-03-04 05:06:07"); });
    writeDebug("C:\\src\\dmainwidget.cpp", 42, QStringLiteral("Start Update -> Start"));
    writeDebug("main.cpp", 7, QStringLiteral("TempShowModel Init -> [℃]"));

    const QByteArray expected =
        "[Debug]-[flie:dmainwidget.cpp    line:42    datetime:2026-03-04 05:06:07]"
        "--------------------> Start Update -> Start\r\n"
        "[Debug]-[flie:main.cpp    line:7    datetime:2026-03-04 05:06:07]"
        "--------------------> TempShowModel Init -> [\xE2\x84\x83]\r\n";
    QCOMPARE(readAll(logDir() + "/2026-03-04.log"), expected);
}

void tst_logOut::midnightStartsNextDaysFile()
{
    QDateTime now = at("2026-12-31 23:59:59");
    Clock::setNowSourceForTesting([&now] { return now; });
    writeDebug("a.cpp", 1, QStringLiteral("before"));
    now = at("2027-01-01 00:00:00");
    writeDebug("a.cpp", 2, QStringLiteral("after"));

    const QByteArray first = readAll(logDir() + "/2026-12-31.log");
    const QByteArray second = readAll(logDir() + "/2027-01-01.log");
    QVERIFY(first.endsWith("> before\r\n"));
    QVERIFY(!first.contains("after"));
    QVERIFY(second.endsWith("> after\r\n"));
    QVERIFY(!second.contains("before"));
}

void tst_logOut::ignoresOtherLevels_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("warning") << int(QtWarningMsg);
    QTest::newRow("critical") << int(QtCriticalMsg);
    QTest::newRow("info") << int(QtInfoMsg);
}

void tst_logOut::ignoresOtherLevels()
{
    QFETCH(int, type);
    writeDebug("a.cpp", 1, QStringLiteral("not for the log"), QtMsgType(type));
    QVERIFY(QDir(logDir()).entryList(QDir::Files).isEmpty());
}

void tst_logOut::cleanUpByAge_data()
{
    QTest::addColumn<int>("daysLater");
    QTest::addColumn<bool>("kept");
    QTest::newRow("6 days old is kept") << 6 << true;
    QTest::newRow("8 days old is deleted") << 8 << false;
}

void tst_logOut::cleanUpByAge()
{
    QFETCH(int, daysLater);
    QFETCH(bool, kept);
    for (const char *name : {"2026-01-01.log", "notes.txt"}) {
        QFile file(logDir() + "/" + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(logDir()).mkdir("sub"));

    // The files were just created; moving "now" forward ages them.
    const QDateTime later = QDateTime::currentDateTime().addDays(daysLater);
    Clock::setNowSourceForTesting([later] { return later; });
    InitializeLog(QString());

    const QDir dir(logDir());
    QCOMPARE(dir.exists("2026-01-01.log"), kept);
    QCOMPARE(dir.exists("notes.txt"), kept);
    QVERIFY(dir.exists("sub"));
}

void tst_logOut::twoThreadsWriteWholeLines()
{
    const int perThread = 400;
    auto writer = [](const char *tag) {
        for (int i = 0; i < perThread; ++i)
            writeDebug("t.cpp", i, QStringLiteral("%1 message %2").arg(tag).arg(i));
    };
    std::thread a(writer, "alpha");
    std::thread b(writer, "beta");
    a.join();
    b.join();

    const QStringList files = QDir(logDir()).entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    const QList<QByteArray> lines = readAll(logDir() + "/" + files.first()).split('\n');
    QCOMPARE(lines.size(), 2 * perThread + 1);
    const QRegularExpression whole(QStringLiteral(
        "^\\[Debug\\]-\\[flie:t\\.cpp    line:\\d+    datetime:[0-9: -]{19}\\]-{20}> "
        "(alpha|beta) message \\d+\r$"));
    for (int i = 0; i < lines.size() - 1; ++i)
        QVERIFY2(whole.match(QString::fromUtf8(lines.at(i))).hasMatch(), lines.at(i).constData());
}

void tst_logOut::unwritableFolderIsHarmless()
{
    // A data folder below a plain file can never be created, not even by root.
    const QString blocker = QDir::tempPath() + "/tarnix-log-blocker";
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_DATA_HOME", blocker.toUtf8() + "/data");

    InitializeLog(QString());
    writeDebug("a.cpp", 1, QStringLiteral("lost"));
    QVERIFY(!QFile::exists(LogFormat::folderPath()));
    QFile::remove(blocker);
}

QTEST_GUILESS_MAIN(tst_logOut)
#include "tst_logOut.moc"
