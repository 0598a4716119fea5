#pragma once

#include "forms/ControlDesign.h"

#include <QStringList>

#include <vector>

// The options window as designed: the tab container and its two pages, the
// colour and text frames with their swatches, buttons and text boxes, OK and
// Cancel, the colour picker and the three hidden preview labels. Containers
// come before the controls they hold.
namespace OptionsDesign {

const WindowDesign &window();
const std::vector<ControlDesign> &controls();
// Object names from the first focus stop to the last.
const QStringList &focusOrder();

} // namespace OptionsDesign
