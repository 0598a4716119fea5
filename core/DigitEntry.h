#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The arithmetic of typed entry on a two-digit field, free of any window.
namespace DigitEntry {

// The number a text begins with: an optional sign, then digits with at most one
// decimal point, up to the first character that does not fit; 0 when the text
// begins with no number. Very long digit runs give infinity, never overflow.
double leadingNumber(QStringView text);

// The number an entry text asks for, given the number the field shows now
// (its digits, e.g. "42"): an absolute entry ("12"), or one relative to it
// ("+5", "-20"), rounded down. nullopt when the text asks for nothing (empty,
// or beginning with anything but a digit, "+" or "-") or the result lies
// outside 0 to max: the field then stays as it is.
std::optional<int> newNumber(QStringView shown, QStringView text, int max);

} // namespace DigitEntry
