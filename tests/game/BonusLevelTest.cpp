// The bonus levels in the real game: each kind played from a quest save one
// swap before its level's end, won and lost by the scripted player through
// the game's handlers; and what the flow makes of the challenges' reports
// (points, prompts, the penalty), its clock and warnings, and what it hands
// the challenges when they start.
#include "ChallengePlayer.h"
#include "GameRig.h"
#include "OneGemLeft.h"

#include "engine/Settings.h"
#include "engine/StringTable.h"
#include "platform/System.h"
#include "screens/TextFormat.h"

#include <cmath>

namespace {

constexpr float kFrame = GameHarness::kFrame;

// Every slot of the game's sound manager counts its plays.
void CountSounds(CGame& game)
{
    CSoundManager& sounds = *game.services.sounds;
    sounds.initialised = 1;
    for (CountedHandle<CSoundSample>& slot : sounds.slots)
        slot = MakeCountedHandle(new CSoundSample(1, 100000));
}

int Plays(CGame& game, const char* file) { return game.services.sounds->Sample(file)->ringIndex; }

// Whether a popup over the board shows `text`.
bool PopupShows(CGame& game, const std::string& text)
{
    for (const CountedHandle<CPopup>& popup : game.services.popups->Popups())
        for (const CountedHandle<CText>& line : popup->Texts())
            if (line->text == text)
                return true;
    return false;
}

// A game of the player Anna whose quest stands one swap before the end of
// `level`, with four Golden Stars on hand.
struct SavedQuest : GameRig {
    explicit SavedQuest(int level)
        : GameRig([level](const std::string& user) {
              plat::CreateDirectory(user + "Players\\Anna");
              EXPECT_TRUE(one_gem_left::WritePlayer(user + "Players\\Anna", "Anna", level, 4));
          })
    {
        CountSounds(*game);
    }
    // The quest continued from the menu, the swap that strikes the last gem,
    // the results, and on: true once the next state shows.
    bool WinTheLevel()
    {
        if (const char* missing = PlayTheLastSwap(*this)) {
            ADD_FAILURE() << "no " << missing << "; the flow is at " << game->flow.StateName() << ", "
                          << game->flow.StepName();
            return false;
        }
        return true;
    }
};

struct SavedRun {
    int level;
    ChallengeKind kind;
    int number, group;
    // The text a loss shows.
    int lossText;
    // Points a win scores: a pair's plates, a right answer, a catch.
    int32_t winPoints;
};

void PrintTo(const SavedRun& run, std::ostream* out) { *out << "after level " << run.level; }

class BonusLevels : public ::testing::TestWithParam<SavedRun> {};

} // namespace

// From the save the level's last swap leads into its bonus level, which
// the scripted player wins (a Golden Star more, the award, "BonusStar.wav",
// the points of every pair, answer or catch) and then, from the same save,
// loses (the loss text, no star).
TEST_P(BonusLevels, AreWonAndLostFromAQuestSave)
{
    const SavedRun& run = GetParam();
    for (const ChallengePlayer::Aim aim : {ChallengePlayer::Aim::Win, ChallengePlayer::Aim::Lose}) {
        const bool win = aim == ChallengePlayer::Aim::Win;
        SCOPED_TRACE(win ? "won" : "lost");
        plat::SeedRandom(static_cast<unsigned>(run.level));
        SavedQuest game(run.level);
        ASSERT_TRUE(game.WinTheLevel());
        ASSERT_TRUE(game->flow.IsIn<CBonusLevel>());
        const RunningChallenge& c = game->flow.bonusLevel.Challenge();
        ASSERT_EQ(c.kind, run.kind);
        const CGameScreens::ChallengeForm* forms[4] = {&game.Screens().memory, &game.Screens().arcade,
                                                       &game.Screens().thimbles, &game.Screens().blinker};
        EXPECT_EQ(forms[run.kind - kMemory]->captions[0]->MainText()->text, FormatTableText(15, 256, run.number));
        const int32_t stars = game->services.shop->items.goldenStars, score = game->quest.Score();
        const int starSounds = Plays(*game, "BonusStar.wav");

        ChallengePlayer player(game, aim);
        bool awarded = false, lossShown = false, stopShownAtEnd = true;
        int collected = 0, caught = 0, right = 0;
        float starSpeed = 0.0f;
        for (float t = 0.0f; t < 200.0f && game->flow.IsIn<CBonusLevel>(); t += kFrame) {
            player.Act();
            game.Frames(1);
            awarded = awarded || game->services.starAward->running;
            lossShown = lossShown || PopupShows(*game, GetString(run.lossText));
            if (c.memory)
                collected = c.memory->Collected();
            if (c.reaction)
                caught = c.reaction->Caught();
            if (c.attention)
                right = c.attention->RightAnswers();
            if (c.accuracy && c.accuracy->IsWaitingForPlayer())
                starSpeed = c.accuracy->StarSpeed();
            if (game->flow.IsAt<CBonusLevel>(CBonusLevel::kStar) ||
                game->flow.IsAt<CBonusLevel>(CBonusLevel::kFailed))
                stopShownAtEnd = game.Screens().blinker.stop->IsVisible();
        }
        ASSERT_FALSE(game->flow.IsIn<CBonusLevel>());
        EXPECT_EQ(game->services.shop->items.goldenStars, stars + (win ? 1 : 0));
        EXPECT_EQ(awarded, win);
        EXPECT_EQ(Plays(*game, "BonusStar.wav") - starSounds, win ? 1 : 0);
        EXPECT_EQ(game->quest.trophyCounters[2], win ? 1 : 0);
        EXPECT_EQ(lossShown, !win);
        EXPECT_EQ(game->services.capsRenderer->TextureSet(), 0);
        if (run.kind == kReaction) {
            EXPECT_FALSE(stopShownAtEnd);
        }
        if (run.kind == kAccuracy) {
            EXPECT_FLOAT_EQ(starSpeed, run.group == 1 ? 175.0f : 275.0f);
        }
        if (win) {
            EXPECT_EQ(game->quest.Score() - score, run.winPoints);
            if (run.kind == kMemory) {
                EXPECT_EQ(collected, BalanceCountByMode(run.group));
            }
            if (run.kind == kReaction) {
                EXPECT_EQ(caught, 12);
            }
            if (run.kind == kAttention) {
                EXPECT_EQ(right, 10);
            }
        } else if (run.kind == kAttention) {
            EXPECT_EQ(right, 0);
            EXPECT_EQ(Plays(*game, "Wrong.wav"), 10);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, BonusLevels,
    ::testing::Values(SavedRun{11, kMemory, 2, 1, 17, 58 * 100}, SavedRun{15, kReaction, 3, 1, 19, 12 * 500},
                      SavedRun{19, kAttention, 4, 1, 19, 10 * 500}, SavedRun{24, kAccuracy, 5, 2, 17, 19 * 250},
                      SavedRun{29, kMemory, 6, 2, 17, 62 * 100}),
    [](const ::testing::TestParamInfo<SavedRun>& p) { return "AfterLevel" + std::to_string(p.param.level); });

// Level 20 is followed by no bonus level: the story goes on.
TEST(BonusLevels, NoneFollowsLevel20)
{
    SavedQuest game(20);
    ASSERT_TRUE(game.WinTheLevel());
    EXPECT_TRUE(game->flow.IsIn<CBetweenLevels>());
    EXPECT_EQ(game->flow.bonusLevel.Challenge().kind, kOrdinaryLevel);
}

// The plates lie on the board's cells as its tokens do; the stars land in
// the frenzy bar, as many as the skin's count, or 19 for a count below 1
// (the sand box's own reading would make it 1, and a first catch a win).
TEST(BonusLevels, PlatesLieOnTheBoardsCellsAndTheStarsGoalIsTheSkinsBarCount)
{
    SavedQuest memory(11);
    ASSERT_TRUE(memory.WinTheLevel());
    const CGameBoard& board = *memory->services.board;
    const BoardCells& cells = memory->flow.bonusLevel.Challenge().memory->Cells();
    for (const auto& [column, row] : {std::pair{0, 0}, {3, 4}, {7, 7}}) {
        const Vec2 token = board.CellToPoint(column, row, true);
        const Vec3 plate = cells.Centre(static_cast<float>(column), static_cast<float>(row));
        EXPECT_FLOAT_EQ(plate.x, token.x) << column << "," << row;
        EXPECT_FLOAT_EQ(plate.y, token.y) << column << "," << row;
    }

    for (const auto& [count, goal] : {std::pair{"7", 7}, {"0", 19}, {"-3", 19}}) {
        SavedQuest accuracy(5);
        const std::string config = accuracy.UserFolder() + "Data\\Config\\";
        testing_support::WriteText(
            config + "Skin.cfg",
            testing_support::ReadText(accuracy->services.paths.folders[CDataPaths::Config] + "Skin.cfg"));
        ASSERT_TRUE(WriteIniString(config + "Skin.cfg", "FieldQuest", "SandboxFrenzyBarCount", count));
        accuracy->services.paths.folders[CDataPaths::Config] = config;
        ASSERT_TRUE(accuracy.WinTheLevel());
        EXPECT_EQ(accuracy->flow.bonusLevel.Challenge().accuracy->Goal(), goal) << count;
    }
}

// The clock warns at 10 and 5 s left and then every second to 0; the
// Attention challenge has no clock.
TEST(BonusLevels, TheClockWarnsAtTenFiveAndEachSecondToZero)
{
    SavedQuest accuracy(5);
    ASSERT_TRUE(accuracy.WinTheLevel());
    ChallengePlayer idle(accuracy, ChallengePlayer::Aim::Lose);
    std::vector<float> warnings;
    int plays = Plays(*accuracy, "Warning.wav");
    for (float t = 0.0f; t < 60.0f && accuracy->flow.IsIn<CBonusLevel>(); t += kFrame) {
        idle.Act();
        accuracy.Frames(1);
        if (Plays(*accuracy, "Warning.wav") != plays)
            warnings.push_back(accuracy->quest.timeLeft);
        plays = Plays(*accuracy, "Warning.wav");
    }
    const float expected[] = {10, 5, 4, 3, 2, 1, 0};
    ASSERT_EQ(warnings.size(), std::size(expected));
    for (size_t i = 0; i < warnings.size(); ++i)
        EXPECT_NEAR(warnings[i], expected[i], 1.5f * kFrame) << i;

    SavedQuest attention(19);
    ASSERT_TRUE(attention.WinTheLevel());
    ChallengePlayer waiting(attention, ChallengePlayer::Aim::Lose);
    const int before = Plays(*attention, "Warning.wav");
    attention.Seconds(15.0f); // the rules stay up; then nobody answers
    EXPECT_EQ(Plays(*attention, "Warning.wav"), before);
    EXPECT_EQ(attention->quest.timeLeft, 0.0f);
}

// A stop on an empty plate costs 5 s, not below 0, with its message for
// the 1.8 s of the pause's most.
TEST(BonusLevels, AStopThatCatchesNothingCostsFiveSecondsNotBelowZero)
{
    SavedQuest game(15);
    ASSERT_TRUE(game.WinTheLevel());
    ChallengePlayer rules(game, ChallengePlayer::Aim::Lose);
    const RunningChallenge& c = game->flow.bonusLevel.Challenge();
    for (const float before : {50.0f, 3.0f}) {
        ASSERT_TRUE(game.RunUntil(
            [&] {
                rules.CloseTheRules();
                const CountedHandle<CPlate>& open = c.reaction->OpenPlate();
                return c.reaction->IsWaitingForPlayer() && open && open->IsEmpty() && open->ShownFrame() >= 2;
            },
            60.0f));
        game->quest.timeLeft = before;
        const int misses = Plays(*game, "Wrong.wav");
        game.Key(32);
        ASSERT_TRUE(game.RunUntil([&] { return Plays(*game, "Wrong.wav") > misses; }, 1.0f));
        EXPECT_NEAR(game->quest.timeLeft, std::max(0.0f, before - 5.0f), 0.5f) << before;
        EXPECT_GE(game->quest.timeLeft, 0.0f);
        const std::string message = GetString(23) + ". " + GetString(30);
        bool shown = false;
        for (const CountedHandle<CPopup>& popup : game->services.popups->Popups())
            if (!popup->Texts().empty() && popup->Texts()[0]->text == message) {
                shown = true;
                EXPECT_FLOAT_EQ(popup->life, 1.8f);
            }
        EXPECT_TRUE(shown) << before;
    }
    // Out of time in the miss's pause: the level ends once the flashing
    // would go on, and is lost.
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CBonusLevel>(CBonusLevel::kFailed); }, 10.0f));
}

// The time runs out while a mismatch shows: the plates go once it has
// closed, and the level ends.
TEST(BonusLevels, TimeRunningOutDuringAMismatchStillEndsTheLevel)
{
    SavedQuest game(11);
    ASSERT_TRUE(game.WinTheLevel());
    ChallengePlayer rules(game, ChallengePlayer::Aim::Lose);
    const RunningChallenge& c = game->flow.bonusLevel.Challenge();
    ASSERT_TRUE(game.RunUntil(
        [&] {
            rules.CloseTheRules();
            return c.memory->IsWaitingForPlayer();
        },
        20.0f));
    const CMemoryChallenge& memory = *c.memory;
    const CountedHandle<CPlate> first = memory.PlateAt(0, 0);
    CountedHandle<CPlate> other;
    for (int r = 0; r < memory.Rows() && !other; ++r)
        for (int col = 0; col < memory.Columns() && !other; ++col)
            if (const CountedHandle<CPlate> p = memory.PlateAt(col, r); p && p->TokenCode() != first->TokenCode())
                other = p;
    ASSERT_TRUE(first && other);
    game.Click(first->Position().x, first->Position().y);
    ASSERT_TRUE(game.RunUntil([&] { return memory.IsWaitingForPlayer(); }, 1.0f));
    game.Click(other->Position().x, other->Position().y);
    game.Frames(12); // both open, the mismatch shows
    ASSERT_EQ(memory.GetState(), CMemoryChallenge::kChecking);
    game->quest.timeLeft = 0.05f;
    game.Frames(6);
    EXPECT_EQ(game->quest.timeLeft, 0.0f);
    EXPECT_EQ(memory.GetState(), CMemoryChallenge::kChecking); // the mismatch still shows
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CBonusLevel>(CBonusLevel::kFailed); }, 5.0f));
    EXPECT_TRUE(PopupShows(*game, GetString(17)));
}
