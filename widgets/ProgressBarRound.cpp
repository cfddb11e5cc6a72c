#include "widgets/ProgressBarRound.h"

#include "model/Units.h"
#include "widgets/RoundGaugeMath.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>

namespace {

QPen shapePen(const QColor &color, double width)
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
}

// A wedge from the centre of `square` along its circle.
QPainterPath wedge(const QRectF &square, double startAngle, double sweepLength)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.moveTo(square.center());
    path.arcTo(square, startAngle, sweepLength);
    path.lineTo(square.center());
    return path;
}

QRectF squareAt(double inset, double size)
{
    return QRectF(inset, inset, size, size);
}

} // namespace

ProgressBarRound::ProgressBarRound(QWidget *parent)
    : QWidget(parent), m_strUnit(QString::fromUtf8(kCelsiusSign))
{
    // The property is declared by its typedef; the meta-type system only knows the vector type
    // until the name is registered, and property writes through QVariant would fail.
    static const int gradientStopsType = qRegisterMetaType<QGradientStops>("QGradientStops");
    Q_UNUSED(gradientStopsType)
    setFont(QFont(QStringLiteral("Arial"), 8));
}

QSize ProgressBarRound::sizeHint() const
{
    return QSize(100, 100);
}

QSize ProgressBarRound::minimumSizeHint() const
{
    return QSize(10, 10);
}

void ProgressBarRound::setRange(double minValue, double maxValue)
{
    if (minValue > maxValue)
        std::swap(minValue, maxValue);
    m_minValue = minValue;
    m_maxValue = maxValue;
    m_value = std::clamp(m_value, m_minValue, m_maxValue);
    update();
}

void ProgressBarRound::setRange(int minValue, int maxValue)
{
    setRange(double(minValue), double(maxValue));
}

void ProgressBarRound::setMinValue(double minValue)
{
    setRange(minValue, m_maxValue);
}

void ProgressBarRound::setMaxValue(double maxValue)
{
    setRange(m_minValue, maxValue);
}

void ProgressBarRound::setValue(double value)
{
    m_value = value;
    update();
}

void ProgressBarRound::setValue(int value)
{
    m_displayValue = value;
    setValue(double(value));
}

void ProgressBarRound::setPrecision(int precision)
{
    if (precision < 0 || precision == m_precision)
        return;
    m_precision = precision;
    update();
}

void ProgressBarRound::setNullPosition(double nullPosition)
{
    if (nullPosition == m_nullPosition)
        return;
    m_nullPosition = nullPosition;
    update();
}

void ProgressBarRound::setOutlinePenWidth(double outlinePenWidth)
{
    if (outlinePenWidth == m_outlinePenWidth)
        return;
    m_outlinePenWidth = outlinePenWidth;
    update();
}

void ProgressBarRound::setDataPenWidth(double dataPenWidth)
{
    if (dataPenWidth == m_dataPenWidth)
        return;
    m_dataPenWidth = dataPenWidth;
    update();
}

void ProgressBarRound::setBarStyle(BarStyle barStyle)
{
    if (barStyle == m_barStyle)
        return;
    m_barStyle = barStyle;
    update();
}

void ProgressBarRound::setFormat(QString format)
{
    if (format == m_format)
        return;
    m_format = format;
    update();
}

void ProgressBarRound::setClockWise(bool clockWise)
{
    if (clockWise == m_clockWise)
        return;
    m_clockWise = clockWise;
    update();
}

void ProgressBarRound::setGradientData(QGradientStops gradientData)
{
    if (gradientData == m_gradientData)
        return;
    m_gradientData = gradientData;
    update();
}

void ProgressBarRound::setInnerBorderAndOutBorderColor(QColor innerBorder, QColor outBorderColor)
{
    if (innerBorder != m_innerBorder)
        m_innerBorder = innerBorder;
    if (outBorderColor != m_outBorderColor)
        m_outBorderColor = outBorderColor;
    update();
}

void ProgressBarRound::setStrUnit(QString strUnitIn)
{
    m_strUnit = strUnitIn;
    update();
}

void ProgressBarRound::setExplainText(QString strExplainTextIn)
{
    // The caption only changes together with other settings; their repaint picks it up.
    m_strExplainText = strExplainTextIn;
}

void ProgressBarRound::setCurrentValueType(int valueType)
{
    m_valueType = valueType;
    update();
}

void ProgressBarRound::paintEvent(QPaintEvent *)
{
    const double gaugeSize = std::min(width(), height());
    const QRectF outerSquare = squareAt(m_outlinePenWidth, gaugeSize - 2 * m_outlinePenWidth);
    const QRectF sectorSquare =
        squareAt(1.5 * m_outlinePenWidth, gaugeSize - 3 * m_outlinePenWidth);

    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    rebuildDataBrush();

    painter.setPen(shapePen(m_outBorderColor, m_outlinePenWidth));
    painter.setBrush(palette().base());
    painter.drawEllipse(outerSquare);

    drawValueShapes(painter, sectorSquare);

    // The line style's inner circle covers ring and sector, leaving only a plain disc.
    const double innerSize =
        m_barStyle == BarStyle_Line ? gaugeSize - m_outlinePenWidth : gaugeSize * 0.8;
    const double innerInset = (gaugeSize - innerSize) / 2;
    const QRectF innerSquare = squareAt(innerInset, innerSize);
    drawInnerCircle(painter, innerSquare);
    drawCentreTexts(painter, innerSquare, innerSize);
}

void ProgressBarRound::rebuildDataBrush()
{
    if (m_gradientData.isEmpty())
        return;
    // Qt's conical gradient runs counter-clockwise; reversed positions make the colours run
    // clockwise from the start angle, as the sector does.
    QConicalGradient gradient(0.5, 0.5, m_nullPosition);
    gradient.setCoordinateMode(QGradient::StretchToDeviceMode);
    for (const QGradientStop &stop : qAsConst(m_gradientData))
        gradient.setColorAt(1.0 - stop.first, stop.second);

    QPalette withGradient = palette();
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        withGradient.setBrush(QPalette::ColorGroup(group), QPalette::Highlight, QBrush(gradient));
    // An unchanged palette is not applied again, so this does not schedule another paint.
    setPalette(withGradient);
}

void ProgressBarRound::drawValueShapes(QPainter &painter, const QRectF &sectorSquare)
{
    const double sweep = RoundGaugeMath::sweepAngle(m_minValue, m_maxValue, m_value, m_clockWise);

    painter.setBrush(QBrush(m_ringBaseColor));
    painter.setPen(shapePen(m_ringBaseColor, m_dataPenWidth));
    painter.drawPath(wedge(sectorSquare, -(sweep + 90), -360));

    painter.setBrush(palette().highlight());
    painter.setPen(shapePen(palette().shadow().color(), m_dataPenWidth));
    painter.drawPath(wedge(sectorSquare, m_nullPosition, -sweep));
}

void ProgressBarRound::drawInnerCircle(QPainter &painter, const QRectF &innerSquare)
{
    painter.setPen(shapePen(m_innerBorder, m_outlinePenWidth + 2));
    painter.setBrush(palette().base());
    painter.drawEllipse(innerSquare);
    if (m_barStyle == BarStyle_Donut) {
        painter.setBrush(palette().alternateBase());
        painter.drawEllipse(innerSquare);
    }
}

void ProgressBarRound::drawCentreTexts(QPainter &painter, const QRectF &innerSquare,
                                       double innerSize)
{
    if (m_format.isEmpty())
        return;
    const int shown = RoundGaugeMath::shownNumber(m_displayValue, m_valueType);
    const double x = innerSquare.x();
    const double y = innerSquare.y();
    painter.setPen(palette().text().color());

    QFont numberFont = font();
    numberFont.setPixelSize(RoundGaugeMath::textPixelSize(innerSize, m_precision, 0.3));
    painter.setFont(numberFont);
    QRectF numberRect = innerSquare;
    numberRect.setLeft(x + RoundGaugeMath::numberLeftOffset(shown));
    numberRect.setTop(y - 40);
    painter.drawText(numberRect, Qt::AlignCenter, QString::number(shown));

    QFont smallFont = font();
    smallFont.setPixelSize(RoundGaugeMath::textPixelSize(innerSize, m_precision, 0.15));
    painter.setFont(smallFont);
    QRectF unitRect = innerSquare;
    unitRect.setLeft(x + RoundGaugeMath::unitLeftOffset(shown));
    unitRect.setTop(y - 45);
    painter.drawText(unitRect, Qt::AlignCenter, m_strUnit);

    QRectF captionRect = innerSquare;
    captionRect.setTop(y + 70);
    painter.drawText(captionRect, Qt::AlignCenter, m_strExplainText);
}
