// A bonus level, step by step, and what its challenge reports.
#include "game/flow/BonusLevel.h"

#include "engine/StringTable.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"
#include "screens/TextFormat.h"

#include <algorithm>

namespace {
// Popups of a challenge's points float this far in front of the board.
constexpr float kChallengePopupDepth = -20.0f;
// Title and rules texts by challenge (Memory, Accuracy, Attention, Reaction).
constexpr int kTitleText[4] = {50, 49, 52, 51};
constexpr int kRulesText[4] = {46, 45, 48, 47};

// What the challenges' updates and clicks report, by the numbers they use.
constexpr int kPlateHit = 101;     // a plate chosen or stopped in time; a star caught
constexpr int kStoppedWrong = 102; // the Reaction challenge stopped at the wrong time
constexpr int kMemoryRoundOver = 103;
constexpr int kPairScored = 105; // a pair found; its plates stay
constexpr int kPairFound = 106;  // a pair found; its plates go
constexpr int kAccuracyRoundOver = 107;
constexpr int kAttentionRoundOver = 108;
constexpr int kChoosePrompt = 109; // the Attention challenge asks for a choice
constexpr int kReactionRoundOver = 110;
// A challenge's controller at its end, by the states they use.
constexpr int32_t kMemoryEnded = 0, kAccuracyEnded = 12, kAttentionEnded = 8, kReactionEnded = 15;
// The prompts a challenge asks the flow to show.
constexpr int kPromptChoose = 1, kPromptWrongStop = 2;
} // namespace

constexpr FlowStep<CBonusLevel> CBonusLevel::kSteps[] = {
    {kFirstFrame, "first frame", 0.0f, nullptr, nullptr, kSecondFrame},
    {kSecondFrame, "second frame", 0.0f, nullptr, nullptr, kShowChallenge},
    {kShowChallenge, "the challenge's form comes in", 0.0f, nullptr, &CBonusLevel::ShowChallenge, kStart},
    {kRulesComing, "the rules come", 0.5f, nullptr, &CBonusLevel::ShowRules, kRulesShown},
    {kRulesShown, "the rules show", 0.5f, nullptr, nullptr, kRules},
    {kRules, "the player reads the rules", kForThePlayer, nullptr, nullptr, kRulesRead},
    {kRulesRead, "the rules go", 0.5f, nullptr, &CBonusLevel::RulesRead, kStart},
    {kStart, "the challenge starts", 0.5f, nullptr, &CBonusLevel::StartChallenge, kPlay},
    {kPlay, "the challenge plays", 0.0f, &CBonusLevel::RunClock, nullptr, kPlay},
    {kFailed, "the challenge was lost", 2.0f, nullptr, nullptr, kFinish},
    {kStar, "the Golden Star flies", kForAnEvent, nullptr, nullptr, kFinish},
    {kFinish, "the challenge ends", 0.0f, nullptr, &CBonusLevel::FinishChallenge, kAFrame},
    {kAFrame, "a frame", 0.0f, nullptr, nullptr, kAnotherFrame},
    {kAnotherFrame, "a frame", 0.0f, nullptr, nullptr, kLeave},
    {kLeave, "the challenge's forms go", 0.0f, nullptr, &CBonusLevel::LeaveChallenge, kTrophies},
    // The trophies come once and stay until the player closes them, which
    // leaves the bonus level.
    {kTrophies, "the trophies the quest reached", 0.5f, &CBonusLevel::NoTrophiesUp, &CBonusLevel::ShowTrophies,
     kTrophies},
};

const char* CBonusLevel::StepName() const { return StepNameIn(kSteps); }

bool CBonusLevel::WaitsForPlayer() const { return WaitsForPlayerIn(kSteps); }

void CBonusLevel::RunChallenge(ChallengeKind kind)
{
    m_challenge.kind = kind;
    m_services.board->SetChallengePlay(kind != kOrdinaryLevel);
}

// A challenge's controller lives only while its bonus level runs.
void CBonusLevel::ReleaseChallenge()
{
    m_challenge.memory.Reset();
    m_challenge.accuracy.Reset();
    m_challenge.attention.Reset();
    m_challenge.reaction.Reset();
}

void CBonusLevel::Leave()
{
    ReleaseChallenge();
    RunChallenge(kOrdinaryLevel);
}

const CountedHandle<CQoForm>& CBonusLevel::ChallengeForm() const
{
    const CGameScreens& screens = *m_services.screens;
    switch (m_challenge.kind) {
    case kMemory:
        return screens.memory.form;
    case kAccuracy:
        return screens.arcade.form;
    case kAttention:
        return screens.thimbles.form;
    default:
        return screens.blinker.form;
    }
}

int CBonusLevel::ChallengeGoal() const
{
    switch (m_challenge.kind) {
    case kMemory:
        return BalanceCountByMode(m_group);
    case kAccuracy:
        return m_challenge.accuracy ? m_challenge.accuracy->goal : 0;
    case kAttention:
        return BalanceConst8();
    default:
        return BalanceReactionCount();
    }
}

void CBonusLevel::Start(int number, int group, ChallengeKind kind)
{
    m_flow.Enter(*this);
    CGameServices& s = m_services;
    m_number = number;
    m_group = group;
    RunChallenge(kind);
    if (kind != kAccuracy && !s.capsRenderer->SwitchTextureSet(1))
        WriteLog("Error switching Caps textures\n");
    m_quest.nextTimeWarning = 10.0f;
    switch (kind) {
    case kMemory: {
        s.screens->SetMemoryCaptions(number, 1, 3);
        m_quest.timeLeft = BalanceMemoryTime();
        auto memory = MakeCountedHandle(new CMemoryChallenge());
        memory->round = 1;
        memory->collected = 0;
        m_challenge.memory = memory;
        break;
    }
    case kAccuracy:
        s.screens->SetAccuracyCaption(number);
        m_quest.timeLeft = BalanceAccuracyTime();
        m_challenge.accuracy = MakeCountedHandle(new CAccuracyChallenge());
        break;
    case kAttention: {
        s.screens->SetAttentionCaptions(number, 1, 10);
        m_quest.timeLeft = 0.0f;
        auto attention = MakeCountedHandle(new CAttentionChallenge());
        attention->round = 1;
        attention->rightAnswers = 0;
        m_challenge.attention = attention;
        break;
    }
    default: {
        s.screens->SetReactionCaption(number);
        m_quest.timeLeft = BalanceReactionTime();
        auto reaction = MakeCountedHandle(new CReactionChallenge());
        reaction->hits = 0;
        reaction->needed = BalanceReactionCount();
        m_challenge.reaction = reaction;
        break;
    }
    }
    m_challengeTime = m_quest.timeLeft;
    s.board->ResetSandKeepingMeter();
    if (s.music)
        s.music->FadeTo(3);
}

void CBonusLevel::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the bonus level's steps are listed in order");
    RunSteps(kSteps);
}

// The rules are told while the player takes the tutorial.
void CBonusLevel::ShowChallenge()
{
    CGameServices& s = m_services;
    s.Play(FlowSound::BonusLevel);
    s.screens->HideForm(s.screens->statistics.form, 2.0f);
    s.screens->ShowForm(ChallengeForm(), 2.0f);
    s.board->Show(true, true, 2.0f);
    if (m_quest.profile && m_quest.profile->questTutorial)
        GoTo(kRulesComing);
}

void CBonusLevel::ShowRules()
{
    CGameScreens& screens = *m_services.screens;
    const int which = std::clamp(m_challenge.kind - kMemory, 0, 3);
    screens.SetMessageBox(GetString(kTitleText[which]), FormatTableText(kRulesText[which], 256, ChallengeGoal()),
                          CGameScreens::kGroupContinue, Question::BonusLevelRules);
    screens.ShowForm(screens.msgBox.form, 2.0f);
    screens.quest.form->SetEnabled(false);
}

void CBonusLevel::RulesRead() { m_services.screens->quest.form->SetEnabled(true); }

InputResult CBonusLevel::OnCommand(Command command)
{
    if (command == Command::MessageOk && m_services.screens->AskedQuestion() == Question::BonusLevelRules)
        GoTo(kRulesRead);
    return InputResult::Continue;
}

void CBonusLevel::StartChallenge()
{
    RunningChallenge& c = m_challenge;
    switch (c.kind) {
    case kMemory:
        if (c.memory)
            c.memory->StartRound(3 * m_group - 2);
        break;
    case kAccuracy:
        if (c.accuracy)
            c.accuracy->Start(m_group);
        m_services.ShowTextPopup(GetString(18), 1.0f, 1, 0.5f);
        break;
    case kAttention:
        if (c.attention)
            c.attention->StartRound(1, m_group);
        break;
    default:
        if (c.reaction)
            c.reaction->Start(m_group);
        break;
    }
}

// The challenge's clock (the Attention challenge has none); at 0 the
// challenge is sent to its end. The step ends when the challenge does.
bool CBonusLevel::RunClock()
{
    if (m_services.board->Status().ended || m_challenge.kind == kAttention)
        return false;
    CQuestState& q = m_quest;
    const bool wasRunning = q.timeLeft > 0.0f;
    q.timeLeft = std::max(0.0f, q.timeLeft - m_flow.FrameTime());
    if (m_challengeTime > 0.0f)
        m_services.screens->SetGaugeTarget(q.timeLeft / m_challengeTime);
    if (q.timeLeft <= q.nextTimeWarning && q.nextTimeWarning >= 0.0f) {
        m_services.screens->StartOverlay(true);
        q.nextTimeWarning = q.nextTimeWarning == 10.0f ? 5.0f : q.nextTimeWarning - 1.0f;
    }
    if (!wasRunning || q.timeLeft > 0.0f)
        return false;
    RunningChallenge& c = m_challenge;
    switch (c.kind) {
    case kMemory:
        if (c.memory && c.memory->state == CMemoryChallenge::kWaiting)
            c.memory->DismissPlates();
        break;
    case kAccuracy:
        if (c.accuracy && c.accuracy->state == CAccuracyChallenge::kWaiting)
            c.accuracy->SendStarsAway();
        break;
    case kReaction:
        if (c.reaction && c.reaction->state == CReactionChallenge::kWaiting) {
            c.reaction->DismissPlates();
            const auto& captions = m_services.screens->blinker.captions;
            for (size_t i = 1; i < captions.size(); ++i)
                captions[i]->SetVisible(false);
        }
        break;
    default:
        break;
    }
    return false;
}

void CBonusLevel::EndChallenge()
{
    RunningChallenge& c = m_challenge;
    switch (c.kind) {
    case kMemory:
        if (c.memory)
            c.memory->state = kMemoryEnded;
        break;
    case kAccuracy:
        if (c.accuracy)
            c.accuracy->state = kAccuracyEnded;
        break;
    case kAttention:
        if (c.attention)
            c.attention->state = kAttentionEnded;
        break;
    default:
        if (c.reaction)
            c.reaction->state = kReactionEnded;
        break;
    }
}

// The board's caps come back from the challenge's set.
void CBonusLevel::FinishChallenge()
{
    EndChallenge();
    if (!m_services.capsRenderer->SwitchTextureSet(0))
        WriteLog("Error switching Caps textures\n");
}

void CBonusLevel::LeaveChallenge()
{
    CGameServices& s = m_services;
    ReleaseChallenge();
    s.screens->HideForm(ChallengeForm(), 2.0f);
    s.screens->HideForm(s.screens->quest.form, 2.0f);
    s.totems->ShowPanel(0, 2.0f);
    s.totems->FadeOutAll(2.0f);
    m_flow.level.HideLevelScreen(false);
    if (!m_flow.trophies.JudgeAfterGame())
        LeaveForTheStory();
}

bool CBonusLevel::NoTrophiesUp() { return !m_flow.trophies.OverLevel(); }

void CBonusLevel::ShowTrophies() { m_flow.trophies.RunStep(); }

void CBonusLevel::TrophiesClosed()
{
    if (StepIndex() == kTrophies)
        LeaveForTheStory();
}

void CBonusLevel::LeaveForTheStory()
{
    CGameScreens& screens = *m_services.screens;
    screens.HideBackgroundItems();
    screens.ShowForm(screens.background.form, 2.0f);
    m_flow.Enter(m_flow.betweenLevels);
    if (m_services.music)
        m_services.music->FadeTo(2);
}

void CBonusLevel::Abandon()
{
    EndChallenge();
    m_services.screens->HideForm(ChallengeForm(), 2.0f);
    ReleaseChallenge();
    RunChallenge(kOrdinaryLevel);
}

void CBonusLevel::StarLanded() { GoTo(kFinish); }

bool CBonusLevel::ChallengeWaits() const
{
    if (m_services.board->Status().locked)
        return false;
    const RunningChallenge& c = m_challenge;
    switch (c.kind) {
    case kMemory:
        return c.memory && c.memory->state == CMemoryChallenge::kWaiting;
    case kAccuracy:
        return c.accuracy && c.accuracy->state == CAccuracyChallenge::kWaiting;
    case kAttention:
        return c.attention && c.attention->state == CAttentionChallenge::kWaiting;
    case kReaction:
        return c.reaction && c.reaction->state == CReactionChallenge::kWaiting;
    default:
        return false;
    }
}

bool CBonusLevel::StopPressed(float x, float y)
{
    if (m_services.board->Status().ended || !m_challenge.reaction)
        return false;
    m_challenge.reaction->OnStop(x, y);
    return true;
}

// A press that no control took stops the Reaction challenge; the other
// challenges take the press on their plates.
void CBonusLevel::Press(float x, float y, const ScreenPress& press)
{
    RunningChallenge& c = m_challenge;
    const bool ended = m_services.board->Status().ended;
    if (c.kind == kReaction && m_quest.gameType == 0 && !press.consumed && !ended && c.reaction)
        c.reaction->OnStop(0.0f, 0.0f);
    if (ended)
        return;
    if (c.kind == kMemory && c.memory) {
        c.memory->OnClick(x, y);
    } else if (c.kind == kAccuracy && c.accuracy) {
        if (c.accuracy->OnClick(x, y) == kPlateHit) {
            m_flow.level.AddScore(250);
            m_services.popups->AddNumberPopup(250, 1, x, y, kChallengePopupDepth);
        }
    } else if (c.kind == kAttention && c.attention) {
        c.attention->OnClick(x, y);
    }
}

// Space stops the Reaction challenge.
bool CBonusLevel::Key(int key)
{
    if (m_quest.gameType != 0 || m_challenge.kind != kReaction || key != plat::VK_SPACE ||
        m_services.board->Status().ended || !m_challenge.reaction)
        return false;
    m_challenge.reaction->OnStop(0.0f, 0.0f);
    return true;
}

void CBonusLevel::UpdateChallenge(float dt)
{
    auto points = [this](int32_t value, const Vec2& at) {
        m_quest.AddScore(value);
        m_services.screens->SetScore(m_quest.Score(), true);
        m_services.popups->AddNumberPopup(value, 1, at.x, at.y, kChallengePopupDepth);
        m_flow.level.CheckExtraLife();
    };
    RunningChallenge& c = m_challenge;
    switch (c.kind) {
    case kMemory:
        if (!c.memory)
            return;
        switch (c.memory->Update(dt)) {
        case kPairFound:
            points(100, c.memory->firstItem);
            points(100, c.memory->secondItem);
            OnHit();
            break;
        case kPairScored:
            points(100, c.memory->firstItem);
            points(100, c.memory->secondItem);
            break;
        case kMemoryRoundOver:
            OnRoundOver();
            break;
        }
        break;
    case kAccuracy:
        if (c.accuracy && c.accuracy->Update(dt) == kAccuracyRoundOver)
            OnRoundOver();
        break;
    case kAttention:
        if (!c.attention)
            return;
        switch (c.attention->Update(dt)) {
        case kPlateHit:
            if (c.attention->chosenPlate == 1)
                points(500, c.attention->plate);
            OnHit();
            break;
        case kChoosePrompt:
            OnPrompt(kPromptChoose);
            break;
        case kAttentionRoundOver:
            OnRoundOver();
            break;
        }
        break;
    case kReaction:
        if (!c.reaction)
            return;
        switch (c.reaction->Update(dt)) {
        case kPlateHit:
            ++c.reaction->hits;
            c.reaction->SpeedUp();
            c.reaction->mode = 2;
            c.reaction->timer = 0.0f;
            points(500, c.reaction->plate);
            OnHit();
            break;
        case kStoppedWrong:
            c.reaction->mode = 1;
            c.reaction->timer = 0.0f;
            c.reaction->PlayMissSound();
            OnPrompt(kPromptWrongStop);
            break;
        case kReactionRoundOver:
            OnRoundOver();
            break;
        }
        break;
    default:
        break;
    }
}

void CBonusLevel::OnHit()
{
    RunningChallenge& c = m_challenge;
    switch (c.kind) {
    case kMemory:
        if (c.memory)
            c.memory->DismissPlates();
        break;
    case kAttention:
        if (!c.attention)
            break;
        m_services.screens->thimbles.captions[2]->SetVisible(false);
        if (c.attention->chosenPlate == 1) {
            ++c.attention->rightAnswers;
            m_services.ShowTextPopup(GetString(21), 1.0f, 0, 0.75f);
            c.attention->DismissPlates();
        } else {
            m_services.ShowTextPopup(GetString(23), 1.0f, 3, 0.75f);
            m_services.Play(FlowSound::Miss);
        }
        break;
    case kReaction:
        m_services.ShowTextPopup(GetString(24), 1.0f, 0, 0.75f);
        break;
    default:
        break;
    }
}

// A round's end: the next round, or the challenge judged, once.
void CBonusLevel::OnRoundOver()
{
    if (m_services.board->SandInFlight() || StepIndex() > kPlay)
        return;
    RunningChallenge& c = m_challenge;
    switch (c.kind) {
    case kMemory: {
        CMemoryChallenge* memory = c.memory.Get();
        if (!memory)
            return;
        if (memory->round < 3 && m_quest.timeLeft > 0.0f) {
            m_services.screens->SetMemoryCaptions(m_number, memory->round + 1, 3);
            memory->StartRound(3 * m_group - 2 + memory->round);
            ++memory->round;
        } else if (memory->collected >= BalanceCountByMode(m_group)) {
            Win();
        } else {
            Fail(17);
        }
        return;
    }
    case kAccuracy: {
        const CAccuracyChallenge* accuracy = c.accuracy.Get();
        if (accuracy && accuracy->caught >= accuracy->goal)
            Win();
        else
            Fail(17);
        return;
    }
    case kAttention: {
        CAttentionChallenge* attention = c.attention.Get();
        if (!attention)
            return;
        if (attention->round < 10) {
            m_services.screens->SetAttentionCaptions(m_number, attention->round + 1, 10);
            attention->StartRound(attention->round + 1, m_group);
            ++attention->round;
        } else if (attention->rightAnswers >= BalanceConst8()) {
            Win();
        } else {
            Fail(19);
        }
        return;
    }
    case kReaction: {
        const CReactionChallenge* reaction = c.reaction.Get();
        if (!reaction || reaction->hits < reaction->needed) {
            Fail(19);
            return;
        }
        const auto& captions = m_services.screens->blinker.captions;
        for (size_t i = 1; i < captions.size(); ++i)
            captions[i]->SetVisible(false);
        Win();
        return;
    }
    default:
        return;
    }
}

void CBonusLevel::Win()
{
    ++m_quest.trophyCounters[2];
    m_services.board->ResetSandKeepingMeter();
    m_services.starAward->Start();
    m_services.Play(FlowSound::GoldenStar);
    m_quest.EarnGoldenStar();
    GoTo(kStar);
}

void CBonusLevel::Fail(int text)
{
    m_services.ShowCaption(GetString(text));
    GoTo(kFailed);
}

// A wrong stop in the Reaction challenge costs the challenge's penalty
// (the text shown with it says five seconds; the two are kept apart).
void CBonusLevel::OnPrompt(int value)
{
    if (value == kPromptChoose) {
        m_services.screens->thimbles.captions[2]->SetVisible(true);
        m_services.ShowTextPopup(GetString(20), 1.0f, 1, 1.0f);
        return;
    }
    if (value != kPromptWrongStop)
        return;
    const CReactionChallenge* reaction = m_challenge.reaction.Get();
    const float messageTime = reaction ? reaction->messageTime : 4.0f;
    m_services.ShowTextPopup(GetString(23) + "\n" + GetString(30), 1.0f, 3, 0.6f * messageTime);
    if (reaction)
        m_quest.timeLeft = std::max(0.0f, m_quest.timeLeft - reaction->penaltySeconds);
}
