// The story pages of a new quest, step by step.
#include "game/flow/StoryPages.h"

#include "game/Services.h"
#include "game/flow/Flow.h"

constexpr FlowStep<CStoryPages> CStoryPages::kSteps[] = {
    {kLoadPicture, "the intro's picture loads", 0.0f, nullptr, &CStoryPages::LoadPicture, kAFrame},
    {kAFrame, "a frame", 0.0f, nullptr, nullptr, kFirstPage},
    {kFirstPage, "the first page shows", 0.0f, nullptr, &CStoryPages::ShowFirstPage, kPages},
    {kPages, "the player turns the pages", kForThePlayer, nullptr, nullptr, kFadingOut},
    {kFadingOut, "the intro fades out", kForAnEvent, nullptr, nullptr, kFadingOut},
};

const char* CStoryPages::StepName() const { return StepNameIn(kSteps); }

bool CStoryPages::WaitsForPlayer() const { return WaitsForPlayerIn(kSteps); }

void CStoryPages::Update(float dt)
{
    static_assert(StepsInOrder(kSteps), "the story's steps are listed in order");
    m_services.board->Update(dt, m_flow.cursorX, m_flow.cursorY);
    RunSteps(kSteps);
}

void CStoryPages::LoadPicture() { m_services.screens->SetIntroTextureLoaded(true); }

void CStoryPages::ShowFirstPage()
{
    CGameScreens& screens = *m_services.screens;
    screens.ShowIntroPage(0);
    screens.ShowForm(screens.intro.form, 2.0f);
}

// A click turns the page; on the last page it ends the story, as a key does
// on any page.
void CStoryPages::Press(float, float, const ScreenPress&)
{
    if (StepIndex() != kPages)
        return;
    CGameScreens& screens = *m_services.screens;
    if (screens.IntroPage() + 1 < static_cast<int>(screens.intro.pages.Size()))
        screens.ShowIntroPage(screens.IntroPage() + 1);
    else
        FadeOut();
}

bool CStoryPages::Key(int)
{
    if (StepIndex() != kPages)
        return false;
    FadeOut();
    return true;
}

void CStoryPages::FadeOut()
{
    m_services.screens->HideForm(m_services.screens->intro.form, 2.0f);
    GoTo(kFadingOut);
}

void CStoryPages::IntroFadedOut() { m_flow.Enter(m_flow.levelIntro); }
