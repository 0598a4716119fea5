#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <array>
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

// An INI value with an unquoted comma reads back as a list; it was one text.
QString storedText(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList().join(QStringLiteral(", "));
    return stored.toString();
}

QString describe(QSettings::Status status, const QString &fileName)
{
    const QFileInfo file(fileName);
    if (status == QSettings::FormatError)
        return QStringLiteral("The file is not a valid settings file.");
    if (file.exists() && file.isDir())
        return QStringLiteral("A folder stands where the file should be.");
    if (file.exists() && !file.isWritable())
        return QStringLiteral("The file is read-only.");
    const QFileInfo folder(file.absolutePath());
    if (folder.exists() && !folder.isWritable())
        return QStringLiteral("The folder %1 cannot be written to.").arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    return QStringLiteral("The file could not be written (the disk may be full or the folder missing).");
}

} // namespace

std::optional<QString> usableStoredValue(SettingType type, const QVariant &stored)
{
    const QString text = storedText(stored);
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
    const QSettings store(settingsFileName(), QSettings::IniFormat);
    for (const Key &key : Keys) {
        const QString fallback = QString::fromLatin1(
            defaults == SettingsDefaults::StartScreen ? key.startScreenDefault : key.dialogCloseDefault);
        const QVariant stored = store.value(keyPath(key));
        const auto usable = stored.isValid() ? usableStoredValue(key.type, stored) : std::nullopt;
        assign(into, key, usable.value_or(fallback));
    }
}

SettingsSaveResult SaveBoardSettings(const BoardSettings &from)
{
    QSettings store(settingsFileName(), QSettings::IniFormat);
    for (const Key &key : Keys)
        store.setValue(keyPath(key), textOf(from, key));
    store.sync();
    SettingsSaveResult result;
    result.fileName = store.fileName();
    if (store.status() != QSettings::NoError) {
        result.ok = false;
        result.reason = describe(store.status(), result.fileName);
    }
    return result;
}
