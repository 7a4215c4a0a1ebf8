// The board's geometry as the effects over the board read it: where its
// top-left corner stands on the virtual screen (y up), its size, and its
// rows and columns. Rows count from the top, columns from the left. There is
// one for the whole process; the board sets it whenever it is reset, and
// until then it holds the quest board's own layout.
#pragma once

#include "engine/Settings.h" // Vec2

#include <cstdint>

class CBoardGrid {
public:
    // Total width and height follow from the cells.
    void Set(float leftX, float topY, int32_t columnCount, int32_t rowCount, float cellW, float cellH);
    // The centre of a cell; cells outside the board are extrapolated.
    Vec2 CellCentre(int32_t column, int32_t row) const;

    float left = -144.5f;
    float top = 367.5f;
    float width = 640.0f;
    float height = 640.0f;
    int32_t columns = 8;
    int32_t rows = 8;
    float cellWidth = 80.0f;
    float cellHeight = 80.0f;
};

CBoardGrid& BoardGrid();
