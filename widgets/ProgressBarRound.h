#pragma once
#include <QGradientStops>
#include <QString>
#include <QWidget>

// Placeholder until the round gauge lands; the setters the theme calls do nothing yet.
class ProgressBarRound : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressBarRound(QWidget *parent = nullptr) : QWidget(parent) {}

public slots:
    void setRange(int, int) {}
    void setValue(int) {}
    void setPrecision(int) {}
    void setNullPosition(double) {}
    void setGradientData(const QGradientStops &) {}
    void setStrUnit(const QString &) {}
    void setExplainText(const QString &) {}
};
