#pragma once

#include "controls/TwipsControl.h"

class QSvgRenderer;

// A picture box showing a vector image (an SVG, usually a Qt resource path)
// scaled to its box, so it is sharp at any resolution. Mouse clicks pass on
// to the control beneath, as on a plain picture.
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
    QString m_picture;
    QSvgRenderer *m_renderer = nullptr;
};
