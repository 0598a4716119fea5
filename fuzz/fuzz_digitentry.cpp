// Typed entry on a two-digit field: any entry text of any length, any number
// shown, any limit. A result must lie within 0 to the limit, and must agree
// with two references built another way: the C library's conversion of the
// same leading number, and exact integer arithmetic wherever doubles are
// precise enough to decide the same.
//
// Input: byte 0 picks the limit and how the text is decoded (Latin-1 bytes, as
// keys arrive, or UTF-16); byte 1 picks the number shown (0 to 99, nothing, or
// raw bytes); the rest is the entry text.

#include "core/DigitEntry.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

QStringView g_shown;
QStringView g_text;
int g_max = 0;

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "%s\n  shown: \"%s\"\n  text: \"%s\"\n  max: %d\n", what,
                 g_shown.toUtf8().constData(), g_text.toUtf8().constData(), g_max);
    std::abort();
}

// The number a text begins with, spelled out: sign, whole digits without
// leading zeros, fraction digits without trailing zeros.
struct Spelled {
    bool negative = false;
    bool anyDigit = false;
    std::string whole;
    std::string fraction;
};

Spelled spell(QStringView text)
{
    Spelled n;
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        n.negative = text[i] == u'-';
        ++i;
    }
    bool afterPoint = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            (afterPoint ? n.fraction : n.whole) += char(c);
            n.anyDigit = true;
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    n.whole.erase(0, n.whole.find_first_not_of('0'));
    n.fraction.erase(n.fraction.find_last_not_of('0') + 1);
    return n;
}

double libraryValue(const Spelled &n)
{
    if (!n.anyDigit)
        return 0;
    const std::string spelled = (n.whole.empty() ? "0" : n.whole) + "." + n.fraction;
    const double value = std::strtod(spelled.c_str(), nullptr); // HUGE_VAL when too large
    return n.negative ? -value : value;
}

std::optional<int> inRange(double floored, int max)
{
    if (!(floored >= 0 && floored <= max))
        return std::nullopt;
    return int(floored);
}

// What an entry yields, with the C library converting the numbers.
std::optional<int> libraryNewNumber(QStringView shown, QStringView text, int max)
{
    if (text.isEmpty())
        return std::nullopt;
    const char16_t first = text.front().unicode();
    double result = 0;
    if (first >= u'0' && first <= u'9')
        result = libraryValue(spell(text));
    else if (first == u'+')
        result = libraryValue(spell(shown)) + libraryValue(spell(text.mid(1)));
    else if (first == u'-')
        result = libraryValue(spell(shown)) - libraryValue(spell(text.mid(1)));
    else
        return std::nullopt;
    return inRange(std::floor(result), max);
}

// Up to this many significant digits in every number involved, double
// arithmetic lands on the same side of every whole number as exact arithmetic.
constexpr std::size_t ExactDigits = 13;

__int128 scaled(const Spelled &n, std::size_t scale)
{
    __int128 value = 0;
    for (const char c : n.whole)
        value = value * 10 + (c - '0');
    for (std::size_t i = 0; i < scale; ++i)
        value = value * 10 + (i < n.fraction.size() ? n.fraction[i] - '0' : 0);
    return n.negative ? -value : value;
}

std::size_t digitCount(__int128 value)
{
    std::size_t count = 0;
    for (value = value < 0 ? -value : value; value > 0; value /= 10)
        ++count;
    return count;
}

// What an entry yields in exact arithmetic, or nothing when the numbers are
// too long for doubles to be expected to agree.
std::optional<std::optional<int>> exactNewNumber(QStringView shown, QStringView text, int max)
{
    using Decided = std::optional<std::optional<int>>;
    if (text.isEmpty())
        return Decided(std::optional<int>());
    const char16_t first = text.front().unicode();
    Spelled base;
    Spelled entry;
    int sign = 1;
    if (first >= u'0' && first <= u'9') {
        entry = spell(text);
    } else if (first == u'+' || first == u'-') {
        base = spell(shown);
        entry = spell(text.mid(1));
        sign = first == u'-' ? -1 : 1;
    } else {
        return Decided(std::optional<int>());
    }
    for (const Spelled *n : {&base, &entry}) {
        if (n->whole.size() + n->fraction.size() > ExactDigits)
            return std::nullopt;
    }
    const std::size_t scale = std::max(base.fraction.size(), entry.fraction.size());
    __int128 unit = 1;
    for (std::size_t i = 0; i < scale; ++i)
        unit *= 10;
    const __int128 sum = scaled(base, scale) + sign * scaled(entry, scale);
    __int128 floored = sum / unit;
    if (sum % unit != 0 && sum < 0)
        --floored;
    // A whole sum made of fractions, or a long one, may round either way in doubles.
    if ((scale > 0 && sum % unit == 0) || digitCount(floored) + scale > ExactDigits)
        return std::nullopt;
    if (floored < 0 || floored > max)
        return Decided(std::optional<int>());
    return Decided(std::optional<int>(int(floored)));
}

void checkLeadingNumber(QStringView text)
{
    const double value = DigitEntry::leadingNumber(text);
    if (std::isnan(value))
        fail("leadingNumber gave NaN");
    if (value != libraryValue(spell(text)))
        fail("leadingNumber differs from the C library's conversion");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t flags = data[0];
    const std::uint8_t shownChoice = data[1];
    data += 2;
    size -= 2;

    switch ((flags >> 1) & 3) {
    case 0:
        g_max = 99; // what every field passes
        break;
    case 1:
        g_max = 0;
        break;
    case 2:
        g_max = 32767;
        break;
    default:
        g_max = int(std::int8_t(flags)) * 257; // negatives too
        break;
    }

    QString shown;
    if (shownChoice < 100) {
        shown = QString::number(shownChoice);
    } else if (shownChoice > 100) {
        const std::size_t length = std::min<std::size_t>(size, shownChoice - 101);
        shown = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(length));
        data += length;
        size -= length;
    }

    QString text;
    if (flags & 1) {
        text.resize(qsizetype(size / 2));
        std::memcpy(text.data(), data, size / 2 * 2);
    } else {
        text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    }

    g_shown = shown;
    g_text = text;
    checkLeadingNumber(shown);
    checkLeadingNumber(text);

    const std::optional<int> result = DigitEntry::newNumber(shown, text, g_max);
    if (result && (*result < 0 || *result > g_max))
        fail("newNumber gave a number outside 0 to max");
    if (result != libraryNewNumber(shown, text, g_max))
        fail("newNumber differs from the C library reference");
    if (const auto exact = exactNewNumber(shown, text, g_max); exact && *exact != result)
        fail("newNumber differs from exact arithmetic");
    return 0;
}
