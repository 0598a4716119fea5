#pragma once

#include "forms/ControlDesign.h"

#include <QStringList>

#include <vector>

// The start window as designed, in the order its controls are created: the
// frame first, so the logo and the buttons drawn over it lie above it. The
// window keeps the system's colours; its caption is never shown.
namespace StartScreenDesign {

const WindowDesign &window();
const std::vector<ControlDesign> &controls();
// Object names from the first focus stop to the last.
const QStringList &focusOrder();

} // namespace StartScreenDesign
