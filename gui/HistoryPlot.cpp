#include "gui/HistoryPlot.h"

#include "history/HistoryRing.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
constexpr int kLeft = 58;
constexpr int kRight = 14;
constexpr int kTop = 22;
constexpr int kBottom = 26;
constexpr int kTimeTicks = 6;
} // namespace

HistoryPlot::HistoryPlot(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(360, 200);
}

void HistoryPlot::setColors(const Colors &colors)
{
    m_colors = colors;
    update();
}

void HistoryPlot::setSeries(const QVector<float> &values, qint64 endSecond, const QString &unit,
                            bool percent)
{
    m_values = values;
    m_endSecond = endSecond;
    m_unit = unit;
    const SpanStats stats = spanStats(values);
    m_scale = stats.count > 0 ? PlotScales::around(stats.minimum, stats.maximum, percent)
                              : PlotScales::around(0, percent ? 100 : 1, percent);
    update();
}

int HistoryPlot::indexAt(int x, int left, int width, int count)
{
    if (count <= 0 || width <= 0)
        return -1;
    if (count == 1)
        return 0;
    const double step = double(width) / (count - 1);
    const int index = int(std::lround((x - left) / step));
    return qBound(0, index, count - 1);
}

QRect HistoryPlot::plotArea() const
{
    return rect().adjusted(kLeft, kTop, -kRight, -kBottom);
}

QPointF HistoryPlot::pointOf(const QRect &area, int index, double value) const
{
    const double step = m_values.size() > 1 ? double(area.width()) / (m_values.size() - 1) : 0;
    return {area.left() + index * step, area.bottom() - m_scale.fraction(value) * area.height()};
}

QString HistoryPlot::valueText(double value) const
{
    return QString::number(value, 'f', std::abs(value) < 10 && value != std::trunc(value) ? 1 : 0);
}

void HistoryPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), m_colors.background);
    const QRect area = plotArea();
    paintAxes(painter, area);
    paintLine(painter, area);
    paintPointer(painter, area);
}

void HistoryPlot::paintAxes(QPainter &painter, const QRect &area) const
{
    painter.setPen(m_colors.text);
    painter.drawText(QRect(4, 2, kLeft + 80, kTop - 4), Qt::AlignLeft | Qt::AlignVCenter, m_unit);
    for (double tick : m_scale.ticks()) {
        const int y = int(std::lround(pointOf(area, 0, tick).y()));
        painter.setPen(QPen(m_colors.grid, 1, Qt::DotLine));
        painter.drawLine(area.left(), y, area.right(), y);
        painter.setPen(m_colors.text);
        painter.drawText(QRect(0, y - 9, kLeft - 8, 18), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(tick, 'g', 6));
    }
    const int span = m_values.size();
    const QString format = span <= 120 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    for (int i = 0; i <= kTimeTicks && span > 1; ++i) {
        const int index = (span - 1) * i / kTimeTicks;
        const int x = int(std::lround(pointOf(area, index, 0).x()));
        painter.setPen(QPen(m_colors.grid, 1, Qt::DotLine));
        painter.drawLine(x, area.top(), x, area.bottom());
        const QDateTime when = QDateTime::fromSecsSinceEpoch(m_endSecond - (span - 1 - index));
        painter.setPen(m_colors.text);
        QRect label(x - 40, area.bottom() + 4, 80, kBottom - 6);
        if (label.right() > width() - 2)
            label.moveRight(width() - 2);
        painter.drawText(label, Qt::AlignCenter, when.toString(format));
    }
}

void HistoryPlot::paintLine(QPainter &painter, const QRect &area) const
{
    QPainterPath path;
    bool drawing = false;
    for (int i = 0; i < m_values.size(); ++i) {
        if (std::isnan(m_values[i])) {
            drawing = false;
            continue;
        }
        const QPointF point = pointOf(area, i, m_values[i]);
        if (drawing)
            path.lineTo(point);
        else
            path.moveTo(point);
        drawing = true;
    }
    painter.setPen(QPen(m_colors.line, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void HistoryPlot::paintPointer(QPainter &painter, const QRect &area) const
{
    if (m_pointerX < area.left() || m_pointerX > area.right() || m_values.isEmpty())
        return;
    const int index = indexAt(m_pointerX, area.left(), area.width(), m_values.size());
    const float value = m_values[index];
    const QPointF point = pointOf(area, index, std::isnan(value) ? m_scale.low : value);
    painter.setPen(QPen(m_colors.text, 1));
    painter.drawLine(QPointF(point.x(), area.top()), QPointF(point.x(), area.bottom()));
    const QDateTime when =
        QDateTime::fromSecsSinceEpoch(m_endSecond - (m_values.size() - 1 - index));
    const QString text =
        when.toString(QStringLiteral("HH:mm:ss  ")) +
        (std::isnan(value) ? QStringLiteral("\u2013")
                           : QString::number(double(value), 'f', 1) + QLatin1Char(' ') + m_unit);
    const QRect box = painter.fontMetrics().boundingRect(text).adjusted(-6, -3, 6, 3);
    QRect placed = box.translated(int(point.x()) + 8 - box.left(), area.top() + 4 - box.top());
    if (placed.right() > area.right())
        placed.moveRight(int(point.x()) - 8);
    painter.setBrush(m_colors.background);
    painter.drawRoundedRect(placed, 4, 4);
    painter.drawText(placed, Qt::AlignCenter, text);
    if (!std::isnan(value)) {
        painter.setBrush(m_colors.line);
        painter.drawEllipse(point, 3.5, 3.5);
    }
}

void HistoryPlot::mouseMoveEvent(QMouseEvent *event)
{
    m_pointerX = event->pos().x();
    update();
}

void HistoryPlot::leaveEvent(QEvent *)
{
    m_pointerX = -1;
    update();
}
