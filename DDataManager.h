#pragma once
#include "core/AppConfig.h"
#include "inventory/HardwareInventory.h"

#include <QFont>
#include <QObject>
#include <QString>
#include <QStringList>

// Process-wide holder of the configuration, the two application fonts and the PC inventory.
class DDataManager : public QObject
{
    Q_OBJECT
public:
    static DDataManager *getInstance();

    void initInfo();

    AppConfig getAppConfig() const { return appConfig; }
    QFont getMontserratBoldFont() const { return montserratBoldFont; }
    QFont getMontserratMediumFont() const { return montserratMediumFont; }

    /// Starts the inventory on a worker thread; sigGetPcHardwareInfoOver() follows on this
    /// thread once it is filled in.
    void theHardwareInfoGet();
    bool hardwareInventoryReady() const { return inventoryReady; }
    QString getInfo(const QString &commandLine);

    QString getCpuName() const { return inventory.cpuName; }
    QString getBoardInfo() const { return inventory.boardInfo; }
    QStringList getMemoryList() const { return inventory.memoryList; }
    QStringList getDiskList() const { return inventory.diskList; }
    QStringList getGpuList() const { return inventory.gpuList; }
    QStringList getAudioList() const { return inventory.audioList; }
    QStringList getNetworkList() const { return inventory.networkList; }
    QString getOsCaption() const { return inventory.osCaption; }
    HardwareInventory getHardwareInventory() const { return inventory; }

    // Reads configDir + "appConfig.ini" with the value rules of the configuration record.
    static AppConfig readAppConfig(const QString &configDir);

signals:
    void sigGetPcHardwareInfoOver();

private:
    explicit DDataManager(QObject *parent = nullptr);
    void initMontserratBold();
    void initMontserratMedium();

    QString configDir;
    AppConfig appConfig;
    QFont montserratBoldFont;
    QFont montserratMediumFont;

    // Runs every inventory query, logging each; any thread.
    static HardwareInventory gatherInventory();

    HardwareInventory inventory; // GUI thread
    bool inventoryReady = false;
};
