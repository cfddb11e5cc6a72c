#include "gui/HistoryControl.h"

#include "appdata/DDataManager.h"
#include "app/Monitor.h"
#include "core/UserStore.h"
#include "gui/AlertsDialog.h"
#include "gui/HistoryView.h"
#include "history/HistoryFeed.h"
#include "platform/DesktopNotifier.h"

#include <QSystemTrayIcon>
#include <QWidget>

HistoryControl::HistoryControl(Monitor *monitor, QWidget *window)
    : QObject(window), m_window(window), m_feed(new HistoryFeed(this))
{
    m_feed->loadUserSettings();
    m_feed->attachTo(*monitor);
    // Queued: the feed fires on the sensor thread, the notification belongs to this one.
    connect(m_feed, &HistoryFeed::alertFired, this, &HistoryControl::notify, Qt::QueuedConnection);
}

void HistoryControl::setCelsius(bool celsius)
{
    m_feed->setCelsius(celsius);
    if (m_view && m_view->isVisible())
        m_view->refresh();
}

void HistoryControl::showHistory()
{
    if (!m_view) {
        DDataManager *data = DDataManager::getInstance();
        m_view = new HistoryView(m_feed, data->getAppConfig(), data->getMontserratMediumFont(),
                                 m_window);
    }
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}

void HistoryControl::showAlerts()
{
    if (!m_dialog) {
        DDataManager *data = DDataManager::getInstance();
        m_dialog =
            new AlertsDialog(data->getAppConfig(), data->getMontserratMediumFont(), m_window);
        connect(m_dialog, &AlertsDialog::sigSaved, this,
                [this](const AlertSettings &alerts, const RecordSettings &record) {
                    const auto store = openUserStore();
                    HistorySettings::saveAlerts(*store, alerts);
                    HistorySettings::saveRecord(*store, record);
                    m_feed->setAlerts(alerts);
                    m_feed->setRecord(record);
                });
    }
    {
        const auto store = openUserStore();
        m_dialog->setSettings(HistorySettings::loadAlerts(*store),
                              HistorySettings::loadRecord(*store), m_feed->celsius());
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void HistoryControl::flush()
{
    m_feed->flush();
}

void HistoryControl::notify(const AlertEvent &event)
{
    const QString body = AlertTexts::message(event, m_feed->celsius());
    const QString title = DDataManager::getInstance()->getAppConfig().AppName;
    if (DesktopNotifier::notify(title, title, body))
        return;
    if (m_tray)
        m_tray->showMessage(title, body, QSystemTrayIcon::Warning);
}
