#include "BoardDriver.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QSet>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

// Value and description changes, by display; focus and the like are Qt's own business.
struct Announcement {
    QObject *object;
    QAccessible::Event type;
    QVariant value;
};
static QList<Announcement> announcements;

// What a screen reader learns from the board's LED displays.
class TestAccessibility : public QObject, private ShownBoardFixture
{
    Q_OBJECT

    QAccessibleInterface *accessible(const QString &display) const
    {
        return QAccessible::queryAccessibleInterface(drive->led(display));
    }
    QList<QAccessible::Event> announcedFor(const QString &display) const
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
        QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
        QVERIFY(platform);
        platform->setActive(true);
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

    // Every display has a name of its own, is focusable static text and has a value.
    void displaysSayWhatTheyAre()
    {
        const std::pair<const char *, const char *> rows[] = {
            {"ledHome(3)", "Home inning 3"}, {"ledHome(10)", "Home inning 10"},
            {"ledVisitor(1)", "Visitor inning 1"}, {"ledBall(0)", "Balls"}, {"ledStrike(0)", "Strikes"},
            {"ledOut(0)", "Outs"}, {"ledAtBat(1)", "At bat, tens digit"}, {"ledAtBat(0)", "At bat, ones digit"},
            {"ledHomeRuns(1)", "Home runs, tens digit"}, {"ledVisitorRuns(0)", "Visitor runs, ones digit"},
            {"ledHomeHits(0)", "Home hits, ones digit"}, {"ledVisitorHits(1)", "Visitor hits, tens digit"},
            {"ledHomeErr", "Home errors"}, {"ledVisitorErr", "Visitor errors"}};
        for (const auto &[display, name] : rows)
            QCOMPARE(accessible(display)->text(QAccessible::Name), name);
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

    // Keys typed, then what a display reports as its value and, for a digit of
    // a two-digit field, the field's whole number.
    void valuesFollowTheDigits()
    {
        const struct { const char *target, *keys, *display, *value, *number; } rows[] = {
            {"ledHome(3)", "", "ledHome(3)", "blank", ""}, {"ledHome(3)", "7", "ledHome(3)", "7", ""},
            {"ledHome(3)", "0-", "ledHome(3)", "blank", ""}, {"ledBall(0)", "3", "ledBall(0)", "3", ""},
            {"ledHome(3)", "7", "ledHomeRuns(1)", "blank", "7"}, {"ledHome(3)", "7", "ledHomeRuns(0)", "7", "7"},
            {"ledAtBat(0)", "42\r", "ledAtBat(1)", "4", "42"}, {"ledAtBat(0)", "42\r", "ledAtBat(0)", "2", "42"},
            {"ledVisitorHits(0)", "", "ledVisitorHits(1)", "blank", "0"},
            {"ledVisitorHits(1)", "42\r-40\r", "ledVisitorHits(1)", "blank", "2"}};
        for (const auto &r : rows) {
            drive->type(r.target, r.keys);
            QAccessibleInterface *iface = accessible(r.display);
            const QString value = r.value;
            QVERIFY2(iface->text(QAccessible::Value) == value && iface->text(QAccessible::Description) == r.number
                         && iface->valueInterface()->currentValue().toInt()
                             == (value == "blank" ? LedDisplay::Blank : value.toInt()),
                     qPrintable(QStringLiteral("%1 after %2: %3").arg(r.display, r.keys, iface->text(QAccessible::Value))));
            closeBoard();
            showFreshBoard();
        }
    }

    // A changed digit is announced, the same digit again is not; both digits
    // of a field describe its number, so both are told when it changes, and
    // runs in an inning announce the inning and its team's total only.
    void changesAreAnnounced()
    {
        drive->type("ledBall(0)", "3");
        QCOMPARE(announcedFor("ledBall(0)"), QList{QAccessible::ValueChanged});
        QCOMPARE(announcements.last().value.toInt(), 3);
        drive->type("ledBall(0)", "3");
        QCOMPARE(announcedFor("ledBall(0)"), QList{QAccessible::ValueChanged});

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
