// The running quest in its save record: copied in from the game, the board
// and the shop; written when the player leaves a quest; reloaded from a
// checkpoint when a level is lost; and the three ways out of a quest.
#include "game/Game.h"

#include "rays/TokenHighlight.h"

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
    save.difficulty = board->hardMode ? 1 : 0;
    save.resumeKind = phase == kPhaseResults ? 6 : phase == kPhaseShop ? 8 : 1;
    save.stats.Assign(board->stats);
    save.extraLifeSteps = board->savedCounter;
    save.level = level;
    const double meter = SandMeter();
    if (gameType != 0) {
        save.timeLeft = 0.0f;
        save.nextTimeWarning = 0.0f;
        save.lives = 1;
        save.sandAmount = SandAmount();
        std::memset(save.sandMeter, 0, sizeof save.sandMeter);
    } else {
        save.timeLeft = timeLeft;
        save.nextTimeWarning = nextTimeWarning;
        save.lives = lives;
        save.sandAmount = SandAmount();
        std::memcpy(save.sandMeter, &meter, sizeof save.sandMeter);
        save.gemsLeft = board->gemsToCollect;
        save.gemGoal = board->gemsToPlace;
    }
    save.sandRateSteps = board->levelSetting;
    save.hintTimeLeft = 0.0f;
    save.extraIndex = gameType != 0 || board->tutorialColour < 0 ? -1 : board->tutorialColour;
    save.extraFlag = gameType == 0 && phase != kPhaseShop && board->totems.blueTotemsActive ? 1 : 0;
    if (phase == kPhaseShop) {
        save.ClearGrids();
    } else {
        save.SizeGrids();
        for (int r = 0; r < CQuestSave::kRows; ++r)
            for (int c = 0; c < CQuestSave::kColumns; ++c)
                StoreCell(c, r);
    }
    save.keyedCounters.clear();
    save.trophyCounter1 = board->trophyCounters[0];
    save.trophyCounter5 = board->trophyCounters[1];
    save.trophyCounter7 = board->trophyCounters[2];
    if (gameType == 0 && withShop) {
        std::copy(shop->items.levels.begin(), shop->items.levels.end(), save.itemLevels);
        save.stars = shop->stars;
    }
}

// A cell of the board in the record's five grids.
void CGame::StoreCell(int column, int row)
{
    CQuestSave& save = *questSave;
    const CountedHandle<CToken>* cell = board->IsOnBoard(column, row) ? &board->Cell(column, row) : nullptr;
    if (!cell || !*cell) {
        save.SetCell(CQuestSave::TokenCodes, row, column, 1000);
        for (int grid = CQuestSave::ChainFlags; grid < CQuestSave::GridCount; ++grid)
            save.SetCell(grid, row, column, 0);
        return;
    }
    const CToken& t = **cell;
    const bool marked = t.gem != 0;
    const bool rider = t.bonus && !marked;
    save.SetCell(CQuestSave::TokenCodes, row, column, marked ? ~t.colour : t.colour + 1);
    save.SetCell(CQuestSave::ChainFlags, row, column, t.chained);
    save.SetCell(CQuestSave::BonusKinds, row, column, rider ? t.bonus->kind : 0);
    save.SetCell(CQuestSave::BonusParams, row, column, rider ? t.bonus->value : 0);
    save.SetCell(CQuestSave::TokenFlags, row, column, t.settled ? 1 : 0);
}

void CGame::ResetQuestDisplay()
{
    board->timerA = board->timerB = 0.0f;
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
    hiscoreEntered = EnterHiscore(board->stats.tables[1].Get(StatScore));
    return hiscoreEntered;
}

void CGame::ClearLevelForQuit()
{
    board->events.Clear();
    SetSandDrain(false, 0.0f);
    board->FlushTokens();
}

int CGame::QuitQuestToMenu()
{
    ResetQuestDisplay();
    if (phase == kPhaseBonusLevel) {
        FinishChallenge();
        screens->HideForm(ChallengeForm(), 2.0f);
        board->memoryChallenge.Reset();
        board->accuracyChallenge.Reset();
        board->attentionChallenge.Reset();
        board->reactionChallenge.Reset();
        challengeMode = kOrdinaryLevel;
        board->playState = kOrdinaryLevel;
    }
    StoreShopAndSave();
    ClearLevelForQuit();
    phase = kPhaseToMenu;
    Next(0);
    hiscoreEntered = EnterHiscore(board->stats.tables[1].Get(StatScore));
    return hiscoreEntered;
}

int CGame::EndQuestSession()
{
    ResetQuestDisplay();
    board->StopPlay();
    phase = kPhaseQuestOver;
    Next(0);
    hiscoreEntered = EnterHiscore(board->stats.tables[1].Get(StatScore));
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
        save.extraLifeSteps = board->savedCounter;
    if (starAwarded) {
        board->trophyCounters[0] = 0;
        save.trophyCounter1 = 0;
    }
    save.trophyCounter5 = board->trophyCounters[1];
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
