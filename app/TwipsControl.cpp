#include "app/TwipsControl.h"

#include "app/Units.h"

#include <cmath>

namespace {

// Geometry that is not a finite number, or a negative extent, is refused and
// the control keeps what it had.
bool acceptable(double twips)
{
    return std::isfinite(twips);
}

bool acceptableExtent(double twips)
{
    return std::isfinite(twips) && twips >= 0;
}

} // namespace

TwipsControl::TwipsControl(QWidget *parent)
    : QWidget(parent)
{
}

void TwipsControl::setLeftTwips(double twips)
{
    if (!acceptable(twips) || twips == m_left)
        return;
    m_left = twips;
    place();
}

void TwipsControl::setTopTwips(double twips)
{
    if (!acceptable(twips) || twips == m_top)
        return;
    m_top = twips;
    place();
}

void TwipsControl::setWidthTwips(double twips)
{
    if (!acceptableExtent(twips) || twips == m_width)
        return;
    m_width = twips;
    place();
}

void TwipsControl::setHeightTwips(double twips)
{
    if (!acceptableExtent(twips) || twips == m_height)
        return;
    m_height = twips;
    place();
}

void TwipsControl::setTwipsGeometry(double left, double top, double width, double height)
{
    if (acceptable(left))
        m_left = left;
    if (acceptable(top))
        m_top = top;
    if (acceptableExtent(width))
        m_width = width;
    if (acceptableExtent(height))
        m_height = height;
    place();
}

void TwipsControl::place()
{
    setGeometry(Units::twipsToPixelsRect(m_left, m_top, m_width, m_height, this));
}
