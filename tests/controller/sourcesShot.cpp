// Shows the "Sources" dialog over one pass of the scripted sensors (TARNIX_SCRIPTED_SENSORS)
// with a chosen reading and card, and saves it as a PNG: the picture in the README.
//   sourcesShot OUT.png    (run from its build folder, under an X server)
#include "appdata/DDataManager.h"
#include "gui/SourcesDialog.h"
#include "sensors/getPcInfoThread.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    DDataManager *data = DDataManager::getInstance();

    SourceChoices choices;
    choices.overrides[0] = QStringLiteral("CPU [#0]: Intel Core i7-12700K/temperature/Core 1");
    choices.gpuCard = QStringLiteral("GPU [#0]: NVIDIA GeForce RTX 4070");
    getPcInfoThread poller;
    poller.setLibraryDirectory(QCoreApplication::applicationDirPath());
    poller.setSourceChoices(choices);
    poller.setCollectSources(true);
    poller.initSdk();
    if (!poller.pollOnce())
        return 1;

    SourcesDialog dialog(data->getAppConfig(), data->getMontserratMediumFont());
    dialog.setChoices(choices);
    dialog.showReport(poller.getSourceReport());
    dialog.show();
    const QString out = QString::fromLocal8Bit(argv[1]);
    bool saved = false;
    QTimer::singleShot(1000, &dialog, [&] {
        saved = dialog.grab().save(out);
        app.quit();
    });
    app.exec();
    poller.stopPolling();
    return saved ? 0 : 1;
}
