#pragma once

#include <QPointer>

#include <array>

// Keeps the geometry each control of the board had when the window loaded and
// sets it again, scaled to the window's size, on every resize. Properties are
// reached by name, so one table serves labels, the frame and LED displays.
// Every rescale starts from the recorded values: no rounding drift builds up.
class ProportionalLayout
{
public:
    static constexpr int SlotCount = 101;
    static constexpr int NotRecorded = -1;

    // In the order both routines visit them.
    enum Property { Left, Top, Height, Width, FontSize, BufferArea, Size, BorderWidth, PropertyCount };
    using Flags = std::array<int, PropertyCount>;
    // Flag sets used by the board: 1 records a property, 0 leaves it alone.
    static constexpr Flags LabelSet{1, 1, 1, 1, 1, 0, 0, 0};
    static constexpr Flags DisplaySet{1, 1, 0, 0, 0, 1, 1, 0};
    static constexpr Flags FrameSet{1, 1, 1, 1, 0, 0, 0, 1};

    // The window's size at load, in twips. Sizes are 32-bit: a maximised window
    // on a large screen is far above 32767 twips.
    void setDesignSize(int designHeight, int designWidth);
    int designHeight() const { return m_designHeight; }
    int designWidth() const { return m_designWidth; }

    // Records the control into the slot, replacing what the slot held. Left and
    // Top are always recorded. Fails, leaving the table unchanged, for a slot
    // outside 0 to 100, a missing control, a requested property the control
    // lacks, or a value that is not a representable number.
    bool RecordControl(int slot, QObject *control, const Flags &flags);

    // Sets every recorded property of slots 1 to 100 to its recorded value times
    // the ratio of the new size to the design size. A property that cannot be
    // computed or set keeps its value and the walk goes on.
    void ResizeControls(int newHeight, int newWidth);

    QObject *control(int slot) const;
    int value(int slot, Property property) const;

private:
    struct Slot {
        QPointer<QObject> control;
        std::array<int, PropertyCount> values{};
    };

    std::array<Slot, SlotCount> m_slots{};
    int m_designHeight = 0;
    int m_designWidth = 0;
};
