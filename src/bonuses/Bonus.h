// The base of the seven bonuses that ride on the board's tokens: the gem,
// TNT, lightning, the clock, the adviser, the score multiplier and
// solidarity. The base holds where the bonus is and which cell it belongs
// to, one cubic move (dropping in, following its token, flying to a target
// or off), and the events the bonus raises for the board; each kind adds its
// look and its effect.
//
// A bonus lives behind a counted handle: the bonus manager's list holds one
// reference and the token that carries it another. The events a bonus
// raises carry no sender; the manager stamps its own handle on them when it
// collects them for the board.
#pragma once

#include "engine/MotionPath.h"
#include "engine/Settings.h" // Vec3
#include "events/GameEvent.h"

#include <algorithm>
#include <cstdint>

enum BonusKind : int32_t {
    kBonusGem = 1,
    kBonusTnt,
    kBonusFlash,
    kBonusTime,
    kBonusAdviser,
    kBonusScore,
    kBonusSolidarity
};

enum BonusState : int32_t {
    kBonusIdle = 0,
    kBonusFlyingIn = 1,
    kBonusPlaced = 2,
    kBonusToTarget = 3,  // ends on arrival
    kBonusFired = 4,     // the kind's effect runs
    kBonusAtBar = 5,     // a gem that burst at the gems bar
    kBonusCollected = 6, // a gem the board took, an adviser that arrived
    kBonusFlyingOff = 7, // ends with event 5 for the board to hand it on
};

// What a bonus asks of the board (the kind of its events). The board acts
// on those marked so; the others only tell what happened.
enum BonusEventKind : int32_t {
    kEventGemFired = 1,
    kEventGemArrived = 2, // board: the gem goes into the gems bar
    kEventTntFired = 3,
    kEventDestroyCell = 4, // board: destroys the token of a cell
    kEventFlownOff = 5,    // board: hands the bonus to another token
    kEventFlashFired = 6,
    kEventTimeFired = 7,
    kEventTimeArrived = 8, // board: extra time for the level
    kEventAdviserFired = 9,
    kEventAdviserArrived = 10, // board: the hint display switches on
    kEventScoreFired = 11,
    kEventSolidarityFired = 12,
    kEventSolidarityStrike = 13, // board: a sound and a shake
    kEventBonusPlaced = 14,      // board: a sound
};

// The words of a bonus event: the bonus's level in the value, a cell in the
// two integer words, the horizontal position that pans a sound in the
// argument.
inline int32_t EventColumn(const GameEvent& e) { return static_cast<int32_t>(e.a); }
inline int32_t EventRow(const GameEvent& e) { return static_cast<int32_t>(e.x); }
inline float EventPosition(const GameEvent& e) { return e.ArgFloat(); }

// The level a bonus acts with: its `param` held to 0 .. 3. A level file or
// a save may carry any number; the looks, the blasts and what the board
// gives for the bonus all take this one.
inline int32_t BonusLevel(int32_t param) { return std::clamp(param, 0, 3); }
// The level of the bonus that raised the event (its value carries `param`).
inline int32_t EventLevel(const GameEvent& e) { return BonusLevel(e.value); }

class CBonus : public CEventSource {
public:
    CBonus();
    ~CBonus() override;
    CBonus(const CBonus&) = delete;
    CBonus& operator=(const CBonus&) = delete;

    // The kinds make their sprites, flares and effects.
    virtual void Build() {}
    // A hidden bonus waits (the manager leaves it out of its frames) until
    // it is shown again.
    virtual void Hide() { visible = 0; }
    virtual void Show() { visible = 1; }
    // The bonus's pictures go out of sight, or come back, while the bonus
    // goes on as it is.
    virtual void ShowPictures(bool) {}
    // 0 once the bonus is done: the manager then drops it.
    virtual int Update(float dt);
    virtual void MoveTo(float x, float y, float z, int32_t cellColumn, int32_t cellRow, int smooth);
    virtual void SetSize(float newSize);
    // Drops the bonus onto (x, y, z) from above the screen, or with
    // `inPlace` from where it is, over `time` seconds.
    virtual int FlyIn(float x, float y, float z, float newSize, int32_t cellColumn, int32_t cellRow, int inPlace,
                      float time);
    virtual void Place(float x, float y, float z, float newSize, int32_t cellColumn, int32_t cellRow);
    virtual void Stop();
    // To `target`; the bonus ends when it arrives.
    virtual int FlyToTarget(float time);
    // To `target` in a swoop; ends with event 5.
    virtual int FlyOff(float time);
    // The token under it was destroyed.
    virtual void Fire() { finished = 1; }
    virtual int IsIdle() const { return 1; }
    virtual void SetZOrder(int32_t z) { zOrder = z; }
    // 1: the riding renderers; 0: the renderers over the HUD.
    virtual void SetDrawGroup(int32_t group) { drawGroup = group; }
    // The kinds that resize their sprites: the picture at `factor` times
    // the bonus's scale; the second number is the kind's own.
    virtual void SetScale(float, float) {}
    // The kinds that place their sprites apart from their update.
    virtual void PlaceSprites(float) {}

    // The level it acts with, BonusLevel (param); events keep `param` itself.
    int32_t Level() const { return BonusLevel(param); }

    int32_t kind = 0;
    int32_t state = kBonusIdle;
    int32_t param = 0; // the level
    float age = 0.0f;
    int32_t visible = 1;
    int32_t finished = 0;
    int32_t column = -1;
    int32_t row = -1;
    Vec3 position;
    Vec3 target;
    CMotionPath path;
    float pathTime = 0.0f;
    float pathDuration = 0.0f;
    float size = 39.0f;
    float builtSize = 39.0f;
    float scale = 1.0f;
    int32_t zOrder = 0;
    int32_t drawGroup = 1;
    // A bonus flying in shrinks from this multiple of its size and fades in
    // from this opacity; flying out it grows and fades to them.
    float flightScale = 6.0f;
    float flightOpacity = 0.0f;
    float factor = 1.0f;
    // Set by the board on every bonus it makes: Place then raises event 14.
    int32_t eventsEnabled = 0;
    // The colour of the token that carries it, written by the board.
    int32_t colour = -1;
    GameEventVector events;

protected:
    // Advances the move by dt (held at its end) and puts `position` on the
    // path; the move's progress 0 .. 1. A move of no time is over at once.
    float AdvancePath(float dt);
    // Size factor and opacity of a moving bonus at progress p, by state.
    struct FlightLook {
        float scale = 1.0f;
        float opacity = 1.0f;
    };
    FlightLook LookInFlight(float p) const;
    bool MoveIsOver() const { return !(pathTime < pathDuration); }
    void Raise(int32_t eventKind, int32_t value, int32_t wordA = 0, int32_t wordX = 0, float argument = 0.0f);

private:
    void StartMove(const Vec3& to, const Vec3& startTangent, const Vec3& endTangent, float time);
};
