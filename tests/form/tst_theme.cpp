// The theme: each configuration switch and colour, applied to a freshly built form.
#include "appdata/DDataManager.h"
#include "core/ColorText.h"
#include "gui/ThemeApplier.h"
#include "ui_dmainwidget.h"

#include <QFile>
#include <QtTest>

namespace {

AppConfig baseConfig()
{
    AppConfig c;
    c.AppName = QStringLiteral("Tarnix");
    c.AppVersion = QStringLiteral("V_2.3.4.05");
    c.AppID = QStringLiteral("TARNIX000001");
    c.AppIcoSel01 = QStringLiteral("/nonexistent/ico.png");
    c.AppIcoSel02 = QStringLiteral("/cfg/logo.png");
    c.LeftTopShowModel = 1;
    c.LeftTopShowImage = QStringLiteral("/cfg/title.png");
    c.MainAreaShowModel = 0;
    c.MainAreaShowBgImage = QStringLiteral("/cfg/bg.png");
    c.AppVersionShowModel = 1;
    c.DeviceConStatusShowModel = 1;
    c.TemperatureChangShowModel = 1;
    c.CompanyInfoShowModel = 1;
    c.HardwareInfoShowModel = 1;
    c.CompanyLinkUrl = QStringLiteral("www.company.example");
    c.CompanyCopyright = QStringLiteral("(c) Company");
    c.MainBorderColor = QStringLiteral("20,20,20");
    c.MainBgColor = QStringLiteral("37,37,37");
    c.ProgressBarDefBgColor = QStringLiteral("60,60,60");
    c.ProgressBarStartColor = QStringLiteral("236,3,78");
    c.ProgressBarEndColor = QStringLiteral("255,41,37");
    c.RadioDefColor = QStringLiteral("175,175,175");
    c.RadioSelColor = QStringLiteral("255,2,0");
    c.DataValueTextColor = QStringLiteral("220,221,222");
    c.FrameBorderColor = QStringLiteral("49,50,51");
    c.TextFont = QStringLiteral("Montserrat");
    return c;
}

// A form on a plain window, themed with the given configuration.
struct ThemedForm
{
    QWidget window;
    Ui::DMainWidget ui;

    explicit ThemedForm(const AppConfig &config)
    {
        ui.setupUi(&window);
        ui.label_HidStatus->hide(); // as the controller does before the theme runs
        QFont medium(QStringLiteral("Medium Probe"));
        QFont bold(QStringLiteral("Bold Probe"));
        bold.setBold(true);
        applyTheme(&ui, &window, config, medium, bold);
    }

    bool shown(QWidget *w) const { return w->isVisibleTo(&window); }
};

QStringList captured;

QtMessageHandler testLibHandler = nullptr;

// The theme's debug lines would flood the test output; everything else still reaches QtTest.
void dropDebugMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && testLibHandler)
        testLibHandler(type, context, message);
}

void captureMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        captured.append(message);
}

using Switch = int AppConfig::*;

} // namespace

Q_DECLARE_METATYPE(Switch)

class TestTheme : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testLibHandler = qInstallMessageHandler(dropDebugMessages); }
    void switches_data();
    void switches();
    void titleModes_data();
    void titleModes();
    void windowTitleAndVersion();
    void logsInOrder_data();
    void logsInOrder();
    void background_data();
    void background();
    void colourComponents_data();
    void colourComponents();
    void imagePathKeepsPercentSigns();
    void metricBars();
    void usageBarsLoseTheBarRule();
    void panelsCaptionsAndValues();
    void radioButtons();
    void pageButtons_data();
    void pageButtons();
    void footerShown();
    void footerHiddenKeepsItsHeight();
    void hardwareLabels();
    void dashboardPalette();
    void dashboardGradient_data();
    void dashboardGradient();
    void dashboardSettings();
    void configurationFile();
    void missingIconKeyIsNoIcon();
};

void TestTheme::switches_data()
{
    QTest::addColumn<Switch>("field");
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("widgets");
    QTest::addColumn<bool>("shown");
    const QStringList version{"label_AppVersion"};
    const QStringList status{"label_HidStatus"};
    const QStringList radios{"radioButton_Model01", "radioButton_Model02"};
    const QStringList hardware{"pushButton_Hardware"};
    const QStringList footer{"label_CompanyUrl", "label_CompanyCopyright"};
    QTest::newRow("version 0") << &AppConfig::AppVersionShowModel << 0 << version << false;
    QTest::newRow("version 1") << &AppConfig::AppVersionShowModel << 1 << version << true;
    QTest::newRow("status 0") << &AppConfig::DeviceConStatusShowModel << 0 << status << false;
    QTest::newRow("status 1 undoes the start-up hide")
        << &AppConfig::DeviceConStatusShowModel << 1 << status << true;
    QTest::newRow("status -3") << &AppConfig::DeviceConStatusShowModel << -3 << status << true;
    QTest::newRow("unit 0") << &AppConfig::TemperatureChangShowModel << 0 << radios << false;
    QTest::newRow("unit 2") << &AppConfig::TemperatureChangShowModel << 2 << radios << true;
    QTest::newRow("hardware 0") << &AppConfig::HardwareInfoShowModel << 0 << hardware << false;
    QTest::newRow("hardware 7") << &AppConfig::HardwareInfoShowModel << 7 << hardware << true;
    QTest::newRow("company 0") << &AppConfig::CompanyInfoShowModel << 0 << footer << false;
    QTest::newRow("company 1") << &AppConfig::CompanyInfoShowModel << 1 << footer << true;
}

void TestTheme::switches()
{
    QFETCH(Switch, field);
    QFETCH(int, value);
    QFETCH(QStringList, widgets);
    QFETCH(bool, shown);
    AppConfig config = baseConfig();
    config.*field = value;
    ThemedForm form(config);
    for (const QString &name : widgets) {
        QWidget *w = form.window.findChild<QWidget *>(name);
        QVERIFY(w);
        QVERIFY2(form.shown(w) == shown, qPrintable(name));
    }
}

void TestTheme::titleModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("logoShown");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("logoSheet");
    QTest::addColumn<QString>("imageSheet");
    const QString logo = QStringLiteral("QPushButton{ border-image: url(/cfg/logo.png); }");
    const QString title = QStringLiteral("QPushButton{ border-image: url(/cfg/title.png); }");
    const QString formLogo = QStringLiteral("border-image: url(:/images/AppLogo.png);");
    const QString formTitle = QStringLiteral("border-image: url(:/images/leftTopLogo.png);");
    const int formAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    QTest::newRow("0 name centred")
        << 0 << 0 << false << int(Qt::AlignHCenter) << "Tarnix" << formLogo << formTitle;
    QTest::newRow("1 logo and name")
        << 1 << 0 << true << int(Qt::AlignLeft) << "Tarnix" << logo << formTitle;
    QTest::newRow("2 one image") << 2 << 1 << true << formAlignment << "Tarnix" << formLogo
                                 << title;
    QTest::newRow("3 blank") << 3 << 0 << false << formAlignment << "" << formLogo << formTitle;
    QTest::newRow("4 default branch")
        << 4 << 0 << false << formAlignment << "Tarnix" << formLogo << formTitle;
    QTest::newRow("-1 default branch")
        << -1 << 0 << false << formAlignment << "Tarnix" << formLogo << formTitle;
}

void TestTheme::titleModes()
{
    QFETCH(int, mode);
    QFETCH(int, page);
    QFETCH(bool, logoShown);
    QFETCH(int, alignment);
    QFETCH(QString, name);
    QFETCH(QString, logoSheet);
    QFETCH(QString, imageSheet);
    AppConfig config = baseConfig();
    config.LeftTopShowModel = mode;
    ThemedForm form(config);
    QCOMPARE(form.ui.stackedWidget->currentIndex(), page);
    QCOMPARE(form.ui.frame->isHidden(), !logoShown);
    QCOMPARE(int(form.ui.label_AppName->alignment()), alignment);
    QCOMPARE(form.ui.label_AppName->text(), name);
    QCOMPARE(form.ui.appLogo->styleSheet(), logoSheet);
    QCOMPARE(form.ui.pushButton->styleSheet(), imageSheet);
}

void TestTheme::windowTitleAndVersion()
{
    ThemedForm form(baseConfig());
    QCOMPARE(form.window.windowTitle(), QStringLiteral("Tarnix"));
    QCOMPARE(form.ui.label_AppVersion->text(), QStringLiteral("V_2.3.4.05"));
    for (QLabel *label : {form.ui.label_AppName, form.ui.label_AppVersion}) {
        QCOMPARE(label->font().family(), QStringLiteral("Medium Probe"));
        QCOMPARE(label->font().pointSize(), 14);
    }

    AppConfig hidden = baseConfig();
    hidden.AppVersionShowModel = 0;
    ThemedForm noVersion(hidden);
    QCOMPARE(noVersion.ui.label_AppVersion->text(), QStringLiteral("V_1.0.0.01"));
}

void TestTheme::logsInOrder_data()
{
    QTest::addColumn<bool>("iconExists");
    QTest::newRow("icon present") << true;
    QTest::newRow("icon missing") << false;
}

void TestTheme::logsInOrder()
{
    QFETCH(bool, iconExists);
    AppConfig config = baseConfig();
    if (iconExists) {
        config.AppIcoSel01 = qEnvironmentVariable("TARNIX_TEST_SCRATCH", QDir::tempPath()) +
                             QStringLiteral("/ico.png");
        QFile icon(config.AppIcoSel01);
        QVERIFY(icon.open(QIODevice::WriteOnly));
    }
    captured.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessages);
    {
        ThemedForm form(config);
    }
    qInstallMessageHandler(previous);
    if (iconExists)
        QFile::remove(config.AppIcoSel01);
    const QStringList expected{QStringLiteral("initTheme runing -> Start"),
                               QStringLiteral("APP ICO: \"%1\"").arg(config.AppIcoSel01),
                               iconExists ? QStringLiteral("APP ICO -> Ico file is exists")
                                          : QStringLiteral("APP ICO -> Ico file is not exists"),
                               QStringLiteral("initTheme runing -> Over")};
    QCOMPARE(captured, expected);
}

void TestTheme::background_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("fill");
    const QString colour = QStringLiteral("background-color: rgb(37, 37, 37);");
    QTest::newRow("0 colour") << 0 << colour;
    QTest::newRow("1 colour") << 1 << colour;
    QTest::newRow("2 image") << 2 << QStringLiteral("border-image: url(/cfg/bg.png);");
    QTest::newRow("3 colour") << 3 << colour;
}

void TestTheme::background()
{
    QFETCH(int, mode);
    QFETCH(QString, fill);
    AppConfig config = baseConfig();
    config.MainAreaShowModel = mode;
    ThemedForm form(config);
    const QString sheet = form.ui.frame_Bg->styleSheet();
    QVERIFY2(sheet.startsWith(QLatin1String("QFrame#frame_Bg{")), qPrintable(sheet));
    QVERIFY2(sheet.contains(fill), qPrintable(sheet));
    QVERIFY(sheet.contains(QLatin1String("border:1px solid rgb(20, 20, 20);")));
    QVERIFY(sheet.contains(QLatin1String("border-radius: 12px;")));
    QCOMPARE(sheet.contains(QLatin1String("border-image")), mode == 2);
    QCOMPARE(sheet.contains(QLatin1String("background-color")), mode != 2);
}

void TestTheme::colourComponents_data()
{
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QString>("rgb");
    QTest::newRow("three") << "1,2,3"
                           << "rgb(1, 2, 3)";
    QTest::newRow("two components") << "200,100"
                                    << "rgb(200, 100, 0)";
    QTest::newRow("one component") << "9"
                                   << "rgb(9, 0, 0)";
    QTest::newRow("empty") << ""
                           << "rgb(0, 0, 0)";
    QTest::newRow("not a number") << "abc,10,x7"
                                  << "rgb(0, 10, 0)";
    QTest::newRow("from dots, alpha dropped")
        << ColorText::normalize("200.100.50.255") << "rgb(200, 100, 50)";
}

void TestTheme::colourComponents()
{
    QFETCH(QString, colour);
    QFETCH(QString, rgb);
    AppConfig config = baseConfig();
    config.MainBgColor = colour;
    config.DataValueTextColor = colour;
    ThemedForm form(config);
    QVERIFY2(form.ui.frame_Bg->styleSheet().contains("background-color: " + rgb + ';'),
             qPrintable(form.ui.frame_Bg->styleSheet()));
    QVERIFY(form.ui.label_CPU01->styleSheet().contains("color: " + rgb + ';'));
    QVERIFY(form.ui.label_CompanyUrl->styleSheet().contains("color: " + rgb + ';'));
}

void TestTheme::imagePathKeepsPercentSigns()
{
    AppConfig config = baseConfig();
    config.MainAreaShowModel = 2;
    config.MainAreaShowBgImage = QStringLiteral("/cfg/bg%2-%3.png");
    config.RadioDefColor = QStringLiteral("1,2,3%2");
    ThemedForm form(config);
    QVERIFY2(form.ui.frame_Bg->styleSheet().contains(QLatin1String("url(/cfg/bg%2-%3.png)")),
             qPrintable(form.ui.frame_Bg->styleSheet()));
    QVERIFY(form.ui.radioButton_Model01->styleSheet().contains(QLatin1String("rgb(1,2,3%2)")));
}

void TestTheme::metricBars()
{
    AppConfig config = baseConfig();
    config.ProgressBarDefBgColor = QStringLiteral("1,2,3");
    config.ProgressBarStartColor = QStringLiteral("4,5,6");
    config.ProgressBarEndColor = QStringLiteral("7,8,9");
    ThemedForm form(config);
    const QList<QProgressBar *> bars = form.ui.frame_InfoShow->findChildren<QProgressBar *>();
    QCOMPARE(bars.size(), 8);
    for (QProgressBar *bar : bars) {
        const QString sheet = bar->styleSheet();
        QVERIFY2(sheet.contains(QLatin1String("QProgressBar {\n\tbackground-color: rgb(1, 2, 3);")),
                 qPrintable(bar->objectName()));
        QVERIFY(sheet.contains(QLatin1String("QProgressBar::chunk {")));
        QVERIFY(sheet.contains(QLatin1String("stop:0.0568182 rgba(4, 5, 6, 255), "
                                             "stop:0.914773 rgba(7, 8, 9, 255));")));
        QCOMPARE(sheet.count(QLatin1String("border-radius:4px;")), 2);
    }
}

void TestTheme::usageBarsLoseTheBarRule()
{
    ThemedForm form(baseConfig());
    QCOMPARE(form.ui.frame_RightAreaABC->styleSheet(),
             QStringLiteral("QFrame#frame_RightAreaABC{\n\tborder-top-right-radius:12px;\n"
                            "\tborder-bottom-right-radius:12px;\n}"));
    for (QWidget *bar : {form.ui.progressBar_MemoryUsage, form.ui.progressBar_HardDiskUsage}) {
        for (QWidget *w = bar; w; w = w->parentWidget())
            QVERIFY2(!w->styleSheet().contains(QLatin1String("QProgressBar")),
                     qPrintable(w->objectName()));
    }
}

void TestTheme::panelsCaptionsAndValues()
{
    ThemedForm form(baseConfig());
    const QString border = QStringLiteral("\tborder: none;\n\tborder:2px solid rgb(49, 50, 51);\n"
                                          "\tborder-radius: 20px;\n}");
    QCOMPARE(form.ui.frame_LeftArea->styleSheet(), "QFrame#frame_LeftArea{\n" + border);
    QCOMPARE(form.ui.frame_RightArea->styleSheet(), "QFrame#frame_RightArea{\n" + border);

    const QString metric =
        QStringLiteral("QLabel{\n\tcolor: rgb(220, 221, 222);\n\tfont: 75 10pt \"Montserrat\";\n}");
    QStringList names{"label",   "label_3",  "label_5",  "label_7",
                      "label_9", "label_11", "label_13", "label_15"};
    for (const char *kind : {"CPU", "GPU"}) {
        for (int block = 1; block <= 4; ++block) {
            const QString value =
                QStringLiteral("label_%1%2").arg(kind).arg(block, 2, 10, QChar('0'));
            names << value << value + QStringLiteral("_UNIT");
        }
    }
    for (const QString &name : names) {
        QLabel *label = form.window.findChild<QLabel *>(name);
        QVERIFY2(label, qPrintable(name));
        QCOMPARE(label->styleSheet(), metric);
    }
    // Icons keep their pictures.
    QVERIFY(form.ui.label_4->styleSheet().contains(QLatin1String("utilization.png")));
}

void TestTheme::radioButtons()
{
    ThemedForm form(baseConfig());
    for (QRadioButton *radio : {form.ui.radioButton_Model01, form.ui.radioButton_Model02}) {
        const QString sheet = radio->styleSheet();
        QVERIFY(sheet.contains(QLatin1String("QRadioButton{\tcolor: rgb(175,175,175);")));
        QVERIFY(
            sheet.contains(QLatin1String("QRadioButton:unchecked{\n\tcolor: rgb(175,175,175);")));
        QVERIFY(sheet.contains(QLatin1String("QRadioButton:checked {\n\tcolor: rgb(255,2,0);")));
        QCOMPARE(sheet.count(QLatin1String("font: 75 12pt \"Montserrat\";")), 3);
        QVERIFY(sheet.contains(
            QLatin1String("QRadioButton::indicator:checked { background-color: rgb(255,2,0); "
                          "border-radius:6px; border:2px solid white; }")));
    }
}

void TestTheme::pageButtons_data()
{
    QTest::addColumn<QString>("appId");
    QTest::addColumn<bool>("variant");
    QTest::newRow("variant") << "ABCDEFVVSS02" << true;
    QTest::newRow("other case") << "abcdefvvss02" << false;
    QTest::newRow("longer") << "ABCDEFVVSS021" << false;
    QTest::newRow("other id") << "TARNIX000001" << false;
    QTest::newRow("empty") << "" << false;
}

void TestTheme::pageButtons()
{
    QFETCH(QString, appId);
    QFETCH(bool, variant);
    AppConfig config = baseConfig();
    config.AppID = appId;
    ThemedForm form(config);
    QCOMPARE(Theme::isVariant(appId), variant);
    for (QPushButton *b : {form.ui.pushButton_Monitor, form.ui.pushButton_Hardware}) {
        const QString sheet = b->styleSheet();
        if (variant) {
            QVERIFY(sheet.contains(QLatin1String("background-color: rgb(0, 0, 0, 0);")));
            QVERIFY(sheet.contains(
                QLatin1String("stop:0 rgba(236,3,78, 85), stop:1 rgba(255,41,37, 85));")));
            QCOMPARE(sheet.count(QLatin1String("color: rgb(220,221,222);")), 2);
            QCOMPARE(sheet.count(QLatin1String("border: 2px solid rgb(49, 50, 51);")), 2);
            QVERIFY(!sheet.contains(QLatin1String(":hover")));
        } else {
            QVERIFY(sheet.contains(QLatin1String("border: 2px solid rgb(102, 102, 102);")));
            QCOMPARE(sheet.count(QLatin1String("color: rgb(220, 221, 222);")), 4);
            QCOMPARE(sheet.count(QLatin1String("stop:0.0568182 rgba(236, 3, 78, 255)")), 3);
            for (const char *state :
                 {"QPushButton:hover{", "QPushButton:pressed{", "QPushButton:checked{"})
                QVERIFY(sheet.contains(QLatin1String(state)));
        }
        QCOMPARE(sheet.count(QLatin1String("border-radius:8px;")), variant ? 2 : 4);
        QCOMPARE(b->font().family(), QStringLiteral("Bold Probe"));
        QCOMPARE(b->font().pointSize(), 10);
    }
}

void TestTheme::footerShown()
{
    ThemedForm form(baseConfig());
    const QString sheet = QStringLiteral("QLabel{\n\tcolor: rgb(220, 221, 222);\n}");
    QCOMPARE(form.ui.label_CompanyUrl->text(), QStringLiteral("www.company.example"));
    QCOMPARE(form.ui.label_CompanyUrl->alignment(), Qt::AlignRight);
    QCOMPARE(form.ui.label_CompanyUrl->font().pointSize(), 16);
    QCOMPARE(form.ui.label_CompanyUrl->styleSheet(), sheet);
    QCOMPARE(form.ui.label_CompanyCopyright->text(), QStringLiteral("(c) Company"));
    QCOMPARE(form.ui.label_CompanyCopyright->alignment(), Qt::AlignRight);
    QCOMPARE(form.ui.label_CompanyCopyright->font().pointSize(), 10);
    QCOMPARE(form.ui.label_CompanyCopyright->font().family(), QStringLiteral("Medium Probe"));
    QCOMPARE(form.ui.label_CompanyCopyright->styleSheet(), sheet);
}

void TestTheme::footerHiddenKeepsItsHeight()
{
    AppConfig config = baseConfig();
    config.CompanyInfoShowModel = 0;
    ThemedForm form(config);
    form.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    QCOMPARE(form.ui.frame_CompanyInfo->height(), 70);
    QVERIFY(form.ui.frame_CompanyInfo->isVisible());
    QVERIFY(!form.ui.label_CompanyUrl->isVisible());
    QVERIFY(!form.ui.label_CompanyCopyright->isVisible());
}

void TestTheme::hardwareLabels()
{
    ThemedForm form(baseConfig());
    int themed = 0;
    for (QLabel *label : form.ui.frame_HardwareInfoArea->findChildren<QLabel *>()) {
        ++themed;
        QCOMPARE(label->styleSheet(), QStringLiteral("QLabel{\n\tcolor: rgb(220, 221, 222);\n}"));
        QCOMPARE(label->font().family(), QStringLiteral("Medium Probe"));
        QCOMPARE(label->font().pointSize(), 14);
    }
    QCOMPARE(themed, 32);
}

void TestTheme::dashboardPalette()
{
    ThemedForm form(baseConfig());
    for (QWidget *dash : {static_cast<QWidget *>(form.ui.widget_CpuDashboardNew),
                          static_cast<QWidget *>(form.ui.widget_GpuDashboardNew)}) {
        const QPalette p = dash->palette();
        QCOMPARE(p.color(QPalette::AlternateBase), QColor(52, 52, 52, 255));
        QCOMPARE(p.color(QPalette::Text), QColor(255, 255, 255, 255));
        QCOMPARE(p.color(QPalette::Shadow), QColor(59, 59, 59, 0));
        QCOMPARE(p.color(QPalette::Midlight), QColor(37, 37, 37, 255));
        QCOMPARE(p.color(QPalette::Inactive, QPalette::AlternateBase), QColor(52, 52, 52));
    }
}

void TestTheme::dashboardGradient_data()
{
    QTest::addColumn<QString>("appId");
    QTest::addColumn<QGradientStops>("stops");
    const QGradientStops variant{{0.0, QColor(0, 102, 153)}, {1.0, QColor(227, 6, 19)}};
    const QGradientStops red{{0.0, QColor(248, 2, 34)},
                             {0.2, QColor(239, 9, 89)},
                             {0.55, QColor(255, 0, 34)},
                             {0.75, QColor(255, 0, 0)},
                             {1.0, QColor(250, 3, 32)}};
    QTest::newRow("variant") << "ABCDEFVVSS02" << variant;
    QTest::newRow("other case") << "abcdefvvss02" << red;
    QTest::newRow("padded") << " ABCDEFVVSS02" << red;
    QTest::newRow("other id") << "TARNIX000001" << red;
}

void TestTheme::dashboardGradient()
{
    QFETCH(QString, appId);
    QFETCH(QGradientStops, stops);
    QCOMPARE(Theme::dashboardGradient(appId), stops);
}

void TestTheme::dashboardSettings()
{
    if (ProgressBarRound().metaObject()->indexOfProperty("gradientData") < 0)
        QSKIP("the gauge does not publish its settings yet");
    for (const char *appId : {"ABCDEFVVSS02", "TARNIX000001"}) {
        AppConfig config = baseConfig();
        config.AppID = QLatin1String(appId);
        ThemedForm form(config);
        for (QObject *dash : {static_cast<QObject *>(form.ui.widget_CpuDashboardNew),
                              static_cast<QObject *>(form.ui.widget_GpuDashboardNew)}) {
            QCOMPARE(dash->property("gradientData").value<QGradientStops>(),
                     Theme::dashboardGradient(config.AppID));
            QCOMPARE(dash->property("nullPosition").toDouble(), -90.0);
            QCOMPARE(dash->property("precision").toInt(), 0);
            QCOMPARE(dash->property("minValue").toDouble(), 0.0);
            QCOMPARE(dash->property("maxValue").toDouble(), 100.0);
            QCOMPARE(dash->property("value").toDouble(), 0.0);
        }
    }
}

// The whole road from the INI text: dotted colours, switches and the variant id.
void TestTheme::configurationFile()
{
    const QString dir = qEnvironmentVariable("TARNIX_TEST_SCRATCH", QDir::tempPath()) +
                        QStringLiteral("/themeconfig/");
    QVERIFY(QDir().mkpath(dir));
    QFile ini(dir + QStringLiteral("appConfig.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[AppInfo]\nAppName=Probe\nAppID=ABCDEFVVSS02\n"
              "[AppUiShow]\nLeftTopShowModel=3\nMainAreaShowModel=2\nMainAreaShowBgImage=bg.png\n"
              "AppVersionShowModel=0\nTemperatureChangShowModel=0\nCompanyInfoShowModel=0\n"
              "HardwareInfoShowModel=1\nDeviceConStatusShowModel=1\n"
              "[ThemeColor]\nMainBorderColor=200.100\nFrameBorderColor=1.2.3.4\n"
              "DataValueTextColor=9.8.7\nTextFont=Montserrat\n");
    ini.close();
    ThemedForm form(DDataManager::readAppConfig(dir));
    QCOMPARE(form.window.windowTitle(), QStringLiteral("Probe"));
    QVERIFY(form.ui.label_AppName->text().isEmpty());
    QVERIFY(form.ui.frame->isHidden());
    QVERIFY(form.ui.frame_Bg->styleSheet().contains("border-image: url(" + dir + "bg.png);"));
    QVERIFY(form.ui.frame_Bg->styleSheet().contains(QLatin1String("rgb(200, 100, 0)")));
    QVERIFY(form.ui.frame_LeftArea->styleSheet().contains(QLatin1String("rgb(1, 2, 3)")));
    QVERIFY(form.ui.pushButton_Monitor->styleSheet().contains(QLatin1String("color: rgb(9,8,7);")));
    QVERIFY(!form.shown(form.ui.label_AppVersion));
    QVERIFY(!form.shown(form.ui.radioButton_Model01));
    QVERIFY(!form.shown(form.ui.label_CompanyUrl));
    QVERIFY(form.shown(form.ui.pushButton_Hardware));
    QVERIFY(form.shown(form.ui.label_HidStatus));
}

void TestTheme::missingIconKeyIsNoIcon()
{
    AppConfig config = baseConfig();
    config.AppIcoSel01 = QDir::tempPath() + QLatin1Char('/');
    captured.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessages);
    {
        ThemedForm form(config);
    }
    qInstallMessageHandler(previous);
    QVERIFY(captured.contains(QStringLiteral("APP ICO -> Ico file is not exists")));
}

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
