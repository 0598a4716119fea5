#pragma once

#include <Qt>

// One control of a window design, as drawn at design time. Geometry is in
// twips relative to the parent (the window's client area unless `parent`
// names a container); font sizes are in points. A control on a tab page is
// drawn relative to the tab container, tab strip included, as on the designer.
enum class ControlKind {
    Label,
    Shape,
    LedDisplay,
    Frame,
    Button,
    TextBox,
    Picture,
    TabContainer,
    TabPage, // one tab of its parent tab container; the caption is the tab's
    ColourPicker,
    Timer,
};

struct ControlDesign {
    const char *name = "";
    int index = -1; // element of a control array, or -1 for a single control
    ControlKind kind = ControlKind::Label;
    const char *caption = "";
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    const char *fontFamily = nullptr; // nullptr: the window's default font
    double fontSize = 0;              // 0: the default size
    bool bold = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    const char *parent = nullptr; // container control, or nullptr for the window
    bool visible = true;
    // The proportional layout's slot for this control, or -1 if it is not rescaled.
    int layoutSlot = -1;
    // LED displays
    int bufferArea = 0;
    int digitSize = 0; // 0: the display's default size
    bool blankAtStart = false;
    // Frame shape
    int borderWidth = 0;
    // Text boxes
    int maxLength = 0;
    bool multiLine = false;
    bool readOnly = false;
    bool verticalScrollBar = false;
    // Pictures: the image, a Qt resource path
    const char *picture = nullptr;
    // Timers
    int interval = 0;
};

// The window itself: caption and client area in twips.
struct WindowDesign {
    const char *name = "";
    const char *caption = "";
    int clientWidth = 0;
    int clientHeight = 0;
    int backColor = 0;
};
