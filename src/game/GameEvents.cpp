// What the game does with the events of the menu screens and the board: the
// volumes, the intro's end, the score and extra lives, combos, the score
// frenzy and its Golden Star, time bonuses, a won level, a board without
// moves, the bonus-level challenges' reports and the tutorial's prompts.
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
// and a full frenzy meter last (in that order).
void CGame::HandleBoardEvents()
{
    if (board->events.Empty())
        return;
    const size_t n = static_cast<size_t>(board->DeferEvents());
    for (size_t i = 0; i < n && i < board->events.Size(); ++i)
        HandleBoardEvent(board->events.At(i));
    board->events.Clear();
}

void CGame::HandleBoardEvent(const BoardEvent& event)
{
    switch (event.kind) {
    case kEventStrikesScored:
        screens->SetScore(board->stats.tables[1].Get(StatScore), true);
        CheckExtraLife();
        break;
    case kEventCombo:
        ShowCombo(event.value);
        break;
    case kEventSandFull:
        StartFrenzy();
        break;
    case kEventTimeBonus:
        ChangeTimeLeft(event.AFloat());
        break;
    case kEventLevelWon:
        OnLevelComplete();
        break;
    case kEventSandState:
        AwardFrenzyStar();
        break;
    case kEventNoMoveLeft:
        LoseLife(false, !balance.noMovesFlag);
        break;
    case kEventChallengeResult:
        OnChallengeHit();
        break;
    case kEventChallengeOver:
        OnChallengeRoundOver();
        break;
    case kEventChallengePoints:
        board->stats.AddToRunTables(event.value, StatScore);
        screens->SetScore(board->stats.tables[1].Get(StatScore), true);
        board->popups.AddNumberPopup(event.value, 1, event.AFloat(), event.SenderFloat(), kPopupDepth);
        CheckExtraLife();
        break;
    case kEventChallengePrompt:
        OnChallengePrompt(event.value);
        break;
    case kEventLevelState:
        ShowTutorialStep(static_cast<int32_t>(event.arg), event.value);
        break;
    default:
        // Kind 10 and any other are the board's own business.
        break;
    }
}

// One life for each new multiple of the points per life the score passes;
// one check grants one life at most.
void CGame::CheckExtraLife()
{
    if (gameType != 0 || balance.livesLimited || balance.pointsPerLife <= 0)
        return;
    const int32_t score = board->stats.tables[1].Get(StatScore);
    const int32_t n = balance.pointsPerLife;
    if (static_cast<int64_t>(board->savedCounter + 1) * n > score)
        return;
    board->savedCounter = score / n;
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
    const ComboMessage shown =
        ChooseComboMessage(ScoreMessageSettings(), static_cast<int>(board->colours.size()), count);
    if (shown.message > 0) {
        const Vec3& at = questLayout.comboMessagePos;
        board->popups.AddTextPopup(shown.text, shown.scale, shown.style, at.x, at.y, at.z);
    }
    board->stats.tables[2].Add(count, StatLongestCascade);
    board->stats.tables[1].Add(count, StatLongestCascade);
}

void CGame::StartFrenzy()
{
    const Vec3& at = questLayout.frenzyMessagePos;
    board->popups.AddTextPopup(GetString(7), 1.8f, 4, at.x, at.y, at.z);
    const SandboxGeometry& box = *board->sandbox->Geometry();
    AddFlare(box.left + box.width * 0.5f, box.top - box.height * 0.5f, box.z - 50.0f, box.width, box.height, 0.1f,
             0.5f, 0.5f, 16.0f, 16.0f);
    Play(FlowSound::Frenzy);
}

// Each further Golden Star of a level takes longer to earn.
void CGame::AwardFrenzyStar()
{
    board->SetLocked(true);
    board->sandbox->SetFull(false, 0.0f);
    const int n = ++starsThisLevel;
    SetSandMeterGain(BalanceDecay(n) * (board->hardMode ? 0.5f : 1.0f));
    starAward->Start();
    Play(FlowSound::GoldenStar);
    ++shop->stars;
    starAwarded = true;
    ++board->trophyCounters[0];
    ++board->trophyCounters[1];
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
    CountedHandle<CPopup> popup = board->popups.AddTextPopup(text, scale, style, at.x, at.y, at.z);
    if (popup && life > 0.0f)
        popup->life = life;
}

void CGame::ShowCaption(const std::string& text)
{
    const Vec2 centre = board->CellToPoint(board->columns / 2, board->rows / 2, true);
    board->popups.AddCaptionPopup(text, 1.5f, centre.x - board->cellWidth * 0.5f,
                                  centre.y + board->cellHeight * 0.5f, kPopupDepth);
}

void CGame::OnChallengeHit()
{
    switch (challengeMode) {
    case kMemory:
        if (board->memoryChallenge)
            board->memoryChallenge->DismissPlates();
        break;
    case kAttention:
        if (!board->attentionChallenge)
            break;
        screens->thimbles.captions[2]->SetVisible(false);
        if (board->attentionChallenge->chosenPlate == 1) {
            ++board->attentionChallenge->rightAnswers;
            ShowTextPopup(GetString(21), 1.0f, 0, 0.75f);
            board->attentionChallenge->DismissPlates();
        } else {
            ShowTextPopup(GetString(23), 1.0f, 3, 0.75f);
            Play(FlowSound::Miss);
        }
        break;
    case kReaction:
        ShowTextPopup(GetString(24), 1.0f, 0, 0.75f);
        break;
    default:
        break;
    }
}

void CGame::OnChallengeRoundOver()
{
    if (SandInFlight() || subState > 8)
        return;
    switch (challengeMode) {
    case kMemory: {
        CMemoryChallenge* memory = board->memoryChallenge.Get();
        if (!memory)
            return;
        if (memory->round < 3 && timeLeft > 0.0f) {
            screens->SetMemoryCaptions(bonusLevel, memory->round + 1, 3);
            memory->StartRound(3 * bonusGroup - 2 + memory->round);
            ++memory->round;
        } else if (memory->collected >= BalanceCountByMode(bonusGroup)) {
            WinBonusLevel();
        } else {
            FailBonusLevel(17);
        }
        return;
    }
    case kAccuracy: {
        const CAccuracyChallenge* accuracy = board->accuracyChallenge.Get();
        if (accuracy && accuracy->caught >= accuracy->goal)
            WinBonusLevel();
        else
            FailBonusLevel(17);
        return;
    }
    case kAttention: {
        CAttentionChallenge* attention = board->attentionChallenge.Get();
        if (!attention)
            return;
        if (attention->round < 10) {
            screens->SetAttentionCaptions(bonusLevel, attention->round + 1, 10);
            attention->StartRound(attention->round + 1, bonusGroup);
            ++attention->round;
        } else if (attention->rightAnswers >= BalanceConst8()) {
            WinBonusLevel();
        } else {
            FailBonusLevel(19);
        }
        return;
    }
    case kReaction: {
        const CReactionChallenge* reaction = board->reactionChallenge.Get();
        if (!reaction || reaction->hits < reaction->needed) {
            FailBonusLevel(19);
            return;
        }
        for (size_t i = 1; i < screens->blinker.captions.size(); ++i)
            screens->blinker.captions[i]->SetVisible(false);
        WinBonusLevel();
        return;
    }
    default:
        return;
    }
}

void CGame::WinBonusLevel()
{
    ++board->trophyCounters[2];
    ResetSandKeepingMeter();
    starAward->Start();
    Play(FlowSound::GoldenStar);
    ++shop->stars;
    ++board->trophyCounters[0];
    ++board->trophyCounters[1];
    Next(10);
}

void CGame::FailBonusLevel(int text)
{
    ShowCaption(GetString(text));
    Next(9);
}

// A wrong stop in the Reaction challenge costs the challenge's penalty
// (the text shown with it says five seconds; the two are kept apart).
void CGame::OnChallengePrompt(int value)
{
    if (value == 1) {
        screens->thimbles.captions[2]->SetVisible(true);
        ShowTextPopup(GetString(20), 1.0f, 1, 1.0f);
        return;
    }
    if (value != 2)
        return;
    const CReactionChallenge* reaction = board->reactionChallenge.Get();
    const float messageTime = reaction ? reaction->messageTime : 4.0f;
    ShowTextPopup(GetString(23) + "\n" + GetString(30), 1.0f, 3, 0.6f * messageTime);
    if (reaction)
        timeLeft = std::max(0.0f, timeLeft - reaction->penaltySeconds);
}

void CGame::AddScore(int32_t points)
{
    board->stats.AddToRunTables(points, StatScore);
    screens->SetScore(board->stats.tables[1].Get(StatScore), true);
    CheckExtraLife();
}
