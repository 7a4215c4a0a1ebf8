// Play on the board, frame by frame and press by press.
#include "game/flow/Play.h"

#include "game/Lessons.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

#include <algorithm>

namespace {
// Seconds of idle play between two copies of the quest into its record.
constexpr float kAutosaveInterval = 3.0f;
} // namespace

void CPlay::Update(float dt)
{
    CGameBoard& board = *m_services.board;
    const LessonState lesson = board.CurrentLesson();
    if (IsTimedLesson(lesson.lesson))
        board.AdvanceLessonClock(dt);
    const BoardStatus status = board.Status();
    const bool running = status.sandActive && !status.ended && !status.locked && lesson.lesson == Lesson::None;
    if (m_quest.gameType == 0 && running) {
        UpdateLevelClock(dt);
        m_flow.level.UpdateIdleHints(dt);
    }
    if (!running || m_quest.levelIntroPending) {
        m_wasAtRest = false;
        return;
    }
    autosaveTimer += dt;
    // Each rest is taken as it begins, so that a close in the middle of the
    // next move loses no more than that move.
    const bool atRest = AtRest();
    if (atRest && (autosaveTimer >= kAutosaveInterval || !m_wasAtRest))
        KeepRest();
    m_wasAtRest = atRest;
}

bool CPlay::AtRest() const
{
    const CGameBoard& board = *m_services.board;
    const BoardStatus status = board.Status();
    return m_flow.IsIn<CPlay>() && !m_quest.levelIntroPending && status.sandActive && !status.ended &&
           !status.locked && board.CurrentLesson().lesson == Lesson::None && !m_flow.level.lifeLost.active &&
           m_flow.level.IsPlayIdle();
}

void CPlay::KeepRestIfAtRest()
{
    if (AtRest())
        KeepRest();
}

void CPlay::KeepRest()
{
    m_quest.Store(CQuestSave::kResumeInPlay, m_services.questSave->state == 0);
    m_services.questSave->state = 2;
    autosaveTimer = 0.0f;
}

void CPlay::UpdateLevelClock(float dt)
{
    CQuestState& q = m_quest;
    const CBalanceState& balance = m_services.balance;
    q.timeLeft = std::max(0.0f, q.timeLeft - dt);
    q.stats.AddFloatToBoth(dt, StatSeconds);
    m_services.board->SetSecondsPlayed(q.stats.tables[2].GetFloat(StatSeconds));
    m_services.screens->SetGaugeTarget(q.timeLeft / balance.timeLimit);
    if (q.timeLeft <= q.nextTimeWarning && q.nextTimeWarning >= 0.0f) {
        m_services.screens->StartOverlay(true);
        q.nextTimeWarning = q.nextTimeWarning == 30.0f   ? 15.0f
                            : q.nextTimeWarning == 15.0f ? 10.0f
                                                         : q.nextTimeWarning - 1.0f;
    }
    // A time-out is one lost life, however long the settling takes.
    if (q.timeLeft <= 0.0f && !m_flow.level.lifeLost.active && m_services.board->IsIdle())
        m_flow.level.LoseLife(true, !balance.timeOutFlag);
}

void CPlay::DragSwap()
{
    CGameBoard& board = *m_services.board;
    CLevel& level = m_flow.level;
    if (board.Status().ended || !level.dragging || m_quest.gameType != 0)
        return;
    if (!board.Picked() || m_flow.lessons.HoldsPresses())
        return;
    MatchCell cell;
    if (!board.DragTarget(m_flow.cursorX, m_flow.cursorY, &cell))
        return;
    if (!m_flow.lessons.AllowsSwapOnto(cell.column, cell.row) || !board.CanSelect(cell.column, cell.row) ||
        !m_flow.lessons.StepWithSwap(cell.column, cell.row))
        return;
    board.SwapPicked(cell.column, cell.row);
    level.dragging = false;
    level.ResetHints();
}

// A press while a lesson's note shows (one the player reads, not a guided
// move) closes the note and does nothing else: the token under it stays
// unpicked.
void CPlay::Press(float x, float y, const ScreenPress& press)
{
    const BoardStatus status = m_services.board->Status();
    if (status.ended || status.locked || press.offBoard || m_flow.lessons.HoldsPresses())
        return;
    if (IsTimedLesson(m_services.board->CurrentLesson().lesson)) {
        m_flow.lessons.Close(true);
        return;
    }
    PressOnBoard(x, y);
}

// A press on the board picks a token, or swaps the picked one with the
// pressed neighbour; a press on any other token picks that one instead.
void CPlay::PressOnBoard(float x, float y)
{
    CGameBoard& board = *m_services.board;
    const BoardPress press = board.PressAt(x, y, m_quest.gameType == 0);
    if (press.kind == BoardPress::Kind::Swap && m_flow.lessons.AllowsSwapOnto(press.column, press.row) &&
        m_flow.lessons.StepWithSwap(press.column, press.row)) {
        board.SwapPicked(press.column, press.row);
        m_flow.level.dragging = false;
        m_flow.level.ResetHints();
        return;
    }
    if (press.kind != BoardPress::Kind::None && press.token && m_flow.lessons.AllowsPick(press.token))
        PickToken(press.token);
}

void CPlay::PickToken(const CountedHandle<CToken>& token)
{
    m_services.board->Pick(token);
    m_flow.level.dragging = true;
    m_services.PlayAt(token->colour >= 98 ? FlowSound::PickSteel : FlowSound::Pick, token->x + token->offsetX);
    m_flow.lessons.StepWithPick(token);
}
