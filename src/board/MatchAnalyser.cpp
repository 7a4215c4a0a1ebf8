#include "board/MatchAnalyser.h"

#include "engine/Random.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

CMatchGroup::CMatchGroup()
{
    cells.reserve(8);
    links.reserve(8);
}

CMatchAnalyser::CMatchAnalyser()
{
    Resize(8, 8);
    m_groups.reserve(12);
}

void CMatchAnalyser::Resize(int columns, int rows)
{
    m_columns = columns;
    m_rows = rows;
    m_cells.assign(static_cast<size_t>(columns * rows), 0);
}

int CMatchAnalyser::RunLength(int row, int column, int rowStep, int columnStep) const
{
    const int32_t value = std::abs(Cell(column, row));
    int length = 1;
    for (int r = row + rowStep, c = column + columnStep; r < m_rows && c < m_columns;
         r += rowStep, c += columnStep, ++length)
        if (std::abs(Cell(c, r)) != value)
            break;
    return length;
}

// Rows from the top, columns from the left; each run is taken once, from
// its first cell. `onRun` (row, column, row step, column step, length)
// returns true to end the scan.
template <typename OnRun>
bool CMatchAnalyser::ScanRuns(int n, bool diagonals, OnRun onRun) const
{
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            const int32_t v = Cell(c, r);
            if (!Matches(v))
                continue;
            const int32_t a = std::abs(v);
            const bool roomRight = c <= m_columns - n;
            const bool roomDown = r <= m_rows - n;
            if (roomRight && !(c > 0 && std::abs(Cell(c - 1, r)) == a)) {
                const int length = RunLength(r, c, 0, 1);
                if (length >= n && onRun(r, c, 0, 1, length))
                    return true;
            }
            if (roomDown && !(r > 0 && std::abs(Cell(c, r - 1)) == a)) {
                const int length = RunLength(r, c, 1, 0);
                if (length >= n && onRun(r, c, 1, 0, length))
                    return true;
            }
            if (diagonals && roomRight && roomDown && !(r > 0 && c > 0 && std::abs(Cell(c - 1, r - 1)) == a)) {
                const int length = RunLength(r, c, 1, 1);
                if (length >= n && onRun(r, c, 1, 1, length))
                    return true;
            }
        }
    return false;
}

bool CMatchAnalyser::HasReadyRun(int n, bool diagonals) const
{
    return ScanRuns(n, diagonals, [](int, int, int, int, int) { return true; });
}

int CMatchAnalyser::FindRuns(int n, bool diagonals)
{
    m_groups.clear();
    ScanRuns(n, diagonals, [this](int r, int c, int dr, int dc, int length) {
        CMatchGroup group;
        for (int k = 0; k < length; ++k) {
            group.cells.push_back(MatchCell{c + k * dc, r + k * dr});
            if (k > 0)
                group.links.emplace_back(k - 1, k);
        }
        m_groups.push_back(std::move(group));
        return false;
    });
    // Runs that share a cell (an L, a T, a cross) become one group.
    for (bool merged = true; merged && m_groups.size() > 1;) {
        merged = false;
        for (size_t i = 0; i < m_groups.size() && !merged; ++i)
            for (size_t k = i + 1; k < m_groups.size() && !merged; ++k)
                for (const MatchCell& cell : m_groups[i].cells) {
                    const auto& others = m_groups[k].cells;
                    if (std::find(others.begin(), others.end(), cell) != others.end()) {
                        MergeGroups(static_cast<int>(i), static_cast<int>(k));
                        merged = true;
                        break;
                    }
                }
    }
    return static_cast<int>(m_groups.size());
}

void CMatchAnalyser::MergeGroups(int a, int b)
{
    CMatchGroup& into = m_groups[static_cast<size_t>(a)];
    const CMatchGroup& from = m_groups[static_cast<size_t>(b)];
    into.runCount += from.runCount;
    std::vector<int32_t> renumbered(from.cells.size());
    for (size_t i = 0; i < from.cells.size(); ++i) {
        const auto found = std::find(into.cells.begin(), into.cells.end(), from.cells[i]);
        renumbered[i] = static_cast<int32_t>(found - into.cells.begin());
        if (found == into.cells.end())
            into.cells.push_back(from.cells[i]);
    }
    for (const auto& link : from.links)
        into.links.emplace_back(renumbered[static_cast<size_t>(link.first)],
                                renumbered[static_cast<size_t>(link.second)]);
    m_groups.erase(m_groups.begin() + b);
}

bool CMatchAnalyser::RunThrough(int column, int row, int n, bool diagonals) const
{
    const int32_t v = Cell(column, row);
    if (!Matches(v))
        return false;
    const int32_t a = std::abs(v);
    auto span = [&](int dc, int dr) {
        int length = 1;
        for (int c = column + dc, r = row + dr;
             c >= 0 && r >= 0 && c < m_columns && r < m_rows && std::abs(Cell(c, r)) == a; c += dc, r += dr)
            ++length;
        for (int c = column - dc, r = row - dr;
             c >= 0 && r >= 0 && c < m_columns && r < m_rows && std::abs(Cell(c, r)) == a; c -= dc, r -= dr)
            ++length;
        return length >= n;
    };
    return span(1, 0) || span(0, 1) || (diagonals && span(1, 1));
}

// On a board without a run, a swap can only make runs through the two
// cells it changes, so those two are all that need looking at; a board
// that already holds a run is searched whole after the swap.
bool CMatchAnalyser::SwapMakesRun(int c1, int r1, int c2, int r2, int n, bool diagonals, bool boardHasRun)
{
    int32_t& a = Cell(c1, r1);
    int32_t& b = Cell(c2, r2);
    if (!boardHasRun && a == b)
        return false;
    std::swap(a, b);
    const bool run = boardHasRun ? HasReadyRun(n, diagonals)
                                 : RunThrough(c1, r1, n, diagonals) || RunThrough(c2, r2, n, diagonals);
    std::swap(a, b);
    return run;
}

// Rows from the top, columns from the left; each cell with its right, then
// its lower neighbour, when both hold free tokens. `onMove` returns true to
// end the scan.
template <typename OnMove>
bool CMatchAnalyser::ScanMoves(int n, bool diagonals, OnMove onMove)
{
    const bool boardHasRun = HasReadyRun(n, diagonals);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            if (Cell(c, r) <= 0)
                continue;
            if (c < m_columns - 1 && Cell(c + 1, r) > 0 &&
                SwapMakesRun(c, r, c + 1, r, n, diagonals, boardHasRun) && onMove(MatchMove{c, r, c + 1, r}))
                return true;
            if (r < m_rows - 1 && Cell(c, r + 1) > 0 && SwapMakesRun(c, r, c, r + 1, n, diagonals, boardHasRun) &&
                onMove(MatchMove{c, r, c, r + 1}))
                return true;
        }
    return false;
}

bool CMatchAnalyser::HasPossibleMove(int n, bool diagonals)
{
    return ScanMoves(n, diagonals, [](const MatchMove&) { return true; });
}

int CMatchAnalyser::ListMoves(std::vector<MatchMove>* out, int n, bool diagonals)
{
    out->clear();
    ScanMoves(n, diagonals, [out](const MatchMove& move) {
        out->push_back(move);
        return false;
    });
    return static_cast<int>(out->size());
}

bool CMatchAnalyser::PickRandomMove(MatchMove* out)
{
    std::vector<MatchMove> moves;
    moves.reserve(64);
    const int count = ListMoves(&moves, 3, false);
    if (count == 0)
        return false;
    int index = static_cast<int>(std::floor(RandomUnit() * static_cast<float>(count)));
    if (index >= count)
        index = count - 1;
    *out = moves[static_cast<size_t>(index)];
    return true;
}
