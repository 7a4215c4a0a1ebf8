// The match analyser on small character grids (g y r b o w v a colour,
// capitals chained, s steel, S chained steel, . empty).
#include "BoardRig.h"
#include "board/MatchAnalyser.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

CMatchAnalyser FromRows(const std::vector<std::string>& rows)
{
    CMatchAnalyser a;
    a.Resize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int r = 0; r < a.Rows(); ++r)
        for (int c = 0; c < a.Columns(); ++c) {
            const char letter = rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
            const int colour = board_rig::ColourOf(letter);
            if (colour >= 0)
                a.Cell(c, r) = std::isupper(static_cast<unsigned char>(letter)) ? ~colour : colour + 1;
        }
    return a;
}

// Every swap tried by hand, with the full scan for runs after it.
int ReferenceMoveCount(CMatchAnalyser a)
{
    int moves = 0;
    for (int r = 0; r < a.Rows(); ++r)
        for (int c = 0; c < a.Columns(); ++c)
            for (auto [dc, dr] : {std::pair{1, 0}, std::pair{0, 1}}) {
                if (c + dc >= a.Columns() || r + dr >= a.Rows() || a.Cell(c, r) <= 0 ||
                    a.Cell(c + dc, r + dr) <= 0)
                    continue;
                std::swap(a.Cell(c, r), a.Cell(c + dc, r + dr));
                moves += a.FindRuns(3, false) > 0 ? 1 : 0;
                std::swap(a.Cell(c, r), a.Cell(c + dc, r + dr));
            }
    return moves;
}

} // namespace

TEST(Analyser, RunsAndGroups)
{
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        bool diagonals;
        std::vector<size_t> sizes; // cells per group, in order
        std::vector<int> runCounts;
        std::vector<size_t> links;
    } cases[] = {
        {"a run of four is one group", {"gggg"}, false, {4}, {1}, {3}},
        {"an L is one group of five", {"g..", "g..", "ggg"}, false, {5}, {2}, {4}},
        {"a T is one group of five", {"ggg", ".g.", ".g."}, false, {5}, {2}, {4}},
        {"touching colours stay apart", {"gggrrr"}, false, {3, 3}, {1, 1}, {2, 2}},
        {"a chained token completes a run", {"Rrr"}, false, {3}, {1}, {2}},
        {"steel never matches", {"sss"}, false, {}, {}, {}},
        {"chained steel never matches", {"SSS", "sSs"}, false, {}, {}, {}},
        {"an empty cell breaks a run", {"gg.gg"}, false, {}, {}, {}},
        {"diagonals only when asked", {"g..", ".g.", "..g"}, false, {}, {}, {}},
        {"a diagonal run", {"g..", ".g.", "..g"}, true, {3}, {1}, {2}},
    };
    for (const Case& c : cases) {
        CMatchAnalyser a = FromRows(c.rows);
        EXPECT_EQ(a.FindRuns(3, c.diagonals), static_cast<int>(c.sizes.size())) << c.name;
        EXPECT_EQ(a.HasReadyRun(3, c.diagonals), !c.sizes.empty()) << c.name;
        for (size_t g = 0; g < std::min(c.sizes.size(), a.Groups().size()); ++g) {
            EXPECT_EQ(a.Groups()[g].cells.size(), c.sizes[g]) << c.name;
            EXPECT_EQ(a.Groups()[g].runCount, c.runCounts[g]) << c.name;
            EXPECT_EQ(a.Groups()[g].links.size(), c.links[g]) << c.name;
        }
    }
}

TEST(Analyser, PossibleMoves)
{
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        int moves;
    } cases[] = {
        {"one swap makes a run", {"rrgr"}, 1},
        {"a chained token is never swapped", {"Rgrr"}, 0},
        {"steel is swapped", {"gsgg"}, 1},
        {"alternating colours", {"rbrbr"}, 0},
        {"a standing run counts for every swap that keeps it", {"ggg.", "rbrb"}, 5},
        {"a vertical move", {"r.", "r.", "gr"}, 1},
    };
    for (const Case& c : cases) {
        CMatchAnalyser a = FromRows(c.rows);
        std::vector<MatchMove> moves;
        EXPECT_EQ(a.ListMoves(&moves, 3, false), c.moves) << c.name;
        EXPECT_EQ(a.HasPossibleMove(3, false), c.moves > 0) << c.name;
    }
}

TEST(Analyser, TheQuickMoveSearchAgreesWithTryingEverySwap)
{
    plat::SeedRandom(5);
    for (int trial = 0; trial < 400; ++trial) {
        CMatchAnalyser a;
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c) {
                const int pick = plat::Rand() % 16;
                a.Cell(c, r) = pick < 10 ? 1 + pick % 5 : (pick < 13 ? -(1 + pick % 5) : (pick == 13 ? 101 : 0));
            }
        std::vector<MatchMove> moves;
        EXPECT_EQ(a.HasReadyRun(3, false), a.FindRuns(3, false) > 0) << trial;
        const int expected = ReferenceMoveCount(a);
        EXPECT_EQ(a.ListMoves(&moves, 3, false), expected) << trial;
        EXPECT_EQ(a.HasPossibleMove(3, false), expected > 0) << trial;
    }
}

TEST(Analyser, NoMoveGridHasNeitherRunNorMove)
{
    CMatchAnalyser a = FromRows(board_rig::NoMoveGrid());
    EXPECT_FALSE(a.HasReadyRun(3, false));
    EXPECT_FALSE(a.HasPossibleMove(3, false));
    MatchMove move{9, 9, 9, 9};
    EXPECT_FALSE(a.PickRandomMove(&move, 0.5f));
    EXPECT_EQ(move.column1, 9);
}
