#include "gui/SourcesControl.h"

#include "app/Monitor.h"
#include "app/UserSettings.h"
#include "appdata/DDataManager.h"
#include "gui/SourcesDialog.h"

#include <QDebug>

SourcesControl::SourcesControl(Monitor *monitor, QWidget *window)
    : QObject(window), monitor(monitor), window(window)
{
}

void SourcesControl::show()
{
    if (!dialog) {
        DDataManager *data = DDataManager::getInstance();
        dialog = new SourcesDialog(data->getAppConfig(), data->getMontserratMediumFont(), window);
        connect(dialog, &SourcesDialog::sigSourcesChanged, this, &SourcesControl::store);
        connect(dialog, &QDialog::finished, this, [this] {
            monitor->setCollectSources(false);
            emit shownChanged();
        });
    }
    dialog->setChoices(UserSettings::sources());
    monitor->setCollectSources(true);
    const RefreshSnapshotPtr latest = monitor->latestSnapshot();
    dialog->showReport(latest ? latest->sources : SourceReport());
    dialog->show();
    emit shownChanged();
    dialog->raise();
    dialog->activateWindow();
}

bool SourcesControl::isShown() const
{
    return dialog && dialog->isVisible();
}

void SourcesControl::showLatest(const RefreshSnapshot &snapshot)
{
    if (isShown())
        dialog->showReport(snapshot.sources);
}

void SourcesControl::store(const SourceChoices &choices)
{
    if (!UserSettings::storeSources(choices)) {
        qDebug() << "Sources could not be stored";
        dialog->showStoreFailure();
    }
    monitor->setSourceChoices(choices);
}
