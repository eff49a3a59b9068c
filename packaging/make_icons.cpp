// SPDX-License-Identifier: 0BSD
// Writes the game's icon for the desktop's hicolor theme from the drawing the
// window uses: a PNG for each size asked for and a scalable SVG whose shapes
// are the drawing's rectangles, so that no missing font and no bitmap can
// change it.
//
//   make_icons <folder> <size>...
//
// writes <folder>/<size>x<size>/apps/tavlin.png and
// <folder>/scalable/apps/tavlin.svg.

#include "window/icon.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTextStream>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

// One <path> per colour, in the order the colours first appear.
QString svgOf(const std::vector<tavlin::IconRect>& shapes)
{
    std::vector<std::pair<QRgb, QString>> paths;
    for (const tavlin::IconRect& shape : shapes) {
        auto path = paths.begin();
        while (path != paths.end() && path->first != shape.colour)
            ++path;
        if (path == paths.end())
            path = paths.insert(path, {shape.colour, QString()});
        path->second += QStringLiteral("M%1 %2h%3v%4h-%3z")
                            .arg(shape.x).arg(shape.y).arg(shape.width).arg(shape.height);
    }
    QString svg;
    QTextStream out(&svg);
    const int side = tavlin::IconUnits;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << side << "\" height=\"" << side
        << "\" viewBox=\"0 0 " << side << ' ' << side << "\" shape-rendering=\"crispEdges\">\n"
        << "  <title>Tavlin</title>\n";
    for (const auto& [colour, d] : paths)
        out << "  <path fill=\"" << QColor(colour).name() << "\" d=\"" << d << "\"/>\n";
    out << "</svg>\n";
    return svg;
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> <size>...\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QByteArray(argv[i]).toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "make_icons: '%s' is not a size\n", argv[i]);
            return 2;
        }
        const QString path = QStringLiteral("%1/%2x%2/apps/tavlin.png").arg(folder).arg(size);
        // The design size keeps its 16-colour palette, as the window shows it.
        const QImage icon = size == tavlin::IconUnits ? tavlin::drawIcon() : tavlin::drawIcon(size);
        if (!QDir().mkpath(QFileInfo(path).path()) || !icon.save(path, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString svgPath = folder + QStringLiteral("/scalable/apps/tavlin.svg");
    if (!write(svgPath, svgOf(tavlin::iconShapes()).toUtf8())) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(svgPath));
        return 1;
    }
    return 0;
}
