// Value files of the sensor library: the value parser, the kept-open, re-read file and the
// bounded read of every text file.
#include "SysRoot.h"
#include "ValueFile.h"
#include "sysio/BoundedRead.h"

#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

using hwsensors::parseSysfsValue;
using hwsensors::ValueFile;

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

} // namespace

class TestValueFile : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void parseStopsAtLength();
    void parseIgnoresLocale();
    void readsChangesInPlace();
    void missingFileReadLater();
    void readUpToLongerThanOneChunk();
    void boundedRead_data();
    void boundedRead();
    void boundedReadOfAHugeFile();
};

void TestValueFile::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    QTest::newRow("millidegrees with newline") << QByteArray("45000\n") << true << 45000.0;
    QTest::newRow("negative temperature") << QByteArray("-5500\n") << true << -5500.0;
    QTest::newRow("explicit plus") << QByteArray("+12\n") << true << 12.0;
    QTest::newRow("leading blanks") << QByteArray(" \t 800") << true << 800.0;
    QTest::newRow("fraction") << QByteArray("2400.125\n") << true << 2400.125;
    QTest::newRow("trailing dot") << QByteArray("7.") << true << 7.0;
    QTest::newRow("unit after the number") << QByteArray("1200 MHz\n") << true << 1200.0;
    QTest::newRow("64-bit energy counter")
        << QByteArray("262143328850\n") << true << 262143328850.0;
    QTest::newRow("empty") << QByteArray() << false << 0.0;
    QTest::newRow("newline only") << QByteArray("\n") << false << 0.0;
    QTest::newRow("sign only") << QByteArray("-\n") << false << 0.0;
    QTest::newRow("fraction without digits first") << QByteArray(".5") << false << 0.0;
    // strtod would take these; no sysfs value looks like them.
    QTest::newRow("nan") << QByteArray("nan") << false << 0.0;
    QTest::newRow("infinity") << QByteArray("inf") << false << 0.0;
    QTest::newRow("hex") << QByteArray("0x1F") << true << 0.0;
    QTest::newRow("state word") << QByteArray("suspended\n") << false << 0.0;
    QTest::newRow("too large for a double") << QByteArray(400, '9') << false << 0.0;
}

void TestValueFile::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(double, value);

    double parsed = -1;
    QCOMPARE(parseSysfsValue(text.constData(), size_t(text.size()), parsed), ok);
    if (ok)
        QCOMPARE(parsed, value);
    else
        QCOMPARE(parsed, -1.0); // left alone on failure
}

void TestValueFile::parseStopsAtLength()
{
    // Read buffers are not NUL-terminated: digits past the length must not count.
    const char text[] = {'4', '2', '9', '9'};
    double value = 0;
    QVERIFY(parseSysfsValue(text, 2, value));
    QCOMPARE(value, 42.0);
    QVERIFY(!parseSysfsValue(text, 0, value));
    QVERIFY(!parseSysfsValue(nullptr, 4, value));
}

void TestValueFile::parseIgnoresLocale()
{
    // The library runs inside a Qt program, which takes the user's locale for C functions.
    const char *german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    double value = 0;
    QVERIFY(parseSysfsValue("3591.998", 8, value));
    std::setlocale(LC_NUMERIC, "C");
    QCOMPARE(value, 3591.998);
    if (!german)
        QSKIP("no de_DE locale here: parsed in the C locale only");
}

void TestValueFile::readsChangesInPlace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("temp1_input"));
    writeFile(path, "45000\n");
    ValueFile file(QFile::encodeName(path).toStdString());
    double value = 0;
    QVERIFY(file.readNumber(value));
    QCOMPARE(value, 45000.0);

    // sysfs rewrites a value in place; a shorter one must not keep the old tail.
    writeFile(path, "9\n");
    QVERIFY(file.readNumber(value));
    QCOMPARE(value, 9.0);
    writeFile(path, "123456\n");
    QVERIFY(file.readNumber(value));
    QCOMPARE(value, 123456.0);
    writeFile(path, "");
    QVERIFY(!file.readNumber(value));
}

void TestValueFile::missingFileReadLater()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("energy_uj"));
    ValueFile file(QFile::encodeName(path).toStdString());
    double value = 0;
    QVERIFY(!file.readNumber(value));
    std::string content = "old";
    QVERIFY(!file.readUpTo(4096, content));
    QVERIFY(content.empty());

    writeFile(path, "1000\n");
    QVERIFY(file.readNumber(value));
    QCOMPARE(value, 1000.0);
}

void TestValueFile::readUpToLongerThanOneChunk()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cpuinfo"));
    QByteArray big;
    for (int i = 0; i < 2000; ++i)
        big += "processor\t: " + QByteArray::number(i) + "\ncpu MHz\t\t: 2400.000\n";
    writeFile(path, big);
    ValueFile file(QFile::encodeName(path).toStdString());
    std::string content;
    QVERIFY(file.readUpTo(1 << 20, content));
    QCOMPARE(QByteArray::fromStdString(content), big);
    // Read again from the start, not appended to the first read.
    writeFile(path, "processor\t: 0\n");
    QVERIFY(file.readUpTo(1 << 20, content));
    QCOMPARE(content, std::string("processor\t: 0\n"));
}

void TestValueFile::boundedRead_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("limit");

    QTest::newRow("empty file") << 0 << 4096;
    QTest::newRow("short attribute") << 6 << 4096;
    QTest::newRow("one byte below the limit") << 4095 << 4096;
    QTest::newRow("at the limit") << 4096 << 4096;
    QTest::newRow("one byte past the limit") << 4097 << 4096;
    QTest::newRow("limit inside the second chunk") << 20000 << 5000;
    QTest::newRow("many chunks below the limit") << 300000 << (1 << 20);
    QTest::newRow("zero limit") << 10 << 0;
}

// The helper every text file of the sensor library and the inventory goes through: at most
// the limit, from the file's start, by path or by a kept-open descriptor, whatever the
// descriptor's own offset.
void TestValueFile::boundedRead()
{
    QFETCH(int, size);
    QFETCH(int, limit);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file"));
    QByteArray content(size, '\0');
    for (int i = 0; i < size; ++i)
        content[i] = char('a' + i % 26);
    writeFile(path, content);
    const std::string expected = content.left(limit).toStdString();

    std::string got = "old text";
    QVERIFY(hwsensors::readFileBounded(path.toStdString(), size_t(limit), got));
    QCOMPARE(got, expected);

    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    QCOMPARE(::lseek(fd, 3, SEEK_SET), off_t(3));
    got = "old text";
    const bool ok = hwsensors::readBounded(fd, size_t(limit), got);
    ::close(fd);
    QVERIFY(ok);
    QCOMPARE(got, expected);

    ValueFile kept(path.toStdString());
    QVERIFY(kept.readUpTo(size_t(limit), got));
    QVERIFY(kept.readUpTo(size_t(limit), got));
    QCOMPARE(got, expected);
}

// A 1 GB sparse file in place of a label: a page of it is read, not the gigabyte (before, this
// took seconds and memory three times the file's size). bench_boundedRead measures the time.
void TestValueFile::boundedReadOfAHugeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("temp1_label"));
    writeFile(path, "Tctl\n");
    QVERIFY(QFile(path).resize(qint64(1) << 30));

    std::string got;
    QVERIFY(hwsensors::readFileBounded(path.toStdString(), hwsensors::kAttributeLimit, got));
    QCOMPARE(got.size(), hwsensors::kAttributeLimit);
    QCOMPARE(got.substr(0, 5), std::string("Tctl\n"));
    QCOMPARE(hwsensors::SysRoot(dir.path().toStdString()).readLine("/temp1_label"),
             std::string("Tctl"));
    QVERIFY(got.capacity() < 2 * hwsensors::kAttributeLimit);
}

QTEST_GUILESS_MAIN(TestValueFile)
#include "tst_valueFile.moc"
