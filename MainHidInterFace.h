#pragma once
#include <QThread>

// Placeholder until the transport lands.
class MainHidInterFace : public QThread
{
    Q_OBJECT
public:
    explicit MainHidInterFace(QObject *parent = nullptr) : QThread(parent) {}
    void getuUsbHidDeviceList() {}
    int hidApi_Write(const unsigned char *, int) { return -1; }
    int hidApi_Close() { return 0; }

signals:
    void sigOpenHidSuccessful();
};
