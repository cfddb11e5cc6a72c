// Builds the main form offscreen with the dark theme and saves pictures of its pages, so the
// layout can be looked at without a display.  Usage: form_snapshot [output folder]
#include "gui/RaisedPanelStyle.h"
#include "gui/ThemeApplier.h"
#include "ui_dmainwidget.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QPixmap>
#include <cstdio>

namespace {

QFont resourceFont(const char *file)
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/images/LocalFont/") +
                                                     QLatin1String(file));
    QFont font;
    if (id >= 0)
        font.setFamily(QFontDatabase::applicationFontFamilies(id).value(0));
    return font;
}

AppConfig darkTheme()
{
    AppConfig c;
    c.AppName = QStringLiteral("Tarnix");
    c.AppVersion = QStringLiteral("V_1.0.0.01");
    c.AppID = QStringLiteral("TARNIX000001");
    c.LeftTopShowModel = 1;
    c.AppIcoSel01 = QStringLiteral(":/images/AppLogo.png");
    c.AppIcoSel02 = QStringLiteral(":/images/AppLogo.png");
    c.AppVersionShowModel = 1;
    c.DeviceConStatusShowModel = 1;
    c.TemperatureChangShowModel = 1;
    c.CompanyInfoShowModel = 1;
    c.HardwareInfoShowModel = 1;
    c.CompanyLinkUrl = QStringLiteral("www.kelmar.example");
    c.CompanyCopyright = QStringLiteral("Copyright © Kelmar. All rights reserved.");
    c.MainBgColor = QStringLiteral("37,37,37");
    c.MainBorderColor = QStringLiteral("20,20,20");
    c.ProgressBarDefBgColor = QStringLiteral("60,60,60");
    c.ProgressBarStartColor = QStringLiteral("236,3,78");
    c.ProgressBarEndColor = QStringLiteral("255,41,37");
    c.RadioDefColor = QStringLiteral("175,175,175");
    c.RadioSelColor = QStringLiteral("255,2,0");
    c.DataValueTextColor = QStringLiteral("220,220,220");
    c.FrameBorderColor = QStringLiteral("49,49,49");
    c.TextFont = QStringLiteral("Montserrat");
    return c;
}

bool save(QWidget &window, const QString &path)
{
    const bool ok = window.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setStyle(new RaisedPanelStyle);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(outDir);

    QWidget window;
    window.setAttribute(Qt::WA_TranslucentBackground);
    Ui::DMainWidget ui;
    ui.setupUi(&window);
    window.setFixedSize(1150, 750);
    // What the controller hides before the theme runs.
    const QList<QWidget *> hiddenAtStart = {
        ui.pushButton_Setting, ui.pushButton_Max,  ui.label_HidStatus, ui.pushButton_Test,
        ui.pushButton_Logo,    ui.label_CrashTest, ui.label_ErrorMsg};
    for (QWidget *w : hiddenAtStart)
        w->hide();

    applyTheme(&ui, &window, darkTheme(), resourceFont("MontserratMedium.otf"),
               resourceFont("MontserratBold.otf"));
    window.show();

    for (QWidget *dashboard : {ui.widget_CpuDashboardNew, ui.widget_GpuDashboardNew}) {
        const QRect r(dashboard->mapTo(&window, QPoint()), dashboard->size());
        std::printf("%s at %d,%d size %dx%d\n", qPrintable(dashboard->objectName()), r.x(), r.y(),
                    r.width(), r.height());
    }
    bool ok = save(window, outDir + QStringLiteral("/form-monitor.png"));
    ui.stackedWidget_3->setCurrentWidget(ui.page_HardwareInfoNew);
    ui.pushButton_Monitor->setChecked(false);
    ui.pushButton_Hardware->setChecked(true);
    ok = save(window, outDir + QStringLiteral("/form-hardware.png")) && ok;
    ui.stackedWidget_3->setCurrentWidget(ui.page_Hardware);
    ok = save(window, outDir + QStringLiteral("/form-usage.png")) && ok;
    return ok ? 0 : 1;
}
