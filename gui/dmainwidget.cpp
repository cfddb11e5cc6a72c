#include "gui/dmainwidget.h"
#include "ui_dmainwidget.h"

#include "app/Monitor.h"
#include "app/RefreshFigures.h"
#include "app/UserSettings.h"
#include "appdata/DDataManager.h"
#include "endpoint/EndpointSettings.h"
#include "endpoint/MonitorEndpoint.h"
#include "gui/HardwarePage.h"
#include "gui/HistoryControl.h"
#include "gui/MonitorPage.h"
#include "gui/SourcesControl.h"
#include "gui/ThemeApplier.h"
#include "gui/TrayIconKeeper.h"
#include "gui/WindowChrome.h"
#include "model/Units.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDesktopWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QTimer>

namespace {

const QString celsiusText = QString::fromUtf8(kCelsiusSign);
const QString fahrenheitText = QString::fromUtf8(kFahrenheitSign);
} // namespace

DMainWidget::DMainWidget(QWidget *parent) : QWidget(parent)
{
    // The form, its theme, fonts and images are built when the window is first shown (see
    // setVisible): a Tarnix started hidden at logon may never show it, and keeps running all
    // day. Until then only the tray, the unit and the monitor exist.
    pixmapCacheLimit = QPixmapCache::cacheLimit();
    // The tray icon's image would otherwise go into Qt's pixmap cache, whose clean-up timer
    // then wakes the GUI thread every 10 to 30 s for the first minutes.
    QPixmapCache::setCacheLimit(0);

    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(1150, 750);

    showMainPageUI = DDataManager::getInstance()->getAppConfig().ShowMainPageUI;

    // First, so that the native window gets its broadcasts from the start.
    hardwareMonitor = new Monitor(QString(), this);
    hardwareMonitor->watchDevices(winId());
    sourcesControl = new SourcesControl(hardwareMonitor, this);
    connect(sourcesControl, &SourcesControl::shownChanged, this, &DMainWidget::updateWatch);
    historyControl = new HistoryControl(hardwareMonitor, this);
    initTray();
    initOperate();

    connect(this, &DMainWidget::sigHidDeviceConnectChanging_Into, this,
            &DMainWidget::onHidDeviceConnectChanging_Into);
    connect(this, &DMainWidget::sigHidDeviceConnectChanging_Remove, this,
            &DMainWidget::onHidDeviceConnectChanging_Remove);

    connect(hardwareMonitor, &Monitor::sdkStatusChanged, this, &DMainWidget::onTheSdkInitStatus);
    connect(hardwareMonitor, &Monitor::snapshotReady, this, &DMainWidget::onGetPcInfoOk);
    connect(hardwareMonitor, &Monitor::displayConnectionChanged, this, [this](bool connected) {
        if (connected)
            onOpenHidSuccessful();
        else
            showDisplayStatus(false);
    });
    hardwareMonitor->setSourceChoices(UserSettings::sources());
    // Off unless the user switched it on; a child of the monitor, which outlives its passes.
    (new MonitorEndpoint(hardwareMonitor))->start(EndpointSettings::listen());

    QTimer::singleShot(200, this, &DMainWidget::onStartUpdateLater);
    // The inventory is gathered beside the feed; the page fills in when it is done.
    connect(DDataManager::getInstance(), &DDataManager::sigGetPcHardwareInfoOver, this,
            &DMainWidget::onGetPcHardwareInfoOver);
}

void DMainWidget::setVisible(bool visible)
{
    if (visible && !ui)
        buildForm();
    QWidget::setVisible(visible);
}

void DMainWidget::buildForm()
{
    ui = new Ui::DMainWidget;
    ui->setupUi(this);
    if (pixmapCacheLimit >= 0) {
        QPixmapCache::setCacheLimit(pixmapCacheLimit);
        pixmapCacheLimit = -1;
    }

    ui->pushButton_Setting->hide();
    ui->pushButton_Max->hide();
    ui->label_HidStatus->hide();
    ui->pushButton_Test->hide();
    ui->label_AppName->setText(QStringLiteral("Tarnix"));
    ui->label_AppVersion->setText(QStringLiteral("V_1.0.0.01"));
    ui->pushButton_Logo->hide();
    ui->label_CrashTest->hide();
    ui->label_ErrorMsg->hide();

    initThemeData();
    ui->stackedWidget_3->setCurrentWidget(ui->page_Monitor);
    ui->pushButton_Monitor->setChecked(true);

    // What happened before the form existed.
    ui->radioButton_Model01->setChecked(temperatureUnit == UserSettings::kCelsius);
    ui->radioButton_Model02->setChecked(temperatureUnit != UserSettings::kCelsius);
    showTemperatureUnit();
    MonitorPage::reset(ui);
    if (updateStarted)
        showDisplayStatus(hardwareMonitor->deviceConnected());
    DDataManager *data = DDataManager::getInstance();
    if (data->hardwareInventoryReady())
        fillHardwarePage(ui->page_HardwareInfoNew, data->getHardwareInventory());
}

DMainWidget::~DMainWidget()
{
    // The monitor's threads end before the form goes.
    delete hardwareMonitor;
    hardwareMonitor = nullptr;
    delete ui;
}

// ---- start-up and shut-down ---------------------------------------------------------------

void DMainWidget::onStartUpdateLater()
{
    updateStarted = true;
    showDisplayStatus(false);
    hardwareMonitor->startUpdate();
}

// The monitor logs the outcome; the window shows the first pass when it comes.
void DMainWidget::onTheSdkInitStatus(bool /*isOK*/, int /*errorCode*/) {}

void DMainWidget::onOpenHidSuccessful()
{
    showDisplayStatus(true);
}

void DMainWidget::showDisplayStatus(bool connected)
{
    if (ui)
        ui->label_HidStatus->setText(connected ? QStringLiteral("Connected")
                                               : QStringLiteral("Disconnected"));
}

void DMainWidget::onQuitApp()
{
    hardwareMonitor->stop();
    historyControl->flush();
    qDebug() << "Exit app runing [Normal]";
    close();
    // The event loop returns and main() takes everything down in order: this window with the
    // monitor (its threads joined), then the application.
    QCoreApplication::exit(0);
}

// ---- showing a pass -----------------------------------------------------------------------

void DMainWidget::onGetPcInfoOk()
{
    if (!hardwareMonitor->sdkReady()) {
        qDebug() << "SDK Init doing ... ... wait monment ... ";
        return;
    }
    // One pass for the page and the sources dialog alike.
    if (const RefreshSnapshotPtr snapshot = hardwareMonitor->latestSnapshot()) {
        sourcesControl->showLatest(*snapshot);
        showSnapshot(*snapshot);
    }
}

void DMainWidget::showSnapshot(const RefreshSnapshot &snapshot)
{
    if (!ui)
        return;
    lastCpuTemperature = RefreshFigures::truncatedReading(snapshot.readings.cpuTemperature);
    lastGpuTemperature = RefreshFigures::truncatedReading(snapshot.readings.gpuTemperature);
    MonitorPage::show(ui, snapshot);
}

void DMainWidget::updateWatch()
{
    hardwareMonitor->setWatched(this, windowShown || sourcesControl->isShown());
}

// ---- temperature unit ---------------------------------------------------------------------

void DMainWidget::initOperate()
{
    temperatureUnit = UserSettings::kCelsius;
    bool stored = true;
    const int chosen = UserSettings::startUnit(
        DDataManager::getInstance()->getAppConfig().TemperatureChangShowModel, &stored);
    if (!stored)
        qDebug() << "TempShowModel could not be stored";

    if (chosen == 1) {
        qDebug() << "TempShowModel Init -> [℃]";
        on_radioButton_Model01_clicked();
    } else {
        qDebug() << "TempShowModel Init -> [℉]";
        on_radioButton_Model02_clicked();
    }
}

void DMainWidget::on_radioButton_Model01_clicked()
{
    if (temperatureUnit != 1)
        applyTemperatureUnit(1);
}

void DMainWidget::on_radioButton_Model02_clicked()
{
    if (temperatureUnit != 2)
        applyTemperatureUnit(2);
}

void DMainWidget::applyTemperatureUnit(int unit)
{
    temperatureUnit = unit;
    if (unit == 1)
        qDebug() << "TempShowModel Changed -> [℃]";
    else
        qDebug() << "TempShowModel Changed -> [℉]";
    if (!UserSettings::storeUnit(unit))
        qDebug() << "TempShowModel could not be stored";
    hardwareMonitor->setCelsius(unit == UserSettings::kCelsius);
    historyControl->setCelsius(unit == UserSettings::kCelsius);
    showTemperatureUnit();
}

void DMainWidget::showTemperatureUnit()
{
    if (!ui)
        return;
    const QString &text = temperatureUnit == 1 ? celsiusText : fahrenheitText;
    for (ProgressBarRound *gauge : {ui->widget_CpuDashboardNew, ui->widget_GpuDashboardNew}) {
        gauge->setStrUnit(text);
        gauge->setCurrentValueType(temperatureUnit);
        gauge->setRange(0, 100);
    }
    ui->widget_CpuDashboardNew->setValue(lastCpuTemperature);
    ui->widget_GpuDashboardNew->setValue(lastGpuTemperature);
}

// ---- theme and hardware page --------------------------------------------------------------

void DMainWidget::initThemeData()
{
    DDataManager *data = DDataManager::getInstance();
    const AppConfig config = data->getAppConfig();
    applyTheme(ui, this, config, data->getMontserratMediumFont(), data->getMontserratBoldFont());
}

void DMainWidget::onGetPcHardwareInfoOver()
{
    qDebug() << "-------------------------- onGetPcHardwareInfoOver and update to UI "
                "-----------------------";
    if (!ui)
        return; // the form fills the page from the inventory when it is built
    fillHardwarePage(ui->page_HardwareInfoNew, DDataManager::getInstance()->getHardwareInventory());
}

// ---- device hot-plug ----------------------------------------------------------------------

bool DMainWidget::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    // Native device and power broadcasts go to the monitor, which reports them like udev and
    // logind events. The native window exists, and gets messages, before the monitor does.
    if (hardwareMonitor)
        hardwareMonitor->handleNativeEvent(eventType, message);
    return QWidget::nativeEvent(eventType, message, result);
}

void DMainWidget::onHidDeviceConnectChanging_Into(QString hidPath)
{
    hardwareMonitor->onHidDeviceConnectChanging_Into(hidPath);
}

void DMainWidget::onHidDeviceConnectChanging_Remove(QString hidPath)
{
    hardwareMonitor->onHidDeviceConnectChanging_Remove(hidPath);
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
    auto *historyAction = new QAction(QStringLiteral("History"), this);
    connect(historyAction, &QAction::triggered, historyControl, &HistoryControl::showHistory);
    auto *alertsAction = new QAction(QStringLiteral("Alerts"), this);
    connect(alertsAction, &QAction::triggered, historyControl, &HistoryControl::showAlerts);

    trayMenu = new QMenu(QApplication::desktop());
    if (showMainPageUI == 1)
        trayMenu->addAction(openAction);
    trayMenu->addAction(sourcesAction);
    trayMenu->addAction(historyAction);
    trayMenu->addAction(alertsAction);
    trayMenu->addSeparator();
    trayMenu->addAction(exitAction);

    // The icon comes whenever a tray does: panels often start after the session's programs.
    trayKeeper = new TrayIconKeeper(config.AppIcoSel01, config.AppName, trayMenu, this);
    connect(trayKeeper, &TrayIconKeeper::iconCreated, this, [this](QSystemTrayIcon *icon) {
        trayIcon = icon;
        historyControl->setTrayIcon(icon);
        connect(trayIcon, &QSystemTrayIcon::activated, this, &DMainWidget::iconActivated);
    });
    trayKeeper->start();
}

void DMainWidget::onShowSources()
{
    sourcesControl->show();
}

void DMainWidget::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    const bool click = reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger;
    if (click && showMainPageUI == 1)
        showNormal();
}

void DMainWidget::showEvent(QShowEvent *event)
{
    windowShown = true;
    updateWatch();
    // The widgets were left alone while hidden: show the latest pass at once.
    if (hardwareMonitor->sdkReady())
        if (const RefreshSnapshotPtr snapshot = hardwareMonitor->latestSnapshot())
            showSnapshot(*snapshot);
    QWidget::showEvent(event);
}

void DMainWidget::hideEvent(QHideEvent *event)
{
    windowShown = false;
    updateWatch();
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
    drag.release();
    if (event->button() == Qt::LeftButton) {
        leftPressed = true;
        if (ui && ui->frame_Bg->geometry().contains(event->pos())) {
            event->accept();
            drag.press(*this, event->globalPos());
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
    } else if (drag.isFollowing() || maximisedOrFull) {
        if (!maximisedOrFull && drag.follow(*this, g))
            event->accept();
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
    drag.release();
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
    if (!ui)
        return;
    ui->pushButton_Monitor->setChecked(true);
    ui->pushButton_Hardware->setChecked(false);
    ui->stackedWidget_3->setCurrentWidget(ui->page_Monitor);
}

void DMainWidget::on_pushButton_Hardware_clicked()
{
    if (!ui)
        return;
    ui->pushButton_Hardware->setChecked(true);
    ui->pushButton_Monitor->setChecked(false);
    ui->stackedWidget_3->setCurrentWidget(ui->page_HardwareInfoNew);
}

void DMainWidget::on_pushButton_Logo_clicked() {}
