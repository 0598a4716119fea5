#include "core/GameModel.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace {

using K = BoardField;
constexpr Team H = Team::Home, V = Team::Visitor;

// The number a field shows; a blank digit is -1.
int numberOn(const GameState &g, const BoardField &f)
{
    const TeamScore &t = g.team(f.team);
    const int numbers[] = {g.atBat, g.balls, g.strikes, g.outs, f.kind == K::Inning ? t.inning(f.inning) : 0,
                           t.runs(), t.hits, t.errors};
    return numbers[f.kind];
}

void type(GameModel &model, const BoardField &field, const QString &keys)
{
    for (const QChar ch : keys)
        model.applyKey(field, ch.unicode());
}

} // namespace

// The rules of every field and the model that applies them, with no window.
// The arithmetic of a typed entry is tst_digitentry's.
class TestGameRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Keys typed on one field of a new game, and the number a field then shows.
    void fieldRules()
    {
        const struct { BoardField on; const char *keys; BoardField read; int expected; } rows[] = {
            // Balls 0 to 4, strikes and outs 0 to 3; Enter and space do nothing there.
            {{K::Balls}, "25", {K::Balls}, 2}, {{K::Balls}, "+++++++", {K::Balls}, 4},
            {{K::Balls}, "2---", {K::Balls}, 0}, {{K::Strikes}, "14", {K::Strikes}, 1},
            {{K::Strikes}, "+++++", {K::Strikes}, 3}, {{K::Outs}, "9", {K::Outs}, 0},
            {{K::Outs}, "2\r ", {K::Outs}, 2}, {{K::Outs}, "3", {K::Balls}, 0},
            // At bat and hits: typed entry, shown on Enter, within 0 to 99; letters are not collected.
            {{K::AtBat}, "12\r", {K::AtBat}, 12}, {{K::AtBat}, "12", {K::AtBat}, 0},
            {{K::AtBat}, "99\r+1\r", {K::AtBat}, 99}, {{K::AtBat}, "42\r17 \r", {K::AtBat}, 42},
            {{K::AtBat}, "1x2\r", {K::AtBat}, 12}, {{K::Hits, H}, "12\r+3\r-20\r100\r", {K::Hits, H}, 15},
            {{K::Hits, V}, "7\r", {K::Hits, H}, 0}, {{K::Hits, H}, "7\r", {K::Runs, H}, 0},
            // Innings: digits, "+" from blank to 9, "-" down to blank; the run total follows.
            {{K::Inning, H, 3}, "+", {K::Inning, H, 3}, 0}, {{K::Inning, H, 3}, "8+++", {K::Inning, H, 3}, 9},
            {{K::Inning, H, 3}, "1--", {K::Inning, H, 3}, -1}, {{K::Inning, H, 1}, "57", {K::Inning, H, 1}, 7},
            {{K::Inning, V, 3}, "---", {K::Inning, V, 3}, -1}, {{K::Inning, H, 2}, "4CO", {K::Inning, H, 2}, 4},
            {{K::Inning, V, 10}, "5", {K::Runs, V}, 5},
            // Errors 0 to 9, never blank.
            {{K::Errors, H}, "8++", {K::Errors, H}, 9}, {{K::Errors, V}, "1---", {K::Errors, V}, 0}};
        for (const auto &r : rows) {
            GameModel model;
            type(model, r.on, r.keys);
            QVERIFY2(numberOn(model.state(), r.read) == r.expected,
                     qPrintable(QStringLiteral("\"%1\" on kind %2 gives %3")
                                    .arg(r.keys).arg(r.on.kind).arg(numberOn(model.state(), r.read))));
        }
    }

    void runTotalSumsInningsAboveZero()
    {
        GameModel model;
        for (const auto &[inning, key] : {std::pair{1, "1"}, {3, "0"}, {4, "3"}})
            type(model, {K::Inning, H, inning}, key);
        for (int i = 1; i <= TeamScore::InningCount; ++i)
            type(model, {K::Inning, V, i}, "9");
        QCOMPARE(model.state().home.runs(), 4);
        QCOMPARE(model.state().visitor.runs(), 90);
    }

    // One `changed` per key that changed the board; a key that only changes an
    // entry text is an entry change; a key the rules ignore is nothing.
    void modelSignalsEachChangeOnce()
    {
        const struct { BoardField field; const char *keys; int changes, entryChanges; } rows[] = {
            {{K::Balls}, "31", 2, 0}, {{K::Strikes}, "9x\r -", 0, 0}, {{K::AtBat}, "12\r", 1, 2},
            {{K::Hits, H}, "123\r", 0, 4}, {{K::Hits, V}, "4 ", 0, 2}, {{K::Runs, H}, "5\r", 0, 0}};
        for (const auto &r : rows) {
            GameModel model;
            QSignalSpy changed(&model, &GameModel::changed), entries(&model, &GameModel::entriesChanged);
            type(model, r.field, r.keys);
            QVERIFY2(changed.count() == r.changes && entries.count() == r.entryChanges, r.keys);
        }
    }

    void clearAllIsOneChangeAndKeepsTheEntries()
    {
        GameModel model;
        type(model, {K::Inning, V, 4}, "2");
        type(model, {K::Errors, H}, "3");
        type(model, {K::Hits, H}, "17\r7");
        const GameState before = model.state();
        QSignalSpy changed(&model, &GameModel::changed);
        model.clearAll();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<GameState>(), before);
        GameState cleared;
        cleared.home.hitsEntry = QStringLiteral("7");
        QCOMPARE(model.state(), cleared);
        model.clearAll();
        model.restore(cleared);
        QCOMPARE(changed.count(), 1);
        model.restore(before);
        QCOMPARE(changed.count(), 2);
    }

    // A played game's JSON reads back as itself; a new game's with one member
    // replaced ("home.hits", Undefined removes it) is refused.
    void json()
    {
        GameModel model;
        type(model, {K::AtBat}, "42\r+5");
        type(model, {K::Balls}, "4");
        type(model, {K::Inning, H, 1}, "0");
        type(model, {K::Inning, H, 10}, "9");
        type(model, {K::Hits, V}, "99\r1,5");
        const QJsonObject played = model.state().toJson();
        QCOMPARE(played[u"home"][u"runs"].toInt(), 9);
        QVERIFY(played[u"visitor"][u"innings"][0].isNull());
        QCOMPARE(GameState::fromJson(played), std::optional(model.state()));

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
