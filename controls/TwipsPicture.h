#pragma once

#include "controls/TwipsControl.h"

#include <QImage>

// A picture box showing a vector image (an SVG, usually a Qt resource path)
// scaled to its box, so it is sharp at any resolution. Mouse clicks pass on
// to the control beneath, as on a plain picture.
// The image may come with renderings of itself made when the program was
// built, as raw premultiplied RGBA rows in a resource named after it with
// their size in pixels ("logo.124x137.rgba" beside "logo.svg"): one the size
// of the box on screen is shown as it is, which spares a window the vector
// renderer and any decoding while it opens.
class TwipsPicture : public TwipsControl
{
    Q_OBJECT
    Q_PROPERTY(QString Picture READ picture WRITE setPicture)

public:
    explicit TwipsPicture(QWidget *parent = nullptr);

    QString picture() const { return m_picture; }
    // An image that cannot be read leaves the box empty.
    void setPicture(const QString &fileName);
    bool hasImage() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The picture at this size in device pixels: the rendering made for it
    // at build time, or the vector image rendered now.
    QImage imageAt(const QSize &pixels) const;

    QString m_picture;
    QImage m_image; // the last one made, kept while the box keeps its size
    QSize m_madeFor;
};
