#include "controls/DesignBuilder.h"

#include "controls/ColorSwatch.h"
#include "controls/ControlName.h"
#include "controls/EtchedFrame.h"
#include "controls/LedDisplay.h"
#include "controls/TextBox.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsPicture.h"
#include "controls/TwipsShape.h"
#include "controls/Units.h"

#include <QColorDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

QString nameOf(const ControlDesign &c)
{
    return c.index >= 0 ? ControlName::element(QString::fromLatin1(c.name), c.index)
                        : QString::fromLatin1(c.name);
}

// A control without a font of its own takes its window's.
void applyFont(QWidget *control, const ControlDesign &c)
{
    if (!c.fontFamily)
        return;
    QFont font(QString::fromLatin1(c.fontFamily));
    if (c.fontSize > 0)
        font.setPointSizeF(c.fontSize);
    font.setBold(c.bold);
    control->setFont(font);
}

QWidget *textBox(const ControlDesign &c, const QString &text, QWidget *parent)
{
    if (!c.multiLine) {
        auto *box = new QLineEdit(text, parent);
        if (c.maxLength > 0)
            box->setMaxLength(c.maxLength);
        box->setAlignment(c.alignment);
        box->setReadOnly(c.readOnly);
        return box;
    }
    auto *box = new TextBox(parent);
    box->setText(text);
    box->setReadOnly(c.readOnly);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(c.verticalScrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return box;
}

} // namespace

DesignBuilder::DesignBuilder(QWidget &window, const std::vector<ControlDesign> &design)
    : m_window(window)
{
    m_built.reserve(design.size());
    for (const ControlDesign &c : design) {
        QWidget *parent = c.parent ? control<QWidget>(QString::fromLatin1(c.parent)) : &m_window;
        QObject *made = build(c, parent);
        const QString name = nameOf(c);
        made->setObjectName(name);
        m_built.push_back({&c, made});
        m_byName.insert(name, made);
        if (auto *widget = qobject_cast<QWidget *>(made)) {
            applyFont(widget, c);
            if (!c.visible)
                widget->hide();
            place(widget, c);
        }
    }
}

QObject *DesignBuilder::build(const ControlDesign &c, QWidget *parent)
{
    const QString caption = QString::fromUtf8(c.caption);
    switch (c.kind) {
    case ControlKind::Label: {
        auto *label = new TwipsLabel(parent);
        label->setAlignment(c.alignment);
        label->setCaption(caption);
        label->setForeColor(Units::bgrFromColor(m_window.palette().color(QPalette::WindowText)));
        return label;
    }
    case ControlKind::Shape: {
        auto *shape = new TwipsShape(parent);
        shape->setBorderWidth(c.borderWidth);
        return shape;
    }
    case ControlKind::LedDisplay: {
        auto *led = new LedDisplay(parent);
        led->setBufferArea(c.bufferArea);
        if (c.digitSize > 0)
            led->setDigitSize(c.digitSize);
        led->setCaption(c.blankAtStart ? LedDisplay::Blank : 0);
        return led;
    }
    case ControlKind::Frame:
        if (caption.isEmpty())
            return new EtchedFrame(parent);
        return new QGroupBox(caption, parent);
    case ControlKind::Button:
        return new QPushButton(caption, parent);
    case ControlKind::TextBox:
        return textBox(c, caption, parent);
    case ControlKind::Picture: {
        if (!c.picture)
            return new ColorSwatch(parent);
        auto *picture = new TwipsPicture(parent);
        picture->setPicture(QString::fromLatin1(c.picture));
        return picture;
    }
    case ControlKind::TabContainer:
        return new QTabWidget(parent);
    case ControlKind::TabPage: {
        auto *tabs = qobject_cast<QTabWidget *>(parent);
        if (!tabs)
            missing(QString::fromLatin1(c.parent), QTabWidget::staticMetaObject.className());
        auto *page = new QWidget;
        tabs->addTab(page, caption);
        m_pages.insert(page, tabs);
        return page;
    }
    case ControlKind::ColourPicker: {
        // Qt's own picker, so it looks and answers the same on every platform.
        auto *picker = new QColorDialog(parent);
        picker->setOption(QColorDialog::DontUseNativeDialog);
        return picker;
    }
    case ControlKind::Timer: {
        auto *timer = new QTimer(&m_window);
        timer->setInterval(c.interval);
        return timer;
    }
    }
    qFatal("The design of %s gives %s an unknown kind", qPrintable(m_window.objectName()), c.name);
}

void DesignBuilder::place(QWidget *control, const ControlDesign &c) const
{
    if (c.kind == ControlKind::TabPage || c.kind == ControlKind::ColourPicker)
        return;
    if (auto *led = qobject_cast<LedDisplay *>(control)) {
        // A display's extent follows its digit size.
        led->setLeftTwips(c.left);
        led->setTopTwips(c.top);
        return;
    }
    if (auto *twips = qobject_cast<TwipsControl *>(control)) {
        twips->setTwipsGeometry(c.left, c.top, c.width, c.height);
        return;
    }
    QRect area = Units::twipsToPixelsRect(c.left, c.top, c.width, c.height, &m_window);
    QWidget *parent = control->parentWidget();
    if (const QTabWidget *tabs = m_pages.value(parent))
        area.translate(-parent->mapTo(tabs, QPoint(0, 0)));
    control->setGeometry(area);
}

void DesignBuilder::placePageControls() const
{
    for (const Built &b : m_built) {
        auto *widget = qobject_cast<QWidget *>(b.control);
        if (widget && m_pages.contains(widget->parentWidget()))
            place(widget, *b.design);
    }
}

void DesignBuilder::chainFocus(const QStringList &order) const
{
    QWidget *previous = nullptr;
    for (const QString &name : order) {
        QWidget *next = control<QWidget>(name);
        if (!(next->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

void DesignBuilder::missing(const QString &name, const char *className)
{
    qFatal("The window's design has no %s named %s", className, qPrintable(name));
}
