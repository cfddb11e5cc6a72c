// Cost of the figures the refresh measures each second: run by hand, e.g.
// build/bench/bench_systemFigures -iterations 2000
#include "app/RefreshFigures.h"
#include "platform/SystemFigures.h"

#include <QtTest>

class BenchSystemFigures : public QObject
{
    Q_OBJECT
private slots:
    void memory()
    {
        QBENCHMARK {
            SystemFigures::memory();
        }
    }
    void systemDrive()
    {
        QBENCHMARK {
            SystemFigures::systemDrive();
        }
    }
    void texts()
    {
        const SystemFigures::Memory memory = SystemFigures::memory();
        const SystemFigures::Drive drive = SystemFigures::systemDrive();
        QBENCHMARK {
            RefreshFigures::memoryText(memory);
            RefreshFigures::driveFigures(drive);
        }
    }
};

QTEST_GUILESS_MAIN(BenchSystemFigures)
#include "bench_systemFigures.moc"
