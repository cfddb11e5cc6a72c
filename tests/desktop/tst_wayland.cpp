// The real Tarnix as a native Wayland client of a headless weston: it starts, sends its
// reports and shows its window (seen in the compositor's own screenshot).
#include "../endtoend/StagedTarnix.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The window's background colour; weston's own background and panel have none of it.
int windowPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xffffff) == 0x252525)
                ++count;
        }
    }
    return count;
}
} // namespace

class TestWayland : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void startsReportsAndShows();

private:
    QImage screenshot(const QString &folder);

    QProcess weston;
    QString socket;
};

void TestWayland::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("weston-screenshooter")).isEmpty())
        QSKIP("weston is missing (scripts/install-deps.sh)");
    if (!QFile::exists(QLibraryInfo::location(QLibraryInfo::PluginsPath) +
                       QStringLiteral("/platforms/libqwayland-generic.so")))
        QSKIP("qtwayland5 is missing (scripts/install-deps.sh)");

    socket = QStringLiteral("tarnix-test-%1").arg(QCoreApplication::applicationPid());
    // Pixman renders into memory, so the screenshot shows what a screen would; the debug
    // protocol is what lets weston-screenshooter in.
    weston.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    weston.start(QStringLiteral("weston"),
                 {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
                  QStringLiteral("--width=1400"), QStringLiteral("--height=900"),
                  QStringLiteral("--socket=") + socket, QStringLiteral("--debug"),
                  QStringLiteral("--no-config"), QStringLiteral("--idle-time=0")});
    QVERIFY(weston.waitForStarted(5000));
    const QString path = qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + socket;
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), 15000);
}

void TestWayland::cleanupTestCase()
{
    if (weston.state() != QProcess::NotRunning) {
        weston.terminate();
        if (!weston.waitForFinished(5000))
            weston.kill();
    }
}

QImage TestWayland::screenshot(const QString &folder)
{
    QProcess shooter;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    shooter.setProcessEnvironment(env);
    shooter.setWorkingDirectory(folder);
    shooter.start(QStringLiteral("weston-screenshooter"), QStringList());
    shooter.waitForFinished(10000);
    const QStringList shots =
        QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Time);
    return shots.isEmpty() ? QImage() : QImage(folder + QLatin1Char('/') + shots.first());
}

void TestWayland::startsReportsAndShows()
{
    QTemporaryDir shots;
    QVERIFY(shots.isValid());
    // Nothing of Tarnix before it starts.
    const QImage before = screenshot(shots.path());
    QVERIFY(!before.isNull());
    QCOMPARE(windowPixels(before), 0);
    QFile::remove(shots.path() + QLatin1Char('/') +
                  QDir(shots.path()).entryList({QStringLiteral("*.png")}).value(0));

    StagedTarnix::Options options;
    options.showMainPage = 1;
    options.sensorScript =
        readFile(QStringLiteral(TARNIX_SOURCE_DIR "/tests/controller/screenshot.sensors"));
    options.environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    options.environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    StagedTarnix tarnix(options);
    QVERIFY(tarnix.isValid());
    QVERIFY(tarnix.start());
    QVERIFY2(tarnix.waitForFrames(5, 15000), qPrintable(tarnix.standardError()));
    QVERIFY(tarnix.isRunning());

    const QImage shot = screenshot(shots.path());
    QVERIFY(!shot.isNull());
    // Most of the 1150 x 750 window is its background.
    QVERIFY2(windowPixels(shot) > 400000, qPrintable(QString::number(windowPixels(shot))));
    const QString keep = qEnvironmentVariable("TARNIX_WAYLAND_SCREENSHOT");
    if (!keep.isEmpty())
        QVERIFY(shot.save(keep));
    tarnix.stop();
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
