#pragma once
#include "sensors/SensorReadings.h"

#include <QThread>

// Placeholder until the sensor thread lands.
class getPcInfoThread : public QThread
{
    Q_OBJECT
public:
    explicit getPcInfoThread(QObject *parent = nullptr) : QThread(parent) {}
    void initSdk() {}
    int stopPolling() { return -88; }
    SensorReadings getSensorReadings() const { return SensorReadings(); }

signals:
    void sigTheSdkInitStatus(bool isOK, int errorCode);
    void sigGetPcInfoOk();

protected:
    void run() override {}
};
