#include "core/AppConfig.h"
#include "gui/LogonTaskRegistration.h"
#include "platform/linux/DesktopEntry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {
// Reads an Exec value back as a launcher does: string escapes, field codes, then quoting.
QStringList execArguments(const std::string &stored)
{
    const QString raw = QString::fromStdString(stored);
    QString value;
    for (int i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const QChar c = raw[++i];
            value += c == 'n'   ? '\n'
                     : c == 't' ? '\t'
                     : c == 'r' ? '\r'
                     : c == 's' ? QChar(' ')
                                : c;
        } else {
            value += raw[i];
        }
    }
    value.replace("%%", "%");
    QStringList args;
    for (int i = 0; i < value.size();) {
        if (value[i] == ' ') {
            ++i;
            continue;
        }
        QString arg;
        if (value[i] == '"') {
            for (++i; i < value.size() && value[i] != '"'; ++i) {
                if (value[i] == '\\' && i + 1 < value.size())
                    ++i;
                arg += value[i];
            }
            ++i;
        } else {
            while (i < value.size() && value[i] != ' ')
                arg += value[i++];
        }
        args << arg;
    }
    return args;
}

QString autostartFile(const QString &appId)
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/" +
           QCoreApplication::applicationName() + "StartupTaskOKver---" + appId + ".desktop";
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

AppConfig configWith(int flag, const QString &appId)
{
    AppConfig config;
    config.StartupTaskFlag = flag;
    config.AppID = appId;
    return config;
}
} // namespace

class TstStartupTask : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void execQuoting_data();
    void execQuoting();
    void execQuotingLiteral();
    void writesAutostartEntry();
    void emptyAppIdEndsInHyphens();
    void onlyWhenFlagIsOne();
    void rewritesOnlyChangedContent();
    void failureShowsErrorCode();
    void failureBoxDoesNotWait();
    void taskNameStaysInFolder();

private:
    QList<unsigned long> boxes;
};

void TstStartupTask::init()
{
    boxes.clear();
    setLogonTaskErrorBox([this](unsigned long code) { boxes << code; });
    QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart").removeRecursively();
    QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart");
}

void TstStartupTask::cleanup()
{
    setLogonTaskErrorBox(nullptr);
}

void TstStartupTask::execQuoting_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("blanks") << "/opt/My App/Tarnix";
    QTest::newRow("quotation marks") << "/opt/say \"hi\"/Tarnix";
    QTest::newRow("backslashes") << "/opt/back\\slash\\\\/Tarnix";
    QTest::newRow("dollar and backtick") << "/opt/$HOME/`id`/Tarnix";
    QTest::newRow("percent") << "/opt/100%/%f/Tarnix";
    QTest::newRow("tab, newline, single quote") << "/opt/a\tb\nc'd/Tarnix";
    QTest::newRow("non-ASCII") << "/opt/Tärnix Ünicode/Tarnix";
}

void TstStartupTask::execQuoting()
{
    QFETCH(QString, path);
    const std::string exec = DesktopEntry::escapedValue(
        DesktopEntry::quotedExecArgument(path.toStdString()) + " ---StartupByTaskMinWindow");
    QCOMPARE(execArguments(exec), QStringList({path, "---StartupByTaskMinWindow"}));
}

void TstStartupTask::execQuotingLiteral()
{
    // A literal backslash inside a quoted argument takes four in the file.
    QCOMPARE(DesktopEntry::escapedValue(DesktopEntry::quotedExecArgument("/a\\b \"c\" $d %e")),
             std::string("\"/a\\\\\\\\b \\\\\"c\\\\\" \\\\$d %%e\""));
}

void TstStartupTask::writesAutostartEntry()
{
    QTest::ignoreMessage(QtDebugMsg, "Create Startup Task -> Start");
    QTest::ignoreMessage(QtDebugMsg, "Create Startup Task -> Over");
    registerLogonTask(configWith(1, "Z1"));
    QVERIFY(boxes.isEmpty());
    const QString name = QCoreApplication::applicationName() + "StartupTaskOKver---Z1";
    QCOMPARE(contentOf(autostartFile("Z1")),
             QByteArray("[Desktop Entry]\nType=Application\nName=" + name.toUtf8() + "\nExec=\"" +
                        QCoreApplication::applicationFilePath().toUtf8() +
                        "\" ---StartupByTaskMinWindow\n"));
}

void TstStartupTask::emptyAppIdEndsInHyphens()
{
    registerLogonTask(configWith(1, QString()));
    QVERIFY(autostartFile(QString()).endsWith("StartupTaskOKver---.desktop"));
    QVERIFY(QFile::exists(autostartFile(QString())));
}

void TstStartupTask::onlyWhenFlagIsOne()
{
    QTest::ignoreMessage(QtDebugMsg, "Create Startup Task -> Start");
    QTest::ignoreMessage(QtDebugMsg, "Create Startup Task -> Over");
    registerLogonTask(configWith(2, "Z1"));
    registerLogonTask(configWith(0, "Z1"));
    QVERIFY(!QFile::exists(autostartFile("Z1")));
    QVERIFY(boxes.isEmpty());
}

void TstStartupTask::rewritesOnlyChangedContent()
{
    registerLogonTask(configWith(1, "Z1"));
    const QString path = autostartFile("Z1");
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    registerLogonTask(configWith(1, "Z1"));
    QCOMPARE(QFileInfo(path).lastModified(), old);

    const QByteArray written = contentOf(path);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Desktop Entry]\nExec=/elsewhere\n");
    }
    registerLogonTask(configWith(1, "Z1"));
    QCOMPARE(contentOf(path), written);

    // The right entry with more behind it, up to a gigabyte (sparse), is not the entry; it is
    // compared without being read whole.
    for (const qint64 size : {qint64(written.size() + 1), qint64(1) << 30}) {
        QVERIFY(QFile(path).resize(size));
        registerLogonTask(configWith(1, "Z1"));
        QCOMPARE(contentOf(path), written);
    }
    QVERIFY(boxes.isEmpty());
}

void TstStartupTask::failureShowsErrorCode()
{
    // A file where the autostart folder belongs: the entry cannot be written.
    QFile blocker(qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    registerLogonTask(configWith(1, "Z1"));
    QCOMPARE(boxes, QList<unsigned long>({ENOTDIR}));
}

// The real box: registering returns at once, and the box, title and text as ever, opens from
// the event loop and stays until clicked.
void TstStartupTask::failureBoxDoesNotWait()
{
    setLogonTaskErrorBox(nullptr);
    QFile blocker(qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    registerLogonTask(configWith(1, "Z1")); // a nested event loop would wait here for ever
    const auto openBox = [] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
                return box;
        }
        return static_cast<QMessageBox *>(nullptr);
    };
    QVERIFY(!openBox());
    QTRY_VERIFY(openBox());
    QMessageBox *box = openBox();
    QCOMPARE(box->windowTitle(), QStringLiteral("Tip"));
    QCOMPARE(box->text(), QStringLiteral("ShellExecute error: %1").arg(ENOTDIR));
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QTest::qWait(100);
    QVERIFY(openBox());
    QPointer<QMessageBox> watched(box);
    box->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(watched.isNull()); // freed once clicked
}

void TstStartupTask::taskNameStaysInFolder()
{
    registerLogonTask(configWith(1, "../../x"));
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart";
    const QStringList files = QDir(folder).entryList(QDir::Files);
    QCOMPARE(files, QStringList({QCoreApplication::applicationName() +
                                 "StartupTaskOKver---.._.._x.desktop"}));
}

QTEST_MAIN(TstStartupTask)
#include "tst_startupTask.moc"
