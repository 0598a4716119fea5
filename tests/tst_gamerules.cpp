#include "core/GameModel.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace {

using K = BoardField;
constexpr Team H = Team::Home;
constexpr Team V = Team::Visitor;

// The number a field shows; a blank digit is -1.
int numberOn(const GameState &game, const BoardField &field)
{
    const TeamScore &team = game.team(field.team);
    switch (field.kind) {
    case K::AtBat: return game.atBat;
    case K::Balls: return game.balls;
    case K::Strikes: return game.strikes;
    case K::Outs: return game.outs;
    case K::Inning: return team.inning(field.inning);
    case K::Runs: return team.runs();
    case K::Hits: return team.hits;
    case K::Errors: return team.errors;
    }
    return 0;
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
    void fieldRules_data()
    {
        QTest::addColumn<BoardField>("typedOn");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<BoardField>("read");
        QTest::addColumn<int>("expected");
        const auto row = [](const char *name, BoardField on, const char *keys, BoardField read, int expected) {
            QTest::newRow(name) << on << QString::fromLatin1(keys) << read << expected;
        };
        // Balls 0 to 4, strikes and outs 0 to 3; Enter and space do nothing there.
        row("ball 5 ignored", {K::Balls}, "25", {K::Balls}, 2);
        row("ball plus stops at 4", {K::Balls}, "+++++++", {K::Balls}, 4);
        row("ball minus stops at 0", {K::Balls}, "2---", {K::Balls}, 0);
        row("strike 4 ignored", {K::Strikes}, "14", {K::Strikes}, 1);
        row("strike plus stops at 3", {K::Strikes}, "+++++", {K::Strikes}, 3);
        row("out 9 ignored", {K::Outs}, "9", {K::Outs}, 0);
        row("count ignores enter and space", {K::Outs}, "2\r ", {K::Outs}, 2);
        row("third out leaves the count", {K::Outs}, "3", {K::Balls}, 0);
        // At bat and hits: typed entry, shown on Enter, within 0 to 99.
        row("at bat on enter", {K::AtBat}, "12\r", {K::AtBat}, 12);
        row("at bat nothing until enter", {K::AtBat}, "12", {K::AtBat}, 0);
        row("at bat stays at 99", {K::AtBat}, "99\r+1\r", {K::AtBat}, 99);
        row("space discards", {K::AtBat}, "42\r17 \r", {K::AtBat}, 42);
        row("letters are not collected", {K::AtBat}, "1x2\r", {K::AtBat}, 12);
        row("hits game", {K::Hits, H}, "12\r+3\r-20\r100\r", {K::Hits, H}, 15);
        row("hits of one team only", {K::Hits, V}, "7\r", {K::Hits, H}, 0);
        row("hits leave runs", {K::Hits, H}, "7\r", {K::Runs, H}, 0);
        // Innings: digits, "+" from blank to 9, "-" down to blank.
        row("inning plus from blank", {K::Inning, H, 3}, "+", {K::Inning, H, 3}, 0);
        row("inning plus stops at 9", {K::Inning, H, 3}, "8+++", {K::Inning, H, 3}, 9);
        row("inning minus blanks", {K::Inning, H, 3}, "1--", {K::Inning, H, 3}, GameState::Blank);
        row("inning minus on blank", {K::Inning, V, 3}, "---", {K::Inning, V, 3}, GameState::Blank);
        row("inning digit replaces", {K::Inning, H, 1}, "57", {K::Inning, H, 1}, 7);
        row("run total follows", {K::Inning, V, 10}, "5", {K::Runs, V}, 5);
        row("run totals take no keys", {K::Runs, H}, "5\r+", {K::Runs, H}, 0);
        // Errors 0 to 9, never blank.
        row("error plus stops at 9", {K::Errors, H}, "8++", {K::Errors, H}, 9);
        row("error minus stops at 0", {K::Errors, V}, "1---", {K::Errors, V}, 0);
        row("C and O ignored", {K::Inning, H, 2}, "4CO", {K::Inning, H, 2}, 4);
    }
    void fieldRules()
    {
        QFETCH(BoardField, typedOn);
        QFETCH(QString, keys);
        QFETCH(BoardField, read);
        QFETCH(int, expected);
        GameModel model;
        type(model, typedOn, keys);
        QCOMPARE(numberOn(model.state(), read), expected);
    }

    void runTotalSumsInningsAboveZero()
    {
        GameModel model;
        type(model, {K::Inning, H, 1}, "1");
        type(model, {K::Inning, H, 3}, "0");
        type(model, {K::Inning, H, 4}, "3");
        for (int i = 1; i <= TeamScore::InningCount; ++i)
            type(model, {K::Inning, V, i}, "9");
        QCOMPARE(model.state().home.runs(), 4);
        QCOMPARE(model.state().visitor.runs(), 90);
    }

    // One `changed` per key that changed the board; a key that only changes
    // an entry text is an entry change; a key the rules ignore is nothing.
    void modelSignalsEachChangeOnce_data()
    {
        QTest::addColumn<BoardField>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("changes");
        QTest::addColumn<int>("entryChanges");
        QTest::newRow("digits") << BoardField{K::Balls} << "31" << 2 << 0;
        QTest::newRow("keys outside the rules") << BoardField{K::Strikes} << "9x\r -" << 0 << 0;
        QTest::newRow("typed entry, then enter") << BoardField{K::AtBat} << "12\r" << 1 << 2;
        QTest::newRow("enter on a refused entry") << BoardField{K::Hits, H} << "123\r" << 0 << 4;
        QTest::newRow("space discards") << BoardField{K::Hits, V} << "4 " << 0 << 2;
        QTest::newRow("run total") << BoardField{K::Runs, H} << "5\r" << 0 << 0;
    }
    void modelSignalsEachChangeOnce()
    {
        QFETCH(BoardField, field);
        QFETCH(QString, keys);
        QFETCH(int, changes);
        QFETCH(int, entryChanges);
        GameModel model;
        QSignalSpy changed(&model, &GameModel::changed);
        QSignalSpy entries(&model, &GameModel::entriesChanged);
        type(model, field, keys);
        QCOMPARE(changed.count(), changes);
        QCOMPARE(entries.count(), entryChanges);
    }

    void clearAllIsOneChangeAndKeepsTheEntries()
    {
        GameModel model;
        type(model, {K::Inning, V, 4}, "2");
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

    void jsonRoundTrip()
    {
        GameModel model;
        type(model, {K::AtBat}, "42\r+5");
        type(model, {K::Balls}, "4");
        type(model, {K::Inning, H, 1}, "0");
        type(model, {K::Inning, H, 10}, "9");
        type(model, {K::Hits, V}, "99\r1,5");
        const QJsonObject json = model.state().toJson();
        QCOMPARE(json[u"home"][u"runs"].toInt(), 9);
        QVERIFY(json[u"visitor"][u"innings"][0].isNull());
        QCOMPARE(GameState::fromJson(json), std::optional(model.state()));
    }

    // A new game's JSON with one member replaced ("home.hits"); Undefined removes it.
    void badJsonIsRefused_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QJsonValue>("value");
        QTest::newRow("another version") << "version" << QJsonValue(2);
        QTest::newRow("at bat 100") << "atBat" << QJsonValue(100);
        QTest::newRow("at bat fraction") << "atBat" << QJsonValue(1.5);
        QTest::newRow("balls 10") << "balls" << QJsonValue(10);
        QTest::newRow("entry with a letter") << "atBatEntry" << QJsonValue("1x");
        QTest::newRow("team not an object") << "home" << QJsonValue(3);
        QTest::newRow("nine innings") << "home.innings" << QJsonValue(QJsonArray{1, 2, 3, 4, 5, 6, 7, 8, 9});
        QTest::newRow("hits negative") << "visitor.hits" << QJsonValue(-1);
        QTest::newRow("errors missing") << "visitor.errors" << QJsonValue(QJsonValue::Undefined);
    }
    void badJsonIsRefused()
    {
        QFETCH(QString, member);
        QFETCH(QJsonValue, value);
        QJsonObject json = GameState().toJson();
        QVERIFY(GameState::fromJson(json));
        const QStringList path = member.split(u'.');
        QJsonObject inner = path.size() > 1 ? json[path[0]].toObject() : json;
        if (value.isUndefined())
            inner.remove(path.last());
        else
            inner[path.last()] = value;
        if (path.size() > 1)
            json[path[0]] = inner;
        else
            json = inner;
        QVERIFY(!GameState::fromJson(json));
    }
};

QTEST_GUILESS_MAIN(TestGameRules)
#include "tst_gamerules.moc"
