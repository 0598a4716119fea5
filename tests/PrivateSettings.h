#pragma once

#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// Keeps the settings store in the test's own folder, never at the operator's
// real preferences: XDG_CONFIG_HOME as CTest sets it for each test, or Qt's
// test folder where that variable does not apply (a run by hand, or a platform
// without XDG folders). Create it before the first use of the store.
class PrivateSettings
{
public:
    PrivateSettings()
    {
        const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (configHome.isEmpty() || !file().startsWith(QDir(configHome).absolutePath() + u'/'))
            QStandardPaths::setTestModeEnabled(true);
    }

    static QString file() { return settingsFileName(); }
    static QString folder() { return QFileInfo(settingsFileName()).absolutePath(); }

    // Back to a first run: no file, no folder, whatever a test left there.
    static void clear()
    {
        const QFileInfo where(folder());
        if (where.isDir()) {
            QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            // A folder standing at the file's place must stay searchable to be removed.
            if (!QFileInfo(file()).isDir())
                QFile::setPermissions(file(), QFile::ReadOwner | QFile::WriteOwner);
            QDir(folder()).removeRecursively();
        } else if (where.exists()) {
            QFile::remove(folder());
        }
        // QSettings caches a file it has read and reads it again only when its
        // size or time has changed; one read now makes it forget the removed
        // file, even if the next test writes one of the same size at once.
        BoardSettings scratch;
        LoadBoardSettings(SettingsDefaults::StartScreen, scratch);
    }

    // Writes the store by hand, as the operator or another program might.
    static bool write(const QByteArray &contents)
    {
        QDir().mkpath(folder());
        QFile out(file());
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(contents) == contents.size();
    }

    static QByteArray contents()
    {
        QFile in(file());
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
};
