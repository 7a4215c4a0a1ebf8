#include "audio/SoundManager.h"
#include "AudioFixtures.h"
#include "TestSupport.h"
#include "platform/Audio.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace audio_fixtures;
using testing_support::ScratchDir;
namespace snd = plat::snd;

namespace {

// A sound folder with every slot's file; each Combo file plays at its own
// rate so that a channel tells which variant it came from.
void WriteAllSlotFiles(const ScratchDir& dir, int terminators = 8, int combos = 8)
{
    for (const char* name : CSoundManager::kSlotNames) {
        const std::string text = name;
        if (text.find("%d") == std::string::npos)
            WriteQuietWav(dir.File(text), 22050, 2000);
    }
    for (int k = 0; k < terminators; ++k)
        WriteQuietWav(dir.File("Terminator" + std::to_string(k) + ".wav"), 22050, 2000);
    for (int k = 2; k < 2 + combos; ++k)
        WriteQuietWav(dir.File("Combo" + std::to_string(k) + ".wav"), 8000 + 1000 * k, 2000);
}

uint32_t DefaultVolume(uint32_t sample)
{
    snd::SampleInfo info;
    snd::SampleGetInfo(sample, &info);
    return info.volume;
}

uint32_t ChannelRate(uint32_t channel)
{
    snd::ChannelInfo info;
    snd::ChannelGetInfo(channel, &info);
    return info.freq;
}

} // namespace

TEST(SoundManager, PanFollowsPositionFactorAndDivisor)
{
    CSoundManager m;
    struct Case {
        float panSetting, factor, x;
        int pan;
    } cases[] = {
        {0.75f, 1.0f, 512.0f, 73},
        {1.0f, 1.0f, 512.0f, 97},
        {0.75f, 1.0f, 0.0f, 0},
        {0.75f, 0.5f, -512.0f, -37},
        {0.75f, 1.0f, 5000.0f, 100},
        {0.75f, 1.0f, -5000.0f, -100},
        {1.0f, 1.0f, -3.2f * 520.0f / 99.0f, -4}, // rounded down, not towards zero
        {0.75f, 1.0f, std::nanf(""), 0},
    };
    for (const Case& c : cases) {
        m.panDivisor = 520.0f / c.panSetting;
        EXPECT_EQ(m.PanFor(c.factor, c.x), c.pan) << c.panSetting << " " << c.factor << " " << c.x;
    }
}

TEST(SoundManager, VolCfgEntriesOptionsAndClampWarnings)
{
    ScratchDir dir;
    LogCapture log;
    testing_support::WriteText(dir.File("Vol.cfg"), "# comment line\n"
                                                    "\"click.wav\" 0.5\n"
                                                    "Drop 0.25 pan 0.5 MUSIC 2 0.3 PAN 0.75\n"
                                                    "\"Loud.wav\" 1.5 PAN -1 MUSIC 150 -0.5\n"
                                                    "\"Quiet.wav\" -2 PAN 2 MUSIC -1 3\n"
                                                    "\"Edge.wav\" 1 PAN 0 MUSIC 100 0\n"
                                                    "\"click.wav\" 0.9\n");
    CSoundManager m;
    ASSERT_EQ(m.LoadConfig(dir.File("Vol.cfg")), 1);
    ASSERT_EQ(m.configNames.size(), 6u);
    EXPECT_EQ(m.configNames[0], "CLICK.WAV");
    EXPECT_EQ(m.configNames[1], "DROP");

    EXPECT_FLOAT_EQ(m.GetConfiguredVolume("Click.wav"), 0.5f); // first of the duplicates
    EXPECT_FLOAT_EQ(m.GetConfiguredPan("CLICK.wav"), 1.0f);    // listed without PAN
    EXPECT_FLOAT_EQ(m.GetConfiguredPan("drop"), 0.75f);        // the later PAN wins
    EXPECT_FLOAT_EQ(m.GetConfiguredSilencer("drop").time, 2.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredSilencer("drop").musicVolume, 0.3f);
    // Not listed: full volume, never panned, never lowers the music.
    EXPECT_FLOAT_EQ(m.GetConfiguredVolume("Other.wav"), 1.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredPan("Other.wav"), 0.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredSilencer("Other.wav").time, 0.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredSilencer("Other.wav").musicVolume, 1.0f);

    EXPECT_FLOAT_EQ(m.GetConfiguredVolume("loud.wav"), 1.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredPan("loud.wav"), 0.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredSilencer("loud.wav").time, 100.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredSilencer("loud.wav").musicVolume, 0.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredVolume("quiet.wav"), 0.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredPan("quiet.wav"), 1.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredSilencer("quiet.wav").time, 0.0f);
    EXPECT_FLOAT_EQ(m.GetConfiguredSilencer("quiet.wav").musicVolume, 1.0f);

    EXPECT_EQ(log.Text(), " Warning! LOUD.WAV volume >1 ! \n"
                          " Warning! LOUD.WAV panfactor <0 ! \n"
                          " Warning! LOUD.WAV music silencer time >100 ! \n"
                          " Warning! LOUD.WAV music silencer volume <0 ! \n"
                          " Warning! QUIET.WAV volume <0 ! \n"
                          " Warning! QUIET.WAV panfactor >1 ! \n"
                          " Warning! QUIET.WAV music silencer time <0 ! \n"
                          " Warning! QUIET.WAV music silencer volume >1 ! \n");
}

TEST(SoundManager, VolCfgWordsWhereNumbersBelongReadAsZero)
{
    ScratchDir dir;
    LogCapture log;
    testing_support::WriteText(dir.File("Vol.cfg"), "\"Odd.wav\" nan PAN NaN MUSIC 2 nan\n\"Word.wav\" loud\n");
    CSoundManager m;
    ASSERT_EQ(m.LoadConfig(dir.File("Vol.cfg")), 1);
    EXPECT_EQ(m.GetConfiguredVolume("odd.wav"), 0.0f);
    EXPECT_EQ(m.GetConfiguredPan("odd.wav"), 0.0f);
    EXPECT_EQ(m.GetConfiguredSilencer("odd.wav").musicVolume, 0.0f);
    EXPECT_EQ(m.GetConfiguredVolume("word.wav"), 0.0f);
    EXPECT_EQ(log.Text(), "");
}

TEST(SoundManager, VolCfgErrorsKeepWhatWasRead)
{
    ScratchDir dir;
    LogCapture log;
    CSoundManager m;
    EXPECT_EQ(m.LoadConfig(dir.File("Missing.cfg")), 0);
    EXPECT_EQ(log.Text(), " Unable to open file " + dir.File("Missing.cfg"));

    for (const char* text : {"\"A.wav\" 0.5\n\"B.wav\" 0.4 MUSIC 2\n", "\"A.wav\" 0.5 \"B.wav\""}) {
        log.Clear();
        testing_support::WriteText(dir.File("Vol.cfg"), text);
        EXPECT_EQ(m.LoadConfig(dir.File("Vol.cfg")), 0) << text;
        EXPECT_EQ(log.Text(), " Unexpected end of file " + dir.File("Vol.cfg") + " \n");
        EXPECT_FLOAT_EQ(m.GetConfiguredVolume("A.wav"), 0.5f);
    }
}

TEST(SoundManager, LoadsEverySlotWithGroupsAndConfiguredVolumes)
{
    ScratchDir dir;
    WriteAllSlotFiles(dir, 3, 8);
    WriteQuietWav(dir.File("Terminator4.wav"), 22050, 100); // after a gap: not part of the group
    testing_support::WriteText(dir.File("Vol.cfg"), "\"Click.wav\" 0.55\n\"Combo9.wav\" 0.3\n");
    AudioDevice device;
    ASSERT_TRUE(device.Open());
    CSoundManager m;
    m.initialised = 1;
    m.LoadConfig(dir.File("Vol.cfg"));
    ASSERT_EQ(m.LoadSamples(dir.Path()), 0);
    EXPECT_EQ(m.allSounds.size(), 63u);
    for (const auto& slot : m.slots)
        ASSERT_TRUE(slot);
    EXPECT_EQ(m.slots[CSoundManager::kTerminatorSlot]->samples.size(), 3u);
    EXPECT_EQ(m.slots[CSoundManager::kComboSlot]->samples.size(), 8u);
    EXPECT_EQ(DefaultVolume(m.slots[1]->samples[0]), 55u);
    EXPECT_EQ(DefaultVolume(m.slots[CSoundManager::kComboSlot]->samples[7]), 30u);
    EXPECT_EQ(DefaultVolume(m.slots[0]->samples[0]), 100u);

    // The master volume scales every sample's default, and 1 restores it.
    m.SetVolume(0.5f);
    EXPECT_EQ(DefaultVolume(m.slots[1]->samples[0]), 27u);
    EXPECT_EQ(DefaultVolume(m.slots[0]->samples[0]), 50u);
    m.SetVolume(0.0f);
    EXPECT_EQ(DefaultVolume(m.slots[1]->samples[0]), 0u);
    m.SetVolume(1.0f);
    EXPECT_EQ(DefaultVolume(m.slots[1]->samples[0]), 55u);
}

TEST(SoundManager, LoadFailureNamesTheFileAndStopsThere)
{
    struct Case {
        const char* removed;
        int filledBefore;
    } cases[] = {{"Hint.wav", 3}, {"Terminator0.wav", 12}, {"Combo2.wav", 18}};
    for (const Case& c : cases) {
        ScratchDir dir;
        WriteAllSlotFiles(dir);
        std::remove(dir.File(c.removed).c_str());
        LogCapture log;
        AudioDevice device;
        ASSERT_TRUE(device.Open());
        CSoundManager m;
        EXPECT_EQ(m.LoadSamples(dir.Path()), 2);
        EXPECT_EQ(log.Text(), std::string(" Unable to load sound  ") + dir.File(c.removed) + " \n");
        for (int slot = 0; slot < CSoundManager::kSlotCount; ++slot)
            EXPECT_EQ(static_cast<bool>(m.slots[slot]), slot < c.filledBefore) << c.removed << " " << slot;
    }
}

TEST(SoundManager, FailedLoadStillReleasesTheDevice)
{
    ScratchDir dir;
    {
        CSoundManager m;
        ASSERT_EQ(m.Init(nullptr), 0);
        ASSERT_EQ(m.LoadSamples(dir.Path()), 2);
        m.initialised = 0; // what start-up does after a failed load
    }
    // The device was released with the manager, so it can be opened again.
    EXPECT_EQ(snd::Init(1, 44100, 0, nullptr, nullptr), 1);
    snd::Free();
}

TEST(SoundManager, PlaysRingLoopsCombosAndDucks)
{
    ScratchDir dir;
    WriteAllSlotFiles(dir);
    WriteOggFile(dir.File("mainmenu.ogg"), Sine(2, 44100, 0.3, 300, 0.2f), 2, 44100);
    testing_support::WriteText(dir.File("Vol.cfg"), "\"Win.wav\" 1 MUSIC 2 0.3\n\"Bad.wav\" 1 MUSIC 0 0.3\n");
    CSoundManager m;
    ASSERT_EQ(m.Init(nullptr), 0);
    // The mixer stands still: the voices asked about below (a fifth of a
    // second each) are still there however long the asking takes.
    ASSERT_EQ(snd::HoldMixerForTests(), 1);
    m.LoadConfig(dir.File("Vol.cfg"));
    ASSERT_EQ(m.LoadSamples(dir.Path()), 0);
    m.music = MakeCountedHandle(new CMusicPlayer(dir.Path()));
    m.music->PlayTrack(CMusicPlayer::MainMenu);
    ASSERT_EQ(m.music->playing, 1);

    // The ring keeps the last six channels.
    const CountedHandle<CSoundSample> click = m.slots[1];
    for (int i = 0; i < 7; ++i)
        m.Play(click, -1, 0);
    EXPECT_EQ(click->ringIndex, 1);
    EXPECT_NE(click->ring[0], 0u);
    EXPECT_EQ(click.UseCount(), 3u); // slot, all-sounds list, ours: the copies handed to Play are gone

    // Loops are listed and stopped together; a panned loop is not panned.
    const CountedHandle<CSoundSample> tick = m.slots[CSoundManager::kTickLoopSlot];
    m.Play(tick, 0, 1);
    m.PlayPanned(tick, 300.0f, 0, 1);
    ASSERT_EQ(tick->loopingChannels.size(), 2u);
    const uint32_t loop = tick->loopingChannels.front();
    EXPECT_EQ(snd::ChannelIsActive(loop), snd::ACTIVE_PLAYING);
    m.StopLoops(tick);
    EXPECT_TRUE(tick->loopingChannels.empty());
    EXPECT_EQ(snd::ChannelIsActive(loop), snd::ACTIVE_STOPPED);

    // Combo: cascades of 0 and 2 play Combo2, 20 plays Combo9.
    const CountedHandle<CSoundSample> combo = m.slots[CSoundManager::kComboSlot];
    for (auto [matches, rate] : {std::pair{0, 10000u}, {2, 10000u}, {5, 13000u}, {20, 17000u}}) {
        m.PlayCombo(matches);
        EXPECT_EQ(ChannelRate(combo->ring[static_cast<size_t>((combo->ringIndex + 5) % 6)]), rate) << matches;
    }

    // Only a silencer with a time lowers the music.
    m.Play(m.slots[51], -1, 0); // "Bad.wav": time 0
    EXPECT_TRUE(m.music->duckList.empty());
    m.PlayPanned(m.slots[52], -100.0f, -1, 0); // "Win.wav"
    ASSERT_EQ(m.music->duckList.size(), 1u);
    EXPECT_FLOAT_EQ(m.music->duckList[0].first, 2.0f);
    EXPECT_FLOAT_EQ(m.music->duckList[0].second, 0.3f);

    // An uninitialised manager does nothing but let go of the handle.
    m.initialised = 0;
    const uint32_t before = click->ring[1];
    m.Play(click, 0, 0);
    m.PlayCombo(3);
    EXPECT_EQ(click->ring[1], before);
    EXPECT_EQ(click.UseCount(), 3u);
}
