#include "AudioFixtures.h"
#include "TestSupport.h"
#include "audio/SoundManager.h"
#include "engine/Log.h"
#include "platform/Audio.h"
#include "platform/Files.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace audio_fixtures;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

struct Header {
    uint16_t format, channels, align, bits;
    uint32_t rate, bytesPerSecond, riffSize, dataSize;
};

Header ReadHeader(const std::vector<unsigned char>& b)
{
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(b, 16), 16u);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    return Header{Le16(b, 20), Le16(b, 22), Le16(b, 32), Le16(b, 34),
                  Le32(b, 24), Le32(b, 28), Le32(b, 4),  Le32(b, 40)};
}

// The shipped folder of a small installation: "Ogg.lst", its OGG files and "Vol.cfg".
void Install(const ScratchDir& dir, const std::string& list, const std::vector<std::string>& oggs)
{
    WriteText(dir.File("Ogg.lst"), list);
    WriteText(dir.File("Vol.cfg"), "\"A.wav\" 0.5\n");
    for (const std::string& name : oggs)
        WriteOggFile(dir.File(name + ".ogg"), Sine(1, 22050, 0.05, 600, 0.3f), 1, 22050);
}

// Restores "no per-user folders" when the test ends.
struct UserFolders {
    UserFolders(const std::string& user, const std::string& shared) { SetDataFoldersForTests(user, shared); }
    ~UserFolders() { testing_support::ResetDataFolders(); }
};

} // namespace

TEST(SoundConversion, WavHeaderDescribesTheDecodedStream)
{
    ScratchDir dir;
    struct Case {
        int channels, rate;
        double seconds;
        uint16_t align;
    } cases[] = {{2, 44100, 0.1, 4}, {1, 22050, 0.05, 2}, {2, 44100, 0.0, 4}};
    for (const Case& c : cases) {
        WriteOggFile(dir.File("in.ogg"), Sine(c.channels, c.rate, c.seconds, 440, 0.4f), c.channels, c.rate);
        ASSERT_EQ(CSoundManager::ConvertOggToWav(dir.File("in.ogg"), dir.File("out.wav")), 1);
        const std::vector<unsigned char> b = ReadBytes(dir.File("out.wav"));
        const Header h = ReadHeader(b);
        const uint32_t frames = static_cast<uint32_t>(std::lround(c.seconds * c.rate));
        EXPECT_EQ(h.format, 1);
        EXPECT_EQ(h.channels, c.channels);
        EXPECT_EQ(h.rate, static_cast<uint32_t>(c.rate));
        EXPECT_EQ(h.align, c.align);
        EXPECT_EQ(h.bits, 16);
        EXPECT_EQ(h.bytesPerSecond, static_cast<uint32_t>(c.rate) * c.align);
        EXPECT_EQ(h.dataSize, frames * c.align);
        EXPECT_EQ(b.size(), 44u + h.dataSize);
        EXPECT_EQ(h.riffSize, b.size() - 8);
    }
}

TEST(SoundConversion, FailuresLogFreeTheDecoderAndLeaveNoFile)
{
    ScratchDir dir;
    LogCapture log;
    WriteOggFile(dir.File("in.ogg"), Sine(1, 22050, 0.05, 440, 0.4f), 1, 22050);
    EXPECT_EQ(CSoundManager::ConvertOggToWav(dir.File("none.ogg"), dir.File("out.wav")), 0);
    EXPECT_EQ(CSoundManager::ConvertOggToWav(dir.File("in.ogg"), dir.File("no/such/folder/out.wav")), 0);
    EXPECT_EQ(plat::snd::StreamCountForTests(), 0);
    EXPECT_EQ(log.Text(), " Unable to stream file  " + dir.File("none.ogg") + " \n Unable to create file  " +
                              dir.File("no/such/folder/out.wav") + " \n");
}

TEST(SoundConversion, WithoutUserFoldersTheOptionsKeyMarksCompletion)
{
    ScratchDir dir;
    LogCapture log;
    Install(dir, "A\n\nB", {"A", "B"}); // a blank line, and no line feed at the end
    const std::string options = dir.File("Options.ini");
    CSoundManager m;
    ASSERT_EQ(m.ConvertOggSounds(options, dir.Path(), dir.Path()), 1);
    EXPECT_TRUE(plat::FileExists(dir.File("A.wav")));
    EXPECT_TRUE(plat::FileExists(dir.File("B.wav")));
    EXPECT_EQ(plat::GetProfileString("Sound", "Converted", "", options), "1");
    EXPECT_EQ(log.Text(), " Firs time sound convertion...\n Done\n");

    std::remove(dir.File("A.wav").c_str());
    ASSERT_EQ(m.ConvertOggSounds(options, dir.Path(), dir.Path()), 1);
    EXPECT_FALSE(plat::FileExists(dir.File("A.wav")));

    plat::WritePrivateProfileString("Sound", "Converted", "2", options);
    ASSERT_EQ(m.ConvertOggSounds(options, dir.Path(), dir.Path()), 1);
    EXPECT_TRUE(plat::FileExists(dir.File("A.wav")));
}

TEST(SoundConversion, WithUserFoldersTheCopiedVolCfgMarksCompletion)
{
    ScratchDir installed, shared;
    UserFolders folders(shared.Path(), shared.Path());
    Install(installed, "A\nB\n", {"A", "B"});
    const std::string options = installed.File("Options.ini");
    CSoundManager m;
    ASSERT_EQ(m.ConvertOggSounds(options, installed.Path(), shared.Path()), 1);
    EXPECT_TRUE(plat::FileExists(shared.File("A.wav")));
    EXPECT_TRUE(plat::FileExists(shared.File("B.wav")));
    EXPECT_FALSE(plat::FileExists(installed.File("A.wav")));
    EXPECT_EQ(testing_support::ReadText(shared.File("Vol.cfg")), "\"A.wav\" 0.5\n");
    EXPECT_FALSE(plat::FileExists(options)); // the options key is not touched

    std::remove(shared.File("A.wav").c_str());
    ASSERT_EQ(m.ConvertOggSounds(options, installed.Path(), shared.Path()), 1);
    EXPECT_FALSE(plat::FileExists(shared.File("A.wav")));

    std::remove(shared.File("Vol.cfg").c_str());
    ASSERT_EQ(m.ConvertOggSounds(options, installed.Path(), shared.Path()), 1);
    EXPECT_TRUE(plat::FileExists(shared.File("A.wav")));
}

TEST(SoundConversion, AFailedFileLeavesNoMarkerSoTheNextStartRetries)
{
    ScratchDir installed, shared;
    LogCapture log;
    UserFolders folders(shared.Path(), shared.Path());
    Install(installed, "A\nBroken\nB\n", {"A", "B"});
    WriteText(installed.File("Broken.ogg"), "damaged");
    CSoundManager m;
    ASSERT_EQ(m.ConvertOggSounds("", installed.Path(), shared.Path()), 1);
    EXPECT_TRUE(plat::FileExists(shared.File("A.wav")));
    EXPECT_TRUE(plat::FileExists(shared.File("B.wav")));
    EXPECT_FALSE(plat::FileExists(shared.File("Vol.cfg")));
    EXPECT_NE(log.Text().find(" Fist time sound convertion error!\n"), std::string::npos);

    // Repaired, the next start converts again and now marks completion.
    WriteOggFile(installed.File("Broken.ogg"), Sine(1, 22050, 0.05, 600, 0.3f), 1, 22050);
    ASSERT_EQ(m.ConvertOggSounds("", installed.Path(), shared.Path()), 1);
    EXPECT_TRUE(plat::FileExists(shared.File("Broken.wav")));
    EXPECT_TRUE(plat::FileExists(shared.File("Vol.cfg")));

    // The same without user folders: no "Converted" key after a failure.
    ScratchDir plain;
    SetDataFoldersForTests("", "");
    Install(plain, "A\nBroken\n", {"A"});
    ASSERT_EQ(m.ConvertOggSounds(plain.File("Options.ini"), plain.Path(), plain.Path()), 1);
    EXPECT_EQ(plat::GetProfileString("Sound", "Converted", "none", plain.File("Options.ini")), "none");
}

TEST(SoundConversion, MissingListFailsWithoutMarker)
{
    ScratchDir dir;
    LogCapture log;
    CSoundManager m;
    EXPECT_EQ(m.ConvertOggSounds(dir.File("Options.ini"), dir.Path(), dir.Path()), 0);
    EXPECT_EQ(log.Text(), " Firs time sound convertion...\n Unable to open file Ogg.lst");
    EXPECT_FALSE(plat::FileExists(dir.File("Options.ini")));
}

TEST(SoundConversion, NamesReachingOutsideTheFoldersAreRefused)
{
    ScratchDir root;
    LogCapture log;
    UserFolders folders(root.Path(), root.Path());
    ASSERT_TRUE(plat::CreateDirectory(root.File("install")));
    ASSERT_TRUE(plat::CreateDirectory(root.File("shared")));
    const std::string installed = root.File("install/"), shared = root.File("shared/");
    WriteOggFile(root.File("Evil.ogg"), Sine(1, 22050, 0.05, 600, 0.3f), 1, 22050);
    WriteOggFile(installed + "A.ogg", Sine(1, 22050, 0.05, 600, 0.3f), 1, 22050);
    WriteText(installed + "Vol.cfg", "");
    WriteText(installed + "Ogg.lst", "../Evil\nsub\\..\\..\\Evil\nA\n");
    CSoundManager m;
    ASSERT_EQ(m.ConvertOggSounds("", installed, shared), 1);
    EXPECT_TRUE(plat::FileExists(shared + "A.wav"));
    EXPECT_FALSE(plat::FileExists(root.File("Evil.wav")));
    EXPECT_FALSE(plat::FileExists(shared + "Vol.cfg")); // not every listed sound was made
    EXPECT_NE(log.Text().find(" Refused sound name in Ogg.lst: ../Evil\n"), std::string::npos) << log.Text();
}

TEST(SoundConversion, NothingConvertedMarksNothing)
{
    ScratchDir installed, shared;
    UserFolders folders(shared.Path(), shared.Path());
    Install(installed, "\n\n", {});
    CSoundManager m;
    ASSERT_EQ(m.ConvertOggSounds("", installed.Path(), shared.Path()), 1);
    EXPECT_FALSE(plat::FileExists(shared.File("Vol.cfg")));

    SetDataFoldersForTests("", "");
    ASSERT_EQ(m.ConvertOggSounds(installed.File("Options.ini"), installed.Path(), installed.Path()), 1);
    EXPECT_EQ(plat::GetProfileString("Sound", "Converted", "none", installed.File("Options.ini")), "none");
}

TEST(SoundConversion, AConvertedSoundThatWillNotLoadIsConvertedAgainNextStart)
{
    struct Case {
        const char* what;
        bool perUser;
    } cases[] = {{"marked by Vol.cfg", true}, {"marked in the options", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir installed, shared;
        LogCapture log;
        UserFolders folders(c.perUser ? shared.Path() : "", shared.Path());
        const std::string target = c.perUser ? shared.Path() : installed.Path();
        const std::string options = installed.File("Options.ini");
        Install(installed, "MouseOver\n", {"MouseOver"});
        AudioDevice device;
        ASSERT_TRUE(device.Open());
        CSoundManager m;
        ASSERT_EQ(m.ConvertOggSounds(options, installed.Path(), target), 1);
        ASSERT_TRUE(plat::FileExists(target + "MouseOver.wav"));

        WriteText(target + "MouseOver.wav", "RIFF, but damaged");
        EXPECT_EQ(m.LoadSamples(target), 2);
        EXPECT_NE(log.Text().find(" The converted sounds are made again on the next start\n"), std::string::npos);

        CSoundManager next;
        ASSERT_EQ(next.ConvertOggSounds(options, installed.Path(), target), 1);
        EXPECT_GT(ReadBytes(target + "MouseOver.wav").size(), 44u);
    }
}
