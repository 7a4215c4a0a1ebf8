// The reference player's choice of a move.
#include "ReferencePlayer.h"

#include "engine/Random.h"

#include <algorithm>
#include <vector>

bool ChooseReferenceMove(const CGameBoard& b, MatchMove* chosen)
{
    CMatchAnalyser analyser = b.Analysis();
    std::vector<MatchMove> moves;
    if (analyser.ListMoves(&moves, 3, false) == 0)
        return false;
    std::vector<MatchMove> best;
    int bestGems = -1, bestRow = -1;
    for (const MatchMove& m : moves) {
        CMatchAnalyser after = analyser;
        std::swap(after.Cell(m.column1, m.row1), after.Cell(m.column2, m.row2));
        after.FindRuns(3, false);
        int gems = 0;
        for (const CMatchGroup& group : after.Groups())
            for (const MatchCell& cell : group.cells) {
                // The token in a cell after the swap came from the other cell.
                MatchCell from = cell;
                if (cell.column == m.column1 && cell.row == m.row1)
                    from = {m.column2, m.row2};
                else if (cell.column == m.column2 && cell.row == m.row2)
                    from = {m.column1, m.row1};
                const CountedHandle<CToken>& t = b.Cell(from.column, from.row);
                gems += t && t->gem && !t->chained ? 1 : 0;
            }
        const int row = std::max(m.row1, m.row2);
        if (gems > bestGems || (gems == bestGems && row > bestRow)) {
            best.clear();
            bestGems = gems;
            bestRow = row;
        }
        if (gems == bestGems && row == bestRow)
            best.push_back(m);
    }
    const size_t pick =
        std::min(best.size() - 1, static_cast<size_t>(RandomUnit() * static_cast<float>(best.size())));
    *chosen = best[pick];
    return true;
}
