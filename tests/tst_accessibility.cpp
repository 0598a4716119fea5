#include "BoardDriver.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QSet>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

// Value and description changes, by display; focus and the like are Qt's own business.
static QList<std::tuple<QObject *, QAccessible::Event, QVariant>> announcements;

// What a screen reader learns from the board's LED displays.
class TestAccessibility : public QObject, private ShownBoardFixture
{
    Q_OBJECT

    QList<QAccessible::Event> announcedFor(const char *display) const
    {
        QList<QAccessible::Event> types;
        for (const auto &[object, type, value] : std::as_const(announcements))
            if (object == drive->led(display))
                types << type;
        return types;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A screen reader switches the platform's accessibility on; here the
        // test does, and takes the events in place of the platform.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QVERIFY(QAccessible::isActive());
        QAccessible::installUpdateHandler([](QAccessibleEvent *e) {
            const bool value = e->type() == QAccessible::ValueChanged;
            if (value || e->type() == QAccessible::DescriptionChanged)
                announcements.append({e->object(), e->type(),
                                      value ? static_cast<QAccessibleValueChangeEvent *>(e)->value() : QVariant()});
        });
    }
    void init()
    {
        showFreshBoard();
        announcements.clear();
    }
    void cleanup() { closeBoard(); }

    // Every display is focusable static text with a value and a name of its own.
    void displaysSayWhatTheyAre()
    {
        const std::pair<const char *, const char *> rows[] = {
            {"ledHome(3)", "Home inning 3"}, {"ledHome(10)", "Home inning 10"}, {"ledBall(0)", "Balls"},
            {"ledVisitor(1)", "Visitor inning 1"}, {"ledStrike(0)", "Strikes"}, {"ledOut(0)", "Outs"},
            {"ledAtBat(1)", "At bat, tens digit"}, {"ledAtBat(0)", "At bat, ones digit"},
            {"ledHomeRuns(1)", "Home runs, tens digit"}, {"ledVisitorRuns(0)", "Visitor runs, ones digit"},
            {"ledHomeHits(0)", "Home hits, ones digit"}, {"ledVisitorHits(1)", "Visitor hits, tens digit"},
            {"ledHomeErr", "Home errors"}, {"ledVisitorErr", "Visitor errors"}};
        for (const auto &[display, name] : rows)
            QCOMPARE(QAccessible::queryAccessibleInterface(drive->led(display))->text(QAccessible::Name), name);
        QSet<QString> names;
        for (LedDisplay *led : board->findChildren<LedDisplay *>()) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(led);
            QVERIFY2(iface && iface->role() == QAccessible::StaticText && iface->state().focusable
                         && iface->valueInterface(),
                     qPrintable(led->objectName()));
            names.insert(iface->text(QAccessible::Name));
        }
        names.remove({});
        QCOMPARE(names.size(), 35);
    }

    // After a few keys, every display reports its digit as its value ("blank"
    // for none) and a digit of a two-digit field the field's whole number.
    void valuesFollowTheDigits()
    {
        for (const auto &[display, keys] : {std::pair{"ledHome(3)", "7"}, {"ledHome(4)", "0-"},
                                            {"ledBall(0)", "3"}, {"ledAtBat(0)", "42\r"},
                                            {"ledVisitorHits(1)", "42\r-40\r"}})
            drive->type(display, keys);
        for (LedDisplay *led : board->findChildren<LedDisplay *>()) {
            const QString name = led->objectName(), field = name.left(name.indexOf(u'('));
            const bool twoDigits = field == u"ledAtBat" || field.endsWith(u"Runs") || field.endsWith(u"Hits");
            const QString number = twoDigits ? drive->shows(field, 2).remove(u'_') : QString();
            const int digit = led->caption();
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(led);
            QVERIFY2(iface->text(QAccessible::Value) == (digit < 0 ? "blank" : QString::number(digit))
                         && iface->text(QAccessible::Description) == number
                         && iface->valueInterface()->currentValue().toInt() == digit,
                     qPrintable(name));
        }
        QCOMPARE(drive->face(), "42 3 0 0 __7_______ __________ _7 _0 _0 _2 0 0");
    }

    // A changed digit is announced, the same digit again is not; both digits
    // of a field describe its number, so both are told when it changes, and
    // runs in an inning announce the inning and its team's total only.
    void changesAreAnnounced()
    {
        drive->type("ledBall(0)", "33");
        QCOMPARE(announcedFor("ledBall(0)"), QList{QAccessible::ValueChanged});
        QCOMPARE(std::get<QVariant>(announcements.last()).toInt(), 3);
        drive->type("ledHomeHits(0)", "42\r");
        for (const char *digit : {"ledHomeHits(0)", "ledHomeHits(1)"})
            QVERIFY2(announcedFor(digit).contains(QAccessible::ValueChanged)
                         && announcedFor(digit).contains(QAccessible::DescriptionChanged), digit);
        drive->type("ledVisitor(5)", "3");
        QCOMPARE(announcedFor("ledVisitor(5)"), QList{QAccessible::ValueChanged});
        QVERIFY(announcedFor("ledVisitorRuns(0)").contains(QAccessible::ValueChanged));
        QVERIFY(announcedFor("ledVisitorRuns(1)").contains(QAccessible::DescriptionChanged));
        QVERIFY(announcedFor("ledHomeRuns(0)").isEmpty());
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
