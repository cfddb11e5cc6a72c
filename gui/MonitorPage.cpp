#include "gui/MonitorPage.h"
#include "ui_dmainwidget.h"

#include "app/RefreshFigures.h"
#include "app/RefreshSnapshot.h"

namespace {

// Fed once a second all day: a figure that did not change must not cost a repaint.
void showText(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

void showNumber(QLabel *label, int value)
{
    showText(label, QString::number(value));
}

void showBar(QProgressBar *bar, int value)
{
    if (bar->value() != value)
        bar->setValue(value);
}

void showBarRange(QProgressBar *bar, int maximum)
{
    if (bar->minimum() != 0 || bar->maximum() != maximum)
        bar->setRange(0, maximum);
}

void showGauge(ProgressBarRound *gauge, int celsius)
{
    if (gauge->displayValue() != celsius)
        gauge->setValue(celsius);
}

void showAutoRangePairs(Ui::DMainWidget *ui, const RefreshSnapshot &snapshot)
{
    using RefreshFigures::truncatedReading;
    struct Pair
    {
        QProgressBar *cpuBar;
        QProgressBar *gpuBar;
        QLabel *cpuLabel;
        QLabel *gpuLabel;
        float cpuValue;
        float gpuValue;
        int cpuMax;
        int gpuMax;
    };
    const SensorReadings &r = snapshot.readings;
    const AutoRangeMaxima &m = snapshot.maxima;
    const Pair pairs[] = {
        {ui->progressBar_CPU02, ui->progressBar_GPU02, ui->label_CPU02, ui->label_GPU02, r.cpuClock,
         r.gpuClock, m.cpuClock, m.gpuClock},
        {ui->progressBar_CPU03, ui->progressBar_GPU03, ui->label_CPU03, ui->label_GPU03, r.cpuFan,
         r.gpuFan, m.cpuFan, m.gpuFan},
        {ui->progressBar_CPU04, ui->progressBar_GPU04, ui->label_CPU04, ui->label_GPU04, r.cpuPower,
         r.gpuPower, m.cpuPower, m.gpuPower},
    };
    for (const Pair &p : pairs) {
        const int cpu = truncatedReading(p.cpuValue);
        const int gpu = truncatedReading(p.gpuValue);
        showBarRange(p.cpuBar, p.cpuMax);
        showBarRange(p.gpuBar, p.gpuMax);
        showNumber(p.cpuLabel, cpu);
        showNumber(p.gpuLabel, gpu);
        showBar(p.cpuBar, cpu);
        showBar(p.gpuBar, gpu);
    }
}

void showSystemFigures(Ui::DMainWidget *ui, const RefreshSnapshot &snapshot)
{
    const SystemFigures::Memory &memory = snapshot.memory;
    showNumber(ui->label_MemoryUsageNum, int(memory.loadPercent));
    showBar(ui->progressBar_MemoryUsage, int(memory.loadPercent));
    showText(ui->label_MemoryUsage, RefreshFigures::memoryText(memory));
    if (!snapshot.drive.found)
        return;
    const RefreshFigures::DriveFigures figures = RefreshFigures::driveFigures(snapshot.drive);
    showNumber(ui->label_HardDiskUsageNum, figures.usagePercent);
    showBar(ui->progressBar_HardDiskUsage, figures.usagePercent);
    showText(ui->label_HardDiskUsage, figures.text);
}

} // namespace

namespace MonitorPage {

void show(Ui::DMainWidget *ui, const RefreshSnapshot &snapshot)
{
    using RefreshFigures::truncatedReading;
    const SensorReadings &readings = snapshot.readings;
    showGauge(ui->widget_CpuDashboardNew, truncatedReading(readings.cpuTemperature));
    showGauge(ui->widget_GpuDashboardNew, truncatedReading(readings.gpuTemperature));
    const int cpuUsage = truncatedReading(readings.cpuUsage);
    const int gpuUsage = truncatedReading(readings.gpuUsage);
    showBar(ui->progressBar_CPU01, cpuUsage);
    showNumber(ui->label_CPU01, cpuUsage);
    showBar(ui->progressBar_GPU01, gpuUsage);
    showNumber(ui->label_GPU01, gpuUsage);
    showAutoRangePairs(ui, snapshot);
    showSystemFigures(ui, snapshot);
}

void reset(Ui::DMainWidget *ui)
{
    for (QProgressBar *bar : {ui->progressBar_CPU01, ui->progressBar_CPU02, ui->progressBar_CPU03,
                              ui->progressBar_CPU04, ui->progressBar_GPU01, ui->progressBar_GPU02,
                              ui->progressBar_GPU03, ui->progressBar_GPU04,
                              ui->progressBar_MemoryUsage, ui->progressBar_HardDiskUsage})
        bar->setValue(0);
    for (QLabel *label : {ui->label_CPU01, ui->label_CPU02, ui->label_CPU03, ui->label_CPU04,
                          ui->label_GPU01, ui->label_GPU02, ui->label_GPU03, ui->label_GPU04,
                          ui->label_MemoryUsageNum, ui->label_HardDiskUsageNum})
        label->setText(QStringLiteral("0"));
    ui->label_MemoryUsage->setText(QStringLiteral("0G/0G"));
    ui->label_HardDiskUsage->setText(QStringLiteral("0G/0G"));
}

} // namespace MonitorPage
