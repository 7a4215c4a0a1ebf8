#include "audio/MusicPlayer.h"
#include "AudioFixtures.h"
#include "TestSupport.h"
#include "platform/Audio.h"

#include <gtest/gtest.h>

using namespace audio_fixtures;
using testing_support::ScratchDir;
namespace snd = plat::snd;

namespace {

// A music folder with every track, each at its own rate so that the open
// stream tells which track it is.
class MusicPlayerTracks : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::pair<const char*, int> tracks[] = {{"gameplay1", 11025}, {"gameplay2", 16000},
                                                      {"gameplay3", 22050}, {"mainmenu", 44100},
                                                      {"storyline", 32000}, {"bonuslevel", 48000}};
        for (auto [name, rate] : tracks)
            WriteOggFile(dir.File(std::string(name) + ".ogg"), Sine(2, rate, 0.3, 200, 0.2f), 2, rate);
        ASSERT_TRUE(device.Open());
    }

    uint32_t StreamRate(const CMusicPlayer& player) const
    {
        snd::ChannelInfo info;
        return snd::ChannelGetInfo(player.stream, &info) ? info.freq : 0;
    }

    ScratchDir dir;
    AudioDevice device;
};

} // namespace

TEST(MusicPlayer, GameplayTracksCycleAndVolumeIsClamped)
{
    CMusicPlayer player("Music\\");
    EXPECT_EQ(player.TrackFileName(0), "Music\\gameplay1.ogg");
    EXPECT_EQ(player.TrackFileName(0), "Music\\gameplay2.ogg");
    EXPECT_EQ(player.TrackFileName(0), "Music\\gameplay3.ogg");
    EXPECT_EQ(player.TrackFileName(0), "Music\\gameplay1.ogg");
    EXPECT_EQ(player.TrackFileName(1), "Music\\mainmenu.ogg");
    EXPECT_EQ(player.TrackFileName(2), "Music\\storyline.ogg");
    EXPECT_EQ(player.TrackFileName(3), "Music\\bonuslevel.ogg");

    player.volume = 1.0f;
    EXPECT_EQ(player.EffectiveVolume(true), 100);
    player.volume = 0.0f;
    EXPECT_EQ(player.EffectiveVolume(true), 0);
    player.volume = 0.5f;
    player.fadeLevel = 0.5f;
    player.duckFactor = 0.5f;
    EXPECT_EQ(player.EffectiveVolume(true), 12);
    EXPECT_EQ(player.EffectiveVolume(false), 25);
    player.volume = 3.0f;
    player.fadeLevel = 1.0f;
    EXPECT_EQ(player.EffectiveVolume(false), 100);
}

TEST_F(MusicPlayerTracks, FadeOpensTheLastRequestedKindAfterOneSecond)
{
    CMusicPlayer player(dir.Path());
    player.PlayTrack(CMusicPlayer::MainMenu);
    ASSERT_EQ(player.playing, 1);
    const uint32_t first = player.stream;
    EXPECT_EQ(snd::ChannelIsActive(first), snd::ACTIVE_PLAYING);

    player.FadeTo(CMusicPlayer::Gameplay);
    player.Update(0.5f);
    EXPECT_FLOAT_EQ(player.fadeLevel, 0.5f);
    EXPECT_EQ(player.stream, first);
    // A second request only replaces the kind; the fade goes on from where it is.
    player.FadeTo(CMusicPlayer::BonusLevel);
    EXPECT_FLOAT_EQ(player.fadeLevel, 0.5f);
    player.Update(0.5f);
    EXPECT_EQ(player.fading, 0);
    EXPECT_FLOAT_EQ(player.fadeLevel, 1.0f);
    EXPECT_NE(player.stream, first);
    EXPECT_EQ(StreamRate(player), 48000u);
    EXPECT_EQ(player.gameplayCounter, -1);
    EXPECT_EQ(player.playing, 1);
    EXPECT_EQ(snd::ChannelIsActive(first), snd::ACTIVE_STOPPED);

    player.FadeTo(CMusicPlayer::Gameplay);
    player.Update(0.5f);
    player.Update(0.5f);
    EXPECT_EQ(StreamRate(player), 11025u);
}

TEST_F(MusicPlayerTracks, DuckEntriesLowerTheMusicForTheirTime)
{
    CMusicPlayer player(dir.Path());
    player.PlayTrack(CMusicPlayer::MainMenu);
    player.SetVolume(1.0f);
    player.Duck(2.0f, 0.5f);
    player.Duck(0.5f, 0.2f);
    player.Duck(0.0f, 0.1f);
    player.Update(0.25f);
    EXPECT_FLOAT_EQ(player.duckFactor, 0.2f); // the zero-time entry is gone without effect
    EXPECT_EQ(player.duckList.size(), 2u);
    EXPECT_EQ(player.EffectiveVolume(true), 20);
    player.Update(0.25f);
    EXPECT_FLOAT_EQ(player.duckFactor, 0.5f);
    player.Update(1.5f);
    EXPECT_FLOAT_EQ(player.duckFactor, 1.0f);
    EXPECT_TRUE(player.duckList.empty());
}

TEST_F(MusicPlayerTracks, DuckingAndFadingOnlyWhilePlaying)
{
    CMusicPlayer player(dir.Path());
    player.PlayTrack(CMusicPlayer::MainMenu);
    const uint32_t stream = player.stream;

    player.Pause();
    player.Duck(1.0f, 0.5f);
    player.FadeTo(CMusicPlayer::Storyline);
    player.Update(2.0f);
    EXPECT_TRUE(player.duckList.empty());
    EXPECT_EQ(player.stream, stream); // the fade waits for the resume
    player.Resume();
    player.Update(1.0f);
    EXPECT_EQ(StreamRate(player), 32000u);

    // Off stops the open track, on plays the same track again.
    const uint32_t story = player.stream;
    player.SetEnabled(0);
    EXPECT_EQ(player.playing, 0);
    EXPECT_EQ(snd::ChannelIsActive(story), snd::ACTIVE_STOPPED);
    player.Duck(1.0f, 0.5f);
    EXPECT_TRUE(player.duckList.empty());
    player.SetEnabled(1);
    EXPECT_EQ(player.stream, story);
    EXPECT_EQ(player.playing, 1);
    EXPECT_EQ(snd::ChannelIsActive(story), snd::ACTIVE_PLAYING);
}

TEST_F(MusicPlayerTracks, MissingTrackLeavesTheMusicSilentForTheRun)
{
    LogCapture log;
    CMusicPlayer player(dir.File("nowhere\\"));
    player.PlayTrack(CMusicPlayer::MainMenu);
    EXPECT_EQ(player.stream, 0u);
    EXPECT_EQ(player.playing, 0);
    EXPECT_EQ(log.Text(), " Unable to create music stream " + dir.File("nowhere\\mainmenu.ogg") + " \n");
    player.FadeTo(CMusicPlayer::Gameplay);
    player.Update(2.0f);
    EXPECT_EQ(player.stream, 0u);
    EXPECT_EQ(player.nextKind, CMusicPlayer::Gameplay);

    // Disabled at start-up: the track is opened but stays silent.
    CMusicPlayer quiet(dir.Path());
    quiet.SetEnabled(0);
    quiet.PlayTrack(CMusicPlayer::MainMenu);
    EXPECT_NE(quiet.stream, 0u);
    EXPECT_EQ(quiet.playing, 0);
    EXPECT_EQ(snd::ChannelIsActive(quiet.stream), snd::ACTIVE_STOPPED);
}
