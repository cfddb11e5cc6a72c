#include "HidapiDouble.h"
#include "device/MainHidInterFace.h"

#include <QMutex>
#include <QSignalSpy>
#include <QtTest>

#include <sys/resource.h>

#include <array>
#include <atomic>
#include <memory>
#include <thread>

namespace {

using Frame = std::array<unsigned char, 65>;

// The display's own path; hidapi hands paths over as bytes.
const char *const DisplayPath = "/dev/hidraw3";

QMutex messagesLock;
QStringList messages;

void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtDebugMsg)
        return;
    QMutexLocker lock(&messagesLock);
    messages << text;
}

QStringList takeMessages()
{
    QMutexLocker lock(&messagesLock);
    QStringList taken;
    taken.swap(messages);
    return taken;
}

Frame frameTagged(unsigned char tag)
{
    Frame frame{};
    frame[1] = 0x40;
    frame[2] = tag;
    frame[64] = tag;
    return frame;
}

QList<int> writtenTags()
{
    QList<int> tags;
    for (const HidapiDouble::Write &w : HidapiDouble::writes())
        tags << (w.bytes.size() > 2 ? w.bytes[2] : -1);
    return tags;
}

int writeCount()
{
    return int(HidapiDouble::writes().size());
}

long contextSwitches()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

QString pathLine(const QString &path)
{
    return QStringLiteral("-------------------------- ************** strHidPath: \"%1\"").arg(path);
}

const QString OpenedLine = QStringLiteral("\nOpen device success\n");
const QString UnableLine = QStringLiteral("Unable to open device\n");

} // namespace

class TestHidTransport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void search_data();
    void search();
    void pathKeptAsLatin1();
    void openFailureIsLoggedAndNotAnnounced();
    void writeBeforeOpenIsRefused();
    void copies65BytesWhateverTheLength();
    void backlogWrittenInOrderWithPause();
    void stalledQueueKeepsLatestTwo_data();
    void stalledQueueKeepsLatestTwo();
    void failedWriteRuns_data();
    void failedWriteRuns();
    void unplugWhileFramesQueued();
    void reopenSendsOnlyReportsBuiltAfterIt_data();
    void reopenSendsOnlyReportsBuiltAfterIt();
    void closeTwice();
    void closeWaitsForWriteInProgress();
    void idleWriterSleepsUntilFed();
    void destructorLogs();
    void doubleSteeredByControlFiles();

private:
    // Finds, opens and starts the transport on the display at DisplayPath.
    void openDisplay(MainHidInterFace &hid);
    QtMessageHandler m_previousHandler = nullptr;
    // Closed by cleanup(), so a failed check never destroys a running writer.
    std::unique_ptr<MainHidInterFace> m_hid;
};

void TestHidTransport::initTestCase()
{
    qunsetenv("HIDAPI_DOUBLE_DIR"); // devices come from the tests, not from files
    m_previousHandler = qInstallMessageHandler(captureDebug);
}

void TestHidTransport::cleanupTestCase()
{
    qInstallMessageHandler(m_previousHandler);
}

void TestHidTransport::init()
{
    HidapiDouble::reset();
    HidapiDouble::setHoldWrites(false);
    m_hid = std::make_unique<MainHidInterFace>();
    takeMessages();
}

void TestHidTransport::cleanup()
{
    HidapiDouble::setHoldWrites(false);
    if (m_hid) {
        m_hid->hidApi_Close();
        m_hid->wait(5000);
    }
    m_hid.reset();
}

void TestHidTransport::openDisplay(MainHidInterFace &hid)
{
    HidapiDouble::addDevice(0x5131, 0x2007, DisplayPath);
    hid.getuUsbHidDeviceList();
    QCOMPARE(HidapiDouble::openHandles(), 1);
    takeMessages();
}

void TestHidTransport::search_data()
{
    QTest::addColumn<QStringList>("devices"); // "vendor product path", hex
    QTest::addColumn<QString>("expectedPath");

    QTest::newRow("two matching devices: the first listed wins")
        << QStringList{"5131 2007 /dev/hidraw1", "5131 2007 /dev/hidraw2"} << "/dev/hidraw1";
    QTest::newRow("match listed after other devices")
        << QStringList{"046d c52b /dev/hidraw0", "5131 2008 /dev/hidraw1", "5131 2007 /dev/hidraw2"}
        << "/dev/hidraw2";
    QTest::newRow("other product ID is ignored")
        << QStringList{"5131 2008 /dev/hidraw1"} << QString();
    QTest::newRow("other vendor ID is ignored")
        << QStringList{"5132 2007 /dev/hidraw1"} << QString();
    QTest::newRow("nothing attached") << QStringList() << QString();
}

void TestHidTransport::search()
{
    QFETCH(QStringList, devices);
    QFETCH(QString, expectedPath);
    for (const QString &d : devices) {
        const QStringList f = d.split(' ');
        HidapiDouble::addDevice(f[0].toUShort(nullptr, 16), f[1].toUShort(nullptr, 16),
                                f[2].toStdString());
    }

    MainHidInterFace &hid = *m_hid;
    QSignalSpy opened(&hid, &MainHidInterFace::sigOpenHidSuccessful);
    hid.getuUsbHidDeviceList();

    const HidapiDouble::Calls calls = HidapiDouble::calls();
    QCOMPARE(calls.enumerate, 1);
    QCOMPARE(calls.freeEnumeration, 1);
    if (expectedPath.isEmpty()) {
        QCOMPARE(opened.count(), 0);
        QCOMPARE(calls.openPath, 0);
        QCOMPARE(takeMessages(), QStringList());
        const Frame frame = frameTagged(1);
        QCOMPARE(hid.hidApi_Write(frame.data(), 64), -1);
        return;
    }
    QCOMPARE(opened.count(), 1);
    QCOMPARE(HidapiDouble::openedPaths(), std::vector<std::string>{expectedPath.toStdString()});
    QCOMPARE(takeMessages(), (QStringList{pathLine(expectedPath), OpenedLine}));

    // The handle is non-blocking before the first frame goes out.
    hid.start();
    const Frame frame = frameTagged(1);
    QCOMPARE(hid.hidApi_Write(frame.data(), 64), 0);
    QTRY_COMPARE(writeCount(), 1);
    QVERIFY(HidapiDouble::writes()[0].nonblocking);
    QCOMPARE(QString::fromStdString(HidapiDouble::writes()[0].path), expectedPath);
    hid.hidApi_Close();
}

void TestHidTransport::pathKeptAsLatin1()
{
    const std::string path = "/dev/hid-\xe9\xff";
    HidapiDouble::addDevice(0x5131, 0x2007, path);
    MainHidInterFace &hid = *m_hid;
    hid.getuUsbHidDeviceList();
    QCOMPARE(HidapiDouble::openedPaths(), std::vector<std::string>{path});
    hid.hidApi_Close();
}

void TestHidTransport::openFailureIsLoggedAndNotAnnounced()
{
    HidapiDouble::addDevice(0x5131, 0x2007, DisplayPath);
    HidapiDouble::setOpenFails(true);
    MainHidInterFace &hid = *m_hid;
    QSignalSpy opened(&hid, &MainHidInterFace::sigOpenHidSuccessful);
    hid.getuUsbHidDeviceList();

    QCOMPARE(opened.count(), 0);
    // After the line of old, the node and why it would not open (this machine's answer).
    QStringList messages = takeMessages();
    QCOMPARE(messages.size(), 3);
    QVERIFY2(messages.takeLast().startsWith(QStringLiteral("Display node ") + DisplayPath +
                                            QStringLiteral(" not opened: ")),
             qPrintable(messages.join('\n')));
    QCOMPARE(messages, (QStringList{pathLine(DisplayPath), UnableLine}));
    const Frame frame = frameTagged(1);
    QCOMPARE(hid.hidApi_Write(frame.data(), 64), -1);
    QCOMPARE(hid.hidApi_Close(), 0);
    QCOMPARE(HidapiDouble::calls().close, 0);

    // The next arrival tries again.
    HidapiDouble::setOpenFails(false);
    hid.getuUsbHidDeviceList();
    QCOMPARE(opened.count(), 1);
    hid.hidApi_Close();
}

void TestHidTransport::writeBeforeOpenIsRefused()
{
    MainHidInterFace &hid = *m_hid;
    const Frame early = frameTagged(1);
    QCOMPARE(hid.hidApi_Write(early.data(), 64), -1);

    openDisplay(hid);
    hid.start();
    const Frame later = frameTagged(2);
    QCOMPARE(hid.hidApi_Write(later.data(), 64), 0);
    QTRY_COMPARE(writeCount(), 1);
    QCOMPARE(writtenTags(), QList<int>{2});
    hid.hidApi_Close();
}

void TestHidTransport::copies65BytesWhateverTheLength()
{
    MainHidInterFace &hid = *m_hid;
    openDisplay(hid);
    Frame frame = frameTagged(7);
    frame[64] = 0xAB;
    const Frame sent = frame;
    QCOMPARE(hid.hidApi_Write(frame.data(), 64), 0);
    frame.fill(0xEE); // the queue holds its own copy

    hid.start();
    QTRY_COMPARE(writeCount(), 1);
    const std::vector<unsigned char> written = HidapiDouble::writes()[0].bytes;
    QCOMPARE(written, std::vector<unsigned char>(sent.begin(), sent.end()));
    hid.hidApi_Close();
}

void TestHidTransport::backlogWrittenInOrderWithPause()
{
    MainHidInterFace &hid = *m_hid;
    openDisplay(hid);
    for (unsigned char tag : {1, 2}) {
        const Frame frame = frameTagged(tag);
        QCOMPARE(hid.hidApi_Write(frame.data(), 64), 0);
    }
    hid.start();
    QTRY_COMPARE(writeCount(), 2);
    QCOMPARE(writtenTags(), (QList<int>{1, 2}));

    // One write per pass; a backlog is spaced by the pause.
    const std::vector<HidapiDouble::Write> w = HidapiDouble::writes();
    QVERIFY(w[1].at - w[0].at >= std::chrono::microseconds(500));
    hid.hidApi_Close();
}

void TestHidTransport::stalledQueueKeepsLatestTwo_data()
{
    QTest::addColumn<int>("queuedDuringStall"); // tags 2, 3, ... while tag 1 is held
    QTest::addColumn<QList<int>>("written");
    QTest::addColumn<int>("dropLines");

    QTest::newRow("one more: nothing dropped") << 1 << QList<int>{1, 2} << 0;
    QTest::newRow("two more: nothing dropped") << 2 << QList<int>{1, 2, 3} << 0;
    QTest::newRow("three more: the oldest dropped") << 3 << QList<int>{1, 3, 4} << 1;
    QTest::newRow("a long stall: one line, the latest two kept")
        << 20 << QList<int>{1, 20, 21} << 1;
}

void TestHidTransport::stalledQueueKeepsLatestTwo()
{
    QFETCH(int, queuedDuringStall);
    QFETCH(QList<int>, written);
    QFETCH(int, dropLines);

    MainHidInterFace &hid = *m_hid;
    openDisplay(hid);
    hid.start();
    HidapiDouble::setHoldWrites(true);
    const Frame first = frameTagged(1);
    hid.hidApi_Write(first.data(), 64);
    QVERIFY(HidapiDouble::waitForHeldWrite(5000));
    for (int tag = 2; tag < 2 + queuedDuringStall; ++tag) {
        const Frame frame = frameTagged(static_cast<unsigned char>(tag));
        QCOMPARE(hid.hidApi_Write(frame.data(), 64), 0);
    }
    HidapiDouble::setHoldWrites(false);
    QTRY_COMPARE(writeCount(), written.size());
    QTest::qWait(20);
    QCOMPARE(writtenTags(), written);
    QCOMPARE(takeMessages().size(), dropLines);

    // The display took reports again: the next stall is logged anew.
    HidapiDouble::setHoldWrites(true);
    hid.hidApi_Write(first.data(), 64);
    QVERIFY(HidapiDouble::waitForHeldWrite(5000));
    for (int i = 0; i < 3; ++i)
        hid.hidApi_Write(first.data(), 64);
    HidapiDouble::setHoldWrites(false);
    QTRY_COMPARE(writeCount(), written.size() + 3);
    QCOMPARE(takeMessages().size(), 1);
    hid.hidApi_Close();
}

void TestHidTransport::failedWriteRuns_data()
{
    // One letter per report: w written, f failed, r closed and opened again.
    QTest::addColumn<QString>("outcomes");
    QTest::addColumn<int>("announced");

    QTest::newRow("two failures are not yet a run") << "ff" << 0;
    QTest::newRow("three failures in a row") << "fff" << 1;
    QTest::newRow("a long run is told once") << "ffffff" << 1;
    QTest::newRow("a write in between starts the count again") << "ffwff" << 0;
    QTest::newRow("two runs") << "fffwfff" << 2;
    QTest::newRow("reopening starts the count again") << "ffrf" << 0;
}

void TestHidTransport::failedWriteRuns()
{
    QFETCH(QString, outcomes);
    QFETCH(int, announced);

    MainHidInterFace &hid = *m_hid;
    openDisplay(hid);
    // Emitted on the writer thread; QSignalSpy is not safe to fill from there.
    std::atomic<int> failing{0};
    connect(
        &hid, &MainHidInterFace::sigWritesFailing, this, [&failing] { ++failing; },
        Qt::DirectConnection);
    hid.start();
    int done = 0;
    for (const QChar outcome : outcomes) {
        if (outcome == 'r') {
            hid.hidApi_Close();
            hid.getuUsbHidDeviceList();
            hid.start();
            continue;
        }
        HidapiDouble::setWriteFails(outcome == 'f');
        const Frame frame = frameTagged(1);
        hid.hidApi_Write(frame.data(), 64);
        ++done;
        QTRY_COMPARE(writeCount() + HidapiDouble::calls().failedWrites, done);
    }
    QTRY_COMPARE(failing.load(), announced);
    QTest::qWait(20);
    QCOMPARE(failing.load(), announced);
    hid.hidApi_Close();
}

void TestHidTransport::unplugWhileFramesQueued()
{
    MainHidInterFace &hid = *m_hid;
    openDisplay(hid);
    for (unsigned char tag : {1, 2}) {
        const Frame frame = frameTagged(tag);
        hid.hidApi_Write(frame.data(), 64);
    }
    HidapiDouble::removeDevice(DisplayPath);
    hid.start();

    QTRY_COMPARE(HidapiDouble::calls().failedWrites, 2);
    QCOMPARE(writeCount(), 0);
    QVERIFY(hid.isRunning());
    QCOMPARE(takeMessages(), QStringList());

    // The removal handler's close ends the writer.
    QCOMPARE(hid.hidApi_Close(), 0);
    QVERIFY(hid.wait(5000));
    hid.quit();
    const Frame frame = frameTagged(4);
    QCOMPARE(hid.hidApi_Write(frame.data(), 64), -1);
    QCOMPARE(HidapiDouble::calls().close, 1);
    QCOMPARE(HidapiDouble::calls().misuse, 0);
}

void TestHidTransport::reopenSendsOnlyReportsBuiltAfterIt_data()
{
    QTest::addColumn<bool>("oldSession"); // the last report's session was taken before the close
    QTest::addColumn<QList<int>>("written");

    QTest::newRow("reports queued at the close are dropped") << false << QList<int>{9};
    QTest::newRow("a report built across the reopen is refused") << true << QList<int>{};
}

// Reports built before an outage (old time, old values) never reach the display after it.
void TestHidTransport::reopenSendsOnlyReportsBuiltAfterIt()
{
    QFETCH(bool, oldSession);
    QFETCH(QList<int>, written);
    MainHidInterFace &hid = *m_hid;
    openDisplay(hid);
    for (unsigned char tag : {1, 2}) {
        const Frame frame = frameTagged(tag);
        hid.hidApi_Write(frame.data(), 64);
    }
    const unsigned before = hid.openSession();
    hid.hidApi_Close();

    hid.getuUsbHidDeviceList();
    QVERIFY(hid.openSession() != before);
    const Frame frame = frameTagged(9);
    QCOMPARE(hid.writeReport(frame.data(), oldSession ? before : hid.openSession()),
             oldSession ? -1 : 0);
    hid.start();
    const Frame probe = frameTagged(10); // written once everything before it was
    hid.hidApi_Write(probe.data(), 64);
    QTRY_VERIFY(writtenTags().contains(10));
    QCOMPARE(writtenTags(), written + QList<int>{10});
    hid.hidApi_Close();
}

void TestHidTransport::closeTwice()
{
    MainHidInterFace &hid = *m_hid;
    QCOMPARE(hid.hidApi_Close(), 0); // never opened
    QCOMPARE(HidapiDouble::calls().close, 0);
    QCOMPARE(HidapiDouble::calls().exit, 0);

    openDisplay(hid);
    hid.start();
    QCOMPARE(hid.hidApi_Close(), 0);
    QCOMPARE(hid.hidApi_Close(), 0);
    QVERIFY(hid.isFinished());
    const HidapiDouble::Calls calls = HidapiDouble::calls();
    QCOMPARE(calls.close, 1);
    QCOMPARE(calls.exit, 1);
    QCOMPARE(calls.misuse, 0);
    QCOMPARE(HidapiDouble::openHandles(), 0);
}

void TestHidTransport::closeWaitsForWriteInProgress()
{
    MainHidInterFace &hid = *m_hid;
    openDisplay(hid);
    hid.start();
    HidapiDouble::setHoldWrites(true);
    const Frame frame = frameTagged(1);
    hid.hidApi_Write(frame.data(), 64);
    QVERIFY(HidapiDouble::waitForHeldWrite(5000));

    std::thread closer([&hid] { hid.hidApi_Close(); });
    // Give a close that does not wait the time to free the handle under the write.
    for (int i = 0; i < 40 && HidapiDouble::calls().close == 0; ++i)
        QThread::msleep(5);
    HidapiDouble::setHoldWrites(false);
    closer.join();

    const HidapiDouble::Calls calls = HidapiDouble::calls();
    QCOMPARE(calls.misuse, 0);
    QCOMPARE(calls.close, 1);
    QCOMPARE(writeCount(), 1);
    QVERIFY(hid.isFinished());
}

void TestHidTransport::idleWriterSleepsUntilFed()
{
    MainHidInterFace &hid = *m_hid;
    openDisplay(hid);
    hid.start();
    const Frame first = frameTagged(1);
    hid.hidApi_Write(first.data(), 64);
    QTRY_COMPARE(writeCount(), 1);
    QThread::msleep(5); // past the pause after the write

    // A writer polling every 500 us would switch in and out hundreds of times here.
    const long before = contextSwitches();
    QThread::msleep(300);
    QVERIFY2(contextSwitches() - before < 30,
             qPrintable(QString::number(contextSwitches() - before)));

    const Frame second = frameTagged(2);
    hid.hidApi_Write(second.data(), 64);
    QTRY_COMPARE(writeCount(), 2);

    hid.hidApi_Close(); // wakes the idle writer, which ends
    QVERIFY(hid.isFinished());
}

void TestHidTransport::destructorLogs()
{
    QCOMPARE(HidapiDouble::calls().init, 1);
    m_hid.reset();
    QCOMPARE(
        takeMessages(),
        QStringList{"________________________ MainHidInterFace::~MainHidInterFace() ........"});
}

// The file protocol that end-to-end runs of the real executable rely on.
void TestHidTransport::doubleSteeredByControlFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qputenv("HIDAPI_DOUBLE_DIR", QFile::encodeName(dir.path()));
    auto unset = qScopeGuard([] { qunsetenv("HIDAPI_DOUBLE_DIR"); });
    const auto writeDevices = [&](const QByteArray &text) {
        QFile f(dir.filePath("devices"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    const auto lines = [&](const char *name) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll().split('\n') : QList<QByteArray>();
    };

    MainHidInterFace &hid = *m_hid;
    HidapiDouble::addDevice(0x5131, 0x2007, "/dev/ignored-while-files-steer");
    hid.getuUsbHidDeviceList(); // no devices file yet: nothing found
    QCOMPARE(HidapiDouble::calls().openPath, 0);

    writeDevices("# vendor product path\n\n046d c52b /dev/hidraw0\n5131 2007 /dev/hid raw1\n");
    hid.getuUsbHidDeviceList();
    QCOMPARE(HidapiDouble::openedPaths(), std::vector<std::string>{"/dev/hid raw1"});
    hid.start();
    Frame frame = frameTagged(0x2D);
    hid.hidApi_Write(frame.data(), 64);
    QTRY_COMPARE(writeCount(), 1);

    const QList<QByteArray> written = lines("writes");
    QCOMPARE(written.size(), 2); // one line and the empty rest after its end
    const QList<QByteArray> fields = written[0].split(' ');
    QCOMPARE(fields.size(), 2);
    const qint64 ms = fields[0].toLongLong();
    QVERIFY(qAbs(ms - QDateTime::currentMSecsSinceEpoch()) < 60000);
    const QByteArray sent(reinterpret_cast<const char *>(frame.data()), 65);
    QCOMPARE(fields[1], sent.toHex());

    // The line gone: the device has vanished for writes and opens.
    writeDevices("046d c52b /dev/hidraw0\n");
    hid.hidApi_Write(frame.data(), 64);
    QTRY_COMPARE(HidapiDouble::calls().failedWrites, 1);
    QCOMPARE(lines("writes").size(), 2);
    hid.hidApi_Close();
    QCOMPARE(hid.hidApi_Open(), -1);

    QList<QByteArray> events;
    for (const QByteArray &line : lines("events"))
        events << line.mid(line.indexOf(' ') + 1);
    QCOMPARE(events,
             (QList<QByteArray>{"open /dev/hid raw1", "write-failed /dev/hid raw1",
                                "close /dev/hid raw1", "exit", "open-failed /dev/hid raw1", ""}));
}

QTEST_GUILESS_MAIN(TestHidTransport)
#include "tst_hidtransport.moc"
