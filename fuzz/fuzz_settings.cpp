// Every stored preference value, whatever a hand-edited or damaged file holds:
// a preference is either parsed into its range or left to its default, never
// garbage; a size's text reads back as the same size; and loading a whole file
// of any bytes leaves every field sound and the file untouched.
//
// Input: byte 0 picks the check (and the type or defaults); the rest is the
// stored text, a fixed-point number, or the whole settings file.

#include "FuzzCheck.h"

#include "core/FixedPoint.h"
#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <limits>

namespace {

constexpr qint64 LargestSizeUnits = 1000 * FixedPoint::Scale, LargestColour = 0xFFFFFF;

// A colour (no point, no minus but before zero) or a fixed-point number (sign,
// digits, one "." or ","; digits past the fourth decimal dropped) read by hand,
// spaces around; nullopt for anything else or beyond the type's range.
std::optional<qint64> reference(const QString &stored, bool colour)
{
    const QString text = stored.trimmed();
    const Spelled n = spell(text, colour ? u"" : u".,");
    if (n.end != text.size() || !n.anyDigit || n.whole.size() > (colour ? 8 : 16))
        return std::nullopt;
    const __int128 value = scaled(n, colour ? 0 : 4);
    if (colour ? value < 0 || value > LargestColour
               : value < std::numeric_limits<qint64>::min() || value > std::numeric_limits<qint64>::max())
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

// A stored value is used as the reference reads it: a text as it is, a
// colour's number, a size's shortest text when within 0 to 1000 points.
void checkStoredValue(SettingType type, const QVariant &stored, const QString &asText)
{
    const std::optional<QString> usable = usableStoredValue(type, stored);
    std::optional<QString> expected = asText;
    if (const std::optional<qint64> n = reference(asText, type == SettingType::Colour); type == SettingType::Colour)
        expected = n ? std::optional(QString::number(*n)) : std::nullopt;
    else if (type == SettingType::Size)
        expected = n && *n > 0 && *n <= LargestSizeUnits ? std::optional(FixedPoint::fromUnits(*n).toText())
                                                         : std::nullopt;
    check(usable == expected, "a stored value is used otherwise than the reference reads it:",
          usable.value_or(QStringLiteral("<none>")));
}

// A fixed-point number's text is the shortest and reads back as the number.
void checkWritten(const FixedPoint value)
{
    const QString written = value.toText();
    check(FixedPoint::fromText(written) == value && isShortestText(written),
          "FixedPoint text is not the shortest or does not read back as itself:", written);
}

// Loading any file leaves every field in range and the file untouched.
void checkWholeFile(const QByteArray &file, SettingsDefaults defaults)
{
    QFile store(settingsFileName());
    check(store.open(QIODevice::WriteOnly | QIODevice::Truncate) && store.write(file) == file.size(),
          "cannot write the settings file");
    store.close();
    const QDateTime written = QFileInfo(store).lastModified();
    BoardSettings record{-1, -1, -1, -1, -1, -1, {}, {}, FixedPoint::fromWhole(-1), {}, FixedPoint::fromWhole(-1)};
    LoadBoardSettings(defaults, record);
    for (const int colour : {record.FormBackColor, record.LabelColor, record.HomeColor, record.VisitorColor,
                             record.LEDColor, record.LEDBackColor})
        check(colour >= 0 && colour <= LargestColour, "colour out of range:", QString::number(colour));
    for (const FixedPoint size : {record.TeamSize, record.TitleSize})
        check(size.units() > 0 && size.units() <= LargestSizeUnits, "size out of range:", size.toText());
    check(store.open(QIODevice::ReadOnly) && store.readAll() == file && QFileInfo(store).lastModified() == written,
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
        const std::optional<qint64> expected = reference(g_input, false);
        check(value ? expected == value->units() : !expected, "FixedPoint::fromText differs from the reference");
        if (value)
            checkWritten(*value);
        if (rest.size() >= 8)
            checkWritten(FixedPoint::fromUnits(qFromUnaligned<qint64>(rest.constData())));
    } else { // a whole settings file, read as the start screen or the dialog reads it
        checkWholeFile(rest, choice & 4 ? SettingsDefaults::DialogClose : SettingsDefaults::StartScreen);
    }
    return 0;
}
