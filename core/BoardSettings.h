#pragma once

#include "core/FixedPoint.h"

#include <QString>

// The eleven preferences, one record for the whole program: the start screen
// fills it from the store, the board applies it and the options dialog edits
// it in place. Colours are 0x00BBGGRR; sizes are points.
struct BoardSettings {
    int FormBackColor = 0;
    int LabelColor = 0;
    int HomeColor = 0;
    int VisitorColor = 0;
    int LEDColor = 0;
    int LEDBackColor = 0;
    QString HomeText;
    QString VisitorText;
    FixedPoint TeamSize;
    QString TitleText;
    FixedPoint TitleSize;

    friend bool operator==(const BoardSettings &, const BoardSettings &) = default;

    // The process-wide record.
    static BoardSettings &shared();
};
