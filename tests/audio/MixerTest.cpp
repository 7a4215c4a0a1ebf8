#include "AudioFixtures.h"
#include "TestSupport.h"
#include "platform/Audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <thread>

using namespace audio_fixtures;
using testing_support::ScopedEnv;
namespace snd = plat::snd;

namespace {

// Waits until none of `channels` sounds any more; the limit is there only
// to end a hang, far beyond what the device's thread takes on a busy machine.
bool WaitUntilSilent(const std::vector<snd::Handle>& channels)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (std::chrono::steady_clock::now() < until) {
        bool any = false;
        for (snd::Handle h : channels)
            any = any || snd::ChannelIsActive(h) == snd::ACTIVE_PLAYING;
        if (!any)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace

TEST(Mixer, FullSampleReplacesTheVoiceThatHasPlayedLongestOrRefuses)
{
    testing_support::ScratchDir dir;
    WriteQuietWav(dir.File("long.wav"), 22050, 22050 * 3);
    AudioDevice device(AudioDevice::Mixer::Held);
    ASSERT_TRUE(device.Open());

    const snd::Handle replacing = snd::SampleLoad(0, dir.File("long.wav").c_str(), 0, 0, 3, snd::SAMPLE_OVER_POS);
    ASSERT_NE(replacing, 0u);
    std::vector<snd::Handle> voices;
    for (int i = 0; i < 3; ++i)
        voices.push_back(snd::SamplePlay(replacing));
    const snd::Handle fourth = snd::SamplePlay(replacing);
    ASSERT_NE(fourth, 0u);
    EXPECT_EQ(snd::VoiceCountForTests(replacing), 3);
    EXPECT_EQ(snd::ChannelIsActive(voices[0]), snd::ACTIVE_STOPPED);
    EXPECT_EQ(snd::ChannelIsActive(voices[1]), snd::ACTIVE_PLAYING);
    EXPECT_EQ(snd::ChannelIsActive(voices[2]), snd::ACTIVE_PLAYING);
    EXPECT_EQ(snd::ChannelIsActive(fourth), snd::ACTIVE_PLAYING);
    // The replaced voice's handle is stale: every call on it is harmless.
    EXPECT_EQ(snd::ChannelStop(voices[0]), 0);
    EXPECT_EQ(snd::ChannelSetAttributes(voices[0], -1, 50, 0), 0);
    EXPECT_EQ(snd::VoiceCountForTests(replacing), 3);

    const snd::Handle refusing = snd::SampleLoad(0, dir.File("long.wav").c_str(), 0, 0, 2, 0);
    EXPECT_NE(snd::SamplePlay(refusing), 0u);
    EXPECT_NE(snd::SamplePlay(refusing), 0u);
    EXPECT_EQ(snd::SamplePlay(refusing), 0u);

    std::set<snd::Handle> distinct(voices.begin(), voices.end());
    distinct.insert({fourth, replacing, refusing});
    EXPECT_EQ(distinct.size(), 6u);
    EXPECT_EQ(distinct.count(0), 0u);
}

TEST(Mixer, FinishedAndFreedHandlesAreHarmlessAndNotReused)
{
    testing_support::ScratchDir dir;
    WriteQuietWav(dir.File("blip.wav"), 44100, 200);
    std::set<snd::Handle> seen;
    snd::Handle sample = 0, voice = 0;
    {
        AudioDevice device(AudioDevice::Mixer::Held);
        ASSERT_TRUE(device.Open());
        sample = snd::SampleLoad(0, dir.File("blip.wav").c_str(), 0, 0, 4, 0);
        voice = snd::SamplePlay(sample);
        ASSERT_NE(voice, 0u);
        EXPECT_EQ(snd::ChannelIsActive(voice), snd::ACTIVE_PLAYING);
        device.Mix(kPassFrames); // the blip's 200 frames end in the first pass
        ASSERT_EQ(snd::ChannelIsActive(voice), snd::ACTIVE_STOPPED);
        EXPECT_EQ(snd::ChannelSetAttributes(voice, -1, 10, -101), 0);
        EXPECT_EQ(snd::VoiceCountForTests(sample), 0);
        seen = {sample, voice};
    }
    // After the device is gone, nothing it handed out works, and nothing crashes.
    EXPECT_EQ(snd::SamplePlay(sample), 0u);
    EXPECT_EQ(snd::ChannelStop(voice), 0);
    EXPECT_EQ(snd::StreamFree(voice), 0);
    snd::SampleInfo info;
    EXPECT_EQ(snd::SampleGetInfo(sample, &info), 0);
    EXPECT_EQ(snd::Pause(), 0);

    AudioDevice again;
    ASSERT_TRUE(again.Open());
    const snd::Handle fresh = snd::SampleLoad(0, dir.File("blip.wav").c_str(), 0, 0, 4, 0);
    EXPECT_EQ(seen.count(fresh), 0u);
    EXPECT_EQ(seen.count(snd::SamplePlay(fresh)), 0u);
}

TEST(Mixer, ClosingWithStreamsOpenAndEmptyFilesAreClean)
{
    testing_support::ScratchDir dir;
    // A rate the device does not run at, so the stream holds a rate converter.
    WriteOggFile(dir.File("song.ogg"), Sine(2, 22050, 0.5, 330, 0.3f), 2, 22050);
    WriteQuietWav(dir.File("blip.wav"), 44100, 100);
    testing_support::WriteText(dir.File("empty.ogg"), "");
    {
        AudioDevice device;
        ASSERT_TRUE(device.Open());
        const snd::Handle song = snd::StreamCreateFile(0, dir.File("song.ogg").c_str(), 0, 0, snd::SAMPLE_LOOP);
        ASSERT_NE(song, 0u);
        EXPECT_EQ(snd::StreamPlay(song, 1, snd::SAMPLE_LOOP), 1);
        EXPECT_NE(snd::SamplePlay(snd::SampleLoad(0, dir.File("blip.wav").c_str(), 0, 0, 4, 0)), 0u);
        EXPECT_EQ(snd::StreamCreateFile(0, dir.File("empty.ogg").c_str(), 0, 0, 0), 0u);
    } // closes the device with the stream and the sample still there
    EXPECT_EQ(snd::StreamCountForTests(), 0);
    EXPECT_EQ(snd::StreamCreateFile(0, dir.File("empty.ogg").c_str(), 0, 0, snd::STREAM_DECODE), 0u);
}

TEST(Mixer, WithoutADeviceOnlyDecodingWorks)
{
    testing_support::ScratchDir dir;
    WriteQuietWav(dir.File("a.wav"), 44100, 100);
    WriteOggFile(dir.File("a.ogg"), Sine(1, 44100, 0.1, 440, 0.3f), 1, 44100);
    ScopedEnv driver("SDL_AUDIODRIVER", "nosuchdriver");
    EXPECT_EQ(snd::Init(1, 44100, 0, nullptr, nullptr), 0);
    EXPECT_STRNE(snd::LastError(), "");
    EXPECT_EQ(snd::SampleLoad(0, dir.File("a.wav").c_str(), 0, 0, 8, 0), 0u);
    EXPECT_EQ(snd::StreamCreateFile(0, dir.File("a.ogg").c_str(), 0, 0, 0), 0u);
    const snd::Handle decoder = snd::StreamCreateFile(0, dir.File("a.ogg").c_str(), 0, 0, snd::STREAM_DECODE);
    EXPECT_NE(decoder, 0u);
    EXPECT_EQ(snd::StreamFree(decoder), 1);
}

TEST(Mixer, DecodeStreamDeliversEveryFrameAsSixteenBitPcm)
{
    testing_support::ScratchDir dir;
    const std::vector<float> pcm = Sine(2, 22050, 0.5, 330, 0.5f);
    WriteOggFile(dir.File("s.ogg"), pcm, 2, 22050);
    EXPECT_EQ(snd::StreamCreateFile(0, dir.File("missing.ogg").c_str(), 0, 0, snd::STREAM_DECODE), 0u);
    testing_support::WriteText(dir.File("junk.ogg"), "not an ogg file at all");
    EXPECT_EQ(snd::StreamCreateFile(0, dir.File("junk.ogg").c_str(), 0, 0, snd::STREAM_DECODE), 0u);

    const snd::Handle stream = snd::StreamCreateFile(0, dir.File("s.ogg").c_str(), 0, 0, snd::STREAM_DECODE);
    ASSERT_NE(stream, 0u);
    snd::ChannelInfo info;
    ASSERT_EQ(snd::ChannelGetInfo(stream, &info), 1);
    EXPECT_EQ(info.freq, 22050u);
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(info.flags & snd::SAMPLE_8BITS, 0u);
    EXPECT_EQ(snd::StreamPlay(stream, 0, 0), 0); // decode-only streams never play

    std::vector<int16_t> out;
    int16_t buffer[5000];
    while (snd::ChannelIsActive(stream) == snd::ACTIVE_PLAYING) {
        const int32_t got = snd::ChannelGetData(stream, buffer, sizeof buffer);
        ASSERT_GE(got, 0);
        out.insert(out.end(), buffer, buffer + got / 2);
    }
    ASSERT_EQ(out.size(), pcm.size());
    double worst = 0;
    for (size_t i = 0; i < out.size(); ++i)
        worst = std::max(worst, std::fabs(out[i] / 32768.0 - pcm[i]));
    EXPECT_LT(worst, 0.05); // lossy, but the same signal
    EXPECT_EQ(snd::ChannelGetData(stream, buffer, sizeof buffer), 0);
    EXPECT_EQ(snd::StreamFree(stream), 1);
    EXPECT_EQ(snd::ChannelIsActive(stream), snd::ACTIVE_STOPPED);
}

// Two samples (one resampled from 22050 Hz, 8-bit stereo) and a stream,
// mixed with their volumes and pans, pass by pass as the device mixes them.
TEST(Mixer, MixesSamplesAndAStreamWithTheirVolumesAndPans)
{
    testing_support::ScratchDir dir;
    const int aFrames = 4410;
    WriteWav(dir.File("a.wav"), 1, 44100, 16, std::vector<int>(aFrames, 8192)); // 0.25
    std::vector<int> b;
    for (int i = 0; i < 100; ++i) {
        b.push_back(128 + i % 50);
        b.push_back(128 - i % 40);
    }
    WriteWav(dir.File("b.wav"), 2, 22050, 8, b);
    WriteOggFile(dir.File("c.ogg"), Sine(2, 44100, 0.2, 500, 0.3f), 2, 44100);

    // The stream's expected frames, decoded the same way the mixer does.
    std::vector<float> c;
    {
        const snd::Handle decoder = snd::StreamCreateFile(0, dir.File("c.ogg").c_str(), 0, 0, snd::STREAM_DECODE);
        int16_t buffer[4096];
        int32_t got;
        while ((got = snd::ChannelGetData(decoder, buffer, sizeof buffer)) > 0)
            for (int i = 0; i < got / 2; ++i)
                c.push_back(buffer[i] / 32768.0f);
        snd::StreamFree(decoder);
    }

    AudioDevice device(AudioDevice::Mixer::Held);
    ASSERT_TRUE(device.Open());
    ASSERT_EQ(snd::DeviceRateForTests(), 44100);
    const snd::Handle a = snd::SampleLoad(0, dir.File("a.wav").c_str(), 0, 0, 8, 0);
    const snd::Handle bs = snd::SampleLoad(0, dir.File("b.wav").c_str(), 0, 0, 8, 0);
    const snd::Handle cs = snd::StreamCreateFile(0, dir.File("c.ogg").c_str(), 0, 0, 0);
    ASSERT_TRUE(a && bs && cs);
    snd::SampleInfo info;
    ASSERT_EQ(snd::SampleGetInfo(bs, &info), 1);
    EXPECT_EQ(info.origres, 8u);
    EXPECT_EQ(info.chans, 2u);
    info.volume = 80;
    info.pan = 50;
    snd::SampleSetInfo(bs, &info);

    const snd::Handle va = snd::SamplePlayEx(a, 0, -1, 50, -100, 0);
    const snd::Handle vb = snd::SamplePlay(bs);
    ASSERT_EQ(snd::StreamPlay(cs, 0, 0), 1);
    snd::ChannelSetAttributes(cs, 0, 60, -101);
    const std::vector<float> out = device.Mix(9000);
    // Every one of them has ended within those frames.
    EXPECT_EQ(snd::ChannelIsActive(va), snd::ACTIVE_STOPPED);
    EXPECT_EQ(snd::ChannelIsActive(vb), snd::ACTIVE_STOPPED);
    EXPECT_EQ(snd::ChannelIsActive(cs), snd::ACTIVE_STOPPED);

    auto bValue = [&](int channel, size_t frame) {
        const double pos = frame * 0.5;
        const size_t i = static_cast<size_t>(pos);
        if (i >= 100)
            return 0.0;
        const size_t j = std::min<size_t>(i + 1, 99);
        const double v0 = (b[2 * i + channel] - 128) / 128.0, v1 = (b[2 * j + channel] - 128) / 128.0;
        return v0 + (v1 - v0) * (pos - i);
    };
    double worst = 0;
    for (size_t f = 0; f < 9000; ++f) {
        double left = 0, right = 0;
        if (f < aFrames)
            left += 0.25 * 0.5; // pan fully left
        left += bValue(0, f) * 0.8 * 0.5;
        right += bValue(1, f) * 0.8;
        if (2 * f + 1 < c.size()) {
            left += c[2 * f] * 0.6;
            right += c[2 * f + 1] * 0.6;
        }
        worst = std::max({worst, std::fabs(out[2 * f] - left), std::fabs(out[2 * f + 1] - right)});
    }
    EXPECT_LT(worst, 1e-3);
}

// What the device plays is the mix, held to full scale: two voices of a
// sample at full scale start in the same pass, captured by the disk driver
// as the device's thread plays them.
TEST(Mixer, TheDevicePlaysTheMixHeldToFullScale)
{
    testing_support::ScratchDir dir;
    std::vector<int> values(100, 32767);
    values.insert(values.end(), 100, -32768);
    values.insert(values.end(), 100, 8192);
    WriteWav(dir.File("loud.wav"), 1, 44100, 16, values);

    const std::string raw = dir.File("out.raw");
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "disk");
        ScopedEnv file("SDL_DISKAUDIOFILE", raw.c_str());
        ScopedEnv delay("SDL_DISKAUDIODELAY", "10");
        AudioDevice device;
        ASSERT_TRUE(device.Open());
        ASSERT_EQ(snd::DeviceRateForTests(), 44100);
        const snd::Handle loud = snd::SampleLoad(0, dir.File("loud.wav").c_str(), 0, 0, 2, 0);
        ASSERT_NE(loud, 0u);
        snd::Pause();
        const snd::Handle first = snd::SamplePlay(loud);
        const snd::Handle second = snd::SamplePlay(loud);
        snd::Start();
        // Closing the device after the pass that ended them writes that pass.
        ASSERT_TRUE(WaitUntilSilent({first, second})) << "the voices still sound two minutes on";
    }

    const std::vector<unsigned char> bytes = testing_support::ReadBytes(raw);
    std::vector<float> out(bytes.size() / sizeof(float));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
    size_t start = 0; // the device plays silence until the voices start
    while (start < out.size() && out[start] == 0.0f)
        start += 2;
    ASSERT_GE(out.size(), start + 2 * 400) << "the pass that played the voices was not captured";
    for (size_t f = 0; f < 400; ++f) {
        const float want = f < 100 ? 1.0f : f < 200 ? -1.0f : f < 300 ? 0.5f : 0.0f;
        ASSERT_EQ(out[start + 2 * f], want) << "frame " << f;
        ASSERT_EQ(out[start + 2 * f + 1], want) << "frame " << f;
    }
}

// A held tone that is turned down, up, and stopped, and a short looped
// stream that is stopped: the output never jumps where the data does not (a
// cut mid-waveform clicks), and the loop seam has no gap. Each change comes
// a few passes after the one before, as a game's frames come.
TEST(Mixer, VolumeChangesStopsAndLoopSeamsDoNotJump)
{
    testing_support::ScratchDir dir;
    // 0.5 for eight seconds, faded in so that its onset is smooth too.
    std::vector<int> heldValues(44100 * 8, 16384);
    for (int i = 0; i < 256; ++i)
        heldValues[static_cast<size_t>(i)] = 64 * i;
    WriteWav(dir.File("held.wav"), 1, 44100, 16, heldValues);
    // Ten whole periods: looping it gives one unbroken sine.
    WriteOggFile(dir.File("loop.ogg"), Sine(2, 44100, 0.1, 100, 0.3f), 2, 44100);

    AudioDevice device(AudioDevice::Mixer::Held);
    ASSERT_TRUE(device.Open());
    const snd::Handle held = snd::SampleLoad(0, dir.File("held.wav").c_str(), 0, 0, 1, snd::SAMPLE_OVER_POS);
    const snd::Handle music = snd::StreamCreateFile(0, dir.File("loop.ogg").c_str(), 0, 0, 0);
    ASSERT_TRUE(held && music);
    std::vector<float> out;
    auto play = [&] {
        const std::vector<float> passes = device.Mix(3 * kPassFrames);
        out.insert(out.end(), passes.begin(), passes.end());
    };

    const snd::Handle voice = snd::SamplePlayEx(held, 0, -1, 100, -101, 0);
    ASSERT_EQ(snd::StreamPlay(music, 0, snd::SAMPLE_LOOP), 1);
    play();
    snd::ChannelSetAttributes(voice, -1, 0, -101);
    snd::ChannelSetAttributes(music, -1, 100, 100);
    play();
    snd::ChannelSetAttributes(voice, -1, 100, -100);
    play();
    const snd::Handle replacing = snd::SamplePlayEx(held, 0, -1, 20, -101, 0); // takes the only voice
    EXPECT_EQ(snd::ChannelIsActive(voice), snd::ACTIVE_STOPPED);
    play();
    EXPECT_EQ(snd::ChannelStop(replacing), 1);
    EXPECT_EQ(snd::ChannelStop(music), 1);
    EXPECT_EQ(snd::ChannelIsActive(music), snd::ACTIVE_STOPPED);
    play(); // fifteen passes in all: the loop's 4410 frames played three times and more

    // Only the data's own slopes and short glides may move the output.
    double worst = 0;
    for (size_t i = 0; i + 2 < out.size(); ++i)
        worst = std::max(worst, static_cast<double>(std::fabs(out[i + 2] - out[i])));
    EXPECT_LT(worst, 0.02);
    EXPECT_EQ(out[out.size() - 2], 0.0f);
    EXPECT_EQ(out[out.size() - 1], 0.0f);
}
