// The map's march and its buttons.
#include "game/flow/MapMarch.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

#include <algorithm>

constexpr FlowStep<CMapMarch> CMapMarch::kSteps[] = {
    {kMarch, "the flag marches", 0.0f, &CMapMarch::Marched, &CMapMarch::Arrive, kOnTheMap},
    {kOnTheMap, "the player plays on or leaves", kForThePlayer, nullptr, nullptr, kOnTheMap},
};

const char* CMapMarch::StepName() const { return StepNameIn(kSteps); }

bool CMapMarch::WaitsForPlayer() const { return WaitsForPlayerIn(kSteps); }

void CMapMarch::Start(int from, int to)
{
    m_from = from;
    m_to = to;
    // A time that is no positive number keeps its default.
    const float skin = m_services.questLayout.flagMoveTime;
    m_marchTime = skin > 0.0f && skin < 1.0e6f ? skin : 1.0f;
    m_flow.Enter(*this);
}

void CMapMarch::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the map's steps are listed in order");
    RunSteps(kSteps);
}

// The flag moves while the map is up and takes input; past the last stage
// there is no spot to march to.
bool CMapMarch::Marched()
{
    const CQoForm& map = *m_services.screens->map.form;
    if (!map.IsVisible() || !map.active || !map.IsEnabled())
        return false;
    int stage = 0, inStage = 0;
    SplitLevelNumber(m_to, &stage, &inStage);
    if (stage >= 6)
        return true;
    const float t = m_marchTime > 0.0f ? StepTime() / m_marchTime : 1.0f;
    m_services.screens->PlaceMapFlag(m_from, m_to, std::min(t, 1.0f));
    return t >= 1.0f;
}

// The flag lands with a flare on a spot within a stage.
void CMapMarch::Arrive()
{
    int stage = 0, inStage = 0;
    SplitLevelNumber(m_to, &stage, &inStage);
    if (stage >= 6 || inStage < 2)
        return;
    const Vec3 flag = m_services.screens->map.flag->Position();
    m_services.AddFlare(flag.x, flag.y - 10.0f, flag.z - 1.0f, 16.0f, 16.0f, 0.5f, 0.5f, 0.5f, 7.0f, 4.0f);
    m_services.Play(FlowSound::MapArrival);
}

bool CMapMarch::CloseNewspaper()
{
    CGameScreens& screens = *m_services.screens;
    const CQoForm& newspaper = *screens.newspaper.form;
    if (!newspaper.IsVisible() || !newspaper.active)
        return false;
    screens.HideForm(screens.newspaper.form, 2.0f);
    screens.ShowForm(screens.map.form, 2.0f);
    return true;
}

void CMapMarch::Press(float, float, const ScreenPress&) { CloseNewspaper(); }

bool CMapMarch::Key(int) { return CloseNewspaper(); }

InputResult CMapMarch::OnCommand(Command command)
{
    if (command == Command::MapPlay)
        PlayNextLevel();
    else if (command == Command::MapToMenu)
        m_flow.SaveQuestAndLeave(true);
    return InputResult::Continue;
}

// The won level gives way to the next one; after the last one the quest is
// complete.
void CMapMarch::PlayNextLevel()
{
    if (!m_flow.loader.StartLevel(m_quest.level + 1)) {
        m_services.screens->HideForm(m_services.screens->map.form, 2.0f);
        m_flow.CompleteQuest();
        return;
    }
    m_services.screens->FillMapScreen(m_quest.level, 1);
    m_services.screens->HideForm(m_services.screens->map.form, 2.0f);
    m_services.SwitchBackgroundForStage(m_quest.level - 1, m_quest.level);
    m_flow.Enter(m_flow.levelStart);
}
