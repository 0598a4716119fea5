#pragma once

// What the fuzz targets share: a failed check that names the input, and a
// plain reading of a number's text to hold the program's against.

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

// The input being checked, as a failure shows it.
inline QString g_input;

inline void check(bool holds, const char *what, const QString &detail = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "%s %s\n  input: %s\n", what, qUtf8Printable(detail), qUtf8Printable(g_input));
    std::abort();
}

// The number a text begins with, spelled out: sign, whole digits without
// leading zeros, fraction digits (after one of `points`) without trailing
// zeros; `end` is where the number stopped.
struct Spelled {
    bool negative = false, anyDigit = false;
    std::string whole, fraction;
    qsizetype end = 0;
};

inline Spelled spell(QStringView text, QStringView points = u".")
{
    Spelled n;
    qsizetype &i = n.end;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        n.negative = text[i++] == u'-';
    for (bool afterPoint = false; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            (afterPoint ? n.fraction : n.whole) += char(c.unicode()), n.anyDigit = true;
        else if (points.contains(c) && !afterPoint)
            afterPoint = true;
        else
            break;
    }
    n.whole.erase(0, n.whole.find_first_not_of('0'));
    n.fraction.erase(n.fraction.find_last_not_of('0') + 1);
    return n;
}

// The number times 10^scale, exactly, digits past the scale dropped.
inline __int128 scaled(const Spelled &n, std::size_t scale)
{
    __int128 value = 0;
    for (const char c : n.whole)
        value = value * 10 + (c - '0');
    for (std::size_t i = 0; i < scale; ++i)
        value = value * 10 + (i < n.fraction.size() ? n.fraction[i] - '0' : 0);
    return n.negative ? -value : value;
}
