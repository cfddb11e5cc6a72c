#pragma once
#include <QString>

// Branding, layout switches and theme colours read once from configDir/appConfig.ini.
// Path fields hold configDir + the file's value; colour fields hold "r,g,b".
struct AppConfig
{
    QString AppName;
    QString AppVersion;
    QString AppID;
    int StartupTaskFlag = 0;
    QString AppIcoSel01;
    QString AppIcoSel02;
    int ShowMainPageUI = 0;
    int LeftTopShowModel = 0;
    QString LeftTopShowImage;
    int MainAreaShowModel = 0;
    QString MainAreaShowBgImage;
    int AppVersionShowModel = 0;
    int DeviceConStatusShowModel = 0;
    int TemperatureChangShowModel = 0;
    int CompanyInfoShowModel = 0;
    QString CompanyLinkUrl;
    QString CompanyCopyright;
    int HardwareInfoShowModel = 0;
    QString MainBorderColor;
    QString MainBgColor;
    QString ProgressBarDefBgColor;
    QString ProgressBarStartColor;
    QString ProgressBarEndColor;
    QString RadioDefColor;
    QString RadioSelColor;
    QString DataValueTextColor;
    QString FrameBorderColor;
    QString TextFont = QStringLiteral("Microsoft YaHei");
};
