#include "dmainwidget.h"
#include "ui_dmainwidget.h"

#include "DDataManager.h"
#include "MainHidInterFace.h"
#include "core/Clock.h"
#include "device/DeviceChange.h"
#include "device/DeviceFrame.h"
#include "getPcInfoThread.h"
#include "gui/HardwarePage.h"
#include "gui/RefreshFigures.h"
#include "gui/SourcesDialog.h"
#include "gui/StartupTask.h"
#include "gui/ThemeApplier.h"
#include "gui/TrayIconKeeper.h"
#include "gui/WindowChrome.h"
#include "platform/DeviceMonitor.h"
#include "platform/SleepMonitor.h"
#include "platform/SystemFigures.h"
#include "sensors/SourceSettings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDesktopWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

const QString celsiusText = QStringLiteral("℃");
const QString fahrenheitText = QStringLiteral("℉");
const char unitKey[] = "TempShowModel/Model";
// The display needs a moment after a hot-plug before it can be opened or is really gone.
const int deviceSettleMs = 300;

// Fed once a second all day: a figure that did not change must not cost a repaint.
void showText(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

void showNumber(QLabel *label, int value)
{
    showText(label, QString::number(value));
}

void showBar(QProgressBar *bar, int value)
{
    if (bar->value() != value)
        bar->setValue(value);
}

void showBarRange(QProgressBar *bar, int maximum)
{
    if (bar->minimum() != 0 || bar->maximum() != maximum)
        bar->setRange(0, maximum);
}

void showGauge(ProgressBarRound *gauge, int celsius)
{
    if (gauge->displayValue() != celsius)
        gauge->setValue(celsius);
}

QSettings *openUnitSettings()
{
    return new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                         QStringLiteral("MyCompanyKelmar"), QStringLiteral("Tarnix"));
}

} // namespace

DMainWidget::DMainWidget(QWidget *parent) : QWidget(parent), ui(new Ui::DMainWidget)
{
    // Every image the form and its style sheets load goes into Qt's pixmap cache, whose
    // clean-up timer then wakes the GUI thread every 10 to 30 s for the first minutes. A
    // window that stays hidden never draws them again, so nothing is cached until it is shown.
    pixmapCacheLimit = QPixmapCache::cacheLimit();
    QPixmapCache::setCacheLimit(0);
    ui->setupUi(this);

    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(1150, 750);

    ui->pushButton_Setting->hide();
    ui->pushButton_Max->hide();
    ui->label_HidStatus->hide();
    ui->pushButton_Test->hide();
    ui->label_AppName->setText(QStringLiteral("Tarnix"));
    ui->label_AppVersion->setText(QStringLiteral("V_1.0.0.01"));
    ui->pushButton_Logo->hide();
    ui->label_CrashTest->hide();
    ui->label_ErrorMsg->hide();

    showMainPageUI = DDataManager::getInstance()->getAppConfig().ShowMainPageUI;

    registerDevice();
    initTray();
    initThemeData();
    initOperate();
    framesInCelsius = ui->radioButton_Model01->isChecked();
    connect(ui->radioButton_Model01, &QAbstractButton::toggled, this,
            [this](bool checked) { framesInCelsius = checked; });

    ui->stackedWidget_3->setCurrentWidget(ui->page_Monitor);
    ui->pushButton_Monitor->setChecked(true);

    connect(this, &DMainWidget::sigHidDeviceConnectChanging_Into, this,
            &DMainWidget::onHidDeviceConnectChanging_Into);
    connect(this, &DMainWidget::sigHidDeviceConnectChanging_Remove, this,
            &DMainWidget::onHidDeviceConnectChanging_Remove);

    sdkReady = false;
    pcInfoThread = new getPcInfoThread(nullptr);
    connect(pcInfoThread, &getPcInfoThread::sigTheSdkInitStatus, this,
            &DMainWidget::onTheSdkInitStatus);
    connect(pcInfoThread, &getPcInfoThread::sigGetPcInfoOk, this, &DMainWidget::onGetPcInfoOk);
    pcInfoThread->setSourceChoices(SourceSettings::load());
    pcInfoThread->setPassHandler(
        [this](const SensorReadings &readings) { return refreshWithoutWindow(readings); });
    pcInfoThread->start(QThread::InheritPriority);

    QTimer::singleShot(200, this, &DMainWidget::onStartUpdateLater);
    QTimer::singleShot(200, this, &DMainWidget::onGetPcHardwareInfoOver);
}

DMainWidget::~DMainWidget()
{
    // Left running, the workers would go on calling into the window, the sensor library and
    // the device after the window that owns them is gone.
    pcInfoThread->setPassHandler({});
    if (sdkStarter.joinable())
        sdkStarter.join();
    delete pcInfoThread; // ends after the pass in hand
    if (hidInterface) {
        hidInterface->hidApi_Close();
        hidInterface->wait();
        delete hidInterface;
    }
    delete ui;
}

// ---- start-up and shut-down ---------------------------------------------------------------

void DMainWidget::onStartUpdateLater()
{
    qDebug() << "Start Update -> Start";
    ui->label_HidStatus->setText(QStringLiteral("Disconnected"));
    deviceConnected = false;

    hidInterface = new MainHidInterFace(nullptr);
    connect(hidInterface, &MainHidInterFace::sigOpenHidSuccessful, this,
            &DMainWidget::onOpenHidSuccessful);
    connect(hidInterface, &MainHidInterFace::sigWritesFailing, this,
            &DMainWidget::onHidWritesFailing, Qt::QueuedConnection);
    hidInterface->getuUsbHidDeviceList();

    qDebug() << "Start Update -> Over";
    qDebug() << "Start Thread Runing SDK -> GetComputerInfo [Start]";

    // Loading the sensor library can take a while; keep it off the GUI thread.
    getPcInfoThread *sensors = pcInfoThread;
    sdkStarter = std::thread([sensors] {
        sensors->initSdk();
        sensors->start(QThread::InheritPriority);
    });
}

void DMainWidget::onTheSdkInitStatus(bool isOK, int errorCode)
{
    if (isOK)
        qDebug() << "HWi32SDK init Over [Successful]";
    else
        qDebug() << "HWi32SDK init Over [Failed], errorCode:" << errorCode;
    sdkReady = isOK;
    updateRefreshRoute();
}

void DMainWidget::onOpenHidSuccessful()
{
    qDebug() << "onOpenHidSuccessful -----------------------";
    ui->label_HidStatus->setText(QStringLiteral("Connected"));
    deviceConnected = true;
    displayLost = false;
    hidInterface->start(QThread::InheritPriority);
    updateRefreshRoute();
}

void DMainWidget::onQuitApp()
{
    if (sdkReady) {
        const int status = pcInfoThread->stopPolling();
        qDebug() << "HWi32SDK UNinit Over [Status],errorCode:" << status;
    }
    if (deviceConnected) {
        deviceConnected = false;
        updateRefreshRoute();
        hidInterface->hidApi_Close();
    }
    qDebug() << "Exit app runing [Normal]";
    close();
    // The worker threads are still running: end the process here rather than unwinding
    // static objects under them.
    std::fflush(nullptr);
    std::_Exit(0);
}

// ---- the once-a-second refresh ------------------------------------------------------------

void DMainWidget::onGetPcInfoOk()
{
    if (!sdkReady) {
        qDebug() << "SDK Init doing ... ... wait monment ... ";
        return;
    }

    const SensorReadings readings = pcInfoThread->getSensorReadings();
    if (sourcesDialog && sourcesDialog->isVisible())
        sourcesDialog->showReport(pcInfoThread->getSourceReport());
    DeviceFrameInput frame;
    showReadings(readings, frame);

    if (!deviceConnected) {
        if (displayLost) {
            hidInterface->getuUsbHidDeviceList();
            displayLost = !deviceConnected && !hidInterface->deviceListed();
        }
        return;
    }
    frame.readings = readings;
    frame.celsius = ui->radioButton_Model01->isChecked();
    frame.localTime = Clock::now();
    const DeviceFrame bytes = buildDeviceFrame(frame);
    hidInterface->hidApi_Write(bytes.data(), 64);
}

bool DMainWidget::refreshWithoutWindow(const SensorReadings &readings)
{
    // Sensor thread. The same report as onGetPcInfoOk() sends, without touching a widget.
    if (!windowlessRefresh)
        return false;
    advanceAutoRanges(readings);
    DeviceFrameInput frame;
    const SystemFigures::Memory memory = SystemFigures::memory();
    frame.memoryLoad = memory.loadPercent;
    frame.memoryTotalBytes = memory.totalBytes;
    const SystemFigures::Drive drive = SystemFigures::systemDrive();
    if (drive.found) {
        frame.driveUsage = RefreshFigures::driveFigures(drive).usagePercent;
        frame.driveTotalBytes = drive.totalBytes;
    }
    frame.readings = readings;
    frame.celsius = framesInCelsius;
    frame.localTime = Clock::now();
    const DeviceFrame bytes = buildDeviceFrame(frame);
    hidInterface->hidApi_Write(bytes.data(), 64);
    return true;
}

void DMainWidget::updateRefreshRoute()
{
    const bool dialogShown = sourcesDialog && sourcesDialog->isVisible();
    windowlessRefresh = !windowShown && !dialogShown && sdkReady && deviceConnected;
}

void DMainWidget::advanceAutoRanges(const SensorReadings &readings)
{
    using RefreshFigures::autoRangeMaximum;
    using RefreshFigures::truncatedReading;
    std::lock_guard<std::mutex> lock(autoRangeLock);
    maxCpuClock = autoRangeMaximum(maxCpuClock, truncatedReading(readings.cpuClock));
    maxGpuClock = autoRangeMaximum(maxGpuClock, truncatedReading(readings.gpuClock));
    maxCpuFan = autoRangeMaximum(maxCpuFan, truncatedReading(readings.cpuFan));
    maxGpuFan = autoRangeMaximum(maxGpuFan, truncatedReading(readings.gpuFan));
    maxCpuPower = autoRangeMaximum(maxCpuPower, truncatedReading(readings.cpuPower));
    maxGpuPower = autoRangeMaximum(maxGpuPower, truncatedReading(readings.gpuPower));
}

void DMainWidget::showReadings(const SensorReadings &readings, DeviceFrameInput &frame)
{
    const int cpuTemperature = RefreshFigures::truncatedReading(readings.cpuTemperature);
    const int cpuUsage = RefreshFigures::truncatedReading(readings.cpuUsage);
    const int cpuClock = RefreshFigures::truncatedReading(readings.cpuClock);
    const int cpuFan = RefreshFigures::truncatedReading(readings.cpuFan);
    const int cpuPower = RefreshFigures::truncatedReading(readings.cpuPower);
    const int gpuTemperature = RefreshFigures::truncatedReading(readings.gpuTemperature);
    const int gpuUsage = RefreshFigures::truncatedReading(readings.gpuUsage);
    const int gpuClock = RefreshFigures::truncatedReading(readings.gpuClock);
    const int gpuFan = RefreshFigures::truncatedReading(readings.gpuFan);
    const int gpuPower = RefreshFigures::truncatedReading(readings.gpuPower);

    lastCpuTemperature = cpuTemperature;
    lastGpuTemperature = gpuTemperature;
    showGauge(ui->widget_CpuDashboardNew, cpuTemperature);
    showGauge(ui->widget_GpuDashboardNew, gpuTemperature);

    showBar(ui->progressBar_CPU01, cpuUsage);
    showNumber(ui->label_CPU01, cpuUsage);
    showBar(ui->progressBar_GPU01, gpuUsage);
    showNumber(ui->label_GPU01, gpuUsage);

    advanceAutoRanges(readings);
    refreshAutoRangePairs(cpuClock, gpuClock, cpuFan, gpuFan, cpuPower, gpuPower);

    refreshSystemFigures(frame.memoryLoad, frame.memoryTotalBytes, frame.driveUsage,
                         frame.driveTotalBytes);
}

void DMainWidget::refreshAutoRangePairs(int cpuClock, int gpuClock, int cpuFan, int gpuFan,
                                        int cpuPower, int gpuPower)
{
    struct Pair
    {
        QProgressBar *cpuBar;
        QProgressBar *gpuBar;
        QLabel *cpuLabel;
        QLabel *gpuLabel;
        int cpuValue;
        int gpuValue;
        int cpuMax;
        int gpuMax;
    };
    std::unique_lock<std::mutex> lock(autoRangeLock);
    const Pair pairs[] = {
        {ui->progressBar_CPU02, ui->progressBar_GPU02, ui->label_CPU02, ui->label_GPU02, cpuClock,
         gpuClock, maxCpuClock, maxGpuClock},
        {ui->progressBar_CPU03, ui->progressBar_GPU03, ui->label_CPU03, ui->label_GPU03, cpuFan,
         gpuFan, maxCpuFan, maxGpuFan},
        {ui->progressBar_CPU04, ui->progressBar_GPU04, ui->label_CPU04, ui->label_GPU04, cpuPower,
         gpuPower, maxCpuPower, maxGpuPower},
    };
    lock.unlock();
    for (const Pair &p : pairs) {
        showBarRange(p.cpuBar, p.cpuMax);
        showBarRange(p.gpuBar, p.gpuMax);
        showNumber(p.cpuLabel, p.cpuValue);
        showNumber(p.gpuLabel, p.gpuValue);
        showBar(p.cpuBar, p.cpuValue);
        showBar(p.gpuBar, p.gpuValue);
    }
}

void DMainWidget::refreshSystemFigures(quint32 &memoryLoad, quint64 &memoryTotal, int &driveUsage,
                                       quint64 &driveTotal)
{
    const SystemFigures::Memory memory = SystemFigures::memory();
    memoryLoad = memory.loadPercent;
    memoryTotal = memory.totalBytes;
    showNumber(ui->label_MemoryUsageNum, int(memory.loadPercent));
    showBar(ui->progressBar_MemoryUsage, int(memory.loadPercent));
    showText(ui->label_MemoryUsage, RefreshFigures::memoryText(memory));

    driveUsage = 0;
    driveTotal = 0;
    const SystemFigures::Drive drive = SystemFigures::systemDrive();
    if (!drive.found)
        return;
    const RefreshFigures::DriveFigures figures = RefreshFigures::driveFigures(drive);
    driveUsage = figures.usagePercent;
    driveTotal = drive.totalBytes;
    showNumber(ui->label_HardDiskUsageNum, figures.usagePercent);
    showBar(ui->progressBar_HardDiskUsage, figures.usagePercent);
    showText(ui->label_HardDiskUsage, figures.text);
}

// ---- temperature unit ---------------------------------------------------------------------

void DMainWidget::initOperate()
{
    temperatureUnit = 1;
    int chosen = 1;
    {
        QScopedPointer<QSettings> settings(openUnitSettings());
        if (settings->contains(QLatin1String(unitKey)))
            chosen = settings->value(QLatin1String(unitKey)).toInt();
    }
    if (DDataManager::getInstance()->getAppConfig().TemperatureChangShowModel == 0) {
        QScopedPointer<QSettings> settings(openUnitSettings());
        settings->setValue(QLatin1String(unitKey), 1);
        chosen = 1;
    }

    if (chosen == 1) {
        qDebug() << "TempShowModel Init -> [℃]";
        on_radioButton_Model01_clicked();
        ui->radioButton_Model01->setChecked(true);
    } else {
        qDebug() << "TempShowModel Init -> [℉]";
        on_radioButton_Model02_clicked();
        ui->radioButton_Model02->setChecked(true);
    }

    for (QProgressBar *bar : {ui->progressBar_CPU01, ui->progressBar_CPU02, ui->progressBar_CPU03,
                              ui->progressBar_CPU04, ui->progressBar_GPU01, ui->progressBar_GPU02,
                              ui->progressBar_GPU03, ui->progressBar_GPU04,
                              ui->progressBar_MemoryUsage, ui->progressBar_HardDiskUsage})
        bar->setValue(0);
    for (QLabel *label : {ui->label_CPU01, ui->label_CPU02, ui->label_CPU03, ui->label_CPU04,
                          ui->label_GPU01, ui->label_GPU02, ui->label_GPU03, ui->label_GPU04,
                          ui->label_MemoryUsageNum, ui->label_HardDiskUsageNum})
        label->setText(QStringLiteral("0"));
    ui->label_MemoryUsage->setText(QStringLiteral("0G/0G"));
    ui->label_HardDiskUsage->setText(QStringLiteral("0G/0G"));
}

void DMainWidget::on_radioButton_Model01_clicked()
{
    if (temperatureUnit == 1)
        return;
    applyTemperatureUnit(1);
}

void DMainWidget::on_radioButton_Model02_clicked()
{
    if (temperatureUnit == 2)
        return;
    applyTemperatureUnit(2);
}

void DMainWidget::applyTemperatureUnit(int unit)
{
    temperatureUnit = unit;
    const QString &text = unit == 1 ? celsiusText : fahrenheitText;
    if (unit == 1)
        qDebug() << "TempShowModel Changed -> [℃]";
    else
        qDebug() << "TempShowModel Changed -> [℉]";
    {
        QScopedPointer<QSettings> settings(openUnitSettings());
        settings->setValue(QLatin1String(unitKey), unit);
    }
    ProgressBarRound *gauges[] = {ui->widget_CpuDashboardNew, ui->widget_GpuDashboardNew};
    for (ProgressBarRound *gauge : gauges)
        gauge->setStrUnit(text);
    for (ProgressBarRound *gauge : gauges)
        gauge->setCurrentValueType(unit);
    for (ProgressBarRound *gauge : gauges)
        gauge->setRange(0, 100);
    ui->widget_CpuDashboardNew->setValue(lastCpuTemperature);
    ui->widget_GpuDashboardNew->setValue(lastGpuTemperature);
}

// ---- theme and hardware page --------------------------------------------------------------

void DMainWidget::initThemeData()
{
    DDataManager *data = DDataManager::getInstance();
    const AppConfig config = data->getAppConfig();
    companyLinkUrl = applyTheme(ui, this, config, data->getMontserratMediumFont(),
                                data->getMontserratBoldFont());
    registerLogonTask(config);
}

void DMainWidget::onGetPcHardwareInfoOver()
{
    qDebug() << "-------------------------- onGetPcHardwareInfoOver and update to UI "
                "-----------------------";
    fillHardwarePage(ui->page_HardwareInfoNew, DDataManager::getInstance()->getHardwareInventory());
}

// ---- device hot-plug ----------------------------------------------------------------------

void DMainWidget::registerDevice()
{
    deviceMonitor = new DeviceMonitor(this);
    connect(deviceMonitor, &DeviceMonitor::deviceEvent, this, &DMainWidget::onDeviceEvent);
    if (!deviceMonitor->start(winId()))
        qDebug() << "Device monitor unavailable: the display is only found at start-up";

    sleepMonitor = new SleepMonitor(this);
    connect(sleepMonitor, &SleepMonitor::resumed, this, &DMainWidget::onSystemResumed);
    if (!sleepMonitor->start())
        qDebug() << "Sleep monitor unavailable: waking from sleep goes unnoticed";
}

void DMainWidget::onDeviceEvent(const QString &action, const QString &devicePath)
{
    const DeviceChange change = decideDeviceChange(action, devicePath);
    if (change == DeviceChange::None)
        return;
    const bool arrival = change == DeviceChange::Arrival;
    if (arrival == deviceConnected)
        return;
    // Re-checked when the settle time is over: a display with several interfaces announces
    // each of them, and only the first may open it.
    QTimer::singleShot(deviceSettleMs, this, [this, arrival, devicePath] {
        if (arrival == deviceConnected)
            return;
        if (arrival)
            emit sigHidDeviceConnectChanging_Into(devicePath);
        else
            emit sigHidDeviceConnectChanging_Remove(devicePath);
    });
}

bool DMainWidget::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    // Native device and power broadcasts are fed to the monitors, which report them like udev
    // and logind events. The native window exists, and gets messages, before the monitors do.
    if (deviceMonitor)
        deviceMonitor->handleNativeEvent(eventType, message);
    if (sleepMonitor)
        sleepMonitor->handleNativeEvent(eventType, message);
    return QWidget::nativeEvent(eventType, message, result);
}

void DMainWidget::onHidWritesFailing()
{
    if (!deviceConnected)
        return;
    qDebug() << "Display writes keep failing: closing it and searching again";
    searchDisplayAgain();
}

void DMainWidget::onSystemResumed()
{
    qDebug() << "System resumed: searching the display again and restarting the sensor readings";
    pcInfoThread->restartSensors();
    if (hidInterface)
        searchDisplayAgain();
}

void DMainWidget::searchDisplayAgain()
{
    if (deviceConnected) {
        ui->label_HidStatus->setText(QStringLiteral("Disconnected"));
        deviceConnected = false;
        updateRefreshRoute();
        hidInterface->hidApi_Close();
        hidInterface->quit();
    }
    hidInterface->getuUsbHidDeviceList();
    // Found but not openable: leave it to the next arrival rather than log a failure a second.
    displayLost = !deviceConnected && !hidInterface->deviceListed();
}

void DMainWidget::onHidDeviceConnectChanging_Into(QString hidPath)
{
    qDebug() << "Insert a new device --------------- hidPath:" << hidPath;
    if (!hidInterface)
        return;
    deviceConnected = false;
    updateRefreshRoute();
    hidInterface->getuUsbHidDeviceList();
}

void DMainWidget::onHidDeviceConnectChanging_Remove(QString hidPath)
{
    qDebug() << "Pull out a device --------------- hidPath:" << hidPath;
    if (!hidInterface)
        return;
    ui->label_HidStatus->setText(QStringLiteral("Disconnected"));
    deviceConnected = false;
    updateRefreshRoute();
    hidInterface->hidApi_Close();
    hidInterface->quit();
}

// ---- window chrome and tray ---------------------------------------------------------------

void DMainWidget::initTray()
{
    const AppConfig config = DDataManager::getInstance()->getAppConfig();
    openAction = new QAction(QStringLiteral("Open ") + config.AppName, this);
    exitAction = new QAction(QStringLiteral("Exit"), this);
    connect(openAction, &QAction::triggered, this, &QWidget::showNormal);
    connect(exitAction, &QAction::triggered, this, &DMainWidget::onQuitApp);
    sourcesAction = new QAction(QStringLiteral("Sources"), this);
    connect(sourcesAction, &QAction::triggered, this, &DMainWidget::onShowSources);

    trayMenu = new QMenu(QApplication::desktop());
    if (showMainPageUI == 1)
        trayMenu->addAction(openAction);
    trayMenu->addAction(sourcesAction);
    trayMenu->addSeparator();
    trayMenu->addAction(exitAction);

    // The icon comes whenever a tray does: panels often start after the session's programs.
    trayKeeper = new TrayIconKeeper(QIcon(config.AppIcoSel01), config.AppName, trayMenu, this);
    connect(trayKeeper, &TrayIconKeeper::iconCreated, this, [this](QSystemTrayIcon *icon) {
        trayIcon = icon;
        connect(trayIcon, &QSystemTrayIcon::activated, this, &DMainWidget::iconActivated);
    });
    trayKeeper->start();
}

void DMainWidget::onShowSources()
{
    if (!sourcesDialog) {
        DDataManager *data = DDataManager::getInstance();
        sourcesDialog =
            new SourcesDialog(data->getAppConfig(), data->getMontserratMediumFont(), this);
        connect(sourcesDialog, &SourcesDialog::sigSourcesChanged, this,
                &DMainWidget::onSourcesChanged);
        // The thread keeps every reading only while someone looks at them.
        connect(sourcesDialog, &QDialog::finished, this, [this] {
            pcInfoThread->setCollectSources(false);
            updateRefreshRoute();
        });
    }
    sourcesDialog->setChoices(SourceSettings::load());
    pcInfoThread->setCollectSources(true);
    sourcesDialog->showReport(pcInfoThread->getSourceReport());
    sourcesDialog->show();
    updateRefreshRoute();
    sourcesDialog->raise();
    sourcesDialog->activateWindow();
}

void DMainWidget::onSourcesChanged(const SourceChoices &choices)
{
    SourceSettings::store(choices);
    pcInfoThread->setSourceChoices(choices);
}

void DMainWidget::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    const bool click = reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger;
    if (click && showMainPageUI == 1)
        showNormal();
}

void DMainWidget::showEvent(QShowEvent *event)
{
    if (pixmapCacheLimit >= 0) {
        QPixmapCache::setCacheLimit(pixmapCacheLimit);
        pixmapCacheLimit = -1;
    }
    windowShown = true;
    updateRefreshRoute();
    // The widgets were left alone while hidden: show the latest pass at once.
    if (sdkReady) {
        DeviceFrameInput unused;
        showReadings(pcInfoThread->getSensorReadings(), unused);
    }
    QWidget::showEvent(event);
}

void DMainWidget::hideEvent(QHideEvent *event)
{
    windowShown = false;
    updateRefreshRoute();
    QWidget::hideEvent(event);
}

void DMainWidget::closeEvent(QCloseEvent *event)
{
    if (trayIcon)
        trayIcon->hide();
    event->accept();
}

void DMainWidget::mousePressEvent(QMouseEvent *event)
{
    dragging = false;
    if (event->button() == Qt::LeftButton) {
        leftPressed = true;
        if (ui->frame_Bg->geometry().contains(event->pos())) {
            dragOffset = event->globalPos() - frameGeometry().topLeft();
            event->accept();
            // Where the window system moves windows itself (Wayland allows no move()), it
            // takes the drag from here.
            dragging = !WindowChrome::startSystemMove(*this);
        }
        return;
    }
    if (event->button() == Qt::RightButton)
        return;
    QWidget::mousePressEvent(event);
}

void DMainWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint g = event->globalPos();
    const QPoint topLeft = mapToGlobal(rect().topLeft());
    const QPoint bottomRight = mapToGlobal(rect().bottomRight());
    const bool maximisedOrFull = isMaximized() || isFullScreen();

    if (!leftPressed) {
        ResizeZone = WindowChrome::findResizeZone(g, topLeft, bottomRight);
        setCursor(WindowChrome::cursorForZone(ResizeZone));
    } else if (dragging || maximisedOrFull) {
        if (dragging && !maximisedOrFull) {
            move(g - dragOffset);
            event->accept();
        }
    } else {
        setGeometry(WindowChrome::resizedRect(ResizeZone, topLeft, bottomRight, g, minimumSize()));
    }
    QWidget::mouseMoveEvent(event);
}

void DMainWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    leftPressed = false;
    dragging = false;
    if (ResizeZone == 8)
        return;
    releaseMouse();
    setCursor(Qt::ArrowCursor);
    ResizeZone = 8;
}

void DMainWidget::on_pushButton_Close_clicked()
{
    // Without a tray nothing could bring a hidden window back.
    if (trayKeeper && !trayKeeper->trayPresent())
        showMinimized();
    else
        hide();
}

void DMainWidget::on_pushButton_Min_clicked()
{
    showMinimized();
}

void DMainWidget::on_pushButton_Max_clicked()
{
    if (isMaximized() || isFullScreen()) {
        showNormal();
        setCursor(Qt::ArrowCursor);
    } else {
        showMaximized();
    }
}

void DMainWidget::on_pushButton_Setting_clicked() {}

void DMainWidget::on_pushButton_Monitor_clicked()
{
    ui->pushButton_Monitor->setChecked(true);
    ui->pushButton_Hardware->setChecked(false);
    ui->stackedWidget_3->setCurrentWidget(ui->page_Monitor);
}

void DMainWidget::on_pushButton_Hardware_clicked()
{
    ui->pushButton_Hardware->setChecked(true);
    ui->pushButton_Monitor->setChecked(false);
    ui->stackedWidget_3->setCurrentWidget(ui->page_HardwareInfoNew);
}

void DMainWidget::on_pushButton_Logo_clicked() {}
