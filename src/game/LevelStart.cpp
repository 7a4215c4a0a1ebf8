// Putting a level on the board: a level of a running game, a quest level
// started from the quest save, or one resumed from it; and the in-level
// tutorial: the prompts the board asks for, the swaps a guided prompt allows,
// and closing a prompt, which marks it as shown in the player's settings.
#include "game/Game.h"

#include "effects/overlays/ScoreSettings.h"
#include "engine/Random.h"
#include "engine/StringTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// String numbers of the tutorial's texts.
enum TutorialText : int32_t {
    kTextSwap = 35,
    kTextGem = 36,
    kTextWrong = 37,
    kTextBonus = 38,
    kTextBonusFire = 39,
    kTextTotemCharge = 40,
    kTextTotemLit = 41,
    kTextLock = 42,
    kTextSteel = 43,
    kTextShop = 44,
    kChargeColourNames = 64,
    kTextDone = 71,
    kLitColourNames = 74,
};

// The quest save's resume code of a level won and waiting in the shop.
constexpr int32_t kResumeInShop = 8;
constexpr float kFormShowSpeed = 5.0f, kShopLessonSpeed = 2.0f, kFormHideSpeed = 8.0f;

std::string LevelFile(const CDataPaths& paths, int level)
{
    char name[32];
    std::snprintf(name, sizeof name, "l%d.lvl", level);
    return paths.folders[CDataPaths::Levels] + name;
}

// A text of the string table with a colour name put in.
std::string WithColour(int32_t text, int32_t names, int colour)
{
    const std::string format = GetString(text);
    const std::string name = GetString(names + std::clamp(colour, 0, 6));
    const size_t at = format.find("%s");
    return at == std::string::npos ? format : format.substr(0, at) + name + format.substr(at + 2);
}

} // namespace

CountedHandle<CProfile> CGame::CurrentProfile() const
{
    if (!profiles || !playerName)
        return {};
    const int index = profiles->FindProfile(*playerName);
    return index < 0 ? CountedHandle<CProfile>() : profiles->At(static_cast<size_t>(index));
}

void CGame::StartLevel(int levelNumber)
{
    level = levelNumber;
    challengeMode = 100;
    balance.Reset(gameType, level);
    CGameBoard& b = *board;
    b.levelNumber = level;
    b.enabled = false;
    b.SetLevelDifficulty(level);
    b.firstFill = 1;
    b.stats.PromoteThird();
    boardQueryPending = false;
    if (gameType != 0)
        return;
    shop->items.ApplyToBalance(balance);
    SwapPanelTextures(false, gameType);
    b.gemsToPlace = b.gemsToCollect = BalanceGemGoal(level);
    b.LoadLevel(LevelFile(paths, level));
    b.gemsBar->goal = b.gemsToPlace;
    b.gemsBar->ResetLevel();
    if (CSandHeightfield* field = b.sandbox->Heightfield().Get()) {
        field->Reset();
        field->draining = false;
    }
    timeLeft = balance.timeLimit;
    nextTimeWarning = 30.0f;
    if (balance.livesLimited)
        lives = balance.maxLives;
    // The totem lesson comes once, on the first level played after a totem
    // was bought; it needs a player to remember it.
    const CountedHandle<CProfile> player = CurrentProfile();
    if (player && player->questTutorial && !player->tutTotem && b.totems.CountOwnedColours() > 0) {
        b.LoadLevel(paths.folders[CDataPaths::Levels] + "Totem.lvl");
        ShowTutorialStep(7, 0);
    }
}

void CGame::StartQuestLevel() { EnterQuestLevel(false); }

void CGame::ResumeQuestLevel() { EnterQuestLevel(true); }

// How the quest save maps onto the game: gameTypeFlag is the game type,
// questGuid the four words the game keeps, difficulty the hard mode,
// resumeKind the resume code, level the level, (timeLeft, nextTimeWarning)
// the level clock and its warning, lives the limit value, sandAmount and
// sandRateSteps the sand box's fill and step count, gemsLeft and gemGoal the
// gems still to collect and still to place, stats the statistics tables,
// extraLifeSteps and the three trophy counters the board's saved words,
// itemLevels and stars the shop's; the board reads hintTimeLeft, extraIndex
// (the totem waiting to fly in), extraFlag (blue totems) and the cells itself
// in its first fill.
void CGame::EnterQuestLevel(bool resume)
{
    const CQuestSave& save = *questSave;
    if (screens)
        screens->SetQuestGroupVisible(false, true);
    questGuid = save.questGuid;
    gameType = save.gameTypeFlag;
    CGameBoard& b = *board;
    b.hardMode = save.difficulty != 0;
    const bool inShop = save.resumeKind == kResumeInShop;
    if (resume) {
        subState = 5;
    } else {
        phase = 1;
        subState = 0;
        phaseEntry = inShop ? 12 : 4;
    }
    SwapPanelTextures(!resume && inShop, gameType);
    if (capsRenderer && !capsRenderer->SwitchTextureSet(0))
        WriteLog("Error switching Caps textures\n");
    challengeMode = 100;
    level = save.level;
    lives = save.lives;
    if (!resume && gameType == 0 && balance.livesLimited)
        lives = std::min(lives, balance.maxLives);
    if (gameType == 0)
        ShowStageBackground();
    EnterQuestBoard(save);
    if (gameType == 0)
        RestoreQuestLevel(save, inShop);
    b.questSave = questSave;
    b.timerA = b.timerB = 0.0f;
    if (screens) {
        screens->SetQuestOverlayVisible(false);
        screens->SetQuestGroupVisible(gameType != 0, true);
    }
    b.fillFlag2 = !resume && !inShop ? 1 : 0;
    b.firstFill = !resume && !inShop ? 3 : 1;
}

void CGame::ShowStageBackground()
{
    int stage = 0, inStage = 0;
    SplitLevelNumber(level, &stage, &inStage);
    SwitchBackgroundForStage(-1, level);
    if (backgrounds)
        backgrounds->SetProgress(inStage - 1, 1);
}

// The board set up for the saved level: its mode, player, difficulty,
// statistics and counters.
void CGame::EnterQuestBoard(const CQuestSave& save)
{
    CGameBoard& b = *board;
    balance.Reset(gameType, level);
    b.Reset(gameType);
    b.levelNumber = level;
    b.profile = CurrentProfile();
    b.hardMode = save.difficulty != 0;
    b.enabled = false;
    b.ended = false;
    b.locked = false;
    b.SetLevelDifficulty(level);
    b.stats.Assign(save.stats);
    b.savedCounter = save.extraLifeSteps;
    b.trophyCounters[0] = save.trophyCounter1;
    b.trophyCounters[1] = save.trophyCounter5;
    b.trophyCounters[2] = save.trophyCounter7;
}

// The quest's own part: the shop's items, the level's file, the gems and the
// sand as the save left them.
void CGame::RestoreQuestLevel(const CQuestSave& save, bool inShop)
{
    CGameBoard& b = *board;
    shop->stars = save.stars;
    std::copy(std::begin(save.itemLevels), std::end(save.itemLevels), shop->items.levels.begin());
    shop->items.SetLimits(level + (inShop ? 1 : 0));
    shop->items.ApplyToBalance(balance);
    shop->ApplyTotemLevels();

    b.gemsToPlace = b.gemsToCollect = BalanceGemGoal(level);
    b.LoadLevel(LevelFile(paths, level));
    const int32_t goal = b.gemsToCollect;
    b.gemsToCollect = save.gemsLeft;
    b.gemsToPlace = save.gemGoal;
    CGemsBar& bar = *b.gemsBar;
    bar.goal = goal;
    bar.ResetLevel();
    // A save that claims more gems than the goal, or fewer than none, shows
    // what the goal allows.
    const int32_t collected = std::clamp(goal - save.gemsLeft, 0, std::max(goal, 0));
    for (int32_t i = 0; i < collected; ++i)
        bar.AddGem(std::min(static_cast<int>(std::floor(RandomUnit() * 7.0f)), 6));

    timeLeft = save.timeLeft;
    nextTimeWarning = save.nextTimeWarning;
    b.levelSetting = save.sandRateSteps;
    if (CSandHeightfield* field = b.sandbox->Heightfield().Get()) {
        field->draining = false;
        field->Reset();
        if (save.sandAmount > 0.0f)
            field->Pour(save.sandAmount, (field->ColumnCount() - 1) / 2.0);
        field->drainRate = BalanceDecay(b.levelSetting) * (b.hardMode ? 0.5f : 1.0f);
    }
}

// The tutorial form points at the second of two cells from between them.
void CGame::PointTutorialAt(int columnA, int rowA, int columnB, int rowB)
{
    const CGameBoard& b = *board;
    const Vec2 a = b.CellToPoint(columnA, rowA, true), c = b.CellToPoint(columnB, rowB, true);
    const float quarter = b.cellHeight / 4;
    screens->PlaceTutorialPanel(std::floor((a.x + c.x) / 2), std::floor((a.y + c.y) / 2 - quarter));
    screens->PlaceTutorialPointer(c.x, c.y + quarter);
    screens->ShowTutorialRow(4);
}

// The first resting token the test picks (rows from the top, columns from
// the left); false when there is none.
bool CGame::PointTutorialAtToken(bool (*test)(const CToken&))
{
    const CGameBoard& b = *board;
    for (int r = 0; r < b.rows; ++r)
        for (int c = 0; c < b.columns; ++c) {
            const CountedHandle<CToken>& t = b.Cell(c, r);
            if (!t || t->state != kTokenResting || !test(*t))
                continue;
            const Vec2 at = b.CellToPoint(c, r, true);
            // The panel stands a quarter cell towards the board's middle.
            const float towards = r < b.rows / 2 ? -b.cellHeight / 4 : b.cellHeight / 4;
            screens->PlaceTutorialPanel(std::floor(at.x), std::floor(at.y + towards));
            screens->PlaceTutorialPointer(at.x, at.y);
            screens->ShowTutorialRow(4);
            return true;
        }
    return false;
}

// A prompt with its text on the panel.
void CGame::ShowTutorialPanel(const std::string& text)
{
    screens->HideTutorialRows();
    screens->tutorial.panelText->SetText(text);
    screens->ShowTutorialRow(1);
}

void CGame::ShowTutorialStep(int prompt, int argument)
{
    const CountedHandle<CProfile> player = CurrentProfile();
    // Without a player the tutorial is off: nothing is shown or written.
    if (!player || !screens) {
        ApplyLevelState(0);
        return;
    }
    float speed = kFormShowSpeed;
    switch (prompt) {
    case 1: // Base
        if (argument != 0) {
            ApplyLevelState(1);
            return;
        }
        ShowTutorialPanel(GetString(kTextSwap));
        PointTutorialAt(4, 4, 3, 4);
        break;
    case 2: // Gem
        ShowTutorialPanel(GetString(kTextGem));
        if (!PointTutorialAtToken([](const CToken& t) { return t.gem != 0; })) {
            ApplyLevelState(1);
            return;
        }
        break;
    case 3: // Wrong
        screens->HideTutorialRows();
        screens->tutorial.title->SetText(GetString(kTextWrong));
        screens->ShowTutorialRow(0);
        break;
    case 4: // Timer
    case 5: // Sandbox
        screens->HideTutorialRows();
        screens->ShowTutorialRow(prompt - 2);
        break;
    case 6: // Bonus
        ShowTutorialPanel(GetString(argument == 0 ? kTextBonus : kTextBonusFire));
        if (argument == 0)
            PointTutorialAt(2, 5, 1, 5);
        else
            PointTutorialAt(6, 4, 5, 4);
        break;
    case 7: // Totem
        if (!ShowTotemStep(argument))
            return;
        break;
    case 8: // Lock
        ShowTutorialPanel(GetString(kTextLock));
        if (!PointTutorialAtToken([](const CToken& t) { return t.chained != 0; })) {
            ApplyLevelState(1);
            return;
        }
        break;
    case 9: // Steel
        ShowTutorialPanel(GetString(kTextSteel));
        if (!PointTutorialAtToken([](const CToken& t) { return t.colour > 97; })) {
            ApplyLevelState(1);
            return;
        }
        break;
    case 10: // Shop
        screens->HideTutorialRows();
        screens->tutorial.shopText->SetText(GetString(kTextShop));
        screens->ShowTutorialRow(5);
        player->tutShop = 1;
        player->SaveSettings(paths.folders[CDataPaths::Players] + player->Name());
        speed = kShopLessonSpeed;
        break;
    default:
        return;
    }
    screens->ShowForm(screens->tutorial.form, speed);
}

// The shop's lesson leaves with the shop.
void CGame::HideShopLesson()
{
    if (screens->tutorial.form->IsVisible())
        screens->HideForm(screens->tutorial.form, kFormHideSpeed);
}

// The totem lesson's prompts; false when nothing is to be shown.
bool CGame::ShowTotemStep(int argument)
{
    CGameBoard& b = *board;
    switch (argument) {
    case 0:
        // The lesson starts over on its own board; the event that said so
        // is not news to the game.
        b.SetLevelState(7, 0);
        b.events.Erase(b.events.Size() - 1);
        return false;
    case 2:
        ShowTutorialPanel(WithColour(kTextTotemCharge, kChargeColourNames, b.tutorialColour));
        PointTutorialAt(2, 6, 1, 6);
        return true;
    case 6:
        ShowTutorialPanel(WithColour(kTextTotemLit, kLitColourNames, b.tutorialColour));
        PointTutorialAt(6, 4, 5, 4);
        return true;
    case 10:
        ApplyLevelState(1);
        return false;
    default:
        return false;
    }
}

int CGame::StepTutorial(int column, int row)
{
    CGameBoard& b = *board;
    const int s = b.levelState, t = b.levelSubState;
    auto is = [column, row](int c, int r) { return column == c && row == r; };
    // The player went their own way: the lesson ends and the swap is made.
    auto leave = [this] {
        ApplyLevelState(1);
        return 1;
    };
    auto advance = [this, &b] {
        ++b.levelSubState;
        if (screens)
            screens->HideForm(screens->tutorial.form, kFormHideSpeed);
        if (b.levelSubState > 5)
            ApplyLevelState(1);
        return 1;
    };
    switch (s) {
    case 1:
        return t == 1 && !is(3, 4) ? leave() : advance();
    case 6:
        return (t == 1 && !is(1, 5)) || (t == 3 && !is(5, 4)) ? leave() : advance();
    case 7:
        // The totem lesson refuses any other swap and ends.
        if ((t != 3 || is(1, 6)) && (t != 7 || is(5, 4))) {
            ++b.levelSubState;
            if (screens)
                screens->HideForm(screens->tutorial.form, kFormHideSpeed);
            if (b.levelSubState < 9)
                return 1;
        }
        ApplyLevelState(1);
        return 0;
    default:
        return leave();
    }
}

void CGame::ApplyLevelState(int save)
{
    CGameBoard& b = *board;
    if (b.levelState == 7) {
        // The lesson's board gives way to the level's own.
        b.LoadLevel(LevelFile(paths, level));
        subState = 0;
        phase = 14;
        if (save) {
            const Vec2 centre = b.CellToPoint(b.columns / 2, b.rows / 2, true);
            b.popups.AddTextPopup(GetString(kTextDone), 1.0f, 0, centre.x, centre.y, ScoreMessageSettings().z);
        }
    }
    b.OnLevelState(save != 0);
    if (screens)
        screens->HideForm(screens->tutorial.form, kFormHideSpeed);
}
