// What the game does with the events of the menu screens and the board: the
// volumes, the intro's end, the score and extra lives, combos, the score
// frenzy and its Golden Star, time bonuses, a won level, a board without
// moves, the lessons' prompts and what the player has seen, and the counts
// of the statistics.
#include "game/Game.h"

#include "effects/overlays/ScoreSettings.h"
#include "engine/StringTable.h"

#include <algorithm>
#include <cmath>

namespace {
// Popups float this far in front of the board.
constexpr float kPopupDepth = -20.0f;
} // namespace

void CGame::HandleScreenEvents()
{
    for (const ScreenEvent& event : screens->Events())
        HandleScreenEvent(event);
}

void CGame::HandleScreenEvent(const ScreenEvent& event)
{
    switch (event.kind) {
    case ScreenEvent::Kind::VolumeChanged:
        if (event.command == Command::SoundVolume && sounds)
            sounds->SetVolume(event.value);
        else if (event.command == Command::MusicVolume && music)
            music->SetVolume(event.value);
        break;
    case ScreenEvent::Kind::FadedOut:
        if (event.form != screens->intro.form)
            break;
        screens->SetIntroTextureLoaded(false);
        if (mode == kModeLevelIntro && subState < 0) {
            Next(0);
        }
        break;
    default:
        break;
    }
}

// The board's events of one frame, the level's end, a board without moves
// and a full frenzy meter last (in that order). A handler that drops the
// board's events drops the rest of the frame's too; what the handlers make
// the board report waits for the next frame.
void CGame::HandleBoardEvents()
{
    if (board->Events().Empty())
        return;
    board->Events().TakeDeferred(&m_boardEvents);
    m_boardEventsDropped = false;
    for (const BoardEvent& event : m_boardEvents) {
        HandleBoardEvent(event);
        if (m_boardEventsDropped)
            break;
    }
    m_boardEvents.clear();
}

// The events of play the board still holds, and the rest of the frame's,
// are dropped; what the player has seen stays reported.
void CGame::DropBoardEvents()
{
    board->Events().DropPlayEvents();
    m_boardEventsDropped = true;
}

void CGame::HandleBoardEvent(const BoardEvent& event)
{
    switch (event.kind) {
    case BoardEventKind::StrikesScored:
        stats.AddToRunTables(event.value, StatScore);
        screens->SetScore(stats.tables[1].Get(StatScore), true);
        CheckExtraLife();
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
        OnLevelComplete();
        break;
    case BoardEventKind::FrenzyMeterFull:
        AwardFrenzyStar();
        break;
    case BoardEventKind::NoMoveLeft:
        LoseLife(false, !balance.noMovesFlag);
        break;
    case BoardEventKind::LessonStep:
        ShowTutorialStep(event.lesson, event.step);
        break;
    case BoardEventKind::Counted:
        stats.AddToRunTables(event.value, event.counter);
        break;
    case BoardEventKind::LessonSeen:
        MarkLessonSeen(event.lesson);
        break;
    case BoardEventKind::SandFullInChallenge:
        break;
    }
}

// One life for each new multiple of the points per life the score passes;
// one check grants one life at most.
void CGame::CheckExtraLife()
{
    if (gameType != 0 || balance.livesLimited || balance.pointsPerLife <= 0)
        return;
    const int32_t score = stats.tables[1].Get(StatScore);
    const int32_t n = balance.pointsPerLife;
    if (static_cast<int64_t>(extraLifeSteps + 1) * n > score)
        return;
    extraLifeSteps = score / n;
    ++lives;
    screens->quest.count->SetText(std::to_string(lives));
    const CQoStatic& counter = *screens->quest.count;
    const float left = counter.Position().x - counter.Size().w * 0.5f;
    AddFlare(left + 8.0f, counter.Position().y - 20.0f, counter.Position().z - 1.0f, 32.0f, 32.0f, 0.1f, 0.4f,
             0.4f, 4.0f, 4.0f);
    Play(FlowSound::ExtraLife);
}

void CGame::ShowCombo(int count)
{
    const ComboMessage shown = ChooseComboMessage(ScoreMessageSettings(), board->ColourCount(), count);
    if (shown.message > 0) {
        const Vec3& at = questLayout.comboMessagePos;
        popups->AddTextPopup(shown.text, shown.scale, shown.style, at.x, at.y, at.z);
    }
    stats.tables[2].Add(count, StatLongestCascade);
    stats.tables[1].Add(count, StatLongestCascade);
}

void CGame::StartFrenzy()
{
    const Vec3& at = questLayout.frenzyMessagePos;
    popups->AddTextPopup(GetString(7), 1.8f, 4, at.x, at.y, at.z);
    const SandboxGeometry box = board->SandboxBox();
    AddFlare(box.left + box.width * 0.5f, box.top - box.height * 0.5f, box.z - 50.0f, box.width, box.height, 0.1f,
             0.5f, 0.5f, 16.0f, 16.0f);
    Play(FlowSound::Frenzy);
}

// Each further Golden Star of a level takes longer to earn.
void CGame::AwardFrenzyStar()
{
    board->SetLocked(true);
    board->SetSandFlowing(false);
    const int n = ++starsThisLevel;
    board->SetSandMeterGain(BalanceDecay(n) * (hardMode ? 0.5f : 1.0f));
    starAward->Start();
    Play(FlowSound::GoldenStar);
    ++shop->stars;
    starAwarded = true;
    ++trophyCounters[0];
    ++trophyCounters[1];
}

void CGame::ChangeTimeLeft(float seconds)
{
    if (!std::isfinite(seconds))
        return;
    timeLeft += seconds;
    if (timeLeft > 30.0f)
        nextTimeWarning = 30.0f;
    else if (timeLeft > 15.0f)
        nextTimeWarning = 15.0f;
    else if (timeLeft > 10.0f)
        nextTimeWarning = 10.0f;
    else
        nextTimeWarning = std::floor(timeLeft);
    timeLeft = std::clamp(timeLeft, 0.0f, balance.timeLimit);
    screens->SetGaugeTarget(timeLeft / balance.timeLimit);
    PlayAt(FlowSound::TimeAdded, screens->quest.gauge.At(0)->Position().x);
}

void CGame::ShowTextPopup(const std::string& text, float scale, int style, float life)
{
    const Vec3& at = questLayout.comboMessagePos;
    CountedHandle<CPopup> popup = popups->AddTextPopup(text, scale, style, at.x, at.y, at.z);
    if (popup && life > 0.0f)
        popup->life = life;
}

void CGame::ShowCaption(const std::string& text)
{
    const BoardGeometry g = board->Geometry();
    const Vec2 centre = board->CellToPoint(g.columns / 2, g.rows / 2, true);
    popups->AddCaptionPopup(text, 1.5f, centre.x - g.cellWidth * 0.5f, centre.y + g.cellHeight * 0.5f,
                            kPopupDepth);
}

void CGame::AddScore(int32_t points)
{
    stats.AddToRunTables(points, StatScore);
    screens->SetScore(stats.tables[1].Get(StatScore), true);
    CheckExtraLife();
}
