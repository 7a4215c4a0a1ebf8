// Putting a level on the board: a level of a running game, a quest level
// started from the quest save, or one resumed from it; and the in-level
// tutorial: the prompts the board asks for, the swaps a guided prompt allows,
// and closing a prompt, which marks it as shown in the player's settings.
#include "game/Game.h"

#include "effects/overlays/ScoreSettings.h"
#include "engine/Random.h"
#include "engine/StringTable.h"
#include "game/Lessons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The flag of a lesson in the player's settings.
int32_t* LessonFlag(CProfile& p, Lesson lesson)
{
    int32_t* const flags[] = {nullptr,     &p.tutBase,  &p.tutGem,  &p.tutWrong, &p.tutTimer, &p.tutSandbox,
                              &p.tutBonus, &p.tutTotem, &p.tutLock, &p.tutSteel, &p.tutShop};
    return flags[static_cast<size_t>(lesson)];
}

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
    RunChallenge(kOrdinaryLevel);
    balance.Reset(gameType, level);
    stats.PromoteThird();
    boardQueryPending = false;
    BoardSetup setup = LevelSetup(level, hardMode, BalanceGemGoal(level));
    if (gameType != 0) {
        board->StartLevel(setup);
        return;
    }
    shop->items.ApplyToBalance(balance);
    SwapPanelTextures(false, gameType);
    LoadLevelFile(&setup, LevelFile(paths, level));
    timeLeft = balance.timeLimit;
    nextTimeWarning = 30.0f;
    if (balance.livesLimited)
        lives = balance.maxLives;
    // The totem lesson comes once, on the first level played after a totem
    // was bought; it needs a player to remember it.
    const CountedHandle<CProfile> player = CurrentProfile();
    if (player && player->questTutorial && !player->tutTotem && totems->CountOwnedColours() > 0) {
        LoadLevelFile(&setup, paths.folders[CDataPaths::Levels] + "Totem.lvl");
        setup.lesson = Lesson::Totem;
    }
    board->StartLevel(setup);
}

void CGame::StartQuestLevel() { EnterQuestLevel(false); }

void CGame::ResumeQuestLevel() { EnterQuestLevel(true); }

// How the quest save maps onto the game: gameTypeFlag is the game type,
// questGuid the four words the game keeps, difficulty the hard mode,
// resumeKind the resume code, level the level, (timeLeft, nextTimeWarning)
// the level clock and its warning, lives the limit value, sandAmount and
// sandRateSteps the sand box's fill and step count, gemsLeft and gemGoal the
// gems still to collect and still to place, stats the statistics tables,
// extraLifeSteps and the three trophy counters the quest's counters,
// itemLevels and stars the shop's; the board restores its cells,
// hintTimeLeft, extraIndex (the totem waiting to fly in) and extraFlag
// (blue totems) in its first fill.
void CGame::EnterQuestLevel(bool resume)
{
    const CQuestSave& save = *questSave;
    if (screens)
        screens->SetQuestGroupVisible(false, true);
    questGuid = save.questGuid;
    gameType = save.gameTypeFlag;
    hardMode = save.difficulty != 0;
    const bool inShop = save.resumeKind == CQuestSave::kResumeInShop;
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
    level = save.level;
    lives = save.lives;
    if (!resume && gameType == 0 && balance.livesLimited)
        lives = std::min(lives, balance.maxLives);
    if (gameType == 0)
        ShowStageBackground();
    EnterQuestBoard(save);
    if (gameType == 0)
        RestoreQuestLevel(save, inShop);
    // A level resumed from play restores its board; one won and waiting in
    // the shop, or reloaded, starts on a new one.
    if (!resume && !inShop)
        board->Restore(SnapshotOfSave(save, board->GemsToCollect(), board->GemsToPlace()));
    if (screens) {
        screens->SetQuestOverlayVisible(false);
        screens->SetQuestGroupVisible(gameType != 0, true);
    }
}

void CGame::ShowStageBackground()
{
    int stage = 0, inStage = 0;
    SplitLevelNumber(level, &stage, &inStage);
    SwitchBackgroundForStage(-1, level);
    if (backgrounds)
        backgrounds->SetProgress(inStage - 1, 1);
}

// The board set up for the saved level: its mode and difficulty, and the
// quest's statistics and counters.
void CGame::EnterQuestBoard(const CQuestSave& save)
{
    balance.Reset(gameType, level);
    board->Reset(gameType);
    RunChallenge(kOrdinaryLevel);
    board->StartLevel(LevelSetup(level, hardMode, BalanceGemGoal(level)));
    stats.Assign(save.stats);
    extraLifeSteps = save.extraLifeSteps;
    trophyCounters[0] = save.trophyCounter1;
    trophyCounters[1] = save.trophyCounter5;
    trophyCounters[2] = save.trophyCounter7;
}

// The quest's own part: the shop's items, the level's file, the gems and the
// sand as the save left them.
void CGame::RestoreQuestLevel(const CQuestSave& save, bool inShop)
{
    shop->stars = save.stars;
    std::copy(std::begin(save.itemLevels), std::end(save.itemLevels), shop->items.levels.begin());
    shop->items.SetLimits(level + (inShop ? 1 : 0));
    shop->items.ApplyToBalance(balance);
    shop->ApplyTotemLevels();

    BoardSetup setup = LevelSetup(level, hardMode, BalanceGemGoal(level));
    LoadLevelFile(&setup, LevelFile(paths, level));
    board->StartLevel(setup);
    const int32_t goal = setup.gemGoal;
    board->SetGemCounts(save.gemsLeft, save.gemGoal);
    // A save that claims more gems than the goal, or fewer than none, shows
    // what the goal allows.
    const int32_t collected = std::clamp(goal - save.gemsLeft, 0, std::max(goal, 0));
    for (int32_t i = 0; i < collected; ++i)
        gemsBar->AddGem(std::min(static_cast<int>(std::floor(RandomUnit() * 7.0f)), 6));

    timeLeft = save.timeLeft;
    nextTimeWarning = save.nextTimeWarning;
    sandRateSteps = save.sandRateSteps;
    board->RestoreSand(save.sandAmount, BalanceDecay(sandRateSteps) * (hardMode ? 0.5f : 1.0f));
}

// The tutorial form points at the second of two cells from between them.
void CGame::PointTutorialAt(int columnA, int rowA, int columnB, int rowB)
{
    const Vec2 a = board->CellToPoint(columnA, rowA, true), c = board->CellToPoint(columnB, rowB, true);
    const float quarter = board->CellHeight() / 4;
    screens->PlaceTutorialPanel(std::floor((a.x + c.x) / 2), std::floor((a.y + c.y) / 2 - quarter));
    screens->PlaceTutorialPointer(c.x, c.y + quarter);
    screens->ShowTutorialRow(4);
}

// The first resting token the test picks (rows from the top, columns from
// the left); false when there is none.
bool CGame::PointTutorialAtToken(bool (*test)(const CToken&))
{
    MatchCell cell;
    if (!board->FindRestingToken(test, &cell))
        return false;
    const Vec2 at = board->CellToPoint(cell.column, cell.row, true);
    // The panel stands a quarter cell towards the board's middle.
    const float quarter = board->CellHeight() / 4;
    const float towards = cell.row < board->Geometry().rows / 2 ? -quarter : quarter;
    screens->PlaceTutorialPanel(std::floor(at.x), std::floor(at.y + towards));
    screens->PlaceTutorialPointer(at.x, at.y);
    screens->ShowTutorialRow(4);
    return true;
}

// A prompt with its text on the panel.
void CGame::ShowTutorialPanel(const std::string& text)
{
    screens->HideTutorialRows();
    screens->tutorial.panelText->SetText(text);
    screens->ShowTutorialRow(1);
}

void CGame::ShowTutorialStep(Lesson lesson, int step)
{
    const CountedHandle<CProfile> player = CurrentProfile();
    // Without a player the tutorial is off: nothing is shown or written.
    if (!player || !screens) {
        ApplyLevelState(0);
        return;
    }
    float speed = kFormShowSpeed;
    switch (lesson) {
    case Lesson::Base:
        if (step != lesson_step::kPrompt) {
            ApplyLevelState(1);
            return;
        }
        ShowTutorialPanel(GetString(kTextSwap));
        PointTutorialAt(4, 4, 3, 4);
        break;
    case Lesson::Gem:
        ShowTutorialPanel(GetString(kTextGem));
        if (!PointTutorialAtToken([](const CToken& t) { return t.gem != 0; })) {
            ApplyLevelState(1);
            return;
        }
        break;
    case Lesson::Wrong:
        screens->HideTutorialRows();
        screens->tutorial.title->SetText(GetString(kTextWrong));
        screens->ShowTutorialRow(0);
        break;
    case Lesson::Timer:
    case Lesson::Sandbox:
        // The lesson form's rows 2 and 3 show them.
        screens->HideTutorialRows();
        screens->ShowTutorialRow(lesson == Lesson::Timer ? 2 : 3);
        break;
    case Lesson::Bonus:
        ShowTutorialPanel(GetString(step == lesson_step::kPrompt ? kTextBonus : kTextBonusFire));
        if (step == lesson_step::kPrompt)
            PointTutorialAt(2, 5, 1, 5);
        else
            PointTutorialAt(6, 4, 5, 4);
        break;
    case Lesson::Totem:
        if (!ShowTotemStep(step))
            return;
        break;
    case Lesson::Lock:
        ShowTutorialPanel(GetString(kTextLock));
        if (!PointTutorialAtToken([](const CToken& t) { return t.chained != 0; })) {
            ApplyLevelState(1);
            return;
        }
        break;
    case Lesson::Steel:
        ShowTutorialPanel(GetString(kTextSteel));
        if (!PointTutorialAtToken([](const CToken& t) { return t.colour > 97; })) {
            ApplyLevelState(1);
            return;
        }
        break;
    case Lesson::Shop:
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
bool CGame::ShowTotemStep(int step)
{
    using namespace lesson_step;
    switch (step) {
    case kTotemChargePrompt:
        ShowTutorialPanel(WithColour(kTextTotemCharge, kChargeColourNames, board->TutorialColour()));
        PointTutorialAt(2, 6, 1, 6);
        return true;
    case kTotemLightPrompt:
        ShowTutorialPanel(WithColour(kTextTotemLit, kLitColourNames, board->TutorialColour()));
        PointTutorialAt(6, 4, 5, 4);
        return true;
    case kTotemOver:
        ApplyLevelState(1);
        return false;
    default:
        return false;
    }
}

// A guided lesson's swap: on the lesson's path it moves the lesson on; off
// it, the player went their own way and the lesson ends (the totem lesson
// refuses that swap). 1 when the swap may go ahead.
int CGame::StepTutorial(int column, int row)
{
    const LessonState lesson = board->CurrentLesson();
    const bool offPath = SwapLeavesLesson(lesson, column, row);
    if (lesson.lesson == Lesson::Totem) {
        if (!offPath) {
            board->SetLessonStep(lesson.step + 1);
            if (screens)
                screens->HideForm(screens->tutorial.form, kFormHideSpeed);
            if (lesson.step + 1 <= lesson_step::kTotemLit)
                return 1;
        }
        ApplyLevelState(1);
        return 0;
    }
    if (!IsGuidedLesson(lesson.lesson) || offPath) {
        ApplyLevelState(1);
        return 1;
    }
    board->SetLessonStep(lesson.step + 1);
    if (screens)
        screens->HideForm(screens->tutorial.form, kFormHideSpeed);
    if (lesson.step + 1 > lesson_step::kSecondPicked)
        ApplyLevelState(1);
    return 1;
}

void CGame::ApplyLevelState(int save)
{
    if (board->CurrentLesson().lesson == Lesson::Totem) {
        // The lesson's board gives way to the level's own.
        BoardSetup setup = LevelSetup(level, hardMode, BalanceGemGoal(level));
        LoadLevelFile(&setup, LevelFile(paths, level));
        board->TakeSetup(setup);
        subState = 0;
        phase = kPhaseResume;
        modeTimer = 0.0f;
        if (save) {
            const BoardGeometry g = board->Geometry();
            const Vec2 centre = board->CellToPoint(g.columns / 2, g.rows / 2, true);
            popups->AddTextPopup(GetString(kTextDone), 1.0f, 0, centre.x, centre.y, ScoreMessageSettings().z);
        }
    }
    board->CloseLesson(save != 0);
    if (screens)
        screens->HideForm(screens->tutorial.form, kFormHideSpeed);
}

// The player's settings keep what the player has seen.
void CGame::MarkLessonSeen(Lesson lesson)
{
    const CountedHandle<CProfile> player = CurrentProfile();
    if (!player || lesson == Lesson::None)
        return;
    *LessonFlag(*player, lesson) = 1;
    player->SaveSettings(paths.folders[CDataPaths::Players] + player->Name());
}

LessonPlan CGame::CurrentLessonPlan() const
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
