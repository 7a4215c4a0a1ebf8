// The Memory challenge on the real caps renderer: its six layouts, clicks,
// pairs and mismatches, the plates flying away, and the plates collected over
// a whole bonus level.
#include "ChallengeRig.h"
#include "challenges/MemoryChallenge.h"

#include <algorithm>
#include <map>
#include <memory>

using challenge_rig::kFrame;
using challenge_rig::Rig;

namespace {

class Memory : public Rig {
protected:
    void SetUp() override
    {
        Rig::SetUp();
        NewChallenge();
    }
    // A challenge as a bonus level makes it.
    void NewChallenge()
    {
        memory = std::make_unique<CMemoryChallenge>();
        const BoardCells cells = challenge_rig::GameCells();
        memory->SetBoardGeometry(cells.origin.x, cells.origin.y, cells.origin.z, cells.cellWidth,
                                 cells.cellHeight);
        memory->CreatePlateSet(caps);
        memory->SetSoundManager(sounds);
    }
    // Deals layout n and lets the plates land.
    void Deal(int n)
    {
        memory->StartRound(n);
        Run(*memory, 1.05f);
        ASSERT_TRUE(memory->IsWaitingForPlayer());
    }
    Vec3 CentreOf(int column, int row) const
    {
        return memory->Cells().Centre(static_cast<float>(memory->ColumnOffset() + column),
                                      static_cast<float>(memory->RowOffset() + row));
    }
    int Click(int column, int row)
    {
        const Vec3 p = CentreOf(column, row);
        return memory->OnClick(p.x + 5.0f, p.y - 5.0f);
    }
    // The layout cells with a plate, grouped by picture.
    std::map<int, std::vector<std::pair<int, int>>> Pictures() const
    {
        std::map<int, std::vector<std::pair<int, int>>> pictures;
        for (int r = 0; r < memory->Rows(); ++r)
            for (int c = 0; c < memory->Columns(); ++c)
                if (const CountedHandle<CPlate> plate = memory->PlateAt(c, r))
                    pictures[plate->TokenCode()].push_back({c, r});
        return pictures;
    }
    // Turns both plates over and returns what the check reported.
    int PlayPair(std::pair<int, int> a, std::pair<int, int> b)
    {
        EXPECT_EQ(Click(a.first, a.second), 101);
        Run(*memory, 0.3f);
        EXPECT_EQ(Click(b.first, b.second), 101);
        for (int i = 0; i < 60; ++i)
            if (const int r = memory->Update(kFrame); r != 100)
                return r;
        return 100;
    }
    // Finds every pair of the dealt layout; the results of the checks.
    std::vector<int> FindAllPairs()
    {
        std::vector<int> results;
        for (auto& [picture, cells] : Pictures())
            for (size_t i = 0; i + 1 < cells.size(); i += 2)
                results.push_back(PlayPair(cells[i], cells[i + 1]));
        return results;
    }

    std::unique_ptr<CMemoryChallenge> memory;
};

} // namespace

TEST_F(Memory, EachLayoutDealsItsCellsAndPicturesOntoTheBoard)
{
    struct Case {
        int n, columns, rows, columnOffset, rowOffset;
        std::vector<const char*> cells;
        std::vector<size_t> counts;
    };
    const Case cases[] = {
        {1, 4, 3, 2, 3, {"####", "####", "####"}, {4, 4, 4}},
        {2, 6, 3, 1, 3, {"######", "######", "######"}, {4, 4, 4, 6}},
        {3, 6, 6, 1, 2, {".####.", "######", "#.##.#", "######", "##..##", ".####."}, {6, 6, 6, 6, 4}},
        {4, 6, 4, 1, 3, {".#####", ".#...#", "##.#.#", "##.###"}, {4, 4, 4, 4}},
        {5, 8, 4, 0, 3, {"...##...", "..####..", ".##..##.", "########"}, {4, 4, 4, 6}},
        {6, 8, 5, 0, 3, {"...##...", ".#####.#", "#.######", "########", ".####..#"}, {6, 6, 6, 6, 4}},
    };
    size_t groupPlates[2] = {0, 0};
    for (const Case& c : cases) {
        Deal(c.n);
        EXPECT_EQ(memory->Columns(), c.columns) << c.n;
        EXPECT_EQ(memory->Rows(), c.rows) << c.n;
        EXPECT_EQ(memory->ColumnOffset(), c.columnOffset) << c.n;
        EXPECT_EQ(memory->RowOffset(), c.rowOffset) << c.n;
        size_t plates = 0;
        for (int r = 0; r < c.rows; ++r)
            for (int col = 0; col < c.columns; ++col) {
                const CountedHandle<CPlate> plate = memory->PlateAt(col, r);
                ASSERT_EQ(static_cast<bool>(plate), c.cells[static_cast<size_t>(r)][col] == '#') << c.n;
                if (!plate)
                    continue;
                ++plates;
                const Vec3 at = CentreOf(col, r);
                EXPECT_FLOAT_EQ(plate->Position().x, at.x) << c.n;
                EXPECT_FLOAT_EQ(plate->Position().y, at.y) << c.n;
                EXPECT_EQ(plate->ShownFrame(), 0);
            }
        std::vector<size_t> counts;
        for (auto& [picture, cells] : Pictures())
            counts.push_back(cells.size());
        EXPECT_EQ(counts, c.counts) << c.n;
        EXPECT_EQ(memory->PlateSet()->Plates().size(), plates) << c.n;
        groupPlates[c.n > 3] += plates;
        memory->ClearPlates();
    }
    EXPECT_EQ(groupPlates[0], 58u);
    EXPECT_EQ(groupPlates[1], 62u);

    // Layout 1 lies on board columns 2 to 5 and rows 3 to 5.
    Deal(1);
    EXPECT_EQ(caps->Caps().size(), 24u);
    const Vec3 first = challenge_rig::GameCells().Centre(2.0f, 3.0f);
    EXPECT_FLOAT_EQ(memory->PlateAt(0, 0)->Position().x, first.x);
    EXPECT_FLOAT_EQ(memory->PlateAt(0, 0)->Position().y, first.y);
}

TEST_F(Memory, ClicksTurnPlatesOnlyWhileWaitingAndOnlyOnTheLayout)
{
    memory->StartRound(5);
    EXPECT_EQ(Click(0, 3), 100); // still falling
    Run(*memory, 1.05f);
    EXPECT_EQ(Plays("Drop.wav"), 1);

    // Beside the board, half a cell left of layout 5's first column: no cell
    // of the layout, though a cut toward zero would call it column 0.
    const Vec3 edge = CentreOf(0, 3);
    EXPECT_EQ(memory->OnClick(edge.x - 0.5f * challenge_rig::kCell - 20.0f, edge.y), 100);
    EXPECT_EQ(Click(0, 0), 100); // a layout cell without a plate
    EXPECT_EQ(Plays("BonusClick.wav"), 0);

    EXPECT_EQ(Click(0, 3), 101);
    EXPECT_EQ(memory->GetState(), CMemoryChallenge::kChecking);
    EXPECT_EQ(Plays("BonusClick.wav"), 1);
    EXPECT_EQ(Click(1, 3), 100); // the first plate is still turning
    Run(*memory, 0.3f);
    ASSERT_TRUE(memory->IsWaitingForPlayer());

    // The picked plate again: "Wrong.wav", and nothing changes.
    EXPECT_EQ(Click(0, 3), 102);
    EXPECT_EQ(Plays("Wrong.wav"), 1);
    EXPECT_TRUE(memory->IsWaitingForPlayer());
}

TEST_F(Memory, PairsStayOpenAndMismatchesTurnBackAfterHalfASecond)
{
    Deal(1);
    auto pictures = Pictures();
    // Two different pictures: shown for 0.5 s, then turned back.
    EXPECT_EQ(Click(pictures[0][0].first, pictures[0][0].second), 101);
    Run(*memory, 0.3f);
    EXPECT_EQ(Click(pictures[1][0].first, pictures[1][0].second), 101);
    Run(*memory, 0.3f);
    EXPECT_EQ(Click(pictures[2][0].first, pictures[2][0].second), 100); // the mismatch shows
    std::vector<int> results = Run(*memory, 0.45f);
    EXPECT_EQ(results, std::vector<int>{104});
    Run(*memory, 0.3f);
    EXPECT_TRUE(memory->IsWaitingForPlayer());
    EXPECT_EQ(memory->PlateAt(pictures[0][0].first, pictures[0][0].second)->ShownFrame(), 0);

    // Every pair found: 105 for each but the last, which gives 106 once.
    const int goodBefore = Plays("GoodClick.wav");
    results = FindAllPairs();
    EXPECT_EQ(results, (std::vector<int>{105, 105, 105, 105, 105, 106}));
    EXPECT_EQ(Plays("GoodClick.wav") - goodBefore, 5);
    const Vec3 second = CentreOf(pictures[2][3].first, pictures[2][3].second);
    EXPECT_FLOAT_EQ(memory->SecondOfLastPair().x, second.x);
    EXPECT_FLOAT_EQ(memory->SecondOfLastPair().y, second.y);
    EXPECT_TRUE(Run(*memory, 0.5f).empty());
    EXPECT_EQ(Click(pictures[0][0].first, pictures[0][0].second), 102); // found already
}

TEST_F(Memory, DismissedPlatesFlyAwayAndReportOnceTheyAreGone)
{
    Deal(2);
    auto pictures = Pictures();
    PlayPair(pictures[3][0], pictures[3][1]);
    // Time is up: the board shatters the found pair, the rest fly away.
    const std::vector<CountedHandle<CPlate>> found = memory->TakeFoundPlates();
    EXPECT_EQ(found.size(), 2u);
    EXPECT_EQ(memory->Collected(), 2);
    EXPECT_TRUE(found[0]->IsShowingPicture());
    EXPECT_EQ(memory->PlateSet()->Plates().size(), 16u);
    EXPECT_EQ(caps->Caps().size(), 32u);

    memory->DismissPlates();
    EXPECT_EQ(memory->GetState(), CMemoryChallenge::kClearing);
    EXPECT_FALSE(memory->PlateAt(0, 0));
    EXPECT_EQ(Click(1, 1), 100);
    const std::vector<int> early = Run(*memory, 0.95f);
    EXPECT_TRUE(early.empty());
    EXPECT_EQ(memory->Update(0.1f), 103);
    EXPECT_EQ(memory->Update(kFrame), 103); // in every update from then on
    EXPECT_TRUE(caps->Caps().empty());
}

TEST_F(Memory, AWholeBonusLevelCollectsEveryPlateOfItsGroup)
{
    for (int group : {1, 2}) {
        NewChallenge();
        for (int round = 0; round < 3; ++round) {
            Deal(3 * group - 2 + round);
            ASSERT_EQ(FindAllPairs().back(), 106);
            memory->TakeFoundPlates();
            memory->DismissPlates();
            ASSERT_EQ(memory->Update(kFrame), 103);
        }
        EXPECT_EQ(memory->Collected(), group == 1 ? 58 : 62);
    }
}
