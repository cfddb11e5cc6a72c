#pragma once
#include "core/AppConfig.h"

#include <QPoint>
#include <QSystemTrayIcon>
#include <QWidget>

#include <atomic>
#include <mutex>
#include <thread>

class DeviceMonitor;
class SleepMonitor;
class MainHidInterFace;
class SourcesDialog;
class TrayIconKeeper;
struct SourceChoices;
class QAction;
class QMenu;
class getPcInfoThread;
struct DeviceFrameInput;
struct SensorReadings;

namespace Ui {
class DMainWidget;
}

// The main window and the controller of the whole program: it owns the form, the sensor
// thread and the device transport, wires them together and decides their start and stop order.
class DMainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DMainWidget(QWidget *parent = nullptr);
    ~DMainWidget() override;

    // 1: the window is shown at start and can be opened from the tray.
    int showAtStartValue() const { return showMainPageUI; }

signals:
    void sigHidDeviceConnectChanging_Into(QString hidPath);
    void sigHidDeviceConnectChanging_Remove(QString hidPath);

public slots:
    void onGetPcHardwareInfoOver();
    void onQuitApp();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void onHidDeviceConnectChanging_Into(QString hidPath);
    void onHidDeviceConnectChanging_Remove(QString hidPath);
    void onStartUpdateLater();
    void onGetPcInfoOk();
    void onTheSdkInitStatus(bool isOK, int errorCode);
    void onOpenHidSuccessful();
    void onShowSources();
    void onSourcesChanged(const SourceChoices &choices);
    void on_pushButton_Close_clicked();
    void on_pushButton_Max_clicked();
    void on_pushButton_Min_clicked();
    void on_pushButton_Setting_clicked();
    void on_radioButton_Model01_clicked();
    void on_radioButton_Model02_clicked();
    void on_pushButton_Hardware_clicked();
    void on_pushButton_Monitor_clicked();
    void on_pushButton_Logo_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;

private slots:
    void onDeviceEvent(const QString &action, const QString &devicePath);
    void onHidWritesFailing();
    void onSystemResumed();

private:
    void registerDevice();
    // Closes the display if open and searches again; until it is found, every refresh
    // searches once more, since its return may not be announced either.
    void searchDisplayAgain();
    void initTray();
    void initThemeData();
    void initOperate();
    void applyTemperatureUnit(int unit);
    void showReadings(const SensorReadings &readings, DeviceFrameInput &frame);
    void refreshAutoRangePairs(int cpuClock, int gpuClock, int cpuFan, int gpuFan, int cpuPower,
                               int gpuPower);
    void advanceAutoRanges(const SensorReadings &readings);
    bool refreshWithoutWindow(const SensorReadings &readings);
    void updateRefreshRoute();
    void refreshSystemFigures(quint32 &memoryLoad, quint64 &memoryTotal, int &driveUsage,
                              quint64 &driveTotal);

    Ui::DMainWidget *ui;
    QSystemTrayIcon *trayIcon = nullptr;
    TrayIconKeeper *trayKeeper = nullptr;
    int showMainPageUI = 1;
    // Qt's pixmap cache limit, held at 0 until the window is first shown (see the constructor).
    int pixmapCacheLimit = -1;
    bool windowShown = false;
    // While nothing on screen shows the values, the sensor thread sends the display's report
    // itself and the GUI thread sleeps through the pass.
    std::atomic<bool> windowlessRefresh{false};
    std::atomic<bool> framesInCelsius{true};
    // The auto-range maxima below, advanced by the sensor thread too while the window is hidden.
    std::mutex autoRangeLock;

    bool dragging = false;
    bool leftPressed = false;
    QPoint dragOffset;
    int ResizeZone = 8;

    int lastCpuTemperature = 0;
    int lastGpuTemperature = 0;
    int temperatureUnit = 1;
    bool sdkReady = false;
    getPcInfoThread *pcInfoThread = nullptr;
    // Loads the sensor library off the GUI thread; joined by the destructor.
    std::thread sdkStarter;

    int maxCpuClock = 0;
    int maxGpuClock = 0;
    int maxCpuFan = 0;
    int maxGpuFan = 0;
    int maxCpuPower = 0;
    int maxGpuPower = 0;

    MainHidInterFace *hidInterface = nullptr;
    bool deviceConnected = false;
    bool displayLost = false;

    QMenu *trayMenu = nullptr;
    QAction *openAction = nullptr;
    QAction *exitAction = nullptr;
    QAction *sourcesAction = nullptr;
    SourcesDialog *sourcesDialog = nullptr;
    QString companyLinkUrl;
    DeviceMonitor *deviceMonitor = nullptr;
    SleepMonitor *sleepMonitor = nullptr;
};
