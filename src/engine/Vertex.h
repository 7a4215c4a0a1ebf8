// The engine's one vertex layout in the shared buffers: position, ARGB
// colour and two texture-coordinate pairs (32 bytes).
#pragma once

#include <cstdint>

struct Vertex {
    float x, y, z;
    uint32_t color;
    float u, v;
    float u2, v2;
};
static_assert(sizeof(Vertex) == 32, "the shared vertex is 32 bytes");

constexpr uint32_t kVertexFvf = 0x242;
