#pragma once

#include "core/UserFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

// What an operator or another program may leave where the program keeps a
// file of its own. Made with POSIX calls, so these tests run where those are.
enum class StrangeFile { Folder, Pipe, Device, Socket, Oversized };

// Puts `kind` at `path`, whose folder exists. An oversized file holds
// `contents`, padded with blank lines to one byte past the largest size read.
inline bool putStrangeFile(StrangeFile kind, const QString &path, const QByteArray &contents = {})
{
    switch (kind) {
    case StrangeFile::Folder:
        return QDir().mkpath(path);
    case StrangeFile::Pipe:
        return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case StrangeFile::Device:
        return QFile::link(QStringLiteral("/dev/zero"), path);
    case StrangeFile::Socket: // Linux makes one without binding it
        return mknod(QFile::encodeName(path).constData(), S_IFSOCK | 0600, 0) == 0;
    case StrangeFile::Oversized:
        QFile file(path);
        const QByteArray padded = contents + QByteArray(UserFile::LargestSize + 1 - contents.size(), '\n');
        return file.open(QIODevice::WriteOnly) && file.write(padded) == padded.size();
    }
    return false;
}
