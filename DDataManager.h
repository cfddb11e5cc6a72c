#pragma once
#include "core/AppConfig.h"

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

    void theHardwareInfoGet();
    QString getInfo(const QString &commandLine);

    QString getCpuName() const { return cpuName; }
    QString getBoardInfo() const { return boardInfo; }
    QStringList getMemoryList() const { return memoryList; }
    QStringList getDiskList() const { return diskList; }
    QStringList getGpuList() const { return gpuList; }
    QStringList getAudioList() const { return audioList; }
    QStringList getNetworkList() const { return networkList; }
    QString getOsCaption() const { return osCaption; }

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

    QString cpuName;
    QString boardInfo;
    QStringList memoryList;
    QStringList diskList;
    QStringList gpuList;
    QStringList audioList;
    QStringList networkList;
    QString osCaption;
};
