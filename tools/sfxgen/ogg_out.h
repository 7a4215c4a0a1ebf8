// Vorbis encoding of generated sound into an OGG file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sfx {

// Encodes interleaved float samples (-1..1) and writes them to path, creating missing folders.
// The file appears under its final name only when it is complete. Returns an error text, empty
// on success.
std::string WriteOgg(const std::string& path, const float* interleaved, size_t frames, int channels, int rate,
                     float quality, uint32_t serial);

} // namespace sfx
