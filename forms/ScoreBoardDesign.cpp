#include "forms/ScoreBoardDesign.h"

#include "controls/ControlName.h"

#include <tuple>

namespace ScoreBoardDesign {

namespace {

constexpr Qt::Alignment Centred = Qt::AlignCenter;
constexpr int InningLeft = 1665;
constexpr int InningPitch = 495;
constexpr int LargeTop = 2400;
constexpr int HomeRowTop = 4635;
constexpr int VisitorRowTop = 5670;

ControlDesign label(const char *name, int index, const char *caption, int left, int top,
                    int width, int height, double fontSize, bool bold, int slot)
{
    return {.name = name, .index = index, .kind = ControlKind::Label, .caption = caption,
            .left = left, .top = top, .width = width, .height = height,
            .fontFamily = "Arial", .fontSize = fontSize, .bold = bold, .alignment = Centred,
            .layoutSlot = slot};
}

ControlDesign largeLed(const char *name, int index, int left, bool blankAtStart, int slot)
{
    return {.name = name, .index = index, .kind = ControlKind::LedDisplay,
            .left = left, .top = LargeTop, .width = 645, .height = 975, .layoutSlot = slot,
            .bufferArea = LargeBufferArea, .blankAtStart = blankAtStart};
}

ControlDesign smallLed(const char *name, int index, int left, int top, bool blankAtStart, int slot)
{
    return {.name = name, .index = index, .kind = ControlKind::LedDisplay,
            .left = left, .top = top, .width = 405, .height = 630, .layoutSlot = slot,
            .bufferArea = SmallBufferArea, .digitSize = SmallDigitSize,
            .blankAtStart = blankAtStart};
}

struct Field {
    const char *name;
    const char *words; // %1: the inning
    bool twoDigits;
    BoardField::Kind kind;
    Team team;
};

constexpr Field Fields[] = {
    {"ledAtBat", "At bat", true, BoardField::AtBat, Team::Home},
    {"ledBall", "Balls", false, BoardField::Balls, Team::Home},
    {"ledStrike", "Strikes", false, BoardField::Strikes, Team::Home},
    {"ledOut", "Outs", false, BoardField::Outs, Team::Home},
    {"ledHome", "Home inning %1", false, BoardField::Inning, Team::Home},
    {"ledVisitor", "Visitor inning %1", false, BoardField::Inning, Team::Visitor},
    {"ledHomeRuns", "Home runs", true, BoardField::Runs, Team::Home},
    {"ledVisitorRuns", "Visitor runs", true, BoardField::Runs, Team::Visitor},
    {"ledHomeHits", "Home hits", true, BoardField::Hits, Team::Home},
    {"ledVisitorHits", "Visitor hits", true, BoardField::Hits, Team::Visitor},
    {"ledHomeErr", "Home errors", false, BoardField::Errors, Team::Home},
    {"ledVisitorErr", "Visitor errors", false, BoardField::Errors, Team::Visitor},
};

const Field *fieldNamed(const char *name)
{
    for (const Field &field : Fields) {
        if (qstrcmp(field.name, name) == 0)
            return &field;
    }
    return nullptr;
}

const char *const InningNumbers[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};

std::vector<ControlDesign> buildControls()
{
    std::vector<ControlDesign> c;
    c.push_back({.name = "Shape1", .kind = ControlKind::Shape, .left = 135, .top = 1305,
                 .width = 9255, .height = 5370, .layoutSlot = 2, .borderWidth = 7});

    c.push_back(label("lblBoardTitle", -1, "Brindlecomb", 120, 120, 9270, 1150, 39.75, false, 1));
    c.push_back(label("lblAtBat", -1, "AT BAT", 810, 1755, 1770, 510, 20.25, true, 55));
    c.push_back(label("lblBall", -1, "BALL", 3285, 1755, 1365, 510, 20.25, true, 56));
    c.push_back(label("lblStrike", -1, "STRIKE", 5145, 1755, 1785, 510, 20.25, true, 57));
    c.push_back(label("lblOut", -1, "OUT", 7290, 1755, 1320, 510, 20.25, true, 58));
    c.push_back(label("Label1", -1, "INNINGS", 255, 4050, 1440, 450, 14.25, true, 3));
    for (int i = 1; i <= 10; ++i)
        c.push_back(label("lblInning", i, InningNumbers[i - 1], InningLeft + InningPitch * (i - 1),
                          4050, 420, 465, 15.75, true, i + 5));
    c.push_back(label("lblStat", 1, "RUNS", 6705, 4050, 1080, 465, 15.75, true, 36));
    c.push_back(label("lblStat", 2, "HITS", 7760, 4050, 825, 465, 15.75, true, 37));
    c.push_back(label("lblStat", 3, "ERR", 8565, 4050, 750, 465, 15.75, true, 38));
    c.push_back(label("lblHome", -1, "Home", 360, 4680, 1185, 495, 18.75, true, 4));
    c.push_back(label("lblVisitor", -1, "Visitor", 360, 5760, 1185, 495, 18.75, true, 5));

    c.push_back(largeLed("ledAtBat", 1, 1035, true, 60));
    c.push_back(largeLed("ledAtBat", 0, 1650, false, 59));
    c.push_back(largeLed("ledBall", 0, 3600, false, 61));
    c.push_back(largeLed("ledStrike", 0, 5715, false, 62));
    c.push_back(largeLed("ledOut", 0, 7605, false, 63));

    for (int i = 1; i <= 10; ++i) {
        // The first home inning sits 15 twips right of its column, as drawn.
        const int left = i == 1 ? 1680 : InningLeft + InningPitch * (i - 1);
        c.push_back(smallLed("ledHome", i, left, HomeRowTop, true, i + 15));
        c.push_back(smallLed("ledVisitor", i, InningLeft + InningPitch * (i - 1), VisitorRowTop, true, i + 25));
    }
    for (const auto &[name, top, slot] :
         {std::tuple{"ledHomeRuns", HomeRowTop, 39}, {"ledVisitorRuns", VisitorRowTop, 41}}) {
        c.push_back(smallLed(name, 1, 6840, top, true, slot + 1));
        c.push_back(smallLed(name, 0, 7215, top, false, slot));
    }
    for (const auto &[name, top, slot] :
         {std::tuple{"ledHomeHits", HomeRowTop, 43}, {"ledVisitorHits", VisitorRowTop, 45}}) {
        c.push_back(smallLed(name, 1, 7785, top, true, slot + 1));
        c.push_back(smallLed(name, 0, 8160, top, false, slot));
    }
    c.push_back(smallLed("ledHomeErr", -1, 8730, HomeRowTop, false, 47));
    c.push_back(smallLed("ledVisitorErr", -1, 8730, VisitorRowTop, false, 48));
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
    const Field *field = fieldNamed(display.name);
    if (!field)
        return {};
    QString words = QString::fromLatin1(field->words);
    if (words.contains(u"%1"))
        words = words.arg(display.index);
    if (field->twoDigits)
        words += display.index == 1 ? u", tens digit" : u", ones digit";
    return words;
}

std::optional<BoardField> fieldOf(const ControlDesign &display)
{
    const Field *field = fieldNamed(display.name);
    if (!field)
        return std::nullopt;
    return BoardField{field->kind, field->team, field->kind == BoardField::Inning ? display.index : 0};
}

bool isTwoDigitField(const ControlDesign &display)
{
    const Field *field = fieldNamed(display.name);
    return field && field->twoDigits;
}

} // namespace ScoreBoardDesign
