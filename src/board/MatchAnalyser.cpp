#include "board/MatchAnalyser.h"

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
    if (UsesBitboards(n, diagonals)) {
        Bitboards boards;
        BuildBitboards(&boards);
        return HasRunBits(boards);
    }
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

bool CMatchAnalyser::SwapMakesRun(int c1, int r1, int c2, int r2, int n, bool diagonals)
{
    std::swap(Cell(c1, r1), Cell(c2, r2));
    const bool run = HasReadyRun(n, diagonals);
    std::swap(Cell(c1, r1), Cell(c2, r2));
    return run;
}

namespace {

constexpr uint64_t kColumn0 = 0x0101010101010101ull;
constexpr uint64_t kColumn7 = 0x8080808080808080ull;

// Each cell's bit moved to its neighbour on the east (west, south, north);
// bits that would wrap round a row are dropped.
uint64_t East(uint64_t m) { return (m << 1) & ~kColumn0; }
uint64_t West(uint64_t m) { return (m >> 1) & ~kColumn7; }
uint64_t South(uint64_t m) { return m << 8; }
uint64_t North(uint64_t m) { return m >> 8; }

} // namespace

void CMatchAnalyser::BuildBitboards(Bitboards* boards) const
{
    int8_t slot[100];
    std::fill(std::begin(slot), std::end(slot), static_cast<int8_t>(-1));
    boards->count = 0;
    boards->movable = 0;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            const int32_t v = Cell(c, r);
            const uint64_t bit = 1ull << (r * 8 + c);
            if (v > 0)
                boards->movable |= bit;
            if (!Matches(v))
                continue;
            int8_t& s = slot[std::abs(v)];
            if (s < 0) {
                s = static_cast<int8_t>(boards->count++);
                boards->masks[s] = 0;
            }
            boards->masks[s] |= bit;
        }
}

bool CMatchAnalyser::HasRunBits(const Bitboards& boards)
{
    for (int i = 0; i < boards.count; ++i) {
        const uint64_t k = boards.masks[i];
        if ((k & East(k) & East(East(k))) | (k & South(k) & South(South(k))))
            return true;
    }
    return false;
}

// A cell t takes a token of colour k from a neighbour s: a run through t
// forms when two more k stand in a line with t, none of them at s. The
// target holds a free token of another colour, the source a free k.
CMatchAnalyser::MoveTargets CMatchAnalyser::MoveBits(const Bitboards& boards)
{
    MoveTargets moves;
    for (int i = 0; i < boards.count; ++i) {
        const uint64_t k = boards.masks[i];
        const uint64_t sources = k & boards.movable;
        const uint64_t targets = boards.movable & ~k;
        const uint64_t twoLeft = East(k) & East(East(k)), twoRight = West(k) & West(West(k));
        const uint64_t aside = East(k) & West(k);
        const uint64_t twoAbove = South(k) & South(South(k)), twoBelow = North(k) & North(North(k));
        const uint64_t aboveAndBelow = South(k) & North(k);
        const uint64_t vertical = twoAbove | twoBelow | aboveAndBelow;
        const uint64_t horizontal = twoLeft | twoRight | aside;
        moves.fromRight |= targets & West(sources) & (twoLeft | vertical);
        moves.fromLeft |= targets & East(sources) & (twoRight | vertical);
        moves.fromAbove |= targets & South(sources) & (horizontal | twoBelow);
        moves.fromBelow |= targets & North(sources) & (horizontal | twoAbove);
    }
    return moves;
}

// Rows from the top, columns from the left; each cell with its right, then
// its lower neighbour, when both hold free tokens. On a grid without a run
// the bitboards say which swaps make one; a grid that already holds a run
// (or a question the bitboards do not answer) is searched whole after each
// swap. `onMove` returns true to end the scan.
template <typename OnMove>
bool CMatchAnalyser::ScanMoves(int n, bool diagonals, OnMove onMove)
{
    Bitboards boards;
    MoveTargets bits;
    bool quick = UsesBitboards(n, diagonals);
    if (quick) {
        BuildBitboards(&boards);
        quick = !HasRunBits(boards);
        if (quick)
            bits = MoveBits(boards);
    }
    auto isMove = [&](int c1, int r1, int c2, int r2, bool across) {
        if (!quick)
            return SwapMakesRun(c1, r1, c2, r2, n, diagonals);
        const uint64_t first = 1ull << (r1 * 8 + c1), second = 1ull << (r2 * 8 + c2);
        return across ? ((bits.fromRight & first) | (bits.fromLeft & second)) != 0
                      : ((bits.fromBelow & first) | (bits.fromAbove & second)) != 0;
    };
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            if (Cell(c, r) <= 0)
                continue;
            if (c < m_columns - 1 && Cell(c + 1, r) > 0 && isMove(c, r, c + 1, r, true) &&
                onMove(MatchMove{c, r, c + 1, r}))
                return true;
            if (r < m_rows - 1 && Cell(c, r + 1) > 0 && isMove(c, r, c, r + 1, false) &&
                onMove(MatchMove{c, r, c, r + 1}))
                return true;
        }
    return false;
}

bool CMatchAnalyser::HasPossibleMove(int n, bool diagonals)
{
    if (UsesBitboards(n, diagonals)) {
        Bitboards boards;
        BuildBitboards(&boards);
        if (!HasRunBits(boards)) {
            const MoveTargets bits = MoveBits(boards);
            return (bits.fromRight | bits.fromLeft | bits.fromAbove | bits.fromBelow) != 0;
        }
    }
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

bool CMatchAnalyser::PickRandomMove(MatchMove* out, float draw)
{
    std::vector<MatchMove> moves;
    moves.reserve(64);
    const int count = ListMoves(&moves, 3, false);
    if (count == 0)
        return false;
    int index = static_cast<int>(std::floor(draw * static_cast<float>(count)));
    if (index >= count)
        index = count - 1;
    *out = moves[static_cast<size_t>(index)];
    return true;
}
