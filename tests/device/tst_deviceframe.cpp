#include "device/DeviceFrame.h"

#include <QtTest>

#include <cmath>
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
    QTest::newRow("300 C wraps") << 300.0f << true << 0x2C;
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
    in.readings.gpuClock = 70000.0f;
    QTest::newRow("GPU clock beyond 16 bits wraps") << in << 12 << hex("1170");

    in = DeviceFrameInput();
    in.readings.cpuPower = 1e12f;
    QTest::newRow("reading beyond 32 bits sends 0") << in << 8 << hex("0000");

    in = DeviceFrameInput();
    in.memoryTotalBytes = 64 * GiB;
    QTest::newRow("64 GiB of memory wraps to 0") << in << 19 << hex("0000");

    in.memoryTotalBytes = 64 * GiB + 3 * MiB + MiB / 2;
    QTest::newRow("memory above 64 GiB keeps the low bits") << in << 19 << hex("0003");

    in.memoryTotalBytes = 16 * GiB - 1;
    QTest::newRow("memory size truncates") << in << 19 << hex("3fff");

    in = DeviceFrameInput();
    in.memoryLoad = 300;
    QTest::newRow("memory load keeps the low 8 bits") << in << 18 << hex("2c");
}

void TestDeviceFrame::wideFields()
{
    QFETCH(DeviceFrameInput, input);
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);

    const DeviceFrame frame = buildDeviceFrame(input);
    QCOMPARE(bytes(frame, offset, expected.size()).toHex(), expected.toHex());
}

void TestDeviceFrame::drive_data()
{
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("free");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("1 TB with 40% free")
        << quint64(1000000000000ULL) << quint64(400000000000ULL) << hex("3c03a3");
    QTest::newRow("no system drive") << quint64(0) << quint64(0) << hex("000000");
    QTest::newRow("100 TiB wraps the size")
        << quint64(100ULL * 1024 * GiB) << quint64(100ULL * 1024 * GiB) << hex("009000");
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
