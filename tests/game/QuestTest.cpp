// The scripted quest: the real game object on the null device, seeded, in
// frames of 1/60 s, played only through the mouse and key handlers and the
// cursor's seam, its moves by the level lab's reference player (and the
// lessons' own moves while a lesson runs), its bonus levels by the scripted
// challenge player, who wins them. The first run types a player,
// plays the first level's lesson and on to level 6, and checks the records
// and screens along the way; the second plays all 41 levels to the end of
// the quest.
#include "ChallengePlayer.h"
#include "GameRig.h"

#include "ReferencePlayer.h"
#include "platform/System.h"
#include "records/BestList.h"
#include "records/QuestSave.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// A lesson's move: at its step the token of the first cell goes onto the
// second.
struct LessonMove {
    Lesson lesson;
    int step, column1, row1, column2, row2;
};
constexpr LessonMove kLessonMoves[] = {
    {Lesson::Base, 0, 4, 4, 3, 4},  {Lesson::Bonus, 0, 2, 5, 1, 5}, {Lesson::Bonus, 4, 6, 4, 5, 4},
    {Lesson::Totem, 2, 2, 6, 1, 6}, {Lesson::Totem, 6, 6, 4, 5, 4},
};

std::vector<unsigned char> Bytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    plat::ReadWholeFile(path, &bytes);
    return {bytes.begin(), bytes.end()};
}

class QuestGame : public GameRig {
public:
    using GameRig::GameRig;

    // One frame, with the player's move when the board has rested long
    // enough: a lesson's move while a lesson waits for it, else the
    // reference player's.
    void Frame()
    {
        CGame& g = *game;
        // A trophy reached in play comes over the level: seen, and closed.
        if (g.flow.trophies.OverLevel() && g.flow.IsIn<CPlay>() && Shown(Screens().trophies.form) &&
            g.services.trophies->pendingAwards.empty()) {
            ++trophiesInPlay;
            ClickId(Screens().trophies.form, Command::TrophiesContinue);
        }
        if (g.flow.IsIn<CPlay>()) {
            const CGameBoard& b = *g.services.board;
            const BoardStatus status = b.Status();
            const bool resting = status.inPlay && b.IsIdle() && !status.swapRefused;
            m_rest = resting ? m_rest + kFrame : 0.0f;
            if (m_rest >= kReferenceThinkTime && Move())
                m_rest = 0.0f;
            maxCascade = std::max(maxCascade, status.cascade);
        }
        Frames(1);
        // Every bonus but a gem that a strike fired, once.
        for (const CountedHandle<CBonus>& bonus : g.services.bonuses->bonuses)
            if (bonus->kind != kBonusGem && bonus->state == kBonusFired &&
                std::find(bonusesFired.begin(), bonusesFired.end(), bonus) == bonusesFired.end())
                bonusesFired.push_back(bonus);
    }
    bool PlayUntil(const std::function<bool()>& done, float limit)
    {
        for (float t = 0.0f; t < limit; t += kFrame) {
            if (done())
                return true;
            Frame();
        }
        return done();
    }
    // Play until the level is won (or lost: its checkpoint comes back).
    bool PlayLevel(float limit = 400.0f)
    {
        maxCascade = 0;
        return PlayUntil(
            [&] {
                return game->flow.IsIn<CLevelComplete>() || game->flow.IsIn<CLevelFailed>() ||
                       game->flow.IsIn<CQuestOver>();
            },
            limit);
    }
    // From the won level's results to play on the next level: the story,
    // a bonus level when one follows, a newspaper when a stage opens, the
    // shop and the map.
    bool OnToTheNextLevel()
    {
        if (!RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 20.0f))
            return false;
        // The trophies may come over the results.
        if (game->flow.trophies.OverLevel()) {
            RunUntil(
                [&] {
                    return game->services.trophies->pendingAwards.empty() &&
                           !game->services.trophies->AwardRunning();
                },
                10.0f);
            ClickId(Screens().trophies.form, Command::TrophiesContinue);
        }
        if (!RunUntil([&] { return Shown(Screens().statistics.form); }, 10.0f))
            return false;
        ClickId(Screens().statistics.form, Command::ResultsContinue);
        if (game->flow.IsIn<CBonusLevel>() && !PlayBonusLevel())
            return false;
        return ThroughTheShop();
    }
    // The bonus level, won by the scripted player: a Golden Star more.
    bool PlayBonusLevel()
    {
        const int32_t stars = game->services.shop->items.goldenStars;
        ChallengePlayer player(*this, ChallengePlayer::Aim::Win);
        const bool ended = player.PlayToTheEnd(200.0f) && game->flow.IsIn<CBetweenLevels>();
        ++bonusLevelsPlayed;
        bonusLevelsWon += game->services.shop->items.goldenStars == stars + 1 ? 1 : 0;
        return ended;
    }
    // The story, a newspaper, the shop (its opening writes the checkpoint),
    // the map and the level's start.
    bool ThroughTheShop()
    {
        for (float t = 0.0f; t < 30.0f && !game->flow.IsIn<CShopVisit>(); t += kFrame) {
            if (game->flow.IsIn<CBetweenLevels>() && game->flow.WaitsForPlayer()) {
                if (game->flow.IsAt<CBetweenLevels>(CBetweenLevels::kNewspaper))
                    ++newspapersRead;
                Key(32);
            }
            Frames(1);
        }
        if (!RunUntil([&] { return Shown(Screens().shop.form) && game->services.shop->OpenFraction() >= 1.0f; },
                      10.0f))
            return false;
        Frames(1);
        shopVisits.push_back(
            {Bytes(PlayerFolder(name) + "Quest.sav"), Bytes(PlayerFolder(name) + "QuestAS1.sav")});
        // The shop's lesson takes the first press for itself: Return closes it.
        if (game->flow.lessons.ShopLessonShown())
            Key(13);
        ClickId(Screens().shop.form, Command::ShopDone);
        // Stars left to spend: the shop asks, and the walk is done all the same.
        if (Screens().AskedQuestion() == Question::StarsLeft) {
            if (!RunUntil([&] { return Shown(Screens().msgBox.form); }, 5.0f))
                return false;
            ClickId(Screens().msgBox.form, Command::MessageYes);
        }
        if (!RunUntil(
                [&] { return Shown(Screens().map.form) && game->flow.IsAt<CMapMarch>(CMapMarch::kOnTheMap); },
                10.0f))
            return false;
        lessonsOverTheMap += Screens().tutorial.form->IsVisible() ? 1 : 0;
        ClickId(Screens().map.form, Command::MapPlay);
        return RunUntil([&] { return game->flow.IsIn<CPlay>() && game->services.board->IsIdle(); }, 10.0f);
    }
    // The level-failed box, then the shop again before the same level.
    bool BackFromALostLevel()
    {
        if (!RunUntil([&] { return Shown(Screens().msgBox.form); }, 10.0f) ||
            Screens().AskedQuestion() != Question::LevelFailed)
            return false;
        ClickId(Screens().msgBox.form, Command::MessageOk);
        return ThroughTheShop();
    }
    // A level won, whatever it takes: a lost level comes back and is played
    // again.
    bool WinTheLevel()
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!PlayLevel())
                return false;
            if (game->flow.IsIn<CLevelComplete>())
                return true;
            if (game->flow.IsIn<CQuestOver>() || !BackFromALostLevel())
                return false;
            ++levelsLost;
        }
        return false;
    }
    int32_t QuestScore() { return game->quest.stats.tables[1].Get(StatScore); }
    std::string HudScore() { return game->services.screens->quest.score->MainText()->text; }

    std::string name = "Quester";
    int maxCascade = 0;
    std::vector<CountedHandle<CBonus>> bonusesFired;
    int bonusLevelsPlayed = 0, bonusLevelsWon = 0, newspapersRead = 0, levelsLost = 0, trophiesInPlay = 0;
    // Quest.sav and QuestAS1.sav as each shop's opening left them.
    std::vector<std::pair<std::vector<unsigned char>, std::vector<unsigned char>>> shopVisits;
    // Times a lesson still showed when the map came in.
    int lessonsOverTheMap = 0;

private:
    bool Move()
    {
        const LessonState lesson = game->services.board->CurrentLesson();
        for (const LessonMove& m : kLessonMoves)
            if (lesson.lesson == m.lesson && lesson.step == m.step) {
                ClickCell(m.column1, m.row1);
                ClickCell(m.column2, m.row2);
                return true;
            }
        if (game->flow.lessons.HoldsPresses())
            return false;
        MatchMove move;
        if (!ChooseReferenceMove(*game->services.board, &move))
            return false;
        ClickCell(move.column1, move.row1);
        ClickCell(move.column2, move.row2);
        return true;
    }
    void ClickCell(int column, int row)
    {
        const Vec2 p = Cell(column, row);
        Click(p.x, p.y);
    }

    float m_rest = 0.0f;
};

// A low hiscore table for the quest to enter.
void LowHiscores(const std::string& user)
{
    CHiscoreTable table;
    table.topDefaultScore = 1000;
    table.Load(user + "Data\\GameData\\Game0.tbl");
    table.Save();
}

} // namespace

TEST(Quest, TheFirstSixLevelsWithTheirChecks)
{
    plat::SeedRandom(1234);
    QuestGame game(LowHiscores);
    const std::string folder = game.PlayerFolder(game.name);
    ASSERT_TRUE(game.NewPlayer(game.name));
    ASSERT_TRUE(game.PlayFirstLevel(true));

    // Level 1: its lesson, then play to the goal. The clock counts the time
    // played; the longest cascade is kept.
    EXPECT_EQ(game->services.board->CurrentLesson().lesson, Lesson::Base); // the lesson waits
    ASSERT_TRUE(game.WinTheLevel());
    const CStatTable& level = game->quest.stats.tables[2];
    EXPECT_NEAR(level.GetFloat(StatSeconds), game->services.balance.timeLimit - game->quest.timeLeft, 0.05f);
    EXPECT_EQ(level.Get(StatLongestCascade), game.maxCascade);
    EXPECT_GE(game->quest.stats.tables[1].Get(StatLongestCascade), game.maxCascade);
    EXPECT_EQ(game->services.screens->ScoreCounter().Target(), game.QuestScore());

    // Its results: the whole seconds left times 50 in both tables; a click
    // during the tally shows the exact final score; the best lists take
    // only a better value.
    const int32_t before = game.QuestScore();
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kTallying); }, 10.0f));
    const int32_t bonus = static_cast<int32_t>(game->quest.timeLeft) * 50;
    EXPECT_EQ(game->quest.results.timeBonus, bonus);
    EXPECT_EQ(game.QuestScore(), before + bonus);
    EXPECT_EQ(game->quest.stats.tables[2].Get(StatScore), game->quest.results.levelScore + bonus);
    game.Click(0.0f, -300.0f);
    game.Frames(1);
    EXPECT_EQ(game.HudScore(), std::to_string(game.QuestScore()));
    const std::string shared = game.UserFolder() + "Data\\GameData\\";
    CBestList times(41), scores(41);
    EXPECT_EQ(times.Load(shared + "Ti.bst"), game->quest.results.newBestTime);
    EXPECT_EQ(scores.Load(shared + "Sc.bst"), game->quest.results.newBestScore);
    if (game->quest.results.newBestScore) {
        EXPECT_EQ(scores.Value(1), game->quest.stats.tables[2].Get(StatScore));
        EXPECT_EQ(scores.Name(1), game.name);
    }
    // The statistics rows say what they count: the gems and the bonuses
    // fired, and each of their tokens was one of those cleared.
    std::map<std::string, int> rows;
    for (const ControlRow& row : game.Screens().statistics.levelRows)
        rows[row.At(0)->MainText()->text] = std::stoi(row.At(1)->MainText()->text);
    EXPECT_EQ(rows["Gems and bonuses"],
              game->services.gemsBar->Collected() + static_cast<int>(game.bonusesFired.size()));
    EXPECT_GT(rows["Tokens cleared"], rows["Gems and bonuses"]);

    // On through the shop: its opening writes Quest.sav and QuestAS1.sav alike.
    ASSERT_TRUE(game.OnToTheNextLevel());
    ASSERT_EQ(game.shopVisits.size(), 1u);
    EXPECT_EQ(game->quest.CurrentProfile()->tutShop, 1); // the shop showed its lesson
    EXPECT_EQ(game.lessonsOverTheMap, 0);                // the shop's lesson left with the shop
    EXPECT_EQ(game.shopVisits[0].first.size(), 312u);
    EXPECT_EQ(game.shopVisits[0].first, game.shopVisits[0].second);
    EXPECT_EQ(game->quest.level, 2);

    // Level 2 (its bonus lesson), then on: the old first checkpoint becomes
    // the second.
    ASSERT_TRUE(game.WinTheLevel());
    ASSERT_TRUE(game.OnToTheNextLevel());
    ASSERT_EQ(game.shopVisits.size(), 2u);
    EXPECT_EQ(game.shopVisits[1].first, game.shopVisits[1].second);
    EXPECT_EQ(Bytes(folder + "QuestAS2.sav"), game.shopVisits[0].second);

    // Level 3: the time runs out; the level-failed box brings back the first
    // checkpoint, its shop, and the level again.
    EXPECT_EQ(game->quest.level, 3);
    game.Seconds(2.0f);
    game->quest.timeLeft = 0.2f;
    ASSERT_TRUE(game.PlayLevel());
    EXPECT_TRUE(game->flow.IsIn<CLevelFailed>());
    EXPECT_FALSE(game->quest.reloadedWithoutLives);
    ASSERT_TRUE(game.BackFromALostLevel());
    EXPECT_EQ(game->quest.level, 3);
    ASSERT_TRUE(game.WinTheLevel());
    ASSERT_TRUE(game.OnToTheNextLevel());

    // Level 4: left through the pause menu after idle play; the quest enters
    // the low hiscore table. A new game object resumes the same level, score,
    // lives and board.
    EXPECT_EQ(game->quest.level, 4);
    game.PlayUntil(
        [&] {
            return game->services.questSave->state == 2 &&
                   game->services.questSave->resumeKind == CQuestSave::kResumeInPlay;
        },
        30.0f);
    game.Seconds(4.0f);
    game.Key(27);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->gameMenu.form); }, 3.0f));
    game.ClickId(game->services.screens->gameMenu.form, Command::LeaveQuest);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CMenus>(); }, 10.0f));
    EXPECT_EQ(game->quest.hiscoreEntered, 1);
    EXPECT_EQ(game->services.hiscores.GetName(0).substr(0, game.name.size()), game.name);
    EXPECT_TRUE(GuidEquals(game->services.hiscores.guids[0], game->quest.questGuid));
    CQuestSave left;
    ASSERT_EQ(left.Load(QuestSavePath(folder)), 1);
    EXPECT_EQ(left.level, 4);
    EXPECT_EQ(left.resumeKind, CQuestSave::kResumeInPlay);
    EXPECT_EQ(left.stats.tables[1].Get(StatScore), game.QuestScore());
    game.EndGame();

    QuestGame again({}, d3d::NullDirect3D::StandardAdapters(), game.UserFolder());
    ASSERT_TRUE(again.RunUntil([&] { return GameRig::Shown(again->services.screens->mainMenu.form); }, 30.0f));
    again.ClickId(again->services.screens->mainMenu.form, Command::PlayQuest);
    ASSERT_TRUE(again.RunUntil([&] { return GameRig::Shown(again->services.screens->startQuest.form); }, 5.0f));
    again.ClickId(again->services.screens->startQuest.form, Command::ContinueQuest);
    ASSERT_TRUE(again.RunUntil(
        [&] { return again->flow.Mode() == kModePlaying && again->services.board->IsIdle(); }, 10.0f));
    EXPECT_EQ(again->quest.level, 4);
    EXPECT_EQ(again.QuestScore(), left.stats.tables[1].Get(StatScore));
    EXPECT_EQ(again->quest.lives, left.lives);
    EXPECT_EQ(again.HudScore(), std::to_string(again.QuestScore()));
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const CToken& t = *again->services.board->Cell(c, r);
            EXPECT_EQ(t.gem ? ~t.colour : t.colour + 1, left.Cell(CQuestSave::TokenCodes, r, c)) << c << "," << r;
        }

    // Level 4 won; level 5 won with few seconds left: trophy kind 8.
    ASSERT_TRUE(again.WinTheLevel());
    ASSERT_TRUE(again.OnToTheNextLevel());
    EXPECT_EQ(again->quest.level, 5);
    ASSERT_TRUE(again.PlayUntil(
        [&] {
            // The last gem on its way: the clock says 9 s.
            const auto& gems = again->services.bonuses->bonuses;
            const bool last = again->services.board->GemsToCollect() == 1 &&
                              std::any_of(gems.begin(), gems.end(), [](const CountedHandle<CBonus>& b) {
                                  return b->kind == kBonusGem && b->state == kBonusFired;
                              });
            if (last && again->quest.timeLeft > 9.0f)
                again->quest.timeLeft = 9.0f;
            return !again->flow.IsIn<CPlay>();
        },
        400.0f));
    ASSERT_TRUE(again->flow.IsIn<CLevelComplete>());
    ASSERT_TRUE(again.RunUntil([&] { return again->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 20.0f));
    EXPECT_LE(again->quest.lastGameValue, 10);
    EXPECT_TRUE(again->flow.trophies.OverLevel());
    ASSERT_TRUE(again.RunUntil([&] { return again->services.trophies->pendingAwards.empty(); }, 10.0f));
    EXPECT_GE(again->services.trophies->levels[8], 1);
    EXPECT_EQ(Bytes(folder + "Trophies.dat").size(), 36u);

    // The Accuracy bonus level after level 5: the scripted player catches
    // the stars and wins a Golden Star; the second stage's newspaper comes;
    // level 6 is played.
    ASSERT_TRUE(again.OnToTheNextLevel());
    EXPECT_EQ(again.bonusLevelsPlayed, 1);
    EXPECT_EQ(again.bonusLevelsWon, 1);
    EXPECT_EQ(again.newspapersRead, 1);
    EXPECT_EQ(again->quest.level, 6);
    ASSERT_TRUE(again.WinTheLevel());
    for (const auto& [quest, checkpoint] : again.shopVisits)
        EXPECT_EQ(quest, checkpoint);
}

TEST(Quest, AllFortyOneLevelsToTheQuestsEnd)
{
    plat::SeedRandom(41);
    QuestGame game;
    ASSERT_TRUE(game.NewPlayer(game.name));
    ASSERT_TRUE(game.PlayFirstLevel(true));
    for (int n = 1; n <= 41; ++n) {
        ASSERT_EQ(game->quest.level, n);
        ASSERT_TRUE(game.WinTheLevel()) << "level " << n;
        if (n == 41)
            break;
        ASSERT_TRUE(game.OnToTheNextLevel()) << "after level " << n;
    }
    EXPECT_EQ(game.bonusLevelsPlayed, 8);
    EXPECT_EQ(game.bonusLevelsWon, 8);
    EXPECT_EQ(game.newspapersRead, 4);
    // The last results, the trophies they may bring, the story's last page.
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 20.0f));
    if (game->flow.trophies.OverLevel()) {
        game.RunUntil([&] { return game->services.trophies->pendingAwards.empty(); }, 10.0f);
        game.ClickId(game->services.screens->trophies.form, Command::TrophiesContinue);
    }
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->statistics.form); }, 10.0f));
    game.ClickId(game->services.screens->statistics.form, Command::ResultsContinue);
    ASSERT_TRUE(
        game.RunUntil([&] { return game->flow.IsAt<CBetweenLevels>(CBetweenLevels::kStageProgress); }, 10.0f));
    game.Key(32);
    EXPECT_TRUE(game->flow.IsIn<CQuestComplete>());
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CQuestComplete>(CQuestComplete::kWinners); }, 5.0f));
    game.Key(32);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->trophies.form); }, 5.0f));
    game.ClickId(game->services.screens->trophies.form, Command::TrophiesClose);
    EXPECT_EQ(game->services.trophies->levels[0], 1);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CMenus>(); }, 5.0f));
    const std::string folder = game.PlayerFolder(game.name);
    EXPECT_NE(
        testing_support::ReadText(game.UserFolder() + "Players/" + game.name + "/Settings.ini").find("Veteran=1"),
        std::string::npos);
    for (const char* save : {"Quest.sav", "QuestAS1.sav", "QuestAS2.sav"})
        EXPECT_FALSE(plat::FileExists(folder + save)) << save;
    EXPECT_EQ(game->services.screens->AskedQuestion(), Question::HardModeUnlocked);
    EXPECT_TRUE(game->services.screens->msgBox.form->IsVisible());
}
