// Picking and swapping: both tokens fly to each other's cells on curved
// paths, one passing in front of the other; when both have arrived the
// swap stands if it made a run, or both fly back.
#include "board/GameBoard.h"

#include "engine/Log.h"
#include "rays/TokenHighlight.h"
#include "tokens/CapsRenderer.h"

#include <cstdlib>

CountedHandle<CToken> CGameBoard::TokenAt(float x, float y) { return movingTokens.TokenAt(x, y); }

void CGameBoard::Swap(int columnA, int rowA, int columnB, int rowB, bool back)
{
    const int dc = std::abs(columnA - columnB), dr = std::abs(rowA - rowB);
    if (!IsOnBoard(columnA, rowA) || !IsOnBoard(columnB, rowB) || dc + dr != 1)
        return;
    CountedHandle<CToken> a = Cell(columnA, rowA);
    CountedHandle<CToken> b = Cell(columnB, rowB);
    if (!a || !b)
        return;
    timerA = 0.0f;
    Cell(columnA, rowA) = b;
    Cell(columnB, rowB) = a;
    (back ? swapsBack : swapsActive).push_back(SwapPair{a, b});
    StartSwapPath(*a, columnB, rowB, -1.0f, true);
    StartSwapPath(*b, columnA, rowA, 1.0f, false);
}

// Two curves through the midpoint of the two cells, lifted towards or away
// from the viewer. The token passing in front is drawn over the other: its
// cap's layer goes down by one until it arrives.
void CGameBoard::StartSwapPath(CToken& token, int column, int row, float depth, bool passInFront)
{
    const float swapTime = paths.tuning[2];
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
        capsRenderer->ResortCap(token.cap);
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
        return analyser.FindRuns(3, false);
    };

    for (size_t i = 0; i < swapsActive.size();) {
        const SwapPair pair = swapsActive[i];
        if (!bothStill(pair)) {
            ++i;
            continue;
        }
        swapsActive.erase(swapsActive.begin() + static_cast<std::ptrdiff_t>(i));
        const int groups = findRuns(pair);
        if (groups > 0) {
            // The totem that charges is the one of the colour the player
            // picked, when the move matched that colour.
            madeMove = true;
            const int markerColour = selectionMarker->ColourCode();
            if (markerColourFound) {
                totemColour = markerColour;
            } else {
                const MatchCell& first = analyser.Groups().front().cells.front();
                totemColour = Cell(first.column, first.row)->colour;
                for (const CMatchGroup& group : analyser.Groups()) {
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
            swapRefused = true;
        }
    }
    for (size_t i = 0; i < swapsBack.size();) {
        const SwapPair pair = swapsBack[i];
        if (!bothStill(pair)) {
            ++i;
            continue;
        }
        swapsBack.erase(swapsBack.begin() + static_cast<std::ptrdiff_t>(i));
        const int groups = findRuns(pair);
        if (groups > 0) {
            ProcessMatchGroups();
            handedOn += groups;
        }
    }
    if (madeMove)
        totems.QueueTotem(totemColour);
    if (totemActionPending) {
        CopyToAnalyser();
        const int groups = analyser.FindRuns(3, false);
        if (groups > 0) {
            ProcessMatchGroups();
            handedOn += groups;
        }
        totemActionPending = false;
    }
    return handedOn;
}
