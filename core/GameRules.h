#pragma once

#include "core/BoardField.h"
#include "core/GameState.h"

#include <QString>

// The rules of every field, over the game alone. The board-wide keys (Esc,
// "c" and "o") belong to the board window and run before these.
namespace GameRules {

// The largest number a two-digit field shows.
constexpr int Limit = 99;

// A field's own rules for one typed character.
void applyKey(GameState &game, const BoardField &field, int keyAscii);
// Clear all, once the operator has confirmed it. The entry texts stay.
void clearAll(GameState &game);
// Puts an entry text on a two-digit field: absolute ("12") or relative to the
// number shown ("+5", "-20"), taken only within 0 to max.
void SetDigits(int &number, const QString &text, int max);

} // namespace GameRules
