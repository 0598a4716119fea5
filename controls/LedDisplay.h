#pragma once

#include "controls/TwipsControl.h"

#include <QList>
#include <QPointer>

#include <span>

class QImage;
class QPainter;

// One seven-segment LED digit. Caption is the digit 0 to 9, or -1 for a dark
// display. The extent follows Size and BufferArea (twips of margin round the
// digit), never Width and Height, which are read-only here. Every typed
// character is raised as KeyPress with its character code.
// BufferArea and Size are whole numbers, but their properties take doubles: the
// layout hands them scaled values, and a plain int property would let the
// variant conversion round halves away from zero and wrap huge values. The
// setters round half to even instead and refuse what does not fit.
class LedDisplay : public TwipsControl
{
    Q_OBJECT
    Q_PROPERTY(int Caption READ caption WRITE setCaption)
    Q_PROPERTY(int OnColor READ onColor WRITE setOnColor)
    Q_PROPERTY(int BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(int BackColorAlt READ backColorAlt WRITE setBackColorAlt)
    Q_PROPERTY(double BufferArea READ bufferArea WRITE setBufferArea)
    Q_PROPERTY(double Size READ digitSize WRITE setDigitSize)
    Q_PROPERTY(double Width READ widthOnScreen)
    Q_PROPERTY(double Height READ heightOnScreen)

public:
    static constexpr int Blank = -1;
    // The large displays keep this size; it gives them 645 x 975 twips.
    static constexpr int DefaultSize = 75;
    // A digit is 7.5 twips wide and 12 high per unit of Size.
    static constexpr double TwipsWidePerSize = 7.5;
    static constexpr double TwipsHighPerSize = 12.0;

    explicit LedDisplay(QWidget *parent = nullptr);

    int caption() const { return m_caption; }
    // Values other than -1 to 9 are refused and the display keeps its digit.
    void setCaption(int digit);

    int onColor() const { return m_onColor; }
    void setOnColor(int bgr);
    int backColor() const { return m_backColor; }
    void setBackColor(int bgr);
    int backColorAlt() const { return m_backColorAlt; }
    void setBackColorAlt(int bgr);

    int bufferArea() const { return m_bufferArea; }
    // Negative, non-finite and out-of-range values are refused.
    void setBufferArea(double twips);
    int digitSize() const { return m_size; }
    void setDigitSize(double size);

    // The extent as shown, in twips.
    double widthOnScreen() const;
    double heightOnScreen() const;

    void RefreshDisplay();

    // The digits of the number this display is part of, the ones digit first,
    // so assistive technology can read a two-digit field as one number.
    void setNumberDigits(std::span<LedDisplay *const> onesFirst);
    const QList<QPointer<LedDisplay>> &numberDigits() const { return m_numberDigits; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void KeyPress(int keyAscii);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateExtent();
    void announceCaption();
    // The whole display as it looks now, focus marker included, rendered at
    // `scale` device pixels per pixel.
    QImage face(qreal scale) const;
    void paintFace(QPainter &painter) const;

    int m_caption = 0;
    int m_onColor = 0x00FFFF;
    int m_backColor = 0;
    int m_backColorAlt = 0;
    int m_bufferArea = 40;
    int m_size = DefaultSize;
    QList<QPointer<LedDisplay>> m_numberDigits;
};
