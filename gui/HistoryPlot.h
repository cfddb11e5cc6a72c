#pragma once
#include "gui/PlotScale.h"

#include <QColor>
#include <QVector>
#include <QWidget>

// One value over a span, painted: a line broken where values are missing, a clock-time axis,
// a value axis in the value's unit, and the value under the pointer. It holds only what it
// was last given and paints on demand; nothing runs while it is hidden.
class HistoryPlot : public QWidget
{
    Q_OBJECT
public:
    struct Colors
    {
        QColor text{220, 220, 220};
        QColor grid{70, 70, 80};
        QColor line{0, 200, 255};
        QColor background{30, 30, 36};
    };

    explicit HistoryPlot(QWidget *parent = nullptr);

    void setColors(const Colors &colors);
    // values: one per second, oldest first, the last at endSecond; NaN where missing.
    void setSeries(const QVector<float> &values, qint64 endSecond, const QString &unit,
                   bool percent);

    // The index of the sample under x in a plot area that starts at left and is width wide.
    static int indexAt(int x, int left, int width, int count);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QRect plotArea() const;
    QPointF pointOf(const QRect &area, int index, double value) const;
    void paintAxes(QPainter &painter, const QRect &area) const;
    void paintLine(QPainter &painter, const QRect &area) const;
    void paintPointer(QPainter &painter, const QRect &area) const;
    QString valueText(double value) const;

    Colors m_colors;
    QVector<float> m_values;
    qint64 m_endSecond = 0;
    QString m_unit;
    PlotScale m_scale;
    int m_pointerX = -1;
};
