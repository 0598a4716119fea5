// Every stored preference value, whatever a hand-edited or damaged file holds:
// a preference is either parsed into its range or left to its default, never
// garbage; a size's text reads back as the same size; and loading a whole file
// of any bytes leaves every field sound and the file untouched.
//
// Input: byte 0 picks the check (and the type or defaults); the rest is the
// stored text, a fixed-point number, or the whole settings file.

#include "core/FixedPoint.h"
#include "core/SettingsStore.h"

#include <QDir>
#include <QtEndian>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

constexpr qint64 LargestSizeUnits = 1000 * FixedPoint::Scale, LargestColour = 0xFFFFFF;

QString g_input;

void check(bool holds, const char *what, const QString &detail = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "%s %s\n  input: \"%s\"\n", what, qUtf8Printable(detail), qUtf8Printable(g_input));
    std::abort();
}

// A colour read by hand: an optional sign and ASCII digits, spaces around;
// minus only before zero.
std::optional<qint64> referenceColour(const QString &stored)
{
    static const QRegularExpression form(QStringLiteral("^([+-]?)([0-9]+)$"));
    const QRegularExpressionMatch match = form.match(stored.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : match.capturedView(2))
        value = std::min(value * 10 + (c.unicode() - u'0'), LargestColour + 1);
    if ((match.capturedView(1) == u"-" && value != 0) || value > LargestColour)
        return std::nullopt;
    return value;
}

// A fixed-point number read by hand: sign, digits, one "." or "," and digits,
// digits past the fourth decimal dropped; nullopt beyond the signed 64-bit range.
std::optional<qint64> referenceUnits(const QString &stored)
{
    static const QRegularExpression form(QStringLiteral("^([+-]?)([0-9]*)(?:[.,]([0-9]*))?$"));
    const QRegularExpressionMatch match = form.match(stored.trimmed());
    QString whole = match.captured(2);
    const QString fraction = match.captured(3);
    if (!match.hasMatch() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    if (whole.remove(QRegularExpression(QStringLiteral("^0+"))).size() > 16)
        return std::nullopt;
    __int128 units = 0;
    for (const QChar c : whole)
        units = units * 10 + (c.unicode() - u'0');
    for (int place = 0; place < 4; ++place)
        units = units * 10 + (place < fraction.size() ? fraction[place].unicode() - u'0' : 0);
    const __int128 value = match.captured(1) == u"-" ? -units : units;
    if (value < std::numeric_limits<qint64>::min() || value > std::numeric_limits<qint64>::max())
        return std::nullopt;
    return qint64(value);
}

// The shortest text of a fixed-point number: no leading zeros, no trailing
// zeros after the point, no point for a whole number.
bool isShortestText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]{0,3}[1-9])?$"));
    return form.match(text).hasMatch() && text != u"-0";
}

void checkStoredValue(SettingType type, const QVariant &stored, const QString &asText)
{
    const std::optional<QString> usable = usableStoredValue(type, stored);
    const QString shown = usable.value_or(QStringLiteral("<none>"));
    check(type != SettingType::Text || usable == asText, "a text came back changed:", shown);
    if (type == SettingType::Colour) {
        const std::optional<qint64> expected = referenceColour(asText);
        check(usable.has_value() == expected.has_value(), "colour usable or not by the reference:", shown);
        check(!usable || *usable == QString::number(*expected), "colour read wrong:", shown);
    }
    if (type == SettingType::Size) {
        const std::optional<qint64> units = referenceUnits(asText);
        check(usable.has_value() == (units && *units > 0 && *units <= LargestSizeUnits),
              "size usable or not against the reference:", shown);
        check(!usable || (*usable == FixedPoint::fromUnits(*units).toText() && isShortestText(*usable)),
              "size read wrong:", shown);
    }
}

// A fixed-point number's text is the shortest and reads back as the number.
void checkWritten(const FixedPoint value)
{
    const QString written = value.toText();
    check(FixedPoint::fromText(written) == value, "FixedPoint text does not read back as itself:", written);
    check(isShortestText(written), "FixedPoint text is not the shortest:", written);
}

void checkWholeFile(const QByteArray &file, SettingsDefaults defaults)
{
    const QString path = settingsFileName();
    QFile out(path);
    check(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(file) == file.size(),
          "cannot write the settings file", path);
    out.close();
    const QDateTime written = QFileInfo(path).lastModified();
    BoardSettings record{-1, -1, -1, -1, -1, -1, {}, {}, FixedPoint::fromWhole(-1), {}, FixedPoint::fromWhole(-1)};
    LoadBoardSettings(defaults, record);
    for (const int colour : {record.FormBackColor, record.LabelColor, record.HomeColor, record.VisitorColor,
                             record.LEDColor, record.LEDBackColor})
        check(colour >= 0 && colour <= LargestColour, "colour out of range:", QString::number(colour));
    for (const FixedPoint size : {record.TeamSize, record.TitleSize})
        check(size.units() > 0 && size.units() <= LargestSizeUnits, "size out of range:", size.toText());
    QFile in(path);
    check(in.open(QIODevice::ReadOnly) && in.readAll() == file && QFileInfo(path).lastModified() == written,
          "loading changed the settings file");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The store lives in a private folder, never in the user's own settings.
    static QTemporaryDir home;
    check(home.isValid() && QDir(home.path()).mkpath(QStringLiteral("Quorvane")), "no temporary folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t choice = data[0];
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    g_input = QString::fromUtf8(rest);

    if (choice % 4 == 0) { // one stored value, as the INI reader hands it over: a text or a list
        const auto type = SettingType((choice >> 2) % 3);
        checkStoredValue(type, QVariant(g_input), g_input);
        // A size's comma is its decimal separator; a text's was ", " as typed.
        if (const QStringList list = g_input.split(u','); list.size() > 1)
            checkStoredValue(type, QVariant(list), list.join(type == SettingType::Size ? "," : ", "));
    } else if (choice % 4 == 1) { // a size's text, and the text of any fixed-point number
        const std::optional<FixedPoint> value = FixedPoint::fromText(g_input);
        const std::optional<qint64> expected = referenceUnits(g_input);
        check(value.has_value() == expected.has_value() && (!value || value->units() == *expected),
              "FixedPoint::fromText differs from the reference");
        if (value)
            checkWritten(*value);
        if (rest.size() >= 8)
            checkWritten(FixedPoint::fromUnits(qFromUnaligned<qint64>(rest.constData())));
    } else { // a whole settings file, read as the start screen or the dialog reads it
        checkWholeFile(rest, choice & 4 ? SettingsDefaults::DialogClose : SettingsDefaults::StartScreen);
    }
    return 0;
}
