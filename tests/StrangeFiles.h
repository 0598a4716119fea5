#pragma once

#include "core/UserFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaType>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

// What an operator or another program may leave where the program keeps a
// file of its own. Made with POSIX calls, so these tests run where those are.
enum class StrangeFile { Folder, Pipe, Device, Socket, Oversized };
Q_DECLARE_METATYPE(StrangeFile)

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
    case StrangeFile::Socket: {
        // Bound by its name within its folder: a full path may not fit the address.
        const QString previous = QDir::currentPath();
        const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
        sockaddr_un address{AF_UNIX, {}};
        const int handle = socket(AF_UNIX, SOCK_STREAM, 0);
        bool bound = handle >= 0 && std::size_t(name.size()) < sizeof address.sun_path
            && QDir::setCurrent(QFileInfo(path).absolutePath());
        if (bound)
            std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        bound = bound && bind(handle, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        QDir::setCurrent(previous);
        if (handle >= 0)
            close(handle); // the socket's name stays on disk
        return bound;
    }
    case StrangeFile::Oversized: {
        QFile file(path);
        const QByteArray padded = contents + QByteArray(UserFile::LargestSize + 1 - contents.size(), '\n');
        return file.open(QIODevice::WriteOnly) && file.write(padded) == padded.size();
    }
    }
    return false;
}
