// A long seeded game: random possible moves on a level-1 board, the board
// started over whenever no move is left. At every rest the board must be
// whole: every cell full, no run standing, and the grid, the moving tokens
// and the caps agreeing one to one.
#include "BoardRig.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using board_rig::BoardRig;

namespace {

::testing::AssertionResult Whole(const BoardRig& rig)
{
    const CGameBoard& b = *rig.board;
    std::set<const CToken*> inGrid;
    std::set<const CCap*> gridCaps;
    for (int r = 0; r < b.rows; ++r)
        for (int c = 0; c < b.columns; ++c) {
            const CountedHandle<CToken>& t = b.Cell(c, r);
            if (!t)
                return ::testing::AssertionFailure() << "empty cell " << c << "," << r;
            if (t->column != c || t->row != r || !t->active || t->state != kTokenResting)
                return ::testing::AssertionFailure() << "token out of place at " << c << "," << r;
            inGrid.insert(t.Get());
            gridCaps.insert(t->cap.Get());
        }
    CMatchAnalyser copy = b.analyser;
    for (int r = 0; r < b.rows; ++r)
        for (int c = 0; c < b.columns; ++c)
            copy.Cell(c, r) = CGameBoard::AnalyserCode(*b.Cell(c, r));
    if (copy.HasReadyRun(3, false))
        return ::testing::AssertionFailure() << "a run stands:\n" << rig.Letters();
    std::set<const CToken*> listed;
    for (const CountedHandle<CToken>& t : b.movingTokens.Tokens())
        listed.insert(t.Get());
    std::set<const CCap*> drawn;
    for (const CountedHandle<CCap>& cap : rig.caps->Caps())
        drawn.insert(cap.Get());
    if (listed != inGrid || b.movingTokens.Tokens().size() != 64)
        return ::testing::AssertionFailure() << b.movingTokens.Tokens().size() << " moving tokens";
    if (drawn != gridCaps || rig.caps->Caps().size() != 64)
        return ::testing::AssertionFailure() << rig.caps->Caps().size() << " caps";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(Soak, TwoThousandRandomMovesKeepTheBoardWhole)
{
    plat::SeedRandom(2024);
    BoardRig rig;
    CGameBoard& b = *rig.board;
    // Struck gems count: the goal stays out of reach, so the level goes on.
    b.gemsToCollect = 1 << 20;
    ASSERT_TRUE(rig.Settle());
    int restarts = 0;
    for (int move = 0; move < 2000; ++move) {
        ASSERT_TRUE(Whole(rig)) << "before move " << move;
        b.CopyToAnalyser();
        MatchMove m;
        if (!b.analyser.PickRandomMove(&m)) {
            ++restarts;
            b.Reset(0);
            ASSERT_TRUE(rig.Settle());
            continue;
        }
        b.Swap(m.column1, m.row1, m.column2, m.row2, false);
        ASSERT_TRUE(rig.Settle()) << "after move " << move << "\n" << rig.Letters();
        b.events.Clear();
    }
    EXPECT_GT(b.stats.tables[1].Get(StatMatches), 2000);
    RecordProperty("restarts", restarts);
}
