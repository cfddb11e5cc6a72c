#include <QtTest>
class tst_sensorLibrary : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(tst_sensorLibrary)
#include "tst_sensorLibrary.moc"
