// The HTTP server in-process, through plain sockets: it answers from the published pass,
// says once when its port is taken, and stops at once, also while clients hold every worker.
#include "app/Monitor.h"
#include "endpoint/EndpointServer.h"
#include "endpoint/MonitorEndpoint.h"
#include "tests/support/CapturedMessages.h"

#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

// 127.0.0.1 and the port; 0 lets the system choose a free one.
ListenAddress loopback(quint16 port)
{
    ListenAddress address = Endpoint::parseListen(QStringLiteral("on"));
    address.port = port;
    return address;
}

int connectTo(quint16 port)
{
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(sock, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(sock);
        return -1;
    }
    timeval timeout{10, 0};
    setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    return sock;
}

// The whole answer to one request on a connection of its own.
QByteArray request(quint16 port, const QByteArray &text)
{
    const int sock = connectTo(port);
    if (sock < 0)
        return QByteArray();
    QByteArray answer;
    if (::send(sock, text.constData(), size_t(text.size()), 0) == text.size()) {
        char buffer[4096];
        ssize_t got;
        while ((got = ::recv(sock, buffer, sizeof buffer, 0)) > 0)
            answer.append(buffer, int(got));
    }
    ::close(sock);
    return answer;
}

QByteArray get(quint16 port, const QByteArray &method, const QByteArray &path)
{
    return request(port, method + ' ' + path + " HTTP/1.1\r\nHost: t\r\nConnection: close\r\n\r\n");
}

EndpointPassPtr onePass(double cpuTemperature)
{
    auto pass = std::make_shared<EndpointPass>();
    pass->values[0] = cpuTemperature;
    pass->version = QStringLiteral("9.9.9");
    return pass;
}

} // namespace

class TestEndpointServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { CapturedMessages::install(); }
    void answersFromThePublishedPass();
    void portInUse();
    void startAndStopAtOnce();
    void stopsWhileClientsHoldEveryWorker();
    void goesWithItsMonitor();
};

void TestEndpointServer::answersFromThePublishedPass()
{
    EndpointServer server;
    QVERIFY(server.start(loopback(0)));
    const quint16 port = server.port();
    QVERIFY(port != 0);
    QVERIFY(get(port, "GET", "/metrics").startsWith("HTTP/1.1 503"));

    server.publish(onePass(45.5));
    const QByteArray metrics = get(port, "GET", "/metrics?x=1");
    QVERIFY2(metrics.startsWith("HTTP/1.1 200"), metrics.left(200).constData());
    QVERIFY(metrics.contains("Content-Type: text/plain; version=0.0.4; charset=utf-8\r\n"));
    QVERIFY(metrics.contains("\ntarnix_display_cpu_temperature_celsius 45.5\n"));
    server.publish(onePass(50));
    QVERIFY(get(port, "GET", "/metrics").contains("\ntarnix_display_cpu_temperature_celsius 50\n"));

    const QByteArray head = get(port, "HEAD", "/readings.json");
    QVERIFY(head.startsWith("HTTP/1.1 200"));
    QVERIFY(head.contains("Content-Type: application/json\r\n"));
    QVERIFY(head.endsWith("\r\n\r\n")); // no body
    const QByteArray post = get(port, "POST", "/metrics");
    QVERIFY(post.startsWith("HTTP/1.1 405"));
    QVERIFY(post.contains("Allow: GET, HEAD\r\n"));
    QVERIFY(get(port, "GET", "/etc/passwd").startsWith("HTTP/1.1 404"));
    QVERIFY(get(port, "GET", "/../metrics").startsWith("HTTP/1.1 404"));
    // A body is never read: the answer comes without waiting for it.
    const QByteArray withBody = request(port, "GET /metrics HTTP/1.1\r\nHost: t\r\nConnection: "
                                              "close\r\nContent-Length: 100000000\r\n\r\nab");
    QVERIFY(withBody.startsWith("HTTP/1.1 200"));
}

void TestEndpointServer::portInUse()
{
    EndpointServer first;
    QVERIFY(first.start(loopback(0)));
    CapturedMessages::clear();
    EndpointServer second;
    ListenAddress same = loopback(first.port());
    QVERIFY(!second.start(same));
    QVERIFY(!second.isListening());
    QCOMPARE(CapturedMessages::count(
                 QStringLiteral("Endpoint -> cannot listen on 127.0.0.1:%1: the address is in use "
                                "or not available; the display is fed as before, without the "
                                "endpoint (choose another ADDRESS:PORT)")
                     .arg(first.port())),
             1);
    // The first still answers all requests: the port is not shared.
    first.publish(onePass(1));
    for (int i = 0; i < 6; ++i)
        QVERIFY(get(first.port(), "GET", "/metrics").startsWith("HTTP/1.1 200"));
}

void TestEndpointServer::startAndStopAtOnce()
{
    // stop() right after start() must not find the library's loop not yet running and then
    // wait for it for ever.
    for (int i = 0; i < 20; ++i) {
        EndpointServer server;
        QVERIFY(server.start(loopback(0)));
        server.stop();
        QVERIFY(!server.isListening());
    }
    EndpointServer off;
    QVERIFY(!off.start(Endpoint::parseListen(QStringLiteral("off"))));
}

void TestEndpointServer::stopsWhileClientsHoldEveryWorker()
{
    EndpointServer::Limits limits;
    limits.workers = 2;
    limits.queued = 2;
    limits.timeoutSeconds = 1;
    EndpointServer server(limits);
    QVERIFY(server.start(loopback(0)));
    server.publish(onePass(1));
    // More half-sent requests than workers and queue places together.
    std::vector<int> clients;
    for (int i = 0; i < 12; ++i) {
        const int sock = connectTo(server.port());
        if (sock >= 0) {
            ::send(sock, "GET /met", 8, 0);
            clients.push_back(sock);
        }
    }
    QVERIFY(clients.size() >= 4);
    // Once the timeouts have freed the workers, a complete request is answered again.
    QTRY_VERIFY_WITH_TIMEOUT(get(server.port(), "GET", "/metrics").startsWith("HTTP/1.1 200"),
                             30000);
    server.stop();
    QVERIFY(!server.isListening());
    for (const int sock : clients)
        ::close(sock);
}

// A listening endpoint is a child of the monitor it serves, and stops while the monitor is
// still whole when the monitor goes (the sanitizer build sees a call into a torn-down one).
void TestEndpointServer::goesWithItsMonitor()
{
    auto *monitor = new Monitor(QStringLiteral("/nonexistent"));
    QPointer<MonitorEndpoint> endpoint = new MonitorEndpoint(monitor);
    QVERIFY(endpoint->start(loopback(0)));
    delete monitor;
    QVERIFY(endpoint.isNull());
}

QTEST_GUILESS_MAIN(TestEndpointServer)
#include "tst_endpointServer.moc"
