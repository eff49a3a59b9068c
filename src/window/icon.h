#pragma once
#include <QImage>

namespace tavlin {

// The game's icon, 32 × 32 in the standard 16-colour palette: a one-pixel
// black square outline with a bright red "15" in its middle on a transparent
// ground. Drawn pixel by pixel, so it needs no font and no image file.
QImage drawIcon();

}  // namespace tavlin
