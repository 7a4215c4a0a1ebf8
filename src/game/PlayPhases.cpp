// The play phases of a level, run once a frame in the playing mode: board
// play with its clock, hints and autosave; the won level's way through the
// results, the story and the shop to the next level; a failed level's
// reload; the quest's end; and a lost life.
#include "game/Game.h"

#include "engine/StringTable.h"
#include "game/Lessons.h"
#include "screens/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace {
// Seconds of idle play between two copies of the quest into its record.
constexpr float kAutosaveInterval = 3.0f;
// The shuffle after a lost life takes as long as the award's flight.
constexpr float kShuffleLength = 1.5f;
} // namespace

void CGame::UpdateState(float dt)
{
    DragSwap();
    board->Update(dt, cursorX, cursorY);
    if (challenge != kOrdinaryLevel && !board->Status().locked)
        UpdateChallenge(dt);
    HandleBoardEvents();
    if (phase == kPhasePlay && board->CurrentLesson().lesson == Lesson::None && !starAward->running &&
        !lifeLostAward->running && !lifeLost.active && IsReadyForInput() && board->IsIdle() &&
        !board->SandInFlight() && EvaluateTrophiesPartial(true))
        RunTrophyStep();
    if (starAward->running && starAward->Update(dt) == 0) {
        if (challenge == kOrdinaryLevel) {
            board->SetSandMeter(0.0f);
            board->SetLocked(false);
        } else {
            Next(11);
        }
    }
    if (lifeLostAward->running && lifeLostAward->Update(dt) == 0)
        lifeLost.finished = true;
    UpdateLifeLost(dt);
    UpdatePhase(dt);
    if (gameType == 0)
        UpdateShop(dt);
}

// A token pressed and dragged onto a neighbour swaps with it.
void CGame::DragSwap()
{
    if (phase != kPhasePlay || board->Status().ended || !dragging || gameType != 0)
        return;
    if (!board->Picked() || LessonHoldsPresses())
        return;
    MatchCell cell;
    if (!board->DragTarget(cursorX, cursorY, &cell))
        return;
    if (!IsActionAllowedInTutorial(cell.column, cell.row) || !board->CanSelect(cell.column, cell.row) ||
        !StepTutorial(cell.column, cell.row))
        return;
    board->SwapPicked(cell.column, cell.row);
    dragging = false;
    ResetHints();
}

void CGame::UpdatePhase(float dt)
{
    switch (phase) {
    case kPhasePlay:
        UpdatePlay(dt);
        break;
    case kPhaseLevelComplete:
        UpdateLevelComplete();
        break;
    case kPhaseResults:
        UpdateLevelResults(dt);
        break;
    case kPhaseAfterResults:
        UpdateAfterResults();
        break;
    case kPhaseMapMarch:
        UpdateMapMarch(dt);
        break;
    case kPhaseLevelStart:
        UpdateLevelStart();
        break;
    case kPhaseBonusLevel:
        UpdateBonusLevel(dt);
        break;
    case kPhaseResume:
        if (modeTimer > 1.5f) {
            phase = kPhasePlay;
            board->SetLocked(false);
        }
        break;
    case kPhaseToMenu:
        UpdateBackToMenu();
        break;
    case kPhaseLevelFailed:
        UpdateLevelFailed();
        break;
    case kPhaseQuestOver:
        UpdateQuestOver();
        break;
    default:
        // The shop phase runs only the shop's own update.
        break;
    }
}

void CGame::UpdatePlay(float dt)
{
    const LessonState lesson = board->CurrentLesson();
    if (IsTimedLesson(lesson.lesson))
        board->AdvanceLessonClock(dt);
    const BoardStatus status = board->Status();
    const bool running = status.sandActive && !status.ended && !status.locked && lesson.lesson == Lesson::None;
    if (gameType == 0 && challenge == kOrdinaryLevel && running) {
        UpdateLevelClock(dt);
        UpdateIdleHints(dt);
    }
    if (challenge == kOrdinaryLevel && running && !levelIntroPending) {
        autosaveTimer += dt;
        if (autosaveTimer >= kAutosaveInterval && IsPlayIdle()) {
            StoreQuestState(questSave->state == 0);
            questSave->state = 2;
            autosaveTimer = 0.0f;
        }
    }
}

void CGame::UpdateLevelClock(float dt)
{
    timeLeft = std::max(0.0f, timeLeft - dt);
    stats.AddFloatToBoth(dt, StatSeconds);
    board->SetSecondsPlayed(stats.tables[2].GetFloat(StatSeconds));
    screens->SetGaugeTarget(timeLeft / balance.timeLimit);
    if (timeLeft <= nextTimeWarning && nextTimeWarning >= 0.0f) {
        screens->StartOverlay(true);
        nextTimeWarning = nextTimeWarning == 30.0f   ? 15.0f
                          : nextTimeWarning == 15.0f ? 10.0f
                                                     : nextTimeWarning - 1.0f;
    }
    // A time-out is one lost life, however long the settling takes.
    if (timeLeft <= 0.0f && !lifeLost.active && board->IsIdle())
        LoseLife(true, !balance.timeOutFlag);
}

// Without a move for a while the hint button blinks; under the lives cap a
// gem token in the bottom rows makes the life at stake blink too.
void CGame::UpdateIdleHints(float dt)
{
    if (timeLeft <= 0.0f)
        return;
    hintIdleTimer += dt;
    if (hintIdleTimer >= delays.hintDelay) {
        if (!hintBlinking) {
            hintBlinking = true;
            screens->quest.hintHighlight->SetVisible(true);
        }
        AdvanceBlinkA(dt);
        if (hintIdleTimer >= delays.hintDelay + delays.hintBlinkTime) {
            hintIdleTimer = 0.0f;
            blinkTimerA = 0.0f;
            hintBlinking = false;
            screens->quest.hintHighlight->SetVisible(false);
        }
    }
    if (!balance.livesLimited)
        return;
    overlayIdleTimer += dt;
    if (overlayIdleTimer < delays.overlayDelay)
        return;
    if (!overlayBlinking && !board->HasMarkedTokenInBottomRows(3)) {
        overlayIdleTimer = 0.0f;
        return;
    }
    if (!overlayBlinking) {
        overlayBlinking = true;
        screens->SetQuestOverlayVisible(true);
    }
    AdvanceBlinkB(dt);
    if (overlayIdleTimer >= delays.overlayDelay + delays.overlayBlinkTime) {
        overlayIdleTimer = 0.0f;
        blinkTimerB = 0.0f;
        overlayBlinking = false;
        screens->SetQuestOverlayVisible(false);
    }
}

void CGame::ResetHints()
{
    hintIdleTimer = overlayIdleTimer = 0.0f;
    blinkTimerA = blinkTimerB = 0.0f;
    if (hintBlinking)
        screens->quest.hintHighlight->SetVisible(false);
    if (overlayBlinking)
        screens->SetQuestOverlayVisible(false);
    hintBlinking = overlayBlinking = false;
}

// The sand box, the gems bar and the board go together, in the half second
// the phases give them before the board is cleared.
void CGame::HideLevelScreen(bool withQuestForm)
{
    board->Show(false, true, 0.5f);
    if (!withQuestForm || gameType != 0)
        return;
    screens->HideForm(screens->quest.form, 2.0f);
    totems->ShowPanel(0, 2.0f);
    totems->FadeOutAll(2.0f);
}

void CGame::ShowMessage(const std::string& text, int group, Question question, float speed)
{
    screens->SetMessageBox(text, "", group, question);
    screens->ShowForm(screens->msgBox.form, speed);
}

void CGame::OnLevelComplete()
{
    adviser->Reset();
    adviser->Hide();
    ResetHints();
    board->Events().DropPlayEvents();
    screens->SetNewLevelCaptionText(GetString(10));
    screens->ShowForm(screens->newLevel.form, 2.0f);
    board->SetSandDrain(false, 0.0f);
    phase = kPhaseLevelComplete;
    Next(0);
    Play(FlowSound::LevelComplete);
    ++shop->stars;
    ++trophyCounters[0];
    ++trophyCounters[1];
    ++levelsWon;
    levelWon = true;
}

void CGame::UpdateLevelComplete()
{
    if (subState == 0 && modeTimer >= 1.5f) {
        screens->HideForm(screens->newLevel.form, 2.0f);
        Next(1);
    } else if (subState == 1 && modeTimer >= 0.5f && !board->TokensMoving()) {
        HideLevelScreen(false);
        // The results are filled in and wait hidden for the tally.
        ShowLevelResults(false);
        screens->ShowForm(screens->statistics.form, 2.0f);
        Next(2);
    } else if (subState == 2 && modeTimer >= 0.5f) {
        board->Clear();
        if (music)
            music->FadeTo(2);
        phase = kPhaseResults;
        Next(0);
    }
}

void CGame::OpenShop()
{
    shop->Show(1, 2.0f, level + 1);
    screens->ShowForm(screens->shop.form, 2.0f);
    phase = kPhaseShop;
    Next(0);
}

// A saved or reloaded quest goes on in the shop before its next level.
void CGame::ReopenShop()
{
    mode = kModePlaying;
    questSave->state = 0;
    OpenShop();
    if (music)
        music->FadeTo(2);
}

// The board is only updated in play: the menu gets it hidden, not half
// faded.
void CGame::ClearForMenu()
{
    board->Clear();
    board->Show(false, false, 0.0f);
    if (music)
        music->FadeTo(1);
    if (backgrounds)
        backgrounds->SetScene(CBackgroundManager::kMainMenu);
}

// The menu comes back, or first the message box with text `text` (0 for
// none) and its question.
void CGame::ReturnToMenu(int text, Question question)
{
    if (text)
        ShowMessage(GetString(text), CGameScreens::kGroupOk, question, 2.0f);
    else
        screens->ShowForm(screens->mainMenu.form, 2.0f);
    mode = kModeMenus;
    phase = kPhasePlay;
    Next(0);
    if (questSave)
        questSave->state = 0;
}

// After the results: the scene shows the stage's progress, the player's key
// or click takes the quest on, through the stage's newspaper when the next
// level opens a stage, to the shop.
void CGame::UpdateAfterResults()
{
    switch (subState) {
    case 0:
        if (modeTimer < 0.5f)
            return;
        screens->HideForm(screens->newLevel.form, 2.0f);
        if (backgrounds) {
            int stage = 0, inStage = 0;
            SplitLevelNumber(level, &stage, &inStage);
            backgrounds->SetProgress(inStage, 0);
        }
        Next(1);
        return;
    case 1:
        if (modeTimer >= 0.5f)
            Next(10);
        return;
    case 11: {
        int stage = 0, inStage = 0;
        SplitLevelNumber(level + 1, &stage, &inStage);
        if (inStage == 1 && stage >= 2 && stage <= 5) {
            screens->ShowNewspaper(stage - 2);
            Next(13);
        } else {
            Next(12);
        }
        return;
    }
    case 12:
        screens->HideForm(screens->background.form, 2.0f);
        OpenShop();
        return;
    case 13:
        screens->HideForm(screens->background.form, 2.0f);
        screens->ShowForm(screens->newspaper.form, 2.0f);
        Next(14);
        return;
    case 15:
        screens->HideForm(screens->newspaper.form, 2.0f);
        OpenShop();
        return;
    default:
        // 10 and 14 wait for a key or a click.
        return;
    }
}

void CGame::UpdateLevelStart()
{
    if (subState == 0 && modeTimer >= 1.0f) {
        ShowLevelHud();
        Next(1);
    } else if (subState == 1 && modeTimer >= 1.0f) {
        screens->HideForm(screens->newLevel.form, 2.0f);
        Next(2);
    } else if (subState == 2 && modeTimer >= 0.5f) {
        StartLevelPlay();
        levelIntroPending = false;
        phase = kPhasePlay;
        Next(0);
    }
}

// The level's clock and sand start running, and the board takes play.
void CGame::StartLevelPlay()
{
    board->SetLessons(CurrentLessonPlan());
    board->SetLocked(false);
    board->SetSandActive(true);
    if (gameType == 0)
        board->SetSandDrain(true, balance.LevelRate());
    if (music)
        music->FadeTo(0);
}

void CGame::UpdateBackToMenu()
{
    if (subState == 0 && modeTimer >= 0.5f && !board->TokensMoving()) {
        HideLevelScreen(true);
        Next(1);
    } else if (subState == 1 && modeTimer >= 0.5f) {
        ClearForMenu();
        Next(2);
    } else if (subState == 2 || subState == 3) {
        Next(subState + 1);
    } else if (subState == 4) {
        ReturnToMenu(hiscoreEntered ? 61 : 0, Question::NewHighScore);
    }
}

// The level failed: the box says why, the checkpoint's level comes back,
// and the shop opens again before it.
void CGame::UpdateLevelFailed()
{
    if (subState == 0 && modeTimer >= 0.5f && !board->TokensMoving()) {
        HideLevelScreen(true);
        if (gameType == 0) {
            std::string text;
            if (reloadedWithoutLives) {
                int stage = 0, inStage = 0;
                SplitLevelNumber(questSave->level, &stage, &inStage);
                text = GetString(56) + "\n" + FormatTableText(57, 256, stage, inStage);
            } else {
                text = GetString(54) + "\n" + GetString(55);
            }
            ShowMessage(text, CGameScreens::kGroupContinue, Question::LevelFailed, 2.0f);
        }
        Play(FlowSound::Failure);
        Next(1);
    } else if (subState == 3 && modeTimer >= 0.5f) {
        board->Clear();
        ResumeQuestLevel();
        Next(4);
    } else if (subState == 4) {
        // The reloaded level gets one frame before the shop opens.
        Next(5);
    } else if (subState == 5) {
        levelWon = false;
        ReopenShop();
    }
}

void CGame::UpdateQuestOver()
{
    if (subState == 0 && modeTimer >= 0.5f && !board->TokensMoving()) {
        HideLevelScreen(true);
        if (gameType == 0)
            ShowMessage(GetString(lifeLost.timeUp ? 54 : 13) + "\n" + GetString(58), CGameScreens::kGroupContinue,
                        Question::GameOver, 2.0f);
        Play(FlowSound::Failure);
        Next(1);
    } else if (subState == 3 && modeTimer >= 0.5f) {
        ClearForMenu();
        Next(4);
    } else if (subState == 4 || subState == 5) {
        Next(subState + 1);
    } else if (subState == 6) {
        // The score went into the table when the quest ended; a second
        // offer would find its own entry there and could say it did not.
        ReturnToMenu(hiscoreEntered ? 61 : 0, Question::NewHighScore);
    }
}

void CGame::StartLifeLostAnimation(const std::string& caption, float x, float y, bool fromGiven)
{
    lifeLostAward->SetCaption(caption);
    lifeLostAward->Start(fromGiven, x, y, -10.0f);
}

void CGame::ShowLivesLeft()
{
    screens->SetHudValues(stats.tables[1].Get(StatScore), lives, timeLeft / balance.timeLimit);
    if (balance.livesLimited)
        screens->ShowFirstItems(lives);
}

void CGame::LoseLife(bool timeUp, bool noLoss)
{
    lifeLost.active = true;
    lifeLost.timer = 0.0f;
    lifeLost.timeUp = timeUp;
    lifeLost.finished = noLoss;
    Play(FlowSound::LifeLost);
    const std::string cause = GetString(timeUp ? 54 : 13);
    if (!noLoss) {
        Play(FlowSound::Shuffle);
        StartLifeLostAnimation(cause + "\n" + GetString(53), 0.0f, 0.0f, false);
        board->ShuffleAnimated(kShuffleLength, 30);
        --lives;
        ShowLivesLeft();
    } else {
        ShowCaption(cause);
        board->ShuffleAnimated(kShuffleLength, 30);
    }
    board->Events().DropPlayEvents();
}

// The lost life holds play for a while; then a time-out reloads the last
// checkpoint, and a board without moves goes on unless the lives ran out.
void CGame::UpdateLifeLost(float dt)
{
    if (!lifeLost.active)
        return;
    lifeLost.timer += dt;
    if (lifeLost.timer < delays.lifeLostWait || !lifeLost.finished)
        return;
    lifeLost.active = false;
    int loaded = 1;
    if (lifeLost.timeUp) {
        board->SetLocked(false);
        loaded = LoadQuestCheckpoint(balance.livesLimited ? false : lives <= 0);
    } else if (lives > 0 || balance.livesLimited) {
        board->SetLocked(false);
    } else {
        loaded = LoadQuestCheckpoint(true);
    }
    if (!loaded)
        EndQuestSession();
}

// The shop's opening after a won level writes the checkpoint.
void CGame::UpdateShop(float dt)
{
    if (shop->Update(dt, cursorX, cursorY) != 1 || !levelWon)
        return;
    shop->SettleStars();
    StoreQuestState(true);
    questSave->state = 2;
    SaveQuestWithCheckpoint(*questSave, PlayerFolder(), gameType);
    levelWon = false;
    if (profile && profile->questTutorial && !profile->tutShop)
        ShowTutorialStep(Lesson::Shop, 0);
}
