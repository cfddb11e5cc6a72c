#include "device/DeviceFrame.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr quint64 MiB = 1048576ULL;
constexpr quint64 GiB = 1073741824ULL;

QByteArray bytes(const DeviceFrame &frame, int offset, int count)
{
    return QByteArray(reinterpret_cast<const char *>(frame.data()) + offset, count);
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

Q_DECLARE_METATYPE(DeviceFrameInput)

class TestDeviceFrame : public QObject
{
    Q_OBJECT
private slots:
    void everyFieldAtItsOffset();
    void temperatureByte_data();
    void temperatureByte();
    void wideFields_data();
    void wideFields();
    void fieldLimits_data();
    void fieldLimits();
    void drive_data();
    void drive();
    void dateAndTime();
    void checksum_data();
    void checksum();
    void driveUsagePercent_data();
    void driveUsagePercent();
};

void TestDeviceFrame::everyFieldAtItsOffset()
{
    DeviceFrameInput in;
    in.readings.cpuTemperature = 45.9f;
    in.readings.cpuUsage = 12.7f;
    in.readings.cpuClock = 4700.6f;
    in.readings.cpuFan = 1234.5f;
    in.readings.cpuPower = 65.2f;
    in.readings.gpuTemperature = 61.0f;
    in.readings.gpuUsage = 99.9f;
    in.readings.gpuClock = 1950.0f;
    in.readings.gpuFan = 2100.0f;
    in.readings.gpuPower = 250.7f;
    in.readings.boardTemperature = 40.0f; // not sent
    in.readings.memoryClock = 3200.0f;    // not sent
    in.memoryLoad = 37;
    in.memoryTotalBytes = 16 * GiB;
    in.driveUsage = 60;
    in.driveTotalBytes = 1000000000000ULL;
    in.localTime = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53));

    const DeviceFrame frame = buildDeviceFrame(in);

    // Fan before power for both processors; 2-byte values high byte first.
    // clang-format off
    const QByteArray expected = hex("00" "40"
                                    "2d" "0c" "125c" "04d2" "0041"  // CPU
                                    "3d" "63" "079e" "0834" "00fa"  // GPU
                                    "25" "4000" "3c" "03a3"         // memory, drive
                                    "07ea" "03" "0e" "09" "1a"      // date, time
                                    "e5")                           // checksum
                                + QByteArray(34, '\0');
    // clang-format on
    QCOMPARE(bytes(frame, 0, 65).toHex(), expected.toHex());
}

void TestDeviceFrame::temperatureByte_data()
{
    QTest::addColumn<float>("celsiusReading");
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<int>("expected");

    QTest::newRow("45.9 C truncates") << 45.9f << true << 0x2D;
    QTest::newRow("45.9 in Fahrenheit mode marks bit 7") << 45.9f << false << 0xAD;
    QTest::newRow("missing sensor sends 0") << 0.0f << true << 0x00;
    QTest::newRow("missing sensor in Fahrenheit mode") << 0.0f << false << 0x80;
    QTest::newRow("128 C keeps the low 8 bits") << 128.0f << true << 0x80;
    QTest::newRow("255 C is the largest byte") << 255.0f << true << 0xFF;
    QTest::newRow("300 C saturates") << 300.0f << true << 0xFF;
    QTest::newRow("300 C in Fahrenheit mode") << 300.0f << false << 0xFF;
    QTest::newRow("100 C in Fahrenheit mode") << 100.0f << false << 0xE4;
    QTest::newRow("negative truncates toward zero") << -5.7f << true << 0xFB;
    QTest::newRow("negative in Fahrenheit mode") << -5.7f << false << 0xFB;
    QTest::newRow("NaN sends 0") << std::numeric_limits<float>::quiet_NaN() << true << 0x00;
}

void TestDeviceFrame::temperatureByte()
{
    QFETCH(float, celsiusReading);
    QFETCH(bool, celsius);
    QFETCH(int, expected);

    DeviceFrameInput cpu;
    cpu.celsius = celsius;
    cpu.readings.cpuTemperature = celsiusReading;
    cpu.readings.gpuTemperature = 33.0f;
    DeviceFrame frame = buildDeviceFrame(cpu);
    QCOMPARE(int(frame[2]), expected);
    QCOMPARE(int(frame[10]), celsius ? 33 : (33 | 0x80));

    DeviceFrameInput gpu;
    gpu.celsius = celsius;
    gpu.readings.gpuTemperature = celsiusReading;
    frame = buildDeviceFrame(gpu);
    QCOMPARE(int(frame[10]), expected);
}

void TestDeviceFrame::wideFields_data()
{
    QTest::addColumn<DeviceFrameInput>("input");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");

    DeviceFrameInput in;
    in.readings.cpuClock = 4700.6f;
    QTest::newRow("CPU clock 4700.6 MHz") << in << 4 << hex("125c");

    in = DeviceFrameInput();
    in.memoryTotalBytes = 16 * GiB - 1;
    QTest::newRow("memory size truncates") << in << 19 << hex("3fff");

    in.memoryTotalBytes = 64 * GiB - MiB;
    QTest::newRow("memory size 65535 MiB") << in << 19 << hex("ffff");
}

void TestDeviceFrame::wideFields()
{
    QFETCH(DeviceFrameInput, input);
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);

    const DeviceFrame frame = buildDeviceFrame(input);
    QCOMPARE(bytes(frame, offset, expected.size()).toHex(), expected.toHex());
}

void TestDeviceFrame::fieldLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");

    struct Field
    {
        const char *name;
        bool wide;
    };
    const Field fields[] = {
        {"cpuTemperature", false}, {"cpuUsage", false},   {"cpuClock", true},
        {"cpuFan", true},          {"cpuPower", true},    {"gpuTemperature", false},
        {"gpuUsage", false},       {"gpuClock", true},    {"gpuFan", true},
        {"gpuPower", true},        {"memoryLoad", false}, {"memorySize", true},
        {"driveUsage", false},     {"driveSize", true},
    };
    for (const Field &f : fields) {
        const auto row = [&](const char *what, double value, const char *expected) {
            QTest::addRow("%s %s", f.name, what)
                << QString::fromLatin1(f.name) << value << hex(expected);
        };
        if (f.wide) {
            row("one below its limit", 65534, "fffe");
            row("at its limit", 65535, "ffff");
            row("just past its limit", 65536, "ffff");
            row("70000 does not wrap to 4464", 70000, "ffff");
            row("far past its limit", 1e11, "ffff");
        } else {
            row("one below its limit", 254, "fe");
            row("at its limit", 255, "ff");
            row("just past its limit", 256, "ff");
            row("300 does not wrap to 44", 300, "ff");
            row("far past its limit", 3e9, "ff");
        }
    }
    // Negative readings keep their low bits.
    QTest::newRow("cpuClock -1") << QStringLiteral("cpuClock") << -1.0 << hex("ffff");
    QTest::newRow("gpuFan -70000") << QStringLiteral("gpuFan") << -70000.0 << hex("ee90");
    QTest::newRow("gpuUsage -1") << QStringLiteral("gpuUsage") << -1.0 << hex("ff");
    QTest::newRow("cpuTemperature -300") << QStringLiteral("cpuTemperature") << -300.0 << hex("d4");
    QTest::newRow("cpuPower far below 32 bits")
        << QStringLiteral("cpuPower") << -1e12 << hex("0000");
    QTest::newRow("cpuFan NaN") << QStringLiteral("cpuFan")
                                << std::numeric_limits<double>::quiet_NaN() << hex("0000");
}

// Each field filled on its own at the given value, the rest of the frame as for no value.
void TestDeviceFrame::fieldLimits()
{
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(QByteArray, expected);

    struct Place
    {
        int offset;
        std::function<void(DeviceFrameInput &, double)> set;
    };
    const QHash<QString, Place> places{
        {"cpuTemperature", {2, [](auto &in, double v) { in.readings.cpuTemperature = v; }}},
        {"cpuUsage", {3, [](auto &in, double v) { in.readings.cpuUsage = v; }}},
        {"cpuClock", {4, [](auto &in, double v) { in.readings.cpuClock = v; }}},
        {"cpuFan", {6, [](auto &in, double v) { in.readings.cpuFan = v; }}},
        {"cpuPower", {8, [](auto &in, double v) { in.readings.cpuPower = v; }}},
        {"gpuTemperature", {10, [](auto &in, double v) { in.readings.gpuTemperature = v; }}},
        {"gpuUsage", {11, [](auto &in, double v) { in.readings.gpuUsage = v; }}},
        {"gpuClock", {12, [](auto &in, double v) { in.readings.gpuClock = v; }}},
        {"gpuFan", {14, [](auto &in, double v) { in.readings.gpuFan = v; }}},
        {"gpuPower", {16, [](auto &in, double v) { in.readings.gpuPower = v; }}},
        {"memoryLoad", {18, [](auto &in, double v) { in.memoryLoad = quint32(v); }}},
        {"memorySize", {19, [](auto &in, double v) { in.memoryTotalBytes = quint64(v) * MiB; }}},
        {"driveUsage", {21, [](auto &in, double v) { in.driveUsage = int(qMin(v, 2e9)); }}},
        {"driveSize", {22, [](auto &in, double v) { in.driveTotalBytes = quint64(v) * GiB; }}},
    };
    QVERIFY(places.contains(field));
    const Place place = places.value(field);

    DeviceFrameInput in;
    place.set(in, value);
    DeviceFrame frame = buildDeviceFrame(in);
    QCOMPARE(bytes(frame, place.offset, expected.size()).toHex(), expected.toHex());

    // The other bytes stay those of an empty frame; the checksum follows the field.
    DeviceFrame empty = buildDeviceFrame(DeviceFrameInput());
    int sum = 0;
    for (int i = 0; i < expected.size(); ++i) {
        empty[place.offset + i] = quint8(expected[i]);
        sum += quint8(expected[i]);
    }
    empty[30] = quint8(0x40 + sum);
    QCOMPARE(bytes(frame, 0, 65).toHex(), bytes(empty, 0, 65).toHex());
}

void TestDeviceFrame::drive_data()
{
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("free");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("1 TB with 40% free")
        << quint64(1000000000000ULL) << quint64(400000000000ULL) << hex("3c03a3");
    QTest::newRow("no system drive") << quint64(0) << quint64(0) << hex("000000");
    QTest::newRow("100 TiB saturates the size")
        << quint64(100ULL * 1024 * GiB) << quint64(100ULL * 1024 * GiB) << hex("00ffff");
}

void TestDeviceFrame::drive()
{
    QFETCH(quint64, total);
    QFETCH(quint64, free);
    QFETCH(QByteArray, expected);

    DeviceFrameInput in;
    in.driveUsage = ::driveUsagePercent(total, free);
    in.driveTotalBytes = total;
    const DeviceFrame frame = buildDeviceFrame(in);
    QCOMPARE(bytes(frame, 21, 3).toHex(), expected.toHex());
}

void TestDeviceFrame::dateAndTime()
{
    DeviceFrameInput in;
    in.localTime = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999));
    const DeviceFrame frame = buildDeviceFrame(in);
    QCOMPARE(bytes(frame, 24, 6).toHex(), hex("07ea0c1f173b").toHex());
}

void TestDeviceFrame::checksum_data()
{
    QTest::addColumn<DeviceFrameInput>("input");
    QTest::addColumn<int>("expected");

    DeviceFrameInput in;
    in.readings.cpuTemperature = 45.0f;
    in.readings.cpuUsage = 5.0f;
    QTest::newRow("0x40 + 0x2D + 0x05") << in << 0x72;

    in.readings.cpuTemperature = 255.0f;
    in.readings.cpuUsage = 180.0f;
    QTest::newRow("sum 0x1F3 wraps") << in << 0xF3;

    in = DeviceFrameInput();
    QTest::newRow("marker alone") << in << 0x40;
}

void TestDeviceFrame::checksum()
{
    QFETCH(DeviceFrameInput, input);
    QFETCH(int, expected);

    const DeviceFrame frame = buildDeviceFrame(input);
    QCOMPARE(int(frame[0]), 0);
    QCOMPARE(int(frame[30]), expected);
    QCOMPARE(bytes(frame, 31, 34), QByteArray(34, '\0'));
}

void TestDeviceFrame::driveUsagePercent_data()
{
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("free");
    QTest::addColumn<int>("expected");

    QTest::newRow("size 0") << quint64(0) << quint64(0) << 0;
    QTest::newRow("1 TB, 40% free") << quint64(1000000000000ULL) << quint64(400000000000ULL) << 60;
    QTest::newRow("full") << quint64(500) << quint64(0) << 100;
    QTest::newRow("empty") << quint64(500) << quint64(500) << 0;
    QTest::newRow("99.5% truncates, not rounds") << quint64(1000) << quint64(5) << 99;
    QTest::newRow("two thirds") << quint64(3) << quint64(1) << 66;
}

void TestDeviceFrame::driveUsagePercent()
{
    QFETCH(quint64, total);
    QFETCH(quint64, free);
    QFETCH(int, expected);
    QCOMPARE(::driveUsagePercent(total, free), expected);
}

QTEST_APPLESS_MAIN(TestDeviceFrame)
#include "tst_deviceframe.moc"
