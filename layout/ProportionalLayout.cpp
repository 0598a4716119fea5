#include "layout/ProportionalLayout.h"

#include "controls/Properties.h"
#include "controls/Units.h"

namespace {

constexpr const char *PropertyNames[ProportionalLayout::PropertyCount] = {
    "Left", "Top", "Height", "Width", "FontSize", "BufferArea", "Size", "BorderWidth",
};

// Recorded values are whole numbers, a half going to the even neighbour
// (20.25 gives 20, 2.5 gives 2).
std::optional<int> wholeValue(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? Units::roundHalfEven(number) : std::nullopt;
}

// The order in which a rescale sets a slot's properties, and which size each follows.
struct Step {
    ProportionalLayout::Property property;
    bool followsWidth;
};
constexpr Step ResizeSteps[] = {
    {ProportionalLayout::Left, true},
    {ProportionalLayout::Top, false},
    {ProportionalLayout::FontSize, false},
    {ProportionalLayout::Height, false},
    {ProportionalLayout::Width, true},
    {ProportionalLayout::BufferArea, false},
    {ProportionalLayout::Size, false},
    {ProportionalLayout::BorderWidth, false},
};

} // namespace

void ProportionalLayout::setDesignSize(int designHeight, int designWidth)
{
    m_designHeight = designHeight;
    m_designWidth = designWidth;
}

bool ProportionalLayout::RecordControl(int slot, QObject *control, const Flags &flags)
{
    if (slot < 0 || slot >= SlotCount || !control)
        return false;
    Slot recorded{control, {}};
    for (int p = 0; p < PropertyCount; ++p) {
        const bool wanted = p == Left || p == Top || flags[p] >= 1;
        if (!wanted) {
            recorded.values[p] = NotRecorded;
            continue;
        }
        const auto value = Properties::read(control, PropertyNames[p]);
        const auto whole = value ? wholeValue(*value) : std::nullopt;
        if (!whole)
            return false;
        recorded.values[p] = *whole;
    }
    m_slots[slot] = recorded;
    return true;
}

void ProportionalLayout::ResizeControls(int newHeight, int newWidth)
{
    // A zero reference size gives no ratio: every property keeps its value.
    const bool heightScales = m_designHeight != 0;
    const bool widthScales = m_designWidth != 0;
    const double heightRatio = heightScales ? double(newHeight) / m_designHeight : 0;
    const double widthRatio = widthScales ? double(newWidth) / m_designWidth : 0;

    for (int slot = 1; slot < SlotCount; ++slot) {
        QObject *control = m_slots[slot].control;
        if (!control)
            continue;
        for (const Step &step : ResizeSteps) {
            const int recorded = m_slots[slot].values[step.property];
            const bool always = step.property == Left || step.property == Top;
            if (!always && recorded < 0)
                continue;
            if (!(step.followsWidth ? widthScales : heightScales))
                continue;
            const double ratio = step.followsWidth ? widthRatio : heightRatio;
            Properties::write(control, PropertyNames[step.property], ratio * recorded);
        }
    }
}

QObject *ProportionalLayout::control(int slot) const
{
    return slot >= 0 && slot < SlotCount ? m_slots[slot].control.data() : nullptr;
}

int ProportionalLayout::value(int slot, Property property) const
{
    return slot >= 0 && slot < SlotCount ? m_slots[slot].values[property] : 0;
}
