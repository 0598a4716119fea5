#include "core/UserFile.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> UserFile::unusableReason(const QString &path)
{
    // QFileInfo follows symbolic links: a link to a device is a device, and a
    // link to nothing is a file yet to be made.
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!info.exists())
        return std::nullopt;
    if (info.isDir())
        return QStringLiteral("A folder stands where the file %1 should be.").arg(shown);
    if (!info.isFile())
        return QStringLiteral(
            "%1 is not a regular file: a pipe, a device or another special file stands there.")
            .arg(shown);
    if (info.size() > LargestSize)
        return QStringLiteral("The file %1 is larger than %2 MiB, far too large to be the program's own.")
            .arg(shown)
            .arg(LargestSize / (1024 * 1024));
    return std::nullopt;
}
