// What the board reports to the game: one record per happening, with named
// fields, in a queue the game drains once a frame while a level is played.
// The board, and the bonuses and totems that act through it, report here
// what changes the quest: points, cascades, the sand box, time, the level's
// end, a board without moves, the lessons and the counts of the player's
// statistics.
#pragma once

#include "records/PlayerStats.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The lessons of the quest; their numbers are those of the player's
// settings and of the board's lesson state.
enum class Lesson : int32_t {
    None = 0,
    Base = 1,
    Gem = 2,
    Wrong = 3,
    Timer = 4,
    Sandbox = 5,
    Bonus = 6,
    Totem = 7,
    Lock = 8,
    Steel = 9,
    Shop = 10,
};
constexpr int kLessonKinds = 11; // None and the ten lessons

// The steps of the guided lessons (Base, Bonus and Totem). The player's
// pick and swap move a lesson a step on; the board moves it on when it
// comes to rest after a guided swap.
namespace lesson_step {
// Base and Bonus: the prompt, the token picked, the guided swap made; at
// rest the Base lesson ends and the Bonus lesson prompts again.
constexpr int32_t kPrompt = 0;
constexpr int32_t kPicked = 1;
constexpr int32_t kSwapped = 2;
constexpr int32_t kSecondPrompt = 4;
constexpr int32_t kSecondPicked = 5;
// The totem lesson: its board falls in, the prompt to charge the totem,
// its pick and swap, the prompt that lights it, its pick and swap, and
// its end, each prompt two steps on from the rest before it.
constexpr int32_t kTotemBoard = 0;
constexpr int32_t kTotemChargePrompt = 2;
constexpr int32_t kTotemChargePicked = 3;
constexpr int32_t kTotemCharged = 4;
constexpr int32_t kTotemLightPrompt = 6;
constexpr int32_t kTotemLightPicked = 7;
constexpr int32_t kTotemLit = 8;
constexpr int32_t kTotemOver = 10;
} // namespace lesson_step

// The quest levels on whose own boards the first lesson (with the gem
// lesson) and the bonus lesson are given.
constexpr int32_t kBaseLessonLevel = 1;
constexpr int32_t kBonusLessonLevel = 2;

enum class BoardEventKind : int32_t {
    // Strikes were scored: `value` points.
    StrikesScored = 1,
    // A cascade of more than one match ended: `value` matches.
    Combo = 2,
    // The sand box filled up: the score frenzy starts.
    SandFull = 3,
    // A bonus or a totem gives `seconds` of time (it may take some).
    TimeBonus = 4,
    // The level's gem goal is reached.
    LevelWon = 5,
    // The score frenzy's meter is full: a Golden Star.
    FrenzyMeterFull = 6,
    // No possible move is left.
    NoMoveLeft = 7,
    // The sand box filled up during a bonus level; nothing comes of it.
    SandFullInChallenge = 10,
    // A lesson's step is due: `lesson` at `step`.
    LessonStep = 13,
    // A statistics counter of the level and the quest takes `value`.
    Counted = 14,
    // The player has seen `lesson`: it is not given again.
    LessonSeen = 15,
};

struct BoardEvent {
    BoardEventKind kind = BoardEventKind::StrikesScored;
    // Points, matches, a count: what the kind says.
    int32_t value = 0;
    float seconds = 0.0f;
    // Where it happened on the screen, for the effects and sounds it brings.
    float x = 0.0f, y = 0.0f;
    // The cell it concerns; -1 for none.
    int32_t column = -1, row = -1;
    Lesson lesson = Lesson::None;
    int32_t step = 0;
    StatCounter counter = StatScore;
};

// The board's queue. The game takes the events of a frame out in the order
// it handles them (`TakeDeferred`); what is pushed while it handles them
// waits for the next frame.
class BoardEventQueue {
public:
    BoardEventQueue() { m_events.reserve(64); }

    void Push(const BoardEvent& event) { m_events.push_back(event); }
    void Clear() { m_events.clear(); }
    size_t Size() const { return m_events.size(); }
    bool Empty() const { return m_events.empty(); }
    const BoardEvent& At(size_t index) const { return m_events[index]; }
    // Every level-won, then every no-move, then every frenzy-meter event
    // moves to the back, each keeping its order; then the queue hands its
    // events over into `out` (emptied first) and is empty.
    void TakeDeferred(std::vector<BoardEvent>* out);
    // Drops the events of play; that a lesson was seen is kept.
    void DropPlayEvents();
    // The last event is no news after all.
    void DropLast()
    {
        if (!m_events.empty())
            m_events.pop_back();
    }

private:
    std::vector<BoardEvent> m_events;
};
