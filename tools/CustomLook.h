#pragma once

#include "core/BoardSettings.h"

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
