// Typed entry on a two-digit field: any entry text of any length, any number
// shown, any limit. A leading number must agree with the C library's
// conversion of its digits; a result must lie within 0 to the limit and agree
// with exact integer arithmetic wherever doubles are precise enough to decide
// the same.
//
// Input: byte 0 picks the limit and how the text is decoded (Latin-1 bytes, as
// keys arrive, or UTF-16); byte 1 picks the number shown (0 to 99, nothing, or
// raw bytes); the rest is the entry text.

#include "FuzzCheck.h"

#include "core/DigitEntry.h"

#include <cstring>

namespace {

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

// What an entry yields in exact arithmetic; nullopt too when the numbers are
// too long for doubles to be expected to agree (`decided` false).
std::optional<int> reference(QStringView shown, QStringView text, int max, bool &decided)
{
    const char16_t first = text.isEmpty() ? 0 : text.front().unicode();
    const bool digit = first >= u'0' && first <= u'9';
    if (!digit && first != u'+' && first != u'-')
        return std::nullopt; // asks for nothing
    // An absolute number, or one added to or taken from the number shown.
    const int sign = first == u'-' ? -1 : 1;
    const Spelled base = digit ? Spelled() : spell(shown), added = spell(digit ? text : text.mid(1));
    for (const Spelled *n : {&base, &added})
        if (n->whole.size() + n->fraction.size() > ExactDigits)
            return decided = false, std::nullopt;
    const auto power = [](std::size_t n) { return scaled({false, true, "1", {}, 0}, n); }; // 10^n
    const std::size_t scale = std::max(base.fraction.size(), added.fraction.size());
    const __int128 unit = power(scale), sum = scaled(base, scale) + sign * scaled(added, scale);
    const __int128 floored = sum / unit - (sum % unit != 0 && sum < 0 ? 1 : 0);
    // A whole sum made of fractions, or a long one, may round either way in doubles.
    decided = !(scale > 0 && sum % unit == 0) && (floored < 0 ? -floored : floored) < power(ExactDigits - scale);
    return floored >= 0 && floored <= max ? std::optional<int>(int(floored)) : std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t flags = data[0], shownChoice = data[1];
    data += 2, size -= 2;
    // 99 is what every field passes; the last choice gives negatives too.
    const int limits[] = {99, 0, 32767, int(std::int8_t(flags)) * 257}, max = limits[(flags >> 1) & 3];
    const std::size_t length = shownChoice > 100 ? std::min<std::size_t>(size, shownChoice - 101) : 0;
    const QString shown = shownChoice < 100 ? QString::number(shownChoice)
                                            : QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(length));
    data += length, size -= length;
    QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    if (flags & 1) { // the bytes as UTF-16, copied out as they may lie at any address
        text.resize(qsizetype(size / 2));
        std::memcpy(text.data(), data, size / 2 * 2);
    }
    g_input = QStringLiteral("shown \"%1\", text \"%2\", max %3").arg(shown, text, QString::number(max));

    for (const QString &t : {shown, text}) // NaN differs from any number
        check(DigitEntry::leadingNumber(t) == libraryValue(spell(t)), "leadingNumber differs from the C library's");
    const std::optional<int> result = DigitEntry::newNumber(shown, text, max);
    check(!result || (*result >= 0 && *result <= max), "newNumber gave a number outside 0 to max");
    bool decided = true;
    const std::optional<int> exact = reference(shown, text, max, decided);
    check(!decided || exact == result, "newNumber differs from exact arithmetic");
    return 0;
}
