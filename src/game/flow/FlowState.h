// What every state of the game's flow has: its name, the mode and play phase
// it stands for, enter, update, the player's press, release, keys and
// commands, and leave; and the table of named steps a state's inner
// sequence is written in, as the load sequence is.
#pragma once

#include "events/Commands.h"

#include <cstddef>

class CGameFlow;
class CGameServices;
class CQuestState;

// The game's modes, as the flow's states report them.
enum GameMode : int {
    kModeConstructed = 0,
    kModeMenus = 2,
    kModePlaying = 3,
    kModeLevelIntro = 4,
    kModeShopIntro = 12,
    kModeSplash = 13,
    kModeQuestComplete = 18,
};

// The play phases of the playing mode.
enum PlayPhase : int {
    kPhasePlay = 1,
    kPhaseLevelComplete = 5,
    kPhaseResults = 6,
    kPhaseAfterResults = 7,
    kPhaseShop = 8,
    kPhaseMapMarch = 9,
    kPhaseLevelStart = 10,
    kPhaseBonusLevel = 11,
    kPhaseResume = 14,
    kPhaseToMenu = 15,
    kPhaseLevelFailed = 16,
    kPhaseQuestOver = 17,
};

// What the game makes of the player's input: go on, or quit the game.
enum class InputResult { Continue, Quit };

// A step's wait that time does not end: the player, or an event the state
// is told of, moves the state on.
constexpr float kForThePlayer = -1.0f;
constexpr float kForAnEvent = -2.0f;

// One named step of a state's sequence: it waits `wait` seconds from its
// start and until `until` holds (which may do the step's work of each
// frame), then does `act` and goes on to `next`, unless the act went
// elsewhere. A step acts at most once a frame, and the next one begins on
// the next frame.
template <class S>
struct FlowStep {
    typename S::Step step;
    const char* name;
    float wait;
    bool (S::*until)();
    void (S::*act)();
    typename S::Step next;
};

// A table lists its steps in the order of their names.
template <class S, size_t N>
constexpr bool StepsInOrder(const FlowStep<S> (&steps)[N])
{
    for (size_t i = 0; i < N; ++i)
        if (static_cast<size_t>(steps[i].step) != i)
            return false;
    return true;
}

// A press of the left button as the menu screens left it.
struct ScreenPress {
    // A control that stops the press from reaching the challenge's plates.
    bool consumed = false;
    // A press that belongs to a form over the board, not to the board.
    bool offBoard = false;
};

class CFlowState {
public:
    explicit CFlowState(CGameFlow& flow);
    virtual ~CFlowState() = default;
    CFlowState(const CFlowState&) = delete;
    CFlowState& operator=(const CFlowState&) = delete;

    virtual const char* Name() const = 0;
    virtual GameMode Mode() const = 0;
    virtual PlayPhase Phase() const { return kPhasePlay; }
    // The name of the step the state stands on.
    virtual const char* StepName() const { return ""; }
    // The state waits for a key or a click to go on.
    virtual bool WaitsForPlayer() const { return false; }

    virtual void Enter() {}
    virtual void Update(float) {}
    // A press the state takes before the menu screens see it: it goes no
    // further.
    virtual bool TakesPressFirst(float, float) { return false; }
    // The left button's press at a point of the virtual screen, after the
    // menu screens took it.
    virtual void Press(float, float, const ScreenPress&) {}
    // The left button's release, before the menu screens take it.
    virtual void Release(float, float) {}
    // After the release's commands were carried out.
    virtual void AfterCommands() {}
    // True when the state took the key.
    virtual bool Key(int) { return false; }
    // A command of the forms; the main menu's Exit quits.
    virtual InputResult OnCommand(Command) { return InputResult::Continue; }
    virtual void Leave() {}

protected:
    // The step the state stands on and the seconds since it began.
    int StepIndex() const;
    float StepTime() const;
    // On to a step, its time from 0.
    template <class E>
    void GoTo(E step)
    {
        GoToIndex(static_cast<int>(step));
    }
    void SetStepTime(float seconds);

    // One frame of a step table.
    template <class S, size_t N>
    void RunSteps(const FlowStep<S> (&steps)[N])
    {
        const int i = StepIndex();
        if (i < 0 || static_cast<size_t>(i) >= N)
            return;
        const FlowStep<S>& step = steps[i];
        if (step.wait < 0.0f || StepTime() < step.wait)
            return;
        S& self = static_cast<S&>(*this);
        if (step.until && !(self.*step.until)())
            return;
        const unsigned moves = Moves();
        if (step.act)
            (self.*step.act)();
        if (Moves() == moves)
            GoTo(step.next);
    }
    template <class S, size_t N>
    const char* StepNameIn(const FlowStep<S> (&steps)[N]) const
    {
        const int i = StepIndex();
        return i >= 0 && static_cast<size_t>(i) < N ? steps[i].name : "";
    }
    template <class S, size_t N>
    bool WaitsForPlayerIn(const FlowStep<S> (&steps)[N]) const
    {
        const int i = StepIndex();
        return i >= 0 && static_cast<size_t>(i) < N && steps[i].wait == kForThePlayer;
    }

    CGameFlow& m_flow;
    CGameServices& m_services;
    CQuestState& m_quest;

private:
    void GoToIndex(int step);
    unsigned Moves() const;
};
