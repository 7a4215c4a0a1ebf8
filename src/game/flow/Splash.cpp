// The start-up splash, step by step; its times come from the skin.
#include "game/flow/Splash.h"

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

namespace {
// A time or speed that is no positive number keeps its default.
float Positive(float value, float fallback) { return value > 0.0f && value < 1.0e6f ? value : fallback; }
} // namespace

constexpr FlowStep<CSplash> CSplash::kSteps[] = {
    {kFirstFrame, "first frame", 0.0f, nullptr, nullptr, kSecondFrame},
    {kSecondFrame, "second frame", 0.0f, nullptr, nullptr, kBloom},
    {kBloom, "the line and the first group fade in", 0.0f, nullptr, &CSplash::Bloom, kLoadingPictureGoes},
    {kLoadingPictureGoes, "the loading picture gives way to the scene", 0.0f, &CSplash::LoadingPictureShown,
     &CSplash::DropLoadingPicture, kSettle},
    {kSettle, "a frame to settle", 0.0f, nullptr, nullptr, kHold},
    {kHold, "a group is held", 0.0f, &CSplash::Held, &CSplash::FadeOutGroup, kFadeOut},
    {kFadeOut, "the group fades out", 0.0f, &CSplash::FadedOut, &CSplash::FadeInGroupOrLeave, kFadeIn},
    {kFadeIn, "the next group fades in", 0.0f, &CSplash::FadedIn, &CSplash::NextGroup, kHold},
};

const char* CSplash::StepName() const { return StepNameIn(kSteps); }

void CSplash::Enter()
{
    const CQuestLayout& skin = m_services.questLayout;
    m_fadeIn = Positive(skin.splashBloomSpeed, 2.0f);
    m_hold = Positive(skin.splashLifeTime, 1.0f);
    m_fadeOut = Positive(skin.splashFadeSpeed, 2.0f);
    m_group = 1;
    // Its picture list shows the loading picture; its first base control
    // and its groups wait hidden for the splash to fade them in.
    const CGameScreens::SplashForm& splash = m_services.screens->splash;
    splash.form->SetVisible(true);
    for (const auto& picture : splash.pictures) {
        if (picture->SpriteCount() > 0)
            picture->Sprite(0)->texture = m_services.LoadingPicture();
        picture->SetVisible(true);
    }
    if (!splash.base.Empty())
        splash.base.At(0)->SetVisible(false);
    for (const ControlRow& group : splash.groups)
        group.SetVisible(false);
}

void CSplash::Update(float)
{
    static_assert(StepsInOrder(kSteps), "the splash's steps are listed in order");
    RunSteps(kSteps);
}

void CSplash::Press(float, float, const ScreenPress&) { CutHoldShort(); }

bool CSplash::Key(int)
{
    CutHoldShort();
    return true;
}

void CSplash::CutHoldShort()
{
    if (StepIndex() == kHold)
        SetStepTime(m_hold);
}

void CSplash::Bloom()
{
    CGameScreens& screens = *m_services.screens;
    screens.FadeInControls(screens.splash.base, m_fadeIn);
    if (!screens.splash.groups.empty())
        screens.FadeInControls(screens.splash.groups[0], m_fadeIn);
}

bool CSplash::LoadingPictureShown() { return StepTime() >= 1.0f / m_fadeIn; }

void CSplash::DropLoadingPicture()
{
    CRenderDevice& device = *m_services.device;
    for (const auto& picture : m_services.screens->splash.pictures) {
        if (picture->SpriteCount() > 0)
            picture->Sprite(0)->texture = device.FindTexture("White");
        picture->SetVisible(false);
    }
    if (const int loading = device.FindTextureIndex("Loading"); loading >= 0)
        device.RemoveTexture(loading);
    // The trophies' picture comes into memory when a screen first draws it,
    // not before the menu.
}

bool CSplash::Held() { return StepTime() >= m_hold; }

// A group gives way to the next; after the last the splash itself goes.
void CSplash::FadeOutGroup()
{
    CGameScreens& screens = *m_services.screens;
    if (m_group < static_cast<int>(screens.splash.groups.size()))
        screens.FadeOutControls(screens.splash.groups[static_cast<size_t>(m_group - 1)], m_fadeOut);
    else
        screens.HideForm(screens.splash.form, m_fadeOut);
}

bool CSplash::FadedOut() { return StepTime() >= 1.0f / m_fadeOut; }

void CSplash::FadeInGroupOrLeave()
{
    CGameScreens& screens = *m_services.screens;
    if (m_group < static_cast<int>(screens.splash.groups.size())) {
        screens.FadeInControls(screens.splash.groups[static_cast<size_t>(m_group)], m_fadeIn);
        return;
    }
    screens.ShowForm(m_quest.nameEntryPending ? screens.newProfile.form : screens.mainMenu.form, 2.0f);
    screens.HideForm(screens.splash.form, m_fadeOut);
    m_flow.Enter(m_flow.menus);
}

bool CSplash::FadedIn() { return StepTime() >= 1.0f / m_fadeIn; }

void CSplash::NextGroup() { ++m_group; }
