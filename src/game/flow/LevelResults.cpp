// A won level's results, row by row.
#include "game/flow/LevelResults.h"

#include "engine/StringTable.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"
#include "screens/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Seconds the time bonus takes to count up, and the pause between rows.
constexpr float kTallyTime = 2.5f;
constexpr float kPause = 0.25f;
// A new best is shown a while longer.
constexpr float kNewBestShown = 1.0f;
// The statistics rows show these counters, level and quest.
constexpr int kStatisticsCounters[5] = {StatLongestCascade, StatMarkedTokens, StatTotemActions, StatRemovals,
                                        StatLargestMatch};
// The results form's values by key.
enum ResultsValue {
    kTime = 0,
    kBestTime,
    kBestTimeHolder,
    kLevelScore,
    kTimeBonus,
    kBestScore,
    kBestScoreHolder,
    kNewBestTimeMark,
    kNewBestScoreMark,
    kTitle,
    kLevelHeading,
    kQuestHeading,
    kLevelCaption,
    kContinue,
};
// The results form's labelled rows.
enum ResultsRow { kTimeLabel, kBestTimeLabel, kLevelScoreLabel, kTimeBonusLabel, kBestScoreLabel };

using Shown = std::vector<CountedHandle<CQoStatic>>;
} // namespace

constexpr FlowStep<CLevelResults> CLevelResults::kSteps[] = {
    {kTimeRows, "the time and the best time", 0.0f, nullptr, &CLevelResults::RevealTimeRows, kPauseAfterTime},
    {kPauseAfterTime, "a pause", kPause, nullptr, nullptr, kScoreRows},
    {kScoreRows, "the score and the time bonus", 0.0f, nullptr, &CLevelResults::RevealScoreRows, kPauseAfterScore},
    {kPauseAfterScore, "a pause", kPause, nullptr, nullptr, kTallyStarts},
    {kTallyStarts, "the tally starts", 0.0f, nullptr, &CLevelResults::StartTally, kTallying},
    {kTallying, "the time bonus counts up", 0.0f, &CLevelResults::TallyCounted, &CLevelResults::FinishTally,
     kPauseAfterTally},
    {kPauseAfterTally, "a pause", kPause, nullptr, nullptr, kBestScoreRow},
    {kBestScoreRow, "the best score", 0.0f, nullptr, &CLevelResults::RevealBestScoreRow, kPauseAfterBestScore},
    {kPauseAfterBestScore, "a pause", kPause, nullptr, nullptr, kBestTimeMark},
    {kBestTimeMark, "a new best time", 0.0f, nullptr, &CLevelResults::RevealBestTimeMark, kPauseAfterBestTime},
    {kNewBestTime, "the new best time shows", kNewBestShown, nullptr, nullptr, kBestScoreMark},
    {kPauseAfterBestTime, "a pause", kPause, nullptr, nullptr, kBestScoreMark},
    {kBestScoreMark, "a new best score", 0.0f, nullptr, &CLevelResults::RevealBestScoreMark,
     kPauseAfterBestScoreMark},
    {kNewBestScore, "the new best score shows", kNewBestShown, nullptr, nullptr, kHeadings},
    {kPauseAfterBestScoreMark, "a pause", kPause, nullptr, nullptr, kHeadings},
    {kHeadings, "the level's and the quest's headings", 0.0f, nullptr, &CLevelResults::RevealHeadings,
     kPauseAfterHeadings},
    {kPauseAfterHeadings, "a pause", kPause, nullptr, nullptr, kFirstCounters},
    {kFirstCounters, "the longest cascade", kPause, nullptr, &CLevelResults::RevealCounterRow, kSecondCounters},
    {kSecondCounters, "the marked tokens", kPause, nullptr, &CLevelResults::RevealCounterRow, kThirdCounters},
    {kThirdCounters, "the totems' actions", kPause, nullptr, &CLevelResults::RevealCounterRow, kFourthCounters},
    {kFourthCounters, "the removals", kPause, nullptr, &CLevelResults::RevealCounterRow, kFifthCounters},
    {kFifthCounters, "the largest match", kPause, nullptr, &CLevelResults::RevealCounterRow, kAllShown},
    {kAllShown, "all shown; the player goes on", kForThePlayer, nullptr, nullptr, kAllShown},
};

const char* CLevelResults::StepName() const { return StepNameIn(kSteps); }

bool CLevelResults::WaitsForPlayer() const { return WaitsForPlayerIn(kSteps); }

void CLevelResults::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the results' steps are listed in order");
    RunSteps(kSteps);
}

void CLevelResults::Fill(bool visible)
{
    CGameServices& s = m_services;
    CQuestState& q = m_quest;
    const int level = q.level;
    q.results = TallyLevelResults(q.stats, level, q.timeLeft, s.balance.pointsPerSecond,
                                  q.playerName ? *q.playerName : std::string(), *s.bestScores, *s.bestTimes,
                                  s.paths.folders[CDataPaths::SharedGameData]);
    q.lastGameValue = q.results.secondsLeft;
    auto& values = s.screens->statistics.values;
    values[kTime]->SetText(FormatMinutesSeconds(q.results.levelTime));
    values[kBestTime]->SetText(FormatMinutesSeconds(s.bestTimes->Value(level)));
    values[kBestTimeHolder]->SetText(s.bestTimes->Name(level));
    values[kLevelScore]->SetText(std::to_string(q.results.levelScore));
    values[kTimeBonus]->SetText("0");
    values[kBestScore]->SetText(std::to_string(s.bestScores->Value(level)));
    values[kBestScoreHolder]->SetText(s.bestScores->Name(level));
    int stage = 0, inStage = 0;
    SplitLevelNumber(level, &stage, &inStage);
    values[kLevelCaption]->SetText(FormatTableText(8, 128, stage, inStage));
    for (size_t i = 0; i < 5; ++i) {
        const auto& levelRow = s.screens->statistics.levelRows[i];
        const auto& questRow = s.screens->statistics.questRows[i];
        if (levelRow.Size() > 1)
            levelRow.At(1)->SetText(std::to_string(q.stats.tables[2].Get(kStatisticsCounters[i])));
        if (!questRow.Empty())
            questRow.At(0)->SetText(std::to_string(q.stats.tables[1].Get(kStatisticsCounters[i])));
    }
    SetVisible(visible);
    if (!visible) {
        values[kTitle]->SetVisible(true);
        values[kLevelCaption]->SetVisible(true);
    }
    m_tallyScoreFrom = q.results.questScore;
}

// Every results control; the new-best marks only with a new best, and the
// continue button only once the results are all shown.
void CLevelResults::SetVisible(bool visible)
{
    auto& form = m_services.screens->statistics;
    for (const auto& value : form.values)
        value->SetVisible(visible);
    for (const auto* rows : {&form.results, &form.levelRows, &form.questRows})
        for (const ControlRow& row : *rows)
            row.SetVisible(visible);
    form.values[kNewBestTimeMark]->SetVisible(visible && m_quest.results.newBestTime);
    form.values[kNewBestScoreMark]->SetVisible(visible && m_quest.results.newBestScore);
    form.values[kContinue]->SetVisible(false);
}

template <class Controls>
void CLevelResults::Reveal(const Controls& shown)
{
    if (shown.empty())
        return;
    for (const auto& c : shown)
        c->SetVisible(true);
    const CQoStatic& first = *shown.front();
    const float left = first.Position().x - first.Size().w * 0.5f;
    const float top = first.Position().y + first.Size().h * 0.5f;
    m_services.AddFlare(left + first.Size().w * 0.5f, top - 10.0f, first.Position().z - 1.0f, 128.0f, 64.0f, 0.1f,
                        0.3f, 0.25f, 0.0f, 0.0f);
    m_services.Play(FlowSound::ResultsRow);
}

namespace {
// A labelled row with its values: the label's row shows, and its values
// and controls are revealed.
void AddRow(CGameScreens::StatisticsForm& form, Shown* shown, ResultsRow label, std::initializer_list<int> keys)
{
    form.results[label].SetVisible(true);
    for (const int k : keys)
        shown->push_back(form.values[static_cast<size_t>(k)]);
    for (const auto& c : form.results[label])
        shown->push_back(c);
}
} // namespace

void CLevelResults::RevealTimeRows()
{
    Shown shown;
    auto& form = m_services.screens->statistics;
    AddRow(form, &shown, kTimeLabel, {kTime});
    AddRow(form, &shown, kBestTimeLabel, {kBestTime, kBestTimeHolder});
    Reveal(shown);
}

void CLevelResults::RevealScoreRows()
{
    Shown shown;
    auto& form = m_services.screens->statistics;
    AddRow(form, &shown, kLevelScoreLabel, {kLevelScore});
    AddRow(form, &shown, kTimeBonusLabel, {kTimeBonus});
    Reveal(shown);
}

// Without a time bonus the tally is skipped.
void CLevelResults::StartTally()
{
    if (m_quest.results.timeBonus <= 0) {
        GoTo(kBestScoreRow);
        return;
    }
    if (m_services.sounds)
        m_services.sounds->Play(m_services.sounds->Sample(FlowSoundFile(FlowSound::Tally)), 0, 1);
}

bool CLevelResults::TallyCounted()
{
    const float share = StepTime() / kTallyTime;
    if (share >= 1.0f)
        return true;
    ShowTallyValues(share);
    return false;
}

void CLevelResults::ShowTallyValues(float share)
{
    const float t = std::clamp(share, 0.0f, 1.0f);
    const LevelResults& results = m_quest.results;
    const int32_t bonus = static_cast<int32_t>(std::floor(static_cast<float>(results.timeBonus) * t));
    CGameScreens& screens = *m_services.screens;
    auto& values = screens.statistics.values;
    values[kLevelScore]->SetText(std::to_string(results.levelScore + bonus));
    values[kTimeBonus]->SetText(std::to_string(bonus));
    screens.SetScore(m_tallyScoreFrom + bonus, false);
    screens.SetProgressGauge((1.0f - t) * m_quest.timeLeft / m_services.balance.timeLimit, true);
}

void CLevelResults::FinishTally()
{
    ShowTallyValues(1.0f);
    m_services.screens->SetScore(m_quest.Score(), false);
    if (m_services.sounds)
        m_services.sounds->StopLoops(m_services.sounds->Sample(FlowSoundFile(FlowSound::Tally)));
    m_flow.level.CheckExtraLife();
}

void CLevelResults::RevealBestScoreRow()
{
    Shown shown;
    AddRow(m_services.screens->statistics, &shown, kBestScoreLabel, {kBestScore, kBestScoreHolder});
    Reveal(shown);
}

// A new best is shown a while longer.
void CLevelResults::RevealBestTimeMark()
{
    const bool marked = m_quest.results.newBestTime;
    if (marked)
        Reveal(Shown{m_services.screens->statistics.values[kNewBestTimeMark]});
    GoTo(marked ? kNewBestTime : kPauseAfterBestTime);
}

void CLevelResults::RevealBestScoreMark()
{
    const bool marked = m_quest.results.newBestScore;
    if (marked)
        Reveal(Shown{m_services.screens->statistics.values[kNewBestScoreMark]});
    GoTo(marked ? kNewBestScore : kPauseAfterBestScoreMark);
}

void CLevelResults::RevealHeadings()
{
    const auto& values = m_services.screens->statistics.values;
    Reveal(Shown{values[kLevelHeading], values[kQuestHeading]});
}

// The counter rows in their order, level and quest side by side; the last
// one ends the results.
void CLevelResults::RevealCounterRow()
{
    const int i = StepIndex() - kFirstCounters;
    auto& form = m_services.screens->statistics;
    Shown shown;
    for (const auto& c : form.levelRows[static_cast<size_t>(i)])
        shown.push_back(c);
    for (const auto& c : form.questRows[static_cast<size_t>(i)])
        shown.push_back(c);
    Reveal(shown);
    if (StepIndex() == kFifthCounters)
        ShowEnd();
}

// The results are all shown: the continue button comes, and the trophies
// the quest has reached are judged.
void CLevelResults::ShowEnd()
{
    m_services.screens->statistics.values[kContinue]->SetVisible(true);
    GoTo(kAllShown);
    if (m_flow.trophies.JudgeAfterGame())
        m_flow.trophies.RunStep();
}

// A press during the first rows ends the tally at once, and the results
// end as a finished tally does.
void CLevelResults::Press(float, float, const ScreenPress&)
{
    if (StepIndex() >= kBestTimeMark)
        return;
    FinishTally();
    SetVisible(true);
    ShowEnd();
}

InputResult CLevelResults::OnCommand(Command command)
{
    if (command == Command::ResultsContinue)
        Continue();
    return InputResult::Continue;
}

void CLevelResults::Continue()
{
    int number = 0, group = 0;
    const int kind = BonusLevelAfterLevel(m_quest.level, &number, &group);
    if (kind >= 1 && kind <= 4) {
        // Memory, Accuracy, Attention and Reaction in the balance's order.
        static const ChallengeKind kChallenges[4] = {kMemory, kAccuracy, kAttention, kReaction};
        m_flow.bonusLevel.Start(number, group, kChallenges[kind - 1]);
        return;
    }
    CGameScreens& screens = *m_services.screens;
    screens.HideForm(screens.statistics.form, 2.0f);
    screens.HideForm(screens.quest.form, 2.0f);
    m_services.totems->ShowPanel(0, 2.0f);
    m_services.totems->FadeOutAll(2.0f);
    screens.HideBackgroundItems();
    screens.ShowForm(screens.background.form, 2.0f);
    m_flow.Enter(m_flow.betweenLevels);
}
