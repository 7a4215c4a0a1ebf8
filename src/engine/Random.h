// Random numbers: the shared generator that the scenes, the effects and
// the looks of things draw from, and streams of their own for what must not
// depend on those draws (a board's game).
#pragma once

#include <cstdint>

// A random float from 0 to 1, both ends included, from the shared
// generator.
float RandomUnit();
// A seed for a stream, from two draws of the shared generator: a game
// seeded at start-up differs from run to run, and a test's seed of the
// shared generator fixes it.
uint32_t RandomSeed();

// A generator of its own, of the same kind as the shared one: the same
// seed gives the same numbers whatever else draws elsewhere.
class CRandomStream {
public:
    explicit CRandomStream(uint32_t seed = 1) : m_state(seed) {}

    void Seed(uint32_t seed) { m_state = seed; }
    // A float from 0 to 1, both ends included.
    float Unit();
    // A number from 0 to 32767, both ends included.
    int Next();

private:
    uint32_t m_state;
};
