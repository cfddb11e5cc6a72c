#include "gui/ThemeApplier.h"

#include "core/ColorText.h"
#include "gui/ThemeTemplates.h"
#include "model/Units.h"
#include "ui_dmainwidget.h"

#include <QDebug>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QPalette>

namespace {

struct Rgb
{
    int red;
    int green;
    int blue;
};

Rgb parseColour(const QString &text)
{
    return {ColorText::component(text, 0), ColorText::component(text, 1),
            ColorText::component(text, 2)};
}

// Fills the next three placeholders with the components, in order.
QString fillRgb(const QString &sheet, const Rgb &c)
{
    return sheet.arg(c.red).arg(c.green).arg(c.blue);
}

QString fillRgb(const char *sheet, const Rgb &c)
{
    return fillRgb(QString::fromLatin1(sheet), c);
}

QString number(int value)
{
    return QString::number(value);
}

QFont sized(const QFont &font, int pointSize)
{
    QFont copy = font;
    copy.setPointSize(pointSize);
    return copy;
}

void applyTitle(Ui::DMainWidget *ui, QWidget *window, const AppConfig &config)
{
    window->setWindowTitle(config.AppName);
    window->setWindowIcon(QIcon(config.AppIcoSel01));
    ui->label_AppName->setText(config.AppName);

    qDebug() << "APP ICO:" << config.AppIcoSel01;
    // A missing key leaves the bare folder path, which is no icon file.
    if (QFileInfo(config.AppIcoSel01).isFile())
        qDebug() << "APP ICO -> Ico file is exists";
    else
        qDebug() << "APP ICO -> Ico file is not exists";

    if (config.AppVersionShowModel == 0) {
        ui->label_AppVersion->hide();
    } else {
        ui->label_AppVersion->setText(config.AppVersion);
        ui->label_AppVersion->show();
    }
    ui->label_HidStatus->setVisible(config.DeviceConStatusShowModel != 0);
}

// The image paths go in with a single-pass arg so a '%' in a path is never taken for a
// placeholder by a later call.
QString imageButtonSheet(const QString &imagePath)
{
    return QString::fromLatin1(ThemeTemplates::imageButton).arg(imagePath);
}

void applyTitleMode(Ui::DMainWidget *ui, const AppConfig &config)
{
    switch (config.LeftTopShowModel) {
    case 0:
        ui->label_AppName->setAlignment(Qt::AlignHCenter);
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode01);
        ui->frame->hide();
        break;
    case 1:
        ui->label_AppName->setAlignment(Qt::AlignLeft);
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode01);
        ui->frame->show();
        ui->appLogo->setStyleSheet(imageButtonSheet(config.AppIcoSel02));
        break;
    case 2:
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode02);
        ui->pushButton->setStyleSheet(imageButtonSheet(config.LeftTopShowImage));
        break;
    case 3:
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode01);
        ui->frame->hide();
        ui->label_AppName->setText(QString());
        break;
    default:
        ui->stackedWidget->setCurrentWidget(ui->page_TitleMode01);
        ui->frame->hide();
        break;
    }
}

QString backgroundSheet(const AppConfig &config)
{
    const Rgb background = parseColour(config.MainBgColor);
    const Rgb border = parseColour(config.MainBorderColor);
    if (config.MainAreaShowModel == 2) {
        return QString::fromLatin1(ThemeTemplates::backgroundImage)
            .arg(config.MainAreaShowBgImage, number(border.red), number(border.green),
                 number(border.blue));
    }
    return fillRgb(fillRgb(ThemeTemplates::backgroundColour, background), border);
}

QString barSheet(const AppConfig &config)
{
    const Rgb groove = parseColour(config.ProgressBarDefBgColor);
    const Rgb start = parseColour(config.ProgressBarStartColor);
    const Rgb end = parseColour(config.ProgressBarEndColor);
    return fillRgb(fillRgb(fillRgb(ThemeTemplates::bars, groove), start), end);
}

void applyBars(Ui::DMainWidget *ui, const AppConfig &config)
{
    ui->frame_RightAreaABC->setStyleSheet(QString::fromLatin1(ThemeTemplates::rightArea));
    const QString sheet = barSheet(config);
    for (QProgressBar *bar : {ui->progressBar_CPU01, ui->progressBar_CPU02, ui->progressBar_CPU03,
                              ui->progressBar_CPU04, ui->progressBar_GPU01, ui->progressBar_GPU02,
                              ui->progressBar_GPU03, ui->progressBar_GPU04})
        bar->setStyleSheet(sheet);
}

void applyMetricLabels(Ui::DMainWidget *ui, const AppConfig &config)
{
    const Rgb frameBorder = parseColour(config.FrameBorderColor);
    const Rgb text = parseColour(config.DataValueTextColor);
    ui->frame_LeftArea->setStyleSheet(fillRgb(ThemeTemplates::leftPanel, frameBorder));
    ui->frame_RightArea->setStyleSheet(fillRgb(ThemeTemplates::rightPanel, frameBorder));

    // The font family is the last placeholder, so the chain cannot reach into it.
    const QString sheet = fillRgb(ThemeTemplates::metricLabel, text).arg(config.TextFont);
    for (QLabel *caption : {ui->label, ui->label_3, ui->label_5, ui->label_7, ui->label_9,
                            ui->label_11, ui->label_13, ui->label_15})
        caption->setStyleSheet(sheet);
    for (QLabel *value :
         {ui->label_CPU01, ui->label_CPU02, ui->label_CPU03, ui->label_CPU04, ui->label_GPU01,
          ui->label_GPU02, ui->label_GPU03, ui->label_GPU04, ui->label_CPU01_UNIT,
          ui->label_CPU02_UNIT, ui->label_CPU03_UNIT, ui->label_CPU04_UNIT, ui->label_GPU01_UNIT,
          ui->label_GPU02_UNIT, ui->label_GPU03_UNIT, ui->label_GPU04_UNIT})
        value->setStyleSheet(sheet);

    const QString radios = QString::fromLatin1(ThemeTemplates::radioButtons)
                               .arg(config.RadioDefColor, config.RadioSelColor, config.TextFont);
    ui->radioButton_Model01->setStyleSheet(radios);
    ui->radioButton_Model02->setStyleSheet(radios);
}

QString pageButtonSheet(const AppConfig &config)
{
    if (Theme::isVariant(config.AppID)) {
        const Rgb border = parseColour(config.FrameBorderColor);
        return QString::fromLatin1(ThemeTemplates::pageButtonsVariant)
            .arg(config.ProgressBarStartColor, config.ProgressBarEndColor,
                 config.DataValueTextColor, number(border.red), number(border.green),
                 number(border.blue));
    }
    return fillRgb(ThemeTemplates::pageButtons, parseColour(config.DataValueTextColor));
}

void applyPageButtons(Ui::DMainWidget *ui, const AppConfig &config, const QFont &boldFont)
{
    const QString sheet = pageButtonSheet(config);
    const QFont font = sized(boldFont, 10);
    for (QPushButton *button : {ui->pushButton_Monitor, ui->pushButton_Hardware}) {
        button->setStyleSheet(sheet);
        button->setFont(font);
    }
}

void applyFooter(Ui::DMainWidget *ui, const AppConfig &config, const QFont &mediumFont)
{
    if (config.CompanyInfoShowModel == 0) {
        ui->label_CompanyUrl->hide();
        ui->label_CompanyCopyright->hide();
        return;
    }
    ui->label_CompanyUrl->show();
    ui->label_CompanyCopyright->show();
    const QString sheet =
        fillRgb(ThemeTemplates::labelColour, parseColour(config.DataValueTextColor));

    ui->label_CompanyUrl->setStyleSheet(sheet);
    ui->label_CompanyUrl->setFont(sized(mediumFont, 16));
    ui->label_CompanyUrl->setAlignment(Qt::AlignRight);
    ui->label_CompanyUrl->setText(config.CompanyLinkUrl);

    ui->label_CompanyCopyright->setStyleSheet(sheet);
    ui->label_CompanyCopyright->setFont(sized(mediumFont, 10));
    ui->label_CompanyCopyright->setAlignment(Qt::AlignRight);
    ui->label_CompanyCopyright->setText(config.CompanyCopyright);
}

void applyHardwareLabels(Ui::DMainWidget *ui, const AppConfig &config, const QFont &mediumFont)
{
    const QList<QLabel *> labels = {
        ui->label_21, ui->label_29, ui->label_22, ui->label_30, ui->label_23, ui->label_31,
        ui->label_32, ui->label_33, ui->label_34, ui->label_44, ui->label_45, ui->label_24,
        ui->label_35, ui->label_36, ui->label_37, ui->label_38, ui->label_46, ui->label_47,
        ui->label_25, ui->label_39, ui->label_40, ui->label_50, ui->label_51, ui->label_26,
        ui->label_41, ui->label_48, ui->label_49, ui->label_27, ui->label_42, ui->label_52,
        ui->label_28, ui->label_43};
    const QString sheet =
        fillRgb(ThemeTemplates::labelColour, parseColour(config.DataValueTextColor));
    for (QLabel *label : labels)
        label->setStyleSheet(sheet);
    const QFont font = sized(mediumFont, 14);
    for (QLabel *label : labels)
        label->setFont(font);
}

QPalette dashboardPalette()
{
    QPalette palette;
    palette.setColor(QPalette::AlternateBase, QColor(52, 52, 52, 255));
    palette.setColor(QPalette::Text, QColor(255, 255, 255, 255));
    palette.setColor(QPalette::Highlight, QColor(255, 107, 107, 255));
    palette.setColor(QPalette::Shadow, QColor(59, 59, 59, 0));
    palette.setColor(QPalette::Midlight, QColor(37, 37, 37, 255));
    return palette;
}

void applyDashboard(ProgressBarRound *dashboard, const QString &caption, const QString &appId)
{
    dashboard->setPalette(dashboardPalette());
    dashboard->setNullPosition(-90.0);
    dashboard->setPrecision(0);
    dashboard->setStrUnit(QString::fromUtf8(kCelsiusSign));
    dashboard->setExplainText(caption);
    dashboard->setGradientData(Theme::dashboardGradient(appId));
    dashboard->setRange(0, 100);
    dashboard->setValue(0);
}

} // namespace

bool Theme::isVariant(const QString &appId)
{
    return appId == QLatin1String("ABCDEFVVSS02");
}

QGradientStops Theme::dashboardGradient(const QString &appId)
{
    if (isVariant(appId))
        return {{0.0, QColor(0, 102, 153)}, {1.0, QColor(227, 6, 19)}};
    return {{0.0, QColor(248, 2, 34, 255)},
            {0.2, QColor(239, 9, 89, 255)},
            {0.55, QColor(255, 0, 34, 255)},
            {0.75, QColor(255, 0, 0, 255)},
            {1.0, QColor(250, 3, 32, 255)}};
}

void applyTheme(Ui::DMainWidget *ui, QWidget *window, const AppConfig &config,
                const QFont &mediumFont, const QFont &boldFont)
{
    qDebug() << "initTheme runing -> Start";
    applyTitle(ui, window, config);
    applyTitleMode(ui, config);
    ui->label_AppName->setFont(sized(mediumFont, 14));
    ui->label_AppVersion->setFont(sized(mediumFont, 14));

    const bool unitSwitch = config.TemperatureChangShowModel != 0;
    ui->radioButton_Model01->setVisible(unitSwitch);
    ui->radioButton_Model02->setVisible(unitSwitch);
    ui->pushButton_Hardware->setVisible(config.HardwareInfoShowModel != 0);

    ui->frame_Bg->setStyleSheet(backgroundSheet(config));
    applyBars(ui, config);
    applyMetricLabels(ui, config);
    applyPageButtons(ui, config, boldFont);
    applyFooter(ui, config, mediumFont);
    applyHardwareLabels(ui, config, mediumFont);

    applyDashboard(ui->widget_CpuDashboardNew, QStringLiteral("CPU"), config.AppID);
    applyDashboard(ui->widget_GpuDashboardNew, QStringLiteral("GPU"), config.AppID);
    qDebug() << "initTheme runing -> Over";
}
