// The endpoint's texts without a network: the listen option, the Prometheus exposition, the
// JSON and the answer to each request, with names and locales that broke other monitors.
#include "app/RefreshSnapshot.h"
#include "endpoint/EndpointPass.h"
#include "endpoint/EndpointRoutes.h"
#include "endpoint/ListenAddress.h"
#include "endpoint/PrometheusText.h"
#include "endpoint/ReadingsJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <cmath>
#include <limits>

namespace {

// A quote, a backslash, a newline, a control character and text outside ASCII.
const QByteArray oddSensor = "Board \"X\\Y\"\nrev\x01 2 \xc3\x9c"
                             "ber \xe2\x80\x94 \xe6\xb8\xa9";
const QByteArray oddReading = "Temp \"1\" \\ \xc2\xb0"
                              "C";

SourceCandidate candidate(const QByteArray &sensor, ReadingKind kind, const QByteArray &name,
                          double value)
{
    return SourceCandidate{sensor, kind, name, value};
}

// A pass with one CPU sensor, one odd sensor and a duplicate reading.
EndpointPass samplePass()
{
    RefreshSnapshot snapshot;
    snapshot.readings.cpuTemperature = 45.7f;
    snapshot.readings.cpuUsage = 37.5f;
    snapshot.readings.cpuClock = 4700.5f;
    snapshot.memory = {true, 42, 16ull << 30, 9ull << 30};
    snapshot.drive = {true, 1000, 250};
    SourceReport sources;
    sources.candidates = {
        candidate("CPU [#0]: Test CPU", ReadingKind::Temperature, "CPU Package", 45.7),
        candidate("CPU [#0]: Test CPU", ReadingKind::Usage, "Total", 37.5),
        candidate("CPU [#0]: Test CPU", ReadingKind::Clock, "Core 0", 4700.5),
        candidate(oddSensor, ReadingKind::Temperature, oddReading, 51.25),
        candidate(oddSensor, ReadingKind::Temperature, oddReading, 99),
        candidate(oddSensor, ReadingKind::Fan, "Pump", std::numeric_limits<double>::quiet_NaN())};
    sources.chosen[0] = 0;
    sources.reasons[0] = SensorSources::Reason::Table;
    sources.chosen[5] = 3; // a GPU temperature chosen by the user
    sources.reasons[5] = SensorSources::Reason::Override;
    sources.chosen[1] = 77; // out of range: no source
    PassFacts facts;
    facts.connected = true;
    facts.reportsSent = 12;
    facts.passSeconds = 0.0015;
    facts.time = QDateTime(QDate(2026, 12, 9), QTime(7, 30, 1, 250), Qt::UTC);
    return Endpoint::makePass(snapshot, sources, facts);
}

QJsonObject parsedJson(const EndpointPass &pass)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(Endpoint::readingsJson(pass), &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "JSON not readable:" << error.errorString();
    return document.object();
}

} // namespace

class TestEndpointFormats : public QObject
{
    Q_OBJECT

private slots:
    void listenOption_data();
    void listenOption();
    void labelEscaping_data();
    void labelEscaping();
    void sampleValues_data();
    void sampleValues();
    void exposition();
    void jsonReadsBack();
    void commaLocale();
    void answers_data();
    void answers();
};

void TestEndpointFormats::listenOption_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("address"); // text() when enabled
    QTest::addColumn<bool>("loopback");

    QTest::newRow("off") << "off" << true << false << "" << false;
    QTest::newRow("OFF spaced") << "  OFF " << true << false << "" << false;
    QTest::newRow("on: our port") << "on" << true << true << "127.0.0.1:10791" << true;
    QTest::newRow("loopback") << "127.0.0.1:9100" << true << true << "127.0.0.1:9100" << true;
    QTest::newRow("other loopback") << "127.0.0.2:80" << true << true << "127.0.0.2:80" << true;
    QTest::newRow("localhost") << "LocalHost:8080" << true << true << "127.0.0.1:8080" << true;
    QTest::newRow("all IPv4") << "0.0.0.0:10791" << true << true << "0.0.0.0:10791" << false;
    QTest::newRow("LAN") << "192.168.1.20:65535" << true << true << "192.168.1.20:65535" << false;
    QTest::newRow("IPv6 loopback") << "[::1]:10791" << true << true << "[::1]:10791" << true;
    QTest::newRow("IPv6 any") << "[::]:1" << true << true << "[::]:1" << false;
    QTest::newRow("IPv6 upper") << "[FE80::1]:2" << true << true << "[fe80::1]:2" << false;

    QTest::newRow("empty") << "" << false << false << "" << false;
    QTest::newRow("port only") << "10791" << false << false << "" << false;
    QTest::newRow("no port") << "127.0.0.1:" << false << false << "" << false;
    QTest::newRow("port 0") << "127.0.0.1:0" << false << false << "" << false;
    QTest::newRow("port too big") << "127.0.0.1:65536" << false << false << "" << false;
    QTest::newRow("signed port") << "127.0.0.1:+80" << false << false << "" << false;
    QTest::newRow("spaced port") << "127.0.0.1: 80" << false << false << "" << false;
    QTest::newRow("wide digits") << QString::fromUtf8("127.0.0.1:\xef\xbc\x98\xef\xbc\x90") << false
                                 << false << "" << false;
    QTest::newRow("octet too big") << "256.0.0.1:80" << false << false << "" << false;
    QTest::newRow("three octets") << "1.2.3:80" << false << false << "" << false;
    QTest::newRow("signed octet") << "1.+2.3.4:80" << false << false << "" << false;
    QTest::newRow("host name") << "example.org:80" << false << false << "" << false;
    QTest::newRow("bare IPv6") << "::1:80" << false << false << "" << false;
    QTest::newRow("open bracket") << "[::1:80" << false << false << "" << false;
    QTest::newRow("bracketed IPv4") << "[127.0.0.1]:80" << false << false << "" << false;
}

void TestEndpointFormats::listenOption()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(bool, enabled);
    QFETCH(QString, address);
    QFETCH(bool, loopback);
    const ListenAddress parsed = Endpoint::parseListen(text);
    QCOMPARE(parsed.valid, valid);
    QCOMPARE(parsed.enabled, enabled);
    QCOMPARE(parsed.error.isEmpty(), valid);
    if (enabled) {
        QCOMPARE(parsed.text(), address);
        QCOMPARE(parsed.isLoopback(), loopback);
    }
}

void TestEndpointFormats::labelEscaping_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("escaped");
    QTest::newRow("plain") << "CPU Package" << QByteArray("CPU Package");
    QTest::newRow("quote") << "a\"b" << QByteArray("a\\\"b");
    QTest::newRow("backslash") << "a\\b" << QByteArray("a\\\\b");
    QTest::newRow("newline") << "a\nb" << QByteArray("a\\nb");
    QTest::newRow("escape sequence text") << "\\n" << QByteArray("\\\\n");
    QTest::newRow("tab and CR kept") << "a\tb\rc" << QByteArray("a\tb\rc");
    QTest::newRow("non-ASCII as UTF-8") << QString::fromUtf8("\xc3\x9c"
                                                             "ber \xe6\xb8\xa9")
                                        << QByteArray("\xc3\x9c"
                                                      "ber \xe6\xb8\xa9");
    // Never half a character: the output stays valid UTF-8.
    QTest::newRow("lone surrogate") << QString(QChar(0xd800)) << QByteArray("?");
    QTest::newRow("invalid UTF-8 from the library")
        << Endpoint::decodeName("a\xff\xc3") << QByteArray("a\xef\xbf\xbd\xef\xbf\xbd");
}

void TestEndpointFormats::labelEscaping()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, escaped);
    QCOMPARE(Endpoint::escapeLabelValue(value), escaped);
}

void TestEndpointFormats::sampleValues_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("zero") << 0.0 << QByteArray("0");
    QTest::newRow("fraction") << 45.5 << QByteArray("45.5");
    QTest::newRow("negative") << -12.25 << QByteArray("-12.25");
    QTest::newRow("hertz") << 4700.5e6 << QByteArray("4700500000");
    QTest::newRow("tiny") << 1e-7 << QByteArray("1e-07");
    QTest::newRow("huge") << 1e300 << QByteArray("1e+300");
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << QByteArray("NaN");
    QTest::newRow("+Inf") << std::numeric_limits<double>::infinity() << QByteArray("+Inf");
    QTest::newRow("-Inf") << -std::numeric_limits<double>::infinity() << QByteArray("-Inf");
    QTest::newRow("float kept short") << Endpoint::decimalValue(45.7f) << QByteArray("45.7");
}

void TestEndpointFormats::sampleValues()
{
    QFETCH(double, value);
    QFETCH(QByteArray, text);
    QCOMPARE(Endpoint::sampleValue(value), text);
}

void TestEndpointFormats::exposition()
{
    const QByteArray text = Endpoint::prometheusText(samplePass());
    const QByteArray odd = "sensor=\"Board \\\"X\\\\Y\\\"\\nrev\x01 2 \xc3\x9c"
                           "ber \xe2\x80\x94 "
                           "\xe6\xb8\xa9\",reading=\"Temp \\\"1\\\" \\\\ \xc2\xb0"
                           "C\"";
    QVERIFY(text.contains("tarnix_temperature_celsius{sensor=\"CPU [#0]: Test CPU\","
                          "reading=\"CPU Package\"} 45.7\n"));
    // The duplicate series is dropped: the first value stays.
    QVERIFY(text.contains("tarnix_temperature_celsius{" + odd + "} 51.25\n"));
    QCOMPARE(text.count("tarnix_temperature_celsius{" + odd + "}"), 1);
    QByteArray oddPump = odd;
    oddPump.replace("Temp \\\"1\\\" \\\\ \xc2\xb0"
                    "C",
                    "Pump");
    QVERIFY(text.contains("tarnix_fan_speed_rpm{" + oddPump + "} NaN\n"));
    QVERIFY(text.contains("\ntarnix_usage_ratio{sensor=\"CPU [#0]: Test CPU\",reading=\"Total\"} "
                          "0.375\n"));
    QVERIFY(text.contains("\ntarnix_clock_hertz{sensor=\"CPU [#0]: Test CPU\",reading=\"Core "
                          "0\"} 4700500000\n"));
    QVERIFY(text.contains("\ntarnix_display_cpu_temperature_celsius 45.7\n"));
    QVERIFY(text.contains("\ntarnix_display_cpu_usage_ratio 0.375\n"));
    QVERIFY(text.contains("\ntarnix_display_memory_usage_ratio 0.42\n"));
    QVERIFY(text.contains("\ntarnix_display_memory_size_bytes 17179869184\n"));
    QVERIFY(text.contains("\ntarnix_display_drive_usage_ratio 0.75\n"));
    QVERIFY(text.contains("\ntarnix_display_connected 1\n"));
    QVERIFY(
        text.contains("# TYPE tarnix_reports_sent_total counter\ntarnix_reports_sent_total 12\n"));
    QVERIFY(text.contains("\ntarnix_pass_duration_seconds 0.0015\n"));
    QVERIFY(text.contains("\ntarnix_build_info{version=\""));
    // Every metric has its HELP and TYPE once, and the text ends with a newline.
    QCOMPARE(text.count("# TYPE tarnix_temperature_celsius gauge\n"), 1);
    QCOMPARE(text.count("# HELP "), text.count("# TYPE "));
    QVERIFY(text.endsWith('\n'));

    EndpointPass noDrive = samplePass();
    noDrive.driveFound = false;
    noDrive.memoryValid = false;
    const QByteArray without = Endpoint::prometheusText(noDrive);
    QVERIFY(!without.contains("tarnix_display_drive_"));
    QVERIFY(!without.contains("tarnix_display_memory_usage"));
}

void TestEndpointFormats::jsonReadsBack()
{
    const QJsonObject root = parsedJson(samplePass());
    QVERIFY(!root.isEmpty());
    QCOMPARE(root.value("time").toString(), QStringLiteral("2026-12-09T07:30:01.250Z"));
    QVERIFY(!root.value("version").toString().isEmpty());
    const QJsonArray sensors = root.value("sensors").toArray();
    QCOMPARE(sensors.size(), 2);
    const QJsonObject odd = sensors.at(1).toObject();
    QCOMPARE(odd.value("name").toString(), QString::fromUtf8(oddSensor));
    const QJsonArray readings = odd.value("readings").toArray();
    QCOMPARE(readings.size(), 3);
    const QJsonObject first = readings.at(0).toObject();
    QCOMPARE(first.value("name").toString(), QString::fromUtf8(oddReading));
    QCOMPARE(first.value("kind").toString(), QStringLiteral("temperature"));
    QCOMPARE(first.value("unit").toString(), QString::fromUtf8("\xc2\xb0"
                                                               "C"));
    QCOMPARE(first.value("value").toDouble(), 51.25);
    QVERIFY(readings.at(2).toObject().value("value").isNull()); // NaN

    const QJsonObject display = root.value("display").toObject();
    QCOMPARE(display.value("connected").toBool(), true);
    QCOMPARE(display.value("reportsSent").toDouble(), 12.0);
    QCOMPARE(display.value("memory").toObject().value("usagePercent").toInt(), 42);
    QCOMPARE(display.value("drive").toObject().value("usagePercent").toInt(), 75);
    const QJsonObject values = display.value("values").toObject();
    QCOMPARE(values.size(), SensorSources::kValueCount);
    const QJsonObject cpuTemperature = values.value("cpuTemperature").toObject();
    QCOMPARE(cpuTemperature.value("value").toDouble(), 45.7);
    QCOMPARE(cpuTemperature.value("reason").toString(), QStringLiteral("table"));
    QCOMPARE(cpuTemperature.value("source").toObject().value("reading").toString(),
             QStringLiteral("CPU Package"));
    QCOMPARE(values.value("gpuTemperature")
                 .toObject()
                 .value("source")
                 .toObject()
                 .value("sensor")
                 .toString(),
             QString::fromUtf8(oddSensor));
    QVERIFY(values.value("cpuUsage").toObject().value("source").isNull());
}

void TestEndpointFormats::commaLocale()
{
    // The C library's numbers too, not only Qt's: a locale built for this test alone.
    QTemporaryDir locales;
    const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
    bool cLocaleSet = false;
    if (!localedef.isEmpty() &&
        QProcess::execute(localedef, {QStringLiteral("-i"), QStringLiteral("de_DE"),
                                      QStringLiteral("-f"), QStringLiteral("UTF-8"),
                                      locales.filePath(QStringLiteral("de_DE.UTF-8"))}) == 0) {
        qputenv("LOCPATH", QFile::encodeName(locales.path()));
        cLocaleSet = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    if (cLocaleSet)
        QCOMPARE(QByteArray(probe), QByteArray("1,5")); // the locale really is in force

    const EndpointPass pass = samplePass();
    const QByteArray text = Endpoint::prometheusText(pass);
    QVERIFY(text.contains("tarnix_display_cpu_temperature_celsius 45.7\n"));
    QVERIFY(text.contains("tarnix_pass_duration_seconds 0.0015\n"));
    QVERIFY(!text.contains("45,7"));
    const QJsonObject root = parsedJson(pass);
    QCOMPARE(root.value("passSeconds").toDouble(), 0.0015);
    QVERIFY(!Endpoint::readingsJson(pass).contains("45,7"));

    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    if (!cLocaleSet)
        QSKIP("localedef could not build de_DE.UTF-8: only Qt's default locale was checked");
}

void TestEndpointFormats::answers_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("withPass");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("allow");

    const QByteArray prom = "text/plain; version=0.0.4; charset=utf-8";
    const QByteArray plain = "text/plain; charset=utf-8";
    QTest::newRow("metrics") << QByteArray("GET") << QByteArray("/metrics") << true << 200 << prom
                             << QByteArray();
    QTest::newRow("metrics HEAD") << QByteArray("HEAD") << QByteArray("/metrics") << true << 200
                                  << prom << QByteArray();
    QTest::newRow("json") << QByteArray("GET") << QByteArray("/readings.json") << true << 200
                          << QByteArray("application/json") << QByteArray();
    QTest::newRow("index") << QByteArray("GET") << QByteArray("/") << false << 200 << plain
                           << QByteArray();
    QTest::newRow("before the first pass")
        << QByteArray("GET") << QByteArray("/metrics") << false << 503 << plain << QByteArray();
    QTest::newRow("elsewhere") << QByteArray("GET") << QByteArray("/metrics/") << true << 404
                               << plain << QByteArray();
    QTest::newRow("case matters") << QByteArray("GET") << QByteArray("/Metrics") << true << 404
                                  << plain << QByteArray();
    QTest::newRow("POST") << QByteArray("POST") << QByteArray("/metrics") << true << 405 << plain
                          << QByteArray("GET, HEAD");
    QTest::newRow("DELETE elsewhere") << QByteArray("DELETE") << QByteArray("/x") << true << 405
                                      << plain << QByteArray("GET, HEAD");
    QTest::newRow("lower-case get") << QByteArray("get") << QByteArray("/metrics") << true << 405
                                    << plain << QByteArray("GET, HEAD");
}

void TestEndpointFormats::answers()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    QFETCH(bool, withPass);
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, allow);
    const EndpointPass pass = samplePass();
    const EndpointReply reply = Endpoint::answer(method, path, withPass ? &pass : nullptr);
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.contentType, contentType);
    QCOMPARE(reply.allow, allow);
    QVERIFY(!reply.body.isEmpty());
}

QTEST_GUILESS_MAIN(TestEndpointFormats)
#include "tst_endpointFormats.moc"
