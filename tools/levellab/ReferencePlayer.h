// The reference player of the level lab, which the game's scripted quest
// and its benchmark play with too: 1.5 s after the board comes to rest it
// plays the move that strikes most gem tokens at once; among equals the
// lowest on the board, then one at random.
#pragma once

#include "board/GameBoard.h"

// Seconds of rest before the reference player moves.
constexpr float kReferenceThinkTime = 1.5f;

// False when the board has no move.
bool ChooseReferenceMove(const CGameBoard& board, MatchMove* chosen);
