#include "gui/HistoryView.h"

#include "gui/HistoryPlot.h"
#include "history/HistoryChannels.h"
#include "history/HistoryFeed.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

HistoryView::HistoryView(HistoryFeed *feed, const AppConfig &config, const QFont &font,
                         QWidget *parent)
    : PanelDialog(config, font, QStringLiteral("History"), parent), m_feed(feed)
{
    setObjectName(QStringLiteral("HistoryView"));
    auto *controls = new QHBoxLayout;
    m_channelBox = new QComboBox(frame());
    m_channelBox->setObjectName(QStringLiteral("comboBox_HistoryValue"));
    for (int c = 0; c < HistoryChannels::kCount; ++c)
        m_channelBox->addItem(HistoryChannels::caption(c), c);
    m_channelBox->setMinimumContentsLength(18);
    connect(m_channelBox, QOverload<int>::of(&QComboBox::activated), this,
            [this](int) { refresh(); });
    controls->addWidget(m_channelBox);
    controls->addStretch(1);
    m_spans = new QButtonGroup(this);
    for (int minutes : {1, 10, 60}) {
        auto *button = new QPushButton(QStringLiteral("%1 min").arg(minutes), frame());
        button->setObjectName(QStringLiteral("pushButton_History%1").arg(minutes));
        button->setCheckable(true);
        button->setChecked(minutes == m_minutes);
        button->setFocusPolicy(Qt::NoFocus);
        m_spans->addButton(button, minutes);
        connect(button, &QPushButton::clicked, this, [this, minutes] { setSpanMinutes(minutes); });
        controls->addWidget(button);
    }
    body()->addLayout(controls);

    m_plot = new HistoryPlot(frame());
    HistoryPlot::Colors colors;
    colors.background = PanelStyle::color(config.MainBgColor).darker(115);
    colors.text = PanelStyle::color(config.DataValueTextColor);
    colors.grid = PanelStyle::color(config.FrameBorderColor);
    colors.line = PanelStyle::color(config.ProgressBarStartColor);
    m_plot->setColors(colors);
    m_plot->setMinimumSize(680, 300);
    body()->addWidget(m_plot, 1);

    m_stats = new QLabel(frame());
    m_stats->setObjectName(QStringLiteral("label_HistoryStats"));
    body()->addWidget(m_stats);
}

void HistoryView::setChannel(int channel)
{
    m_channelBox->setCurrentIndex(m_channelBox->findData(channel));
    refresh();
}

void HistoryView::setSpanMinutes(int minutes)
{
    m_minutes = minutes;
    if (QAbstractButton *button = m_spans->button(minutes))
        button->setChecked(true);
    refresh();
}

void HistoryView::refresh()
{
    const int channel = m_channelBox->currentData().toInt();
    const bool celsius = m_feed->celsius();
    qint64 end = 0;
    QVector<float> values = m_feed->series(channel, m_minutes * 60, &end);
    for (float &v : values)
        v = float(HistoryChannels::shown(channel, v, celsius));
    const QString unit = HistoryChannels::unitSign(channel, celsius);
    m_plot->setSeries(values, end, unit,
                      HistoryChannels::kind(channel) == HistoryChannels::Kind::Percent);
    const SpanStats stats = spanStats(values);
    if (stats.count == 0) {
        m_stats->setText(QStringLiteral("No values in the last %1 min").arg(m_minutes));
        return;
    }
    auto text = [&](double v) { return QString::number(v, 'f', 1) + QLatin1Char(' ') + unit; };
    m_stats->setText(QStringLiteral("Last %1 min    Min %2    Avg %3    Max %4")
                         .arg(m_minutes)
                         .arg(text(stats.minimum), text(stats.average), text(stats.maximum)));
}

void HistoryView::showEvent(QShowEvent *event)
{
    refresh();
    m_timer.start(1000, this);
    PanelDialog::showEvent(event);
}

void HistoryView::hideEvent(QHideEvent *event)
{
    m_timer.stop();
    PanelDialog::hideEvent(event);
}

void HistoryView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_timer.timerId())
        refresh();
    else
        PanelDialog::timerEvent(event);
}
