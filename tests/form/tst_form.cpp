// The generated main form: names, classes, nesting, texts, sizes, layouts and states.
#include "ui_dmainwidget.h"

#include <QGridLayout>
#include <QSet>
#include <QStyle>
#include <QTranslator>
#include <QtTest>

namespace {

struct Element
{
    const char *name;
    const char *className;
    const char *parent;
};

struct MetricBlock
{
    const char *block;
    const char *captionBox;
    const char *icon;
    const char *caption;
    const char *valueBox;
    const char *panel;
};

const MetricBlock metricBlocks[] = {
    {"CPU01", "frame_26", "label_4", "label_3", "frame_3", "frame_8"},
    {"CPU02", "frame_27", "label_10", "label", "frame_7", "frame_8"},
    {"CPU03", "frame_28", "label_14", "label_5", "frame_15", "frame_8"},
    {"CPU04", "frame_29", "label_16", "label_7", "frame_16", "frame_8"},
    {"GPU01", "frame_30", "label_17", "label_9", "frame_17", "frame_9"},
    {"GPU02", "frame_31", "label_18", "label_11", "frame_18", "frame_9"},
    {"GPU03", "frame_32", "label_19", "label_13", "frame_19", "frame_9"},
    {"GPU04", "frame_33", "label_20", "label_15", "frame_20", "frame_9"},
};

struct InventoryCell
{
    int row;
    const char *label;
    int cellRow;
    int cellColumn;
};

const char *const inventoryHeadings[] = {"label_21", "label_22", "label_23", "label_24",
                                         "label_25", "label_26", "label_27", "label_28"};

const InventoryCell inventoryCells[] = {
    {1, "label_29", 0, 0}, {2, "label_30", 0, 0}, {3, "label_31", 0, 0}, {3, "label_32", 0, 1},
    {3, "label_33", 1, 0}, {3, "label_34", 1, 1}, {3, "label_44", 2, 0}, {3, "label_45", 2, 1},
    {4, "label_35", 0, 0}, {4, "label_36", 0, 1}, {4, "label_37", 1, 0}, {4, "label_38", 1, 1},
    {4, "label_46", 2, 0}, {4, "label_47", 2, 1}, {5, "label_39", 0, 0}, {5, "label_40", 0, 1},
    {5, "label_50", 1, 0}, {5, "label_51", 1, 1}, {6, "label_41", 1, 0}, {6, "label_48", 2, 0},
    {6, "label_49", 3, 0}, {7, "label_42", 0, 0}, {7, "label_52", 1, 0}, {8, "label_43", 0, 0},
};

QString rowFrame(int row)
{
    return QStringLiteral("frame_HardwareInfo%1").arg(row, 3, 10, QLatin1Char('0'));
}

QString titleBox(int row)
{
    return QStringLiteral("frame_HardwareInfoTitle%1").arg(row, 3, 10, QLatin1Char('0'));
}

QString valueBox(int row)
{
    return QStringLiteral("frame_HardwareInfoValue%1").arg(row, 3, 10, QLatin1Char('0'));
}

const Element fixedElements[] = {
    {"frame_Bg", "QFrame", "DMainWidget"},
    {"frame_LeftAreaABC", "QFrame", "frame_Bg"},
    {"stackedWidget_2", "QStackedWidget", "frame_LeftAreaABC"},
    {"page", "QWidget", "stackedWidget_2"},
    {"page_2", "QWidget", "stackedWidget_2"},
    {"stackedWidget", "QStackedWidget", "page_2"},
    {"page_TitleMode01", "QWidget", "stackedWidget"},
    {"frame_44", "QFrame", "page_TitleMode01"},
    {"frame", "QFrame", "frame_44"},
    {"appLogo", "QPushButton", "frame"},
    {"frame_5", "QFrame", "frame_44"},
    {"label_AppName", "QLabel", "frame_5"},
    {"page_TitleMode02", "QWidget", "stackedWidget"},
    {"pushButton", "QPushButton", "page_TitleMode02"},
    {"frame_34", "QFrame", "frame_LeftAreaABC"},
    {"pushButton_Monitor", "QPushButton", "frame_34"},
    {"pushButton_Hardware", "QPushButton", "frame_34"},
    {"pushButton_Test", "QPushButton", "frame_LeftAreaABC"},
    {"pushButton_Logo", "QPushButton", "frame_LeftAreaABC"},
    {"label_CrashTest", "QLabel", "frame_LeftAreaABC"},
    {"label_AppVersion", "QLabel", "frame_LeftAreaABC"},
    {"frame_RightAreaABC", "QFrame", "frame_Bg"},
    {"frame_TitleASDF", "QFrame", "frame_RightAreaABC"},
    {"frame_4", "QFrame", "frame_TitleASDF"},
    {"frame_25", "QFrame", "frame_TitleASDF"},
    {"frame_24", "QFrame", "frame_25"},
    {"pushButton_Setting", "QPushButton", "frame_24"},
    {"pushButton_Min", "QPushButton", "frame_24"},
    {"pushButton_Max", "QPushButton", "frame_24"},
    {"pushButton_Close", "QPushButton", "frame_24"},
    {"frame_23", "QFrame", "frame_RightAreaABC"},
    {"stackedWidget_3", "QStackedWidget", "frame_23"},
    {"page_Monitor", "QWidget", "stackedWidget_3"},
    {"frame_MainArea", "QFrame", "page_Monitor"},
    {"frame_2", "QFrame", "frame_MainArea"},
    {"label_HidStatus", "QLabel", "frame_2"},
    {"label_ErrorMsg", "QLabel", "frame_2"},
    {"radioButton_Model01", "QRadioButton", "frame_2"},
    {"radioButton_Model02", "QRadioButton", "frame_2"},
    {"frame_InfoShow", "QFrame", "frame_MainArea"},
    {"frame_LeftArea", "QFrame", "frame_InfoShow"},
    {"frame_21", "QFrame", "frame_LeftArea"},
    {"widget_CpuDashboardNew", "ProgressBarRound", "frame_21"},
    {"frame_8", "QFrame", "frame_LeftArea"},
    {"frame_RightArea", "QFrame", "frame_InfoShow"},
    {"frame_22", "QFrame", "frame_RightArea"},
    {"widget_GpuDashboardNew", "ProgressBarRound", "frame_22"},
    {"frame_9", "QFrame", "frame_RightArea"},
    {"page_Hardware", "QWidget", "stackedWidget_3"},
    {"frame_CenterArea", "QFrame", "page_Hardware"},
    {"frame_Memory", "QFrame", "frame_CenterArea"},
    {"frame_6", "QFrame", "frame_Memory"},
    {"label_2", "QLabel", "frame_6"},
    {"frame_10", "QFrame", "frame_Memory"},
    {"label_MemoryUsageNum", "QLabel", "frame_10"},
    {"frame_11", "QFrame", "frame_10"},
    {"label_6", "QLabel", "frame_11"},
    {"progressBar_MemoryUsage", "QProgressBar", "frame_Memory"},
    {"label_MemoryUsage", "QLabel", "frame_Memory"},
    {"frame_HardDisk", "QFrame", "frame_CenterArea"},
    {"frame_12", "QFrame", "frame_HardDisk"},
    {"label_8", "QLabel", "frame_12"},
    {"frame_13", "QFrame", "frame_HardDisk"},
    {"label_HardDiskUsageNum", "QLabel", "frame_13"},
    {"frame_14", "QFrame", "frame_13"},
    {"label_12", "QLabel", "frame_14"},
    {"progressBar_HardDiskUsage", "QProgressBar", "frame_HardDisk"},
    {"label_HardDiskUsage", "QLabel", "frame_HardDisk"},
    {"page_HardwareInfoNew", "QWidget", "stackedWidget_3"},
    {"frame_HardwareInfoArea", "QFrame", "page_HardwareInfoNew"},
    {"frame_CompanyInfo", "QFrame", "frame_RightAreaABC"},
    {"frame_35", "QFrame", "frame_CompanyInfo"},
    {"label_CompanyUrl", "QLabel", "frame_35"},
    {"label_CompanyCopyright", "QLabel", "frame_CompanyInfo"},
};

struct Expected
{
    QString name;
    QString className;
    QString parent;
};

// Every named widget of the form with its class and parent.
QVector<Expected> expectedTree()
{
    QVector<Expected> all;
    for (const Element &e : fixedElements)
        all.append({QLatin1String(e.name), QLatin1String(e.className), QLatin1String(e.parent)});
    for (const MetricBlock &b : metricBlocks) {
        const QString block = QLatin1String(b.block);
        const QString panel = QLatin1String(b.panel);
        all.append({QStringLiteral("progressBar_") + block, QStringLiteral("QProgressBar"), panel});
        all.append({QLatin1String(b.captionBox), QStringLiteral("QFrame"), panel});
        all.append({QLatin1String(b.icon), QStringLiteral("QLabel"), QLatin1String(b.captionBox)});
        all.append(
            {QLatin1String(b.caption), QStringLiteral("QLabel"), QLatin1String(b.captionBox)});
        all.append({QLatin1String(b.valueBox), QStringLiteral("QFrame"), panel});
        all.append({QStringLiteral("label_") + block, QStringLiteral("QLabel"),
                    QLatin1String(b.valueBox)});
        all.append({QStringLiteral("label_%1_UNIT").arg(block), QStringLiteral("QLabel"),
                    QLatin1String(b.valueBox)});
    }
    for (int row = 1; row <= 8; ++row) {
        all.append(
            {rowFrame(row), QStringLiteral("QFrame"), QStringLiteral("frame_HardwareInfoArea")});
        all.append({titleBox(row), QStringLiteral("QFrame"), rowFrame(row)});
        all.append({valueBox(row), QStringLiteral("QFrame"), rowFrame(row)});
        all.append(
            {QLatin1String(inventoryHeadings[row - 1]), QStringLiteral("QLabel"), titleBox(row)});
    }
    for (const InventoryCell &c : inventoryCells)
        all.append({QLatin1String(c.label), QStringLiteral("QLabel"), valueBox(c.row)});
    return all;
}

// The grid and cell holding `widget` inside its parent's layout tree.
QGridLayout *gridHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    auto *grid = qobject_cast<QGridLayout *>(layout);
    if (grid && grid->indexOf(widget) >= 0)
        return grid;
    for (int i = 0; i < layout->count(); ++i) {
        if (QGridLayout *found = gridHolding(layout->itemAt(i)->layout(), widget))
            return found;
    }
    return nullptr;
}

class CountingHost : public QWidget
{
    Q_OBJECT
public:
    int closeClicks = 0;
    int fahrenheitClicks = 0;

public slots:
    void on_pushButton_Close_clicked() { ++closeClicks; }
    void on_radioButton_Model02_clicked() { ++fahrenheitClicks; }
};

// Answers one source text of the form's context, to prove retranslateUi asks for it there.
class FormTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "DMainWidget") == 0 && qstrcmp(sourceText, "Test") == 0)
            return QStringLiteral("Probe");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        host.reset(new QWidget);
        ui.reset(new Ui::DMainWidget);
        ui->setupUi(host.data());
    }

    void tree_data();
    void tree();
    void noUnlistedWidgets();
    void texts_data();
    void texts();
    void sizeLimits_data();
    void sizeLimits();
    void layouts_data();
    void layouts();
    void gridCells_data();
    void gridCells();
    void frameShapes();
    void alignments_data();
    void alignments();
    void styleSheets_data();
    void styleSheets();
    void emptyStyleSheets();
    void bars_data();
    void bars();
    void buttonDetails();
    void wordWrap();
    void keepsExistingObjectName();
    void namesAnUnnamedWindow();
    void pageButtonsKeepMinimumWidth();
    void currentPages();
    void checkedStates();
    void connectsSlotsByName();
    void textsUseTheFormContext();

private:
    QWidget *find(const QString &name) const
    {
        if (name == QLatin1String("DMainWidget"))
            return host.data();
        return host->findChild<QWidget *>(name);
    }

    QScopedPointer<QWidget> host;
    QScopedPointer<Ui::DMainWidget> ui;
};

void TestForm::tree_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parent");
    for (const Expected &e : expectedTree())
        QTest::newRow(qPrintable(e.name)) << e.className << e.parent;
}

void TestForm::tree()
{
    QFETCH(QString, className);
    QFETCH(QString, parent);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QList<QWidget *> matches = host->findChildren<QWidget *>(name);
    QCOMPARE(matches.size(), 1);
    QCOMPARE(QString::fromLatin1(matches.first()->metaObject()->className()), className);
    QVERIFY(matches.first()->parentWidget());
    QCOMPARE(matches.first()->parentWidget()->objectName(), parent);
}

void TestForm::noUnlistedWidgets()
{
    QSet<QString> expected;
    for (const Expected &e : expectedTree())
        expected.insert(e.name);
    QSet<QString> built;
    for (QWidget *w : host->findChildren<QWidget *>()) {
        if (!w->objectName().startsWith(QLatin1String("qt_")))
            built.insert(w->objectName());
    }
    QCOMPARE(built - expected, QSet<QString>());
    QCOMPARE(expected - built, QSet<QString>());
}

void TestForm::texts_data()
{
    QTest::addColumn<QString>("text");
    const char *const rows[][2] = {
        {"label_AppName", "KELMAR"},
        {"appLogo", ""},
        {"pushButton", ""},
        {"pushButton_Setting", ""},
        {"pushButton_Min", ""},
        {"pushButton_Max", ""},
        {"pushButton_Close", ""},
        {"pushButton_Monitor", "HARDWARE\nMONITOR"},
        {"pushButton_Hardware", "HARDWARE\nINFORMATION"},
        {"pushButton_Test", "Test"},
        {"pushButton_Logo", "日志打印"},
        {"label_CrashTest", "Crash:XXX"},
        {"label_AppVersion", "V_1.0.0.01"},
        {"label_HidStatus", "Disconnected"},
        {"label_ErrorMsg", "Please get a new APP"},
        {"radioButton_Model01", "℃"},
        {"radioButton_Model02", "℉"},
        {"label_CPU01", "100"},
        {"label_CPU02", "1000"},
        {"label_CPU03", "1000"},
        {"label_CPU04", "100"},
        {"label_CPU01_UNIT", "%"},
        {"label_CPU02_UNIT", "MHz"},
        {"label_CPU03_UNIT", "RPM"},
        {"label_CPU04_UNIT", "W"},
        {"label_3", "CPU Utilization"},
        {"label", "CPU Frequency"},
        {"label_5", "CPU Fan"},
        {"label_7", "CPU Power"},
        {"label_GPU01", "100"},
        {"label_GPU02", "1000"},
        {"label_GPU03", "1000"},
        {"label_GPU04", "100"},
        {"label_GPU01_UNIT", "%"},
        {"label_GPU02_UNIT", "MHz"},
        {"label_GPU03_UNIT", "RPM"},
        {"label_GPU04_UNIT", "W"},
        {"label_9", "GPU Utilization"},
        {"label_11", "GPU Frequency"},
        {"label_13", "GPU Fan"},
        {"label_15", "GPU Power"},
        {"label_2", "Memory usage"},
        {"label_MemoryUsageNum", "0"},
        {"label_6", "%"},
        {"label_MemoryUsage", "10G/16G"},
        {"label_8", "Hard disk usage (C:)"},
        {"label_HardDiskUsageNum", "0"},
        {"label_12", "%"},
        {"label_HardDiskUsage", "800G/1000G"},
        {"label_21", "CPU"},
        {"label_22", "Mainboard"},
        {"label_23", "RAM"},
        {"label_24", "Disk Drive"},
        {"label_25", "Graphics Card"},
        {"label_26", "Sound Card"},
        {"label_27", "Network Card"},
        {"label_28", "System Version"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]);
    for (const MetricBlock &b : metricBlocks)
        QTest::newRow(b.icon) << QString();
    const QSet<QString> sizeCells = {"label_32", "label_34", "label_45", "label_36",
                                     "label_38", "label_47", "label_40", "label_51"};
    for (const InventoryCell &c : inventoryCells) {
        const QString name = QLatin1String(c.label);
        QTest::newRow(c.label) << (sizeCells.contains(name) ? QStringLiteral("0.0GB")
                                                            : QStringLiteral("TextLabel"));
    }
    QTest::newRow("window title") << QStringLiteral("DMainWidget");
}

void TestForm::texts()
{
    QFETCH(QString, text);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    if (name == QLatin1String("window title")) {
        QCOMPARE(host->windowTitle(), text);
        return;
    }
    QWidget *w = find(name);
    QVERIFY(w);
    if (auto *label = qobject_cast<QLabel *>(w))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<QAbstractButton *>(w)->text(), text);
}

void TestForm::sizeLimits_data()
{
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    const int M = QWIDGETSIZE_MAX;
    QTest::newRow("frame_LeftAreaABC") << QSize(225, 0) << QSize(225, M);
    QTest::newRow("stackedWidget_2") << QSize(0, 0) << QSize(M, 60);
    QTest::newRow("frame") << QSize(0, 0) << QSize(31, M);
    QTest::newRow("appLogo") << QSize(30, 30) << QSize(30, 30);
    QTest::newRow("pushButton") << QSize(200, 30) << QSize(200, 30);
    QTest::newRow("frame_34") << QSize(0, 100) << QSize(M, M);
    QTest::newRow("pushButton_Monitor") << QSize(150, 65) << QSize(140, M);
    QTest::newRow("pushButton_Hardware") << QSize(150, 65) << QSize(140, M);
    QTest::newRow("pushButton_Test") << QSize(140, 55) << QSize(M, M);
    QTest::newRow("pushButton_Logo") << QSize(100, 25) << QSize(M, M);
    QTest::newRow("label_CrashTest") << QSize(120, 0) << QSize(M, M);
    QTest::newRow("frame_TitleASDF") << QSize(0, 85) << QSize(M, 85);
    QTest::newRow("frame_4") << QSize(560, 0) << QSize(M, M);
    QTest::newRow("frame_25") << QSize(170, 0) << QSize(170, M);
    for (const char *b :
         {"pushButton_Setting", "pushButton_Min", "pushButton_Max", "pushButton_Close"})
        QTest::newRow(b) << QSize(18, 18) << QSize(18, M);
    QTest::newRow("frame_2") << QSize(0, 35) << QSize(M, 35);
    QTest::newRow("radioButton_Model01") << QSize(60, 0) << QSize(M, M);
    QTest::newRow("radioButton_Model02") << QSize(60, 0) << QSize(M, M);
    QTest::newRow("frame_LeftArea") << QSize(350, 0) << QSize(350, M);
    QTest::newRow("frame_RightArea") << QSize(350, 0) << QSize(350, M);
    QTest::newRow("frame_21") << QSize(0, 250) << QSize(M, M);
    QTest::newRow("frame_22") << QSize(0, 250) << QSize(M, M);
    QTest::newRow("widget_CpuDashboardNew") << QSize(195, 195) << QSize(M, 195);
    QTest::newRow("widget_GpuDashboardNew") << QSize(195, 195) << QSize(M, 195);
    QTest::newRow("frame_8") << QSize(0, 180) << QSize(M, M);
    QTest::newRow("frame_9") << QSize(0, 180) << QSize(M, M);
    QTest::newRow("frame_CenterArea") << QSize(450, 0) << QSize(M, M);
    QTest::newRow("frame_6") << QSize(0, 0) << QSize(M, 40);
    QTest::newRow("frame_12") << QSize(0, 0) << QSize(M, 40);
    QTest::newRow("label_MemoryUsage") << QSize(120, 0) << QSize(M, M);
    QTest::newRow("label_HardDiskUsage") << QSize(120, 0) << QSize(M, M);
    QTest::newRow("frame_CompanyInfo") << QSize(0, 70) << QSize(M, 70);
    for (const MetricBlock &b : metricBlocks) {
        QTest::newRow(qPrintable(QStringLiteral("progressBar_") + QLatin1String(b.block)))
            << QSize(0, 11) << QSize(M, 11);
        QTest::newRow(b.valueBox) << QSize(100, 0) << QSize(100, M);
        if (qstrcmp(b.icon, "label_20") == 0)
            QTest::newRow(b.icon) << QSize(0, 0) << QSize(13, 13);
        else
            QTest::newRow(b.icon) << QSize(13, 13) << QSize(13, 13);
    }
    for (int row = 1; row <= 8; ++row)
        QTest::newRow(qPrintable(titleBox(row))) << QSize(0, 0) << QSize(200, M);
}

void TestForm::sizeLimits()
{
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    QWidget *w = find(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    QCOMPARE(w->minimumSize(), minimum);
    QCOMPARE(w->maximumSize(), maximum);
}

// Layout owned by a widget: kind, spacing and margins (-1: the style's default for that side).
void TestForm::layouts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QVector<int>>("margins");
    using M = QVector<int>;
    const M zero{0, 0, 0, 0};
    const M dflt{11, 11, 11, 11};
    QTest::newRow("DMainWidget") << "QVBoxLayout" << 0 << zero;
    QTest::newRow("frame_Bg") << "QHBoxLayout" << 0 << zero;
    QTest::newRow("frame_LeftAreaABC") << "QVBoxLayout" << 6 << M{0, 15, 0, -1};
    QTest::newRow("page") << "QHBoxLayout" << 6 << dflt;
    QTest::newRow("page_2") << "QVBoxLayout" << 6 << dflt;
    QTest::newRow("page_TitleMode01") << "QHBoxLayout" << 6 << zero;
    QTest::newRow("frame_44") << "QHBoxLayout" << 6 << zero;
    QTest::newRow("frame") << "QVBoxLayout" << 0 << zero;
    QTest::newRow("frame_5") << "QVBoxLayout" << 0 << M{0, 2, 0, 0};
    QTest::newRow("page_TitleMode02") << "QHBoxLayout" << 6 << zero;
    QTest::newRow("frame_34") << "QVBoxLayout" << 6 << M{-1, 3, -1, -1};
    QTest::newRow("frame_RightAreaABC") << "QVBoxLayout" << 0 << zero;
    QTest::newRow("frame_TitleASDF") << "QHBoxLayout" << 6 << M{14, -1, -1, -1};
    QTest::newRow("frame_4") << "QHBoxLayout" << 16 << M{0, 6, -1, 0};
    QTest::newRow("frame_25") << "QVBoxLayout" << 6 << M{0, 10, 10, 0};
    QTest::newRow("frame_24") << "QHBoxLayout" << 15 << M{-1, 0, 0, 0};
    QTest::newRow("frame_23") << "QHBoxLayout" << 6 << zero;
    QTest::newRow("page_Monitor") << "QHBoxLayout" << 6 << zero;
    QTest::newRow("frame_MainArea") << "QVBoxLayout" << 0 << M{6, 0, 0, 6};
    QTest::newRow("frame_2") << "QHBoxLayout" << 6 << M{3, 0, 40, 5};
    QTest::newRow("frame_InfoShow") << "QHBoxLayout" << 80 << M{6, 3, 0, -1};
    for (const char *panel : {"frame_LeftArea", "frame_RightArea"})
        QTest::newRow(panel) << "QVBoxLayout" << 0 << M{-1, 10, -1, 30};
    for (const char *dial : {"frame_21", "frame_22"})
        QTest::newRow(dial) << "QHBoxLayout" << 6 << M{-1, 30, -1, -1};
    for (const char *blocks : {"frame_8", "frame_9"})
        QTest::newRow(blocks) << "QVBoxLayout" << 20 << M{10, 8, 10, 0};
    for (const MetricBlock &b : metricBlocks) {
        QTest::newRow(b.captionBox) << "QHBoxLayout" << 3 << zero;
        QTest::newRow(b.valueBox) << "QHBoxLayout" << 3 << M{3, 0, 0, 0};
    }
    QTest::newRow("page_Hardware") << "QHBoxLayout" << 6 << dflt;
    QTest::newRow("frame_CenterArea") << "QVBoxLayout" << 16 << M{-1, 16, -1, 20};
    for (const char *block : {"frame_Memory", "frame_HardDisk"})
        QTest::newRow(block) << "QVBoxLayout" << 6 << dflt;
    for (const char *caption : {"frame_6", "frame_12"})
        QTest::newRow(caption) << "QHBoxLayout" << 6 << M{0, 0, -1, 0};
    for (const char *number : {"frame_10", "frame_13"})
        QTest::newRow(number) << "QHBoxLayout" << 6 << M{35, -1, 0, -1};
    for (const char *percent : {"frame_11", "frame_14"})
        QTest::newRow(percent) << "QVBoxLayout" << 6 << M{0, 34, -1, -1};
    QTest::newRow("page_HardwareInfoNew") << "QVBoxLayout" << 6 << M{14, 0, 30, 9};
    QTest::newRow("frame_HardwareInfoArea") << "QVBoxLayout" << 6 << dflt;
    for (int row = 1; row <= 8; ++row) {
        QTest::newRow(qPrintable(rowFrame(row))) << "QHBoxLayout" << 6 << M{-1, 0, -1, 0};
        QTest::newRow(qPrintable(titleBox(row)))
            << "QVBoxLayout" << 6 << (row == 4 || row == 6 ? M{-1, 9, -1, -1} : dflt);
        QTest::newRow(qPrintable(valueBox(row))) << "QVBoxLayout" << 6 << M{-1, 0, -1, 0};
    }
    QTest::newRow("frame_CompanyInfo") << "QVBoxLayout" << 2 << M{-1, 0, 20, -1};
    QTest::newRow("frame_35") << "QHBoxLayout" << 6 << zero;
}

void TestForm::layouts()
{
    QFETCH(QString, kind);
    QFETCH(int, spacing);
    QFETCH(QVector<int>, margins);
    QWidget *w = find(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    QVERIFY(w->layout());
    QCOMPARE(QString::fromLatin1(w->layout()->metaObject()->className()), kind);
    QCOMPARE(w->layout()->spacing(), spacing);

    const QStyle::PixelMetric sides[] = {QStyle::PM_LayoutLeftMargin, QStyle::PM_LayoutTopMargin,
                                         QStyle::PM_LayoutRightMargin,
                                         QStyle::PM_LayoutBottomMargin};
    const QMargins m = w->layout()->contentsMargins();
    const int actual[] = {m.left(), m.top(), m.right(), m.bottom()};
    for (int i = 0; i < 4; ++i) {
        const int expected =
            margins[i] == -1 ? w->style()->pixelMetric(sides[i], nullptr, w) : margins[i];
        QCOMPARE(actual[i], expected);
    }
}

void TestForm::gridCells_data()
{
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QVector<int>>("cell");
    using C = QVector<int>;
    QTest::newRow("pushButton_Monitor") << "frame_34" << C{0, 0, 1, 1};
    QTest::newRow("pushButton_Hardware") << "frame_34" << C{1, 0, 1, 1};
    QTest::newRow("progressBar_MemoryUsage") << "frame_Memory" << C{0, 0, 1, 1};
    QTest::newRow("label_MemoryUsage") << "frame_Memory" << C{0, 1, 1, 1};
    QTest::newRow("progressBar_HardDiskUsage") << "frame_HardDisk" << C{0, 0, 1, 1};
    QTest::newRow("label_HardDiskUsage") << "frame_HardDisk" << C{0, 1, 1, 1};
    for (const MetricBlock &b : metricBlocks) {
        const QString panel = QLatin1String(b.panel);
        QTest::newRow(qPrintable(QStringLiteral("progressBar_") + QLatin1String(b.block)))
            << panel << C{0, 0, 1, 2};
        QTest::newRow(b.captionBox) << panel << C{1, 0, 1, 1};
        QTest::newRow(b.valueBox) << panel << C{1, 1, 1, 1};
    }
    for (const InventoryCell &c : inventoryCells)
        QTest::newRow(c.label) << valueBox(c.row) << C{c.cellRow, c.cellColumn, 1, 1};
}

void TestForm::gridCells()
{
    QFETCH(QString, owner);
    QFETCH(QVector<int>, cell);
    QWidget *w = find(QString::fromLatin1(QTest::currentDataTag()));
    QWidget *ownerWidget = find(owner);
    QVERIFY(w && ownerWidget);
    QGridLayout *grid = gridHolding(ownerWidget->layout(), w);
    QVERIFY(grid);
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(grid->indexOf(w), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE((QVector<int>{row, column, rowSpan, columnSpan}), cell);
}

void TestForm::frameShapes()
{
    int frames = 0;
    for (QFrame *f : host->findChildren<QFrame *>()) {
        if (qstrcmp(f->metaObject()->className(), "QFrame") != 0)
            continue;
        ++frames;
        const bool flat = f->objectName() == QLatin1String("frame_35");
        QCOMPARE(f->frameShape(), flat ? QFrame::NoFrame : QFrame::StyledPanel);
        QCOMPARE(f->frameShadow(), QFrame::Raised);
    }
    QCOMPARE(frames, 73);
    // The metric block grids sit directly in the panels' columns.
    QCOMPARE(ui->frame_8->layout()->count(), 4);
    QCOMPARE(ui->frame_9->layout()->count(), 4);
    QCOMPARE(
        qobject_cast<QGridLayout *>(ui->frame_34->layout()->itemAt(0)->layout())->verticalSpacing(),
        40);
}

void TestForm::alignments_data()
{
    QTest::addColumn<int>("alignment");
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    const int right = Qt::AlignRight | Qt::AlignVCenter;
    const int center = Qt::AlignCenter;
    QTest::newRow("label_AppName") << left;
    QTest::newRow("label_CrashTest") << center;
    QTest::newRow("label_AppVersion") << center;
    QTest::newRow("label_HidStatus") << left;
    QTest::newRow("label_ErrorMsg") << center;
    QTest::newRow("label_MemoryUsageNum") << right;
    QTest::newRow("label_6") << left;
    QTest::newRow("label_HardDiskUsageNum") << right;
    QTest::newRow("label_12") << left;
    QTest::newRow("label_CompanyUrl") << right;
    QTest::newRow("label_CompanyCopyright") << right;
    for (const MetricBlock &b : metricBlocks) {
        QTest::newRow(qPrintable(QStringLiteral("label_") + QLatin1String(b.block))) << left;
        QTest::newRow(qPrintable(QStringLiteral("label_%1_UNIT").arg(QLatin1String(b.block))))
            << left;
    }
    for (const char *heading : inventoryHeadings)
        QTest::newRow(heading) << right;
}

void TestForm::alignments()
{
    QFETCH(int, alignment);
    auto *label = qobject_cast<QLabel *>(find(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(label);
    QCOMPARE(int(label->alignment()), alignment);
}

void TestForm::styleSheets_data()
{
    QTest::addColumn<QStringList>("fragments");
    const QString red = QStringLiteral(
        "qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, stop:0.0568182 rgba(236, 3, 78, "
        "255), stop:0.914773 rgba(255, 41, 37, 255))");
    QTest::newRow("frame_Bg") << QStringList{
        "QFrame#frame_Bg", "background-color: rgb(37, 37, 37);",
        "border:1px solid rgb(20, 20, 20);", "border-radius: 12px;"};
    QTest::newRow("frame_LeftAreaABC")
        << QStringList{"border-top-left-radius:12px;", "border-bottom-left-radius:12px;", "QLabel",
                       "color: rgb(220, 220, 220);"};
    QTest::newRow("appLogo") << QStringList{"border-image: url(:/images/AppLogo.png);"};
    QTest::newRow("label_AppName") << QStringList{"color: rgb(249, 27, 51);"};
    QTest::newRow("pushButton") << QStringList{"border-image: url(:/images/leftTopLogo.png);"};
    QTest::newRow("frame_34") << QStringList{"QPushButton",
                                             "QPushButton:hover",
                                             "QPushButton:pressed",
                                             "QPushButton:checked",
                                             "border: 2px solid rgb(102, 102, 102);",
                                             "border: 2px solid " + red,
                                             "border-radius:8px;"};
    QTest::newRow("pushButton_Test")
        << QStringList{"stop:0 rgba(0, 102, 153, 85), stop:1 rgba(227, 6, 19, 85));",
                       "font: 75 10pt \"微软雅黑\";", "border: 1px solid rgb(180, 180, 180);"};
    QTest::newRow("frame_RightAreaABC") << QStringList{"border-top-right-radius:12px;",
                                                       "border-bottom-right-radius:12px;",
                                                       "QProgressBar",
                                                       "background-color: rgb(60, 60, 60);",
                                                       "QProgressBar::chunk",
                                                       "background-color: " + red,
                                                       "border-radius:4px;"};
    QTest::newRow("frame_TitleASDF") << QStringList{"border-top-right-radius:12px;"};
    const char *const titleButtons[][2] = {{"pushButton_Setting", "setting"},
                                           {"pushButton_Min", "minWindow"},
                                           {"pushButton_Max", "maxWindow"},
                                           {"pushButton_Close", "closeWindow"}};
    for (const auto &b : titleButtons) {
        const QString base = QStringLiteral("url(:/images/mainpage/") + QLatin1String(b[1]);
        QTest::newRow(b[0]) << QStringList{"QPushButton:hover", "QPushButton:pressed",
                                           base + "Def.png)", base + "Sel.png)"};
    }
    QTest::newRow("frame_2") << QStringList{"color: rgb(175, 175, 175);",
                                            "font: 75 12pt \"微软雅黑\";",
                                            "color: rgb(255, 2, 0);",
                                            "QRadioButton::indicator:checked",
                                            "background-color: rgb(255, 2, 0);",
                                            "border-radius:          6px;",
                                            "border:2px solid white;",
                                            "QLabel",
                                            "75 14pt"};
    QTest::newRow("label_ErrorMsg")
        << QStringList{"color: rgb(250, 20, 20);", "font: 75 14pt \"微软雅黑\";"};
    QTest::newRow("frame_InfoShow")
        << QStringList{"QFrame#frame_LeftArea,QFrame#frame_CenterArea,QFrame#frame_RightArea",
                       "border:2px solid rgb(49, 49, 49);",
                       "border-radius: 20px;",
                       "75 10pt",
                       "QLabel#label_CPU01",
                       "QLabel#label_GPU04_UNIT",
                       "75 12pt"};
    const char *const icons[][2] = {{"label_4", "utilization"},  {"label_10", "frequency"},
                                    {"label_14", "fan"},         {"label_16", "power"},
                                    {"label_17", "utilization"}, {"label_18", "frequency"},
                                    {"label_19", "fan"},         {"label_20", "power"}};
    for (const auto &icon : icons) {
        QTest::newRow(icon[0]) << QStringList{
            QStringLiteral("border-image: url(:/images/InfoLog/%1.png);").arg(icon[1])};
    }
    QTest::newRow("frame_CenterArea")
        << QStringList{"QLabel", "color: rgb(220, 220, 220);", "75 14pt \"微软雅黑\""};
    QTest::newRow("frame_10") << QStringList{"QLabel#label_MemoryUsageNum", "QLabel#label_6",
                                             "color: rgb(249, 27, 51);", "75 46pt", "75 20pt"};
    QTest::newRow("frame_13") << QStringList{"QLabel#label_HardDiskUsageNum", "QLabel#label_12",
                                             "color: rgb(249, 27, 51);", "75 46pt", "75 20pt"};
    QTest::newRow("frame_HardwareInfoArea")
        << QStringList{"QFrame#frame_HardwareInfoArea", "border:2px solid rgb(49, 49, 49);",
                       "border-radius: 20px;"};
    QTest::newRow("frame_CompanyInfo") << QStringList{"background-color: rgb(179, 47, 23, 0);",
                                                      "QLabel", "color: rgb(220, 220, 220);"};
}

void TestForm::styleSheets()
{
    QFETCH(QStringList, fragments);
    QWidget *w = find(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    for (const QString &fragment : fragments)
        QVERIFY2(w->styleSheet().contains(fragment), qPrintable(fragment));
}

void TestForm::emptyStyleSheets()
{
    for (const char *name : {"pushButton_Monitor", "pushButton_Hardware", "label_AppVersion",
                             "frame_4", "frame_MainArea", "label_HidStatus"})
        QVERIFY2(find(QLatin1String(name))->styleSheet().isEmpty(), name);
}

void TestForm::bars_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("centred");
    const int values[] = {10, 20, 30, 50};
    for (const MetricBlock &b : metricBlocks) {
        const int index = QByteArray(b.block).right(1).toInt() - 1;
        QTest::newRow(qPrintable(QStringLiteral("progressBar_") + QLatin1String(b.block)))
            << values[index] << true;
    }
    QTest::newRow("progressBar_MemoryUsage") << 24 << false;
    QTest::newRow("progressBar_HardDiskUsage") << 24 << false;
}

void TestForm::bars()
{
    QFETCH(int, value);
    QFETCH(bool, centred);
    auto *bar = qobject_cast<QProgressBar *>(find(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(bar);
    QCOMPARE(bar->value(), value);
    QVERIFY(!bar->isTextVisible());
    if (centred)
        QCOMPARE(bar->alignment(), Qt::AlignCenter);
}

void TestForm::buttonDetails()
{
    QCOMPARE(ui->appLogo->iconSize(), QSize(32, 32));
    for (QPushButton *b : {ui->appLogo, ui->pushButton_Setting, ui->pushButton_Min,
                           ui->pushButton_Max, ui->pushButton_Close})
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    QCOMPARE(ui->pushButton_Test->focusPolicy(), Qt::StrongFocus);
}

void TestForm::wordWrap()
{
    QVERIFY(ui->label_29->wordWrap());
    QVERIFY(ui->label_30->wordWrap());
    QVERIFY(!ui->label_31->wordWrap());
    QVERIFY(!ui->label_ErrorMsg->wordWrap());
}

void TestForm::keepsExistingObjectName()
{
    QWidget named;
    named.setObjectName(QStringLiteral("SomeWindow"));
    Ui::DMainWidget form;
    form.setupUi(&named);
    QCOMPARE(named.objectName(), QStringLiteral("SomeWindow"));
    QCOMPARE(named.size(), QSize(1150, 750));
    QCOMPARE(form.frame_Bg->parentWidget(), &named);
}

void TestForm::namesAnUnnamedWindow()
{
    QCOMPARE(host->objectName(), QStringLiteral("DMainWidget"));
    QCOMPARE(host->size(), QSize(1150, 750));
}

void TestForm::pageButtonsKeepMinimumWidth()
{
    host->show();
    QVERIFY(QTest::qWaitForWindowExposed(host.data()));
    for (QPushButton *b : {ui->pushButton_Monitor, ui->pushButton_Hardware}) {
        QCOMPARE(b->minimumWidth(), 150);
        QCOMPARE(b->maximumWidth(), 140);
        QCOMPARE(b->width(), 150);
        QCOMPARE(b->height(), 65);
    }
}

void TestForm::currentPages()
{
    QCOMPARE(ui->stackedWidget_2->currentIndex(), 1);
    QCOMPARE(ui->stackedWidget_2->currentWidget(), ui->page_2);
    QCOMPARE(ui->stackedWidget->currentIndex(), 0);
    QCOMPARE(ui->stackedWidget->currentWidget(), ui->page_TitleMode01);
    QCOMPARE(ui->stackedWidget_3->currentIndex(), 0);
    QCOMPARE(ui->stackedWidget_3->currentWidget(), ui->page_Monitor);
    QCOMPARE(ui->stackedWidget_3->indexOf(ui->page_Hardware), 1);
    QCOMPARE(ui->stackedWidget_3->indexOf(ui->page_HardwareInfoNew), 2);
    QCOMPARE(ui->stackedWidget_2->indexOf(ui->page), 0);
    QCOMPARE(ui->stackedWidget->indexOf(ui->page_TitleMode02), 1);
}

void TestForm::checkedStates()
{
    QVERIFY(ui->pushButton_Monitor->isCheckable());
    QVERIFY(ui->pushButton_Monitor->isChecked());
    QVERIFY(ui->pushButton_Hardware->isCheckable());
    QVERIFY(!ui->pushButton_Hardware->isChecked());
    QVERIFY(!ui->pushButton_Test->isCheckable());
    QVERIFY(ui->radioButton_Model01->isChecked());
    QVERIFY(!ui->radioButton_Model02->isChecked());
}

void TestForm::connectsSlotsByName()
{
    CountingHost counting;
    Ui::DMainWidget form;
    form.setupUi(&counting);
    form.pushButton_Close->click();
    form.radioButton_Model02->click();
    form.pushButton_Min->click();
    QCOMPARE(counting.closeClicks, 1);
    QCOMPARE(counting.fahrenheitClicks, 1);
}

void TestForm::textsUseTheFormContext()
{
    FormTranslator translator;
    QCoreApplication::installTranslator(&translator);
    QWidget translated;
    Ui::DMainWidget form;
    form.setupUi(&translated);
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(form.pushButton_Test->text(), QStringLiteral("Probe"));
    QCOMPARE(form.label_HidStatus->text(), QStringLiteral("Disconnected"));
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
