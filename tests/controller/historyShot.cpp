// Shows the "History" panel over ten minutes of CPU temperature that end with one pass of the
// scripted sensors (TARNIX_SCRIPTED_SENSORS), the pointer resting on the plot, and saves it as
// a PNG: the picture in docs/history.md.
//   historyShot OUT.png    (run from its build folder, under an X server)
#include "appdata/DDataManager.h"
#include "sensors/getPcInfoThread.h"
#include "gui/HistoryPlot.h"
#include "gui/HistoryView.h"
#include "history/HistoryFeed.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>

namespace {

// A load that comes and goes around the scripted reading: a build at minute 4, a short spike.
float temperatureAt(int secondsAgo, float now)
{
    const double t = secondsAgo;
    double v = now - 4 + 2.5 * std::sin(t / 37.0) + 0.8 * std::sin(t / 5.3);
    if (secondsAgo > 250 && secondsAgo < 400)
        v += 22 * std::sin((secondsAgo - 250) / 150.0 * M_PI);
    if (secondsAgo == 90)
        v += 15;
    return float(v);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    DDataManager *data = DDataManager::getInstance();
    getPcInfoThread poller;
    poller.setLibraryDirectory(QCoreApplication::applicationDirPath());
    poller.initSdk();
    if (!poller.pollOnce())
        return 1;
    const SensorReadings latest = poller.getSensorReadings();

    HistoryFeed feed;
    const QDateTime now = QDateTime::currentDateTime();
    for (int ago = 600; ago >= 0; --ago) {
        HistoryChannels::Sample sample = HistoryChannels::missingSample();
        sample[HistoryChannels::CpuTemperature] =
            ago == 0 ? latest.cpuTemperature : temperatureAt(ago, latest.cpuTemperature);
        feed.takeSample(sample, now.addSecs(-ago));
    }
    HistoryView view(&feed, data->getAppConfig(), data->getMontserratMediumFont());
    view.setChannel(HistoryChannels::CpuTemperature);
    view.setSpanMinutes(10);
    view.show();
    const QString out = QString::fromLocal8Bit(argv[1]);
    bool saved = false;
    QTimer::singleShot(500, &view, [&] {
        if (auto *plot = view.findChild<HistoryPlot *>()) {
            const QPoint at(int(plot->width() * 0.56), plot->height() / 2);
            QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(plot, &move);
        }
    });
    QTimer::singleShot(1000, &view, [&] {
        saved = view.grab().save(out);
        app.quit();
    });
    app.exec();
    poller.stopPolling();
    return saved ? 0 : 1;
}
