// SPDX-License-Identifier: 0BSD
// Where a finished time goes in the table, and times read from and written into captions.
#include "bestof/ranking.h"

#include <algorithm>
#include <cmath>

namespace tavlin::ranking {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

}  // namespace

double finishedTime(QStringView caption)
{
    qsizetype i = 0;
    while (i < caption.size() && (caption[i] == u' ' || caption[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < caption.size() && (caption[i] == u'+' || caption[i] == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < caption.size() && isDigit(caption[i]))
        ++i;
    qsizetype digits = i - digitsStart;
    if (i < caption.size() && caption[i] == u'.') {
        const qsizetype fractionStart = ++i;
        while (i < caption.size() && isDigit(caption[i]))
            ++i;
        digits += i - fractionStart;
        if (i - fractionStart == 0)
            --i;  // a lone point ends the number before it
    }
    if (digits == 0)
        return 0;
    bool ok = false;
    const double value = caption.sliced(start, i - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

std::optional<double> rowTime(QStringView caption)
{
    const QStringView number = caption.startsWith(u'+') || caption.startsWith(u'-') ? caption.mid(1) : caption;
    if (number.count(u'.') > 1 || number.isEmpty() || number == u".")
        return std::nullopt;
    for (QChar c : number) {
        if (!isDigit(c) && c != u'.')
            return std::nullopt;
    }
    bool ok = false;
    const double value = caption.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<int> placeFor(const scorefile::Lines& table, double t)
{
    for (int k = 0; k < scorefile::RowCount; ++k) {
        const std::optional<double> row = rowTime(table[scorefile::timeLine(k)]);
        if (!row || *row >= t)
            return k;
    }
    return std::nullopt;
}

std::optional<scorefile::Lines> withRow(const scorefile::Lines& table, double t, const QString& name)
{
    const std::optional<int> place = placeFor(table, t);
    if (!place)
        return std::nullopt;
    scorefile::Lines lines = table;
    std::move_backward(lines.begin() + scorefile::timeLine(*place), lines.end() - 2, lines.end());
    lines[scorefile::timeLine(*place)] = timeText(t);
    lines[scorefile::nameLine(*place)] = name;
    return lines;
}

QString timeText(double t)
{
    if (t == std::floor(t) && std::fabs(t) < 1e15)
        return QString::number(static_cast<long long>(t));
    return QString::number(t, 'g', 17);
}

}  // namespace tavlin::ranking
