#include "stream/BoardPage.h"

#include "forms/ScoreBoardDesign.h"

#include <QFile>
#include <QString>

#include <algorithm>

namespace BoardPage {

namespace {

// One twip is 1/20 of a point.
constexpr double TwipsPerPoint = 20;
// Border widths are pixels at 96 dots per inch, 15 twips each.
constexpr double TwipsPerPixel = 15;

QString elementId(const ControlDesign &control)
{
    const QString name = QString::fromLatin1(control.name);
    return control.index < 0 ? name : QStringLiteral("%1-%2").arg(name).arg(control.index);
}

QString number(double value)
{
    return QString::number(value, 'f', 4);
}

const char *className(ControlKind kind)
{
    switch (kind) {
    case ControlKind::LedDisplay:
        return "led";
    case ControlKind::Shape:
        return "shape";
    default:
        return "label";
    }
}

QString justify(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("center");
    return alignment & Qt::AlignRight ? QStringLiteral("flex-end") : QStringLiteral("flex-start");
}

QString align(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignVCenter)
        return QStringLiteral("center");
    return alignment & Qt::AlignBottom ? QStringLiteral("flex-end") : QStringLiteral("flex-start");
}

// The rule that places one control. The program scales positions across with
// the window's width and everything else with its height (a display's extent
// follows its digit size, which scales with the height), so across the page
// Left and a label's Width are shares of the width, the rest of the height.
QString rule(const ControlDesign &c)
{
    const WindowDesign &window = ScoreBoardDesign::window();
    const double across = 100.0 / window.clientWidth;
    const double down = 100.0 / window.clientHeight;
    const bool led = c.kind == ControlKind::LedDisplay;
    QString css = QStringLiteral("#%1{left:%2vw;top:%3vh;width:%4;height:%5vh;")
                      .arg(elementId(c), number(c.left * across), number(c.top * down),
                          led ? number(c.width * down) + QStringLiteral("vh")
                              : number(c.width * across) + QStringLiteral("vw"),
                          number(c.height * down));
    if (led)
        css += QStringLiteral("padding:%1vh;").arg(number(c.bufferArea * down));
    if (c.kind == ControlKind::Label) {
        css += QStringLiteral("font-size:%1vh;font-weight:%2;justify-content:%3;align-items:%4;")
                   .arg(number(c.fontSize * TwipsPerPoint * down),
                       c.bold ? QStringLiteral("bold") : QStringLiteral("normal"), justify(c.alignment),
                       align(c.alignment));
    }
    if (c.kind == ControlKind::Shape) {
        // The program's frame: its corners round by an eighth of its
        // shorter side.
        const double border = c.borderWidth * TwipsPerPixel;
        const double radius = (std::min(c.width, c.height) - border) / 8 + border / 2;
        css += QStringLiteral("border-width:%1vh;border-radius:%2vh;")
                   .arg(number(border * down), number(radius * down));
    }
    return css + QStringLiteral("}\n");
}

} // namespace

QByteArray html()
{
    QString body;
    for (const ControlDesign &c : ScoreBoardDesign::controls()) {
        QString element = QStringLiteral("<div class=\"%1\" id=\"%2\"")
                              .arg(QLatin1String(className(c.kind)), elementId(c));
        if (c.kind == ControlKind::LedDisplay)
            element += QStringLiteral(" data-name=\"%1\" data-index=\"%2\"")
                           .arg(QLatin1String(c.name))
                           .arg(c.index);
        element += u'>' + QString::fromLatin1(c.caption).toHtmlEscaped() + QStringLiteral("</div>\n");
        body += element;
    }
    const double heightPerPoint = TwipsPerPoint * 100.0 / ScoreBoardDesign::window().clientHeight;
    return QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Quorvane board</title>\n<link rel=\"stylesheet\" href=\"/board.css\">\n"
        "<script src=\"/led.js\" defer></script>\n<script src=\"/board.js\" defer></script>\n"
        "</head>\n<body>\n<div id=\"board\" data-height-per-point=\"%1\">\n%2</div>\n</body>\n</html>\n")
        .arg(number(heightPerPoint), body)
        .toUtf8();
}

QByteArray css()
{
    QFile fixed(QStringLiteral(":/stream/board.css"));
    QByteArray out = fixed.open(QIODevice::ReadOnly) ? fixed.readAll() : QByteArray();
    out += "\n/* From the design table. */\n";
    for (const ControlDesign &c : ScoreBoardDesign::controls())
        out += rule(c).toUtf8();
    return out;
}

} // namespace BoardPage
