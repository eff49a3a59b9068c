#include "icon.h"

#include <array>

namespace tavlin {

namespace {

// 5 × 7 digit shapes, drawn at twice their size.
constexpr std::array<const char*, 7> One = {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."};
constexpr std::array<const char*, 7> Five = {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."};

void drawDigit(QImage& image, const std::array<const char*, 7>& shape, int left, int top)
{
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            if (shape[y][x] == '#')
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        image.setPixel(left + 2 * x + dx, top + 2 * y + dy, 2);
}

}  // namespace

QImage drawIcon()
{
    QImage image(32, 32, QImage::Format_Indexed8);
    // The standard 16-colour palette; index 0 stands for the transparent ground.
    image.setColorTable({
        qRgba(0, 0, 0, 0), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(128, 0, 0),
        qRgb(0, 128, 0), qRgb(128, 128, 0), qRgb(0, 0, 128), qRgb(128, 0, 128),
        qRgb(0, 128, 128), qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(0, 255, 0),
        qRgb(255, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 255), qRgb(0, 255, 255),
    });
    image.fill(0);
    for (int i = 0; i < 32; ++i) {
        image.setPixel(i, 0, 1);
        image.setPixel(i, 31, 1);
        image.setPixel(0, i, 1);
        image.setPixel(31, i, 1);
    }
    // "15": two digits 10 px wide with 2 px between them, centred.
    drawDigit(image, One, 5, 9);
    drawDigit(image, Five, 17, 9);
    return image;
}

}  // namespace tavlin
