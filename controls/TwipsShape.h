#pragma once

#include "controls/TwipsControl.h"

// The rounded frame line drawn round part of a window, without fill.
// BorderWidth is in pixels of the design, as the frame's own unit: a whole
// number, but its property takes a double so a scaled width is rounded here,
// half to even, rather than by the variant conversion (which rounds halves away
// from zero and wraps huge values).
class TwipsShape : public TwipsControl
{
    Q_OBJECT
    Q_PROPERTY(int BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(double BorderWidth READ borderWidth WRITE setBorderWidth)

public:
    explicit TwipsShape(QWidget *parent = nullptr);

    int borderColor() const { return m_borderColor; }
    void setBorderColor(int bgr);

    int borderWidth() const { return m_borderWidth; }
    // A line is at least one pixel wide: a width that rounds below one draws the
    // thinnest line, so a window scaled very small still shows its frame, the
    // same whatever size it came from. Negative and non-finite widths are refused.
    void setBorderWidth(double width);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_borderColor = 0xFFFFFF;
    int m_borderWidth = 1;
};
