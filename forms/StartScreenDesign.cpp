#include "forms/StartScreenDesign.h"

namespace StartScreenDesign {

namespace {

constexpr Qt::Alignment RightAligned = Qt::AlignRight | Qt::AlignTop;
// The window's default font was MS Sans Serif, a bitmap font few systems
// still have; Arial, everywhere, sets its captions in the same widths.
constexpr const char *DefaultFontFamily = "Arial";
constexpr double DefaultFontSize = 8.25;

ControlDesign label(const char *name, const char *caption, int left, int top, int width, int height,
                    const char *fontFamily, double fontSize, Qt::Alignment alignment)
{
    return {.name = name, .kind = ControlKind::Label, .caption = caption,
            .left = left, .top = top, .width = width, .height = height,
            .fontFamily = fontFamily, .fontSize = fontSize, .alignment = alignment,
            .parent = "frameSplash"};
}

ControlDesign button(const char *name, const char *caption, int left, int top, int height, bool visible)
{
    return {.name = name, .kind = ControlKind::Button, .caption = caption,
            .left = left, .top = top, .width = 1215, .height = height,
            .fontFamily = DefaultFontFamily, .fontSize = DefaultFontSize, .visible = visible};
}

std::vector<ControlDesign> buildControls()
{
    std::vector<ControlDesign> c;
    c.push_back({.name = "frameSplash", .kind = ControlKind::Frame,
                 .left = 120, .top = 0, .width = 6000, .height = 5760});
    c.push_back(label("lblName", "Quorvane", 653, 240, 4935, 735, "Times New Roman", 27.75, Qt::AlignCenter));
    c.push_back(label("lblClick", "Click to continue.", 2520, 960, 1335, 255, DefaultFontFamily,
                      DefaultFontSize, Qt::AlignLeft | Qt::AlignTop));
    c.push_back(label("lblSystem", "Windows", 4200, 960, 1455, 375, "Times New Roman", 15.75, RightAligned));
    c.push_back(label("lblVersion", "Version 1.0.0", 3480, 1440, 2175, 375, "Times New Roman", 15.75,
                      RightAligned));
    c.push_back(label("lblMadeBy", "Created by Tessaline", 3120, 2760, 2655, 255, DefaultFontFamily,
                      DefaultFontSize, RightAligned));
    c.push_back({.name = "picLogo", .kind = ControlKind::Picture,
                 .left = 480, .top = 960, .width = 1860, .height = 2055,
                 .picture = ":/startscreen/logo.svg"});
    c.push_back(button("cmdInstr", "&Instructions", 3120, 2160, 375, true));
    c.push_back(button("cmdOptions", "&Options", 4680, 2160, 375, true));
    c.push_back(button("cmdOpen", "Open", 4800, 120, 495, false));
    c.push_back(button("cmdClose", "Close", 120, 120, 495, false));
    c.push_back({.name = "txtInstr", .kind = ControlKind::TextBox,
                 .left = 240, .top = 3240, .width = 5775, .height = 2295,
                 .fontFamily = "Arial", .fontSize = 9.75,
                 .multiLine = true, .readOnly = true, .verticalScrollBar = true});
    c.push_back({.name = "tmrResize", .kind = ControlKind::Timer, .interval = 10});
    return c;
}

} // namespace

const WindowDesign &window()
{
    static const WindowDesign design{.name = "frmSplash", .caption = "Form1",
                                     .clientWidth = 6240, .clientHeight = 5880};
    return design;
}

const std::vector<ControlDesign> &controls()
{
    static const std::vector<ControlDesign> design = buildControls();
    return design;
}

const QStringList &focusOrder()
{
    static const QStringList order{"cmdOpen", "cmdClose", "cmdInstr", "picLogo", "cmdOptions", "txtInstr"};
    return order;
}

} // namespace StartScreenDesign
