// SPDX-License-Identifier: 0BSD
#pragma once
// Where a finished game's time belongs in the best-of table, and how the
// times are read from and written into their captions.

#include "bestof/scorefile.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace tavlin::ranking {

// The finished time: the number the clock caption begins with, blanks before
// it skipped; a caption that does not begin with a number counts as 0.
double finishedTime(QStringView caption);

// A row's time when its whole caption is a decimal number: digits with an
// optional sign and decimal point ("150", "0150", "+150", "150.5", ".5"), no
// blanks and no exponent; otherwise the row is an empty place.
std::optional<double> rowTime(QStringView caption);

// The first row whose time is greater than or equal to `t`, so that an equal
// time goes above; an empty place is slower than any finished time and takes
// the new row. Nothing when `t` is slower than every row.
std::optional<int> placeFor(const scorefile::Lines& table, double t);

// The caption of a new row's time: whole seconds as plain digits.
QString timeText(double t);

// `table` with the row (time `t`, `name`) at its place, the slower rows one
// lower and the last one gone; nothing when `t` earns no row.
std::optional<scorefile::Lines> withRow(const scorefile::Lines& table, double t, const QString& name);

}  // namespace tavlin::ranking
