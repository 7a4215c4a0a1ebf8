// STAND-IN until the levels land: the level operations of the game object
// as the flow calls them. A level starts on a board the refill fills at
// random (no level file yet), a saved quest comes back with its numbers (not
// its board), and a tutorial prompt closes as soon as it is raised. The
// levels' own operations replace this file.
#include "game/Game.h"

void CGame::StartLevel(int levelNumber)
{
    level = levelNumber;
    challengeMode = kOrdinaryLevel;
    balance.Reset(gameType, levelNumber);
    board->levelNumber = levelNumber;
    board->enabled = false;
    board->SetLevelDifficulty(levelNumber);
    board->firstFill = 1;
    board->stats.PromoteThird();
    if (gameType != 0)
        return;
    SwapPanelTextures(false, false);
    board->gemsToPlace = board->gemsToCollect = BalanceGemGoal(levelNumber);
    timeLeft = balance.timeLimit;
    nextTimeWarning = 30.0f;
    starsThisLevel = 0;
    starAwarded = false;
}

// The numbers of the saved quest; `resume` reloads a lost level's
// checkpoint, otherwise a quest continued from the menu starts.
static void RestoreFromSave(CGame& game, bool resume)
{
    const CQuestSave& save = *game.questSave;
    game.gameType = save.gameTypeFlag;
    game.questGuid = save.questGuid;
    game.level = save.level;
    game.lives = save.lives;
    game.timeLeft = save.timeLeft;
    game.nextTimeWarning = save.nextTimeWarning;
    game.challengeMode = kOrdinaryLevel;
    game.balance.Reset(game.gameType, save.level);
    CGameBoard& board = *game.board;
    board.Reset(game.gameType);
    board.levelNumber = save.level;
    board.profile = game.profile;
    board.hardMode = save.difficulty != 0;
    board.enabled = false;
    board.ended = false;
    board.locked = false;
    board.SetLevelDifficulty(save.level);
    board.stats.Assign(save.stats);
    board.savedCounter = save.extraLifeSteps;
    board.trophyCounters[0] = save.trophyCounter1;
    board.trophyCounters[1] = save.trophyCounter5;
    board.trophyCounters[2] = save.trophyCounter7;
    board.gemsToCollect = save.gemsLeft;
    board.gemsToPlace = save.gemGoal;
    board.firstFill = 1;
    if (game.gameType == 0) {
        for (int i = 0; i < CShopItemTable::kItems; ++i)
            game.shop->items.levels[static_cast<size_t>(i)] = save.itemLevels[i];
        game.shop->stars = save.stars;
    }
    game.levelIntroPending = !resume && save.resumeKind != 8;
}

void CGame::StartQuestLevel()
{
    RestoreFromSave(*this, false);
    phase = kPhasePlay;
    Next(0);
    mode = questSave->resumeKind == 8 ? kModeShopIntro : kModeLevelIntro;
    SwapPanelTextures(questSave->resumeKind == 8, false);
    capsRenderer->SwitchTextureSet(0);
}

void CGame::ResumeQuestLevel()
{
    RestoreFromSave(*this, true);
    subState = 5;
    capsRenderer->SwitchTextureSet(0);
}

void CGame::ShowTutorialStep(int, int) { ApplyLevelState(true); }

bool CGame::StepTutorial(int, int)
{
    if (board->levelState != 0)
        ApplyLevelState(true);
    return true;
}

void CGame::ApplyLevelState(bool save)
{
    board->OnLevelState(save);
    screens->HideForm(screens->tutorial.form, 8.0f);
}

bool CGame::TokenFixed(const CToken&) const { return false; }
