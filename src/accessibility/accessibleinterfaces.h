// SPDX-License-Identifier: 0BSD
#pragma once
// The interfaces a screen reader meets for the game's own controls, and the
// reading point that their states follow.

#include <QString>

class QAccessibleInterface;
class QObject;
class QWidget;

namespace tavlin::accessibility {

// Qt's factory hook: the interface for `object`, or nothing to leave it to Qt.
QAccessibleInterface* interfaceFor(const QString& className, QObject* object);

// Whether the best-of panel lies over `widget` now: it covers the whole
// board and the status strip while it is shown.
bool covered(const QWidget* widget);

// Where the screen reader's reading point was sent, when that is not the
// control with Qt's focus, and what just happened, which that control's
// description then tells; nothing once Qt's focus moves.
void setReadingPoint(QWidget* to, const QString& news = {});
QWidget* readingPoint();
QString readingPointNews();

// The seconds as a Czech listener says them: 1 sekunda, 2 to 4 sekundy,
// and sekund for every other number, 21 and 0.5 included.
QString seconds(const QString& number);

}  // namespace tavlin::accessibility
