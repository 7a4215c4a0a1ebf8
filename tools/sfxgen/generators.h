// The game's sound effects and music tracks, each a recipe that renders samples.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "dsp.h"

namespace sfx {

struct Effect {
    std::string name; // base name: the game reads <name>.wav after the first-run conversion
    std::function<Buf()> render;
    bool loops = false;
};

struct Track {
    std::string name; // file base name in the music folder
    std::function<void(std::vector<float>& interleavedStereo)> render;
};

std::vector<Effect> AllEffects();
std::vector<Track> AllTracks();

} // namespace sfx
