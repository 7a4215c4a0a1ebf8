#include "tokens/BoardGrid.h"

void CBoardGrid::Set(float leftX, float topY, int32_t columnCount, int32_t rowCount, float cellW, float cellH)
{
    left = leftX;
    top = topY;
    columns = columnCount;
    rows = rowCount;
    cellWidth = cellW;
    cellHeight = cellH;
    width = static_cast<float>(columns) * cellWidth;
    height = static_cast<float>(rows) * cellHeight;
}

Vec2 CBoardGrid::CellCentre(int32_t column, int32_t row) const
{
    return Vec2{left + (static_cast<float>(column) + 0.5f) * cellWidth,
                top - (static_cast<float>(row) + 0.5f) * cellHeight};
}

CBoardGrid& BoardGrid()
{
    static CBoardGrid grid;
    return grid;
}
