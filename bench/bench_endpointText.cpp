// The endpoint's texts of one pass with a desktop's readings (ten sensors, 70 readings):
// what a scrape costs before the HTTP library's share.
#include "endpoint/EndpointPass.h"
#include "endpoint/PrometheusText.h"
#include "endpoint/ReadingsJson.h"

#include <QtTest>

namespace {

EndpointPass desktopPass()
{
    EndpointPass pass;
    const ReadingKind kinds[] = {ReadingKind::Temperature, ReadingKind::Usage, ReadingKind::Clock,
                                 ReadingKind::Fan, ReadingKind::Power};
    for (int sensor = 0; sensor < 10; ++sensor) {
        for (int reading = 0; reading < 7; ++reading)
            pass.readings.push_back(EndpointReading{
                QStringLiteral("Sensor [#%1]: Some Device").arg(sensor), kinds[reading % 5],
                QStringLiteral("Reading %1").arg(reading), 40.5 + reading});
    }
    pass.memoryValid = pass.driveFound = true;
    pass.time = QDateTime::currentDateTimeUtc();
    pass.version = QStringLiteral("1.0.0");
    return pass;
}

} // namespace

class BenchEndpointText : public QObject
{
    Q_OBJECT
private slots:
    void prometheus()
    {
        const EndpointPass pass = desktopPass();
        QBENCHMARK
        {
            Endpoint::prometheusText(pass);
        }
    }
    void json()
    {
        const EndpointPass pass = desktopPass();
        QBENCHMARK
        {
            Endpoint::readingsJson(pass);
        }
    }
};

QTEST_GUILESS_MAIN(BenchEndpointText)
#include "bench_endpointText.moc"
