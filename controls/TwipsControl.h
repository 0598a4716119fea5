#pragma once

#include <QWidget>

// A control placed by its design geometry in twips, relative to its parent.
// Left, Top, Width and Height are properties by name so the proportional
// layout can read and write any control alike; the control keeps the twip
// values it was given and snaps only its on-screen geometry to pixels.
class TwipsControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double Left READ leftTwips WRITE setLeftTwips)
    Q_PROPERTY(double Top READ topTwips WRITE setTopTwips)
    Q_PROPERTY(double Width READ widthTwips WRITE setWidthTwips)
    Q_PROPERTY(double Height READ heightTwips WRITE setHeightTwips)

public:
    explicit TwipsControl(QWidget *parent = nullptr);

    double leftTwips() const { return m_left; }
    double topTwips() const { return m_top; }
    double widthTwips() const { return m_width; }
    double heightTwips() const { return m_height; }

    void setLeftTwips(double twips);
    void setTopTwips(double twips);
    void setWidthTwips(double twips);
    void setHeightTwips(double twips);
    void setTwipsGeometry(double left, double top, double width, double height);

    // While a batch is open, controls take new twip values at once but move
    // on screen only when the last batch closes, each control once: a rescale
    // of a whole window sets every control's position and extent in steps.
    class PlacementBatch
    {
    public:
        PlacementBatch();
        ~PlacementBatch();
        Q_DISABLE_COPY_MOVE(PlacementBatch)
    };

protected:
    // Sets width and height with a single move on screen.
    void setExtentTwips(double width, double height);

private:
    void place();
    void applyPlacement();

    double m_left = 0;
    double m_top = 0;
    double m_width = 0;
    double m_height = 0;
    bool m_placementPending = false;
};
