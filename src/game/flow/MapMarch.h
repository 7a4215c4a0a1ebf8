// The map after the shop: the flag marches from the won level's spot to
// the next one and lands with a flare; the map's play button starts the
// next level, its menu button saves the quest and leaves. A newspaper
// opened from the map goes back to the map on a key or a click.
#pragma once

#include "game/flow/FlowState.h"

class CMapMarch : public CFlowState {
public:
    enum Step {
        kMarch,
        kOnTheMap,
    };
    using CFlowState::CFlowState;
    const char* Name() const override { return "map march"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseMapMarch; }
    const char* StepName() const override;
    bool WaitsForPlayer() const override;

    void Update(float dt) override;
    void Press(float x, float y, const ScreenPress& press) override;
    bool Key(int key) override;
    InputResult OnCommand(Command command) override;

    // The march from one level's spot to another's.
    void Start(int from, int to);

private:
    bool Marched();
    void Arrive();
    // A newspaper over the map gives way to the map; true when one did.
    bool CloseNewspaper();
    void PlayNextLevel();

    static const FlowStep<CMapMarch> kSteps[];
    int m_from = 0, m_to = 0;
    // Seconds the flag takes from one spot to the next, from the skin.
    float m_marchTime = 1.0f;
};
