// A long seeded game: random possible moves on a level-1 board, the board
// started over whenever no move is left. At every rest the board must be
// whole: every cell full, no run standing, and the grid, the moving tokens
// and the caps agreeing one to one.
#include "BoardRig.h"
#include "engine/Random.h"
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
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const CountedHandle<CToken>& t = b.Cell(c, r);
            if (!t)
                return ::testing::AssertionFailure() << "empty cell " << c << "," << r;
            if (t->column != c || t->row != r || !t->active || t->state != kTokenResting)
                return ::testing::AssertionFailure() << "token out of place at " << c << "," << r;
            inGrid.insert(t.Get());
            gridCaps.insert(t->cap.Get());
        }
    CMatchAnalyser copy = b.Analysis();
    if (copy.HasReadyRun(3, false))
        return ::testing::AssertionFailure() << "a run stands:\n" << rig.Letters();
    std::set<const CToken*> listed;
    for (const CountedHandle<CToken>& t : b.LiveTokens())
        listed.insert(t.Get());
    std::set<const CCap*> drawn;
    for (const CountedHandle<CCap>& cap : rig.caps->Caps())
        drawn.insert(cap.Get());
    if (listed != inGrid || b.LiveTokens().size() != 64)
        return ::testing::AssertionFailure() << b.LiveTokens().size() << " moving tokens";
    if (drawn != gridCaps || rig.caps->Caps().size() != 64)
        return ::testing::AssertionFailure() << rig.caps->Caps().size() << " caps";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(Soak, TwoThousandRandomMovesKeepTheBoardWhole)
{
    plat::SeedRandom(2024);
    BoardRig rig;
    rig.random.Seed(2024);
    CGameBoard& b = *rig.board;
    // Struck gems count: the goal stays out of reach, so the level goes on.
    b.SetGemCounts(1 << 20, b.GemsToPlace());
    ASSERT_TRUE(rig.Settle());
    int restarts = 0;
    for (int move = 0; move < 2000; ++move) {
        ASSERT_TRUE(Whole(rig)) << "before move " << move;
        MatchMove m;
        if (!b.Analysis().PickRandomMove(&m, RandomUnit())) {
            ++restarts;
            b.Reset(0);
            ASSERT_TRUE(rig.Settle());
            continue;
        }
        b.Swap(m.column1, m.row1, m.column2, m.row2, false);
        ASSERT_TRUE(rig.Settle()) << "after move " << move << "\n" << rig.Letters();
        b.Events().Clear();
    }
    EXPECT_GT(rig.stats.tables[1].Get(StatMatches), 2000);
    RecordProperty("restarts", restarts);
}
