// A later copy's request to show the window reaches the listening copy, and only that.
#include "platform/ShowRequest.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// What a killed copy leaves: a socket file with nobody listening.
bool leaveDeadSocket()
{
    const QByteArray path =
        QFile::encodeName(QDir::tempPath() + QStringLiteral("/Zorvex_V2.0-show-%1").arg(getuid()));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= int(sizeof address.sun_path))
        return false;
    qstrcpy(address.sun_path, path.constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}
} // namespace

class TestShowRequest : public QObject
{
    Q_OBJECT
private slots:
    void init() { QDir().mkpath(QDir::tempPath()); }
    void request_data();
    void request();
    void everyRequestCounts();
};

void TestShowRequest::request_data()
{
    QTest::addColumn<bool>("deadSocket");
    QTest::addColumn<bool>("listening");
    QTest::newRow("no copy running") << false << false;
    QTest::newRow("a killed copy's socket, nobody listening") << true << false;
    QTest::newRow("a copy running") << false << true;
    QTest::newRow("a copy running where a killed one left its socket") << true << true;
}

void TestShowRequest::request()
{
    QFETCH(bool, deadSocket);
    QFETCH(bool, listening);
    if (deadSocket)
        QVERIFY(leaveDeadSocket());
    int shown = 0;
    std::unique_ptr<ShowRequestListener> listener;
    if (listening) {
        listener = std::make_unique<ShowRequestListener>([&shown] { ++shown; });
        QVERIFY(listener->isListening());
    }
    QCOMPARE(ShowRequest::send(), listening);
    if (listening)
        QTRY_COMPARE(shown, 1);
    else
        QCOMPARE(shown, 0);
}

void TestShowRequest::everyRequestCounts()
{
    int shown = 0;
    {
        ShowRequestListener listener([&shown] { ++shown; });
        QVERIFY(ShowRequest::send());
        QVERIFY(ShowRequest::send());
        QTRY_COMPARE(shown, 2);
    }
    // Gone with its listener: a later copy no longer finds one.
    QVERIFY(!ShowRequest::send());
}

QTEST_GUILESS_MAIN(TestShowRequest)
#include "tst_showRequest.moc"
