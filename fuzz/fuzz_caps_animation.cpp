// The caps animation ("CapsAnimation.dat"): any text loads or is refused
// without fault; every animation that loads has a track, each step of which
// names one of its frames, and frames with finite texture coordinates.
#include "FuzzInput.h"
#include "engine/Log.h"
#include "tokens/CapsAnimation.h"

#include <cmath>

using fuzz_input::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SetLogName("/dev/null"), true);
    (void)quiet;
    fuzz_input::Write("CapsAnimation.dat", data, size);
    std::vector<CCapsAnimation> animations;
    const bool loaded = LoadCapsAnimations(fuzz_input::Folder(), &animations);
    Check(!loaded || animations.size() == static_cast<size_t>(CCapsAnimation::kCount));
    for (const CCapsAnimation& a : animations) {
        Check(!a.track.empty());
        for (int step : a.track)
            Check(step >= 0 && static_cast<size_t>(step) < a.frames.size());
        for (const CapFrame& f : a.frames)
            Check(std::isfinite(f.uLeft) && std::isfinite(f.vTop) && std::isfinite(f.uRight) &&
                  std::isfinite(f.vBottom));
    }
    return 0;
}
