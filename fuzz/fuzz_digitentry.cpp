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

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

QString g_shown, g_text;
int g_max = 0;

void check(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "%s\n  shown: \"%s\"\n  text: \"%s\"\n  max: %d\n", what, qUtf8Printable(g_shown),
                 qUtf8Printable(g_text), g_max);
    std::abort();
}

// The number a text begins with, spelled out: sign, whole digits without
// leading zeros, fraction digits without trailing zeros.
struct Spelled {
    bool negative = false, anyDigit = false;
    std::string whole, fraction;
};

Spelled spell(QStringView text)
{
    Spelled n;
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        n.negative = text[i++] == u'-';
    for (bool afterPoint = false; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9')
            (afterPoint ? n.fraction : n.whole) += char(c), n.anyDigit = true;
        else if (c == u'.' && !afterPoint)
            afterPoint = true;
        else
            break;
    }
    n.whole.erase(0, n.whole.find_first_not_of('0'));
    n.fraction.erase(n.fraction.find_last_not_of('0') + 1);
    return n;
}

// The value as the C library converts it: HUGE_VAL when too large.
double libraryValue(const Spelled &n)
{
    const std::string spelled = (n.whole.empty() ? "0" : n.whole) + "." + n.fraction;
    const double value = n.anyDigit ? std::strtod(spelled.c_str(), nullptr) : 0;
    return n.negative ? -value : value;
}

// Up to this many significant digits in every number involved, double
// arithmetic lands on the same side of every whole number as exact arithmetic.
constexpr std::size_t ExactDigits = 13;

// The number scaled by 10^scale, exactly.
__int128 scaled(const Spelled &n, std::size_t scale)
{
    __int128 value = 0;
    for (const char c : n.whole)
        value = value * 10 + (c - '0');
    for (std::size_t i = 0; i < scale; ++i)
        value = value * 10 + (i < n.fraction.size() ? n.fraction[i] - '0' : 0);
    return n.negative ? -value : value;
}

// What an entry yields by the C library (`exact` false) or in exact arithmetic;
// `decided` false when the numbers are too long for doubles to be expected to agree.
std::optional<int> reference(QStringView shown, QStringView text, int max, bool exact, bool &decided)
{
    decided = true;
    const char16_t first = text.isEmpty() ? 0 : text.front().unicode();
    const bool digit = first >= u'0' && first <= u'9';
    if (!digit && first != u'+' && first != u'-')
        return std::nullopt; // asks for nothing
    // An absolute number (sign 0) or one added to the number shown.
    const int sign = digit ? 0 : first == u'-' ? -1 : 1;
    const Spelled base = sign ? spell(shown) : Spelled(), added = spell(digit ? text : text.mid(1));
    double result = 0;
    if (!exact) {
        result = std::floor(libraryValue(base) + (sign ? sign : 1) * libraryValue(added));
    } else {
        for (const Spelled *n : {&base, &added})
            if (n->whole.size() + n->fraction.size() > ExactDigits)
                return decided = false, std::nullopt;
        const std::size_t scale = std::max(base.fraction.size(), added.fraction.size());
        __int128 unit = 1;
        for (std::size_t i = 0; i < scale; ++i)
            unit *= 10;
        const __int128 sum = scaled(base, scale) + (sign ? sign : 1) * scaled(added, scale);
        const __int128 floored = sum / unit - (sum % unit != 0 && sum < 0 ? 1 : 0);
        std::size_t digits = 0;
        for (__int128 v = floored < 0 ? -floored : floored; v > 0; v /= 10)
            ++digits;
        // A whole sum made of fractions, or a long one, may round either way in doubles.
        decided = decided && !(scale > 0 && sum % unit == 0) && digits + scale <= ExactDigits;
        result = decided ? double(floored) : 0;
    }
    return result >= 0 && result <= max ? std::optional<int>(int(result)) : std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t flags = data[0], shownChoice = data[1];
    data += 2, size -= 2;
    // 99 is what every field passes; the last choice gives negatives too.
    const int limits[] = {99, 0, 32767, int(std::int8_t(flags)) * 257};
    g_max = limits[(flags >> 1) & 3];
    g_shown = shownChoice < 100 ? QString::number(shownChoice) : QString();
    if (shownChoice > 100) {
        const std::size_t length = std::min<std::size_t>(size, shownChoice - 101);
        g_shown = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(length));
        data += length, size -= length;
    }
    if (flags & 1) {
        g_text.resize(qsizetype(size / 2));
        std::memcpy(g_text.data(), data, size / 2 * 2);
    } else {
        g_text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    }

    for (const QString &text : {g_shown, g_text}) {
        const double value = DigitEntry::leadingNumber(text);
        check(!std::isnan(value), "leadingNumber gave NaN");
        check(value == libraryValue(spell(text)), "leadingNumber differs from the C library's conversion");
    }
    const std::optional<int> result = DigitEntry::newNumber(g_shown, g_text, g_max);
    check(!result || (*result >= 0 && *result <= g_max), "newNumber gave a number outside 0 to max");
    bool decided = true;
    check(result == reference(g_shown, g_text, g_max, false, decided),
          "newNumber differs from the C library reference");
    const std::optional<int> exact = reference(g_shown, g_text, g_max, true, decided);
    check(!decided || exact == result, "newNumber differs from exact arithmetic");
    return 0;
}
