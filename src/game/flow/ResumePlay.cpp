// Play resuming after the totem lesson.
#include "game/flow/ResumePlay.h"

#include "game/Services.h"
#include "game/flow/Flow.h"

namespace {
// Seconds the level's own board shows before play resumes.
constexpr float kNewBoardTime = 1.5f;
} // namespace

constexpr FlowStep<CResumePlay> CResumePlay::kSteps[] = {
    {kNewBoard, "the level's own board", 0.0f, &CResumePlay::BoardShown, &CResumePlay::Resume, kNewBoard},
};

const char* CResumePlay::StepName() const { return StepNameIn(kSteps); }

void CResumePlay::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the resume's steps are listed in order");
    RunSteps(kSteps);
}

bool CResumePlay::BoardShown() { return StepTime() > kNewBoardTime; }

void CResumePlay::Resume()
{
    m_flow.Enter(m_flow.play);
    m_services.board->SetLocked(false);
}
