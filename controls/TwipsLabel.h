#pragma once

#include "controls/TwipsControl.h"

#include <optional>

// A label with a transparent background: the window's colour shows through.
// Caption, ForeColor (0x00BBGGRR) and FontSize (points) are properties by name.
// With AutoSize on, the label takes the extent of its caption on one line.
class TwipsLabel : public TwipsControl
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(double FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)

public:
    explicit TwipsLabel(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    int foreColor() const { return m_foreColor; }
    void setForeColor(int bgr);

    double fontSize() const { return font().pointSizeF(); }
    // Sizes no font can take (not positive, not finite, absurdly large) are refused.
    void setFontSize(double points);

    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool on);

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void fitToCaption();

    QString m_caption;
    mutable std::optional<QSize> m_captionExtent; // sizeHint of the caption in the current font
    int m_foreColor = 0;
    bool m_autoSize = false;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
};
