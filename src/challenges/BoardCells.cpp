#include "challenges/BoardCells.h"

#include <cmath>

bool BoardCells::CellAt(float x, float y, int* column, int* row) const
{
    if (!(cellWidth > 0.0f) || !(cellHeight > 0.0f))
        return false;
    const float c = std::floor((x - origin.x) / cellWidth);
    const float r = std::floor((origin.y - y) / cellHeight);
    // Far beyond any board; also keeps the conversion to int defined.
    constexpr float kReach = 1.0e6f;
    if (!(std::fabs(c) < kReach) || !(std::fabs(r) < kReach))
        return false;
    *column = static_cast<int>(c);
    *row = static_cast<int>(r);
    return true;
}
