#pragma once

#include "controls/TwipsControl.h"

// A frame without a caption: an etched line round part of a window, such as
// the start screen's panel. Clicks on it pass on to the window.
class EtchedFrame : public TwipsControl
{
    Q_OBJECT

public:
    explicit EtchedFrame(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
