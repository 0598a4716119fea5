#include "controls/TwipsPicture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QResource>

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
    const QResource rendered(QStringLiteral("%1/%2.%3x%4.rgba")
                                 .arg(vector.path(), vector.completeBaseName())
                                 .arg(pixels.width())
                                 .arg(pixels.height()));
    const QByteArray raw = rendered.uncompressedData();
    const qsizetype rowBytes = qsizetype(pixels.width()) * 4;
    if (raw.size() == rowBytes * pixels.height()) {
        return QImage(reinterpret_cast<const uchar *>(raw.constData()), pixels.width(), pixels.height(), rowBytes,
                      QImage::Format_RGBA8888_Premultiplied)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    QImageReader reader(m_picture);
    reader.setScaledSize(pixels);
    return reader.read(); // null when the picture cannot be read
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
