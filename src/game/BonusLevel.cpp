// A bonus level between two quest levels: one of the four challenges is
// set up on the board, its rules shown, its clock run, and its end judged;
// a won challenge earns a Golden Star. Then the quest goes on to the story
// and the shop as after any level.
#include "game/Game.h"

#include "engine/StringTable.h"
#include "screens/TextFormat.h"

#include <algorithm>

namespace {
// Popups of a challenge's points float this far in front of the board.
constexpr float kChallengePopupDepth = -20.0f;
// Title and rules texts by challenge (Memory, Accuracy, Attention, Reaction).
constexpr int kTitleText[4] = {50, 49, 52, 51};
constexpr int kRulesText[4] = {46, 45, 48, 47};

CountedHandle<CPlate> TokenPlateOf(const CAttentionChallenge& attention)
{
    const auto& plates = attention.Plates();
    return plates.size() > CAttentionChallenge::kTokenPlate ? plates[CAttentionChallenge::kTokenPlate]
                                                            : CountedHandle<CPlate>();
}

Vec2 AtPlate(const CountedHandle<CPlate>& plate)
{
    if (!plate)
        return Vec2{};
    const Vec3 p = plate->Position();
    return Vec2{p.x, p.y};
}
} // namespace

void CGame::RunChallenge(ChallengeKind kind)
{
    challenge = kind;
    board->SetChallengePlay(kind != kOrdinaryLevel);
}

// A challenge's controller lives only while its bonus level runs.
void CGame::ReleaseChallenge()
{
    memoryChallenge.Reset();
    accuracyChallenge.Reset();
    attentionChallenge.Reset();
    reactionChallenge.Reset();
}

const CountedHandle<CQoForm>& CGame::ChallengeForm() const
{
    switch (challenge) {
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
    switch (challenge) {
    case kMemory:
        return BalanceCountByMode(bonusGroup);
    case kAccuracy:
        return accuracyChallenge ? accuracyChallenge->Goal() : 0;
    case kAttention:
        return BalanceConst8();
    default:
        return BalanceReactionCount();
    }
}

void CGame::StartBonusLevel(int number, int group, ChallengeKind kind)
{
    bonusLevel = number;
    bonusGroup = group;
    RunChallenge(kind);
    if (kind != kAccuracy && !capsRenderer->SwitchTextureSet(1))
        WriteLog("Error switching Caps textures\n");
    nextTimeWarning = 10.0f;
    // The plates lie on the board's cells, and the challenges play through
    // the game's sounds.
    auto onBoard = [this](CPlateChallenge& plates) {
        const BoardGeometry g = board->Geometry();
        plates.SetSoundManager(sounds);
        plates.CreatePlateSet(capsRenderer);
        plates.SetBoardGeometry(g.originX, g.originY, g.originZ, g.cellWidth, g.cellHeight);
    };
    switch (kind) {
    case kMemory: {
        screens->SetMemoryCaptions(number, 1, 3);
        timeLeft = BalanceMemoryTime();
        auto memory = MakeCountedHandle(new CMemoryChallenge());
        onBoard(*memory);
        memory->SetRound(1);
        memoryChallenge = memory;
        break;
    }
    case kAccuracy:
        screens->SetAccuracyCaption(number);
        timeLeft = BalanceAccuracyTime();
        accuracyChallenge = MakeCountedHandle(new CAccuracyChallenge());
        accuracyChallenge->SetSoundManager(sounds);
        break;
    case kAttention: {
        screens->SetAttentionCaptions(number, 1, 10);
        timeLeft = 0.0f;
        auto attention = MakeCountedHandle(new CAttentionChallenge());
        onBoard(*attention);
        attention->SetRound(1);
        attentionChallenge = attention;
        break;
    }
    default: {
        screens->SetReactionCaption(number);
        timeLeft = BalanceReactionTime();
        auto reaction = MakeCountedHandle(new CReactionChallenge());
        onBoard(*reaction);
        reaction->SetNeeded(BalanceReactionCount());
        reactionChallenge = reaction;
        break;
    }
    }
    m_challengeTime = timeLeft;
    board->ResetSandKeepingMeter();
    phase = kPhaseBonusLevel;
    Next(0);
    if (music)
        music->FadeTo(3);
}

void CGame::UpdateBonusLevel(float dt)
{
    const int which = std::clamp(challenge - kMemory, 0, 3);
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
        if (!board->Status().ended && challenge != kAttention)
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
        ReleaseChallenge();
        screens->HideForm(ChallengeForm(), 2.0f);
        screens->HideForm(screens->quest.form, 2.0f);
        totems->ShowPanel(0, 2.0f);
        totems->FadeOutAll(2.0f);
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
    switch (challenge) {
    case kMemory:
        if (memoryChallenge)
            memoryChallenge->StartRound(3 * bonusGroup - 2);
        break;
    case kAccuracy:
        if (accuracyChallenge)
            accuracyChallenge->Start(bonusGroup);
        ShowTextPopup(GetString(18), 1.0f, 1, 0.5f);
        break;
    case kAttention:
        if (attentionChallenge)
            attentionChallenge->StartRound(bonusGroup);
        break;
    default:
        if (reactionChallenge)
            reactionChallenge->Start(bonusGroup);
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
    switch (challenge) {
    case kMemory:
        if (memoryChallenge && memoryChallenge->IsWaitingForPlayer())
            memoryChallenge->DismissPlates();
        break;
    case kAccuracy:
        if (accuracyChallenge)
            accuracyChallenge->EndOnTimeOut();
        break;
    case kReaction:
        if (reactionChallenge && reactionChallenge->EndOnTimeOut()) {
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
    switch (challenge) {
    case kMemory:
        if (memoryChallenge)
            memoryChallenge->Finish();
        break;
    case kAccuracy:
        if (accuracyChallenge)
            accuracyChallenge->Finish();
        break;
    case kAttention:
        if (attentionChallenge)
            attentionChallenge->Finish();
        break;
    default:
        if (reactionChallenge)
            reactionChallenge->Finish();
        break;
    }
}

void CGame::LeaveBonusLevel()
{
    screens->HideBackgroundItems();
    screens->ShowForm(screens->background.form, 2.0f);
    phase = kPhaseAfterResults;
    RunChallenge(kOrdinaryLevel);
    Next(0);
    if (music)
        music->FadeTo(2);
}

// What the running challenge reports in a frame: points scored at a place,
// a hit, a prompt, or the end of a round.
void CGame::UpdateChallenge(float dt)
{
    auto points = [this](int32_t value, const Vec2& at) {
        stats.AddToRunTables(value, StatScore);
        screens->SetScore(stats.tables[1].Get(StatScore), true);
        popups->AddNumberPopup(value, 1, at.x, at.y, kChallengePopupDepth);
        CheckExtraLife();
    };
    switch (challenge) {
    case kMemory:
        if (!memoryChallenge)
            return;
        switch (memoryChallenge->Update(dt)) {
        case 106:
            points(100, memoryChallenge->FirstOfLastPair());
            points(100, memoryChallenge->SecondOfLastPair());
            OnChallengeHit();
            break;
        case 105:
            points(100, memoryChallenge->FirstOfLastPair());
            points(100, memoryChallenge->SecondOfLastPair());
            break;
        case 103:
            OnChallengeRoundOver();
            break;
        default:
            break;
        }
        break;
    case kAccuracy:
        if (accuracyChallenge && accuracyChallenge->Update(dt) == 107)
            OnChallengeRoundOver();
        break;
    case kAttention:
        if (!attentionChallenge)
            return;
        switch (attentionChallenge->Update(dt)) {
        case 101:
            if (attentionChallenge->ChoseRight())
                points(500, AtPlate(TokenPlateOf(*attentionChallenge)));
            OnChallengeHit();
            break;
        case 109:
            OnChallengePrompt(1);
            break;
        case 108:
            OnChallengeRoundOver();
            break;
        default:
            break;
        }
        break;
    case kReaction:
        if (!reactionChallenge)
            return;
        switch (reactionChallenge->Update(dt)) {
        case 101:
            reactionChallenge->CountCatch();
            points(500, AtPlate(reactionChallenge->OpenPlate()));
            OnChallengeHit();
            break;
        case 102:
            reactionChallenge->TakeMiss();
            OnChallengePrompt(2);
            break;
        case 110:
            OnChallengeRoundOver();
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

void CGame::OnChallengeHit()
{
    switch (challenge) {
    case kMemory:
        if (memoryChallenge)
            memoryChallenge->DismissPlates();
        break;
    case kAttention:
        if (!attentionChallenge)
            break;
        screens->thimbles.captions[2]->SetVisible(false);
        if (attentionChallenge->ChoseRight()) {
            attentionChallenge->AddRightAnswer();
            ShowTextPopup(GetString(21), 1.0f, 0, 0.75f);
            attentionChallenge->DismissPlates();
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
    if (board->SandInFlight() || subState > 8)
        return;
    switch (challenge) {
    case kMemory: {
        CMemoryChallenge* memory = memoryChallenge.Get();
        if (!memory)
            return;
        if (memory->Round() < 3 && timeLeft > 0.0f) {
            screens->SetMemoryCaptions(bonusLevel, memory->Round() + 1, 3);
            memory->StartRound(3 * bonusGroup - 2 + memory->Round());
            memory->SetRound(memory->Round() + 1);
        } else if (memory->Collected() >= BalanceCountByMode(bonusGroup)) {
            WinBonusLevel();
        } else {
            FailBonusLevel(17);
        }
        return;
    }
    case kAccuracy: {
        const CAccuracyChallenge* accuracy = accuracyChallenge.Get();
        if (accuracy && accuracy->Caught() >= accuracy->Goal())
            WinBonusLevel();
        else
            FailBonusLevel(17);
        return;
    }
    case kAttention: {
        CAttentionChallenge* attention = attentionChallenge.Get();
        if (!attention)
            return;
        if (attention->Round() < 10) {
            screens->SetAttentionCaptions(bonusLevel, attention->Round() + 1, 10);
            attention->StartRound(bonusGroup);
            attention->SetRound(attention->Round() + 1);
        } else if (attention->RightAnswers() >= BalanceConst8()) {
            WinBonusLevel();
        } else {
            FailBonusLevel(19);
        }
        return;
    }
    case kReaction: {
        const CReactionChallenge* reaction = reactionChallenge.Get();
        if (!reaction || reaction->Caught() < reaction->Needed()) {
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
    ++trophyCounters[2];
    board->ResetSandKeepingMeter();
    starAward->Start();
    Play(FlowSound::GoldenStar);
    ++shop->stars;
    ++trophyCounters[0];
    ++trophyCounters[1];
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
    const CReactionChallenge* reaction = reactionChallenge.Get();
    const float messageTime = reaction ? reaction->MissPause() : 3.0f;
    ShowTextPopup(GetString(23) + "\n" + GetString(30), 1.0f, 3, 0.6f * messageTime);
    if (reaction)
        timeLeft = std::max(0.0f, timeLeft - reaction->Penalty());
}
