// The real Tarnix in a desktop session of its own (Xvfb): the window's size under high-DPI
// scaling, a second start that brings up the first copy's window, a tray that starts after
// the program (XEmbed and StatusNotifierItem) and the close button without a tray.
#include "../crash/TarnixRun.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QtTest>

namespace {
const QString taskFlag = QStringLiteral("---StartupByTaskMinWindow");
const QString anyStartLine = QStringLiteral("Program was ");

QString runTool(const QString &program, const QStringList &arguments,
                const QProcessEnvironment &environment)
{
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    tool.waitForFinished(10000);
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

} // namespace

class TestDesktopSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void windowSize_data();
    void windowSize();
    void secondStart_data();
    void secondStart();
    void xembedTrayComesLate();
    void statusNotifierWatcherComesLate();
    void closeButton_data();
    void closeButton();

private:
    bool startDisplay(int dpi);
    bool startSessionBus();
    void startTarnix(QProcess &process, const QStringList &arguments, const QString &name,
                     const QStringList &variables = {});
    QProcessEnvironment environment() const;
    // The size of the program's main window while it is mapped; empty when none is.
    QSize mainWindowSize(const QProcess &process) const;
    bool trayIconDocked() const;

    QString scratch;
    QString display;
    QString busAddress;
    QProcess xvfb;
    QProcess bus;
    QProcess first;
    QProcess second;
    QProcess tray;
};

void TestDesktopSession::initTestCase()
{
    TarnixRun::isolate();
    QVERIFY2(!TarnixRun::executable().isEmpty(), "build Tarnix before running this test");
    scratch = qEnvironmentVariable("TARNIX_TEST_SCRATCH");
    for (const char *tool : {"Xvfb", "xdotool", "xwininfo", "trayer", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is missing (scripts/install-deps.sh)").arg(tool)));
    }
}

void TestDesktopSession::cleanup()
{
    for (QProcess *process : {&second, &first, &tray, &bus, &xvfb}) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
    busAddress.clear();
    TarnixRun::removeLeftoverIpc();
}

bool TestDesktopSession::startDisplay(int dpi)
{
    // Xvfb writes the number of the display it found free.
    xvfb.start(QStringLiteral("Xvfb"),
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("2400x1600x24"), QStringLiteral("-dpi"),
                QString::number(dpi), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                // Without a client left, the server would reset and drop the root's resources.
                QStringLiteral("-noreset")});
    if (!xvfb.waitForReadyRead(15000))
        return false;
    display = QLatin1Char(':') + QString::fromLatin1(xvfb.readLine().trimmed());
    return display.size() > 1;
}

bool TestDesktopSession::startSessionBus()
{
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"),
               QStringLiteral("--print-address=1")});
    if (!bus.waitForReadyRead(10000))
        return false;
    busAddress = QString::fromLatin1(bus.readLine().trimmed());
    return !busAddress.isEmpty();
}

QProcessEnvironment TestDesktopSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // No desktop's own platform theme: Qt's generic one, which is what decides about trays.
    env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               busAddress.isEmpty() ? QStringLiteral("unix:path=%1/no-session-bus").arg(scratch)
                                    : busAddress);
    return env;
}

void TestDesktopSession::startTarnix(QProcess &process, const QStringList &arguments,
                                     const QString &name, const QStringList &variables)
{
    QProcessEnvironment env = environment();
    for (const QString &variable : variables)
        env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    const QString output = scratch + QLatin1Char('/') + name;
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(output);
    process.setStandardErrorFile(output + QStringLiteral(".err"));
    process.start(TarnixRun::executable(), arguments);
    QVERIFY(process.waitForStarted(10000));
    QVERIFY(TarnixRun::waitForText(output, anyStartLine, 15000));
}

QSize TestDesktopSession::mainWindowSize(const QProcess &process) const
{
    const QString windows = runTool(QStringLiteral("xdotool"),
                                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--pid"), QString::number(process.processId())},
                                    environment());
    static const QRegularExpression geometry(QStringLiteral("Geometry: (\\d+)x(\\d+)"));
    QSize largest;
    for (const QString &window : windows.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m =
            geometry.match(runTool(QStringLiteral("xdotool"),
                                   {QStringLiteral("getwindowgeometry"), window}, environment()));
        const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
        // The tray icon's window is of the program too, but icon-sized.
        if (m.hasMatch() && size.width() > 200 && size.width() > largest.width())
            largest = size;
    }
    return largest;
}

bool TestDesktopSession::trayIconDocked() const
{
    // A docked icon is an icon-sized window of the program inside the tray's window.
    static const QRegularExpression icon(
        QStringLiteral(
            "^\\s{6,}0x[0-9a-f]+ \"Tarnix\": \\(\"Tarnix\" \"Tarnix\"\\)\\s+(\\d+)x(\\d+)"),
        QRegularExpression::MultilineOption);
    const QString tree = runTool(QStringLiteral("xwininfo"),
                                 {QStringLiteral("-root"), QStringLiteral("-tree")}, environment());
    auto it = icon.globalMatch(tree);
    while (it.hasNext()) {
        if (it.next().captured(1).toInt() <= 64)
            return true;
    }
    return false;
}

void TestDesktopSession::windowSize_data()
{
    // The screen's physical DPI, the desktop's Xft.dpi (0: none set), QT_SCALE_FACTOR.
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("xftDpi");
    QTest::addColumn<QString>("scaleFactor");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("96 dpi keeps the pixel size") << 96 << 0 << QString() << QSize(1150, 750);
    QTest::newRow("a 100-dpi screen without Xft.dpi is not scaled")
        << 100 << 0 << QString() << QSize(1150, 750);
    QTest::newRow("QT_SCALE_FACTOR=2 doubles it")
        << 96 << 0 << QStringLiteral("2") << QSize(2300, 1500);
    QTest::newRow("Xft.dpi 144 passes 1.5 through") << 96 << 144 << QString() << QSize(1725, 1125);
    QTest::newRow("Xft.dpi 192 doubles it") << 96 << 192 << QString() << QSize(2300, 1500);
}

void TestDesktopSession::windowSize()
{
    QFETCH(int, dpi);
    QFETCH(int, xftDpi);
    QFETCH(QString, scaleFactor);
    QFETCH(QSize, expected);
    QVERIFY(startDisplay(dpi));
    if (xftDpi > 0) {
        // What a desktop's settings daemon or xrdb leaves on the root window.
        QProcess xprop;
        xprop.setProcessEnvironment(environment());
        xprop.start(QStringLiteral("xprop"),
                    {QStringLiteral("-root"), QStringLiteral("-f"),
                     QStringLiteral("RESOURCE_MANAGER"), QStringLiteral("8s"),
                     QStringLiteral("-set"), QStringLiteral("RESOURCE_MANAGER"),
                     QStringLiteral("Xft.dpi:\t%1\n").arg(xftDpi)});
        QVERIFY(xprop.waitForFinished(10000) && xprop.exitCode() == 0);
    }
    QStringList variables;
    if (!scaleFactor.isEmpty())
        variables << QStringLiteral("QT_SCALE_FACTOR=") + scaleFactor;
    startTarnix(first, {}, QStringLiteral("size.out"), variables);
    QTRY_VERIFY_WITH_TIMEOUT(!mainWindowSize(first).isEmpty(), 10000);
    const QSize size = mainWindowSize(first);
    // Xvfb turns the DPI into whole millimetres, so the factor is a hair off.
    QVERIFY2(qAbs(size.width() - expected.width()) <= 6 &&
                 qAbs(size.height() - expected.height()) <= 4,
             qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
}

void TestDesktopSession::secondStart_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("shows");
    QTest::newRow("started again by the user") << QStringList() << true;
    QTest::newRow("started again by the logon task") << QStringList{taskFlag} << false;
}

void TestDesktopSession::secondStart()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, shows);
    QVERIFY(startDisplay(96));
    startTarnix(first, {taskFlag}, QStringLiteral("hidden.out"));
    QTest::qWait(1000);
    QCOMPARE(mainWindowSize(first), QSize());

    second.setProcessEnvironment(environment());
    second.start(TarnixRun::executable(), arguments);
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 255);
    if (shows) {
        QTRY_COMPARE_WITH_TIMEOUT(mainWindowSize(first), QSize(1150, 750), 5000);
    } else {
        QTest::qWait(1500);
        QCOMPARE(mainWindowSize(first), QSize());
    }
    QCOMPARE(first.state(), QProcess::Running);
}

void TestDesktopSession::xembedTrayComesLate()
{
    QVERIFY(startDisplay(96));
    startTarnix(first, {taskFlag}, QStringLiteral("xembed.out"));
    QTest::qWait(1500);
    QVERIFY(!trayIconDocked());

    tray.setProcessEnvironment(environment());
    tray.start(QStringLiteral("trayer"), QStringList());
    QVERIFY(tray.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(trayIconDocked(), 10000);
}

void TestDesktopSession::statusNotifierWatcherComesLate()
{
    QVERIFY(startDisplay(96));
    QVERIFY(startSessionBus());
    startTarnix(first, {taskFlag}, QStringLiteral("sni.out"));
    QTest::qWait(1500);

    tray.setProcessEnvironment(environment());
    tray.start(QStringLiteral(TARNIX_BINARY_DIR "/tests/statusNotifierWatcher"), QStringList());
    QVERIFY(tray.waitForReadyRead(10000));
    QCOMPARE(tray.readLine().trimmed(), QByteArray("watching"));
    QTRY_VERIFY_WITH_TIMEOUT(tray.canReadLine(), 10000);
    const QByteArray item = tray.readLine().trimmed();
    // Qt names the item's service after the process.
    QVERIFY2(item.startsWith("item ") && item.contains(QByteArray::number(first.processId())),
             item.constData());
    QVERIFY(!trayIconDocked());
}

void TestDesktopSession::closeButton_data()
{
    QTest::addColumn<bool>("withTray");
    QTest::addColumn<bool>("staysMapped");
    // Without a window manager a minimise request leaves the window mapped; a hidden one
    // is unmapped.
    QTest::newRow("no tray: minimised, not lost") << false << true;
    QTest::newRow("tray: hidden to the tray") << true << false;
}

void TestDesktopSession::closeButton()
{
    QFETCH(bool, withTray);
    QFETCH(bool, staysMapped);
    QVERIFY(startDisplay(96));
    if (withTray) {
        tray.setProcessEnvironment(environment());
        tray.start(QStringLiteral("trayer"), QStringList());
        QVERIFY(tray.waitForStarted(5000));
        QTest::qWait(1000);
    }
    startTarnix(first, {}, QStringLiteral("close.out"));
    QTRY_COMPARE_WITH_TIMEOUT(mainWindowSize(first), QSize(1150, 750), 10000);
    if (withTray)
        QTRY_VERIFY_WITH_TIMEOUT(trayIconDocked(), 10000);

    // The close button sits at the right end of the title row.
    const QString window = runTool(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--pid"), QString::number(first.processId())},
                                   environment())
                               .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                               .value(0);
    runTool(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--window"), window,
             QStringLiteral("1119"), QStringLiteral("32"), QStringLiteral("click"),
             QStringLiteral("1")},
            environment());
    QTest::qWait(1500);
    QCOMPARE(!mainWindowSize(first).isEmpty(), staysMapped);
    QCOMPARE(first.state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestDesktopSession)
#include "tst_desktopSession.moc"
