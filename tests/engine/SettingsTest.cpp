#include "engine/Settings.h"
#include "engine/Log.h"
#include "platform/Files.h"
#include "platform/Profile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using testing_support::ReadText;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

TEST(Profile, WindowsSemanticsForReading)
{
    ScratchDir dir;
    const std::string file = dir.File("a.ini");
    WriteText(file, "[Main]\r\n  Key = \"quoted value\"  \r\nkey=second\r\nPlain=  spaced  \r\n"
                    "; comment=1\r\n[main]\r\nOther=from second section\r\n");
    auto get = [&](const char* section, const char* key, const char* def) {
        return plat::GetProfileString(section, key, def, file);
    };
    EXPECT_EQ(get("MAIN", "key", "d"), "quoted value"); // case-insensitive, first match, quotes stripped
    EXPECT_EQ(get("Main", "Plain", "d"), "spaced");
    EXPECT_EQ(get("Main", "Other", "d"), "d"); // only the first matching section counts
    EXPECT_EQ(get("Main", "comment", "d"), "d");
    EXPECT_EQ(get("None", "Key", "default"), "default");
    EXPECT_EQ(plat::GetProfileString("Main", "Key", "x", dir.File("missing.ini")), "x");

    char small[6];
    EXPECT_EQ(plat::GetPrivateProfileString("Main", "Key", "", small, sizeof small, file), 5);
    EXPECT_STREQ(small, "quote");

    // A NUL in a damaged file ends the value; the count is the text's length.
    WriteText(file, std::string("[Main]\nKey=Sp\0\x07ieler\n", 21));
    EXPECT_EQ(plat::GetPrivateProfileString("Main", "Key", "", small, sizeof small, file), 2);
    EXPECT_STREQ(small, "Sp");
}

TEST(Profile, WritesReplaceInPlaceAndKeepOtherLines)
{
    ScratchDir dir;
    const std::string file = dir.File("b.ini");
    WriteText(file, "; my notes\n[Sound]\nSound=On\nMusic=On\n\n[Game]\nProfile=Ann\n");
    ASSERT_TRUE(plat::WritePrivateProfileString("sound", "MUSIC", "Off", file));
    ASSERT_TRUE(plat::WritePrivateProfileString("Sound", "Volume", "0.5", file));
    ASSERT_TRUE(plat::WritePrivateProfileString("Extra", "New", "1", file));
    EXPECT_EQ(ReadText(file), "; my notes\n[Sound]\nSound=On\nMUSIC=Off\nVolume=0.5\n\n[Game]\nProfile=Ann\n\n"
                              "[Extra]\nNew=1\n");

    ASSERT_TRUE(plat::WritePrivateProfileString("Fresh", "A", "1", dir.File("new.ini")));
    EXPECT_EQ(ReadText(dir.File("new.ini")), "[Fresh]\nA=1\n");

    // A file with "\r\n" line ends keeps them on every line.
    WriteText(dir.File("crlf.ini"), "[Sound]\r\nSound=On\r\n");
    ASSERT_TRUE(plat::WritePrivateProfileString("Sound", "Sound", "Off", dir.File("crlf.ini")));
    ASSERT_TRUE(plat::WritePrivateProfileString("Game", "Profile", "Ann", dir.File("crlf.ini")));
    EXPECT_EQ(ReadText(dir.File("crlf.ini")), "[Sound]\r\nSound=Off\r\n\r\n[Game]\r\nProfile=Ann\r\n");
}

TEST(Profile, WriteIntoMissingFolderFailsCleanly)
{
    EXPECT_FALSE(plat::WritePrivateProfileString("A", "B", "C", "/nonexistent-folder/x.ini"));
}

TEST(SettingsReaders, ConvertValuesAndDefaults)
{
    ScratchDir dir;
    const std::string file = dir.File("c.ini");
    WriteText(file, "[S]\nColor=255 128 0 255\nFloored=10.9 0 0 0\nShort=1 2\nInt=42\nWord=abc\nPair=7\n");
    EXPECT_EQ(ReadIniColor(file, "S", "Color", "0 0 0 0"), 0xFFFF8000u);
    EXPECT_EQ(ReadIniColor(file, "S", "Floored", "0 0 0 0"), 0x000A0000u);
    EXPECT_EQ(ReadIniInt(file, "S", "Missing", "-1"), -1);
    EXPECT_EQ(ReadIniInt(file, "S", "Int", "0"), 42);
    EXPECT_EQ(ReadIniInt(file, "S", "Word", "5"), 0);
    EXPECT_FLOAT_EQ(ReadIniFloat(file, "S", "Missing", "2.5"), 2.5f);

    // A value with fewer numbers keeps the default's for the rest.
    Vec4 v;
    ReadIniVec4(file, "S", "Short", "9 8 7 6", &v);
    EXPECT_FLOAT_EQ(v.x, 1);
    EXPECT_FLOAT_EQ(v.y, 2);
    EXPECT_FLOAT_EQ(v.z, 7);
    EXPECT_FLOAT_EQ(v.w, 6);
    IntPair pair;
    ReadIniIntPair(file, "S", "Pair", "3 4", &pair);
    EXPECT_EQ(pair.a, 7);
    EXPECT_EQ(pair.b, 4);
    EXPECT_EQ(ReadIniColor(file, "S", "Short", "0 0 0 255"), 0xFF010200u);
}

TEST(SettingsReaders, ColourComponentsStayInTheirByte)
{
    struct Case {
        const char* text;
        uint32_t colour;
    } cases[] = {
        {"300 -5 1e30 255", 0xFFFF00FFu}, // held to 0..255, no spill into neighbours
        {"nan 1 2 inf", 0x04070102u},     // not a number: the default's component
        {"-1e30 0 0 0", 0x00000000u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseColor(c.text, "7 1 2 4"), c.colour) << c.text;
}

class DisplaySettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDataFoldersForTests(dir.Path(), dir.Path());
        plat::CreateDirectory(dir.Path() + "Data");
        plat::CreateDirectory(dir.Path() + "Data/Config");
    }
    void TearDown() override { testing_support::ResetDataFolders(); }
    ScratchDir dir;
};

TEST_F(DisplaySettingsTest, ReadsDefaultsForMissingKeys)
{
    WriteText(dir.File("Data/Config/Options.ini"), "[Settings]\nWidth=800\n");
    ReadDisplaySettings();
    DisplaySettings s;
    GetDisplaySettings(&s);
    EXPECT_EQ(s.adapter, 0);
    EXPECT_EQ(s.colorMode, -1);
    EXPECT_EQ(s.fullScreen, 0);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 480);
    EXPECT_EQ(s.videoSync, 1);
}

TEST_F(DisplaySettingsTest, SizesNoScreenHasReadAsTheDefaults)
{
    struct Case {
        const char* width;
        const char* height;
        int32_t readWidth, readHeight;
    } cases[] = {{"-5", "-1", 640, 480},
                 {"100000", "4294967291", 640, 480},
                 {"0", "600", 0, 600},
                 {"1920", "1080", 1920, 1080}};
    for (const Case& c : cases) {
        WriteText(dir.File("Data/Config/Options.ini"),
                  std::string("[Settings]\nWidth=") + c.width + "\nHeight=" + c.height + "\n");
        ReadDisplaySettings();
        DisplaySettings s;
        GetDisplaySettings(&s);
        EXPECT_EQ(s.width, c.readWidth) << c.width;
        EXPECT_EQ(s.height, c.readHeight) << c.height;
    }
}

TEST_F(DisplaySettingsTest, WritesInKeyOrderOnlyWithAChosenColourMode)
{
    const std::string file = dir.File("Data/Config/Options.ini");
    WriteText(file, "[Game]\nProfile=Ann\n");
    DisplaySettings s;
    s.colorMode = -1;
    SetDisplaySettings(s);
    WriteDisplaySettings();
    EXPECT_EQ(ReadText(file), "[Game]\nProfile=Ann\n");

    s.adapter = 0;
    s.colorMode = 32;
    s.fullScreen = 7;
    s.width = 1024;
    s.height = 768;
    s.videoSync = 1;
    SetDisplaySettings(s);
    WriteDisplaySettings();
    EXPECT_EQ(ReadText(file), "[Game]\nProfile=Ann\n\n[Settings]\nAdapter=0\nWidth=1024\nHeight=768\n"
                              "ColorMode=32\nFullScreen=1\nVideoSync=1\n");
}

} // namespace
