#include "gui/HighDpi.h"

#include <QtTest>

class tst_highDpi : public QObject
{
    Q_OBJECT
private slots:
    void desktopDecidesTheDpi_data();
    void desktopDecidesTheDpi();
    void xftDpiFromResources_data();
    void xftDpiFromResources();
};

void tst_highDpi::desktopDecidesTheDpi_data()
{
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<bool>("defaultIsXcb");
    QTest::addColumn<int>("xftDpi");
    QTest::addColumn<bool>("userChoseDpi");
    QTest::addColumn<int>("dpi"); // 0: Qt's own choice

    QTest::newRow("X11 without Xft.dpi: factor 1") << QByteArray() << true << 0 << false << 96;
    QTest::newRow("Xft.dpi 120: 125 %") << QByteArray() << true << 120 << false << 120;
    QTest::newRow("xcb named with options") << QByteArray("xcb:foo") << true << 0 << false << 96;
    QTest::newRow("the user's own DPI settings win") << QByteArray() << true << 120 << true << 0;
    QTest::newRow("Wayland left to Qt") << QByteArray("wayland") << true << 0 << false << 0;
    QTest::newRow("Windows display scale left to Qt") << QByteArray() << false << 0 << false << 0;
}

void tst_highDpi::desktopDecidesTheDpi()
{
    QFETCH(QByteArray, platform);
    QFETCH(bool, defaultIsXcb);
    QFETCH(int, xftDpi);
    QFETCH(bool, userChoseDpi);
    QFETCH(int, dpi);
    HighDpi::Desktop desktop;
    desktop.platform = platform;
    desktop.defaultIsXcb = defaultIsXcb;
    desktop.xftDpi = xftDpi;
    desktop.userChoseDpi = userChoseDpi;
    QCOMPARE(HighDpi::logicalDpi(desktop), dpi);
}

void tst_highDpi::xftDpiFromResources_data()
{
    QTest::addColumn<QByteArray>("resources");
    QTest::addColumn<int>("dpi");

    QTest::newRow("as xrdb writes it") << QByteArray("Xft.antialias:\t1\nXft.dpi:\t120\n") << 120;
    QTest::newRow("spaces, no final newline") << QByteArray("Xft.dpi:  96") << 96;
    QTest::newRow("the later line wins") << QByteArray("Xft.dpi:\t96\nXft.dpi:\t144\n") << 144;
    QTest::newRow("missing") << QByteArray("Xft.hinting:\t1\n") << 0;
    QTest::newRow("not a number") << QByteArray("Xft.dpi:\tlarge\n") << 0;
    QTest::newRow("zero is unset") << QByteArray("Xft.dpi:\t0\n") << 0;
    QTest::newRow("another key that starts alike") << QByteArray("Xft.dpiScale:\t2\n") << 0;
}

void tst_highDpi::xftDpiFromResources()
{
    QFETCH(QByteArray, resources);
    QFETCH(int, dpi);
    QCOMPARE(HighDpi::xftDpiFrom(resources), dpi);
}

QTEST_GUILESS_MAIN(tst_highDpi)
#include "tst_highDpi.moc"
