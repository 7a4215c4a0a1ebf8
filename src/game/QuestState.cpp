// The quest state's verbs: the player chosen and remembered, the lessons
// the player has seen, a new quest, Golden Stars and won levels, extra lives
// and time bonuses, the quest copied into its save record and taken back
// from a checkpoint, and the hiscore entry.
#include "game/QuestState.h"

#include "game/Services.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The flag of a lesson in the player's settings.
int32_t* LessonFlag(CProfile& p, Lesson lesson)
{
    int32_t* const flags[] = {nullptr,     &p.tutBase,  &p.tutGem,  &p.tutWrong, &p.tutTimer, &p.tutSandbox,
                              &p.tutBonus, &p.tutTotem, &p.tutLock, &p.tutSteel, &p.tutShop};
    return flags[static_cast<size_t>(lesson)];
}

} // namespace

CQuestState::CQuestState(CGameServices& services) : m_services(services) {}

void CQuestState::ChoosePlayer()
{
    CGameServices& s = m_services;
    const int index =
        SelectCurrentProfile(*s.profiles, s.gameOptions, s.paths.folders[CDataPaths::UserConfig] + "Options.ini");
    if (index >= 0) {
        profile = s.profiles->At(static_cast<size_t>(index));
        playerName = profile->name;
        s.screens->profileSelected = index;
        if (index >= 5)
            s.screens->profileScroll = index - 5;
        s.screens->ShowPlayerName();
    } else {
        s.screens->SetNameEntry(kDefaultPlayerName, 0);
        nameEntryPending = true;
    }
}

bool CQuestState::MakePlayerCurrent(int index)
{
    CGameServices& s = m_services;
    if (!s.profiles || index < 0 || static_cast<size_t>(index) >= s.profiles->Count())
        return false;
    profile = s.profiles->At(static_cast<size_t>(index));
    playerName = profile->name;
    nameEntryPending = false;
    s.gameOptions.profile = profile->Name();
    s.gameOptions.Write(s.paths.folders[CDataPaths::UserConfig] + "Options.ini");
    return true;
}

CountedHandle<CProfile> CQuestState::CurrentProfile() const
{
    const CountedHandle<CProfiles>& profiles = m_services.profiles;
    if (!profiles || !playerName)
        return {};
    const int index = profiles->FindProfile(*playerName);
    return index < 0 ? CountedHandle<CProfile>() : profiles->At(static_cast<size_t>(index));
}

std::string CQuestState::PlayerFolder() const
{
    return m_services.paths.folders[CDataPaths::Players] + (playerName ? *playerName : std::string()) + "\\";
}

LessonPlan CQuestState::CurrentLessonPlan() const
{
    LessonPlan plan;
    const CountedHandle<CProfile> player = CurrentProfile();
    if (!player)
        return plan;
    plan.on = player->questTutorial != 0;
    for (int i = 1; i < kLessonKinds; ++i)
        plan.seen[static_cast<size_t>(i)] = *LessonFlag(*player, static_cast<Lesson>(i)) != 0;
    return plan;
}

// The player's settings keep what the player has seen.
void CQuestState::MarkLessonSeen(Lesson lesson)
{
    const CountedHandle<CProfile> player = CurrentProfile();
    if (!player || lesson == Lesson::None)
        return;
    *LessonFlag(*player, lesson) = 1;
    player->SaveSettings(m_services.paths.folders[CDataPaths::Players] + player->Name());
}

void CQuestState::StartNew(int difficulty, int32_t startingLives)
{
    questGuid = NewGuidBytes();
    lives = startingLives;
    hardMode = difficulty != 0;
    stats.Reset();
    extraLifeSteps = 0;
    for (int32_t& counter : trophyCounters)
        counter = 0;
    starsThisLevel = 0;
    starAwarded = false;
    levelsWon = 0;
    levelWon = false;
}

void CQuestState::TakeFromSave(const CQuestSave& save)
{
    questGuid = save.questGuid;
    gameType = save.gameTypeFlag;
    hardMode = save.difficulty != 0;
}

void CQuestState::EarnGoldenStar()
{
    CShopItemTable& items = m_services.shop->items;
    items.goldenStars = std::min(items.goldenStars + 1, CShopItemTable::kMostStars);
    ++trophyCounters[0];
    ++trophyCounters[1];
}

void CQuestState::WinLevel()
{
    EarnGoldenStar();
    ++levelsWon;
    levelWon = true;
}

bool CQuestState::TakeExtraLife(int32_t pointsPerLife)
{
    const int32_t score = Score();
    if (static_cast<int64_t>(extraLifeSteps + 1) * pointsPerLife > score)
        return false;
    extraLifeSteps = score / pointsPerLife;
    ++lives;
    return true;
}

void CQuestState::AddTime(float seconds, float timeLimit)
{
    timeLeft += seconds;
    if (timeLeft > 30.0f)
        nextTimeWarning = 30.0f;
    else if (timeLeft > 15.0f)
        nextTimeWarning = 15.0f;
    else if (timeLeft > 10.0f)
        nextTimeWarning = 10.0f;
    else
        nextTimeWarning = std::floor(timeLeft);
    timeLeft = std::clamp(timeLeft, 0.0f, timeLimit);
}

void CQuestState::Store(int32_t resumeKind, bool withShop)
{
    CGameServices& s = m_services;
    if (!s.questSave)
        s.questSave = MakeCountedHandle(new CQuestSave());
    CQuestSave& save = *s.questSave;
    const bool inShop = resumeKind == CQuestSave::kResumeInShop;
    save.gameTypeFlag = gameType;
    save.questGuid = questGuid;
    save.difficulty = hardMode ? 1 : 0;
    save.resumeKind = resumeKind;
    save.stats.Assign(stats);
    save.extraLifeSteps = extraLifeSteps;
    save.level = level;
    const double meter = s.board->SandMeter();
    const BoardSnapshot snapshot = s.board->Snapshot();
    if (gameType != 0) {
        save.timeLeft = 0.0f;
        save.nextTimeWarning = 0.0f;
        save.lives = 1;
        save.sandAmount = s.board->SandAmount();
        std::memset(save.sandMeter, 0, sizeof save.sandMeter);
    } else {
        save.timeLeft = timeLeft;
        save.nextTimeWarning = nextTimeWarning;
        save.lives = lives;
        save.sandAmount = s.board->SandAmount();
        std::memcpy(save.sandMeter, &meter, sizeof save.sandMeter);
        save.gemsLeft = snapshot.gemsToCollect;
        save.gemGoal = snapshot.gemsToPlace;
        // Only a level that goes on in play shows its bar again.
        save.collectedGems.clear();
        if (resumeKind == CQuestSave::kResumeInPlay && s.gemsBar)
            save.collectedGems = s.gemsBar->CollectedColours();
    }
    save.sandRateSteps = sandRateSteps;
    // The hint display's seconds come back with the board; a save outside
    // play carries none.
    save.hintTimeLeft =
        !inShop && s.adviser->IsShown() && s.adviser->SecondsLeft() > 0.0f ? s.adviser->SecondsLeft() : 0.0f;
    save.extraIndex = gameType != 0 || snapshot.waitingTotem < 0 ? -1 : snapshot.waitingTotem;
    save.extraFlag = gameType == 0 && !inShop && snapshot.blueTotems ? 1 : 0;
    if (inShop) {
        save.ClearGrids();
    } else {
        save.SizeGrids();
        for (int r = 0; r < CQuestSave::kRows; ++r)
            for (int c = 0; c < CQuestSave::kColumns; ++c) {
                const BoardSnapshot::Cell& cell = snapshot.cells[static_cast<size_t>(r)][static_cast<size_t>(c)];
                save.SetCell(CQuestSave::TokenCodes, r, c, cell.code);
                save.SetCell(CQuestSave::ChainFlags, r, c, cell.chains);
                save.SetCell(CQuestSave::BonusKinds, r, c, cell.bonusKind);
                save.SetCell(CQuestSave::BonusParams, r, c, cell.bonusValue);
                save.SetCell(CQuestSave::TokenFlags, r, c, cell.fixed ? 1 : 0);
            }
    }
    save.keyedCounters.clear();
    save.trophyCounter1 = trophyCounters[0];
    save.trophyCounter5 = trophyCounters[1];
    save.trophyCounter7 = trophyCounters[2];
    if (gameType == 0 && withShop) {
        std::copy(s.shop->items.levels.begin(), s.shop->items.levels.end(), save.itemLevels);
        save.stars = s.shop->items.goldenStars;
    }
}

void CQuestState::WriteCheckpoint()
{
    m_services.questSave->state = 2;
    SaveQuestWithCheckpoint(*m_services.questSave, PlayerFolder(), gameType);
    levelWon = false;
}

bool CQuestState::LoadCheckpoint(bool noLivesLeft, bool livesLimited, int32_t maxLives)
{
    CGameServices& s = m_services;
    if (!s.questSave)
        s.questSave = MakeCountedHandle(new CQuestSave());
    reloadedWithoutLives = noLivesLeft;
    const std::string folder = PlayerFolder();
    const std::string path = noLivesLeft ? SecondCheckpointPath(folder) : FirstCheckpointPath(folder);
    if (!s.questSave->Load(path) || s.questSave->resumeKind != CQuestSave::kResumeInShop)
        return false;
    CQuestSave& save = *s.questSave;
    if (livesLimited)
        save.lives = maxLives;
    else if (!noLivesLeft)
        save.lives = lives;
    else
        save.lives = std::max(save.lives, BalanceStepByLength(save.level));
    if (!noLivesLeft)
        save.extraLifeSteps = extraLifeSteps;
    if (starAwarded) {
        trophyCounters[0] = 0;
        save.trophyCounter1 = 0;
    }
    save.trophyCounter5 = trophyCounters[1];
    if (noLivesLeft)
        RestoreCheckpointCopy(folder, gameType);
    starAwarded = false;
    return true;
}

void CQuestState::DeleteSaves(bool alsoSecond) { DeleteQuestSaves(PlayerFolder(), gameType, alsoSecond ? 1 : 0); }

int CQuestState::EnterHiscore()
{
    CGameServices& s = m_services;
    const int32_t score = Score();
    const int rank = s.hiscores.FindRank(score);
    if (rank >= s.hiscores.count) {
        s.screens->highScoreHighlight = -1;
        hiscoreEntered = 0;
        return 0;
    }
    const std::string name = playerName ? *playerName : std::string();
    const int entry = s.hiscores.Insert(score, name.c_str(), questGuid);
    s.hiscores.Save();
    s.screens->highScoreTable = 0;
    s.screens->highScoreHighlight = entry;
    s.screens->FillHighScores(0);
    hiscoreEntered = 1;
    return 1;
}

TrophyValues CQuestState::CurrentTrophyValues() const
{
    return MakeTrophyValues(stats, trophyCounters[0], trophyCounters[1], trophyCounters[2],
                            m_services.hiscores.FindRank(Score()) + 1, lastGameValue);
}

// The board a save keeps, for the board to restore.
BoardSnapshot SnapshotOfSave(const CQuestSave& save, int32_t gemsToCollect, int32_t gemsToPlace)
{
    BoardSnapshot snapshot;
    snapshot.hasCells = !save.cells[CQuestSave::TokenCodes].empty();
    if (snapshot.hasCells)
        for (int r = 0; r < CQuestSave::kRows; ++r)
            for (int c = 0; c < CQuestSave::kColumns; ++c) {
                BoardSnapshot::Cell& cell = snapshot.cells[static_cast<size_t>(r)][static_cast<size_t>(c)];
                cell.code = save.Cell(CQuestSave::TokenCodes, r, c);
                cell.chains = save.Cell(CQuestSave::ChainFlags, r, c);
                cell.bonusKind = save.Cell(CQuestSave::BonusKinds, r, c);
                cell.bonusValue = save.Cell(CQuestSave::BonusParams, r, c);
                cell.fixed = save.Cell(CQuestSave::TokenFlags, r, c) == 1;
            }
    snapshot.gemsToCollect = gemsToCollect;
    snapshot.gemsToPlace = gemsToPlace;
    snapshot.hintSeconds = save.hintTimeLeft;
    snapshot.waitingTotem = save.extraIndex;
    snapshot.blueTotems = save.extraFlag != 0;
    return snapshot;
}
