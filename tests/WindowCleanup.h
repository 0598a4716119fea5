#pragma once

#include <QApplication>
#include <QWidget>

// Deletes every top-level window, including those a window opened itself
// (the board behind a start screen, a dialog), so the next test starts clean.
inline void deleteAllWindows()
{
    for (auto windows = QApplication::topLevelWidgets(); !windows.isEmpty();
         windows = QApplication::topLevelWidgets())
        delete windows.first();
}
