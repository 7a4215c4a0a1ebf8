#include "audio/SoundManager.h"

#include "engine/Log.h"
#include "engine/Random.h"
#include "engine/TextReader.h"
#include "platform/Audio.h"
#include "platform/Files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace snd = plat::snd;

namespace {

// Rounds down for the library's integer volumes and pans; a product that is
// not a number, or too large for an int, must not reach the conversion.
int FloorToInt(float value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::floor(std::clamp(value, -1.0e6f, 1.0e6f)));
}

int Floor100(float value) { return FloorToInt(value * 100.0f); }

// "Vol.cfg" numbers: text that is no number reads as 0.
float ParseNumber(const char* text)
{
    const float value = std::strtof(text, nullptr);
    return std::isnan(value) ? 0.0f : value;
}

// Sets the default volume a sample's new voices start with; the library
// record is read and written whole.
void SetSampleVolume(uint32_t sample, int volume)
{
    snd::SampleInfo info;
    if (!snd::SampleGetInfo(sample, &info))
        return;
    info.volume = static_cast<uint32_t>(std::max(volume, 0));
    snd::SampleSetInfo(sample, &info);
}

struct Group {
    int slot;
    int first;
    int last;
};
const Group kGroups[] = {{CSoundManager::kTerminatorSlot, 0, 7}, {CSoundManager::kComboSlot, 2, 9}};

void ClampValue(float* value, float low, float high, const std::string& name, const char* below, const char* above)
{
    const char* message = nullptr;
    if (*value < low) {
        *value = low;
        message = below;
    } else if (*value > high) {
        *value = high;
        message = above;
    }
    if (message) {
        WriteLog("Warning!");
        WriteLog(name);
        WriteLog(message);
    }
}

} // namespace

const char* const CSoundManager::kSlotNames[kSlotCount] = {
    "MouseOver.wav",
    "Click.wav",
    "Upgrade.wav",
    "Hint.wav",
    "Select.wav",
    "SelectSteel.wav",
    "Wrong.wav",
    "Drop.wav",
    "BonusClick.wav",
    "GemOut.wav",
    "GemIn.wav",
    "GemBar.wav",
    "Terminator%d.wav",
    "Terminator0_s.wav",
    "TerminatorSteel.wav",
    "ChainOut.wav",
    "ChainOut_s.wav",
    "Explode.wav",
    "Combo%d.wav",
    "BonusDrop.wav",
    "TNT.wav",
    "Flash.wav",
    "Clock.wav",
    "TimeAdd.wav",
    "Multiplier.wav",
    "AdviserGet.wav",
    "AdviserAct.wav",
    "Solidarity.wav",
    "SolidarityRedir.wav",
    "TotemEye.wav",
    "TotemGreen1.wav",
    "TotemGreen2.wav",
    "TotemYellow1.wav",
    "TotemYellow2.wav",
    "TotemRed1.wav",
    "TotemRed2.wav",
    "TotemBlue1.wav",
    "TotemBlue2.wav",
    "TotemBlue3.wav",
    "TotemOrange.wav",
    "TotemWhite1.wav",
    "TotemWhite2.wav",
    "TotemViolet.wav",
    "Explode2.wav",
    "ScoreFrenzy.wav",
    "BonusStar.wav",
    "LifeLost.wav",
    "LifeLostBack.wav",
    "EndLevel.wav",
    "Warning.wav",
    "NewLevel.wav",
    "Bad.wav",
    "Win.wav",
    "Tick.wav",
    "TickLoop.wav",
    "AddLife.wav",
    "GoodClick.wav",
    "Trophy.wav",
    "Background.wav",
    "Museum.wav",
    "Flare.wav",
    "Door.wav",
    "Treasure.wav",
};

CSoundSample::CSoundSample(int variants, int ringSize)
    : samples(static_cast<size_t>(variants), 0), volumes(static_cast<size_t>(variants), 1.0f),
      panFactors(static_cast<size_t>(variants), 1.0f), silencers(static_cast<size_t>(variants)),
      ring(static_cast<size_t>(ringSize), 0)
{}

CSoundManager::CSoundManager() { allSounds.reserve(64); }

CSoundManager::~CSoundManager()
{
    if (deviceOpen)
        snd::Free();
}

int CSoundManager::Init(void* window)
{
    initialised = snd::Init(1, 44100, 0, window, nullptr);
    deviceOpen = initialised;
    return initialised ? 0 : 1;
}

int CSoundManager::LoadConfig(const std::string& path)
{
    configNames.clear();
    configVolumes.clear();
    configPans.clear();
    configSilencers.clear();
    configNames.reserve(80);
    configVolumes.reserve(80);
    configPans.reserve(80);
    configSilencers.reserve(80);

    CTextReader reader;
    if (!reader.Open(path)) {
        WriteLog("Unable to open file");
        WriteLog(path);
        return 0;
    }
    auto endOfFile = [&]() {
        WriteLog("Unexpected end of file");
        WriteLog(path);
        WriteLog("\n");
        reader.Close();
        return 0;
    };
    char token[CTextReader::kTokenSize];
    char name[CTextReader::kTokenSize];
    char number[CTextReader::kTokenSize];

    if (reader.NextToken(token) == 0) {
        reader.Close();
        return 1;
    }
    CTextReader::ToUpper(token);
    for (;;) {
        CTextReader::StripQuotes(token, name);
        if (reader.NextToken(number) == 0)
            return endOfFile();
        float volume = ParseNumber(number);
        ClampValue(&volume, 0.0f, 1.0f, name, "volume <0 ! \n", "volume >1 ! \n");
        configNames.emplace_back(name);
        configVolumes.push_back(volume);
        configPans.push_back(1.0f);
        configSilencers.push_back(SilencerPair{});

        for (;;) {
            if (reader.NextToken(token) == 0) {
                reader.Close();
                return 1;
            }
            CTextReader::ToUpper(token);
            if (std::strcmp(token, "PAN") == 0) {
                if (reader.NextToken(number) == 0)
                    return endOfFile();
                float pan = ParseNumber(number);
                ClampValue(&pan, 0.0f, 1.0f, name, "panfactor <0 ! \n", "panfactor >1 ! \n");
                configPans.back() = pan;
            } else if (std::strcmp(token, "MUSIC") == 0) {
                if (reader.NextToken(number) == 0)
                    return endOfFile();
                float time = ParseNumber(number);
                if (reader.NextToken(number) == 0)
                    return endOfFile();
                float factor = ParseNumber(number);
                ClampValue(&time, 0.0f, 100.0f, name, "music silencer time <0 ! \n",
                           "music silencer time >100 ! \n");
                ClampValue(&factor, 0.0f, 1.0f, name, "music silencer volume <0 ! \n",
                           "music silencer volume >1 ! \n");
                configSilencers.back() = SilencerPair{time, factor};
            } else {
                break; // the next entry's name
            }
        }
    }
}

int CSoundManager::FindConfig(const std::string& fileName) const
{
    const std::string key = UpperCased(fileName);
    for (size_t i = 0; i < configNames.size(); ++i)
        if (configNames[i] == key)
            return static_cast<int>(i);
    return -1;
}

float CSoundManager::GetConfiguredVolume(const std::string& fileName) const
{
    const int i = FindConfig(fileName);
    return i < 0 ? 1.0f : configVolumes[static_cast<size_t>(i)];
}

float CSoundManager::GetConfiguredPan(const std::string& fileName) const
{
    const int i = FindConfig(fileName);
    return i < 0 ? 0.0f : configPans[static_cast<size_t>(i)];
}

SilencerPair CSoundManager::GetConfiguredSilencer(const std::string& fileName) const
{
    const int i = FindConfig(fileName);
    return i < 0 ? SilencerPair{} : configSilencers[static_cast<size_t>(i)];
}

bool CSoundManager::LoadVariant(CSoundSample& sound, size_t variant, const std::string& fileName, int maxPlaybacks,
                                uint32_t flags)
{
    const uint32_t sample =
        snd::SampleLoad(0, currentPath.c_str(), 0, 0, static_cast<uint32_t>(std::max(maxPlaybacks, 0)), flags);
    if (!sample)
        return false;
    sound.samples[variant] = sample;
    sound.silencers[variant] = GetConfiguredSilencer(fileName);
    sound.panFactors[variant] = GetConfiguredPan(fileName);
    sound.volumes[variant] = GetConfiguredVolume(fileName);
    SetSampleVolume(sample, Floor100(sound.volumes[variant]));
    return true;
}

CountedHandle<CSoundSample> CSoundManager::LoadSound(const std::string& folder, const std::string& fileName,
                                                     int ringSize, int maxPlaybacks, uint32_t flags)
{
    currentPath = folder + fileName;
    CountedHandle<CSoundSample> sound = MakeCountedHandle(new CSoundSample(1, ringSize));
    if (!LoadVariant(*sound, 0, fileName, maxPlaybacks, flags))
        return CountedHandle<CSoundSample>();
    allSounds.push_back(sound);
    return sound;
}

int CSoundManager::LoadSamples(const std::string& folder)
{
    auto fail = [&]() {
        WriteLog("Unable to load sound ");
        WriteLog(currentPath);
        WriteLog("\n");
        if (folder == m_convertedFolder)
            ForgetConversion();
        return 2;
    };
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const Group* group = nullptr;
        for (const Group& g : kGroups)
            if (g.slot == slot)
                group = &g;
        if (!group) {
            slots[slot] = LoadSound(folder, kSlotNames[slot], 6, 8, kSampleFlags);
            if (!slots[slot])
                return fail();
            continue;
        }

        auto numbered = [&](int k) {
            std::string name = kSlotNames[slot];
            name.replace(name.find("%d"), 2, std::to_string(k));
            return name;
        };
        std::vector<std::string> files;
        for (int k = group->first; k <= group->last; ++k) {
            currentPath = folder + numbered(k);
            FILE* probe = plat::OpenFile(currentPath, "rb", plat::kSoundFileLimit);
            if (!probe)
                break;
            std::fclose(probe);
            files.push_back(numbered(k));
        }
        if (files.empty()) {
            currentPath = folder + numbered(group->first);
            return fail();
        }
        CountedHandle<CSoundSample> sound = MakeCountedHandle(new CSoundSample(static_cast<int>(files.size()), 6));
        for (size_t i = 0; i < files.size(); ++i) {
            currentPath = folder + files[i];
            if (!LoadVariant(*sound, i, files[i], 8, kSampleFlags))
                return fail();
        }
        slots[slot] = sound;
        allSounds.push_back(sound);
    }
    return 0;
}

int CSoundManager::PanFor(float panFactor, float x) const
{
    return std::clamp(FloorToInt(panFactor * 99.0f * x / panDivisor), -100, 100);
}

void CSoundManager::StartChannel(CSoundSample& sound, size_t variant, int loop, int pan, bool panned)
{
    const uint32_t sample = sound.samples[variant];
    uint32_t channel;
    if (loop) {
        channel = snd::SamplePlayEx(sample, 0, -1, -1, -101, 1);
        sound.ring[static_cast<size_t>(sound.ringIndex)] = channel;
        sound.loopingChannels.push_back(channel);
    } else if (panned) {
        channel = snd::SamplePlayEx(sample, 0, -1, -1, pan, -1);
        sound.ring[static_cast<size_t>(sound.ringIndex)] = channel;
    } else {
        channel = snd::SamplePlay(sample);
        sound.ring[static_cast<size_t>(sound.ringIndex)] = channel;
    }
    sound.ringIndex = (sound.ringIndex + 1) % static_cast<int32_t>(sound.ring.size());

    const SilencerPair& silencer = sound.silencers[variant];
    if (silencer.time > 0.0f && music)
        music->Duck(silencer.time, silencer.musicVolume);
}

namespace {
size_t PickVariant(const CSoundSample& sound, int variant)
{
    const size_t n = sound.samples.size();
    if (variant >= 0)
        return std::min(static_cast<size_t>(variant), n - 1);
    size_t pick = static_cast<size_t>(std::floor(RandomUnit() * static_cast<float>(n)));
    return pick >= n ? n - 1 : pick;
}
} // namespace

CountedHandle<CSoundSample> CSoundManager::Sample(const std::string& fileName) const
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (fileName == kSlotNames[slot])
            return slots[slot];
    return {};
}

void CSoundManager::Play(CountedHandle<CSoundSample> sound, int variant, int loop)
{
    if (!initialised || !sound || sound->samples.empty())
        return;
    StartChannel(*sound, PickVariant(*sound, variant), loop, -101, false);
}

void CSoundManager::PlayPanned(CountedHandle<CSoundSample> sound, float x, int variant, int loop)
{
    if (!initialised || !sound || sound->samples.empty())
        return;
    const size_t v = PickVariant(*sound, variant);
    const float factor = sound->panFactors[v];
    if (factor == 0.0f) {
        StartChannel(*sound, v, loop, -101, false);
        return;
    }
    StartChannel(*sound, v, loop, PanFor(factor, x), true);
}

void CSoundManager::PlayCombo(int matches)
{
    if (!initialised || !slots[kComboSlot] || slots[kComboSlot]->samples.empty())
        return;
    const int last = static_cast<int>(slots[kComboSlot]->samples.size()) - 1;
    Play(slots[kComboSlot], std::clamp(matches - 2, 0, last), 0);
}

void CSoundManager::StopLoops(CountedHandle<CSoundSample> sound)
{
    if (!initialised || !sound)
        return;
    for (uint32_t channel : sound->loopingChannels)
        if (channel)
            snd::ChannelStop(channel);
    sound->loopingChannels.clear();
}

void CSoundManager::SetVolume(float master)
{
    if (!initialised)
        return;
    const float m = master * 100.0f;
    for (const CountedHandle<CSoundSample>& sound : allSounds) {
        for (size_t k = 0; k < sound->samples.size(); ++k)
            SetSampleVolume(sound->samples[k], FloorToInt(m * sound->volumes[k]));
        if (sound->volumes.empty())
            continue;
        const int volume = FloorToInt(m * sound->volumes[0]);
        for (uint32_t channel : sound->ring)
            if (channel)
                snd::ChannelSetAttributes(channel, -1, volume, -101);
        for (uint32_t channel : sound->loopingChannels)
            if (channel)
                snd::ChannelSetAttributes(channel, -1, volume, -101);
    }
}
