#include "engine/Settings.h"
#include "engine/CheckedSettings.h"
#include "engine/Log.h"
#include "engine/SpriteSet.h"
#include "platform/Files.h"
#include "platform/Profile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using testing_support::LogCapture;
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

    // Numbers that are none keep the default's.
    WriteText(file, "[S]\nDamaged=nan 5 -inf inf\n");
    ReadIniVec4(file, "S", "Damaged", "9 8 7 6", &v);
    EXPECT_FLOAT_EQ(v.x, 9);
    EXPECT_FLOAT_EQ(v.y, 5);
    EXPECT_FLOAT_EQ(v.z, 7);
    EXPECT_FLOAT_EQ(v.w, 6);
}

TEST(SettingsReaders, SpriteNumbersThatAreNoneReadAsZero)
{
    ScratchDir dir;
    const std::string file = dir.File("s.ini");
    WriteText(file, "[S]\nSpritesCount=1\nSprite0=nan 0 inf 256 -inf\nSpriteT0=0 nan 256 inf\n");
    CSpriteSet set;
    ASSERT_EQ(set.LoadFromIni(file, "S", "", 0), 1);
    const float numbers[] = {set.positions[0].x,     set.positions[0].y,     set.positions[0].z,
                             set.sizes[0].width,     set.sizes[0].height,    set.textureRects[0].u0,
                             set.textureRects[0].v0, set.textureRects[0].u1, set.textureRects[0].v1};
    for (float n : numbers)
        EXPECT_TRUE(std::isfinite(n));
    EXPECT_FLOAT_EQ(set.sizes[0].width, 1.0f);
    EXPECT_FLOAT_EQ(set.sizes[0].height, 0.0f);
    EXPECT_FLOAT_EQ(set.textureRects[0].u1, 1.0f);
    EXPECT_FLOAT_EQ(set.textureRects[0].v1, 0.0f);
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

// The checked readers take what a settings file holds when it is a usable
// number, and otherwise its default with a line naming the file, the
// section and the key. A missing key, or fewer numbers than asked, is no
// damage: defaults fill in without a word.
TEST(CheckedSettings, EachValueReplacedByItsDefaultIsNamed)
{
    ScratchDir dir;
    LogCapture log;
    const std::string file = dir.File("Gems.cfg");
    struct Case {
        const char* value;
        float asFloat;    // ReadCheckedFloat, default 2.5
        float asPositive; // ReadPositiveFloat, default 2.5
        int32_t asInt;    // ReadCheckedInt, default 7
        bool named;       // for the float reader
    };
    const Case cases[] = {
        {"1.5", 1.5f, 1.5f, 1, false},
        {"-3", -3.0f, 2.5f, -3, false},
        {"", 2.5f, 2.5f, 7, false},
        {"nan", 2.5f, 2.5f, 7, true},
        {"inf", 2.5f, 2.5f, 7, true},
        {"1e39", 2.5f, 2.5f, 1, true},
        {"garbage", 2.5f, 2.5f, 7, true},
        {"999999999999", 999999999999.0f, 999999999999.0f, 7, false},
        {"-2147483648", -2147483648.0f, 2.5f, INT32_MIN, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        WriteText(file, std::string("[Gems]\nKey=") + c.value + "\n");
        const std::string line =
            " Warning! " + file + " [Gems] Key \"" + c.value + "\" cannot be used: the default ";
        EXPECT_EQ(ReadCheckedFloat(file, "Gems", "Key", "2.5"), c.asFloat);
        EXPECT_EQ(log.Take(), c.named ? line + "\"2.5\" stands\n" : "");
        EXPECT_EQ(ReadPositiveFloat(file, "Gems", "Key", "2.5"), c.asPositive);
        EXPECT_EQ(log.Take(), c.asPositive != c.asFloat || c.named ? line + "\"2.5\" stands\n" : "");
        const int32_t asInt = ReadCheckedInt(file, "Gems", "Key", "7");
        EXPECT_EQ(asInt, c.asInt);
        const bool intNamed = asInt == 7 && std::string(c.value) != "";
        EXPECT_EQ(log.Take(), intNamed ? line + "\"7\" stands\n" : "");
    }

    // A vector: a word among its numbers is named, a short one is not.
    WriteText(file, "[Gems]\nShort=1\nBad=1 x 3\n");
    const Vec3 shortOne = ReadCheckedVec3(file, "Gems", "Short", "4 5 6");
    EXPECT_EQ(shortOne.x, 1.0f);
    EXPECT_EQ(shortOne.z, 6.0f);
    EXPECT_EQ(log.Take(), "");
    const Vec3 bad = ReadCheckedVec3(file, "Gems", "Bad", "4 5 6");
    EXPECT_EQ(bad.x, 1.0f);
    EXPECT_EQ(bad.y, 5.0f);
    EXPECT_EQ(log.Take(),
              " Warning! " + file + " [Gems] Bad \"1 x 3\" cannot be used: the default \"4 5 6\" stands\n");
    EXPECT_EQ(ReadCheckedVec3(file, "Gems", "Missing", "4 5 6").y, 5.0f);
    EXPECT_EQ(log.Take(), "");
}

// A file that gives nothing at all is named once, whatever the reason.
TEST(CheckedSettings, AFileThatGivesNoSettingIsNamedOnce)
{
    ScratchDir dir;
    LogCapture log;
    WriteText(dir.File("Empty.cfg"), "");
    WriteText(dir.File("Garbage.cfg"), "\x01\x02 no section = here\n");
    WriteText(dir.File("Other.cfg"), "[Shared]\nKey=1\n");
    ASSERT_TRUE(plat::CreateDirectory(dir.File("Folder.cfg")));
    struct Case {
        std::string file;
        const char* section;
        std::string what;
    };
    const Case cases[] = {
        {dir.File("None.cfg"), nullptr, "is missing"},
        {dir.File("Empty.cfg"), nullptr, "holds no settings"},
        {dir.File("Garbage.cfg"), nullptr, "holds no settings"},
        {dir.File("Other.cfg"), "Shop", "holds no settings in [Shop]"},
        {dir.File("Folder.cfg"), nullptr, "cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_FALSE(CheckSettingsFile(c.file, c.section));
        EXPECT_NE(log.Take().find(" Warning! " + c.file + " " + c.what + ": every default stands\n"),
                  std::string::npos);
    }
    EXPECT_TRUE(CheckSettingsFile(dir.File("Other.cfg")));
    EXPECT_TRUE(CheckSettingsFile(dir.File("Other.cfg"), "Shared"));
    EXPECT_EQ(log.Take(), "");
}
