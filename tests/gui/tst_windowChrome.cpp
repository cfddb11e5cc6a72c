#include "gui/WindowChrome.h"

#include <QtTest>

using namespace WindowChrome;

namespace {
// A 400 x 300 window; its bottom-right pixel is (499, 499).
const QPoint kTL(100, 200);
const QPoint kBR(499, 499);
const QSize kMinimum(200, 100);
} // namespace

class TestWindowChrome : public QObject
{
    Q_OBJECT
private slots:
    void zone_data();
    void zone();
    void cursor_data();
    void cursor();
    void resize_data();
    void resize();
};

void TestWindowChrome::zone_data()
{
    QTest::addColumn<QPoint>("g");
    QTest::addColumn<QPoint>("tl");
    QTest::addColumn<QPoint>("br");
    QTest::addColumn<int>("zone");

    QTest::newRow("top-left at the corner") << QPoint(100, 200) << kTL << kBR << 4;
    QTest::newRow("top-left inner bound") << QPoint(104, 204) << kTL << kBR << 4;
    QTest::newRow("past top-left in x is top") << QPoint(105, 204) << kTL << kBR << 0;
    QTest::newRow("past top-left in y is left") << QPoint(104, 205) << kTL << kBR << 2;
    QTest::newRow("bottom-right at the corner") << QPoint(499, 499) << kTL << kBR << 6;
    QTest::newRow("bottom-right inner bound") << QPoint(495, 495) << kTL << kBR << 6;
    QTest::newRow("bottom-left") << QPoint(102, 497) << kTL << kBR << 5;
    QTest::newRow("top-right") << QPoint(497, 202) << kTL << kBR << 7;
    QTest::newRow("left edge") << QPoint(102, 350) << kTL << kBR << 2;
    QTest::newRow("right edge") << QPoint(495, 350) << kTL << kBR << 3;
    QTest::newRow("top edge") << QPoint(300, 200) << kTL << kBR << 0;
    QTest::newRow("bottom edge") << QPoint(300, 495) << kTL << kBR << 1;
    QTest::newRow("inside") << QPoint(300, 350) << kTL << kBR << 8;
    QTest::newRow("just inside the right grip") << QPoint(494, 350) << kTL << kBR << 8;
    QTest::newRow("outside, left of the window") << QPoint(99, 350) << kTL << kBR << 8;
    // Edges look at one coordinate only, so a cursor far past the window still counts.
    QTest::newRow("left edge below the window") << QPoint(102, 900) << kTL << kBR << 2;
    QTest::newRow("top edge left of the window") << QPoint(20, 202) << kTL << kBR << 0;
    QTest::newRow("bottom edge right of the window") << QPoint(900, 499) << kTL << kBR << 1;
    // In a tiny window the grips overlap and the first test wins.
    QTest::newRow("tiny: top-left beats bottom-right")
        << QPoint(3, 3) << QPoint(0, 0) << QPoint(6, 6) << 4;
    QTest::newRow("tiny: bottom-right beats bottom-left")
        << QPoint(3, 5) << QPoint(0, 0) << QPoint(6, 6) << 6;
    QTest::newRow("tiny: bottom-left beats top-right")
        << QPoint(1, 5) << QPoint(0, 0) << QPoint(6, 6) << 5;
    QTest::newRow("tiny: left beats right") << QPoint(3, 50) << QPoint(0, 0) << QPoint(6, 100) << 2;
}

void TestWindowChrome::zone()
{
    QFETCH(QPoint, g);
    QFETCH(QPoint, tl);
    QFETCH(QPoint, br);
    QTEST(findResizeZone(g, tl, br), "zone");
}

void TestWindowChrome::cursor_data()
{
    QTest::addColumn<int>("zone");
    QTest::addColumn<int>("shape");

    QTest::newRow("top") << 0 << int(Qt::SizeVerCursor);
    QTest::newRow("bottom") << 1 << int(Qt::SizeVerCursor);
    QTest::newRow("left") << 2 << int(Qt::SizeHorCursor);
    QTest::newRow("right") << 3 << int(Qt::SizeHorCursor);
    QTest::newRow("top-left") << 4 << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottom-left") << 5 << int(Qt::SizeBDiagCursor);
    QTest::newRow("bottom-right") << 6 << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-right") << 7 << int(Qt::SizeBDiagCursor);
    QTest::newRow("none") << 8 << int(Qt::ArrowCursor);
    QTest::newRow("unknown") << -1 << int(Qt::ArrowCursor);
}

void TestWindowChrome::cursor()
{
    QFETCH(int, zone);
    QTEST(int(cursorForZone(zone)), "shape");
}

void TestWindowChrome::resize_data()
{
    QTest::addColumn<int>("zone");
    QTest::addColumn<QPoint>("g");
    QTest::addColumn<QRect>("rect");

    const QRect same(kTL, kBR);
    QTest::newRow("top moves up") << 0 << QPoint(300, 150) << QRect(QPoint(100, 150), kBR);
    QTest::newRow("top stops at the minimum height") << 0 << QPoint(300, 399) << same;
    QTest::newRow("top moves just above the minimum")
        << 0 << QPoint(300, 398) << QRect(QPoint(100, 398), kBR);
    QTest::newRow("bottom") << 1 << QPoint(300, 600) << QRect(100, 200, 400, 400);
    QTest::newRow("left moves out") << 2 << QPoint(50, 350) << QRect(QPoint(50, 200), kBR);
    QTest::newRow("left stops at the minimum width") << 2 << QPoint(299, 350) << same;
    QTest::newRow("left moves just inside the minimum")
        << 2 << QPoint(298, 350) << QRect(QPoint(298, 200), kBR);
    QTest::newRow("right") << 3 << QPoint(600, 350) << QRect(100, 200, 500, 300);
    QTest::newRow("top-left both move") << 4 << QPoint(50, 150) << QRect(QPoint(50, 150), kBR);
    QTest::newRow("top-left, left blocked")
        << 4 << QPoint(350, 150) << QRect(QPoint(100, 150), kBR);
    QTest::newRow("top-left, top blocked") << 4 << QPoint(50, 450) << QRect(QPoint(50, 200), kBR);
    QTest::newRow("bottom-left") << 5 << QPoint(50, 600) << QRect(50, 200, 450, 400);
    QTest::newRow("bottom-left, left blocked")
        << 5 << QPoint(400, 600) << QRect(100, 200, 400, 400);
    QTest::newRow("bottom-right") << 6 << QPoint(600, 600) << QRect(100, 200, 500, 400);
    QTest::newRow("top-right") << 7 << QPoint(600, 150) << QRect(100, 150, 500, 350);
    QTest::newRow("top-right, top blocked") << 7 << QPoint(600, 450) << QRect(100, 200, 500, 300);
    QTest::newRow("none leaves the window") << 8 << QPoint(600, 600) << same;
}

void TestWindowChrome::resize()
{
    QFETCH(int, zone);
    QFETCH(QPoint, g);
    QTEST(resizedRect(zone, kTL, kBR, g, kMinimum), "rect");
}

QTEST_GUILESS_MAIN(TestWindowChrome)
#include "tst_windowChrome.moc"
