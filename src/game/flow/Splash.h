// The start-up splash: the loading picture stays while the studio's line
// and the first group fade in, gives way to the scene, and each group is
// held, fades out and the next fades in; after the last the main menu comes,
// or the name entry for a first player. A key or a click cuts a hold short.
#pragma once

#include "game/flow/FlowState.h"

class CSplash : public CFlowState {
public:
    enum Step {
        kFirstFrame,
        kSecondFrame,
        kBloom,
        kLoadingPictureGoes,
        kSettle,
        kHold,
        kFadeOut,
        kFadeIn,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "splash"; }
    GameMode Mode() const override { return kModeSplash; }
    const char* StepName() const override;

    // The splash takes over from the loading picture without a jump.
    void Enter() override;
    void Update(float dt) override;
    void Press(float x, float y, const ScreenPress& press) override;
    bool Key(int key) override;

private:
    void Bloom();
    bool LoadingPictureShown();
    void DropLoadingPicture();
    bool Held();
    void FadeOutGroup();
    bool FadedOut();
    void FadeInGroupOrLeave();
    bool FadedIn();
    void NextGroup();
    void CutHoldShort();

    static const FlowStep<CSplash> kSteps[];
    // The fade-in speed, hold time and fade-out speed the skin gives.
    float m_fadeIn = 2.0f, m_hold = 1.0f, m_fadeOut = 2.0f;
    // The group held, faded out and followed, from 1.
    int m_group = 1;
};
