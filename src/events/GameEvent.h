// The one record in which the board, the bonuses, the challenges and the
// menu screens report what happened: kind, value, two kind-dependent words,
// the sender and one argument.
//
// Two shapes share the layout. On the board's queue every word is plain data
// (the sender word may carry a float y position), so records are copied word
// for word and erased without releasing anything. On the screens' queue and
// in the bonus lists the sender is a counted handle: copying a record
// re-points it, destroying one releases it.
#pragma once

#include "engine/CountedHandle.h"
#include "platform/BinaryFile.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

// Base of everything that can raise an event with itself as the sender
// (forms, controls, bonuses).
class CEventSource {
public:
    virtual ~CEventSource() = default;
};

// A board event: six plain 32-bit words.
struct BoardEvent {
    int32_t kind = 0;
    int32_t value = 0;
    uint32_t a = 0;
    uint32_t x = 0;
    uint32_t sender = 0;
    uint32_t arg = 0;

    float AFloat() const { return plat::BitsToFloat(a); }
    float XFloat() const { return plat::BitsToFloat(x); }
    float SenderFloat() const { return plat::BitsToFloat(sender); }
    float ArgFloat() const { return plat::BitsToFloat(arg); }
};
static_assert(sizeof(BoardEvent) == 24, "a board event is six 32-bit words");
static_assert(std::is_trivially_copyable_v<BoardEvent>, "board events are copied word for word");

// The board's queue, drained by the game once per frame.
class BoardEventQueue {
public:
    BoardEventQueue() { m_events.reserve(64); }

    void Push(const BoardEvent& event) { m_events.push_back(event); }
    void Erase(size_t index) { m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(index)); }
    void Clear() { m_events.clear(); }
    size_t Size() const { return m_events.size(); }
    bool Empty() const { return m_events.empty(); }
    BoardEvent& At(size_t index) { return m_events[index]; }
    const BoardEvent& At(size_t index) const { return m_events[index]; }

private:
    std::vector<BoardEvent> m_events;
};

// An event of the screens' queue or of the bonus lists.
struct GameEvent {
    int32_t kind = 0;
    int32_t value = 0;
    uint32_t a = 0;
    uint32_t x = 0;
    CountedHandle<CEventSource> sender;
    uint32_t arg = 0;

    float AFloat() const { return plat::BitsToFloat(a); }
    float XFloat() const { return plat::BitsToFloat(x); }
    float ArgFloat() const { return plat::BitsToFloat(arg); }
};

// The growable list of GameEvents that a bonus, the bonus manager and the
// screens controller keep.
class GameEventVector {
public:
    explicit GameEventVector(size_t reserved = 0) { m_events.reserve(reserved); }

    void Push(const GameEvent& event) { m_events.push_back(event); }
    void Erase(size_t index) { m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(index)); }
    void Clear() { m_events.clear(); }
    size_t Size() const { return m_events.size(); }
    bool Empty() const { return m_events.empty(); }
    GameEvent& At(size_t index) { return m_events[index]; }
    const GameEvent& At(size_t index) const { return m_events[index]; }

private:
    std::vector<GameEvent> m_events;
};
