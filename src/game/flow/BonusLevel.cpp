// A bonus level, step by step, and what its challenge reports.
#include "game/flow/BonusLevel.h"

#include "engine/Settings.h"
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
// The points of a pair found, of a right answer and of a catch.
constexpr int32_t kPairPoints = 100, kRightPoints = 500, kCatchPoints = 500;
// The share of the sand box that each plate's sand pours: a Memory level
// fills the box with every plate of its three rounds.
constexpr float kMemorySand[2] = {1.0f / 57.5f, 1.0f / 61.5f};
constexpr float kAttentionSand = 0.13f, kReactionSand = 0.088f;
// The stars fly in an area of 640 x 500 whose top-right corner is here.
constexpr float kStarsRight = 512.0f, kStarsTop = 200.0f, kStarsWidth = 640.0f, kStarsHeight = 500.0f;
// The prompts a challenge asks the level to show.
constexpr int kPromptChoose = 1, kPromptWrongStop = 2;

Vec2 Where(const CountedHandle<CPlate>& plate)
{
    if (!plate)
        return Vec2{};
    const Vec3 p = plate->Position();
    return Vec2{p.x, p.y};
}
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
        return m_challenge.accuracy ? m_challenge.accuracy->Goal() : 0;
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
    RunningChallenge& c = m_challenge;
    switch (kind) {
    case kMemory:
        s.screens->SetMemoryCaptions(number, 1, 3);
        m_quest.timeLeft = BalanceMemoryTime();
        c.memory = MakeCountedHandle(new CMemoryChallenge());
        LayPlates(*c.memory);
        c.memory->SetRound(1);
        break;
    case kAccuracy:
        s.screens->SetAccuracyCaption(number);
        m_quest.timeLeft = BalanceAccuracyTime();
        c.accuracy = MakeCountedHandle(new CAccuracyChallenge());
        c.accuracy->SetSoundManager(s.sounds);
        PlaceStars(*c.accuracy);
        break;
    case kAttention:
        s.screens->SetAttentionCaptions(number, 1, 10);
        m_quest.timeLeft = 0.0f;
        c.attention = MakeCountedHandle(new CAttentionChallenge());
        LayPlates(*c.attention);
        c.attention->SetRound(1);
        break;
    default:
        s.screens->SetReactionCaption(number);
        m_quest.timeLeft = BalanceReactionTime();
        c.reaction = MakeCountedHandle(new CReactionChallenge());
        LayPlates(*c.reaction);
        c.reaction->SetNeeded(BalanceReactionCount());
        break;
    }
    m_challengeTime = m_quest.timeLeft;
    s.board->ResetSandKeepingMeter();
    if (s.music)
        s.music->FadeTo(3);
}

// The plates lie on the board's cells as its tokens do, in the centred frame
// at the board's corner, whatever the skin makes of it.
void CBonusLevel::LayPlates(CPlateChallenge& challenge)
{
    CGameServices& s = m_services;
    const BoardGeometry g = s.board->Geometry();
    challenge.SetSoundManager(s.sounds);
    challenge.CreatePlateSet(s.capsRenderer);
    challenge.SetBoardGeometry(g.originX, g.originY, g.originZ, g.cellWidth, g.cellHeight);
}

// The stars fly over the board, just in front of it, and land in the slots
// of the sand box's frenzy bar. The bar's count is read as the skin writes
// it: the sand box's own reading makes a count below 1 into 1, where the
// stars take their own goal instead.
void CBonusLevel::PlaceStars(CAccuracyChallenge& accuracy)
{
    CGameServices& s = m_services;
    accuracy.SetResources(AccuracyResources{s.spriteRenderers[1], s.particleManagers[2],
                                            s.effectTextures[CGameServices::kArcadeStar],
                                            s.effectTextures[CGameServices::kStarParticle]});
    const float z = s.board->Geometry().originZ - 1.0f;
    const SandboxGeometry box = s.board->SandboxBox();
    const SandboxSettings& bar = s.questLayout.sandbox;
    const int count =
        ReadIniInt(s.paths.folders[CDataPaths::Config] + "Skin.cfg", "FieldQuest", "SandboxFrenzyBarCount", "19");
    accuracy.SetArea(kStarsRight, kStarsTop, z, kStarsWidth, kStarsHeight, box.left + bar.barShift.x,
                     box.top + bar.barShift.y, z, bar.barElementSize.x, bar.barElementSize.y, count);
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
            c.attention->StartRound(m_group);
        break;
    default:
        if (c.reaction)
            c.reaction->Start(m_group);
        break;
    }
}

// The challenge's clock (the Attention challenge has none), stopped while
// play is paused. Once the time is up the challenge is told so in every
// frame until it takes it: a Memory check, a deal, or a Reaction pause end
// first. The step ends when the challenge does.
bool CBonusLevel::RunClock()
{
    const BoardStatus board = m_services.board->Status();
    if (board.ended || board.locked || m_challenge.kind == kAttention)
        return false;
    CQuestState& q = m_quest;
    q.timeLeft = std::max(0.0f, q.timeLeft - m_flow.FrameTime());
    if (m_challengeTime > 0.0f)
        m_services.screens->SetGaugeTarget(q.timeLeft / m_challengeTime);
    if (q.timeLeft <= q.nextTimeWarning && q.nextTimeWarning >= 0.0f) {
        m_services.screens->StartOverlay(true);
        q.nextTimeWarning = q.nextTimeWarning == 10.0f ? 5.0f : q.nextTimeWarning - 1.0f;
    }
    if (q.timeLeft > 0.0f)
        return false;
    RunningChallenge& c = m_challenge;
    switch (c.kind) {
    case kMemory:
        if (c.memory && c.memory->IsWaitingForPlayer()) {
            m_services.board->SpawnMemoryEffects(*c.memory, MemorySand());
            c.memory->DismissPlates();
        }
        break;
    case kAccuracy:
        if (c.accuracy)
            c.accuracy->EndOnTimeOut();
        break;
    case kReaction:
        if (c.reaction && c.reaction->EndOnTimeOut())
            m_services.screens->SetReactionStopShown(false);
        break;
    default:
        break;
    }
    return false;
}

float CBonusLevel::MemorySand() const { return kMemorySand[m_group == 2 ? 1 : 0]; }

void CBonusLevel::EndChallenge()
{
    RunningChallenge& c = m_challenge;
    if (c.memory)
        c.memory->Finish();
    if (c.accuracy)
        c.accuracy->Finish();
    if (c.attention)
        c.attention->Finish();
    if (c.reaction)
        c.reaction->Finish();
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
        return c.memory && c.memory->IsWaitingForPlayer();
    case kAccuracy:
        return c.accuracy && c.accuracy->IsWaitingForPlayer();
    case kAttention:
        return c.attention && c.attention->IsWaitingForPlayer();
    case kReaction:
        return c.reaction && c.reaction->IsWaitingForPlayer();
    default:
        return false;
    }
}

bool CBonusLevel::TakesInput() const
{
    const BoardStatus board = m_services.board->Status();
    return m_challenge.kind != kOrdinaryLevel && !board.ended && !board.locked;
}

bool CBonusLevel::StopPressed()
{
    if (!TakesInput() || !m_challenge.reaction)
        return false;
    m_challenge.reaction->OnStop();
    return true;
}

// A press that no control took stops the Reaction challenge; the other
// challenges take the press on their plates and stars.
void CBonusLevel::Press(float x, float y, const ScreenPress& press)
{
    if (!TakesInput())
        return;
    RunningChallenge& c = m_challenge;
    if (c.kind == kReaction && m_quest.gameType == 0 && !press.consumed && c.reaction) {
        c.reaction->OnStop();
    } else if (c.kind == kMemory && c.memory) {
        c.memory->OnClick(x, y);
    } else if (c.kind == kAccuracy && c.accuracy) {
        if (c.accuracy->OnClick(x, y) == kResultStarCaught) {
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
    if (m_quest.gameType != 0 || m_challenge.kind != kReaction || key != plat::VK_SPACE)
        return false;
    return StopPressed();
}

// The challenge's codes as events of the level: points at a place, a hit
// (the plates a challenge is done with shatter into sand), a prompt, the
// end of a round.
void CBonusLevel::UpdateChallenge(float dt)
{
    RunningChallenge& c = m_challenge;
    switch (c.kind) {
    case kMemory:
        if (!c.memory)
            return;
        switch (c.memory->Update(dt)) {
        case kResultLastPairFound:
            Points(kPairPoints, c.memory->FirstOfLastPair());
            Points(kPairPoints, c.memory->SecondOfLastPair());
            OnHit();
            break;
        case kResultPairFound:
            Points(kPairPoints, c.memory->FirstOfLastPair());
            Points(kPairPoints, c.memory->SecondOfLastPair());
            break;
        case kResultPlatesCleared:
            OnRoundOver();
            break;
        default:
            break;
        }
        break;
    case kAccuracy:
        if (c.accuracy && c.accuracy->Update(dt) == kResultStarsLanded)
            OnRoundOver();
        break;
    case kAttention:
        if (!c.attention)
            return;
        switch (c.attention->Update(dt)) {
        case kResultChoiceShown:
            if (c.attention->ChoseRight()) {
                const auto& plates = c.attention->Plates();
                const size_t token = CAttentionChallenge::kTokenPlate;
                Points(kRightPoints, Where(token < plates.size() ? plates[token] : CountedHandle<CPlate>()));
            }
            OnHit();
            break;
        case kResultChoiceAwaited:
            OnPrompt(kPromptChoose);
            break;
        case kResultRoundGone:
            OnRoundOver();
            break;
        default:
            break;
        }
        break;
    case kReaction:
        if (!c.reaction)
            return;
        switch (c.reaction->Update(dt)) {
        case kResultTokenCaught:
            c.reaction->CountCatch();
            Points(kCatchPoints, Where(c.reaction->OpenPlate()));
            OnHit();
            break;
        case kResultStopMissed:
            c.reaction->TakeMiss();
            OnPrompt(kPromptWrongStop);
            break;
        case kResultReactionOver:
            OnRoundOver();
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

// Points scored at a place: the score, its popup there, and a life when the
// score passes the next step.
void CBonusLevel::Points(int32_t value, const Vec2& at)
{
    m_quest.AddScore(value);
    m_services.screens->SetScore(m_quest.Score(), true);
    m_services.popups->AddNumberPopup(value, 1, at.x, at.y, kChallengePopupDepth);
    m_flow.level.CheckExtraLife();
}

void CBonusLevel::OnHit()
{
    RunningChallenge& c = m_challenge;
    CGameServices& s = m_services;
    switch (c.kind) {
    case kMemory:
        if (!c.memory)
            break;
        s.board->SpawnMemoryEffects(*c.memory, MemorySand());
        c.memory->DismissPlates();
        break;
    case kAttention:
        if (!c.attention)
            break;
        s.screens->thimbles.captions[2]->SetVisible(false);
        if (c.attention->ChoseRight()) {
            c.attention->AddRightAnswer();
            s.board->SpawnAttentionEffects(*c.attention, kAttentionSand);
            s.ShowTextPopup(GetString(21), 1.0f, 0, 0.75f);
            c.attention->DismissPlates();
        } else {
            s.ShowTextPopup(GetString(23), 1.0f, 3, 0.75f);
            s.Play(FlowSound::Miss);
        }
        break;
    case kReaction:
        if (c.reaction)
            s.board->SpawnReactionEffects(*c.reaction, kReactionSand);
        s.ShowTextPopup(GetString(24), 1.0f, 0, 0.75f);
        break;
    default:
        break;
    }
}

// A round's end: the next round, or the challenge judged, once, when the
// sand it poured has landed (the challenge reports its end again in every
// frame until then).
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
        if (memory->Round() < 3 && m_quest.timeLeft > 0.0f) {
            m_services.screens->SetMemoryCaptions(m_number, memory->Round() + 1, 3);
            memory->StartRound(3 * m_group - 2 + memory->Round());
            memory->SetRound(memory->Round() + 1);
        } else if (memory->Collected() >= BalanceCountByMode(m_group)) {
            Win();
        } else {
            Fail(17);
        }
        return;
    }
    case kAccuracy: {
        const CAccuracyChallenge* accuracy = c.accuracy.Get();
        if (accuracy && accuracy->Caught() >= accuracy->Goal())
            Win();
        else
            Fail(17);
        return;
    }
    case kAttention: {
        CAttentionChallenge* attention = c.attention.Get();
        if (!attention)
            return;
        if (attention->Round() < 10) {
            m_services.screens->SetAttentionCaptions(m_number, attention->Round() + 1, 10);
            attention->StartRound(m_group);
            attention->SetRound(attention->Round() + 1);
        } else if (attention->RightAnswers() >= BalanceConst8()) {
            Win();
        } else {
            Fail(19);
        }
        return;
    }
    case kReaction: {
        const CReactionChallenge* reaction = c.reaction.Get();
        if (reaction && reaction->Caught() >= reaction->Needed())
            Win();
        else
            Fail(19);
        return;
    }
    default:
        return;
    }
}

void CBonusLevel::Win()
{
    if (m_challenge.kind == kReaction)
        m_services.screens->SetReactionStopShown(false);
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

// The Attention challenge asks where the token is; a Reaction stop that
// caught nothing costs the challenge's penalty, and its message stays for
// most of the flashing's pause.
void CBonusLevel::OnPrompt(int value)
{
    CGameServices& s = m_services;
    if (value == kPromptChoose) {
        s.screens->thimbles.captions[2]->SetVisible(true);
        s.ShowTextPopup(GetString(20), 1.0f, 1, 1.0f);
        return;
    }
    const CReactionChallenge* reaction = m_challenge.reaction.Get();
    if (value != kPromptWrongStop || !reaction)
        return;
    s.ShowTextPopup(GetString(23) + ". " + GetString(30), 1.0f, 3, 0.6f * reaction->MissPause());
    m_quest.timeLeft = std::max(0.0f, m_quest.timeLeft - reaction->Penalty());
}
