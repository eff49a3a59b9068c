// SPDX-License-Identifier: 0BSD
#pragma once
// How the game's box texts break their lines: with a lone carriage return.

#include <QChar>
#include <QString>
#include <QStringList>

namespace tavlin {

// The lines of a box's text joined as the game writes them; the boxes turn
// each carriage return into a line break when they show the text.
inline QString joinLines(const QStringList& lines)
{
    return lines.join(QChar(u'\r'));
}

}  // namespace tavlin
