// The running quest in its save record: copied in from the game, the board
// and the shop; written when the player leaves a quest; reloaded from a
// checkpoint when a level is lost; and the three ways out of a quest.
#include "game/Game.h"

#include <algorithm>
#include <cstring>

std::string CGame::PlayerFolder() const
{
    return paths.folders[CDataPaths::Players] + (playerName ? *playerName : std::string()) + "\\";
}

bool CGame::QuestInProgress() const
{
    return mode == kModePlaying && questSave && questSave->state == 2 && !levelIntroPending;
}

void CGame::StoreQuestState(bool withShop)
{
    if (!questSave)
        questSave = MakeCountedHandle(new CQuestSave());
    CQuestSave& save = *questSave;
    save.gameTypeFlag = gameType;
    save.questGuid = questGuid;
    save.difficulty = hardMode ? 1 : 0;
    save.resumeKind = phase == kPhaseResults ? CQuestSave::kResumeAtResults
                      : phase == kPhaseShop  ? CQuestSave::kResumeInShop
                                             : CQuestSave::kResumeInPlay;
    save.stats.Assign(stats);
    save.extraLifeSteps = extraLifeSteps;
    save.level = level;
    const double meter = board->SandMeter();
    const BoardSnapshot snapshot = board->Snapshot();
    if (gameType != 0) {
        save.timeLeft = 0.0f;
        save.nextTimeWarning = 0.0f;
        save.lives = 1;
        save.sandAmount = board->SandAmount();
        std::memset(save.sandMeter, 0, sizeof save.sandMeter);
    } else {
        save.timeLeft = timeLeft;
        save.nextTimeWarning = nextTimeWarning;
        save.lives = lives;
        save.sandAmount = board->SandAmount();
        std::memcpy(save.sandMeter, &meter, sizeof save.sandMeter);
        save.gemsLeft = snapshot.gemsToCollect;
        save.gemGoal = snapshot.gemsToPlace;
    }
    save.sandRateSteps = sandRateSteps;
    save.hintTimeLeft = 0.0f;
    save.extraIndex = gameType != 0 || snapshot.waitingTotem < 0 ? -1 : snapshot.waitingTotem;
    save.extraFlag = gameType == 0 && phase != kPhaseShop && snapshot.blueTotems ? 1 : 0;
    if (phase == kPhaseShop) {
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
        std::copy(shop->items.levels.begin(), shop->items.levels.end(), save.itemLevels);
        save.stars = shop->stars;
    }
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

void CGame::ResetQuestDisplay()
{
    autosaveTimer = 0.0f;
    ResetHints();
    screens->SetQuestGroupVisible(gameType != 0, false);
    screens->SetQuestOverlayVisible(false);
}

// The shop's stars come to rest and its state goes into the record.
void CGame::StoreShopAndSave()
{
    if (gameType == 0 && mode == kModePlaying && phase == kPhaseShop && shop->visible &&
        shop->openFraction >= 1.0f) {
        shop->SettleStars();
        StoreQuestState(true);
        questSave->state = 2;
    }
    if (QuestInProgress())
        questSave->Save(QuestSavePath(PlayerFolder()));
}

// Leaving from the map (the board's side) or from the shop: the quest is
// written and the screen left fades out on the way to the main menu.
int CGame::SaveQuestAndLeave(bool fromBoard)
{
    if (fromBoard) {
        if (QuestInProgress())
            questSave->Save(QuestSavePath(PlayerFolder()));
        screens->HideForm(screens->map.form, 2.0f);
    } else {
        StoreShopAndSave();
        shop->Show(0, 2.0f, level + 1);
        screens->HideForm(screens->shop.form, 2.0f);
        HideShopLesson();
    }
    Next(1);
    phase = kPhaseToMenu;
    hiscoreEntered = EnterHiscore(stats.tables[1].Get(StatScore));
    return hiscoreEntered;
}

void CGame::ClearLevelForQuit()
{
    DropBoardEvents();
    board->SetSandDrain(false, 0.0f);
    board->FlushTokens();
}

int CGame::QuitQuestToMenu()
{
    ResetQuestDisplay();
    if (phase == kPhaseBonusLevel) {
        FinishChallenge();
        screens->HideForm(ChallengeForm(), 2.0f);
        ReleaseChallenge();
        RunChallenge(kOrdinaryLevel);
    }
    StoreShopAndSave();
    ClearLevelForQuit();
    phase = kPhaseToMenu;
    Next(0);
    hiscoreEntered = EnterHiscore(stats.tables[1].Get(StatScore));
    return hiscoreEntered;
}

int CGame::EndQuestSession()
{
    ResetQuestDisplay();
    board->StopPlay();
    phase = kPhaseQuestOver;
    Next(0);
    hiscoreEntered = EnterHiscore(stats.tables[1].Get(StatScore));
    return hiscoreEntered;
}

int CGame::LoadQuestCheckpoint(bool noLivesLeft)
{
    ResetQuestDisplay();
    if (!questSave)
        questSave = MakeCountedHandle(new CQuestSave());
    reloadedWithoutLives = noLivesLeft;
    const std::string folder = PlayerFolder();
    const std::string path = noLivesLeft ? SecondCheckpointPath(folder) : FirstCheckpointPath(folder);
    if (!questSave->Load(path) || questSave->resumeKind != 8)
        return 0;
    CQuestSave& save = *questSave;
    if (balance.livesLimited)
        save.lives = balance.maxLives;
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
        RestoreCheckpointCopy(gameType);
    ClearLevelForQuit();
    phase = kPhaseLevelFailed;
    Next(0);
    starAwarded = false;
    return 1;
}

void CGame::DeleteQuestSaves(int typeFlag, bool alsoSecond)
{
    ::DeleteQuestSaves(PlayerFolder(), typeFlag, alsoSecond ? 1 : 0);
}

void CGame::PromoteCheckpoint(int typeFlag) { ::PromoteCheckpoint(PlayerFolder(), typeFlag); }

void CGame::RestoreCheckpointCopy(int typeFlag) { ::RestoreCheckpointCopy(PlayerFolder(), typeFlag); }
