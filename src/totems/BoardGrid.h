// Where the board's cells lie on the screen: written by the board whenever
// it resets for a level, read by the totems to aim at cells and to keep
// neighbour cells on the board.
#pragma once

#include "engine/Settings.h"

class CBoardGrid {
public:
    CBoardGrid() { Set(-194.5f, 340.5f, 50.0f, 8, 8, 83.0f, 83.0f); }

    // Width and height follow from the counts and the cell size.
    void Set(float x, float y, float z, int columnCount, int rowCount, float cellW, float cellH);
    // The centre of a cell; a cell off the board gives a point off the board.
    Vec3 CellCenter(int column, int row) const;
    bool Contains(int column, int row) const { return column >= 0 && column < columns && row >= 0 && row < rows; }

    float originX = 0, originY = 0, originZ = 0; // left edge, top edge (y up), depth
    float width = 0, height = 0;
    int columns = 0, rows = 0;
    float cellWidth = 0, cellHeight = 0;
};

// The one grid of the program, and its setter the board calls.
CBoardGrid& BoardGrid();
void SetBoardGrid(float x, float y, float z, int columns, int rows, float cellWidth, float cellHeight);
