#pragma once

#include "core/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

// Deletes every top-level window, including those a window opened itself
// (the board behind a start screen, a dialog), so the next test starts clean.
inline void deleteAllWindows()
{
    while (!QApplication::topLevelWidgets().isEmpty())
        delete QApplication::topLevelWidgets().first();
}

// Back to a first run: no stored preferences, an empty record, no window.
inline void startAfresh()
{
    deleteAllWindows();
    QFile::remove(settingsFileName());
    BoardSettings::shared() = BoardSettings();
}
