#include "controls/LedDisplayAccessible.h"

#include "controls/LedDisplay.h"

LedDisplayAccessible::LedDisplayAccessible(LedDisplay *display)
    : QAccessibleWidget(display, QAccessible::StaticText)
{
}

QAccessibleInterface *LedDisplayAccessible::create(const QString &className, QObject *object)
{
    if (className == QLatin1String(LedDisplay::staticMetaObject.className()))
        return new LedDisplayAccessible(static_cast<LedDisplay *>(object));
    return nullptr;
}

QString LedDisplayAccessible::spokenDigit(int caption)
{
    return caption == LedDisplay::Blank ? QStringLiteral("blank") : QString::number(caption);
}

QString LedDisplayAccessible::spokenNumber(const QList<QPointer<LedDisplay>> &onesFirst)
{
    QString number;
    for (const LedDisplay *digit : onesFirst) {
        if (digit && digit->caption() != LedDisplay::Blank)
            number.prepend(QChar(u'0' + digit->caption()));
    }
    return number.isEmpty() ? spokenDigit(LedDisplay::Blank) : number;
}

LedDisplay *LedDisplayAccessible::display() const
{
    return static_cast<LedDisplay *>(widget());
}

QString LedDisplayAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Value:
        return spokenDigit(display()->caption());
    case QAccessible::Description:
        if (!display()->numberDigits().isEmpty())
            return spokenNumber(display()->numberDigits());
        break;
    default:
        break;
    }
    return QAccessibleWidget::text(t);
}

void *LedDisplayAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant LedDisplayAccessible::currentValue() const
{
    return display()->caption();
}

void LedDisplayAccessible::setCurrentValue(const QVariant &)
{
    // The operator's keys set the digits; assistive technology only reads them.
}

QVariant LedDisplayAccessible::maximumValue() const
{
    return 9;
}

QVariant LedDisplayAccessible::minimumValue() const
{
    return LedDisplay::Blank;
}

QVariant LedDisplayAccessible::minimumStepSize() const
{
    return 1;
}
