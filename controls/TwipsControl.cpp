#include "controls/TwipsControl.h"

#include "controls/Units.h"

#include <QList>
#include <QPointer>

#include <cmath>
#include <utility>

namespace {

int openBatches = 0;
QList<QPointer<TwipsControl>> pendingPlacements;

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

void TwipsControl::setExtentTwips(double width, double height)
{
    const bool widthChanges = acceptableExtent(width) && width != m_width;
    const bool heightChanges = acceptableExtent(height) && height != m_height;
    if (widthChanges)
        m_width = width;
    if (heightChanges)
        m_height = height;
    if (widthChanges || heightChanges)
        place();
}

TwipsControl::PlacementBatch::PlacementBatch()
{
    ++openBatches;
}

TwipsControl::PlacementBatch::~PlacementBatch()
{
    if (--openBatches > 0)
        return;
    const QList<QPointer<TwipsControl>> pending = std::exchange(pendingPlacements, {});
    for (TwipsControl *control : pending) {
        if (control)
            control->applyPlacement();
    }
}

void TwipsControl::place()
{
    if (openBatches > 0) {
        if (!m_placementPending) {
            m_placementPending = true;
            pendingPlacements.append(this);
        }
        return;
    }
    applyPlacement();
}

void TwipsControl::applyPlacement()
{
    m_placementPending = false;
    setGeometry(Units::twipsToPixelsRect(m_left, m_top, m_width, m_height, this));
}
