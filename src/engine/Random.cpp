// The shared generator, the seeds it gives streams, and a stream's draws.
#include "engine/Random.h"

#include "platform/System.h"

float RandomUnit() { return static_cast<float>(plat::Rand()) / static_cast<float>(plat::RandMax); }

uint32_t RandomSeed()
{
    const uint32_t high = static_cast<uint32_t>(plat::Rand());
    return high << 15 | static_cast<uint32_t>(plat::Rand());
}

// The shared generator's recurrence, so that a stream seeded alike draws
// alike.
int CRandomStream::Next()
{
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7fff);
}

float CRandomStream::Unit() { return static_cast<float>(Next()) / static_cast<float>(plat::RandMax); }
