// The GL device draws from client memory: the vertices a draw's indices name
// are read straight out of the vertex buffer's bytes, so every index must lie
// inside the range the draw was given before anything is handed to GL.
#pragma once

#include <cstdint>
#include <cstring>

namespace d3d {

// True when each of `count` indices (16- or 32-bit, as `indexSize` says) at
// `indices` lies in [first, end).
inline bool IndicesWithin(const uint8_t* indices, uint32_t indexSize, uint32_t count, uint32_t first, uint32_t end)
{
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        if (indexSize == 4) {
            std::memcpy(&index, indices + static_cast<size_t>(i) * 4, 4);
        } else {
            uint16_t small = 0;
            std::memcpy(&small, indices + static_cast<size_t>(i) * 2, 2);
            index = small;
        }
        if (index < first || index >= end)
            return false;
    }
    return true;
}

} // namespace d3d
