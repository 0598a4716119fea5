#include "core/DigitEntry.h"

#include <QTest>

#include <cmath>

class TestDigitEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leadingNumberReadsTheStartOfTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("digits") << "12" << 12.0;
        QTest::newRow("decimal") << "3.9" << 3.9;
        QTest::newRow("second point ends it") << "1.2.3" << 1.2;
        QTest::newRow("comma ends it") << "1,5" << 1.0;
        QTest::newRow("leading zeros") << "007" << 7.0;
        QTest::newRow("minus") << "-2" << -2.0;
        QTest::newRow("plus") << "+4" << 4.0;
        QTest::newRow("sign twice") << "+-2" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("slash") << "/5" << 0.0;
    }
    void leadingNumberReadsTheStartOfTheText()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(DigitEntry::leadingNumber(text), expected);
    }

    // Every example of the entry table, plus the edges of the range.
    void newNumber_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1: field unchanged
        QTest::newRow("absolute") << "7" << "12" << 12;
        QTest::newRow("add") << "12" << "+5" << 17;
        QTest::newRow("below zero") << "17" << "-20" << -1;
        QTest::newRow("above limit") << "95" << "+7" << -1;
        QTest::newRow("fraction rounds down") << "42" << "3.9" << 3;
        QTest::newRow("leading zeros") << "42" << "007" << 7;
        QTest::newRow("comma") << "42" << "1,5" << 1;
        QTest::newRow("to zero") << "42" << "-42" << 0;
        QTest::newRow("plus minus") << "42" << "+-2" << 40;
        QTest::newRow("minus minus") << "42" << "--2" << 44;
        QTest::newRow("plus alone") << "42" << "+" << 42;
        QTest::newRow("empty") << "42" << "" << -1;
        QTest::newRow("slash") << "42" << "/5" << -1;
        QTest::newRow("comma first") << "42" << ",5" << -1;
        QTest::newRow("point first") << "42" << ".5" << -1;
        QTest::newRow("exactly limit") << "98" << "+1" << 99;
        QTest::newRow("one past limit") << "99" << "+1" << -1;
        QTest::newRow("zero minus one") << "0" << "-1" << -1;
        QTest::newRow("relative fraction rounds the result down") << "42" << "-1.5" << 40;
        QTest::newRow("hundred") << "0" << "100" << -1;
        QTest::newRow("absolute zero") << "42" << "0" << 0;
    }
    void newNumber()
    {
        QFETCH(QString, shown);
        QFETCH(QString, text);
        QFETCH(int, expected);
        const auto result = DigitEntry::newNumber(shown, text, 99);
        QCOMPARE(result.value_or(-1), expected);
    }

    // Entry texts have no length limit: enormous ones are refused, never
    // overflow, and leading zeros of any length still give the small number.
    void hugeEntriesAreHandled()
    {
        const QString nines(400, u'9');
        QVERIFY(std::isinf(DigitEntry::leadingNumber(nines)));
        QVERIFY(!DigitEntry::newNumber(u"5", nines, 99));
        QVERIFY(!DigitEntry::newNumber(u"5", u'+' + nines, 99));
        QVERIFY(!DigitEntry::newNumber(u"5", u'-' + nines, 99));
        QVERIFY(!DigitEntry::newNumber(nines, u'-' + nines, 99)); // inf - inf
        const QString zeros(100000, u'0');
        QCOMPARE(DigitEntry::newNumber(u"5", zeros + QStringLiteral("12"), 99).value_or(-1), 12);
        QCOMPARE(DigitEntry::newNumber(u"5", u'+' + zeros + QStringLiteral("3"), 99).value_or(-1), 8);
        QCOMPARE(DigitEntry::newNumber(u"5", QStringLiteral("1.5") + nines, 99).value_or(-1), 1);
    }

    // A fraction too small for a double is nearly zero, not enormous: "0.",
    // four hundred zeros and "1" is 0, and adding it changes nothing.
    void vanishingFractionsCountAsZero()
    {
        const QString tiny = QStringLiteral("0.") + QString(400, u'0') + u'1';
        QCOMPARE(DigitEntry::leadingNumber(tiny), 0.0);
        QCOMPARE(DigitEntry::leadingNumber(u'-' + tiny), 0.0);
        QCOMPARE(DigitEntry::newNumber(u"5", tiny, 99).value_or(-1), 0);
        QCOMPARE(DigitEntry::newNumber(u"42", u'+' + tiny, 99).value_or(-1), 42);
        QCOMPARE(DigitEntry::newNumber(u"42", u'-' + tiny, 99).value_or(-1), 42);
        QCOMPARE(DigitEntry::newNumber(u"42", u'+' + tiny.mid(1), 99).value_or(-1), 42);
    }
};

QTEST_APPLESS_MAIN(TestDigitEntry)
#include "tst_digitentry.moc"
