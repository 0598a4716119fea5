#pragma once

#include <QJsonObject>
#include <QString>

#include <array>
#include <optional>

enum class Team { Home, Visitor };

// One team's line: the runs of innings 1 to 10 (each may be blank), its hits
// and errors, and what has been typed on its hits since the last Enter.
struct TeamScore {
    static constexpr int InningCount = 10;

    std::array<int, InningCount> innings{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}; // inning i at [i - 1]
    int hits = 0;
    int errors = 0;
    QString hitsEntry;

    int &inning(int i) { return innings[std::size_t(i - 1)]; }
    int inning(int i) const { return innings[std::size_t(i - 1)]; }
    // The run total: the sum of the innings above 0.
    int runs() const;

    friend bool operator==(const TeamScore &, const TeamScore &) = default;
};

// What the board shows and what the operator has half typed: the whole game.
// A blank digit is -1. The run totals follow from the innings.
struct GameState {
    static constexpr int Blank = -1;
    static constexpr int FormatVersion = 1;

    int atBat = 0;
    int balls = 0;
    int strikes = 0;
    int outs = 0;
    QString atBatEntry;
    TeamScore home;
    TeamScore visitor;

    TeamScore &team(Team t) { return t == Team::Home ? home : visitor; }
    const TeamScore &team(Team t) const { return t == Team::Home ? home : visitor; }

    // Equal numbers on the board, whatever the entry texts hold.
    bool showsSameAs(const GameState &other) const;

    // {"version": 1, "atBat": 7, "balls": 2, ..., "home": {"innings": [1, null, ...],
    // "runs": 1, "hits": 3, "errors": 0, "hitsEntry": ""}, ...}: a blank is null.
    QJsonObject toJson() const;
    // Refuses anything this version would not write: another version, a value
    // out of its field's range, a missing or mistyped member.
    static std::optional<GameState> fromJson(const QJsonObject &json);

    friend bool operator==(const GameState &, const GameState &) = default;
};
