#include "core/DigitEntry.h"
#include "core/GameModel.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

using K = BoardField;
constexpr Team H = Team::Home, V = Team::Visitor;

// The number a field shows; a blank digit is -1.
static int numberOn(const GameState &g, const BoardField &f)
{
    const TeamScore &t = g.team(f.team);
    return std::array{g.atBat, g.balls, g.strikes, g.outs, f.kind == K::Inning ? t.inning(f.inning) : 0, t.runs(),
                      t.hits, t.errors}[f.kind];
}

// Keys typed on a field; \1 stands for clear all, \2 for a restore of a new game.
static void type(GameModel &model, const BoardField &field, const QString &keys)
{
    for (const QChar ch : keys)
        ch == u'\1' ? model.clearAll() : ch == u'\2' ? model.restore({}) : model.applyKey(field, ch.unicode());
}

// The rules of every field, the arithmetic of typed entry and the model that
// applies them, with no window.
class TestGameRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Keys typed on one field of a new game; the number that field, or `read`, then shows.
    void fieldRules()
    {
        const struct { BoardField on; const char *keys; int is; std::optional<K> read = {}; } rows[] = {
            // Balls 0 to 4, strikes and outs 0 to 3; Enter and space do nothing there.
            {{K::Balls}, "245", 4}, {{K::Balls}, "+++++++", 4}, {{K::Balls}, "2---", 0},
            {{K::Strikes}, "14", 1}, {{K::Strikes}, "+++++", 3}, {{K::Outs}, "9", 0}, {{K::Outs}, "2\r ", 2},
            {{K::Outs}, "3", 0, {{K::Balls}}},
            // At bat and hits: typed entry, shown on Enter, within 0 to 99; letters are not collected.
            {{K::AtBat}, "12\r", 12}, {{K::AtBat}, "12", 0}, {{K::AtBat}, "99\r+1\r", 99},
            {{K::AtBat}, "1x2\r", 12}, {{K::AtBat}, "42\r17 \r", 42}, {{K::Hits, H}, "12\r+3\r-20\r100\r", 15},
            {{K::Hits, V}, "7\r", 0, {{K::Hits, H}}}, {{K::Hits, H}, "7\r", 0, {{K::Runs, H}}},
            // Innings: digits, "+" from blank to 9, "-" down to blank; the run total
            // counts the innings above zero (a sum of several: tst_monkey checks it always).
            {{K::Inning, H, 3}, "+", 0}, {{K::Inning, H, 3}, "8+++", 9}, {{K::Inning, H, 3}, "1--", -1},
            {{K::Inning, H, 1}, "57", 7}, {{K::Inning, V, 3}, "---", -1}, {{K::Inning, H, 2}, "4CO", 4},
            {{K::Inning, V, 10}, "5", 5, {{K::Runs, V}}}, {{K::Inning, V, 1}, "0", 0, {{K::Runs, V}}},
            // Errors 0 to 9, never blank. Clear all clears every field, and keeps the entries.
            {{K::Errors, H}, "8++", 9}, {{K::Errors, V}, "1---", 0}, {{K::Errors, V}, "3\1", 0},
            {{K::Inning, V, 4}, "2\1", -1}, {{K::Hits, H}, "17\r7\1\r", 7}};
        for (const auto &r : rows) {
            GameModel model;
            type(model, r.on, r.keys);
            QVERIFY2(numberOn(model.state(), r.read.value_or(r.on)) == r.is, r.keys);
        }
    }

    // An entry's new number from the number shown; -1: unchanged. Sign, digits
    // and one point make the number, anything else ends it, and the result is
    // rounded down. Too many digits for a double are infinite, too small a
    // fraction is 0 (fuzz/fuzz_digitentry.cpp checks any text against references).
    void typedEntry()
    {
        const QString nines(400, u'9'), tiny = "0." + QString(400, u'0') + u'1';
        const struct { QString shown, text; int expected; } rows[] = {
            {"7", "12", 12}, {"12", "+5", 17}, {"17", "-20", -1}, {"95", "+7", -1}, {"42", "3.9", 3},
            {"42", "1.2.3", 1}, {"42", "1,5", 1}, {"42", "-42", 0}, {"42", "+-2", 40}, {"42", "--2", 44},
            {"42", "", -1}, {"42", "/5", -1}, {"98", "+1", 99}, {"99", "+1", -1}, {"42", "-1.5", 40},
            {"0", "100", -1}, {"2.9", "+0.2", 3}, {"5", nines, -1}, {"5", "-" + nines, -1},
            {"5", QString(100000, u'0') + "12", 12}, {"5", tiny, 0}, {"42", "-" + tiny, 42}};
        for (const auto &[shown, text, want] : rows)
            QVERIFY2(DigitEntry::newNumber(shown, text, 99).value_or(-1) == want, qPrintable(text.left(20)));
    }

    // One `changed` per key that changed the board; a key that only changes an
    // entry text is an entry change; a key the rules ignore is nothing. Clear
    // all and a restore change the game only when it differs.
    void modelSignalsEachChangeOnce()
    {
        const struct { BoardField field; const char *keys; int changes, entryChanges; } rows[] = {
            {{K::Balls}, "31", 2, 0}, {{K::Strikes}, "9x\r -", 0, 0}, {{K::AtBat}, "12\r", 1, 2},
            {{K::Hits, H}, "123\r", 0, 4}, {{K::Hits, V}, "4 ", 0, 2}, {{K::Runs, H}, "5\r", 0, 0},
            {{K::Balls}, "3\1\1\2", 2, 0}, {{K::Balls}, "3\2\2", 2, 0}, {{K::Hits, H}, "7\1", 0, 1}};
        for (const auto &r : rows) {
            GameModel model;
            QSignalSpy changed(&model, &GameModel::changed), entries(&model, &GameModel::entriesChanged);
            type(model, r.field, r.keys);
            QVERIFY2(changed.count() == r.changes && entries.count() == r.entryChanges, r.keys);
        }
    }

    // A played game's JSON reads back as itself; a new game's with one member
    // replaced ("home.hits", Undefined removes it) is refused.
    void json()
    {
        GameModel model;
        type(model, {K::AtBat}, "42\r+5");
        type(model, {K::Balls}, "4");
        type(model, {K::Inning, H, 10}, "9");
        type(model, {K::Hits, V}, "99\r1,5");
        QCOMPARE(GameState::fromJson(model.state().toJson()), std::optional(model.state()));
        const struct { const char *team, *member; QJsonValue value; } bad[] = {
            {"", "version", 2}, {"", "atBat", 100}, {"", "atBat", 1.5}, {"", "balls", 10}, {"", "atBatEntry", "1x"},
            {"", "home", 3}, {"home", "innings", QJsonArray{1, 2, 3, 4, 5, 6, 7, 8, 9}}, {"visitor", "hits", -1},
            {"visitor", "errors", QJsonValue::Undefined}};
        QVERIFY(GameState::fromJson(GameState().toJson()));
        for (const auto &r : bad) {
            QJsonObject json = GameState().toJson(), team = json.value(r.team).toObject();
            QJsonObject &inner = *r.team ? team : json;
            r.value.isUndefined() ? inner.remove(r.member) : void(inner[r.member] = r.value);
            if (*r.team)
                json[r.team] = team;
            QVERIFY2(!GameState::fromJson(json), r.member);
        }
    }
};

QTEST_GUILESS_MAIN(TestGameRules)
#include "tst_gamerules.moc"
