#include "tokens/BoardGrid.h"

void CBoardGrid::Set(float x, float y, float z, int columnCount, int rowCount, float cellW, float cellH)
{
    originX = x;
    originY = y;
    originZ = z;
    columns = columnCount;
    rows = rowCount;
    cellWidth = cellW;
    cellHeight = cellH;
    width = static_cast<float>(columns) * cellWidth;
    height = static_cast<float>(rows) * cellHeight;
}

Vec3 CBoardGrid::CellCenter(int column, int row) const
{
    return {originX + (static_cast<float>(column) + 0.5f) * cellWidth,
            originY - (static_cast<float>(row) + 0.5f) * cellHeight, originZ};
}

CBoardGrid& BoardGrid()
{
    static CBoardGrid grid;
    return grid;
}

void SetBoardGrid(float x, float y, float z, int columns, int rows, float cellWidth, float cellHeight)
{
    BoardGrid().Set(x, y, z, columns, rows, cellWidth, cellHeight);
}
