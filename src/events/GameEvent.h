// The record in which the bonuses report what happened to the board: kind,
// value, two kind-dependent words, the sender and one argument. The sender
// is a counted handle: copying a record re-points it, destroying one
// releases it.
#pragma once

#include "engine/CountedHandle.h"
#include "platform/BinaryFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Base of everything that can raise an event with itself as the sender
// (forms, controls, bonuses).
class CEventSource {
public:
    virtual ~CEventSource() = default;
};

// An event of the bonus lists.
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

// The growable list of GameEvents that a bonus and the bonus manager keep.
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
