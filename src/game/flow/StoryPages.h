// A new quest's story pages, before its first level: the intro's picture
// loads, its first page shows, a key or a click turns the pages, and after
// the last the intro fades out and the level's intro takes over.
#pragma once

#include "game/flow/FlowState.h"

class CStoryPages : public CFlowState {
public:
    enum Step {
        kLoadPicture,
        kAFrame,
        kFirstPage,
        kPages,
        kFadingOut,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "story pages"; }
    GameMode Mode() const override { return kModeLevelIntro; }
    const char* StepName() const override;
    bool WaitsForPlayer() const override;

    void Update(float dt) override;
    void Press(float x, float y, const ScreenPress& press) override;
    bool Key(int key) override;
    // The intro's form has faded out: the level's intro comes.
    void IntroFadedOut();

private:
    void LoadPicture();
    void ShowFirstPage();
    void FadeOut();

    static const FlowStep<CStoryPages> kSteps[];
};
