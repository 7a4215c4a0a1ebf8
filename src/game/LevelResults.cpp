// A won level's results: the best lists take a better time or score, the
// time left turns into points, and the Statistics form reveals its rows one
// by one while the time bonus counts up; a press finishes the tally at
// once. Later, on the way to the next level, the map's flag marches from
// the won level's spot to the next one.
#include "game/Game.h"

#include "engine/StringTable.h"
#include "screens/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace {
// Seconds the time bonus takes to count up.
constexpr float kTallyTime = 2.5f;
constexpr float kPause = 0.25f;
// The statistics rows show these counters, level and quest.
constexpr int kStatisticsCounters[5] = {StatLongestCascade, StatMarkedTokens, StatTotemActions, StatRemovals,
                                        StatLargestMatch};
// The Statistics form's values by key.
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
} // namespace

void CGame::ShowLevelResults(bool visible)
{
    results = TallyLevelResults(stats, level, timeLeft, balance.pointsPerSecond,
                                playerName ? *playerName : std::string(), *bestScores, *bestTimes,
                                paths.folders[CDataPaths::SharedGameData]);
    lastGameValue = results.secondsLeft;
    auto& values = screens->statistics.values;
    values[kTime]->SetText(FormatMinutesSeconds(results.levelTime));
    values[kBestTime]->SetText(FormatMinutesSeconds(bestTimes->Value(level)));
    values[kBestTimeHolder]->SetText(bestTimes->Name(level));
    values[kLevelScore]->SetText(std::to_string(results.levelScore));
    values[kTimeBonus]->SetText("0");
    values[kBestScore]->SetText(std::to_string(bestScores->Value(level)));
    values[kBestScoreHolder]->SetText(bestScores->Name(level));
    int stage = 0, inStage = 0;
    SplitLevelNumber(level, &stage, &inStage);
    values[kLevelCaption]->SetText(FormatTableText(8, 128, stage, inStage));
    for (size_t i = 0; i < 5; ++i) {
        const auto& levelRow = screens->statistics.levelRows[i];
        const auto& questRow = screens->statistics.questRows[i];
        if (levelRow.Size() > 1)
            levelRow.At(1)->SetText(std::to_string(stats.tables[2].Get(kStatisticsCounters[i])));
        if (!questRow.Empty())
            questRow.At(0)->SetText(std::to_string(stats.tables[1].Get(kStatisticsCounters[i])));
    }
    SetResultsVisible(visible);
    if (!visible) {
        values[kTitle]->SetVisible(true);
        values[kLevelCaption]->SetVisible(true);
    }
    m_tallyScoreFrom = results.questScore;
}

// Every results control; the new-best marks only with a new best, and the
// continue button only once the results are all shown.
void CGame::SetResultsVisible(bool visible)
{
    auto& form = screens->statistics;
    for (const auto& value : form.values)
        value->SetVisible(visible);
    for (const auto* rows : {&form.results, &form.levelRows, &form.questRows})
        for (const ControlRow& row : *rows)
            row.SetVisible(visible);
    form.values[kNewBestTimeMark]->SetVisible(visible && results.newBestTime);
    form.values[kNewBestScoreMark]->SetVisible(visible && results.newBestScore);
    form.values[kContinue]->SetVisible(false);
}

// Each revealing step shows its row with a flare and a tick.
void CGame::RevealResultsRow(int step)
{
    auto& form = screens->statistics;
    std::vector<CountedHandle<CQoStatic>> shown;
    auto row = [&](size_t label, std::initializer_list<int> keys) {
        form.results[label].SetVisible(true);
        for (const int k : keys)
            shown.push_back(form.values[static_cast<size_t>(k)]);
        for (const auto& c : form.results[label])
            shown.push_back(c);
    };
    switch (step) {
    case 0:
        row(0, {kTime});
        row(1, {kBestTime, kBestTimeHolder});
        break;
    case 2:
        row(2, {kLevelScore});
        row(3, {kTimeBonus});
        break;
    case 7:
        row(4, {kBestScore, kBestScoreHolder});
        break;
    case 9:
        if (results.newBestTime)
            shown.push_back(form.values[kNewBestTimeMark]);
        break;
    case 12:
        if (results.newBestScore)
            shown.push_back(form.values[kNewBestScoreMark]);
        break;
    case 15:
        shown.push_back(form.values[kLevelHeading]);
        shown.push_back(form.values[kQuestHeading]);
        break;
    default: {
        const size_t i = static_cast<size_t>(step - 17);
        if (i < 5) {
            for (const auto& c : form.levelRows[i])
                shown.push_back(c);
            for (const auto& c : form.questRows[i])
                shown.push_back(c);
        }
        break;
    }
    }
    if (shown.empty())
        return;
    for (const auto& c : shown)
        c->SetVisible(true);
    const CQoStatic& first = *shown.front();
    const float left = first.Position().x - first.Size().w * 0.5f;
    const float top = first.Position().y + first.Size().h * 0.5f;
    AddFlare(left + first.Size().w * 0.5f, top - 10.0f, first.Position().z - 1.0f, 128.0f, 64.0f, 0.1f, 0.3f,
             0.25f, 0.0f, 0.0f);
    Play(FlowSound::ResultsRow);
}

void CGame::ShowTallyValues(float share)
{
    const float t = std::clamp(share, 0.0f, 1.0f);
    const int32_t bonus = static_cast<int32_t>(std::floor(static_cast<float>(results.timeBonus) * t));
    auto& values = screens->statistics.values;
    values[kLevelScore]->SetText(std::to_string(results.levelScore + bonus));
    values[kTimeBonus]->SetText(std::to_string(bonus));
    screens->SetScore(m_tallyScoreFrom + bonus, false);
    screens->SetProgressGauge((1.0f - t) * timeLeft / balance.timeLimit, true);
}

void CGame::FinishTally()
{
    ShowTallyValues(1.0f);
    screens->SetScore(stats.tables[1].Get(StatScore), false);
    if (sounds)
        sounds->StopLoops(sounds->Sample(FlowSoundFile(FlowSound::Tally)));
    CheckExtraLife();
}

// The results are all shown: the continue button comes, and the trophies
// the quest has reached are judged.
void CGame::ShowResultsEnd()
{
    screens->statistics.values[kContinue]->SetVisible(true);
    Next(22);
    if (EvaluateTrophiesAfterGame())
        RunTrophyStep();
}

void CGame::UpdateLevelResults(float)
{
    switch (subState) {
    case 0:
    case 2:
    case 7:
    case 15:
        RevealResultsRow(subState);
        Next(subState + 1);
        return;
    case 9:
    case 12: {
        RevealResultsRow(subState);
        const bool marked = subState == 9 ? results.newBestTime : results.newBestScore;
        Next(marked ? subState + 1 : subState + 2);
        return;
    }
    case 10:
    case 13:
        if (modeTimer >= 1.0f)
            Next(subState + 2);
        return;
    case 1:
    case 3:
    case 6:
    case 8:
    case 11:
    case 14:
    case 16:
        if (modeTimer >= kPause)
            Next(subState + 1);
        return;
    case 4:
        if (results.timeBonus <= 0) {
            Next(7);
            return;
        }
        if (sounds)
            sounds->Play(sounds->Sample(FlowSoundFile(FlowSound::Tally)), 0, 1);
        Next(5);
        return;
    case 5:
        if (modeTimer / kTallyTime < 1.0f) {
            ShowTallyValues(modeTimer / kTallyTime);
            return;
        }
        FinishTally();
        Next(6);
        return;
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
        if (modeTimer < kPause)
            return;
        RevealResultsRow(subState);
        if (subState < 21)
            Next(subState + 1);
        else
            ShowResultsEnd();
        return;
    default:
        // 22: all shown; the continue button leaves.
        return;
    }
}

// A press during the first rows ends the tally at once, and the results
// end as a finished tally does.
void CGame::SkipLevelResults()
{
    FinishTally();
    SetResultsVisible(true);
    ShowResultsEnd();
}

void CGame::UpdateMapMarch(float)
{
    const CQoForm& map = *screens->map.form;
    if (subState != 0 || !map.IsVisible() || !map.active || !map.IsEnabled())
        return;
    int nextStage = 0, nextInStage = 0;
    SplitLevelNumber(m_marchTo, &nextStage, &nextInStage);
    if (nextStage >= 6) {
        Next(1);
        return;
    }
    const float t = mapMarchTime > 0.0f ? modeTimer / mapMarchTime : 1.0f;
    if (t < 1.0f) {
        screens->PlaceMapFlag(m_marchFrom, m_marchTo, t);
        return;
    }
    screens->PlaceMapFlag(m_marchFrom, m_marchTo, 1.0f);
    Next(1);
    if (nextInStage >= 2) {
        const Vec3 flag = screens->map.flag->Position();
        AddFlare(flag.x, flag.y - 10.0f, flag.z - 1.0f, 16.0f, 16.0f, 0.5f, 0.5f, 0.5f, 7.0f, 4.0f);
        Play(FlowSound::MapArrival);
    }
}
