#include "stream/BoardFeed.h"

#include <QJsonDocument>

namespace {

QJsonObject teamJson(const QJsonObject &fromGame)
{
    QJsonObject team = fromGame;
    // Half-typed digits are the operator's, not the audience's.
    team.remove(QStringLiteral("hitsEntry"));
    return team;
}

} // namespace

BoardFeed::BoardFeed(const GameState &game, const BoardSettings &board)
    : m_game(gameJson(game))
    , m_board(boardJson(board))
{
    rebuild();
}

bool BoardFeed::setGame(const GameState &game)
{
    return replace(m_game, gameJson(game));
}

bool BoardFeed::setBoard(const BoardSettings &board)
{
    return replace(m_board, boardJson(board));
}

bool BoardFeed::replace(QJsonObject &part, QJsonObject json)
{
    if (json == part)
        return false;
    part = std::move(json);
    ++m_seq;
    rebuild();
    return true;
}

QJsonObject BoardFeed::gameJson(const GameState &game)
{
    QJsonObject json = game.toJson();
    // The document has one version of its own; the entry texts stay private.
    json.remove(QStringLiteral("version"));
    json.remove(QStringLiteral("atBatEntry"));
    for (const QString &team : {QStringLiteral("home"), QStringLiteral("visitor")})
        json[team] = teamJson(json.value(team).toObject());
    return json;
}

QJsonObject BoardFeed::boardJson(const BoardSettings &board)
{
    return {{QStringLiteral("formBackColor"), colourText(board.FormBackColor)},
        {QStringLiteral("labelColor"), colourText(board.LabelColor)},
        {QStringLiteral("homeColor"), colourText(board.HomeColor)},
        {QStringLiteral("visitorColor"), colourText(board.VisitorColor)},
        {QStringLiteral("ledColor"), colourText(board.LEDColor)},
        {QStringLiteral("ledBackColor"), colourText(board.LEDBackColor)},
        {QStringLiteral("homeText"), board.HomeText}, {QStringLiteral("visitorText"), board.VisitorText},
        {QStringLiteral("teamSize"), board.TeamSize.toDouble()},
        {QStringLiteral("titleText"), board.TitleText},
        {QStringLiteral("titleSize"), board.TitleSize.toDouble()}};
}

QString BoardFeed::colourText(int bgr)
{
    const unsigned value = unsigned(bgr);
    const unsigned rgb = ((value & 0xFFu) << 16) | (value & 0xFF00u) | ((value >> 16) & 0xFFu);
    return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0'));
}

void BoardFeed::rebuild()
{
    const QJsonObject document {{QStringLiteral("version"), FormatVersion},
        {QStringLiteral("seq"), double(m_seq)}, {QStringLiteral("game"), m_game},
        {QStringLiteral("board"), m_board}};
    m_json = QJsonDocument(document).toJson(QJsonDocument::Compact);
}
