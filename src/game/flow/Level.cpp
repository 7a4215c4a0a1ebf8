// The level on the board, frame by frame and event by event.
#include "game/flow/Level.h"

#include "effects/overlays/ScoreSettings.h"
#include "engine/Random.h"
#include "engine/StringTable.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

#include <algorithm>
#include <cmath>

namespace {
// The shuffle after a lost life takes as long as the award's flight.
constexpr float kShuffleLength = 1.5f;
// The tokens of a shuffle tremble, then fall off the board for at most this
// long: the caption that says why stays whole until they are gone, then
// fades as the new board drops in.
constexpr float kShuffleFall = 1.0f;
} // namespace

CLevel::CLevel(CGameFlow& flow, CGameServices& services, CQuestState& quest)
    : m_flow(flow), m_services(services), m_quest(quest)
{}

void CLevel::Frame(float dt)
{
    CGameServices& s = m_services;
    CGameBoard& board = *s.board;
    if (m_flow.IsIn<CPlay>())
        m_flow.play.DragSwap();
    board.Update(dt, m_flow.cursorX, m_flow.cursorY);
    if (m_flow.IsIn<CBonusLevel>() && !board.Status().locked)
        m_flow.bonusLevel.UpdateChallenge(dt);
    HandleBoardEvents();
    if (m_flow.IsIn<CPlay>() && board.CurrentLesson().lesson == Lesson::None && !s.starAward->running &&
        !s.lifeLostAward->running && !lifeLost.active && IsReadyForInput() && board.IsIdle() &&
        !board.SandInFlight() && m_flow.trophies.JudgePartial(true))
        m_flow.trophies.RunStep();
    if (s.starAward->running && s.starAward->Update(dt) == 0) {
        if (m_flow.IsIn<CBonusLevel>()) {
            m_flow.bonusLevel.StarLanded();
        } else {
            board.SetSandMeter(0.0f);
            board.SetLocked(false);
        }
    }
    if (s.lifeLostAward->running && s.lifeLostAward->Update(dt) == 0)
        lifeLost.finished = true;
    UpdateLifeLost(dt);
}

InputResult CLevel::OnCommand(Command command)
{
    const bool inLesson = m_services.board->CurrentLesson().lesson != Lesson::None;
    switch (command) {
    case Command::Hint:
        if (inLesson)
            break;
        m_flow.lessons.Close(true);
        if (ShowHint())
            AddScore(-m_services.balance.BonusPoints());
        break;
    case Command::ShuffleFirst:
    case Command::ShuffleSecond:
        if (!inLesson)
            ShuffleForLife(IndexIn(command, Command::ShuffleFirst));
        break;
    case Command::TrophiesContinue:
    case Command::TrophiesClose:
        m_flow.trophies.RunStep();
        break;
    default:
        break;
    }
    return InputResult::Continue;
}

bool CLevel::IsReadyForInput() const
{
    if (m_flow.IsIn<CPlay>())
        return m_services.board->Status().inPlay;
    return m_flow.IsIn<CBonusLevel>() && m_flow.bonusLevel.ChallengeWaits();
}

bool CLevel::IsPlayIdle() const
{
    const CGameBoard& board = *m_services.board;
    return m_flow.IsIn<CPlay>() && board.Status().inPlay && board.IsIdle() && !board.SandInFlight();
}

void CLevel::HandleBoardEvents()
{
    CGameBoard& board = *m_services.board;
    if (board.Events().Empty())
        return;
    board.Events().TakeDeferred(&m_boardEvents);
    m_boardEventsDropped = false;
    for (const BoardEvent& event : m_boardEvents) {
        HandleBoardEvent(event);
        if (m_boardEventsDropped)
            break;
    }
    m_boardEvents.clear();
}

void CLevel::DropBoardEvents()
{
    m_services.board->Events().DropPlayEvents();
    m_boardEventsDropped = true;
}

void CLevel::HandleBoardEvent(const BoardEvent& event)
{
    switch (event.kind) {
    case BoardEventKind::StrikesScored:
        AddScore(event.value);
        break;
    case BoardEventKind::Combo:
        ShowCombo(event.value);
        break;
    case BoardEventKind::SandFull:
        StartFrenzy();
        break;
    case BoardEventKind::TimeBonus:
        ChangeTimeLeft(event.seconds);
        break;
    case BoardEventKind::LevelWon:
        m_flow.Enter(m_flow.levelComplete);
        break;
    case BoardEventKind::FrenzyMeterFull:
        AwardFrenzyStar();
        break;
    case BoardEventKind::NoMoveLeft:
        LoseLife(false, !m_services.balance.noMovesFlag);
        break;
    case BoardEventKind::LessonStep:
        m_flow.lessons.ShowStep(event.lesson, event.step);
        break;
    case BoardEventKind::Counted:
        m_quest.stats.AddToRunTables(event.value, event.counter);
        break;
    case BoardEventKind::LessonSeen:
        m_quest.MarkLessonSeen(event.lesson);
        break;
    case BoardEventKind::SandFullInChallenge:
        break;
    }
}

void CLevel::AddScore(int32_t points)
{
    m_quest.AddScore(points);
    m_services.screens->SetScore(m_quest.Score(), true);
    CheckExtraLife();
}

void CLevel::CheckExtraLife()
{
    const CBalanceState& balance = m_services.balance;
    if (m_quest.gameType != 0 || balance.livesLimited || balance.pointsPerLife <= 0 ||
        !m_quest.TakeExtraLife(balance.pointsPerLife))
        return;
    CGameScreens& screens = *m_services.screens;
    screens.quest.count->SetText(std::to_string(m_quest.lives));
    const CQoStatic& counter = *screens.quest.count;
    const float left = counter.Position().x - counter.Size().w * 0.5f;
    m_services.AddFlare(left + 8.0f, counter.Position().y - 20.0f, counter.Position().z - 1.0f, 32.0f, 32.0f, 0.1f,
                        0.4f, 0.4f, 4.0f, 4.0f);
    m_services.Play(FlowSound::ExtraLife);
}

void CLevel::ShowCombo(int count)
{
    const ComboMessage shown = ChooseComboMessage(ScoreMessageSettings(), m_services.board->ColourCount(), count);
    if (shown.message > 0)
        m_services.ShowPlayMessage(shown.text, shown.scale, shown.style, m_services.questLayout.comboMessagePos);
    m_quest.stats.tables[2].Add(count, StatLongestCascade);
    m_quest.stats.tables[1].Add(count, StatLongestCascade);
}

void CLevel::StartFrenzy()
{
    m_services.ShowPlayMessage(GetString(7), 1.8f, 4, m_services.questLayout.frenzyMessagePos);
    const SandboxGeometry box = m_services.board->SandboxBox();
    m_services.AddFlare(box.left + box.width * 0.5f, box.top - box.height * 0.5f, box.z - 50.0f, box.width,
                        box.height, 0.1f, 0.5f, 0.5f, 16.0f, 16.0f);
    m_services.Play(FlowSound::Frenzy);
}

void CLevel::AwardFrenzyStar()
{
    CGameBoard& board = *m_services.board;
    board.SetLocked(true);
    board.SetSandFlowing(false);
    const int n = ++m_quest.starsThisLevel;
    board.SetSandMeterGain(BalanceDecay(n) * (m_quest.hardMode ? 0.5f : 1.0f));
    m_services.starAward->Start();
    m_services.Play(FlowSound::GoldenStar);
    m_quest.EarnGoldenStar();
    m_quest.starAwarded = true;
}

void CLevel::ChangeTimeLeft(float seconds)
{
    if (!std::isfinite(seconds))
        return;
    const float limit = m_services.balance.timeLimit;
    m_quest.AddTime(seconds, limit);
    CGameScreens& screens = *m_services.screens;
    screens.SetGaugeTarget(m_quest.timeLeft / limit);
    m_services.PlayAt(FlowSound::TimeAdded, screens.quest.gauge.At(0)->Position().x);
}

void CLevel::StartLifeLostAnimation(const std::string& caption, float x, float y, bool fromGiven)
{
    m_services.lifeLostAward->SetCaption(caption);
    m_services.lifeLostAward->Start(fromGiven, x, y, -10.0f);
}

void CLevel::ShowLivesLeft()
{
    m_services.screens->SetHudValues(m_quest.Score(), m_quest.lives,
                                     m_quest.timeLeft / m_services.balance.timeLimit);
    if (m_services.balance.livesLimited)
        m_services.screens->ShowFirstItems(m_quest.lives);
}

void CLevel::LoseLife(bool timeUp, bool noLoss)
{
    CGameServices& s = m_services;
    lifeLost.active = true;
    lifeLost.timer = 0.0f;
    lifeLost.timeUp = timeUp;
    lifeLost.finished = noLoss;
    s.Play(FlowSound::LifeLost);
    const std::string cause = GetString(timeUp ? 54 : 13);
    if (!noLoss) {
        s.Play(FlowSound::Shuffle);
        StartLifeLostAnimation(cause + "\n" + GetString(53), 0.0f, 0.0f, false);
        s.board->ShuffleAnimated(kShuffleLength, 30);
        m_quest.LoseLife();
        ShowLivesLeft();
    } else {
        s.ShowCaption(cause, kShuffleLength + kShuffleFall);
        s.board->ShuffleAnimated(kShuffleLength, 30);
    }
    s.board->Events().DropPlayEvents();
}

void CLevel::UpdateLifeLost(float dt)
{
    if (!lifeLost.active)
        return;
    lifeLost.timer += dt;
    if (lifeLost.timer < m_services.delays.lifeLostWait || !lifeLost.finished)
        return;
    lifeLost.active = false;
    const CBalanceState& balance = m_services.balance;
    bool loaded = true;
    if (lifeLost.timeUp) {
        m_services.board->SetLocked(false);
        loaded = m_flow.LoadQuestCheckpoint(balance.livesLimited ? false : m_quest.lives <= 0);
    } else if (m_quest.lives > 0 || balance.livesLimited) {
        m_services.board->SetLocked(false);
    } else {
        loaded = m_flow.LoadQuestCheckpoint(true);
    }
    if (!loaded)
        m_flow.EndQuestSession();
}

void CLevel::ShuffleForLife(int button)
{
    CGameServices& s = m_services;
    s.screens->SetQuestOverlayVisible(false);
    overlayIdleTimer = 0.0f;
    overlayBlinking = false;
    if (!m_flow.IsIn<CPlay>() || s.board->CurrentLesson().lesson != Lesson::None || s.starAward->running ||
        s.lifeLostAward->running || lifeLost.active || !IsReadyForInput() || !s.board->IsIdle())
        return;
    lifeLost.active = true;
    lifeLost.timer = 0.0f;
    lifeLost.timeUp = false;
    lifeLost.finished = false;
    s.Play(FlowSound::Shuffle);
    CountedHandle<CQoStatic> pressed;
    for (const auto& control : s.screens->quest.shuffleGroup)
        if (CommandOf(control->id) == NthOf(Command::ShuffleFirst, button))
            pressed = control;
    const Vec3 at = pressed ? pressed->Position() : Vec3{};
    StartLifeLostAnimation(GetString(72), at.x, at.y, static_cast<bool>(pressed));
    s.board->ShuffleAnimated(kShuffleLength, 30);
    m_quest.LoseLife();
    ShowLivesLeft();
    if (pressed)
        pressed->SetVisible(false);
    DropBoardEvents();
}

void CLevel::LetGoOfThePick()
{
    CGameBoard& board = *m_services.board;
    if (board.Status().locked || board.CurrentLesson().lesson != Lesson::None || !board.Picked())
        return;
    board.LetGo();
    dragging = false;
}

bool CLevel::ShowHint()
{
    CGameBoard& board = *m_services.board;
    const BoardStatus status = board.Status();
    if (status.ended || !status.sandActive || status.locked)
        return false;
    MatchMove move;
    if (!board.Analysis().PickRandomMove(&move, RandomUnit()))
        return false;
    for (const auto& [column, row] : {std::pair{move.column1, move.row1}, std::pair{move.column2, move.row2}}) {
        const Vec2 p = board.CellToPoint(column, row, true);
        m_services.adviser->AddArrow(p.x, p.y + 0.3f * board.CellHeight(), m_services.delays.hintArrowTime);
    }
    m_services.PlayAt(FlowSound::Hint, board.CellToPoint(move.column2, move.row2, true).x);
    m_quest.trophyCounters[1] = -1;
    return true;
}

void CLevel::UpdateIdleHints(float dt)
{
    if (m_quest.timeLeft <= 0.0f)
        return;
    const FlowDelays& delays = m_services.delays;
    CGameScreens& screens = *m_services.screens;
    hintIdleTimer += dt;
    if (hintIdleTimer >= delays.hintDelay) {
        if (!hintBlinking) {
            hintBlinking = true;
            screens.quest.hintHighlight->SetVisible(true);
        }
        AdvanceBlinkA(dt);
        if (hintIdleTimer >= delays.hintDelay + delays.hintBlinkTime) {
            hintIdleTimer = 0.0f;
            blinkTimerA = 0.0f;
            hintBlinking = false;
            screens.quest.hintHighlight->SetVisible(false);
        }
    }
    if (!m_services.balance.livesLimited)
        return;
    overlayIdleTimer += dt;
    if (overlayIdleTimer < delays.overlayDelay)
        return;
    if (!overlayBlinking && !m_services.board->HasMarkedTokenInBottomRows(3)) {
        overlayIdleTimer = 0.0f;
        return;
    }
    if (!overlayBlinking) {
        overlayBlinking = true;
        screens.SetQuestOverlayVisible(true);
    }
    AdvanceBlinkB(dt);
    if (overlayIdleTimer >= delays.overlayDelay + delays.overlayBlinkTime) {
        overlayIdleTimer = 0.0f;
        blinkTimerB = 0.0f;
        overlayBlinking = false;
        screens.SetQuestOverlayVisible(false);
    }
}

void CLevel::ResetHints()
{
    hintIdleTimer = overlayIdleTimer = 0.0f;
    blinkTimerA = blinkTimerB = 0.0f;
    if (hintBlinking)
        m_services.screens->quest.hintHighlight->SetVisible(false);
    if (overlayBlinking)
        m_services.screens->SetQuestOverlayVisible(false);
    hintBlinking = overlayBlinking = false;
}

void CLevel::AdvanceBlinkA(float dt)
{
    blinkTimerA += dt;
    CGameScreens& screens = *m_services.screens;
    if (m_quest.gameType == 0 && screens.quest.hintHighlight)
        static_cast<CQoCheckbox*>(screens.quest.hintHighlight.Get())
            ->SetChecked(static_cast<int>(std::floor(blinkTimerA * 2.0f)) % 2 != 0);
}

void CLevel::AdvanceBlinkB(float dt)
{
    blinkTimerB += dt;
    CGameScreens& screens = *m_services.screens;
    if (m_quest.gameType == 0 && screens.quest.warningLamp)
        static_cast<CQoCheckbox*>(screens.quest.warningLamp.Get())
            ->SetChecked(static_cast<int>(std::floor(blinkTimerB * 2.0f)) % 2 != 0);
}

void CLevel::ShowHud()
{
    CGameServices& s = m_services;
    CGameScreens& screens = *s.screens;
    s.board->Show(true, true, 2.0f);
    screens.gaugeHold = m_quest.gameType;
    screens.SetHudValues(m_quest.Score(), m_quest.lives, m_quest.timeLeft / s.balance.timeLimit);
    if (s.balance.livesLimited)
        screens.ShowFirstItems(m_quest.lives);
    // The hint counter and the warning of a life at stake wait hidden until
    // they have something to show.
    screens.quest.hintCounter->SetVisible(false);
    screens.SetQuestOverlayVisible(false);
    // Every level of the quest offers its shuffles, however the quest was
    // reached: leaving a quest hides them.
    screens.SetQuestGroupVisible(m_quest.gameType != 0, true);
    screens.ShowForm(screens.quest.form, 2.0f);
    screens.SetNewLevelCaption(m_quest.level);
    screens.ShowForm(screens.newLevel.form, 2.0f);
    s.Play(FlowSound::LevelStart);
    s.totems->Reset();
    s.totems->BuildPanel(0);
    s.totems->ShowPanel(1, 2.0f);
}

void CLevel::HideLevelScreen(bool withQuestForm)
{
    m_services.board->Show(false, true, 2.0f);
    if (!withQuestForm || m_quest.gameType != 0)
        return;
    m_services.screens->HideForm(m_services.screens->quest.form, 2.0f);
    m_services.totems->ShowPanel(0, 2.0f);
    m_services.totems->FadeOutAll(2.0f);
}

void CLevel::ClearForMenu()
{
    CGameServices& s = m_services;
    s.board->Clear();
    s.board->Show(false, false, 0.0f);
    if (s.music)
        s.music->FadeTo(1);
    if (s.backgrounds)
        s.backgrounds->SetScene(CBackgroundManager::kMainMenu);
}

void CLevel::StartLevelPlay()
{
    CGameServices& s = m_services;
    s.board->SetLessons(m_quest.CurrentLessonPlan());
    s.board->SetLocked(false);
    s.board->SetSandActive(true);
    if (m_quest.gameType == 0)
        s.board->SetSandDrain(true, s.balance.LevelRate());
    if (s.music)
        s.music->FadeTo(0);
}
