#pragma once

#include "controls/TwipsControl.h"

// A picture box that only shows one colour, in a sunken frame. BackColor
// (0x00BBGGRR) is a property by name, like every colour of the program.
class ColorSwatch : public TwipsControl
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ backColor WRITE setBackColor)

public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    int backColor() const { return m_backColor; }
    void setBackColor(int bgr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_backColor = 0;
};
