// The shop between two levels: its items' plus and minus buttons spend and
// take back Golden Stars; done closes it (asking first while stars are left
// to spend) and the map comes; its menu button saves the quest and leaves.
// A won level's checkpoint is written once the shop has opened.
#pragma once

#include "game/flow/FlowState.h"

class CShopVisit : public CFlowState {
public:
    using CFlowState::CFlowState;
    const char* Name() const override { return "shop"; }
    GameMode Mode() const override { return kModePlaying; }
    PlayPhase Phase() const override { return kPhaseShop; }

    // While the shop's lesson shows, a click or Return closes it and does
    // nothing else.
    bool TakesPressFirst(float x, float y) override;
    bool Key(int key) override;
    void Press(float x, float y, const ScreenPress& press) override;
    void Release(float x, float y) override;
    InputResult OnCommand(Command command) override;

    // The shop opens for the next level.
    void Open();
    // A saved or reloaded quest goes on in the shop before its next level.
    void Reopen();
    // The shop's stars come to rest before its levels go into the record,
    // it fades out with its form, and the map comes.
    void Close();
    // The shop's own frame, in every state of the level: it opens and fades
    // out on its own time. Once opened after a won level, the checkpoint is
    // written.
    void RunTheShop(float dt);
};
