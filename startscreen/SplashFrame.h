#pragma once

#include "controls/TwipsControl.h"

// The start screen's panel: an etched frame line round its content, without
// a caption. Clicks on it pass on to the window.
class SplashFrame : public TwipsControl
{
    Q_OBJECT

public:
    explicit SplashFrame(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
