#include "HidapiDouble.h"
#include "app/RefreshSnapshot.h"
#include "appdata/DDataManager.h"
#include "core/Clock.h"
#include "gui/SourcesDialog.h"
#include "gui/dmainwidget.h"
#include "tests/support/CapturedMessages.h"
#include "widgets/ProgressBarRound.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace {

const char displayPath[] = "/dev/hidraw-tarnix";

QString scriptPath()
{
    return QString::fromLocal8Bit(qgetenv("TARNIX_TEST_SCRATCH")) + "/controller.sensors";
}

void writeScript(int cpuClock, int initCode = 0)
{
    QFile file(scriptPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QStringLiteral("init %1\n"
                              "sensor CPU [#0]: Test CPU\n"
                              "temperature 0 45.9 CPU Package\n"
                              "usage 0 37 Total CPU Usage\n"
                              "clock 1 %2 Core 0 Clock\n"
                              "power 0 65.4 CPU Package Power\n"
                              "sensor GPU [#0]: Test GPU\n"
                              "temperature 0 61 GPU Temperature\n"
                              "usage 0 88 GPU Core Load\n"
                              "clock 0 1800 GPU Clock\n"
                              "fan 0 1500 GPU Fan1\n"
                              "power 0 120 GPU Power (Total)\n"
                              "sensor Motherboard\n"
                              "fan 0 900 CPU Fan\n")
                   .arg(initCode)
                   .arg(cpuClock)
                   .toUtf8());
}

QSettings unitSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("MyCompanyKelmar"), QStringLiteral("Tarnix"));
}

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

QString labelText(QWidget *window, const char *name)
{
    return child<QLabel>(window, name)->text();
}

bool logged(const QString &message)
{
    return CapturedMessages::count(message) > 0;
}

void clearLogged()
{
    CapturedMessages::clear();
}

size_t writeCount()
{
    return HidapiDouble::writes().size();
}

} // namespace

class tst_controller : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void statusAfterStart_data();
    void statusAfterStart();
    void refreshWaitsForTheSdk();
    void refreshShowsReadingsAndAutoRanges();
    void snapshotFillsThePage_data();
    void snapshotFillsThePage();
    void unchangedFiguresAreNotSetAgain();
    void closedWindowLeavesNoWorkerRunning();
    void unitSwitchStoresAndMarksFrames();
    void hiddenWindowLeavesReportsToTheSensorThread();
    void storedFahrenheitAppliesAtStart();
    void trayMenuAndCloseButton();
    void sourcesDialogStoresAChoice();
    void pageButtons();
    void hardwarePageShowsInventory_data();
    void hardwarePageShowsInventory();
    void dragByTheBackgroundMovesTheWindow();
    void exitEntryQuitsWithZero();

private:
    std::unique_ptr<DMainWidget> startWindow(bool withDevice);
};

void tst_controller::initTestCase()
{
    qputenv("TARNIX_SCRIPTED_SENSORS", scriptPath().toLocal8Bit());
    writeScript(4000);
    DDataManager::getInstance();
    CapturedMessages::install();
}

void tst_controller::init()
{
    HidapiDouble::reset();
    clearLogged();
    unitSettings().clear();
    writeScript(4000);
}

void tst_controller::cleanup()
{
    // Leave no display open for the next window's transport.
    HidapiDouble::removeDevice(displayPath);
}

std::unique_ptr<DMainWidget> tst_controller::startWindow(bool withDevice)
{
    if (withDevice)
        HidapiDouble::addDevice(0x5131, 0x2007, displayPath);
    auto window = std::make_unique<DMainWidget>(nullptr);
    // The transport and the sensor library start 200 ms later.
    QTest::qWait(400);
    return window;
}

void tst_controller::statusAfterStart_data()
{
    QTest::addColumn<bool>("withDevice");
    QTest::addColumn<QString>("status");
    QTest::newRow("display attached") << true << "Connected";
    QTest::newRow("no display") << false << "Disconnected";
}

void tst_controller::statusAfterStart()
{
    QFETCH(bool, withDevice);
    QFETCH(QString, status);
    auto window = startWindow(withDevice);
    // Hidden, the window has built nothing of its form yet; shown, it says what happened.
    QVERIFY(!window->findChild<QLabel *>(QStringLiteral("label_HidStatus")));
    window->show();
    QCOMPARE(labelText(window.get(), "label_HidStatus"), status);
    QVERIFY(HidapiDouble::calls().enumerate > 0);
    QCOMPARE(HidapiDouble::openHandles(), withDevice ? 1 : 0);
    QVERIFY(logged("Start Update -> Start"));
    QVERIFY(logged("Start Thread Runing SDK -> GetComputerInfo [Start]"));
}

void tst_controller::refreshWaitsForTheSdk()
{
    writeScript(4000, -7);
    auto window = startWindow(true);
    QTRY_VERIFY(logged("HWi32SDK init Over [Failed], errorCode: -7"));
    window->show();
    QCOMPARE(labelText(window.get(), "label_HidStatus"), QStringLiteral("Connected"));
    window->onGetPcInfoOk(); // a poll that reaches the window before the library is ready
    QCOMPARE(labelText(window.get(), "label_CPU01"), QStringLiteral("0"));
    QCOMPARE(labelText(window.get(), "label_MemoryUsage"), QStringLiteral("0G/0G"));
    QCOMPARE(writeCount(), size_t(0));
    QVERIFY(logged("SDK Init doing ... ... wait monment ... "));
}

void tst_controller::refreshShowsReadingsAndAutoRanges()
{
    auto window = startWindow(false);
    window->show(); // a hidden window is handed nothing
    QTRY_COMPARE_WITH_TIMEOUT(labelText(window.get(), "label_CPU02"), QStringLiteral("4000"), 4000);
    QVERIFY(logged("HWi32SDK init Over [Successful]"));
    auto *cpuGauge = child<ProgressBarRound>(window.get(), "widget_CpuDashboardNew");
    QCOMPARE(cpuGauge->displayValue(), 45);
    QCOMPARE(child<ProgressBarRound>(window.get(), "widget_GpuDashboardNew")->displayValue(), 61);
    QCOMPARE(labelText(window.get(), "label_CPU01"), QStringLiteral("37"));
    QCOMPARE(child<QProgressBar>(window.get(), "progressBar_CPU01")->value(), 37);
    QCOMPARE(labelText(window.get(), "label_CPU03"), QStringLiteral("900"));
    QCOMPARE(labelText(window.get(), "label_CPU04"), QStringLiteral("65"));
    QCOMPARE(labelText(window.get(), "label_GPU02"), QStringLiteral("1800"));
    QCOMPARE(labelText(window.get(), "label_GPU03"), QStringLiteral("1500"));
    QCOMPARE(labelText(window.get(), "label_GPU04"), QStringLiteral("120"));
    QCOMPARE(child<QProgressBar>(window.get(), "progressBar_CPU02")->maximum(), 4001);
    QCOMPARE(child<QProgressBar>(window.get(), "progressBar_CPU02")->value(), 4000);
    const QRegularExpression memory(QStringLiteral("^\\d+\\.\\dG/\\d+\\.\\dG$"));
    QVERIFY(memory.match(labelText(window.get(), "label_MemoryUsage")).hasMatch());
    const QRegularExpression drive(QStringLiteral("^\\d+G/\\d+G$"));
    QVERIFY(drive.match(labelText(window.get(), "label_HardDiskUsage")).hasMatch());
    QCOMPARE(writeCount(), size_t(0)); // no display: the window refreshes, nothing is sent

    // A lower value keeps the highest range seen so far.
    writeScript(3000);
    QTRY_COMPARE_WITH_TIMEOUT(labelText(window.get(), "label_CPU02"), QStringLiteral("3000"), 3000);
    QCOMPARE(child<QProgressBar>(window.get(), "progressBar_CPU02")->maximum(), 4001);
    QCOMPARE(child<QProgressBar>(window.get(), "progressBar_CPU02")->value(), 3000);
}

void tst_controller::snapshotFillsThePage_data()
{
    QTest::addColumn<quint64>("availableMiB");
    QTest::addColumn<bool>("driveFound");
    QTest::addColumn<QString>("memoryText");
    QTest::addColumn<QString>("driveText");
    QTest::addColumn<QString>("driveUsage");
    // 16 GiB with 8.04 GiB free: 7.96 GiB used prints as 8.0.
    QTest::newRow("drive found") << quint64(8233) << true << "8.0G/16.0G"
                                 << "60G/100G"
                                 << "60";
    QTest::newRow("no system drive: drive figures kept") << quint64(8192) << false << "8.0G/16.0G"
                                                         << "0G/0G"
                                                         << "0";
}

// The window shows what it is handed, and nothing else: no thread, no device needed.
void tst_controller::snapshotFillsThePage()
{
    QFETCH(quint64, availableMiB);
    QFETCH(bool, driveFound);
    QFETCH(QString, memoryText);
    QFETCH(QString, driveText);
    QFETCH(QString, driveUsage);
    DMainWidget window(nullptr);
    window.show();
    RefreshSnapshot snapshot;
    snapshot.readings.cpuTemperature = 45.9f;
    snapshot.readings.gpuTemperature = 61.2f;
    snapshot.readings.cpuUsage = 37.8f;
    snapshot.readings.cpuClock = 3000;
    snapshot.readings.gpuPower = 120.5f;
    snapshot.maxima.cpuClock = 4001;
    snapshot.maxima.gpuPower = 121;
    snapshot.memory = {true, 50, 16ull << 30, availableMiB << 20};
    snapshot.drive = {driveFound, 100ull << 30, 40ull << 30};
    window.showSnapshot(snapshot);
    QCOMPARE(child<ProgressBarRound>(&window, "widget_CpuDashboardNew")->displayValue(), 45);
    QCOMPARE(child<ProgressBarRound>(&window, "widget_GpuDashboardNew")->displayValue(), 61);
    QCOMPARE(labelText(&window, "label_CPU01"), QStringLiteral("37"));
    QCOMPARE(labelText(&window, "label_CPU02"), QStringLiteral("3000"));
    QCOMPARE(child<QProgressBar>(&window, "progressBar_CPU02")->maximum(), 4001);
    QCOMPARE(child<QProgressBar>(&window, "progressBar_CPU02")->value(), 3000);
    QCOMPARE(labelText(&window, "label_GPU04"), QStringLiteral("120"));
    QCOMPARE(child<QProgressBar>(&window, "progressBar_GPU04")->maximum(), 121);
    QCOMPARE(labelText(&window, "label_MemoryUsageNum"), QStringLiteral("50"));
    QCOMPARE(labelText(&window, "label_MemoryUsage"), memoryText);
    QCOMPARE(labelText(&window, "label_HardDiskUsage"), driveText);
    QCOMPARE(labelText(&window, "label_HardDiskUsageNum"), driveUsage);
}

void tst_controller::unchangedFiguresAreNotSetAgain()
{
    auto window = startWindow(false);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_COMPARE_WITH_TIMEOUT(labelText(window.get(), "label_CPU02"), QStringLiteral("4000"), 4000);
    QSignalSpy barChanges(child<QProgressBar>(window.get(), "progressBar_CPU02"),
                          &QProgressBar::valueChanged);
    auto *label = child<QLabel>(window.get(), "label_CPU02");
    auto *gauge = child<ProgressBarRound>(window.get(), "widget_CpuDashboardNew");
    int repaints = 0;
    struct Counter : QObject
    {
        int &count;
        explicit Counter(int &c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint)
                ++count;
            return false;
        }
    } counter(repaints);
    QTest::qWait(100);
    label->installEventFilter(&counter);
    gauge->installEventFilter(&counter);
    for (int i = 0; i < 3; ++i)
        window->onGetPcInfoOk();
    QApplication::processEvents();
    QCOMPARE(repaints, 0);
    QCOMPARE(barChanges.count(), 0);
    QCOMPARE(label->text(), QStringLiteral("4000"));
}

void tst_controller::closedWindowLeavesNoWorkerRunning()
{
    auto window = startWindow(true);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 1, 4000);
    window.reset();
    // The display is closed with the window and nothing is written after it.
    QCOMPARE(HidapiDouble::openHandles(), 0);
    const size_t afterClose = writeCount();
    QTest::qWait(1500);
    QCOMPARE(writeCount(), afterClose);
    QCOMPARE(HidapiDouble::calls().misuse, 0);
}

void tst_controller::unitSwitchStoresAndMarksFrames()
{
    auto window = startWindow(true);
    window->show();
    auto *gauge = child<ProgressBarRound>(window.get(), "widget_CpuDashboardNew");
    QTRY_COMPARE_WITH_TIMEOUT(gauge->displayValue(), 45, 4000);

    child<QRadioButton>(window.get(), "radioButton_Model02")->click();
    QCOMPARE(unitSettings().value("TempShowModel/Model").toInt(), 2);
    QCOMPARE(gauge->strUnit(), QStringLiteral("℉"));
    QCOMPARE(gauge->currentValueType(), 2);
    QCOMPARE(gauge->displayValue(), 45); // still Celsius inside; the gauge converts to show
    QVERIFY(logged(QStringLiteral("TempShowModel Changed -> [℉]")));

    const size_t before = writeCount();
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > before, 3000);
    const std::vector<unsigned char> frame = HidapiDouble::writes().back().bytes;
    QCOMPARE(frame[2], 45 | 0x80);
    QCOMPARE(frame[10], 61 | 0x80);

    clearLogged();
    child<QRadioButton>(window.get(), "radioButton_Model02")->click();
    QVERIFY(!logged(QStringLiteral("TempShowModel Changed -> [℉]")));
    child<QRadioButton>(window.get(), "radioButton_Model01")->click();
    QCOMPARE(unitSettings().value("TempShowModel/Model").toInt(), 1);
    QCOMPARE(gauge->strUnit(), QStringLiteral("℃"));
    QCOMPARE(gauge->currentValueType(), 1);
}

// Hidden, the window is not woken for each pass: the sensor thread sends the same report, and
// showing the window brings the widgets up to date with what passed meanwhile.
void tst_controller::hiddenWindowLeavesReportsToTheSensorThread()
{
    Clock::setNowSourceForTesting(
        [] { return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::LocalTime); });
    writeScript(5000);
    auto window = startWindow(true);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 2, 4000);
    QVERIFY(!window->findChild<QLabel *>(QStringLiteral("label_CPU02")));
    const std::vector<unsigned char> hiddenFrame = HidapiDouble::writes().back().bytes;
    QCOMPARE(int(hiddenFrame[2]), 45); // Celsius, unmarked

    // The unit can change before the form exists (the slots stay public).
    window->on_radioButton_Model02_clicked();
    size_t before = writeCount();
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > before, 3000);
    QCOMPARE(int(HidapiDouble::writes().back().bytes[2]), 45 | 0x80);
    window->on_radioButton_Model01_clicked();

    writeScript(3000);
    before = writeCount();
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > before + 1, 4000);
    window->show();
    QCOMPARE(labelText(window.get(), "label_CPU02"), QStringLiteral("3000"));
    // The range remembers the 5000 MHz seen while hidden.
    QCOMPARE(child<QProgressBar>(window.get(), "progressBar_CPU02")->maximum(), 5001);
    QCOMPARE(child<ProgressBarRound>(window.get(), "widget_CpuDashboardNew")->displayValue(), 45);

    // Shown, the window sends the reports again, byte for byte as the sensor thread did.
    writeScript(5000);
    before = writeCount();
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > before + 1, 4000);
    QCOMPARE(labelText(window.get(), "label_CPU02"), QStringLiteral("5000"));
    // All but the live memory and drive loads and the checksum over them.
    const auto steady = [](std::vector<unsigned char> frame) {
        frame[18] = frame[21] = frame[30] = 0; // 30: the checksum
        return frame;
    };
    QCOMPARE(steady(HidapiDouble::writes().back().bytes), steady(hiddenFrame));
    QVERIFY(hiddenFrame[19] || hiddenFrame[20]); // memory and drive sizes were filled in
    QVERIFY(hiddenFrame[22] || hiddenFrame[23]);
    Clock::setNowSourceForTesting({});
}

void tst_controller::storedFahrenheitAppliesAtStart()
{
    unitSettings().setValue("TempShowModel/Model", 2);
    DMainWidget window(nullptr);
    QVERIFY(logged(QStringLiteral("TempShowModel Init -> [℉]")));
    window.show();
    QVERIFY(child<QRadioButton>(&window, "radioButton_Model02")->isChecked());
    QVERIFY(!child<QRadioButton>(&window, "radioButton_Model01")->isChecked());
    QCOMPARE(child<ProgressBarRound>(&window, "widget_GpuDashboardNew")->strUnit(),
             QStringLiteral("℉"));
    QVERIFY(logged(QStringLiteral("TempShowModel Init -> [℉]")));
    QCOMPARE(labelText(&window, "label_GPU04"), QStringLiteral("0"));
    QCOMPARE(labelText(&window, "label_HardDiskUsage"), QStringLiteral("0G/0G"));
}

void tst_controller::sourcesDialogStoresAChoice()
{
    DMainWidget window(nullptr);
    QAction *sources = nullptr;
    for (QAction *action : window.findChildren<QAction *>())
        if (action->text() == QLatin1String("Sources"))
            sources = action;
    QVERIFY(sources);
    sources->trigger();
    SourcesDialog *dialog = window.findChild<SourcesDialog *>();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    const QList<QComboBox *> boxes = dialog->findChildren<QComboBox *>();
    QCOMPARE(boxes.size(), 13); // the card and the twelve values
    for (QComboBox *box : boxes)
        QCOMPARE(box->currentText(), QStringLiteral("Automatic"));

    // A pass as the sensor thread reports it, then the user's pick in the CPU temperature row.
    SourceReport report;
    report.candidates.push_back({"CPU", ReadingKind::Temperature, "CPU (Tctl/Tdie)", 71});
    report.candidates.push_back({"CPU", ReadingKind::Temperature, "CPU (Tccd1)", 64});
    dialog->showReport(report);
    QComboBox *cpuTemperature = boxes.at(1);
    QCOMPARE(cpuTemperature->count(), 3);
    cpuTemperature->setCurrentIndex(2);
    emit cpuTemperature->activated(2);

    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "MyCompanyKelmar", "Tarnix");
    QCOMPARE(settings.value("Sources/cpuTemperature").toString(),
             QStringLiteral("CPU/temperature/CPU (Tccd1)"));
    // Live values move on without losing the choice.
    report.candidates[1].value = 66;
    dialog->showReport(report);
    QCOMPARE(cpuTemperature->currentIndex(), 2);
    QVERIFY(cpuTemperature->currentText().contains("66.0"));

    cpuTemperature->setCurrentIndex(0);
    emit cpuTemperature->activated(0);
    settings.sync();
    QVERIFY(!settings.contains("Sources/cpuTemperature"));
    auto *hint = dialog->findChild<QLabel *>("label_SourcesHint");
    QVERIFY(hint && !hint->text().contains("could not be saved"));

    // A store that refuses the write (a folder where the file belongs): the dialog says so.
    const QString file = settings.fileName();
    QFile::remove(file);
    QVERIFY(QDir().mkpath(file));
    cpuTemperature->setCurrentIndex(2);
    emit cpuTemperature->activated(2);
    QVERIFY(QDir(file).removeRecursively());
    QVERIFY(hint->text().contains("could not be saved"));
    QVERIFY(logged("Sources could not be stored"));
    dialog->close();
}

void tst_controller::trayMenuAndCloseButton()
{
    DMainWidget window(nullptr);
    QCOMPARE(window.showAtStartValue(), 1);
    QMenu *menu = nullptr;
    for (QAction *action : window.findChildren<QAction *>())
        for (QWidget *widget : action->associatedWidgets())
            menu = qobject_cast<QMenu *>(widget);
    QVERIFY(menu);
    QStringList entries;
    for (QAction *action : menu->actions())
        entries << (action->isSeparator() ? QStringLiteral("--") : action->text());
    QCOMPARE(entries, QStringList({"Open Tarnix", "Sources", "History", "Alerts", "--", "Exit"}));

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // No tray here (offscreen, no session bus): hidden, the window could not be found again.
    child<QPushButton>(&window, "pushButton_Close")->click();
    QVERIFY(window.isVisible());
    QVERIFY(window.isMinimized());
    window.iconActivated(QSystemTrayIcon::Context);
    QVERIFY(window.isMinimized());
    window.iconActivated(QSystemTrayIcon::DoubleClick);
    QVERIFY(window.isVisible());
    QVERIFY(!window.isMinimized());
}

void tst_controller::pageButtons()
{
    DMainWidget window(nullptr);
    window.show();
    auto *pages = child<QStackedWidget>(&window, "stackedWidget_3");
    auto *monitor = child<QPushButton>(&window, "pushButton_Monitor");
    auto *hardware = child<QPushButton>(&window, "pushButton_Hardware");
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("page_Monitor"));
    hardware->click();
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("page_HardwareInfoNew"));
    QVERIFY(hardware->isChecked() && !monitor->isChecked());
    hardware->click(); // already checked: stays checked, page kept
    QVERIFY(hardware->isChecked());
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("page_HardwareInfoNew"));
    monitor->click();
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("page_Monitor"));
    QVERIFY(monitor->isChecked() && !hardware->isChecked());
}

void tst_controller::hardwarePageShowsInventory_data()
{
    QTest::addColumn<bool>("shownFirst");
    QTest::newRow("handed to a shown window") << true;
    QTest::newRow("ready before the window is first shown") << false;
}

void tst_controller::hardwarePageShowsInventory()
{
    QFETCH(bool, shownFirst);
    auto window = startWindow(false);
    if (shownFirst)
        window->show();
    // Gathered beside the feed: the page fills in when it is handed over.
    DDataManager *data = DDataManager::getInstance();
    QSignalSpy over(data, &DDataManager::sigGetPcHardwareInfoOver);
    data->theHardwareInfoGet();
    QVERIFY(over.wait(30000));
    window->show();
    QCOMPARE(labelText(window.get(), "label_29"), data->getCpuName());
    QCOMPARE(labelText(window.get(), "label_43"), data->getOsCaption());
    QVERIFY(!child<QLabel>(window.get(), "label_43")->isHidden());
    QCOMPARE(child<QLabel>(window.get(), "label_41")->isHidden(), data->getAudioList().isEmpty());
}

void tst_controller::dragByTheBackgroundMovesTheWindow()
{
    DMainWidget window(nullptr);
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();
    const QPoint local(600, 400);
    QMouseEvent press(QEvent::MouseButtonPress, local, window.mapToGlobal(local), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
    const QPoint to = window.mapToGlobal(local) + QPoint(30, 20);
    QMouseEvent move(QEvent::MouseMove, window.mapFromGlobal(to), to, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, window.mapFromGlobal(to), to, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &release);
    QTRY_COMPARE(window.pos(), start + QPoint(30, 20));
    QCOMPARE(window.size(), QSize(1150, 750));
}

void tst_controller::exitEntryQuitsWithZero()
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--quit-child")});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QByteArray out = child.readAllStandardOutput();
    QVERIFY2(out.contains("Exit app runing [Normal]"), out.constData());
    QVERIFY(out.contains("HWi32SDK UNinit Over [Status],errorCode: 0"));
    // Taken down in order rather than cut short: the transport's destructor ran.
    QVERIFY(out.contains("MainHidInterFace::~MainHidInterFace()"));
}

namespace {

void printMessages(QtMsgType, const QMessageLogContext &, const QString &message)
{
    std::printf("%s\n", qPrintable(message));
    std::fflush(stdout);
}

// Child of exitEntryQuitsWithZero: the real window, its "Exit" entry triggered once the
// display and the sensor library are up. The event loop returns and the window goes with its
// threads.
int runQuitChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    qputenv("TARNIX_SCRIPTED_SENSORS", scriptPath().toLocal8Bit());
    HidapiDouble::addDevice(0x5131, 0x2007, displayPath);
    DDataManager::getInstance();
    qInstallMessageHandler(printMessages);
    DMainWidget window(nullptr);
    QTimer::singleShot(2500, &window, [&window] {
        for (QAction *action : window.findChildren<QAction *>())
            if (action->text() == QLatin1String("Exit"))
                action->trigger();
    });
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--quit-child") == 0)
        return runQuitChild(argc, argv);
    QApplication app(argc, argv);
    tst_controller test;
    const int failures = QTest::qExec(&test, argc, argv);
    // The windows' sensor threads keep polling, as they do in the program; end here rather
    // than destroying static objects beneath them.
    std::fflush(nullptr);
    std::_Exit(failures == 0 ? 0 : 1);
}

#include "tst_controller.moc"
