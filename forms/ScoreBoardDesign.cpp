#include "forms/ScoreBoardDesign.h"

#include "controls/ControlName.h"

namespace ScoreBoardDesign {

namespace {

constexpr Qt::Alignment Centred = Qt::AlignCenter;
constexpr int InningLeft = 1665;
constexpr int InningPitch = 495;
constexpr int LargeTop = 2400;
constexpr int HomeRowTop = 4635;
constexpr int VisitorRowTop = 5670;

ControlDesign label(const char *name, int index, const char *caption, int left, int top,
                    int width, int height, double fontSize, bool bold)
{
    return {.name = name, .index = index, .kind = ControlKind::Label, .caption = caption,
            .left = left, .top = top, .width = width, .height = height,
            .fontFamily = "Arial", .fontSize = fontSize, .bold = bold, .alignment = Centred};
}

ControlDesign largeLed(const char *name, int index, int left, bool blankAtStart)
{
    return {.name = name, .index = index, .kind = ControlKind::LedDisplay,
            .left = left, .top = LargeTop, .width = 645, .height = 975,
            .bufferArea = LargeBufferArea, .blankAtStart = blankAtStart};
}

ControlDesign smallLed(const char *name, int index, int left, int top, bool blankAtStart)
{
    return {.name = name, .index = index, .kind = ControlKind::LedDisplay,
            .left = left, .top = top, .width = 405, .height = 630,
            .bufferArea = SmallBufferArea, .digitSize = SmallDigitSize,
            .blankAtStart = blankAtStart};
}

struct SpokenField {
    const char *name;
    const char *words; // %1: the inning
    bool twoDigits;
};

constexpr SpokenField SpokenFields[] = {
    {"ledAtBat", "At bat", true},
    {"ledBall", "Balls", false},
    {"ledStrike", "Strikes", false},
    {"ledOut", "Outs", false},
    {"ledHome", "Home inning %1", false},
    {"ledVisitor", "Visitor inning %1", false},
    {"ledHomeRuns", "Home runs", true},
    {"ledVisitorRuns", "Visitor runs", true},
    {"ledHomeHits", "Home hits", true},
    {"ledVisitorHits", "Visitor hits", true},
    {"ledHomeErr", "Home errors", false},
    {"ledVisitorErr", "Visitor errors", false},
};

const char *const InningNumbers[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};

std::vector<ControlDesign> buildControls()
{
    std::vector<ControlDesign> c;
    c.push_back({.name = "Shape1", .kind = ControlKind::Shape, .left = 135, .top = 1305,
                 .width = 9255, .height = 5370, .borderWidth = 7});

    c.push_back(label("lblBoardTitle", -1, "Brindlecomb", 120, 120, 9270, 1150, 39.75, false));
    c.push_back(label("lblAtBat", -1, "AT BAT", 810, 1755, 1770, 510, 20.25, true));
    c.push_back(label("lblBall", -1, "BALL", 3285, 1755, 1365, 510, 20.25, true));
    c.push_back(label("lblStrike", -1, "STRIKE", 5145, 1755, 1785, 510, 20.25, true));
    c.push_back(label("lblOut", -1, "OUT", 7290, 1755, 1320, 510, 20.25, true));
    c.push_back(label("Label1", -1, "INNINGS", 255, 4050, 1440, 450, 14.25, true));
    for (int i = 1; i <= 10; ++i)
        c.push_back(label("lblInning", i, InningNumbers[i - 1], InningLeft + InningPitch * (i - 1),
                          4050, 420, 465, 15.75, true));
    c.push_back(label("lblStat", 1, "RUNS", 6705, 4050, 1080, 465, 15.75, true));
    c.push_back(label("lblStat", 2, "HITS", 7760, 4050, 825, 465, 15.75, true));
    c.push_back(label("lblStat", 3, "ERR", 8565, 4050, 750, 465, 15.75, true));
    c.push_back(label("lblHome", -1, "Home", 360, 4680, 1185, 495, 18.75, true));
    c.push_back(label("lblVisitor", -1, "Visitor", 360, 5760, 1185, 495, 18.75, true));

    c.push_back(largeLed("ledAtBat", 1, 1035, true));
    c.push_back(largeLed("ledAtBat", 0, 1650, false));
    c.push_back(largeLed("ledBall", 0, 3600, false));
    c.push_back(largeLed("ledStrike", 0, 5715, false));
    c.push_back(largeLed("ledOut", 0, 7605, false));

    for (int i = 1; i <= 10; ++i) {
        // The first home inning sits 15 twips right of its column, as drawn.
        const int left = i == 1 ? 1680 : InningLeft + InningPitch * (i - 1);
        c.push_back(smallLed("ledHome", i, left, HomeRowTop, true));
        c.push_back(smallLed("ledVisitor", i, InningLeft + InningPitch * (i - 1), VisitorRowTop, true));
    }
    for (const auto &[name, top] : {std::pair{"ledHomeRuns", HomeRowTop}, {"ledVisitorRuns", VisitorRowTop}}) {
        c.push_back(smallLed(name, 1, 6840, top, true));
        c.push_back(smallLed(name, 0, 7215, top, false));
    }
    for (const auto &[name, top] : {std::pair{"ledHomeHits", HomeRowTop}, {"ledVisitorHits", VisitorRowTop}}) {
        c.push_back(smallLed(name, 1, 7785, top, true));
        c.push_back(smallLed(name, 0, 8160, top, false));
    }
    c.push_back(smallLed("ledHomeErr", -1, 8730, HomeRowTop, false));
    c.push_back(smallLed("ledVisitorErr", -1, 8730, VisitorRowTop, false));
    return c;
}

QStringList buildFocusOrder()
{
    using ControlName::element;
    QStringList order{element("ledHome", 1), element("ledVisitor", 1)};
    for (int i = 2; i <= 10; ++i)
        order << element("ledHome", i);
    order << "ledHomeErr" << element("ledHomeHits", 0) << element("ledHomeHits", 1)
          << "ledVisitorErr" << element("ledVisitorHits", 1) << element("ledVisitorHits", 0)
          << element("ledVisitorRuns", 1) << element("ledHomeRuns", 1)
          << element("ledHomeRuns", 0) << element("ledVisitorRuns", 0);
    for (int i = 2; i <= 10; ++i)
        order << element("ledVisitor", i);
    order << element("ledAtBat", 0) << element("ledBall", 0) << element("ledStrike", 0)
          << element("ledAtBat", 1) << element("ledOut", 0);
    return order;
}

} // namespace

const WindowDesign &window()
{
    static const WindowDesign design{.name = "frmScoreBoard", .caption = "Quorvane",
                                     .clientWidth = 9480, .clientHeight = 6795, .backColor = 255};
    return design;
}

const std::vector<ControlDesign> &controls()
{
    static const std::vector<ControlDesign> design = buildControls();
    return design;
}

const QStringList &focusOrder()
{
    static const QStringList order = buildFocusOrder();
    return order;
}

QString spokenName(const ControlDesign &display)
{
    for (const SpokenField &field : SpokenFields) {
        if (qstrcmp(field.name, display.name) != 0)
            continue;
        QString words = QString::fromLatin1(field.words);
        if (words.contains(u"%1"))
            words = words.arg(display.index);
        if (field.twoDigits)
            words += display.index == 1 ? u", tens digit" : u", ones digit";
        return words;
    }
    return {};
}

} // namespace ScoreBoardDesign
