// A quest's beginning and end: a new quest set up from nothing, the quest's
// score offered to the hiscore table, the panel pictures swapped between the
// quest and the shop, and the running quest written when the window goes.
#include "game/Game.h"

#include "engine/DataPaths.h"
#include "engine/Log.h"

void CGame::StartNewQuest(int difficulty)
{
    questGuid = NewGuidBytes();
    screens->quest.form->SetEnabled(true);
    lifeLost = LifeLostSequence{};
    if (profile && !profile->veteran) {
        profile->ResetQuestTutorial();
        profile->SaveSettings(paths.folders[CDataPaths::Players] + profile->Name());
    }
    balance.Reset(0, 1);
    lives = balance.livesLimited ? balance.maxLives : 3;
    hardMode = difficulty != 0;
    board->Reset(0);
    RunChallenge(kOrdinaryLevel);
    board->StartLevel(LevelSetup(1, hardMode, BalanceGemGoal(1)));
    board->SetSandActive(false);
    stats.Reset();
    extraLifeSteps = 0;
    for (int32_t& counter : trophyCounters)
        counter = 0;
    starsThisLevel = 0;
    starAwarded = false;
    levelsWon = 0;
    if (gameType == 0) {
        if (backgrounds)
            backgrounds->SetScene(CBackgroundManager::kMuseum);
        for (int32_t& item : shop->items.levels)
            item = 0;
        shop->stars = 0;
        StartLevel(1);
        timeLeft = balance.timeLimit;
        nextTimeWarning = 30.0f;
        board->SetSandDrain(false, 0.0f);
    }
    if (!questSave)
        questSave = MakeCountedHandle(new CQuestSave());
    StoreQuestState(true);
    questSave->state = 1;
    levelIntroPending = true;
    levelWon = false;
    adviser->Reset();
    adviser->Hide();
    ResetHints();
}

int CGame::EnterHiscore(int32_t score)
{
    const int rank = hiscores.FindRank(score);
    if (rank >= hiscores.count) {
        screens->highScoreHighlight = -1;
        return 0;
    }
    const std::string name = playerName ? *playerName : std::string();
    const int entry = hiscores.Insert(score, name.c_str(), questGuid);
    hiscores.Save();
    screens->highScoreTable = 0;
    screens->highScoreHighlight = entry;
    screens->FillHighScores(0);
    return 1;
}

// A missing texture is logged and skipped; the swap goes on.
void CGame::SwapPanelTextures(bool toShop, int keep)
{
    panelTextures = toShop ? 1 : 0;
    totems->RecreateTextures(toShop ? 1 : 0, paths.folders[CDataPaths::Gfx]);
    if (!device)
        return;
    auto release = [this](const char* name) {
        if (CountedHandle<CTexture> t = device->FindTexture(name))
            t->ReleaseD3DResource();
        else
            WriteLog(std::string("Unable to find texture ") + name + " (Release)\n");
    };
    auto recreate = [this](const char* name) {
        CountedHandle<CTexture> t = device->FindTexture(name);
        if (!t)
            WriteLog(std::string("Unable to find texture ") + name + " (Recreate)\n");
        else if (!t->texture)
            t->Recreate(device->Device());
    };
    if (toShop) {
        release("PanelQuest");
        recreate("ShopFrame");
        return;
    }
    release("ShopFrame");
    if (!keep) {
        recreate("PanelQuest");
        recreate("BigStar");
    }
}

// The shop's stars are settled and its state stored before the quest is
// written.
void CGame::SaveQuestOnExit()
{
    if (!board || !questSave)
        return;
    if (gameType == 0 && mode == kModePlaying && phase == kPhaseShop) {
        shop->SettleStars();
        shop->Show(0, 0.0f, level + 1);
        StoreQuestState(true);
        questSave->state = 2;
    }
    if (QuestInProgress())
        questSave->Save(QuestSavePath(PlayerFolder()));
}
