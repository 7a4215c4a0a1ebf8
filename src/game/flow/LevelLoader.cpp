// Levels put on the board, fresh or from the quest's save.
#include "game/flow/LevelLoader.h"

#include "engine/Random.h"
#include "game/Lessons.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
std::string LevelFile(const CDataPaths& paths, int level)
{
    char name[32];
    std::snprintf(name, sizeof name, "l%d.lvl", level);
    return paths.folders[CDataPaths::Levels] + name;
}
// The gem tokens of a board a save keeps (a gem's code is the complement
// of its colour).
int32_t GemsOnSavedBoard(const CQuestSave& save)
{
    int32_t gems = 0;
    for (int r = 0; r < CQuestSave::kRows; ++r)
        for (int c = 0; c < CQuestSave::kColumns; ++c)
            gems += save.Cell(CQuestSave::TokenCodes, r, c) < 0 ? 1 : 0;
    return gems;
}

// A colour the level draws its tokens from.
int RandomColourOf(const BoardSetup& setup)
{
    const std::vector<int32_t>& colours = setup.colours;
    if (colours.empty())
        return std::min(static_cast<int>(std::floor(RandomUnit() * 7.0f)), 6);
    const size_t n = colours.size();
    return colours[std::min(static_cast<size_t>(std::floor(RandomUnit() * static_cast<float>(n))), n - 1)];
}

} // namespace

GemCounts HoldGemCounts(int32_t goal, int32_t toCollect, int32_t toPlace, int32_t gemsOnBoard)
{
    GemCounts held;
    held.toCollect = std::clamp(toCollect, 0, std::max(goal, 0));
    const int64_t missing = static_cast<int64_t>(held.toCollect) - std::max(gemsOnBoard, 0);
    held.toPlace = std::clamp(toPlace, static_cast<int32_t>(std::max<int64_t>(missing, 0)), held.toCollect);
    return held;
}

CLevelLoader::CLevelLoader(CGameFlow& flow, CGameServices& services, CQuestState& quest)
    : m_flow(flow), m_services(services), m_quest(quest)
{}

// The cells a guided lesson given on the level's own board points at hold
// tokens the player can move, whatever chains and steel the level draws.
BoardSetup CLevelLoader::QuestLevelSetup(int level) const
{
    BoardSetup setup = LevelSetup(level, m_quest.hardMode, BalanceGemGoal(level));
    LoadLevelFile(&setup, LevelFile(m_services.paths, level));
    if (level == kBaseLessonLevel)
        setup.plainCells = LessonCells(Lesson::Base);
    else if (level == kBonusLessonLevel)
        setup.plainCells = LessonCells(Lesson::Bonus);
    return setup;
}

// A player who is no veteran takes the tutorial again.
void CLevelLoader::StartNewQuest(int difficulty)
{
    CGameServices& s = m_services;
    CQuestState& q = m_quest;
    s.screens->quest.form->SetEnabled(true);
    m_flow.level.lifeLost = CLevel::LifeLostSequence{};
    if (q.profile && !q.profile->veteran) {
        q.profile->ResetQuestTutorial();
        q.profile->SaveSettings(s.paths.folders[CDataPaths::Players] + q.profile->Name());
    }
    s.balance.Reset(0, 1);
    q.StartNew(difficulty, s.balance.livesLimited ? s.balance.maxLives : 3);
    s.board->Reset(0);
    s.board->StartLevel(LevelSetup(1, q.hardMode, BalanceGemGoal(1)));
    s.board->SetSandActive(false);
    if (q.gameType == 0) {
        if (s.backgrounds)
            s.backgrounds->SetScene(CBackgroundManager::kMuseum);
        // The shop starts over with the quest: what level 1 offers and owns.
        s.shop->items.ResetLevels();
        s.shop->items.goldenStars = 0;
        s.shop->items.SetLimits(1);
        s.shop->ApplyTotemLevels();
        StartLevel(1);
        q.timeLeft = s.balance.timeLimit;
        q.nextTimeWarning = 30.0f;
        s.board->SetSandDrain(false, 0.0f);
    }
    q.Store(CQuestSave::kResumeInPlay, true);
    s.questSave->state = 1;
    q.levelIntroPending = true;
    s.adviser->Reset();
    m_flow.level.ResetHints();
}

bool CLevelLoader::StartLevel(int number)
{
    CGameServices& s = m_services;
    CQuestState& q = m_quest;
    // Past the last level there is nothing to play, and the record of such a
    // level could never be read back.
    if (number < 1 || number > CQuestSave::kLastLevel) {
        WriteLog("Error. No quest level " + std::to_string(number) + " to start\n");
        return false;
    }
    q.level = number;
    s.balance.Reset(q.gameType, q.level);
    q.stats.PromoteThird();
    if (q.gameType != 0) {
        s.board->StartLevel(LevelSetup(q.level, q.hardMode, BalanceGemGoal(q.level)));
        return true;
    }
    s.shop->items.ApplyToBalance(s.balance);
    s.SwapPanelTextures(false, q.gameType);
    BoardSetup setup = QuestLevelSetup(q.level);
    q.timeLeft = s.balance.timeLimit;
    q.nextTimeWarning = 30.0f;
    if (s.balance.livesLimited)
        q.lives = s.balance.maxLives;
    const CountedHandle<CProfile> player = q.CurrentProfile();
    if (player && player->questTutorial && !player->tutTotem && s.totems->CountOwnedColours() > 0) {
        // The lesson's board takes the level's chains and steel, but never on
        // the lesson's own cells.
        LoadLevelFile(&setup, s.paths.folders[CDataPaths::Levels] + "Totem.lvl");
        setup.lesson = Lesson::Totem;
        setup.plainCells = LessonCells(Lesson::Totem);
    }
    s.board->StartLevel(setup);
    return true;
}

CFlowState& CLevelLoader::StartQuestLevel()
{
    if (EnterQuestLevel(false))
        return m_flow.shopIntro;
    return m_flow.levelIntro;
}

void CLevelLoader::ResumeQuestLevel() { EnterQuestLevel(true); }

// How the quest save maps onto the game: gameTypeFlag is the game type,
// questGuid the four words the game keeps, difficulty the hard mode,
// resumeKind where it goes on, level the level, (timeLeft, nextTimeWarning)
// the level clock and its warning, lives the limit value, sandAmount and
// sandRateSteps the sand box's fill and step count, gemsLeft and gemGoal the
// gems still to collect and still to place, stats the statistics tables,
// extraLifeSteps and the three trophy counters the quest's counters,
// itemLevels and stars the shop's; the board restores its cells,
// hintTimeLeft, extraIndex (the totem waiting to fly in) and extraFlag
// (blue totems) in its first fill.
bool CLevelLoader::EnterQuestLevel(bool resume)
{
    CGameServices& s = m_services;
    CQuestState& q = m_quest;
    const CQuestSave& save = *s.questSave;
    if (s.screens)
        s.screens->SetQuestGroupVisible(false, true);
    q.TakeFromSave(save);
    const bool inShop = save.resumeKind == CQuestSave::kResumeInShop;
    s.SwapPanelTextures(!resume && inShop, q.gameType);
    if (s.capsRenderer && !s.capsRenderer->SwitchTextureSet(0))
        WriteLog("Error switching Caps textures\n");
    q.level = save.level;
    q.lives = save.lives;
    // The lives cap is the one of the level played last.
    if (!resume && q.gameType == 0 && s.balance.livesLimited)
        q.lives = std::min(q.lives, s.balance.maxLives);
    if (q.gameType == 0)
        ShowStageBackground();
    EnterQuestBoard(save);
    if (q.gameType == 0)
        RestoreQuestLevel(save, inShop);
    // A level resumed from play restores its board; one won and waiting in
    // the shop, or reloaded, starts on a new one.
    if (!resume && !inShop)
        s.board->Restore(SnapshotOfSave(save, s.board->GemsToCollect(), s.board->GemsToPlace()));
    if (s.screens) {
        s.screens->SetQuestOverlayVisible(false);
        s.screens->SetQuestGroupVisible(q.gameType != 0, true);
    }
    return inShop;
}

void CLevelLoader::ShowStageBackground()
{
    int stage = 0, inStage = 0;
    SplitLevelNumber(m_quest.level, &stage, &inStage);
    m_services.SwitchBackgroundForStage(-1, m_quest.level);
    if (m_services.backgrounds)
        m_services.backgrounds->SetProgress(inStage - 1, 1);
}

// The board set up for the saved level: its mode and difficulty, and the
// quest's statistics and counters.
void CLevelLoader::EnterQuestBoard(const CQuestSave& save)
{
    CGameServices& s = m_services;
    CQuestState& q = m_quest;
    s.balance.Reset(q.gameType, q.level);
    s.board->Reset(q.gameType);
    s.board->StartLevel(LevelSetup(q.level, q.hardMode, BalanceGemGoal(q.level)));
    q.stats.Assign(save.stats);
    q.extraLifeSteps = save.extraLifeSteps;
    q.trophyCounters[0] = save.trophyCounter1;
    q.trophyCounters[1] = save.trophyCounter5;
    q.trophyCounters[2] = save.trophyCounter7;
}

// The quest's own part: the shop's items, the level's file, the gems and the
// sand as the save left them.
void CLevelLoader::RestoreQuestLevel(const CQuestSave& save, bool inShop)
{
    CGameServices& s = m_services;
    CQuestState& q = m_quest;
    s.shop->items.RestoreSaved(save.itemLevels, save.stars, q.level + (inShop ? 1 : 0));
    s.shop->items.ApplyToBalance(s.balance);
    s.shop->ApplyTotemLevels();

    const BoardSetup setup = QuestLevelSetup(q.level);
    s.board->StartLevel(setup);
    const int32_t goal = std::max(setup.gemGoal, 0);
    const GemCounts gems = HoldGemCounts(goal, save.gemsLeft, save.gemGoal, GemsOnSavedBoard(save));
    s.board->SetGemCounts(gems.toCollect, gems.toPlace);
    // The bar shows the gems collected as the save keeps them; one that
    // keeps fewer (an older save) shows the rest in the level's colours.
    const size_t collected = static_cast<size_t>(goal - gems.toCollect);
    for (size_t i = 0; i < collected; ++i)
        s.gemsBar->AddGem(i < save.collectedGems.size() ? save.collectedGems[i] : RandomColourOf(setup));

    // The clock never shows more than the level's time, which the items
    // just held decide.
    q.timeLeft = std::min(save.timeLeft, s.balance.timeLimit);
    q.nextTimeWarning = save.nextTimeWarning;
    q.sandRateSteps = save.sandRateSteps;
    s.board->RestoreSand(save.sandAmount, BalanceDecay(q.sandRateSteps) * (q.hardMode ? 0.5f : 1.0f));
}
