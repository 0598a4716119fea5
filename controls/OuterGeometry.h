#pragma once

class QWidget;

// A window's outer rectangle, frame included, in twips: where the window
// system puts the window and how much of the screen it takes.
namespace OuterGeometry {

double left(const QWidget &window);
double top(const QWidget &window);
double width(const QWidget &window);
double height(const QWidget &window);

void setLeft(QWidget &window, double twips);
void setTop(QWidget &window, double twips);
void setWidth(QWidget &window, double twips);
void setHeight(QWidget &window, double twips);

} // namespace OuterGeometry
