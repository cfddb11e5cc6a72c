#pragma once
#include <QObject>

// The history's test classes; tst_history.cpp runs them all in one executable.
class AlertRulesTest : public QObject
{
    Q_OBJECT
private slots:
    void step_data();
    void step();
    void unitSwitch_data();
    void unitSwitch();
    void eventTexts();
};

class HistoryRingTest : public QObject
{
    Q_OBJECT
private slots:
    void series_data();
    void series();
    void stats_data();
    void stats();
    void sampleOfMissingFigures();
};

class ReadingsCsvTest : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void rejects_data();
    void rejects();
    void expired_data();
    void expired();
    void recorderFlushesAndPauses();
    void recorderRollsOverAndRemoves();
    void fillRingFromTail();
    void settingsRoundTrip();
};
