#include "controls/LedDisplay.h"

#include "controls/Units.h"
#include "controls/LedDisplayAccessible.h"

#include <QAccessible>
#include <QCache>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace {

// The digit is shaped once in a fixed 50 x 80 box (the 7.5 : 12 proportion of
// the display) and the painter scales it to whatever the display measures.
constexpr double BoxWidth = 50;
constexpr double BoxHeight = 80;
constexpr double Thickness = 8;
constexpr double Gap = 1;

enum Segment { A, B, C, D, E, F, G, SegmentCount };

QPainterPath horizontalSegment(double centreY)
{
    const double h = Thickness / 2;
    const double x0 = h + Gap;
    const double x1 = BoxWidth - h - Gap;
    QPainterPath path;
    path.moveTo(x0, centreY);
    path.lineTo(x0 + h, centreY - h);
    path.lineTo(x1 - h, centreY - h);
    path.lineTo(x1, centreY);
    path.lineTo(x1 - h, centreY + h);
    path.lineTo(x0 + h, centreY + h);
    path.closeSubpath();
    return path;
}

QPainterPath verticalSegment(double centreX, double fromY, double toY)
{
    const double h = Thickness / 2;
    const double y0 = fromY + Gap;
    const double y1 = toY - Gap;
    QPainterPath path;
    path.moveTo(centreX, y0);
    path.lineTo(centreX + h, y0 + h);
    path.lineTo(centreX + h, y1 - h);
    path.lineTo(centreX, y1);
    path.lineTo(centreX - h, y1 - h);
    path.lineTo(centreX - h, y0 + h);
    path.closeSubpath();
    return path;
}

const std::array<QPainterPath, SegmentCount> &segmentShapes()
{
    static const std::array<QPainterPath, SegmentCount> shapes = [] {
        const double h = Thickness / 2;
        const double top = h;
        const double middle = BoxHeight / 2;
        const double bottom = BoxHeight - h;
        const double leftX = h;
        const double rightX = BoxWidth - h;
        return std::array<QPainterPath, SegmentCount>{
            horizontalSegment(top),                 // A
            verticalSegment(rightX, top, middle),   // B
            verticalSegment(rightX, middle, bottom),// C
            horizontalSegment(bottom),              // D
            verticalSegment(leftX, middle, bottom), // E
            verticalSegment(leftX, top, middle),    // F
            horizontalSegment(middle),              // G
        };
    }();
    return shapes;
}

// Bit n set: segment n (A = bit 0) is lit.
constexpr std::array<unsigned, 10> DigitSegments = {
    0b0111111, 0b0000110, 0b1011011, 0b1001111, 0b1100110,
    0b1101101, 0b1111101, 0b0000111, 0b1111111, 0b1101111,
};

// What a display's rendering depends on.
struct FaceKey {
    QSize size;
    qreal scale; // device pixels per pixel
    int marginX;
    int marginY;
    int caption;
    int onColor;
    int backColor;
    int backColorAlt;
    bool focused;

    friend bool operator==(const FaceKey &, const FaceKey &) = default;
};

size_t qHash(const FaceKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.size.width(), key.size.height(), key.scale, key.marginX, key.marginY,
                      key.caption, key.onColor, key.backColor, key.backColorAlt, key.focused);
}

// Renderings in KiB: every digit of both display sizes on a 4K board fits.
constexpr qsizetype FaceCacheKiB = 8 * 1024;

QCache<FaceKey, QImage> &faceCache()
{
    static QCache<FaceKey, QImage> cache(FaceCacheKiB);
    return cache;
}

} // namespace

LedDisplay::LedDisplay(QWidget *parent)
    : TwipsControl(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(&LedDisplayAccessible::create);
        return true;
    }();
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateExtent();
}

void LedDisplay::setCaption(int digit)
{
    if (digit < Blank || digit > 9 || digit == m_caption)
        return;
    m_caption = digit;
    update();
    announceCaption();
}

void LedDisplay::announceCaption()
{
    QAccessibleValueChangeEvent changed(this, m_caption);
    QAccessible::updateAccessibility(&changed);
    // The whole number of the field changed too.
    for (LedDisplay *digit : std::as_const(m_numberDigits)) {
        if (!digit)
            continue;
        QAccessibleEvent described(digit, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
}

void LedDisplay::setNumberDigits(std::span<LedDisplay *const> onesFirst)
{
    m_numberDigits = QList<QPointer<LedDisplay>>(onesFirst.begin(), onesFirst.end());
}

void LedDisplay::setOnColor(int bgr)
{
    if (bgr == m_onColor)
        return;
    m_onColor = bgr;
    update();
}

void LedDisplay::setBackColor(int bgr)
{
    if (bgr == m_backColor)
        return;
    m_backColor = bgr;
    update();
}

void LedDisplay::setBackColorAlt(int bgr)
{
    if (bgr == m_backColorAlt)
        return;
    m_backColorAlt = bgr;
    update();
}

void LedDisplay::setBufferArea(double twips)
{
    const auto whole = Units::roundHalfEven(twips);
    if (!whole || *whole < 0 || *whole == m_bufferArea)
        return;
    m_bufferArea = *whole;
    updateExtent();
}

void LedDisplay::setDigitSize(double size)
{
    const auto whole = Units::roundHalfEven(size);
    if (!whole || *whole < 0 || *whole == m_size)
        return;
    m_size = *whole;
    updateExtent();
}

double LedDisplay::widthOnScreen() const
{
    return Units::pixelsToTwipsX(QWidget::width(), this);
}

double LedDisplay::heightOnScreen() const
{
    return Units::pixelsToTwipsY(QWidget::height(), this);
}

void LedDisplay::RefreshDisplay()
{
    update();
}

QSize LedDisplay::sizeHint() const
{
    return size();
}

void LedDisplay::updateExtent()
{
    const double margins = 2.0 * m_bufferArea;
    setExtentTwips(margins + TwipsWidePerSize * m_size, margins + TwipsHighPerSize * m_size);
    update();
}

void LedDisplay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A shared rendering is copied pixel for pixel where the display falls on
    // whole device pixels at one scale, as on screen at any pixel ratio; a
    // rotated, stretched or offset drawing (a print, a scaled render) gets
    // the segments drawn directly.
    const QTransform toDevice = painter.deviceTransform();
    const qreal scale = toDevice.m11();
    const bool copyable = toDevice.type() <= QTransform::TxScale && scale > 0 && toDevice.m22() == scale
        && toDevice.dx() == std::round(toDevice.dx()) && toDevice.dy() == std::round(toDevice.dy());
    if (copyable)
        painter.drawImage(QPointF(0, 0), face(scale));
    else
        paintFace(painter);
}

QImage LedDisplay::face(qreal scale) const
{
    // Displays showing the same digit at the same size and colours share one
    // rendering: a keystroke or a repaint of the board then only copies pixels,
    // and anti-aliased segments are drawn once per size, not once per display.
    const FaceKey key{.size = size(),
                      .scale = scale,
                      .marginX = Units::twipsToPixelsX(m_bufferArea, this),
                      .marginY = Units::twipsToPixelsY(m_bufferArea, this),
                      .caption = m_caption,
                      .onColor = m_onColor,
                      .backColor = m_backColor,
                      .backColorAlt = m_backColorAlt,
                      .focused = hasFocus()};
    if (const QImage *cached = faceCache().object(key))
        return *cached;

    QImage image((QSizeF(size()) * scale).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    QPainter painter(&image);
    paintFace(painter);
    painter.end();
    faceCache().insert(key, new QImage(image), qMax<qsizetype>(1, image.sizeInBytes() / 1024));
    return image;
}

void LedDisplay::paintFace(QPainter &painter) const
{
    painter.fillRect(rect(), Units::colorFromBgr(m_backColor));

    const int marginX = Units::twipsToPixelsX(m_bufferArea, this);
    const int marginY = Units::twipsToPixelsY(m_bufferArea, this);
    const QRectF inner = QRectF(rect()).adjusted(marginX, marginY, -marginX, -marginY);
    if (inner.width() > 0 && inner.height() > 0) {
        painter.save();
        const double scale = std::min(inner.width() / BoxWidth, inner.height() / BoxHeight);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(inner.center());
        painter.scale(scale, scale);
        painter.translate(-BoxWidth / 2, -BoxHeight / 2);
        const unsigned lit = m_caption >= 0 ? DigitSegments[m_caption] : 0u;
        const QColor on = Units::colorFromBgr(m_onColor);
        const QColor off = Units::colorFromBgr(m_backColorAlt);
        const auto &shapes = segmentShapes();
        for (int s = 0; s < SegmentCount; ++s)
            painter.fillPath(shapes[s], (lit >> s) & 1u ? on : off);
        painter.restore();
    }

    if (hasFocus()) {
        // A quiet marker of where the operator's keys go.
        QColor mark = Units::colorFromBgr(m_onColor);
        mark.setAlpha(110);
        painter.setPen(QPen(mark, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void LedDisplay::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty()) {
        event->ignore();
        return;
    }
    for (const QChar ch : text)
        Q_EMIT KeyPress(ch.unicode());
    event->accept();
}
