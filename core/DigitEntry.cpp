#include "core/DigitEntry.h"

#include <cmath>

namespace DigitEntry {

namespace {

bool isDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

} // namespace

double leadingNumber(QStringView text)
{
    qsizetype pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    // Collect the digits with at most one point, then let the library convert
    // them so the value is correctly rounded, however long the run is.
    QByteArray number;
    bool seenPoint = false;
    bool seenDigit = false;
    bool wholePartAboveZero = false;
    for (; pos < text.size(); ++pos) {
        const QChar ch = text[pos];
        if (isDigit(ch)) {
            seenDigit = true;
            wholePartAboveZero = wholePartAboveZero || (!seenPoint && ch != u'0');
            number.append(char(ch.unicode()));
        } else if (ch == u'.' && !seenPoint) {
            seenPoint = true;
            number.append('.');
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0;
    bool ok = false;
    double value = number.toDouble(&ok);
    // Beyond double's range: a number of one or more is enormous; below one, the
    // fraction is too small for a double and is as good as zero.
    if (!ok)
        value = wholePartAboveZero ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

std::optional<int> newNumber(QStringView shown, QStringView text, int max)
{
    if (text.isEmpty())
        return std::nullopt;
    const QChar first = text.front();
    double result = 0;
    if (isDigit(first))
        result = leadingNumber(text);
    else if (first == u'+')
        result = leadingNumber(shown) + leadingNumber(text.mid(1));
    else if (first == u'-')
        result = leadingNumber(shown) - leadingNumber(text.mid(1));
    else
        return std::nullopt;
    result = std::floor(result);
    // NaN (infinity minus infinity) fails both tests and is refused too.
    if (!(result >= 0 && result <= max))
        return std::nullopt;
    return int(result);
}

} // namespace DigitEntry
