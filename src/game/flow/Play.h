// Play on the board: a press picks a token or swaps the picked one with a
// neighbour, a drag swaps it too; the level's clock runs down with its
// warnings, an idle player is shown the hint button, and the quest is
// copied into its record whenever the board comes to rest and every few
// seconds of rest after. The pause menu and lost lives come over play
// (PauseMenu.h, Level.h).
#pragma once

#include "engine/CountedHandle.h"
#include "game/flow/FlowState.h"

class CToken;

class CPlay : public CFlowState {
public:
    using CFlowState::CFlowState;
    const char* Name() const override { return "play"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhasePlay; }

    void Update(float dt) override;
    void Press(float x, float y, const ScreenPress& press) override;

    // A token pressed and dragged onto a neighbour swaps with it; the board
    // takes the swap before its frame.
    void DragSwap();
    // The autosave's clock starts again.
    void ResetAutosave() { autosaveTimer = 0.0f; }
    // The board rests in running play: the level as it stands now is one
    // the game can put back.
    bool AtRest() const;
    // Copies the quest into its record when the board rests; an overlay
    // coming over play and the window's close take the level so.
    void KeepRestIfAtRest();

    // Seconds of idle play since the quest was last copied into its record.
    float autosaveTimer = 0.0f;

private:
    void KeepRest();
    void UpdateLevelClock(float dt);
    void PressOnBoard(float x, float y);
    void PickToken(const CountedHandle<CToken>& token);

    // The board rested in the last frame of running play.
    bool m_wasAtRest = false;
};
