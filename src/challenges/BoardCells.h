// Where the board's cells lie for the challenges that lay plates on them:
// the board's top-left corner and its cell size in the centred frame the
// tokens use (y grows upward, rows are counted downward from the top edge).
#pragma once

#include "engine/Settings.h" // Vec3

struct BoardCells {
    Vec3 origin{317.5f, 43.5f, 0.0f};
    float cellWidth = 83.0f;
    float cellHeight = 83.0f;

    // The centre of a cell; column and row may lie outside the board (plates
    // fall in from rows above it).
    Vec3 Centre(float column, float row) const
    {
        return Vec3{origin.x + (column + 0.5f) * cellWidth, origin.y - (row + 0.5f) * cellHeight, origin.z};
    }
    // The cell under a point, rounded down on both axes so that a point left
    // of or above the board lies in a negative column or row. False when the
    // geometry cannot place a point (no cell size, or a point beyond reach).
    bool CellAt(float x, float y, int* column, int* row) const;
};
