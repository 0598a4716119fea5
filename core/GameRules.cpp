#include "core/GameRules.h"

#include "core/DigitEntry.h"

namespace GameRules {

namespace {

constexpr int KeyEnter = 13;
constexpr int KeySpace = 32;
constexpr int KeyPlus = 43;
constexpr int KeyMinus = 45;
constexpr int Key0 = 48;
// Typed entry keeps only "+", ",", "-", ".", "/" and the digits.
constexpr int FirstEntryCode = 43;
constexpr int LastEntryCode = 57;

void typedEntry(int &number, QString &entry, int keyAscii)
{
    if (keyAscii >= FirstEntryCode && keyAscii <= LastEntryCode) {
        entry += QChar(keyAscii);
    } else if (keyAscii == KeySpace) {
        entry.clear();
    } else if (keyAscii == KeyEnter) {
        SetDigits(number, entry, Limit);
        entry.clear();
    }
}

// A digit key sets the digit, "+" and "-" step within highest and lowest.
void stepDigit(int &value, int keyAscii, int highest, int lowest)
{
    if (keyAscii >= Key0 && keyAscii <= Key0 + highest)
        value = keyAscii - Key0;
    if (keyAscii == KeyPlus && value < highest)
        ++value;
    if (keyAscii == KeyMinus && value > lowest)
        --value;
}

} // namespace

void applyKey(GameState &game, const BoardField &field, int keyAscii)
{
    TeamScore &team = game.team(field.team);
    switch (field.kind) {
    case BoardField::AtBat:
        typedEntry(game.atBat, game.atBatEntry, keyAscii);
        break;
    case BoardField::Balls:
        stepDigit(game.balls, keyAscii, 4, 0);
        break;
    case BoardField::Strikes:
        stepDigit(game.strikes, keyAscii, 3, 0);
        break;
    case BoardField::Outs:
        stepDigit(game.outs, keyAscii, 3, 0);
        break;
    case BoardField::Inning:
        // "-" at 0 blanks the inning: no runs entered. The run total follows.
        stepDigit(team.inning(field.inning), keyAscii, 9, GameState::Blank);
        break;
    case BoardField::Runs:
        break; // never keyed
    case BoardField::Hits:
        typedEntry(team.hits, team.hitsEntry, keyAscii);
        break;
    case BoardField::Errors:
        stepDigit(team.errors, keyAscii, 9, 0);
        break;
    }
}

void clearAll(GameState &game)
{
    game.atBat = 0;
    game.balls = 0;
    game.strikes = 0;
    game.outs = 0;
    for (TeamScore *team : {&game.home, &game.visitor}) {
        team->innings.fill(GameState::Blank);
        team->hits = 0;
        team->errors = 0;
    }
}

void SetDigits(int &number, const QString &text, int max)
{
    if (const auto result = DigitEntry::newNumber(QString::number(number), text, max))
        number = *result;
}

} // namespace GameRules
