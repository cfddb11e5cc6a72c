// Renders one SVG file to a PNG of the given size; used by scripts/render-images.sh only.
//   svg2png IN.svg OUT.png WIDTH HEIGHT [FONT.otf ...]
// Fonts named after the size are registered first, so <text> can use them by family.
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

static bool isOpaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return false;
        }
    }
    return true;
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        err << "usage: svg2png IN.svg OUT.png WIDTH HEIGHT [FONT ...]\n";
        return 2;
    }
    for (int i = 5; i < args.size(); ++i) {
        if (QFontDatabase::addApplicationFont(args.at(i)) < 0) {
            err << "cannot load font " << args.at(i) << "\n";
            return 1;
        }
    }
    QSvgRenderer svg(args.at(1));
    if (!svg.isValid()) {
        err << "cannot read " << args.at(1) << "\n";
        return 1;
    }
    QImage image(args.at(3).toInt(), args.at(4).toInt(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                           QPainter::TextAntialiasing);
    svg.render(&painter);
    painter.end();
    // An opaque picture (the background) is stored without alpha, which keeps it small.
    if (isOpaque(image))
        image = image.convertToFormat(QImage::Format_RGB32);
    if (!image.save(args.at(2), "PNG", 9)) {
        err << "cannot write " << args.at(2) << "\n";
        return 1;
    }
    return 0;
}
