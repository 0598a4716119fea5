#pragma once

#include "core/BoardSettings.h"
#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <optional>

// The one set of custom colours and names the pictures show besides the defaults.
inline void applyCustomLook(BoardSettings &s)
{
    s.FormBackColor = 0x3A1E0B; // navy
    s.LabelColor = 0xD8ECF5; // warm white
    s.HomeColor = 0x33C1FF; // amber
    s.VisitorColor = 0xE6C26A; // sky blue
    s.LEDColor = 0x4040FF; // red
    s.LEDBackColor = 0x140A05; // near black
    s.HomeText = QStringLiteral("Owls");
    s.VisitorText = QStringLiteral("Foxes");
    s.TitleText = QStringLiteral("County Final");
}

// The one argument, an output folder, made if need be; the pictures show the
// program's defaults, so no preferences file may be in the way. On a problem
// it says what on standard error and gives the exit code to end with.
inline std::optional<int> refuseOutput(const QStringList &args, QDir &output)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", qPrintable(QFileInfo(args.value(0)).fileName()));
        return 2;
    }
    if (QFile::exists(settingsFileName())) {
        std::fprintf(stderr, "%s exists: point XDG_CONFIG_HOME at an empty folder\n",
                     qPrintable(settingsFileName()));
        return 2;
    }
    output.setPath(args[1]);
    if (!output.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(args[1]));
        return 1;
    }
    return std::nullopt;
}
