// The level on the board, whatever state shows it: the frame every state of
// the playing mode shares (the board, a running challenge, the board's
// events, the trophies reached in idle play, the Golden Star's and the lost
// life's flights), the board's events made into score, combos, the score
// frenzy, time bonuses, a won level and a board without moves; lost lives
// and the shuffle bought with one; the hint; the idle hints; and the level's
// screen coming and going (HUD, board, sand box, gems bar, totems' panel).
#pragma once

#include "board/BoardEvents.h"
#include "game/flow/FlowState.h"

#include <cstdint>
#include <vector>

class CGameFlow;
class CGameServices;
class CQuestState;

class CLevel {
public:
    CLevel(CGameFlow& flow, CGameServices& services, CQuestState& quest);

    // The frame shared by every state of the playing mode, before the
    // state's own.
    void Frame(float dt);
    // The level-wide commands of the quest form and the trophies screen.
    InputResult OnCommand(Command command);

    // Play takes input: on the board, or a challenge waiting for the player.
    bool IsReadyForInput() const;
    // Play at rest: nothing moves, nothing flies.
    bool IsPlayIdle() const;

    // The events of play the board still holds, and the rest of the frame's,
    // are dropped; what the player has seen stays reported.
    void DropBoardEvents();
    // A life lost to a time-out or a board without moves (`noLoss`: the
    // balance keeps the life); the board shuffles either way.
    void LoseLife(bool timeUp, bool noLoss);
    // A life paid for a shuffle with one of the quest form's two buttons.
    void ShuffleForLife(int button);
    // The right button lets go of the picked token.
    void LetGoOfThePick();
    void AddScore(int32_t points);
    // One life for each new multiple of the points per life the score
    // passes; one check grants one life at most.
    void CheckExtraLife();
    // Arrows at a move the board has; false when there is none to show.
    bool ShowHint();

    // Without a move for a while the hint button blinks; under the lives
    // cap a gem token in the bottom rows makes the life at stake blink too.
    void UpdateIdleHints(float dt);
    void ResetHints();
    // Each blink timer turns its check box over twice a second.
    void AdvanceBlinkA(float dt);
    void AdvanceBlinkB(float dt);

    // The HUD and the level's caption come in with the board.
    void ShowHud();
    // The sand box, the gems bar and the board go together, in the half
    // second the states give them before the board is cleared.
    void HideLevelScreen(bool withQuestForm);
    // The board is only updated in play: the menu gets it hidden, not half
    // faded, with the menu's music and scene.
    void ClearForMenu();
    // The level's clock and sand start running, and the board takes play.
    void StartLevelPlay();
    // The HUD's lives after one was lost or paid.
    void ShowLivesLeft();

    struct LifeLostSequence {
        bool active = false;
        float timer = 0.0f;
        bool timeUp = false;   // else no moves were left
        bool finished = false; // the animation has ended (or none ran)
    } lifeLost;
    // Set by a press on a token, cleared by the swap it starts: the cursor
    // may drag the token onto a neighbour.
    bool dragging = false;
    float hintIdleTimer = 0.0f;
    float overlayIdleTimer = 0.0f;
    float blinkTimerA = 0.0f, blinkTimerB = 0.0f;
    bool hintBlinking = false, overlayBlinking = false;

private:
    // The board's events of one frame, the level's end, a board without
    // moves and a full frenzy meter last (in that order). A handler that
    // drops the board's events drops the rest of the frame's too; what the
    // handlers make the board report waits for the next frame.
    void HandleBoardEvents();
    void HandleBoardEvent(const BoardEvent& event);
    void ShowCombo(int count);
    void StartFrenzy();
    // Each further Golden Star of a level takes longer to earn.
    void AwardFrenzyStar();
    void ChangeTimeLeft(float seconds);
    // The lost life holds play for a while; then a time-out reloads the last
    // checkpoint, and a board without moves goes on unless the lives ran
    // out.
    void UpdateLifeLost(float dt);
    void StartLifeLostAnimation(const std::string& caption, float x, float y, bool fromGiven);

    CGameFlow& m_flow;
    CGameServices& m_services;
    CQuestState& m_quest;
    // The board's events of the frame being handled, and whether a handler
    // dropped the rest.
    std::vector<BoardEvent> m_boardEvents;
    bool m_boardEventsDropped = false;
};
