// The main menu and the screens it opens (options, players, name entry,
// hiscores, help, the store, a saved quest's continue screen): the scene
// answers the pointer, the menu's buttons start a quest, fresh, in the Hard
// mode or from its save, and leave the game; a chosen profile becomes the
// current player.
#pragma once

#include "game/flow/FlowState.h"

class CMenus : public CFlowState {
public:
    using CFlowState::CFlowState;
    const char* Name() const override { return "menus"; }
    GameMode Mode() const override { return kModeMenus; }

    void Update(float dt) override;
    InputResult OnCommand(Command command) override;

    // The profile chosen on the players' list or the name entry becomes the
    // current player; an index outside the list (nothing chosen yet)
    // changes nothing.
    void MakeProfileCurrent(int index);

private:
    // Play: a saved quest is offered to continue; a veteran is asked for the
    // Hard mode; anyone else starts a Normal quest at once.
    void StartQuestFromMenu();
    void AskHardMode(float speed);
    void StartFreshQuest(int difficulty);
    void ContinueQuest();
};
