// Where the board's cells lie on the screen, as the effects over the board
// read it: its top-left corner on the virtual screen (y up), the depth of the
// cell centres, its rows and columns and the size of a cell. Rows count from
// the top, columns from the left. There is one for the whole process; the
// board sets it whenever it resets for a level, and until then it holds the
// default 8 x 8 board.
#pragma once

#include "engine/Settings.h" // Vec3

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

// The one grid of the program, and the setter the board calls.
CBoardGrid& BoardGrid();
void SetBoardGrid(float x, float y, float z, int columns, int rows, float cellWidth, float cellHeight);
