#pragma once

#include "app/TwipsControl.h"

// The rounded frame line drawn round part of a window, without fill.
// BorderWidth is in pixels of the design, as the frame's own unit.
class TwipsShape : public TwipsControl
{
    Q_OBJECT
    Q_PROPERTY(int BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)

public:
    explicit TwipsShape(QWidget *parent = nullptr);

    int borderColor() const { return m_borderColor; }
    void setBorderColor(int bgr);

    int borderWidth() const { return m_borderWidth; }
    // A line must be at least one pixel wide; smaller widths are refused.
    void setBorderWidth(int width);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_borderColor = 0xFFFFFF;
    int m_borderWidth = 1;
};
