#include "core/DigitEntry.h"

#include <QTest>

// Texts of any length, as entry texts have no limit.
static const QString Nines(400, u'9'), Zeros(100000, u'0'), Tiny = "0." + QString(400, u'0') + u'1';

class TestDigitEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Sign, digits, one point; anything else ends the number. A run of digits too
    // long for a double is infinite, a fraction too small for one is 0.
    void leadingNumber()
    {
        const std::pair<QString, double> rows[] = {
            {"12", 12}, {"3.9", 3.9}, {"1.2.3", 1.2}, {"1,5", 1}, {"007", 7}, {"-2", -2}, {"+4", 4},
            {"+-2", 0}, {"", 0}, {"-", 0}, {".", 0}, {".5", 0.5}, {"/5", 0}, {Nines, qInf()}, {Tiny, 0},
            {"-" + Tiny, 0}};
        for (const auto &[text, expected] : rows)
            QVERIFY2(DigitEntry::leadingNumber(text) == expected, qPrintable(text.left(20)));
    }

    // The field's new number from the number shown and the entry text; -1: unchanged.
    void newNumber()
    {
        const struct { QString shown, text; int expected; } rows[] = {
            {"7", "12", 12}, {"12", "+5", 17}, {"17", "-20", -1}, {"95", "+7", -1}, {"42", "3.9", 3},
            {"42", "007", 7}, {"42", "1,5", 1}, {"42", "-42", 0}, {"42", "+-2", 40}, {"42", "--2", 44},
            {"42", "+", 42}, {"42", "", -1}, {"42", "/5", -1}, {"42", ",5", -1}, {"42", ".5", -1},
            {"98", "+1", 99}, {"99", "+1", -1}, {"0", "-1", -1}, {"42", "-1.5", 40}, {"0", "100", -1},
            {"42", "0", 0}, {"5", Nines, -1}, {"5", "+" + Nines, -1}, {"5", "-" + Nines, -1},
            {Nines, "-" + Nines, -1}, {"5", Zeros + "12", 12}, {"5", "+" + Zeros + "3", 8},
            {"5", "1.5" + Nines, 1}, {"5", Tiny, 0}, {"42", "+" + Tiny, 42}, {"42", "-" + Tiny, 42},
            {"42", "+" + Tiny.mid(1), 42}};
        for (const auto &[shown, text, want] : rows)
            QVERIFY2(DigitEntry::newNumber(shown, text, 99).value_or(-1) == want, qPrintable(text.left(20)));
    }
};

QTEST_APPLESS_MAIN(TestDigitEntry)
#include "tst_digitentry.moc"
