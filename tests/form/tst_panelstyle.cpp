// Raised styled panels are drawn flat; other frames keep the base style's outline.
#include "gui/RaisedPanelStyle.h"

#include <QFrame>
#include <QStyleFactory>
#include <QtTest>

namespace {

// True when every pixel of the widget's picture has the colour of its centre.
bool drawsNothing(QWidget &w)
{
    const QImage image = w.grab().toImage();
    const QRgb centre = image.pixel(image.width() / 2, image.height() / 2);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != centre)
                return false;
        }
    }
    return true;
}

} // namespace

class TestPanelStyle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setStyle(new RaisedPanelStyle(QStyleFactory::create("Fusion")));
    }

    void frames_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("shadow");
        QTest::addColumn<bool>("styled");
        QTest::addColumn<bool>("flat");
        for (bool styled : {false, true}) {
            const QByteArray suffix = styled ? " under a style sheet" : "";
            QTest::newRow("raised styled panel" + suffix)
                << int(QFrame::StyledPanel) << int(QFrame::Raised) << styled << true;
            QTest::newRow("sunken styled panel" + suffix)
                << int(QFrame::StyledPanel) << int(QFrame::Sunken) << styled << false;
            QTest::newRow("raised box" + suffix)
                << int(QFrame::Box) << int(QFrame::Raised) << styled << false;
        }
    }

    void frames()
    {
        QFETCH(int, shape);
        QFETCH(int, shadow);
        QFETCH(bool, styled);
        QFETCH(bool, flat);
        QWidget parent;
        if (styled)
            parent.setStyleSheet(QStringLiteral("QLabel{ color: rgb(220, 220, 220); }"));
        auto *frame = new QFrame(&parent);
        frame->setFrameShape(QFrame::Shape(shape));
        frame->setFrameShadow(QFrame::Shadow(shadow));
        frame->resize(40, 30);
        QCOMPARE(drawsNothing(*frame), flat);
    }
};

QTEST_MAIN(TestPanelStyle)
#include "tst_panelstyle.moc"
