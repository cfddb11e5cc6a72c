#pragma once
#include "core/AppConfig.h"
#include "gui/WindowChrome.h"

#include <QSystemTrayIcon>
#include <QWidget>

class HistoryControl;
class Monitor;
class SourcesControl;
class TrayIconKeeper;
struct RefreshSnapshot;
class QAction;
class QMenu;

namespace Ui {
class DMainWidget;
}

// The main window. It shows what the headless Monitor measures, while it is visible, and sends
// the user's choices (unit, sources) back to it; the Monitor owns the threads and the display.
class DMainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DMainWidget(QWidget *parent = nullptr);
    ~DMainWidget() override;

    // 1: the window is shown at start and can be opened from the tray.
    int showAtStartValue() const { return showMainPageUI; }
    Monitor *monitor() const { return hardwareMonitor; }
    /// Puts one pass on the monitor page; unchanged figures are not set again.
    void showSnapshot(const RefreshSnapshot &snapshot);
    /// The form is built the first time the window is shown.
    void setVisible(bool visible) override;

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

private:
    void initTray();
    void initThemeData();
    void initOperate();
    void buildForm();
    void applyTemperatureUnit(int unit);
    void showTemperatureUnit();
    void showDisplayStatus(bool connected);
    // The monitor wakes this thread for its passes only while something here shows them.
    void updateWatch();

    Ui::DMainWidget *ui = nullptr; // until first shown
    QSystemTrayIcon *trayIcon = nullptr;
    TrayIconKeeper *trayKeeper = nullptr;
    int showMainPageUI = 1;
    // Qt's pixmap cache limit, held at 0 until the window is first shown (see the constructor).
    int pixmapCacheLimit = -1;
    bool windowShown = false;
    bool updateStarted = false; // the display's status is known from then on

    bool leftPressed = false;
    WindowChrome::WindowDrag drag;
    int ResizeZone = 8;

    int lastCpuTemperature = 0;
    int lastGpuTemperature = 0;
    int temperatureUnit = 1;
    Monitor *hardwareMonitor = nullptr;

    QMenu *trayMenu = nullptr;
    QAction *openAction = nullptr;
    QAction *exitAction = nullptr;
    QAction *sourcesAction = nullptr;
    SourcesControl *sourcesControl = nullptr;
    HistoryControl *historyControl = nullptr;
};
