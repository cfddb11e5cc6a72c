#include "appdata/DDataManager.h"

#include "appdata/AppFonts.h"
#include "core/ColorText.h"
#include "inventory/HardwareInventory.h"
#include "inventory/InventoryParsers.h"
#include "platform/InventorySource.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTextCodec>
#include <QThread>
#include <QTimer>

#include <functional>

// The start-up inventory's thread, keeping what it gathered until the GUI thread takes it. A
// class of our own rather than QThread::create(), whose object Qt creates and destroys inside
// its own library, out of the thread checker's sight.
class InventoryThread : public QThread
{
public:
    explicit InventoryThread(std::function<HardwareInventory()> gather) : work(std::move(gather)) {}

    // Once finished() has been seen: the wait returns at once and orders run() before this.
    HardwareInventory take()
    {
        wait();
        return std::move(gathered);
    }

private:
    void run() override { gathered = work(); }
    std::function<HardwareInventory()> work;
    HardwareInventory gathered;
};

DDataManager *DDataManager::getInstance()
{
    static DDataManager *instance = new DDataManager();
    return instance;
}

DDataManager::DDataManager(QObject *parent) : QObject(parent)
{
    configDir = QCoreApplication::applicationDirPath() + QStringLiteral("/configDir/");
    appConfig = readAppConfig(configDir);
}

QFont DDataManager::getMontserratBoldFont() const
{
    if (!fontsLoaded) {
        initMontserratBold();
        initMontserratMedium();
        fontsLoaded = true;
    }
    return montserratBoldFont;
}

QFont DDataManager::getMontserratMediumFont() const
{
    getMontserratBoldFont(); // both at once
    return montserratMediumFont;
}

AppConfig DDataManager::readAppConfig(const QString &configDir)
{
    QSettings settings(configDir + QStringLiteral("appConfig.ini"), QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForName("UTF_8"));

    const auto text = [&](const char *key) {
        return settings.value(QLatin1String(key)).toString();
    };
    const auto number = [&](const char *key) { return settings.value(QLatin1String(key)).toInt(); };
    const auto path = [&](const char *key) { return configDir + text(key); };
    const auto colour = [&](const char *key) { return ColorText::normalize(text(key)); };

    AppConfig c;
    c.AppName = text("AppInfo/AppName");
    c.AppVersion = text("AppInfo/AppVersion");
    c.AppID = text("AppInfo/AppID");
    c.StartupTaskFlag = 1;
    c.AppIcoSel01 = path("AppIco/AppIcoSel01");
    c.AppIcoSel02 = path("AppIco/AppIcoSel02");
    c.ShowMainPageUI = number("AppUiShow/ShowMainPageUI");
    c.LeftTopShowModel = number("AppUiShow/LeftTopShowModel");
    c.LeftTopShowImage = path("AppUiShow/LeftTopShowImage");
    c.MainAreaShowModel = number("AppUiShow/MainAreaShowModel");
    c.MainAreaShowBgImage = path("AppUiShow/MainAreaShowBgImage");
    c.AppVersionShowModel = number("AppUiShow/AppVersionShowModel");
    c.DeviceConStatusShowModel = number("AppUiShow/DeviceConStatusShowModel");
    c.TemperatureChangShowModel = number("AppUiShow/TemperatureChangShowModel");
    c.CompanyInfoShowModel = number("AppUiShow/CompanyInfoShowModel");
    c.CompanyLinkUrl = text("AppUiShow/CompanyLinkUrl");
    c.CompanyCopyright = text("AppUiShow/CompanyCopyright");
    c.HardwareInfoShowModel = number("AppUiShow/HardwareInfoShowModel");
    c.MainBorderColor = colour("ThemeColor/MainBorderColor");
    c.MainBgColor = colour("ThemeColor/MainBgColor");
    c.ProgressBarDefBgColor = colour("ThemeColor/ProgressBarDefBgColor");
    c.ProgressBarStartColor = colour("ThemeColor/ProgressBarStartColor");
    c.ProgressBarEndColor = colour("ThemeColor/ProgressBarEndColor");
    c.RadioDefColor = colour("ThemeColor/RadioDefColor");
    c.RadioSelColor = colour("ThemeColor/RadioSelColor");
    c.DataValueTextColor = colour("ThemeColor/DataValueTextColor");
    c.FrameBorderColor = colour("ThemeColor/FrameBorderColor");
    c.TextFont = text("ThemeColor/TextFont");
    return c;
}

void DDataManager::initMontserratBold() const
{
    QFont font;
    font.setFamily(QStringLiteral("Microsoft YaHei"));
    const QString family =
        AppFonts::addResourceFamily(QStringLiteral(":/images/LocalFont/MontserratBold.otf"));
    if (!family.isEmpty())
        font.setFamily(family);
    montserratBoldFont = font;
}

void DDataManager::initMontserratMedium() const
{
    const QString family =
        AppFonts::addResourceFamily(QStringLiteral(":/images/LocalFont/MontserratMedium.otf"));
    montserratMediumFont = family.isEmpty() ? QFont() : QFont(family, -1, -1, false);
}

void DDataManager::initInfo()
{
    qDebug() << "------------------------- *** App Runing *** ------------------------------";
    qDebug() << "appConfig.ini Path:" << configDir;
    // Once the event loop runs: Qt's one-time set-up of fonts, locale and types in the
    // window's constructor is then done before the worker starts reading it.
    QTimer::singleShot(0, this, &DDataManager::theHardwareInfoGet);
}

void DDataManager::theHardwareInfoGet()
{
    // Beside the feed, not before it: a query may take its full timeout, and the first report
    // must not wait for it. Nothing waits for a running gathering either, since a hung query
    // must not hold up the quit; a finished one is waited for before its thread object goes.
    if (inventoryWorker && inventoryWorker->isRunning())
        return;
    if (inventoryWorker)
        inventoryWorker->wait();
    delete inventoryWorker;
    inventoryWorker = new InventoryThread(&DDataManager::gatherInventory);
    connect(inventoryWorker, &QThread::finished, this, &DDataManager::takeGatheredInventory);
    inventoryWorker->start();
}

void DDataManager::takeGatheredInventory()
{
    inventory = inventoryWorker->take();
    inventoryReady = true;
    emit sigGetPcHardwareInfoOver();
}

HardwareInventory DDataManager::gatherInventory()
{
    qDebug() << "--------------- *** PC Hardware Info Get Start *** ---------------";
    InventoryOutputs outputs;
    for (const InventoryQuery query : InventoryQueries::all()) {
        QString &output = outputOf(outputs, query);
        output = InventoryQueries::decode(query, InventorySource::run(query));
        qDebug() << InventoryQueries::debugTitle(query) << output;
    }
    HardwareInventory gathered = parseInventory(outputs);
    qDebug() << "--------------- *** PC Hardware Info Get Over *** ---------------";
    return gathered;
}

QString DDataManager::getInfo(const QString &commandLine)
{
    // Only the inventory's own command lines are run.
    const std::optional<InventoryQuery> query = InventoryQueries::fromCommandLine(commandLine);
    const QString output = query ? QString::fromLocal8Bit(InventorySource::run(*query)) : QString();
    if (commandLine.contains(QLatin1String("cpu")))
        qDebug() << "Windows HardwareInfo 01 CPU:" << output;
    return InventoryParsers::processorName(output, commandLine);
}
