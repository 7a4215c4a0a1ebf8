// The sound effects: every effect file is loaded once at start-up into one
// of 63 numbered slots and played on request, at a volume made of the
// master effects volume and the file's own volume from "Vol.cfg", panned by
// a horizontal screen position, and optionally lowering the music while it
// sounds. The first start also turns the shipped OGG effects into WAV files.
#pragma once

#include "audio/MusicPlayer.h"
#include "engine/CountedHandle.h"

#include <cstdint>
#include <list>
#include <string>
#include <vector>

struct SilencerPair {
    float time = 0.0f;        // seconds the music stays lowered
    float musicVolume = 1.0f; // factor the music is lowered to
};

// One sound of a slot: a single file, or a group of numbered variants.
class CSoundSample {
public:
    CSoundSample(int variants, int ringSize);

    std::vector<uint32_t> samples;
    std::vector<float> volumes;
    std::vector<float> panFactors;
    std::vector<SilencerPair> silencers;
    // The channels most recently started, so that a volume change reaches
    // sounds that are still playing.
    std::vector<uint32_t> ring;
    int32_t ringIndex = 0;
    std::list<uint32_t> loopingChannels;
};

class CSoundManager {
public:
    static constexpr int kSlotCount = 63;
    static constexpr int kComboSlot = 18;
    static constexpr int kTerminatorSlot = 12;
    static constexpr int kTickLoopSlot = 54;
    static constexpr uint32_t kSampleFlags = 0x20000; // replace the longest-playing voice when all are busy

    CSoundManager();
    ~CSoundManager();
    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    // 0 when the audio device opened, 1 when it did not.
    int Init(void* window);
    int LoadConfig(const std::string& path);
    float GetConfiguredVolume(const std::string& fileName) const;
    float GetConfiguredPan(const std::string& fileName) const;
    SilencerPair GetConfiguredSilencer(const std::string& fileName) const;
    CountedHandle<CSoundSample> LoadSound(const std::string& folder, const std::string& fileName, int ringSize,
                                          int maxPlaybacks, uint32_t flags);
    // 0 when every slot is filled, 2 otherwise.
    int LoadSamples(const std::string& folder);

    // The slot of a sample named by its file ("Drop.wav", "Terminator%d.wav"
    // for the numbered group), or an empty handle.
    CountedHandle<CSoundSample> Sample(const std::string& fileName) const;
    void Play(CountedHandle<CSoundSample> sound, int variant, int loop);
    void PlayPanned(CountedHandle<CSoundSample> sound, float x, int variant, int loop);
    void PlayCombo(int matches);
    void StopLoops(CountedHandle<CSoundSample> sound);
    void SetVolume(float master);
    // The pan a play at `x` gets with `panFactor`, -100..100.
    int PanFor(float panFactor, float x) const;

    // First-run conversion of the shipped OGG effects. 1 when not needed or
    // done (even with single files failed), 0 when "Ogg.lst" is missing.
    int ConvertOggSounds(const std::string& optionsFile, const std::string& installedFolder,
                         const std::string& writableFolder);
    static int ConvertOggToWav(const std::string& oggPath, const std::string& wavPath);

    // Slot names in slot order; "%d" marks the numbered groups.
    static const char* const kSlotNames[kSlotCount];

    int32_t initialised = 0;
    // Kept apart from `initialised`, which the owner clears when the samples
    // fail to load: the device must still be released then.
    int32_t deviceOpen = 0;
    float panDivisor = 520.0f;
    std::string soundFolder;          // where the samples and "Vol.cfg" are loaded from
    std::string installedSoundFolder; // where the shipped files are
    std::string currentPath;
    std::vector<std::string> configNames;
    std::vector<float> configVolumes;
    std::vector<float> configPans;
    std::vector<SilencerPair> configSilencers;
    std::vector<CountedHandle<CSoundSample>> allSounds;
    CountedHandle<CMusicPlayer> music;
    CountedHandle<CSoundSample> slots[kSlotCount];

private:
    // Takes back the mark of a finished conversion, so that the next start
    // converts every sound again (a converted file would not load).
    void ForgetConversion();
    int FindConfig(const std::string& fileName) const;
    bool LoadVariant(CSoundSample& sound, size_t variant, const std::string& fileName, int maxPlaybacks,
                     uint32_t flags);
    void StartChannel(CSoundSample& sound, size_t variant, int loop, int pan, bool panned);

    // Where the last conversion put its files and its mark.
    std::string m_convertedFolder;
    std::string m_optionsFile;
    bool m_markedByFile = false; // "Vol.cfg" in the folder, else the options key
};
