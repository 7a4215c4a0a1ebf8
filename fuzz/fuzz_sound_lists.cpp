// The sound lists, both from the same text: the volumes file ("Vol.cfg") and
// the list of shipped sounds to convert ("Ogg.lst"). Any text is read or
// refused without fault; every volume, pan and music silencer read lies in
// its range; a list names nothing outside its folder (no file is written
// beside the scratch folder's own).
#include "FuzzInput.h"
#include "audio/SoundManager.h"
#include "engine/Log.h"

#include <cmath>
#include <cstdio>

using fuzz_input::Check;

namespace {
bool Within(float v, float low, float high) { return std::isfinite(v) && v >= low && v <= high; }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SetLogName("/dev/null"), true);
    (void)quiet;
    CSoundManager sounds;
    if (sounds.LoadConfig(fuzz_input::Write("Vol.cfg", data, size))) {
        Check(sounds.configNames.size() == sounds.configVolumes.size() &&
              sounds.configPans.size() == sounds.configVolumes.size() &&
              sounds.configSilencers.size() == sounds.configVolumes.size());
        for (size_t i = 0; i < sounds.configVolumes.size(); ++i) {
            Check(Within(sounds.configVolumes[i], 0.0f, 1.0f) && Within(sounds.configPans[i], 0.0f, 1.0f));
            Check(Within(sounds.configSilencers[i].time, 0.0f, 100.0f) &&
                  Within(sounds.configSilencers[i].musicVolume, 0.0f, 1.0f));
        }
    }
    fuzz_input::Write("Ogg.lst", data, size);
    const std::string options = fuzz_input::Folder() + "Options.ini";
    const std::string converted = fuzz_input::Folder() + "Converted/";
    std::remove(options.c_str()); // no mark of an earlier conversion
    sounds.ConvertOggSounds(options, fuzz_input::Folder(), converted);
    return 0;
}
