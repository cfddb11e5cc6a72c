// What a file of 1 GB where a sysfs label or /proc/stat belongs costs the sensor library, read
// with its bounds: run by hand, e.g. build/bench/bench_boundedRead -iterations 100
#include "SysRoot.h"
#include "sysio/BoundedRead.h"

#include <QTemporaryDir>
#include <QtTest>

class BenchBoundedRead : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        path = dir.filePath(QStringLiteral("temp1_label"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Tctl\n") == 5);
        QVERIFY(file.resize(qint64(1) << 30)); // sparse
    }
    void hugeLabel()
    {
        const hwsensors::SysRoot root(dir.path().toStdString());
        QBENCHMARK
        {
            root.readLine("/temp1_label");
        }
    }
    void hugeProcStat()
    {
        std::string text;
        QBENCHMARK
        {
            hwsensors::readFileBounded(path.toStdString(), hwsensors::kProcStatLimit, text);
        }
    }
    void realProcStat()
    {
        std::string text;
        QBENCHMARK
        {
            hwsensors::readFileBounded("/proc/stat", hwsensors::kProcStatLimit, text);
        }
    }

private:
    QTemporaryDir dir;
    QString path;
};

QTEST_GUILESS_MAIN(BenchBoundedRead)
#include "bench_boundedRead.moc"
