#include "core/GameState.h"

#include <QJsonArray>

namespace {

// What the board can show: a digit or a blank on each single display (a
// display's Caption may be written from outside the keys' ranges), 0 to 99 on
// a two-digit field.
constexpr int TwoDigitMax = 99;
constexpr int DigitMax = 9;

QJsonValue digitJson(int value)
{
    return value == GameState::Blank ? QJsonValue(QJsonValue::Null) : QJsonValue(value);
}

// A whole number within [lowest, highest], or nullopt.
std::optional<int> number(const QJsonValue &value, int lowest, int highest)
{
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (d != double(int(d)) || d < lowest || d > highest)
        return std::nullopt;
    return int(d);
}

std::optional<int> digit(const QJsonValue &value)
{
    return value.isNull() ? std::optional<int>(GameState::Blank) : number(value, 0, DigitMax);
}

// An entry text keeps only the characters typed entry collects.
std::optional<QString> entry(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    const QString text = value.toString();
    for (const QChar ch : text) {
        if (ch < u'+' || ch > u'9')
            return std::nullopt;
    }
    return text;
}

QJsonObject teamJson(const TeamScore &team)
{
    QJsonArray innings;
    for (const int runs : team.innings)
        innings.append(digitJson(runs));
    return {{QStringLiteral("innings"), innings},
            {QStringLiteral("runs"), team.runs()},
            {QStringLiteral("hits"), team.hits},
            {QStringLiteral("errors"), digitJson(team.errors)},
            {QStringLiteral("hitsEntry"), team.hitsEntry}};
}

std::optional<TeamScore> teamFromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject json = value.toObject();
    const QJsonArray innings = json.value(QStringLiteral("innings")).toArray();
    if (innings.size() != TeamScore::InningCount)
        return std::nullopt;
    TeamScore team;
    for (int i = 0; i < TeamScore::InningCount; ++i) {
        const auto runs = digit(innings.at(i));
        if (!runs)
            return std::nullopt;
        team.innings[std::size_t(i)] = *runs;
    }
    const auto hits = number(json.value(QStringLiteral("hits")), 0, TwoDigitMax);
    const auto errors = digit(json.value(QStringLiteral("errors")));
    const auto hitsEntry = entry(json.value(QStringLiteral("hitsEntry")));
    if (!hits || !errors || !hitsEntry)
        return std::nullopt;
    team.hits = *hits;
    team.errors = *errors;
    team.hitsEntry = *hitsEntry;
    return team;
}

} // namespace

int TeamScore::runs() const
{
    int sum = 0;
    for (const int r : innings) {
        if (r > 0)
            sum += r;
    }
    return sum;
}

bool GameState::showsSameAs(const GameState &other) const
{
    GameState mine = *this;
    mine.atBatEntry = other.atBatEntry;
    mine.home.hitsEntry = other.home.hitsEntry;
    mine.visitor.hitsEntry = other.visitor.hitsEntry;
    return mine == other;
}

QJsonObject GameState::toJson() const
{
    return {{QStringLiteral("version"), FormatVersion},
            {QStringLiteral("atBat"), atBat},
            {QStringLiteral("balls"), digitJson(balls)},
            {QStringLiteral("strikes"), digitJson(strikes)},
            {QStringLiteral("outs"), digitJson(outs)},
            {QStringLiteral("atBatEntry"), atBatEntry},
            {QStringLiteral("home"), teamJson(home)},
            {QStringLiteral("visitor"), teamJson(visitor)}};
}

std::optional<GameState> GameState::fromJson(const QJsonObject &json)
{
    if (number(json.value(QStringLiteral("version")), FormatVersion, FormatVersion) != FormatVersion)
        return std::nullopt;
    const auto atBat = number(json.value(QStringLiteral("atBat")), 0, TwoDigitMax);
    const auto balls = digit(json.value(QStringLiteral("balls")));
    const auto strikes = digit(json.value(QStringLiteral("strikes")));
    const auto outs = digit(json.value(QStringLiteral("outs")));
    const auto atBatEntry = entry(json.value(QStringLiteral("atBatEntry")));
    const auto home = teamFromJson(json.value(QStringLiteral("home")));
    const auto visitor = teamFromJson(json.value(QStringLiteral("visitor")));
    if (!atBat || !balls || !strikes || !outs || !atBatEntry || !home || !visitor)
        return std::nullopt;
    GameState state;
    state.atBat = *atBat;
    state.balls = *balls;
    state.strikes = *strikes;
    state.outs = *outs;
    state.atBatEntry = *atBatEntry;
    state.home = *home;
    state.visitor = *visitor;
    return state;
}
