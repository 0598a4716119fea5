#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPointer>

class LedDisplay;

// What assistive technology reads from an LED display: its name says what it
// is ("Home inning 3"), its value is the digit or "blank", and a digit of a
// two-digit field describes itself by the field's whole number ("42").
class LedDisplayAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit LedDisplayAccessible(LedDisplay *display);

    // For QAccessible::installFactory.
    static QAccessibleInterface *create(const QString &className, QObject *object);
    static QString spokenDigit(int caption);
    // The number a field's digits show together, blanks left out.
    static QString spokenNumber(const QList<QPointer<LedDisplay>> &onesFirst);

    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // The value is the display's Caption: the digit, or -1 when dark.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    LedDisplay *display() const;
};
