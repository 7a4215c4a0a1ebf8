// The left button's press and the keys. A press goes to the menu screens
// first, then, while a level is played, to the board: a token is picked, or
// the picked one swaps with the pressed neighbour. Elsewhere a press or a
// key moves the flow on: past the results' tally, the story screens, the
// intro's pages, the splash and the completed quest; space, Escape and P
// pause and resume play.
#include "game/Game.h"

#include "game/Lessons.h"

#include <cstdlib>

InputResult CGame::OnPress(plat::MouseButton button, int px, int py)
{
    if (!screens)
        return InputResult::Continue;
    if (button == plat::MouseButton::Right) {
        LetGoOfThePick();
        return InputResult::Continue;
    }
    if (button != plat::MouseButton::Left)
        return InputResult::Continue;
    // Without a client area the press stands where the cursor was last.
    float x = cursorX, y = cursorY;
    MapPoint(px, py, &x, &y);
    if (!board->Picked())
        dragging = false;
    bool consumed = false, offBoard = false;
    screens->OnMouseDown(x, y);
    for (const ScreenEvent& event : screens->Events())
        OnScreensPress(event, x, y, &consumed, &offBoard);
    const BoardStatus status = board->Status();
    if (phase == kPhaseBonusLevel && challenge == kReaction && gameType == 0 && !consumed && !status.ended &&
        reactionChallenge)
        reactionChallenge->OnStop();
    if (mode == kModePlaying && phase == kPhasePlay && !status.ended && !status.locked && !offBoard &&
        !LessonHoldsPresses())
        PressOnBoard(x, y);
    if (mode == kModePlaying && phase == kPhaseShop)
        shop->OnMouseDown(x, y);
    if (mode == kModePlaying && phase == kPhaseResults && subState < 9)
        SkipLevelResults();
    if (mode == kModePlaying && phase == kPhaseBonusLevel && !status.ended) {
        if (challenge == kMemory && memoryChallenge) {
            memoryChallenge->OnClick(x, y);
        } else if (challenge == kAccuracy && accuracyChallenge) {
            if (accuracyChallenge->OnClick(x, y) == 101) {
                AddScore(250);
                popups->AddNumberPopup(250, 1, x, y, -20.0f);
            }
        } else if (challenge == kAttention && attentionChallenge) {
            attentionChallenge->OnClick(x, y);
        }
    }
    if (mode == kModeQuestComplete && subState == 3)
        RunTrophyStep();
    const CQoForm& newspaper = *screens->newspaper.form;
    if (phase == kPhaseMapMarch && newspaper.IsVisible() && newspaper.active) {
        screens->HideForm(screens->newspaper.form, 2.0f);
        screens->ShowForm(screens->map.form, 2.0f);
    }
    if (mode == kModeLevelIntro && subState == -7) {
        if (screens->IntroPage() + 1 < static_cast<int>(screens->intro.pages.Size())) {
            screens->ShowIntroPage(screens->IntroPage() + 1);
        } else {
            screens->HideForm(screens->intro.form, 2.0f);
            Next(-6);
        }
    }
    if (mode == kModeSplash && subState >= 10 && subState % 10 == 0)
        modeTimer = splashHold;
    return InputResult::Continue;
}

void CGame::OnScreensPress(const ScreenEvent& event, float, float, bool* consumed, bool* offBoard)
{
    if (event.kind == ScreenEvent::Kind::VolumeChanged) {
        HandleScreenEvent(event);
        return;
    }
    if (event.kind != ScreenEvent::Kind::Press)
        return;
    switch (event.command) {
    case Command::QuestMenu:
        *consumed = true;
        break;
    case Command::ReactionStop:
        if (!board->Status().ended && reactionChallenge) {
            reactionChallenge->OnStop();
            *consumed = true;
        }
        break;
    case Command::LessonClose:
        ApplyLevelState(true);
        *offBoard = true;
        break;
    case Command::FullScreenBox:
    case Command::WindowSizeBox:
    case Command::ColourDepthBox:
    case Command::WideScreenBox:
        pendingDisplayMask =
            ToggleDisplayOption(pendingDisplayMask, IndexIn(event.command, Command::FullScreenBox));
        UpdateToggleControls(pendingDisplayMask);
        break;
    default:
        break;
    }
}

// A press on the board picks a token, or swaps the picked one with the
// pressed neighbour; a press on any other token picks that one instead.
void CGame::PressOnBoard(float x, float y)
{
    const BoardPress press = board->PressAt(x, y, gameType == 0);
    if (press.kind == BoardPress::Kind::Swap && IsActionAllowedInTutorial(press.column, press.row) &&
        StepTutorial(press.column, press.row)) {
        board->SwapPicked(press.column, press.row);
        dragging = false;
        ResetHints();
        return;
    }
    if (press.kind != BoardPress::Kind::None && press.token && TutorialAllowsPick(press.token))
        PickToken(press.token);
}

void CGame::PickToken(const CountedHandle<CToken>& token)
{
    board->Pick(token);
    dragging = true;
    PlayAt(token->colour >= 98 ? FlowSound::PickSteel : FlowSound::Pick, token->x + token->offsetX);
    AdvanceTutorialPick(token);
}

bool CGame::TutorialAllowsPick(const CountedHandle<CToken>& token) const
{
    const LessonState lesson = board->CurrentLesson();
    if (lesson.lesson == Lesson::None || !gameOptions.capsLockTutorial)
        return true;
    return LessonAllowsPick(lesson, token->column, token->row);
}

void CGame::AdvanceTutorialPick(const CountedHandle<CToken>& token)
{
    const LessonState lesson = board->CurrentLesson();
    if (lesson.lesson == Lesson::None || !gameOptions.capsLockTutorial)
        return;
    const LessonPick* pick = FindLessonPick(lesson, token->column, token->row);
    if (!pick) {
        ApplyLevelState(true);
        return;
    }
    board->SetLessonStep(pick->nextStep);
    const Vec2 arrow = board->CellToPoint(pick->arrowColumn, pick->arrowRow, true);
    screens->PlaceTutorialPointer(arrow.x, arrow.y + 0.25f * board->CellHeight());
}

InputResult CGame::OnKeyDown(int key)
{
    if (!screens)
        return InputResult::Continue;
    if (screens->OnNameKey(key) == 3) {
        MakeProfileCurrent(screens->profileSelected);
        return InputResult::Continue;
    }
    if (mode == kModePlaying && phase == kPhaseBonusLevel && gameType == 0 && challenge == kReaction &&
        key == plat::VK_SPACE && !board->Status().ended && reactionChallenge) {
        reactionChallenge->OnStop();
        return InputResult::Continue;
    }
    if (mode == kModePlaying && phase == kPhaseAfterResults && (subState == 10 || subState == 14)) {
        ContinueAfterWait();
        return InputResult::Continue;
    }
    if (mode == kModeQuestComplete && subState == 3) {
        RunTrophyStep();
        return InputResult::Continue;
    }
    const CQoForm& newspaper = *screens->newspaper.form;
    if (phase == kPhaseMapMarch && newspaper.IsVisible() && newspaper.active) {
        screens->HideForm(screens->newspaper.form, 2.0f);
        screens->ShowForm(screens->map.form, 2.0f);
        return InputResult::Continue;
    }
    if (mode == kModeLevelIntro && subState == -7) {
        screens->HideForm(screens->intro.form, 2.0f);
        Next(-6);
        return InputResult::Continue;
    }
    if ((key == plat::VK_SPACE || key == plat::VK_ESCAPE || key == plat::VK_P) && mode == kModePlaying &&
        gameType == 0) {
        TogglePause();
        return InputResult::Continue;
    }
    if (mode == kModeSplash && subState >= 10 && subState % 10 == 0)
        modeTimer = splashHold;
    return InputResult::Continue;
}

// After the results or the story: on to the game's end, or to the story or
// the shop of the next level, with the shop's panel and the next stage's map.
void CGame::ContinueAfterWait()
{
    if (level > 40) {
        EnterGameComplete();
        return;
    }
    SwapPanelTextures(true, gameType != 0);
    int stage = 0, inStage = 0;
    SplitLevelNumber(level + 1, &stage, &inStage);
    screens->RecreateMapTextures(stage);
    ++subState;
    modeTimer = 0.0f;
}

// The pause menu comes over play that is ready for input and goes again.
bool CGame::TogglePause()
{
    const CQoForm& quest = *screens->quest.form;
    const CQoForm& menu = *screens->gameMenu.form;
    if (quest.IsVisible() && quest.active && quest.IsEnabled()) {
        ApplyLevelState(true);
        if (!IsReadyForInput())
            return false;
        board->SetLocked(true);
        screens->ShowForm(screens->gameMenu.form, 4.0f);
        screens->quest.form->SetEnabled(false);
        return true;
    }
    if (menu.IsVisible() && menu.active) {
        screens->HideForm(screens->gameMenu.form, 4.0f);
        screens->quest.form->SetEnabled(true);
        board->SetLocked(false);
        return true;
    }
    return false;
}
