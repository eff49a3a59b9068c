// SPDX-License-Identifier: 0BSD
// The game's icon drawn from one list of rectangles, at any size and as the window's icon.
#include "window/icon.h"

#include <QIconEngine>
#include <QList>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <array>
#include <cmath>

namespace tavlin {

namespace {

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Red = qRgb(255, 0, 0);

// 5 × 7 digit shapes; each of their cells is 2 × 2 units.
using Glyph = std::array<const char*, 7>;
constexpr Glyph One = {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."};
constexpr Glyph Five = {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."};

// Each row of a glyph as runs of filled cells, so the SVG stays short.
void addGlyph(std::vector<IconRect>& shapes, const Glyph& glyph, int left, int top)
{
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 5; ++x) {
            if (glyph[y][x] != '#')
                continue;
            int end = x;
            while (end < 5 && glyph[y][end] == '#')
                ++end;
            shapes.push_back({left + 2 * x, top + 2 * y, 2 * (end - x), 2, Red});
            x = end;
        }
    }
}

// A unit edge as a pixel edge at `size` pixels: the exact position rounded
// to the nearest pixel, halves away from the middle, so that the centred
// picture stays symmetric at sizes that are not a multiple of 32.
int pixelEdge(int units, int size)
{
    const double exact = double(units) * size / IconUnits;
    return int(2 * units < IconUnits ? std::ceil(exact - 0.5) : std::floor(exact + 0.5));
}

// A span [from, to) of units as pixels, at least one pixel wide, kept on
// the side where the shape's middle lies.
std::pair<int, int> pixelSpan(int from, int to, int size)
{
    int begin = pixelEdge(from, size);
    int end = pixelEdge(to, size);
    if (end == begin) {
        if (double(from + to) / 2 * size / IconUnits >= begin)
            end = begin + 1;
        else
            begin = end - 1;
    }
    return {begin, end};
}

class IconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPixmap picture = pixmap(rect.size(), mode, state);
        const QSize free = rect.size() - picture.size();
        painter->drawPixmap(rect.topLeft() + QPoint(free.width() / 2, free.height() / 2), picture);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    // The window's icon only ever appears in its normal mode.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return {};
        return QPixmap::fromImage(side == IconUnits ? drawIcon() : drawIcon(side));
    }
    // 16 for title bars, 32 as the design, the larger ones for task bars and
    // window switchers. On X11 every size offered is painted and sent to the
    // X server when the window is created, so the list stops at 128.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    }
    QString key() const override { return QStringLiteral("tavlin"); }
    QIconEngine* clone() const override { return new IconEngine; }
};

}  // namespace

std::vector<IconRect> iconShapes()
{
    std::vector<IconRect> shapes = {
        {0, 0, IconUnits, 1, Black},
        {0, IconUnits - 1, IconUnits, 1, Black},
        {0, 1, 1, IconUnits - 2, Black},
        {IconUnits - 1, 1, 1, IconUnits - 2, Black},
    };
    // "15": two digits 10 units wide with 2 units between them, centred.
    addGlyph(shapes, One, 5, 9);
    addGlyph(shapes, Five, 17, 9);
    return shapes;
}

QImage drawIcon()
{
    QImage image(IconUnits, IconUnits, QImage::Format_Indexed8);
    // The standard 16-colour palette; index 0 stands for the transparent ground.
    const QList<QRgb> palette = {
        qRgba(0, 0, 0, 0), Black, Red, qRgb(128, 0, 0),
        qRgb(0, 128, 0), qRgb(128, 128, 0), qRgb(0, 0, 128), qRgb(128, 0, 128),
        qRgb(0, 128, 128), qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(0, 255, 0),
        qRgb(255, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 255), qRgb(0, 255, 255),
    };
    image.setColorTable(palette);
    image.fill(0);
    for (const IconRect& shape : iconShapes()) {
        const auto index = uint(palette.indexOf(shape.colour));
        for (int y = shape.y; y < shape.y + shape.height; ++y)
            for (int x = shape.x; x < shape.x + shape.width; ++x)
                image.setPixel(x, y, index);
    }
    return image;
}

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (const IconRect& shape : iconShapes()) {
        const auto [left, right] = pixelSpan(shape.x, shape.x + shape.width, size);
        const auto [top, bottom] = pixelSpan(shape.y, shape.y + shape.height, size);
        painter.fillRect(left, top, right - left, bottom - top, QColor(shape.colour));
    }
    return image;
}

QIcon gameIcon()
{
    return QIcon(new IconEngine);
}

}  // namespace tavlin
