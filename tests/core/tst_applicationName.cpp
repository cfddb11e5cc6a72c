#include "core/ApplicationName.h"

#include <QtTest>

class tst_applicationName : public QObject
{
    Q_OBJECT
private slots:
    void fromExecutable_data();
    void fromExecutable();
};

void tst_applicationName::fromExecutable_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("installed, resolved from bin/tarnix") << "/usr/lib/tarnix/Tarnix"
                                                         << "Tarnix";
    QTest::newRow("build tree") << "/work/build/Tarnix"
                                << "Tarnix";
    QTest::newRow("Windows") << "C:\\Program Files\\Tarnix\\Tarnix.exe"
                             << "Tarnix";
    QTest::newRow("Windows, upper-case suffix") << "C:/Tarnix/TARNIX.EXE"
                                                << "TARNIX";
    QTest::newRow("other suffix kept") << "/opt/tarnix/Tarnix.bin"
                                       << "Tarnix.bin";
    QTest::newRow("only a suffix") << "/opt/.exe"
                                   << ".exe";
    QTest::newRow("folder with a dot") << "/opt/tarnix.exe/Tarnix"
                                       << "Tarnix";
    QTest::newRow("bare name") << "Tarnix"
                               << "Tarnix";
}

void tst_applicationName::fromExecutable()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(ApplicationName::fromExecutable(path), name);
}

QTEST_GUILESS_MAIN(tst_applicationName)
#include "tst_applicationName.moc"
