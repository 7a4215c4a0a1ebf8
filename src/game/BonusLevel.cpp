// A bonus level between two quest levels: one of the four challenges is
// set up on the board, its rules shown, its clock run, and its end judged;
// a won challenge earns a Golden Star. Then the quest goes on to the story
// and the shop as after any level.
#include "game/Game.h"

#include "engine/StringTable.h"
#include "screens/TextFormat.h"

#include <algorithm>

namespace {
// Title and rules texts by challenge (Memory, Accuracy, Attention, Reaction).
constexpr int kTitleText[4] = {50, 49, 52, 51};
constexpr int kRulesText[4] = {46, 45, 48, 47};
} // namespace

const CountedHandle<CQoForm>& CGame::ChallengeForm() const
{
    switch (challengeMode) {
    case kMemory:
        return screens->memory.form;
    case kAccuracy:
        return screens->arcade.form;
    case kAttention:
        return screens->thimbles.form;
    default:
        return screens->blinker.form;
    }
}

int CGame::ChallengeGoal() const
{
    switch (challengeMode) {
    case kMemory:
        return BalanceCountByMode(bonusGroup);
    case kAccuracy:
        return board->accuracyChallenge ? board->accuracyChallenge->goal : 0;
    case kAttention:
        return BalanceConst8();
    default:
        return BalanceReactionCount();
    }
}

void CGame::StartBonusLevel(int number, int group, int challenge)
{
    bonusLevel = number;
    bonusGroup = group;
    challengeMode = challenge;
    board->playState = challenge;
    if (challenge != kAccuracy && !capsRenderer->SwitchTextureSet(1))
        WriteLog("Error switching Caps textures\n");
    nextTimeWarning = 10.0f;
    switch (challenge) {
    case kMemory: {
        screens->SetMemoryCaptions(number, 1, 3);
        timeLeft = BalanceMemoryTime();
        auto memory = MakeCountedHandle(new CMemoryChallenge());
        memory->round = 1;
        memory->collected = 0;
        board->memoryChallenge = memory;
        break;
    }
    case kAccuracy:
        screens->SetAccuracyCaption(number);
        timeLeft = BalanceAccuracyTime();
        board->accuracyChallenge = MakeCountedHandle(new CAccuracyChallenge());
        break;
    case kAttention: {
        screens->SetAttentionCaptions(number, 1, 10);
        timeLeft = 0.0f;
        auto attention = MakeCountedHandle(new CAttentionChallenge());
        attention->round = 1;
        attention->rightAnswers = 0;
        board->attentionChallenge = attention;
        break;
    }
    default: {
        screens->SetReactionCaption(number);
        timeLeft = BalanceReactionTime();
        auto reaction = MakeCountedHandle(new CReactionChallenge());
        reaction->hits = 0;
        reaction->needed = BalanceReactionCount();
        board->reactionChallenge = reaction;
        break;
    }
    }
    m_challengeTime = timeLeft;
    ResetSandKeepingMeter();
    phase = kPhaseBonusLevel;
    Next(0);
    if (music)
        music->FadeTo(3);
}

void CGame::UpdateBonusLevel(float dt)
{
    const int which = std::clamp(challengeMode - kMemory, 0, 3);
    switch (subState) {
    case -10:
        if (modeTimer < 0.5f)
            return;
        screens->SetMessageBox(GetString(kTitleText[which]),
                               FormatTableText(kRulesText[which], 256, ChallengeGoal()),
                               CGameScreens::kGroupContinue, Question::BonusLevelRules);
        screens->ShowForm(screens->msgBox.form, 2.0f);
        screens->quest.form->SetEnabled(false);
        Next(-9);
        return;
    case -9:
        if (modeTimer >= 0.5f)
            Next(-8);
        return;
    case -7:
        if (modeTimer < 0.5f)
            return;
        screens->quest.form->SetEnabled(true);
        Next(3);
        return;
    case 0:
    case 1:
    case 12:
    case 13:
        Next(subState + 1);
        return;
    case 2:
        Play(FlowSound::BonusLevel);
        screens->HideForm(screens->statistics.form, 2.0f);
        screens->ShowForm(ChallengeForm(), 2.0f);
        board->Show(true, true, 2.0f);
        Next(profile && profile->questTutorial ? -10 : 3);
        return;
    case 3:
        if (modeTimer >= 0.5f) {
            StartChallenge();
            Next(4);
        }
        return;
    case 4:
        if (!board->ended && challengeMode != kAttention)
            UpdateChallengeClock(dt);
        return;
    case 9:
        if (modeTimer >= 2.0f)
            Next(11);
        return;
    case 11:
        FinishChallenge();
        if (!capsRenderer->SwitchTextureSet(0))
            WriteLog("Error switching Caps textures\n");
        Next(12);
        return;
    case 14:
        board->memoryChallenge.Reset();
        board->accuracyChallenge.Reset();
        board->attentionChallenge.Reset();
        board->reactionChallenge.Reset();
        screens->HideForm(ChallengeForm(), 2.0f);
        screens->HideForm(screens->quest.form, 2.0f);
        board->totems.ShowPanel(0, 2.0f);
        board->totems.FadeOutAll(2.0f);
        HideLevelScreen(false);
        if (EvaluateTrophiesAfterGame())
            Next(20);
        else
            LeaveBonusLevel();
        return;
    case 20:
        // The trophies come once and stay until the player closes them,
        // which leaves the bonus level.
        if (modeTimer >= 0.5f && !trophiesOverLevel)
            RunTrophyStep();
        return;
    default:
        // -8 waits for the rules box, 10 for the Golden Star.
        return;
    }
}

void CGame::StartChallenge()
{
    switch (challengeMode) {
    case kMemory:
        if (board->memoryChallenge)
            board->memoryChallenge->StartRound(3 * bonusGroup - 2);
        break;
    case kAccuracy:
        if (board->accuracyChallenge)
            board->accuracyChallenge->Start(bonusGroup);
        ShowTextPopup(GetString(18), 1.0f, 1, 0.5f);
        break;
    case kAttention:
        if (board->attentionChallenge)
            board->attentionChallenge->StartRound(1, bonusGroup);
        break;
    default:
        if (board->reactionChallenge)
            board->reactionChallenge->Start(bonusGroup);
        break;
    }
}

// The challenge's clock; at 0 the challenge is sent to its end.
void CGame::UpdateChallengeClock(float dt)
{
    const bool wasRunning = timeLeft > 0.0f;
    timeLeft = std::max(0.0f, timeLeft - dt);
    if (m_challengeTime > 0.0f)
        screens->SetGaugeTarget(timeLeft / m_challengeTime);
    if (timeLeft <= nextTimeWarning && nextTimeWarning >= 0.0f) {
        screens->StartOverlay(true);
        nextTimeWarning = nextTimeWarning == 10.0f ? 5.0f : nextTimeWarning - 1.0f;
    }
    if (!wasRunning || timeLeft > 0.0f)
        return;
    switch (challengeMode) {
    case kMemory:
        if (board->memoryChallenge && board->memoryChallenge->state == CMemoryChallenge::kWaiting)
            board->memoryChallenge->DismissPlates();
        break;
    case kAccuracy:
        if (board->accuracyChallenge && board->accuracyChallenge->state == CAccuracyChallenge::kWaiting)
            board->accuracyChallenge->SendStarsAway();
        break;
    case kReaction:
        if (board->reactionChallenge && board->reactionChallenge->state == CReactionChallenge::kWaiting) {
            board->reactionChallenge->DismissPlates();
            for (size_t i = 1; i < screens->blinker.captions.size(); ++i)
                screens->blinker.captions[i]->SetVisible(false);
        }
        break;
    default:
        break;
    }
}

void CGame::FinishChallenge()
{
    switch (challengeMode) {
    case kMemory:
        if (board->memoryChallenge)
            board->memoryChallenge->state = 0;
        break;
    case kAccuracy:
        if (board->accuracyChallenge)
            board->accuracyChallenge->state = 12;
        break;
    case kAttention:
        if (board->attentionChallenge)
            board->attentionChallenge->state = 8;
        break;
    default:
        if (board->reactionChallenge)
            board->reactionChallenge->state = 15;
        break;
    }
}

void CGame::LeaveBonusLevel()
{
    screens->HideBackgroundItems();
    screens->ShowForm(screens->background.form, 2.0f);
    phase = kPhaseAfterResults;
    challengeMode = kOrdinaryLevel;
    board->playState = kOrdinaryLevel;
    Next(0);
    if (music)
        music->FadeTo(2);
}
