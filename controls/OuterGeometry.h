#pragma once

class QWidget;

// A window's outer rectangle, frame included, in twips: where the window
// system puts the window and how much of the screen it takes.
namespace OuterGeometry {

double left(const QWidget &window);
double top(const QWidget &window);
double width(const QWidget &window);
double height(const QWidget &window);

void setLeft(QWidget &window, double twips);
void setTop(QWidget &window, double twips);
void setWidth(QWidget &window, double twips);
void setHeight(QWidget &window, double twips);

} // namespace OuterGeometry

// The accessors of a window's Left, Top, Width and Height properties, for a
// window class to inherit beside its widget base. moc cannot take properties
// from a base that is not a QObject, so each window still declares them:
//     Q_PROPERTY(double Left READ outerLeft WRITE setOuterLeft)
//     Q_PROPERTY(double Top READ outerTop WRITE setOuterTop)
//     Q_PROPERTY(double Width READ outerWidth WRITE setOuterWidth)
//     Q_PROPERTY(double Height READ outerHeight WRITE setOuterHeight)
template<class Window>
class OuterGeometryProperties
{
public:
    double outerLeft() const { return OuterGeometry::left(self()); }
    double outerTop() const { return OuterGeometry::top(self()); }
    double outerWidth() const { return OuterGeometry::width(self()); }
    double outerHeight() const { return OuterGeometry::height(self()); }
    void setOuterLeft(double twips) { OuterGeometry::setLeft(self(), twips); }
    void setOuterTop(double twips) { OuterGeometry::setTop(self(), twips); }
    void setOuterWidth(double twips) { OuterGeometry::setWidth(self(), twips); }
    void setOuterHeight(double twips) { OuterGeometry::setHeight(self(), twips); }

private:
    const Window &self() const { return static_cast<const Window &>(*this); }
    Window &self() { return static_cast<Window &>(*this); }
};
