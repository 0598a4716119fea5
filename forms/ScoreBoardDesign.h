#pragma once

#include "core/BoardField.h"
#include "forms/ControlDesign.h"

#include <QStringList>

#include <optional>
#include <vector>

// The scoreboard window as designed: every label, the frame and the 35 LED
// displays, in the order they are created (the frame first, so it lies under
// everything it encloses).
namespace ScoreBoardDesign {

constexpr int LargeBufferArea = 40;
constexpr int SmallBufferArea = 15;
constexpr int SmallDigitSize = 50;

const WindowDesign &window();
const std::vector<ControlDesign> &controls();
// Object names of the displays from the first focus stop to the last.
const QStringList &focusOrder();
// What a display is, in words for assistive technology: "Home inning 3",
// "Balls", "Visitor hits, tens digit". Empty for anything but a display.
QString spokenName(const ControlDesign &display);
// The field whose number a display shows; nullopt for anything but a display.
std::optional<BoardField> fieldOf(const ControlDesign &display);
// Whether a display is a digit of a two-digit field, where its index is its
// place: 0 the ones digit, 1 the tens digit.
bool isTwoDigitField(const ControlDesign &display);

} // namespace ScoreBoardDesign
