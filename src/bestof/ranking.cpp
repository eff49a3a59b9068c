#include "ranking.h"

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
    if (caption.isEmpty())
        return std::nullopt;
    for (QChar c : caption) {
        if (!isDigit(c))
            return std::nullopt;
    }
    bool ok = false;
    const double value = caption.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<int> findPlace(const std::array<QString, RowCount>& times, double t)
{
    for (int k = 0; k < RowCount; ++k) {
        const std::optional<double> row = rowTime(times[k]);
        if (!row || *row >= t)
            return k;
    }
    return std::nullopt;
}

QString timeText(double t)
{
    if (t == std::floor(t) && std::fabs(t) < 1e15)
        return QString::number(static_cast<long long>(t));
    return QString::number(t, 'g', 17);
}

}  // namespace tavlin::ranking
