// The bonuses' tests run on the quest board as the shipped layout places it
// (80-pixel cells, top-left corner at 367.5, 16.5 of the file screen, cell
// centres at depth 0), and read cell centres on the screen's plane.
#pragma once

#include "engine/Settings.h"
#include "tokens/BoardGrid.h"

namespace bonus_test {

inline void UseQuestBoardGrid() { BoardGrid().Set(-144.5f, 367.5f, 0.0f, 8, 8, 80.0f, 80.0f); }

inline Vec2 CellPoint(int column, int row)
{
    const Vec3 centre = BoardGrid().CellCenter(column, row);
    return Vec2{centre.x, centre.y};
}

} // namespace bonus_test
