// The lessons of the tutorial as the flow shows them: the prompt the board
// asks for (its text on the lesson form, the pointer at the cells), the
// picks and swaps a guided lesson lets through, and the lesson closed,
// marked as seen in the player's settings. The totem lesson's board gives
// way to the level's own when it closes.
#pragma once

#include "board/BoardEvents.h"
#include "board/MatchAnalyser.h"
#include "engine/CountedHandle.h"

#include <string>
#include <vector>

class CGameFlow;
class CGameServices;
class CQuestState;
class CToken;
struct LessonPick;

class CLessonGuide {
public:
    CLessonGuide(CGameFlow& flow, CGameServices& services, CQuestState& quest);

    // The lesson's prompt the board asked for, at its step.
    void ShowStep(Lesson lesson, int step);
    // Closes the prompt; with `seen` the player has seen it.
    void Close(bool seen);
    // The shop's lesson leaves with the shop, or when the player has read it.
    void HideShopLesson();
    bool ShopLessonShown() const { return m_shopLessonShown; }

    // A timed lesson has shown for less than the tutorial's time: presses
    // and drags stay off the board.
    bool HoldsPresses() const;
    // Whether the running lesson lets a swap onto the cell happen, or the
    // token be picked.
    bool AllowsSwapOnto(int column, int row) const;
    bool AllowsPick(const CountedHandle<CToken>& token) const;
    // A guided lesson's pick: the lesson moves on and points at the cell to
    // swap with; any other pick ends it.
    void StepWithPick(const CountedHandle<CToken>& token);
    // A guided lesson's swap: on the lesson's path it moves the lesson on;
    // off it, the player went their own way and the lesson ends (the totem
    // lesson refuses that swap). True when the swap may go ahead.
    bool StepWithSwap(int column, int row);

private:
    void ShowPanel(const std::string& text);
    // The lesson form points at the second of two cells from between them.
    void PointAt(int columnA, int rowA, int columnB, int rowB);
    // The panel's tab at `tabX` on the edge of the token's row, the hand
    // pointing at the token in a swap with `partner` (the token itself when
    // there is none).
    void PlacePrompt(MatchCell token, float tabX, MatchCell partner);
    void PointHandAt(MatchCell token, MatchCell partner);
    std::vector<MatchCell> RunOfSwap(MatchCell token, MatchCell partner) const;
    // The move a guided lesson's prompt asks for can be made: both tokens
    // can be moved and their swap makes a run.
    bool CanMakeMove(const LessonPick& pick) const;
    // The hand at the level's clock, or at the sand box, the note beside it.
    void PointAtDial();
    void PointAtSandbox();
    // The first resting token the test picks; false when there is none.
    bool PointAtToken(bool (*test)(const CToken&));
    // The totem lesson's prompts; false when nothing is to be shown.
    bool ShowTotemStep(int step);

    CGameFlow& m_flow;
    CGameServices& m_services;
    CQuestState& m_quest;
    bool m_shopLessonShown = false;
};
