#include "controls/TwipsLabel.h"

#include "controls/Units.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace {
// Far beyond anything a screen shows, and well inside what fonts accept.
constexpr double MaxFontPoints = 16384;
} // namespace

TwipsLabel::TwipsLabel(QWidget *parent)
    : TwipsControl(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TwipsLabel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    m_captionExtent.reset();
    setAccessibleName(caption);
    if (m_autoSize)
        fitToCaption();
    update();
}

void TwipsLabel::setForeColor(int bgr)
{
    if (bgr == m_foreColor)
        return;
    m_foreColor = bgr;
    update();
}

void TwipsLabel::setFontSize(double points)
{
    if (!std::isfinite(points) || points <= 0 || points > MaxFontPoints)
        return;
    QFont f = font();
    if (f.pointSizeF() == points)
        return;
    f.setPointSizeF(points);
    setFont(f); // changeEvent refits and repaints
}

void TwipsLabel::setAutoSize(bool on)
{
    if (on == m_autoSize)
        return;
    m_autoSize = on;
    if (m_autoSize)
        fitToCaption();
}

void TwipsLabel::setAlignment(Qt::Alignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    update();
}

QSize TwipsLabel::sizeHint() const
{
    // Measuring shapes the whole caption; the options preview asks for the
    // same extent several times at each size it tries.
    if (!m_captionExtent) {
        const QFontMetrics metrics(font());
        m_captionExtent = QSize(metrics.horizontalAdvance(m_caption), metrics.height());
    }
    return *m_captionExtent;
}

QSize TwipsLabel::minimumSizeHint() const
{
    return {0, 0};
}

void TwipsLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(Units::colorFromBgr(m_foreColor));
    painter.setFont(font());
    painter.drawText(rect(), int(m_alignment) | Qt::TextWordWrap, m_caption);
}

void TwipsLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_captionExtent.reset();
        if (m_autoSize)
            fitToCaption();
        update();
    }
    TwipsControl::changeEvent(event);
}

void TwipsLabel::fitToCaption()
{
    const QSize extent = sizeHint();
    setWidthTwips(Units::pixelsToTwipsX(extent.width(), this));
    setHeightTwips(Units::pixelsToTwipsY(extent.height(), this));
}
