#pragma once
#include <QColor>
#include <QGradient>
#include <QString>
#include <QWidget>

class QPainter;

// Circular gauge: a ring whose filled sector shows a value on a range, with the number, its unit
// and a caption in the centre. Shape colours come from three fixed members; fills and text come
// from the palette, so a theme restyles it with setPalette alone.
class ProgressBarRound : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(double maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(double value READ value WRITE setValue)
    Q_PROPERTY(int precision READ precision WRITE setPrecision)
    Q_PROPERTY(double nullPosition READ nullPosition WRITE setNullPosition)
    Q_PROPERTY(double outlinePenWidth READ outlinePenWidth WRITE setOutlinePenWidth)
    Q_PROPERTY(double dataPenWidth READ dataPenWidth WRITE setDataPenWidth)
    Q_PROPERTY(BarStyle barStyle READ barStyle WRITE setBarStyle)
    Q_PROPERTY(QString format READ format WRITE setFormat)
    Q_PROPERTY(bool clockWise READ clockWise WRITE setClockWise)
    Q_PROPERTY(QGradientStops gradientData READ gradientData WRITE setGradientData)

public:
    enum BarStyle
    {
        BarStyle_Donut = 0,
        BarStyle_Pie = 1,
        BarStyle_Line = 2
    };
    Q_ENUM(BarStyle)

    explicit ProgressBarRound(QWidget *parent = nullptr);

    double minValue() const { return m_minValue; }
    double maxValue() const { return m_maxValue; }
    double value() const { return m_value; }
    int precision() const { return m_precision; }
    int displayValue() const { return m_displayValue; }
    double nullPosition() const { return m_nullPosition; }
    double outlinePenWidth() const { return m_outlinePenWidth; }
    double dataPenWidth() const { return m_dataPenWidth; }
    BarStyle barStyle() const { return m_barStyle; }
    QString format() const { return m_format; }
    bool clockWise() const { return m_clockWise; }
    QGradientStops gradientData() const { return m_gradientData; }
    QColor innerBorderColor() const { return m_innerBorder; }
    QColor outBorderColor() const { return m_outBorderColor; }
    QColor ringBaseColor() const { return m_ringBaseColor; }
    QString strUnit() const { return m_strUnit; }
    QString explainText() const { return m_strExplainText; }
    int currentValueType() const { return m_valueType; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setRange(double minValue, double maxValue);
    void setRange(int minValue, int maxValue);
    void setMinValue(double minValue);
    void setMaxValue(double maxValue);
    void setValue(double value);
    void setValue(int value);
    void setPrecision(int precision);
    void setNullPosition(double nullPosition);
    void setOutlinePenWidth(double outlinePenWidth);
    void setDataPenWidth(double dataPenWidth);
    void setBarStyle(BarStyle barStyle);
    void setFormat(QString format);
    void setClockWise(bool clockWise);
    void setGradientData(QGradientStops gradientData);
    void setInnerBorderAndOutBorderColor(QColor innerBorder, QColor outBorderColor);
    void setStrUnit(QString strUnitIn);
    void setExplainText(QString strExplainTextIn);
    void setCurrentValueType(int valueType);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuildDataBrush();
    void drawValueShapes(QPainter &painter, const QRectF &sectorSquare);
    void drawInnerCircle(QPainter &painter, const QRectF &innerSquare);
    void drawCentreTexts(QPainter &painter, const QRectF &innerSquare, double innerSize);

    double m_minValue = 0.0;
    double m_maxValue = 100.0;
    double m_value = 0.0;
    int m_precision = 0;
    int m_displayValue = 0;
    double m_nullPosition = 90.0;
    double m_outlinePenWidth = 3.0;
    double m_dataPenWidth = 3.0;
    BarStyle m_barStyle = BarStyle_Donut;
    QString m_format = QStringLiteral("%p%");
    bool m_clockWise = true;
    QGradientStops m_gradientData;
    QColor m_innerBorder = QColor(37, 37, 37);
    QColor m_outBorderColor = QColor(79, 79, 79);
    QColor m_ringBaseColor = QColor(58, 58, 58);
    QString m_strUnit;
    QString m_strExplainText = QStringLiteral("CPU");
    int m_valueType = 1;
};
