// The generated sounds and the authored lists of the installation folder
// (the tests' working folder) fit together, and every slot plays.
#include "AudioFixtures.h"
#include "TestSupport.h"
#include "audio/SoundManager.h"
#include "engine/Log.h"
#include "platform/Audio.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

using namespace audio_fixtures;
namespace snd = plat::snd;

namespace {

const char kInstalled[] = "Data\\Sfx\\";

// Every file name the slots load, groups expanded.
std::vector<std::string> SlotFiles()
{
    std::vector<std::string> files;
    for (int slot = 0; slot < CSoundManager::kSlotCount; ++slot) {
        const std::string name = CSoundManager::kSlotNames[slot];
        const size_t mark = name.find("%d");
        if (mark == std::string::npos) {
            files.push_back(name);
            continue;
        }
        const int first = slot == CSoundManager::kComboSlot ? 2 : 0;
        for (int k = first; k < first + 8; ++k)
            files.push_back(std::string(name).replace(mark, 2, std::to_string(k)));
    }
    return files;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Base(const std::string& wav) { return wav.substr(0, wav.size() - 4); }

} // namespace

TEST(ShippedSounds, EverySlotAndTrackIsGeneratedListedAndConfigured)
{
    const std::vector<std::string> files = SlotFiles();
    EXPECT_EQ(files.size(), 77u);

    std::set<std::string> listed;
    std::istringstream list(testing_support::ReadText(plat::NativePath(std::string(kInstalled) + "Ogg.lst")));
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
            listed.insert(line);
    EXPECT_EQ(listed.size(), files.size());

    LogCapture log;
    CSoundManager m;
    ASSERT_EQ(m.LoadConfig(std::string(kInstalled) + "Vol.cfg"), 1);
    EXPECT_EQ(log.Text(), "");
    EXPECT_EQ(m.configNames.size(), files.size());

    for (const std::string& wav : files) {
        EXPECT_TRUE(plat::FileExists(std::string(kInstalled) + Base(wav) + ".ogg")) << wav;
        EXPECT_EQ(listed.count(Base(wav)), 1u) << wav;
        EXPECT_NE(std::find(m.configNames.begin(), m.configNames.end(), Upper(wav)), m.configNames.end()) << wav;
    }
    for (const char* track : {"gameplay1", "gameplay2", "gameplay3", "mainmenu", "storyline", "bonuslevel"})
        EXPECT_TRUE(plat::FileExists(std::string("Music\\") + track + ".ogg")) << track;
}

// The start-up chain on the shipped files: convert into a writable folder,
// load every slot from there, and play each one once through the mixer.
TEST(ShippedSounds, ConvertedSlotsAllLoadAndPlay)
{
    testing_support::ScratchDir shared;
    SetDataFoldersForTests(shared.Path(), shared.Path());
    LogCapture log;
    CSoundManager m;
    ASSERT_EQ(m.Init(nullptr), 0);
    ASSERT_EQ(m.ConvertOggSounds("", kInstalled, shared.Path()), 1);
    ASSERT_TRUE(plat::FileExists(shared.File("Vol.cfg")));
    ASSERT_EQ(m.LoadConfig(shared.File("Vol.cfg")), 1);
    ASSERT_EQ(m.LoadSamples(shared.Path()), 0) << log.Text();
    m.SetVolume(0.5f);
    EXPECT_EQ(m.slots[CSoundManager::kTerminatorSlot]->samples.size(), 8u);
    EXPECT_EQ(m.slots[CSoundManager::kComboSlot]->samples.size(), 8u);

    for (const CountedHandle<CSoundSample>& slot : m.slots) {
        for (size_t v = 0; v < slot->samples.size(); ++v) {
            snd::SampleInfo info;
            ASSERT_EQ(snd::SampleGetInfo(slot->samples[v], &info), 1);
            EXPECT_GT(info.length, 0u);
            m.PlayPanned(slot, 200.0f, static_cast<int>(v), 0);
            const uint32_t channel = slot->ring[static_cast<size_t>((slot->ringIndex + 5) % 6)];
            EXPECT_NE(channel, 0u);
        }
    }
    m.Play(m.slots[CSoundManager::kTickLoopSlot], 0, 1);
    EXPECT_EQ(m.slots[CSoundManager::kTickLoopSlot]->loopingChannels.size(), 1u);
    m.StopLoops(m.slots[CSoundManager::kTickLoopSlot]);

    CMusicPlayer music("Music\\");
    music.PlayTrack(CMusicPlayer::MainMenu);
    EXPECT_EQ(music.playing, 1);
    for (int kind :
         {0, 0, 0, static_cast<int>(CMusicPlayer::Storyline), static_cast<int>(CMusicPlayer::BonusLevel)}) {
        music.FadeTo(kind);
        music.Update(1.0f);
        EXPECT_EQ(music.playing, 1) << kind;
        EXPECT_EQ(snd::ChannelIsActive(music.stream), snd::ACTIVE_PLAYING) << kind;
    }
    testing_support::ResetDataFolders();
}
