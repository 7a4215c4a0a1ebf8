// Picking and swapping: both tokens fly to each other's cells on curved
// paths, one passing in front of the other; when both have arrived the
// swap stands if it made a run, or both fly back.
#include "board/GameBoard.h"

#include "engine/Log.h"
#include "rays/TokenHighlight.h"
#include "tokens/CapsRenderer.h"

#include <cstdlib>

CountedHandle<CToken> CGameBoard::TokenAt(float x, float y) { return m_movingTokens.TokenAt(x, y); }

// A press on a chained token plays its refusal wherever the press asks for
// that token.
BoardPress CGameBoard::PressAt(float x, float y, bool swapsAllowed)
{
    BoardPress press;
    const CountedHandle<CToken>& picked = Picked();
    if (picked) {
        const MatchCell cell = PointToCell(x, y);
        if (!swapsAllowed || !IsOnBoard(cell.column, cell.row))
            return press;
        press.column = cell.column;
        press.row = cell.row;
        const int dc = std::abs(cell.column - picked->column), dr = std::abs(cell.row - picked->row);
        if (dc <= 1 && dr <= 1 && dc != dr && CanSelect(cell.column, cell.row))
            press.kind = BoardPress::Kind::Swap;
    }
    press.token = TokenAt(x, y);
    if (press.kind == BoardPress::Kind::None && press.token)
        press.kind = BoardPress::Kind::Pick;
    return press;
}

bool CGameBoard::DragTarget(float x, float y, MatchCell* cell) const
{
    const CountedHandle<CToken>& picked = Picked();
    if (!picked)
        return false;
    const MatchCell at = PointToCell(x, y);
    const int dc = std::abs(at.column - picked->column), dr = std::abs(at.row - picked->row);
    if (!IsOnBoard(at.column, at.row) || dc > 1 || dr > 1 || dc == dr)
        return false;
    *cell = at;
    return true;
}

void CGameBoard::Pick(const CountedHandle<CToken>& token) { m_marker->ShowAt(token); }

void CGameBoard::LetGo() { m_marker->Hide(); }

const CountedHandle<CToken>& CGameBoard::Picked() const { return m_marker->Token(); }

void CGameBoard::SwapPicked(int column, int row)
{
    // A copy: hiding the marker lets go of its token.
    const CountedHandle<CToken> picked = Picked();
    if (!picked)
        return;
    const int fromColumn = picked->column, fromRow = picked->row;
    m_marker->Hide();
    Swap(fromColumn, fromRow, column, row, false);
}

void CGameBoard::Swap(int columnA, int rowA, int columnB, int rowB, bool back)
{
    const int dc = std::abs(columnA - columnB), dr = std::abs(rowA - rowB);
    if (!IsOnBoard(columnA, rowA) || !IsOnBoard(columnB, rowB) || dc + dr != 1)
        return;
    CountedHandle<CToken> a = Cell(columnA, rowA);
    CountedHandle<CToken> b = Cell(columnB, rowB);
    if (!a || !b)
        return;
    CellRef(columnA, rowA) = b;
    CellRef(columnB, rowB) = a;
    (back ? m_swapsBack : m_swapsActive).push_back(SwapPair{a, b});
    StartSwapPath(*a, columnB, rowB, -1.0f, true);
    StartSwapPath(*b, columnA, rowA, 1.0f, false);
}

// Two curves through the midpoint of the two cells, lifted towards or away
// from the viewer. The token passing in front is drawn over the other: its
// cap's layer goes down by one until it arrives.
void CGameBoard::StartSwapPath(CToken& token, int column, int row, float depth, bool passInFront)
{
    const float swapTime = m_tuning.swapSeconds;
    token.pathTime = 0.0f;
    token.fromColumn = token.column;
    token.fromRow = token.row;
    token.column = column;
    token.row = row;
    token.active = 0;
    token.state = kTokenSwapping;
    token.pathDuration = swapTime;
    const Vec2 target = CellToPoint(column, row, false);
    const Vec3 middle{(token.x + target.x) / 2.0f, (token.y + target.y) / 2.0f, depth};
    token.path.Reset(Vec3{token.x, token.y, token.z}, middle, Vec3{0.5f, 0.5f, 2.0f}, Vec3{2.0f, 2.0f, 0.5f},
                     0.5f * swapTime);
    token.path.AppendCurve(Vec3{target.x, target.y, 0.0f}, Vec3{2.0f, 2.0f, 0.5f}, Vec3{0.5f, 0.5f, 2.0f},
                           0.5f * swapTime);
    if (passInFront && token.cap) {
        token.cap->layer -= 1;
        m_caps->ResortCap(token.cap);
    }
}

int CGameBoard::ResolveSwaps()
{
    int handedOn = 0;
    bool madeMove = false;
    bool markerColourFound = false;
    int totemColour = -1;
    auto bothStill = [](const SwapPair& p) {
        return p.first->state == kTokenResting && p.second->state == kTokenResting;
    };
    auto findRuns = [this](const SwapPair& p) {
        p.first->active = 1;
        p.second->active = 1;
        CopyToAnalyser();
        return m_analyser.FindRuns(3, false);
    };

    for (size_t i = 0; i < m_swapsActive.size();) {
        const SwapPair pair = m_swapsActive[i];
        if (!bothStill(pair)) {
            ++i;
            continue;
        }
        m_swapsActive.erase(m_swapsActive.begin() + static_cast<std::ptrdiff_t>(i));
        const int groups = findRuns(pair);
        if (groups > 0) {
            // The totem that charges is the one of the colour the player
            // picked, when the move matched that colour.
            madeMove = true;
            const int markerColour = m_marker->ColourCode();
            if (markerColourFound) {
                totemColour = markerColour;
            } else {
                const MatchCell& first = m_analyser.Groups().front().cells.front();
                totemColour = Cell(first.column, first.row)->colour;
                for (const CMatchGroup& group : m_analyser.Groups()) {
                    const CountedHandle<CToken>& t = Cell(group.cells.front().column, group.cells.front().row);
                    if (t && t->colour == markerColour) {
                        markerColourFound = true;
                        totemColour = markerColour;
                        break;
                    }
                }
            }
            ProcessMatchGroups();
            handedOn += groups;
        } else {
            Swap(pair.second->column, pair.second->row, pair.first->column, pair.first->row, true);
            m_swapRefused = true;
        }
    }
    for (size_t i = 0; i < m_swapsBack.size();) {
        const SwapPair pair = m_swapsBack[i];
        if (!bothStill(pair)) {
            ++i;
            continue;
        }
        m_swapsBack.erase(m_swapsBack.begin() + static_cast<std::ptrdiff_t>(i));
        const int groups = findRuns(pair);
        if (groups > 0) {
            ProcessMatchGroups();
            handedOn += groups;
        }
    }
    if (madeMove)
        m_totems->QueueTotem(totemColour);
    if (m_totemActionPending) {
        CopyToAnalyser();
        const int groups = m_analyser.FindRuns(3, false);
        if (groups > 0) {
            ProcessMatchGroups();
            handedOn += groups;
        }
        m_totemActionPending = false;
    }
    return handedOn;
}
