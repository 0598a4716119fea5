#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The one check made before the program opens a file of its own in the
// user's folders (the preferences, the game journal, their lock files).
// Whatever stands at such a path was put there by someone: a named pipe or a
// device would block or never end when read, and a huge file would be loaded
// whole. Only nothing at all (a file yet to be made) or a regular file, or a
// symbolic link to one, of at most LargestSize bytes may be opened.
namespace UserFile {

// Far above anything the program writes there (a few hundred bytes of
// preferences, a game of about one kilobyte).
inline constexpr qint64 LargestSize = 1024 * 1024;

// Why the path must not be opened, for reading or for writing, as a sentence
// naming it; nullopt when it may be.
std::optional<QString> unusableReason(const QString &path);

} // namespace UserFile
