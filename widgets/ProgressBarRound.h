#pragma once
#include <QWidget>

// Placeholder until the round gauge lands.
class ProgressBarRound : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressBarRound(QWidget *parent = nullptr) : QWidget(parent) {}
};
