#include "BoardDriver.h"

#include "forms/ScoreBoardDesign.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QSet>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <memory>

namespace {

struct Announcement {
    QObject *object;
    QAccessible::Event type;
    QVariant value;
};

QList<Announcement> announcements;

// Value and description changes; focus and the like are Qt's own business.
void recordAnnouncement(QAccessibleEvent *event)
{
    if (event->type() != QAccessible::ValueChanged && event->type() != QAccessible::DescriptionChanged)
        return;
    QVariant value;
    if (event->type() == QAccessible::ValueChanged)
        value = static_cast<QAccessibleValueChangeEvent *>(event)->value();
    announcements.append({event->object(), event->type(), value});
}

} // namespace

// What a screen reader learns from the board's LED displays.
class TestAccessibility : public QObject, private ShownBoardFixture
{
    Q_OBJECT

private:
    QAccessibleInterface *accessible(const QString &display) const
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(drive->led(display));
        if (!iface)
            qWarning("no accessible interface for %s", qPrintable(display));
        return iface;
    }

    QString valueOf(const QString &display) const { return accessible(display)->text(QAccessible::Value); }
    QString descriptionOf(const QString &display) const
    {
        return accessible(display)->text(QAccessible::Description);
    }

    QList<QAccessible::Event> announcedFor(const QString &display) const
    {
        QList<QAccessible::Event> types;
        for (const Announcement &a : std::as_const(announcements)) {
            if (a.object == drive->led(display))
                types << a.type;
        }
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
        QAccessible::installUpdateHandler(recordAnnouncement);
    }
    void init()
    {
        showFreshBoard();
        announcements.clear();
    }
    void cleanup()
    {
        closeBoard();
    }

    void displaysSayWhatTheyAre_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("name");
        QTest::newRow("home inning 3") << "ledHome(3)" << "Home inning 3";
        QTest::newRow("home inning 10") << "ledHome(10)" << "Home inning 10";
        QTest::newRow("visitor inning 1") << "ledVisitor(1)" << "Visitor inning 1";
        QTest::newRow("balls") << "ledBall(0)" << "Balls";
        QTest::newRow("strikes") << "ledStrike(0)" << "Strikes";
        QTest::newRow("outs") << "ledOut(0)" << "Outs";
        QTest::newRow("at bat tens") << "ledAtBat(1)" << "At bat, tens digit";
        QTest::newRow("at bat ones") << "ledAtBat(0)" << "At bat, ones digit";
        QTest::newRow("home runs tens") << "ledHomeRuns(1)" << "Home runs, tens digit";
        QTest::newRow("visitor runs ones") << "ledVisitorRuns(0)" << "Visitor runs, ones digit";
        QTest::newRow("home hits ones") << "ledHomeHits(0)" << "Home hits, ones digit";
        QTest::newRow("visitor hits tens") << "ledVisitorHits(1)" << "Visitor hits, tens digit";
        QTest::newRow("home errors") << "ledHomeErr" << "Home errors";
        QTest::newRow("visitor errors") << "ledVisitorErr" << "Visitor errors";
    }
    void displaysSayWhatTheyAre()
    {
        QFETCH(QString, display);
        QFETCH(QString, name);
        QAccessibleInterface *iface = accessible(display);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        QVERIFY(iface->state().focusable);
        QVERIFY(iface->valueInterface());
    }

    // No two displays share a name: a listener can tell every one apart.
    void everyDisplayHasItsOwnName()
    {
        QSet<QString> names;
        const auto displays = board->findChildren<LedDisplay *>();
        for (LedDisplay *led : displays) {
            const QString name = QAccessible::queryAccessibleInterface(led)->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(led->objectName()));
            names.insert(name);
        }
        QCOMPARE(names.size(), 35);
    }

    // Keys typed, then what a display reports as its value and, for a digit of
    // a two-digit field, the field's whole number.
    void valuesFollowTheDigits_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("number");
        QTest::newRow("inning at start") << "ledHome(3)" << "" << "ledHome(3)" << "blank" << "";
        QTest::newRow("inning typed") << "ledHome(3)" << "7" << "ledHome(3)" << "7" << "";
        QTest::newRow("inning blanked") << "ledHome(3)" << "0-" << "ledHome(3)" << "blank" << "";
        QTest::newRow("balls") << "ledBall(0)" << "3" << "ledBall(0)" << "3" << "";
        QTest::newRow("run total tens") << "ledHome(3)" << "7" << "ledHomeRuns(1)" << "blank" << "7";
        QTest::newRow("run total ones") << "ledHome(3)" << "7" << "ledHomeRuns(0)" << "7" << "7";
        QTest::newRow("at bat tens") << "ledAtBat(0)" << "42\r" << "ledAtBat(1)" << "4" << "42";
        QTest::newRow("at bat ones") << "ledAtBat(0)" << "42\r" << "ledAtBat(0)" << "2" << "42";
        QTest::newRow("hits at start") << "ledVisitorHits(0)" << "" << "ledVisitorHits(1)" << "blank" << "0";
        QTest::newRow("hits back to one digit") << "ledVisitorHits(1)" << "42\r-40\r" << "ledVisitorHits(1)"
                                                << "blank" << "2";
    }
    void valuesFollowTheDigits()
    {
        QFETCH(QString, target);
        QFETCH(QString, keys);
        QFETCH(QString, display);
        QFETCH(QString, value);
        QFETCH(QString, number);
        drive->type(target, keys);
        QCOMPARE(valueOf(display), value);
        QCOMPARE(descriptionOf(display), number);
        QCOMPARE(accessible(display)->valueInterface()->currentValue().toInt(),
                 value == "blank" ? LedDisplay::Blank : value.toInt());
    }

    void aChangedDigitIsAnnounced()
    {
        drive->type("ledBall(0)", "3");
        QCOMPARE(announcedFor("ledBall(0)"), QList{QAccessible::ValueChanged});
        QCOMPARE(announcements.last().value.toInt(), 3);

        // The same digit again changes nothing, so nothing is announced.
        announcements.clear();
        drive->type("ledBall(0)", "3");
        QVERIFY(announcedFor("ledBall(0)").isEmpty());
    }

    // Both digits of a field describe its number, so both are told when it changes.
    void aChangedNumberIsAnnouncedOnBothDigits()
    {
        drive->type("ledHomeHits(0)", "42\r");
        for (const char *digit : {"ledHomeHits(0)", "ledHomeHits(1)"}) {
            const QList<QAccessible::Event> types = announcedFor(digit);
            QVERIFY2(types.contains(QAccessible::ValueChanged), digit);
            QVERIFY2(types.contains(QAccessible::DescriptionChanged), digit);
        }
        // Runs in an inning: the inning and the run total are announced.
        announcements.clear();
        drive->type("ledVisitor(5)", "3");
        QCOMPARE(announcedFor("ledVisitor(5)"), QList{QAccessible::ValueChanged});
        QVERIFY(announcedFor("ledVisitorRuns(0)").contains(QAccessible::ValueChanged));
        QVERIFY(announcedFor("ledVisitorRuns(1)").contains(QAccessible::DescriptionChanged));
        QVERIFY(announcedFor("ledHomeRuns(0)").isEmpty());
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
