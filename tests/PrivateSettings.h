#pragma once

#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

// Keeps the settings store in the test's own folder, never the operator's:
// XDG_CONFIG_HOME as CTest sets it, else Qt's test folder (a run by hand).
// Create one before the first use of the store.
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
        // Searchable again to be removed; a link's target is not ours to change.
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QFileInfo(file()).isFile() && !QFileInfo(file()).isSymLink())
            QFile::setPermissions(file(), QFile::ReadOwner | QFile::WriteOwner);
        QDir(folder()).removeRecursively(); // a folder, or else a file in its place
        QFile::remove(folder());
        // QSettings re-reads a file only when its size or time changed: one
        // read now makes it forget the removed one.
        read();
    }

    // Writes the store by hand, as the operator or another program might.
    static bool write(const QByteArray &contents)
    {
        QDir().mkpath(folder());
        QFile out(file());
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(contents) == contents.size();
    }

    static QByteArray contents(const QString &path = file())
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    // The eleven preferences as "key=value" lines in the store's order, so a
    // failed comparison names the key; a huge text shows as its length.
    static QStringList describe(const BoardSettings &s)
    {
        const auto text = [](const QString &t) { return t.size() > 1000 ? QString("<%1 chars>").arg(t.size()) : t; };
        return {"FormBackColor=" + QString::number(s.FormBackColor), "LabelColor=" + QString::number(s.LabelColor),
                "HomeColor=" + QString::number(s.HomeColor), "VisitorColor=" + QString::number(s.VisitorColor),
                "LEDColor=" + QString::number(s.LEDColor), "LEDBackColor=" + QString::number(s.LEDBackColor),
                "HomeText=" + text(s.HomeText), "VisitorText=" + text(s.VisitorText), "TeamSize=" + s.TeamSize.toText(),
                "TitleText=" + text(s.TitleText), "TitleSize=" + s.TitleSize.toText()};
    }

    static QStringList read(SettingsDefaults which = SettingsDefaults::StartScreen)
    {
        BoardSettings s;
        LoadBoardSettings(which, s);
        return describe(s);
    }

    // What a first run reads at the start screen.
    static QStringList startDefaults()
    {
        return QString("FormBackColor=255 LabelColor=16777215 HomeColor=16777215 VisitorColor=16777215 LEDColor=65535 "
                       "LEDBackColor=0 HomeText=Home VisitorText=Visitor TeamSize=19 TitleText=Home TitleSize=40")
            .split(u' ');
    }

    // `lines` with the keys of `values` replaced.
    static QStringList with(QStringList lines, const QStringList &values)
    {
        for (QString &line : lines)
            for (const QString &value : values)
                line = line.section(u'=', 0, 0) == value.section(u'=', 0, 0) ? value : line;
        return lines;
    }
};
