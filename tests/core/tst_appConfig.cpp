#include "appdata/DDataManager.h"
#include "core/ColorText.h"

#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString writeConfig(const QTemporaryDir &dir, const QByteArray &ini)
{
    const QString configDir = dir.path() + "/configDir/";
    QDir().mkpath(configDir);
    QFile file(configDir + "appConfig.ini");
    if (file.open(QIODevice::WriteOnly))
        file.write(ini);
    return configDir;
}

} // namespace

class tst_appConfig : public QObject
{
    Q_OBJECT
private slots:
    void normalizeColor_data();
    void normalizeColor();
    void colorComponent_data();
    void colorComponent();
    void missingFolderGivesDefaults();
    void readsEveryKey();
    void nonNumericIntegerIsZero();
    void loadsResourceFonts();
};

void tst_appConfig::normalizeColor_data()
{
    QTest::addColumn<QString>("fileValue");
    QTest::addColumn<QString>("stored");
    QTest::newRow("three components") << "236.3.78"
                                      << "236,3,78";
    QTest::newRow("alpha dropped") << "236.3.78.255"
                                   << "236,3,78";
    QTest::newRow("five kept") << "1.2.3.4.5"
                               << "1,2,3,4,5";
    QTest::newRow("two kept") << "200.100"
                              << "200,100";
    QTest::newRow("commas already") << "1,2,3,4"
                                    << "1,2,3";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_appConfig::normalizeColor()
{
    QFETCH(QString, fileValue);
    QFETCH(QString, stored);
    QCOMPARE(ColorText::normalize(fileValue), stored);
}

void tst_appConfig::colorComponent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::newRow("full") << "236,3,78" << 236 << 3 << 78;
    QTest::newRow("two components") << "200,100" << 200 << 100 << 0;
    QTest::newRow("not a number") << "x,7,y" << 0 << 7 << 0;
    QTest::newRow("empty") << "" << 0 << 0 << 0;
}

void tst_appConfig::colorComponent()
{
    QFETCH(QString, text);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QCOMPARE(ColorText::component(text, 0), red);
    QCOMPARE(ColorText::component(text, 1), green);
    QCOMPARE(ColorText::component(text, 2), blue);
}

void tst_appConfig::missingFolderGivesDefaults()
{
    const QString configDir = QDir::tempPath() + "/no-such-tarnix-dir/configDir/";
    const AppConfig c = DDataManager::readAppConfig(configDir);
    QCOMPARE(c.AppName, QString());
    QCOMPARE(c.StartupTaskFlag, 1);
    QCOMPARE(c.ShowMainPageUI, 0);
    QCOMPARE(c.AppIcoSel01, configDir);
    QCOMPARE(c.MainAreaShowBgImage, configDir);
    QCOMPARE(c.MainBgColor, QString());
    QCOMPARE(c.TextFont, QString());
    QCOMPARE(AppConfig().TextFont, QStringLiteral("Microsoft YaHei"));
}

void tst_appConfig::readsEveryKey()
{
    QTemporaryDir dir;
    const QString configDir =
        writeConfig(dir, "[AppInfo]\nAppName=Tärnix\nAppVersion=V9\n"
                         "AppID=ABCDEFVVSS02\n"
                         "[AppIco]\nAppIcoSel01=a.png\nAppIcoSel02=b.png\n"
                         "[AppUiShow]\nShowMainPageUI=2\nLeftTopShowModel=3\n"
                         "LeftTopShowImage=c.png\nMainAreaShowModel=2\n"
                         "MainAreaShowBgImage=d.png\nAppVersionShowModel=1\n"
                         "DeviceConStatusShowModel=4\n"
                         "TemperatureChangShowModel=5\n"
                         "CompanyInfoShowModel=6\nCompanyLinkUrl=u\n"
                         "CompanyCopyright=\"(C) 2026, us\"\n"
                         "HardwareInfoShowModel=7\n"
                         "[ThemeColor]\nMainBorderColor=1.2.3.4\n"
                         "MainBgColor=5.6.7\nProgressBarDefBgColor=8.9.10\n"
                         "ProgressBarStartColor=11.12.13\n"
                         "ProgressBarEndColor=14.15.16\nRadioDefColor=17.18.19\n"
                         "RadioSelColor=20.21.22\n"
                         "DataValueTextColor=23.24.25\n"
                         "FrameBorderColor=26.27.28\nTextFont=Montserrat\n");
    const AppConfig c = DDataManager::readAppConfig(configDir);
    QCOMPARE(c.AppName, QStringLiteral("Tärnix"));
    QCOMPARE(c.AppVersion, QStringLiteral("V9"));
    QCOMPARE(c.AppID, QStringLiteral("ABCDEFVVSS02"));
    QCOMPARE(c.AppIcoSel01, configDir + "a.png");
    QCOMPARE(c.AppIcoSel02, configDir + "b.png");
    QCOMPARE(c.ShowMainPageUI, 2);
    QCOMPARE(c.LeftTopShowModel, 3);
    QCOMPARE(c.LeftTopShowImage, configDir + "c.png");
    QCOMPARE(c.MainAreaShowModel, 2);
    QCOMPARE(c.MainAreaShowBgImage, configDir + "d.png");
    QCOMPARE(c.AppVersionShowModel, 1);
    QCOMPARE(c.DeviceConStatusShowModel, 4);
    QCOMPARE(c.TemperatureChangShowModel, 5);
    QCOMPARE(c.CompanyInfoShowModel, 6);
    QCOMPARE(c.CompanyLinkUrl, QStringLiteral("u"));
    QCOMPARE(c.CompanyCopyright, QStringLiteral("(C) 2026, us"));
    QCOMPARE(c.HardwareInfoShowModel, 7);
    QCOMPARE(c.MainBorderColor, QStringLiteral("1,2,3"));
    QCOMPARE(c.MainBgColor, QStringLiteral("5,6,7"));
    QCOMPARE(c.ProgressBarDefBgColor, QStringLiteral("8,9,10"));
    QCOMPARE(c.ProgressBarStartColor, QStringLiteral("11,12,13"));
    QCOMPARE(c.ProgressBarEndColor, QStringLiteral("14,15,16"));
    QCOMPARE(c.RadioDefColor, QStringLiteral("17,18,19"));
    QCOMPARE(c.RadioSelColor, QStringLiteral("20,21,22"));
    QCOMPARE(c.DataValueTextColor, QStringLiteral("23,24,25"));
    QCOMPARE(c.FrameBorderColor, QStringLiteral("26,27,28"));
    QCOMPARE(c.TextFont, QStringLiteral("Montserrat"));
    QCOMPARE(c.StartupTaskFlag, 1);
}

void tst_appConfig::nonNumericIntegerIsZero()
{
    QTemporaryDir dir;
    const AppConfig c = DDataManager::readAppConfig(
        writeConfig(dir, "[AppUiShow]\nShowMainPageUI=yes\nLeftTopShowModel=\n"));
    QCOMPARE(c.ShowMainPageUI, 0);
    QCOMPARE(c.LeftTopShowModel, 0);
}

void tst_appConfig::loadsResourceFonts()
{
    DDataManager *data = DDataManager::getInstance();
    QCOMPARE(data->getMontserratBoldFont().family(), QStringLiteral("Montserrat"));
    QCOMPARE(data->getMontserratMediumFont().family(), QStringLiteral("Montserrat"));
    // Resolves to the registered file, not to a fallback family.
    QCOMPARE(QFontInfo(data->getMontserratBoldFont()).family(), QStringLiteral("Montserrat"));
    QCOMPARE(data, DDataManager::getInstance());
}

QTEST_MAIN(tst_appConfig)
#include "tst_appConfig.moc"
