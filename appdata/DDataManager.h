#pragma once
#include "core/AppConfig.h"
#include "inventory/HardwareInventory.h"

#include <QFont>
#include <QObject>
#include <QString>
#include <QStringList>

class InventoryThread;

// Process-wide holder of the configuration, the two application fonts and the PC inventory.
class DDataManager : public QObject
{
    Q_OBJECT
public:
    static DDataManager *getInstance();

    void initInfo();

    AppConfig getAppConfig() const { return appConfig; }
    // Loaded on first use: a program that never shows its window never needs them.
    QFont getMontserratBoldFont() const;
    QFont getMontserratMediumFont() const;

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

private slots:
    // Puts the worker's inventory in place once its thread has finished; GUI thread.
    void takeGatheredInventory();

private:
    explicit DDataManager(QObject *parent = nullptr);
    void initMontserratBold() const;
    void initMontserratMedium() const;

    QString configDir;
    AppConfig appConfig;
    // GUI thread only, like every user of the fonts.
    mutable QFont montserratBoldFont;
    mutable QFont montserratMediumFont;
    mutable bool fontsLoaded = false;

    // Runs every inventory query, logging each; any thread.
    static HardwareInventory gatherInventory();

    HardwareInventory inventory; // GUI thread
    bool inventoryReady = false;
    InventoryThread *inventoryWorker = nullptr;
};
