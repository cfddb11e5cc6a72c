#include <QImage>
#include <QtTest>

// The window addresses its pictures by path only; a file missing from the resources or the
// configuration folder shows up as a blank button, not as an error, so it is checked here.
class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void picture_data();
    void picture();
};

void TestPictures::picture_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");

    const QString config = QStringLiteral(TARNIX_SOURCE_DIR "/configDir/");
    QTest::newRow("logo") << ":/images/AppLogo.png" << QSize(60, 60);
    QTest::newRow("wordmark") << ":/images/leftTopLogo.png" << QSize(200, 30);
    for (const char *button : {"setting", "minWindow", "maxWindow", "closeWindow"}) {
        for (const char *state : {"Def", "Sel"}) {
            const QString name = QString::fromLatin1(button) + QString::fromLatin1(state);
            QTest::newRow(qPrintable(name))
                << QString(":/images/mainpage/%1.png").arg(name) << QSize(36, 36);
        }
    }
    for (const char *icon : {"utilization", "frequency", "fan", "power"})
        QTest::newRow(icon) << QString(":/images/InfoLog/%1.png").arg(icon) << QSize(26, 26);
    QTest::newRow("window icon") << config + "AppIco.png" << QSize(128, 128);
    QTest::newRow("title mode 1 logo") << config + "AppLogo.png" << QSize(60, 60);
    QTest::newRow("title mode 2 image") << config + "leftTopImage.png" << QSize(200, 30);
    QTest::newRow("background") << config + "mainBg.png" << QSize(1150, 750);
}

void TestPictures::picture()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);

    int drawn = 0;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x)
            drawn += qAlpha(argb.pixel(x, y)) > 128;
    }
    QVERIFY2(drawn > argb.width() * argb.height() / 50, "the picture is almost empty");
}

QTEST_APPLESS_MAIN(TestPictures)
#include "tst_pictures.moc"
