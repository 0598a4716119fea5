#include "forms/OptionsDesign.h"

namespace OptionsDesign {

namespace {

// The two pages of SSTab1, named as elements of it.
constexpr const char *ColourPage = "SSTab1(0)";
constexpr const char *TextPage = "SSTab1(1)";

struct ColourRow {
    const char *frame;
    const char *caption;
    int left;
    int top;
    const char *swatch;
    const char *button;
};

// In the order they are drawn; the focus order is a different one.
constexpr ColourRow ColourRows[] = {
    {"frmBackColor", "Back Color:", 120, 600, "picBackC", "cmdBackC"},
    {"frmLabelColor", "Label Color:", 120, 1440, "picLabelC", "cmdLabelC"},
    {"frmHomeColor", "Home Color:", 1920, 600, "picHomeC", "cmdHomeC"},
    {"frmVisitorColor", "Visitor Color:", 1920, 1440, "picVisitorC", "cmdVisitorC"},
    {"frmLEDColor", "LED Color:", 3720, 600, "picLEDC", "cmdLEDC"},
    {"fraLedBack", "LED Background:", 3720, 1440, "picLEDB", "cmdLEDB"},
};

struct TextRow {
    const char *frame;
    const char *caption;
    int left;
    int top;
    const char *box;
    int boxLeft;
    const char *text;
    int maxLength;
};

constexpr TextRow TextRows[] = {
    {"Frame3", "Title:", 275, 480, "txtTitleText", 120, "Home", 50},
    {"Frame1", "Home Name:", 240, 1440, "txtHomeText", 135, "Home", 30},
    {"Frame2", "Visitor Name:", 270, 2400, "txtVisitorText", 120, "Visitor", 30},
};

std::vector<ControlDesign> buildControls()
{
    std::vector<ControlDesign> c;
    c.push_back({.name = "SSTab1", .kind = ControlKind::TabContainer,
                 .left = 120, .top = 120, .width = 5535, .height = 3600});
    c.push_back({.name = "SSTab1", .index = 0, .kind = ControlKind::TabPage,
                 .caption = "Color Controls", .parent = "SSTab1"});
    c.push_back({.name = "SSTab1", .index = 1, .kind = ControlKind::TabPage,
                 .caption = "Text Controls", .parent = "SSTab1"});

    for (const ColourRow &row : ColourRows) {
        c.push_back({.name = row.frame, .kind = ControlKind::Frame, .caption = row.caption,
                     .left = row.left, .top = row.top, .width = 1695, .height = 735,
                     .parent = ColourPage});
        c.push_back({.name = row.swatch, .kind = ControlKind::Picture,
                     .left = 120, .top = 240, .width = 615, .height = 375, .parent = row.frame});
        c.push_back({.name = row.button, .kind = ControlKind::Button, .caption = "Change",
                     .left = 840, .top = 240, .width = 735, .height = 375, .parent = row.frame});
    }
    c.push_back({.name = "cmdResetColors", .kind = ControlKind::Button, .caption = "Reset Colors",
                 .left = 4095, .top = 2400, .width = 1215, .height = 375,
                 .parent = ColourPage});

    for (const TextRow &row : TextRows) {
        c.push_back({.name = row.frame, .kind = ControlKind::Frame, .caption = row.caption,
                     .left = row.left, .top = row.top, .width = 4815, .height = 975,
                     .fontFamily = "Arial", .fontSize = 14.25, .parent = TextPage});
        c.push_back({.name = row.box, .kind = ControlKind::TextBox, .caption = row.text,
                     .left = row.boxLeft, .top = 360, .width = 4575, .height = 495,
                     .fontFamily = "Arial", .fontSize = 15.75, .alignment = Qt::AlignCenter,
                     .parent = row.frame, .maxLength = row.maxLength});
    }

    c.push_back({.name = "cmdOk", .kind = ControlKind::Button, .caption = "&Ok",
                 .left = 1680, .top = 3840, .width = 1080, .height = 375});
    c.push_back({.name = "cmdCancel", .kind = ControlKind::Button, .caption = "&Cancel",
                 .left = 3000, .top = 3840, .width = 1080, .height = 375});
    c.push_back({.name = "cdColors", .kind = ControlKind::ColourPicker});

    c.push_back({.name = "lblHomePreview", .kind = ControlKind::Label, .caption = "Home",
                 .left = 120, .top = 3720, .width = 2175, .height = 960,
                 .fontFamily = "Arial", .fontSize = 39.75, .visible = false});
    c.push_back({.name = "lblVisitorPreview", .kind = ControlKind::Label, .caption = "Visitor",
                 .left = 1080, .top = 3960, .width = 2250, .height = 960,
                 .fontFamily = "Arial", .fontSize = 39.75, .visible = false});
    c.push_back({.name = "lblTitlePreview", .kind = ControlKind::Label, .caption = "Label1",
                 .left = 240, .top = 4320, .width = 9270, .height = 1095, .visible = false});
    return c;
}

} // namespace

const WindowDesign &window()
{
    static const WindowDesign design{.name = "frmOptions", .caption = "Options",
                                     .clientWidth = 5700, .clientHeight = 4290};
    return design;
}

const std::vector<ControlDesign> &controls()
{
    static const std::vector<ControlDesign> design = buildControls();
    return design;
}

const QStringList &focusOrder()
{
    static const QStringList order{"txtTitleText", "txtHomeText", "txtVisitorText", "cmdOk",
                                   "cmdCancel", "SSTab1", "cmdBackC", "cmdHomeC", "cmdLEDC",
                                   "cmdLabelC", "cmdVisitorC", "cmdLEDB", "cmdResetColors"};
    return order;
}

} // namespace OptionsDesign
