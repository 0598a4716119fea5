#include "controls/OuterGeometry.h"

#include "controls/Units.h"

#include <QWidget>

#include <algorithm>

namespace OuterGeometry {

double left(const QWidget &window)
{
    return Units::pixelsToTwipsX(window.frameGeometry().x(), &window);
}

double top(const QWidget &window)
{
    return Units::pixelsToTwipsY(window.frameGeometry().y(), &window);
}

double width(const QWidget &window)
{
    return Units::pixelsToTwipsX(window.frameGeometry().width(), &window);
}

double height(const QWidget &window)
{
    return Units::pixelsToTwipsY(window.frameGeometry().height(), &window);
}

void setLeft(QWidget &window, double twips)
{
    window.move(Units::twipsToPixelsX(twips, &window), window.frameGeometry().y());
}

void setTop(QWidget &window, double twips)
{
    window.move(window.frameGeometry().x(), Units::twipsToPixelsY(twips, &window));
}

void setWidth(QWidget &window, double twips)
{
    const int frame = window.frameGeometry().width() - window.width();
    window.resize(std::max(0, Units::twipsToPixelsX(twips, &window) - frame), window.height());
}

void setHeight(QWidget &window, double twips)
{
    const int frame = window.frameGeometry().height() - window.height();
    window.resize(window.width(), std::max(0, Units::twipsToPixelsY(twips, &window) - frame));
}

} // namespace OuterGeometry
