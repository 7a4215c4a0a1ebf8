// The 16 raw bytes that identify a quest and its hiscore entry. They are
// stored in the save and the hiscore table as they are, so they are kept as
// bytes rather than as a structured GUID.
#pragma once

#include <array>
#include <cstdint>

using GuidBytes = std::array<uint8_t, 16>;

// A fresh identifier; all zero only if the system's random source fails.
GuidBytes NewGuidBytes();
int GuidEquals(const GuidBytes& a, const GuidBytes& b);
