#pragma once

#include "core/BoardSettings.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>

// The per-user store of the eleven preferences: an INI file in the user's
// configuration folder (settingsFileName(), on Linux
// $XDG_CONFIG_HOME/Quorvane/Quorvane.conf, by default under ~/.config),
// sections [ColorSettings] and [TextSettings], every value plain text so the
// operator or another program can read and edit it. Anything but a plain file
// at that path (a folder, a pipe, a device, a socket) or a file larger than
// UserFile::LargestSize is never opened: it reads as a missing store and a
// save is refused, leaving it as it is.

// Which defaults stand in for missing or unusable keys: they differ only in
// TeamSize (19 as the start screen loads, 24 as the options dialog closes).
enum class SettingsDefaults { StartScreen, DialogClose };

struct SettingsSaveResult {
    bool ok = true;
    QString fileName;
    QString reason; // why the store could not be written; empty when ok
};

enum class SettingType { Colour, Text, Size };

// Turns a stored value into the text of a usable value of its type, or nullopt
// when it is unusable (not a number, a colour outside 0 to 0xFFFFFF, a size
// no font can take); the key's default then applies. A text is always usable.
std::optional<QString> usableStoredValue(SettingType type, const QVariant &stored);

QString settingsFileName();

// Reads all eleven keys into the record; never writes the store.
void LoadBoardSettings(SettingsDefaults defaults, BoardSettings &into = BoardSettings::shared());
// The record as it reads from an empty store.
BoardSettings defaultBoardSettings(SettingsDefaults defaults);
// Writes all eleven keys, changed or not, and tells whether they reached the
// disk. A failed save leaves the file as it was (QSettings writes through a
// temporary file) and later reads return what the file holds.
SettingsSaveResult SaveBoardSettings(const BoardSettings &from = BoardSettings::shared());

// The other sections of the same file ("Stream/Port"), read and written with
// the same care. A missing key, or one with no text, reads as nullopt; the
// caller judges whether the text is usable.
std::optional<QString> LoadStoredText(const QString &path);
// Writes the keys together and tells whether they reached the disk.
SettingsSaveResult SaveStoredTexts(const QList<std::pair<QString, QString>> &values);
