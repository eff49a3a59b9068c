// Writes the game's icon for the desktop's icon theme: the 32 × 32 PNG and
// a scalable SVG of the same picture, both from the image the window uses,
// so the three can never drift apart.
//
//   make_icons <icon.png> <icon.svg>

#include "window/icon.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTextStream>

#include <cstdio>
#include <map>

namespace {

// One <path> per colour, each row's runs of that colour as rectangles, so the
// SVG scales with sharp edges and needs no font.
QString svgOf(const QImage& image)
{
    std::map<QRgb, QString> runsByColour;
    for (int y = 0; y < image.height(); ++y) {
        int x = 0;
        while (x < image.width()) {
            const QRgb colour = image.pixel(x, y);
            int end = x + 1;
            while (end < image.width() && image.pixel(end, y) == colour)
                ++end;
            if (qAlpha(colour) != 0)
                runsByColour[colour] += QStringLiteral("M%1 %2h%3v1h-%3z").arg(x).arg(y).arg(end - x);
            x = end;
        }
    }
    QString svg;
    QTextStream out(&svg);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << image.width() << "\" height=\""
        << image.height() << "\" viewBox=\"0 0 " << image.width() << ' ' << image.height()
        << "\" shape-rendering=\"crispEdges\">\n"
        << "  <title>Tavlin</title>\n";
    for (const auto& [colour, runs] : runsByColour)
        out << "  <path fill=\"" << QColor(colour).name() << "\" d=\"" << runs << "\"/>\n";
    out << "</svg>\n";
    return svg;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <icon.png> <icon.svg>\n", argv[0]);
        return 2;
    }
    const QImage icon = tavlin::drawIcon();
    const QString pngPath = QString::fromLocal8Bit(argv[1]);
    if (!icon.save(pngPath, "PNG")) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", argv[1]);
        return 1;
    }
    QFile svg(QString::fromLocal8Bit(argv[2]));
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || svg.write(svgOf(icon).toUtf8()) < 0 || !svg.flush()) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
