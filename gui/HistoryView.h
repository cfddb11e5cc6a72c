#pragma once
#include "gui/PanelDialog.h"

#include <QBasicTimer>

class HistoryFeed;
class HistoryPlot;
class QButtonGroup;
class QComboBox;
class QLabel;

// The "History" panel: one value at a time over the last 1, 10 or 60 minutes, with the span's
// minimum, average and maximum. It reads the feed once a second while shown and not at all
// while hidden.
class HistoryView : public PanelDialog
{
    Q_OBJECT
public:
    HistoryView(HistoryFeed *feed, const AppConfig &config, const QFont &font,
                QWidget *parent = nullptr);

    void setChannel(int channel);
    void setSpanMinutes(int minutes);
    // Reads the feed and repaints (also each second while shown).
    void refresh();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    HistoryFeed *m_feed;
    HistoryPlot *m_plot = nullptr;
    QComboBox *m_channelBox = nullptr;
    QButtonGroup *m_spans = nullptr;
    QLabel *m_stats = nullptr;
    QBasicTimer m_timer;
    int m_minutes = 10;
};
