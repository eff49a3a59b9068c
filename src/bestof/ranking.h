#pragma once
// Where a finished game's time belongs in the best-of table, and how the
// times are read from and written into their captions.

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace tavlin::ranking {

inline constexpr int RowCount = 10;

// The finished time: the number the clock caption begins with, blanks before
// it skipped; a caption that does not begin with a number counts as 0.
double finishedTime(QStringView caption);

// A row's time when its whole caption is a decimal number of whole seconds
// (digits only, leading zeros allowed); otherwise the row is an empty place.
std::optional<double> rowTime(QStringView caption);

// The first row whose time is greater than or equal to `t`, so that an equal
// time goes above; an empty place is slower than any finished time and takes
// the new row. Nothing when `t` is slower than every row.
std::optional<int> findPlace(const std::array<QString, RowCount>& times, double t);

// The caption of a new row's time: whole seconds as plain digits.
QString timeText(double t);

}  // namespace tavlin::ranking
