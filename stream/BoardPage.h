#pragma once

#include <QByteArray>

// The /board page, made from the scoreboard's design table: one element per
// label, frame and display at its design rectangle, so the page is the board
// the program draws and follows any change to the design.
namespace BoardPage {

QByteArray html();
// The page's fixed rules (board.css in the resources) and one rule per
// control with its rectangle.
QByteArray css();

} // namespace BoardPage
