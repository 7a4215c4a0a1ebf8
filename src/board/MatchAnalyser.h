// Runs of equal tokens on a plain integer copy of the board: which runs
// stand now (merged into groups where they share cells), whether any
// stands, whether a single swap would make one, and the list of such swaps.
// It knows nothing of tokens or time; the board refreshes the copy before
// every question.
//
// Cell values: 0 empty (or a token out of play); colour + 1 (1..7, 101 for
// steel) a token that may be swapped; -(colour + 1) a chained token. Cells
// are equal when their absolute values are; a run starts and continues
// only on values from 1 to 99, so steel never matches, chained or not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct MatchCell {
    int32_t column = 0, row = 0;
    bool operator==(const MatchCell& o) const { return column == o.column && row == o.row; }
};

// One run, or several runs that shared cells.
struct CMatchGroup {
    CMatchGroup();
    std::vector<MatchCell> cells;                   // no cell twice; the first is the group's
    std::vector<std::pair<int32_t, int32_t>> links; // neighbours along each run, as indices into cells
    int32_t runCount = 1;
};

// A swap of a cell with its right or lower neighbour.
struct MatchMove {
    int32_t column1 = 0, row1 = 0, column2 = 0, row2 = 0;
};

class CMatchAnalyser {
public:
    CMatchAnalyser();

    void Resize(int columns, int rows);
    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }
    int32_t& Cell(int column, int row) { return m_cells[static_cast<size_t>(row * m_columns + column)]; }
    int32_t Cell(int column, int row) const { return m_cells[static_cast<size_t>(row * m_columns + column)]; }

    // Cells from the start whose absolute value equals the start's.
    int RunLength(int row, int column, int rowStep, int columnStep) const;
    // Every run of at least n, merged into groups; the number of groups.
    int FindRuns(int n, bool diagonals);
    bool HasReadyRun(int n, bool diagonals) const;
    // Some single swap of two free tokens would make a run (anywhere).
    bool HasPossibleMove(int n, bool diagonals);
    int ListMoves(std::vector<MatchMove>* out, int n, bool diagonals);
    // The possible move at `draw` (0 to 1) of the list of moves; false (and
    // `out` untouched) when none exists.
    bool PickRandomMove(MatchMove* out, float draw);
    void MergeGroups(int a, int b);

    const std::vector<CMatchGroup>& Groups() const { return m_groups; }

private:
    static bool Matches(int32_t v) { return v != 0 && v >= -99 && v <= 99; }
    template <typename OnRun>
    bool ScanRuns(int n, bool diagonals, OnRun onRun) const;
    template <typename OnMove>
    bool ScanMoves(int n, bool diagonals, OnMove onMove);
    // Swaps a cell with a neighbour and searches the whole grid.
    bool SwapMakesRun(int c1, int r1, int c2, int r2, int n, bool diagonals);

    // The board's own question (runs of three, no diagonals, at most 8 x 8)
    // is answered on bitboards: one 64-bit mask per colour, bit row x 8 +
    // column.
    bool UsesBitboards(int n, bool diagonals) const
    {
        return n == 3 && !diagonals && m_columns <= 8 && m_rows <= 8;
    }
    struct Bitboards {
        int count = 0;
        uint64_t masks[64]; // cells of each distinct colour
        uint64_t movable = 0;
    };
    void BuildBitboards(Bitboards* boards) const;
    static bool HasRunBits(const Bitboards& boards);
    // On a grid without a run: the cells that a swap with their right, left,
    // upper and lower neighbour turns into part of a run.
    struct MoveTargets {
        uint64_t fromRight = 0, fromLeft = 0, fromAbove = 0, fromBelow = 0;
    };
    static MoveTargets MoveBits(const Bitboards& boards);

    int m_columns = 0, m_rows = 0;
    std::vector<int32_t> m_cells; // row-major, row 0 at the top
    std::vector<CMatchGroup> m_groups;
};
