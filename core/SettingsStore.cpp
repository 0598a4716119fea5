#include "core/SettingsStore.h"

#include "core/UserFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <array>
#include <memory>
#include <variant>

namespace {

// Larger sizes make no sense on any screen and only burden the font engine.
constexpr FixedPoint LargestSize = FixedPoint::fromWhole(1000);

using Field = std::variant<int BoardSettings::*, QString BoardSettings::*, FixedPoint BoardSettings::*>;

struct Key {
    const char *section;
    const char *name;
    SettingType type;
    Field field;
    const char *startScreenDefault;
    const char *dialogCloseDefault;
};

// In the order they are written.
const std::array<Key, 11> Keys{{
    {"ColorSettings", "FormBackColor", SettingType::Colour, &BoardSettings::FormBackColor, "255", "255"},
    {"ColorSettings", "LabelColor", SettingType::Colour, &BoardSettings::LabelColor, "16777215", "16777215"},
    {"ColorSettings", "HomeColor", SettingType::Colour, &BoardSettings::HomeColor, "16777215", "16777215"},
    {"ColorSettings", "VisitorColor", SettingType::Colour, &BoardSettings::VisitorColor, "16777215", "16777215"},
    {"ColorSettings", "LEDColor", SettingType::Colour, &BoardSettings::LEDColor, "65535", "65535"},
    {"ColorSettings", "LEDBackColor", SettingType::Colour, &BoardSettings::LEDBackColor, "0", "0"},
    {"TextSettings", "HomeText", SettingType::Text, &BoardSettings::HomeText, "Home", "Home"},
    {"TextSettings", "VisitorText", SettingType::Text, &BoardSettings::VisitorText, "Visitor", "Visitor"},
    {"TextSettings", "TeamSize", SettingType::Size, &BoardSettings::TeamSize, "19", "24"},
    {"TextSettings", "TitleText", SettingType::Text, &BoardSettings::TitleText, "Home", "Home"},
    {"TextSettings", "TitleSize", SettingType::Size, &BoardSettings::TitleSize, "40", "40"},
}};

QString keyPath(const Key &key)
{
    return QStringLiteral("%1/%2").arg(QLatin1String(key.section), QLatin1String(key.name));
}

// Puts a usable text into its field.
void assign(BoardSettings &into, const Key &key, const QString &text)
{
    std::visit(
        [&](auto member) {
            using T = std::remove_cvref_t<decltype(into.*member)>;
            if constexpr (std::is_same_v<T, int>)
                into.*member = text.toInt();
            else if constexpr (std::is_same_v<T, QString>)
                into.*member = text;
            else
                into.*member = FixedPoint::fromText(text).value_or(FixedPoint());
        },
        key.field);
}

QString textOf(const BoardSettings &from, const Key &key)
{
    return std::visit(
        [&](auto member) -> QString {
            using T = std::remove_cvref_t<decltype(from.*member)>;
            if constexpr (std::is_same_v<T, int>)
                return QString::number(from.*member);
            else if constexpr (std::is_same_v<T, QString>)
                return from.*member;
            else
                return (from.*member).toText();
        },
        key.field);
}

QString defaultText(const Key &key, SettingsDefaults defaults)
{
    return QString::fromLatin1(defaults == SettingsDefaults::StartScreen ? key.startScreenDefault
                                                                         : key.dialogCloseDefault);
}

// The text of a stored value. A hand-edited value with an unquoted comma reads
// back as a list although it was one text; a size may use the comma as its
// decimal separator ("19,5"). A value of some other kind (an "@Variant(...)"
// typed by hand) has no text: nullopt.
std::optional<QString> storedText(SettingType type, const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QStringList) {
        const QString separator = type == SettingType::Size ? QStringLiteral(",") : QStringLiteral(", ");
        return stored.toStringList().join(separator);
    }
    if (!stored.canConvert<QString>())
        return std::nullopt;
    return stored.toString();
}

// Named by its path, QSettings reads this one file and none of the system-wide
// or organisation-wide files it would otherwise fall back to. Nothing when the
// path holds no plain file of sane size: QSettings would read a pipe or a
// device for ever, so such a store reads as missing, without being opened.
std::unique_ptr<QSettings> openStore()
{
    const QString fileName = settingsFileName();
    if (UserFile::unusableReason(fileName))
        return nullptr;
    return std::make_unique<QSettings>(fileName, QSettings::IniFormat);
}

QVariant storedValue(const QSettings *store, const QString &path)
{
    return store ? store->value(path) : QVariant();
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// QSettings keeps values it could not write in a cache shared by the whole
// process, and every later read finds them there as if they were stored. So a
// save first checks what QSettings itself needs (a writable file or a folder to
// create it in, room for its lock file and temporary file) and touches the
// store only when those are there. A save also reads the file, and the lock
// file when another writer holds it, so both must be plain files of sane size.
std::optional<QString> unwritableReason(const QString &fileName)
{
    for (const QString &path : {fileName, fileName + QStringLiteral(".lock")}) {
        if (auto reason = UserFile::unusableReason(path))
            return reason;
    }
    const QFileInfo file(fileName);
    const QString folder = file.absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("The folder %1 cannot be created.").arg(nativePath(folder));
    if (file.exists()) {
        QFile existing(fileName);
        if (!existing.open(QIODevice::ReadWrite))
            return QStringLiteral("The file %1 is read-only.").arg(nativePath(fileName));
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("Quorvane.XXXXXX")));
    if (!probe.open())
        return QStringLiteral("The folder %1 cannot be written to.").arg(nativePath(folder));
    return std::nullopt;
}

} // namespace

std::optional<QString> usableStoredValue(SettingType type, const QVariant &stored)
{
    const auto storedAsText = storedText(type, stored);
    if (!storedAsText)
        return std::nullopt;
    const QString &text = *storedAsText;
    switch (type) {
    case SettingType::Text:
        return text;
    case SettingType::Colour: {
        bool ok = false;
        const QString number = text.trimmed();
        const qlonglong value = number.toLongLong(&ok);
        // The conversion stops at a NUL character and would not see what follows.
        if (!ok || number.contains(QChar::Null) || value < 0 || value > 0xFFFFFF)
            return std::nullopt;
        return QString::number(value);
    }
    case SettingType::Size: {
        const auto size = FixedPoint::fromText(text);
        if (!size || *size <= FixedPoint() || *size > LargestSize)
            return std::nullopt;
        return size->toText();
    }
    }
    return std::nullopt;
}

QString settingsFileName()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(base).filePath(QStringLiteral("Quorvane/Quorvane.conf"));
}

void LoadBoardSettings(SettingsDefaults defaults, BoardSettings &into)
{
    const auto store = openStore();
    for (const Key &key : Keys) {
        const QString fallback = defaultText(key, defaults);
        const QVariant stored = storedValue(store.get(), keyPath(key));
        const auto usable = stored.isValid() ? usableStoredValue(key.type, stored) : std::nullopt;
        assign(into, key, usable.value_or(fallback));
    }
}

BoardSettings defaultBoardSettings(SettingsDefaults defaults)
{
    BoardSettings record;
    for (const Key &key : Keys)
        assign(record, key, defaultText(key, defaults));
    return record;
}

std::optional<QString> LoadStoredText(const QString &path)
{
    const QVariant stored = storedValue(openStore().get(), path);
    return stored.isValid() ? storedText(SettingType::Text, stored) : std::nullopt;
}

SettingsSaveResult SaveStoredTexts(const QList<std::pair<QString, QString>> &values)
{
    SettingsSaveResult result;
    result.fileName = settingsFileName();
    const auto reason = unwritableReason(result.fileName);
    const auto store = reason ? nullptr : openStore();
    if (!store) {
        result.ok = false;
        // openStore() refuses only a path unwritableReason() names, unless
        // something took the file's place in between.
        result.reason = reason.value_or(QStringLiteral("The file %1 was replaced while it was being saved.")
                                            .arg(nativePath(result.fileName)));
        return result;
    }

    QList<QVariant> before;
    for (const auto &[path, text] : values)
        before.append(store->value(path));
    for (const auto &[path, text] : values)
        store->setValue(path, text);
    store->sync();

    QSettings::Status status = store->status();
    if (status == QSettings::FormatError) {
        // A hand-edited line QSettings could not parse marks the object that
        // read it for good, whatever the write did. A fresh object retries a
        // write still pending, so its status tells whether ours went through.
        if (const auto fresh = openStore())
            status = fresh->status();
    }
    if (status == QSettings::NoError)
        return result;

    result.ok = false;
    result.reason = QStringLiteral("The file %1 could not be written; the disk may be full.")
                        .arg(nativePath(result.fileName));
    // The unwritten values would otherwise be read back as stored (see above).
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (before[i].isValid())
            store->setValue(values[i].first, before[i]);
        else
            store->remove(values[i].first);
    }
    return result;
}

SettingsSaveResult SaveBoardSettings(const BoardSettings &from)
{
    QList<std::pair<QString, QString>> values;
    for (const Key &key : Keys)
        values.append({keyPath(key), textOf(from, key)});
    return SaveStoredTexts(values);
}
