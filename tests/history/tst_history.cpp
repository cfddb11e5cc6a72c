#include "HistoryTests.h"

#include <QCoreApplication>
#include <QtTest>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    AlertRulesTest alerts;
    failed += QTest::qExec(&alerts, argc, argv);
    HistoryRingTest ring;
    failed += QTest::qExec(&ring, argc, argv);
    ReadingsCsvTest csv;
    failed += QTest::qExec(&csv, argc, argv);
    return failed;
}
