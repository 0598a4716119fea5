#pragma once

#include "core/SettingsStore.h"

#include <QString>

// Where the audience board goes and how much of its screen it keeps clear,
// stored in the section [AudienceDisplay] of the preferences file: "Screen" is
// a screen's name or "Automatic", "Margin" a whole percentage.
struct AudienceSettings {
    static constexpr int MaxMargin = 10;

    // The screen's name as the system gives it; empty for "Automatic", the
    // largest screen other than the operator's.
    QString screen;
    // Kept clear on every side, for a projector or TV that crops the picture
    // (overscan): percent of the width left and right, of the height above
    // and below, 0 to MaxMargin.
    int margin = 0;

    friend bool operator==(const AudienceSettings &, const AudienceSettings &) = default;
};

// Reads both keys; an unusable value (a margin that is not a whole number from
// 0 to MaxMargin, a screen name with control characters or of absurd length)
// gives its default. A name of a screen not connected now is kept: it may be
// plugged in later.
AudienceSettings LoadAudienceSettings();
// Writes both keys and tells whether they reached the disk.
SettingsSaveResult SaveAudienceSettings(const AudienceSettings &settings);
