#include "core/GameModel.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

namespace {

const BoardField AtBat{BoardField::AtBat};
const BoardField Balls{BoardField::Balls};
const BoardField Strikes{BoardField::Strikes};
const BoardField Outs{BoardField::Outs};
const BoardField HomeRuns{BoardField::Runs, Team::Home};
const BoardField VisitorRuns{BoardField::Runs, Team::Visitor};
const BoardField HomeHits{BoardField::Hits, Team::Home};
const BoardField VisitorHits{BoardField::Hits, Team::Visitor};
const BoardField HomeErrors{BoardField::Errors, Team::Home};
const BoardField VisitorErrors{BoardField::Errors, Team::Visitor};

BoardField homeInning(int i)
{
    return {BoardField::Inning, Team::Home, i};
}

BoardField visitorInning(int i)
{
    return {BoardField::Inning, Team::Visitor, i};
}

// The number a field shows; a blank inning is -1.
int numberOn(const GameState &game, const BoardField &field)
{
    const TeamScore &team = game.team(field.team);
    switch (field.kind) {
    case BoardField::AtBat: return game.atBat;
    case BoardField::Balls: return game.balls;
    case BoardField::Strikes: return game.strikes;
    case BoardField::Outs: return game.outs;
    case BoardField::Inning: return team.inning(field.inning);
    case BoardField::Runs: return team.runs();
    case BoardField::Hits: return team.hits;
    case BoardField::Errors: return team.errors;
    }
    return 0;
}

void type(GameModel &model, const BoardField &field, const QString &keys)
{
    for (const QChar ch : keys)
        model.applyKey(field, ch.unicode());
}

} // namespace

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
        row("ball 4 is reached", Balls, "4", Balls, 4);
        row("ball 5 ignored", Balls, "25", Balls, 2);
        row("ball plus stops at 4", Balls, "+++++++", Balls, 4);
        row("ball minus stops at 0", Balls, "2---", Balls, 0);
        row("strike 4 ignored", Strikes, "14", Strikes, 1);
        row("strike plus stops at 3", Strikes, "+++++", Strikes, 3);
        row("out 9 ignored", Outs, "9", Outs, 0);
        row("count ignores enter and space", Outs, "2\r ", Outs, 2);
        row("third out leaves the count", Outs, "3", Balls, 0);
        // At bat: typed entry, shown on Enter.
        row("at bat on enter", AtBat, "12\r", AtBat, 12);
        row("at bat nothing until enter", AtBat, "12", AtBat, 0);
        row("at bat plus one", AtBat, "98\r+1\r", AtBat, 99);
        row("at bat stays at 99", AtBat, "99\r+1\r", AtBat, 99);
        row("at bat 123 refused", AtBat, "5\r123\r", AtBat, 5);
        row("at bat stays at 0", AtBat, "-1\r", AtBat, 0);
        row("empty enter keeps it", AtBat, "42\r\r", AtBat, 42);
        row("space discards", AtBat, "42\r17 \r", AtBat, 42);
        row("letters are not collected", AtBat, "1x2\r", AtBat, 12);
        // Innings: digits, "+" from blank to 9, "-" down to blank; the run total follows.
        row("inning plus from blank", homeInning(3), "+", homeInning(3), 0);
        row("inning plus stops at 9", homeInning(3), "8+++", homeInning(3), 9);
        row("inning minus blanks", homeInning(3), "1--", homeInning(3), GameState::Blank);
        row("inning minus on blank", visitorInning(3), "---", visitorInning(3), GameState::Blank);
        row("inning digit replaces", homeInning(1), "57", homeInning(1), 7);
        row("run total follows", homeInning(3), "5", HomeRuns, 5);
        row("other total untouched", homeInning(3), "5", VisitorRuns, 0);
        row("run totals take no keys", HomeRuns, "5\r+", HomeRuns, 0);
        // Hits: typed entry, absolute or relative; errors 0 to 9, never blank.
        row("hits game", HomeHits, "12\r+3\r-20\r100\r", HomeHits, 15);
        row("hits fraction", VisitorHits, "42\r3.9\r", VisitorHits, 3);
        row("hits plus minus", VisitorHits, "42\r+-2\r", VisitorHits, 40);
        row("hits comma", VisitorHits, "42\r1,5\r", VisitorHits, 1);
        row("hits plus alone", HomeHits, "42\r+\r", HomeHits, 42);
        row("hits slash refused", HomeHits, "42\r/5\r", HomeHits, 42);
        row("hits leave runs", HomeHits, "7\r", HomeRuns, 0);
        row("error plus stops at 9", HomeErrors, "8++", HomeErrors, 9);
        row("error minus stops at 0", VisitorErrors, "1---", VisitorErrors, 0);
        // Upper-case letters are neither digits nor entry characters.
        row("C and O ignored", homeInning(2), "4CO", homeInning(2), 4);
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
        type(model, homeInning(1), "1");
        type(model, homeInning(3), "0");
        type(model, homeInning(4), "3");
        for (int i = 1; i <= TeamScore::InningCount; ++i)
            type(model, visitorInning(i), "9");
        QCOMPARE(model.state().home.runs(), 4);
        QCOMPARE(model.state().visitor.runs(), 90);
    }

    // One `changed` per key that changed the board; a key that only adds to
    // an entry text is an entry change; a key the rules ignore is nothing.
    void modelSignalsEachChangeOnce_data()
    {
        QTest::addColumn<BoardField>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("changes");
        QTest::addColumn<int>("entryChanges");
        QTest::newRow("digits") << Balls << "31" << 2 << 0;
        QTest::newRow("the digit shown") << Balls << "0" << 0 << 0;
        QTest::newRow("keys outside the rules") << Strikes << "9x\r -" << 0 << 0;
        QTest::newRow("typed entry, then enter") << AtBat << "12\r" << 1 << 2;
        QTest::newRow("enter on a refused entry") << HomeHits << "123\r" << 0 << 4;
        QTest::newRow("space discards") << VisitorHits << "4 " << 0 << 2;
        QTest::newRow("run totals") << HomeRuns << "5\r" << 0 << 0;
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
        type(model, Balls, "3");
        type(model, visitorInning(4), "2");
        type(model, HomeHits, "17\r7");
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
        QCOMPARE(model.state(), before);
    }

    void jsonRoundTrip()
    {
        GameState game;
        game.atBat = 42;
        game.balls = 4;
        game.atBatEntry = QStringLiteral("+5");
        game.home.inning(1) = 0;
        game.home.inning(10) = 9;
        game.home.hits = 99;
        game.visitor.errors = 9;
        game.visitor.hitsEntry = QStringLiteral("1,5");
        const QJsonObject json = game.toJson();
        QCOMPARE(json[u"home"][u"runs"].toInt(), 9);
        QVERIFY(json[u"visitor"][u"innings"][0].isNull());
        QCOMPARE(GameState::fromJson(json), std::optional(game));
    }

    // A sound game with one member replaced; Undefined removes it.
    void badJsonIsRefused_data()
    {
        QTest::addColumn<QString>("team");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QJsonValue>("value");
        QTest::newRow("another version") << "" << "version" << QJsonValue(2);
        QTest::newRow("no version") << "" << "version" << QJsonValue(QJsonValue::Undefined);
        QTest::newRow("at bat 100") << "" << "atBat" << QJsonValue(100);
        QTest::newRow("at bat fraction") << "" << "atBat" << QJsonValue(1.5);
        QTest::newRow("at bat as text") << "" << "atBat" << QJsonValue("7");
        QTest::newRow("balls 10") << "" << "balls" << QJsonValue(10);
        QTest::newRow("outs missing") << "" << "outs" << QJsonValue(QJsonValue::Undefined);
        QTest::newRow("entry with a letter") << "" << "atBatEntry" << QJsonValue("1x");
        QTest::newRow("team not an object") << "" << "home" << QJsonValue(3);
        QTest::newRow("nine innings") << "home" << "innings" << QJsonValue(QJsonArray{1, 2, 3, 4, 5, 6, 7, 8, 9});
        QTest::newRow("inning 10 runs") << "visitor" << "innings"
                                        << QJsonValue(QJsonArray{10, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        QTest::newRow("hits negative") << "home" << "hits" << QJsonValue(-1);
        QTest::newRow("entry not text") << "visitor" << "hitsEntry" << QJsonValue(5);
    }
    void badJsonIsRefused()
    {
        QFETCH(QString, team);
        QFETCH(QString, member);
        QFETCH(QJsonValue, value);
        QJsonObject json = GameState().toJson();
        QJsonObject inner = team.isEmpty() ? json : json[team].toObject();
        if (value.isUndefined())
            inner.remove(member);
        else
            inner[member] = value;
        if (team.isEmpty())
            json = inner;
        else
            json[team] = inner;
        QVERIFY(GameState::fromJson(GameState().toJson()));
        QVERIFY(!GameState::fromJson(json));
    }
};

QTEST_GUILESS_MAIN(TestGameRules)
#include "tst_gamerules.moc"
