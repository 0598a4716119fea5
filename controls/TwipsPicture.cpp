#include "controls/TwipsPicture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

TwipsPicture::TwipsPicture(QWidget *parent)
    : TwipsControl(parent)
{
}

void TwipsPicture::setPicture(const QString &fileName)
{
    if (fileName == m_picture)
        return;
    m_picture = fileName;
    m_image = QImage();
    m_madeFor = QSize();
    update();
}

bool TwipsPicture::hasImage() const
{
    return !m_picture.isEmpty() && QImageReader(m_picture).canRead();
}

QImage TwipsPicture::imageAt(const QSize &pixels) const
{
    const QFileInfo vector(m_picture);
    const QString made = QStringLiteral("%1/%2.%3x%4.png")
                             .arg(vector.path(), vector.completeBaseName())
                             .arg(pixels.width())
                             .arg(pixels.height());
    // Named as PNG, it is read as one: guessing would load every image
    // format plugin, the vector image's among them.
    QImageReader rendered(made, "png");
    rendered.setAutoDetectImageFormat(false);
    QImage image = rendered.read();
    if (image.size() != pixels) {
        QImageReader reader(m_picture);
        reader.setScaledSize(pixels);
        image = reader.read(); // null when the picture cannot be read
    }
    return image;
}

void TwipsPicture::paintEvent(QPaintEvent *)
{
    const qreal scale = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * scale).toSize();
    if (m_picture.isEmpty() || pixels.isEmpty())
        return;
    if (m_madeFor != pixels) {
        m_image = imageAt(pixels);
        m_image.setDevicePixelRatio(scale);
        m_madeFor = pixels;
    }
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(rect(), m_image);
}
