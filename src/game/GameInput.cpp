// The left button's press and the keys. A press goes to the menu screens
// first, then, while a level is played, to the board: a token is picked, or
// the picked one swaps with the pressed neighbour. Elsewhere a press or a
// key moves the flow on: past the results' tally, the story screens, the
// intro's pages, the splash and the completed quest; space, Escape and P
// pause and resume play.
#include "game/Game.h"

#include "rays/TokenHighlight.h"

#include <cstdlib>

namespace {

// The tutorial's picks: in (level state, sub-state) the token of one cell
// may be picked, which moves the lesson to a new sub-state and its arrow to
// the cell the token is to go to.
struct TutorialPick {
    int state, subState;
    int column, row;
    int newSubState;
    int arrowColumn, arrowRow;
};
constexpr TutorialPick kTutorialPicks[] = {
    {1, 0, 4, 4, 1, 3, 4}, {6, 0, 2, 5, 1, 1, 5}, {6, 4, 6, 4, 5, 5, 4},
    {7, 2, 2, 6, 3, 1, 6}, {7, 6, 6, 4, 7, 5, 4},
};

const TutorialPick* FindPick(int state, int subState, int column, int row)
{
    for (const TutorialPick& p : kTutorialPicks)
        if (p.state == state && p.subState == subState && p.column == column && p.row == row)
            return &p;
    return nullptr;
}

} // namespace

int CGame::OnLButtonDown(int, int, uintptr_t)
{
    if (!screens)
        return 0;
    MapCursor();
    const float x = cursorX, y = cursorY;
    if (!board->selectionMarker->Token())
        dragging = false;
    bool consumed = false, offBoard = false;
    screens->OnMouseDown(x, y);
    for (const ScreenEvent& event : screens->Events())
        OnScreensPress(event, &consumed, &offBoard);
    if (phase == kPhaseBonusLevel && challengeMode == kReaction && gameType == 0 && !consumed && !board->ended &&
        board->reactionChallenge)
        board->reactionChallenge->OnStop(0.0f, 0.0f);
    const bool tutorialHolds = IsTimedLevelState(board->levelState) && board->levelStateTime < delays.tutorialTime;
    if (mode == kModePlaying && phase == kPhasePlay && !board->ended && !board->locked && !offBoard &&
        !tutorialHolds)
        PressOnBoard(x, y);
    if (mode == kModePlaying && phase == kPhaseShop)
        shop->OnMouseDown(x, y);
    if (mode == kModePlaying && phase == kPhaseResults && subState < 9)
        SkipLevelResults();
    if (mode == kModePlaying && phase == kPhaseBonusLevel && !board->ended) {
        if (challengeMode == kMemory && board->memoryChallenge) {
            board->memoryChallenge->OnClick(x, y);
        } else if (challengeMode == kAccuracy && board->accuracyChallenge) {
            if (board->accuracyChallenge->OnClick(x, y) == 101) {
                AddScore(250);
                board->popups.AddNumberPopup(250, 1, x, y, -20.0f);
            }
        } else if (challengeMode == kAttention && board->attentionChallenge) {
            board->attentionChallenge->OnClick(x, y);
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
    return 0;
}

void CGame::OnScreensPress(const ScreenEvent& event, bool* consumed, bool* offBoard)
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
        if (!board->ended && board->reactionChallenge) {
            board->reactionChallenge->OnStop(cursorX, cursorY);
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
    const CountedHandle<CToken> selected = board->selectionMarker->Token();
    if (!selected) {
        const CountedHandle<CToken> token = board->TokenAt(x, y);
        if (token && TutorialAllowsPick(token))
            PickToken(token);
        return;
    }
    if (gameType != 0)
        return;
    const MatchCell cell = board->PointToCell(x, y);
    if (!board->IsOnBoard(cell.column, cell.row))
        return;
    const int dc = std::abs(cell.column - selected->column), dr = std::abs(cell.row - selected->row);
    const bool neighbour = dc <= 1 && dr <= 1 && dc != dr;
    if (neighbour && board->CanSelect(cell.column, cell.row) && IsActionAllowedInTutorial(cell.column, cell.row) &&
        StepTutorial(cell.column, cell.row)) {
        const int column = selected->column, row = selected->row;
        board->selectionMarker->Hide();
        dragging = false;
        board->Swap(column, row, cell.column, cell.row, false);
        ResetHints();
        return;
    }
    const CountedHandle<CToken> token = board->TokenAt(x, y);
    if (token && TutorialAllowsPick(token))
        PickToken(token);
}

void CGame::PickToken(const CountedHandle<CToken>& token)
{
    board->selectionMarker->ShowAt(token);
    dragging = true;
    PlayAt(token->colour >= 98 ? FlowSound::PickSteel : FlowSound::Pick, token->x + token->offsetX);
    AdvanceTutorialPick(token);
}

bool CGame::TutorialAllowsPick(const CountedHandle<CToken>& token) const
{
    const int s = board->levelState;
    if (s == 0 || !gameOptions.capsLockTutorial)
        return true;
    if (s != 1 && s != 6 && s != 7)
        return true;
    return FindPick(s, board->levelSubState, token->column, token->row) != nullptr;
}

void CGame::AdvanceTutorialPick(const CountedHandle<CToken>& token)
{
    if (board->levelState == 0 || !gameOptions.capsLockTutorial)
        return;
    const TutorialPick* pick = FindPick(board->levelState, board->levelSubState, token->column, token->row);
    if (!pick) {
        ApplyLevelState(true);
        return;
    }
    board->levelSubState = pick->newSubState;
    const Vec2 arrow = board->CellToPoint(pick->arrowColumn, pick->arrowRow, true);
    screens->PlaceTutorialPointer(arrow.x, arrow.y + 0.25f * board->cellHeight);
}

int CGame::OnKeyDown(int key)
{
    if (!screens)
        return 0;
    if (screens->OnNameKey(key) == 3) {
        MakeProfileCurrent(screens->profileSelected);
        return 0;
    }
    if (mode == kModePlaying && phase == kPhaseBonusLevel && gameType == 0 && challengeMode == kReaction &&
        key == 32 && !board->ended && board->reactionChallenge) {
        board->reactionChallenge->OnStop(0.0f, 0.0f);
        return 0;
    }
    if (mode == kModePlaying && phase == kPhaseAfterResults && (subState == 10 || subState == 14)) {
        ContinueAfterWait();
        return 0;
    }
    if (mode == kModeQuestComplete && subState == 3) {
        RunTrophyStep();
        return 0;
    }
    const CQoForm& newspaper = *screens->newspaper.form;
    if (phase == kPhaseMapMarch && newspaper.IsVisible() && newspaper.active) {
        screens->HideForm(screens->newspaper.form, 2.0f);
        screens->ShowForm(screens->map.form, 2.0f);
        return 0;
    }
    if (mode == kModeLevelIntro && subState == -7) {
        screens->HideForm(screens->intro.form, 2.0f);
        Next(-6);
        return 0;
    }
    if ((key == 32 || key == 27 || key == 80) && mode == kModePlaying && gameType == 0) {
        TogglePause();
        return 0;
    }
    if (mode == kModeSplash && subState >= 10 && subState % 10 == 0)
        modeTimer = splashHold;
    return 0;
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
