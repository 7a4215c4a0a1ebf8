// "Gems.cfg" and "Bonus.cfg": defaults, conversions, and values that would
// divide by nothing or loop for ever.
#include "bonuses/BonusParameters.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

// The records are all 32-bit words, so a whole record compares at once;
// a difference names the first word that differs.
template <typename Record>
testing::AssertionResult SameRecord(const Record& a, const Record& b)
{
    static_assert(sizeof(Record) % 4 == 0, "a record of 32-bit words");
    for (size_t i = 0; i < sizeof(Record) / 4; ++i) {
        uint32_t x = 0, y = 0;
        std::memcpy(&x, reinterpret_cast<const char*>(&a) + 4 * i, 4);
        std::memcpy(&y, reinterpret_cast<const char*>(&b) + 4 * i, 4);
        if (x != y)
            return testing::AssertionFailure() << "word " << i << ": " << std::hex << x << " vs " << y;
    }
    return testing::AssertionSuccess();
}

GemParameters LoadGems(const std::string& text)
{
    ScratchDir dir;
    WriteText(dir.File("Gems.cfg"), text);
    GemParameters g;
    g.Load(dir.File("Gems.cfg"));
    return g;
}

BonusParameters LoadBonus(const std::string& text)
{
    ScratchDir dir;
    WriteText(dir.File("Bonus.cfg"), text);
    BonusParameters b;
    b.Load(dir.File("Bonus.cfg"));
    return b;
}

} // namespace

TEST(BonusParameters, MissingFilesGiveTheRecordsTheyStartWith)
{
    ScratchDir dir;
    GemParameters gems;
    BonusParameters bonus;
    gems.haloSize = bonus.ringR = -1.0f; // overwritten by the loads
    gems.Load(dir.File("Gems.cfg"));
    bonus.Load(dir.File("Bonus.cfg"));
    EXPECT_TRUE(SameRecord(gems, GemParameters()));
    EXPECT_TRUE(SameRecord(bonus, BonusParameters()));

    EXPECT_EQ(gems.standardRadius, 38.0f);
    EXPECT_EQ(gems.Scale(38.0f), 1.0f);
    EXPECT_EQ(bonus.expSparkColor, 0x008080FFu);
    EXPECT_EQ(bonus.tntRingColor, 0xFFFFFF80u);
    EXPECT_EQ(bonus.flashColor, 0x7FFFFFFFu); // floor(127.5)
    EXPECT_EQ(bonus.timeTarget.x, -398.0f);
    EXPECT_EQ(bonus.timeTarget.y, 290.0f);
    EXPECT_EQ(bonus.timeTarget.z, -60.0f);
    EXPECT_EQ(bonus.adviserGlobalShift.x, 0.0f);
    EXPECT_EQ(bonus.adviserGlobalShift.y, 0.0f);
    EXPECT_EQ(bonus.adviserRimShift.x, -1.0f);
    EXPECT_EQ(bonus.adviserRimShift.y, 1.0f);
    EXPECT_EQ(bonus.adviserGlassShift.x, 3.0f);
    EXPECT_EQ(bonus.adviserGlassShift.y, 6.0f);
    // The default wire runs from (-1, 39) to (-2, -38) and is 20 wide.
    const Vec3 &m = bonus.wireCentres[0], &a = bonus.wireAxes[0], &n = bonus.wireNormals[0];
    EXPECT_FLOAT_EQ(m.x + a.x, -2.0f);
    EXPECT_FLOAT_EQ(m.y + a.y, -38.0f);
    EXPECT_FLOAT_EQ(m.x - a.x, -1.0f);
    EXPECT_FLOAT_EQ(m.y - a.y, 39.0f);
    EXPECT_NEAR(std::hypot(n.x, n.y), 10.0f, 1e-4);
    EXPECT_NEAR(n.x * a.x + n.y * a.y, 0.0f, 1e-4);
    EXPECT_EQ(n.z, 0.9f);
}

TEST(BonusParameters, FlagsHexColoursAndShiftsReadAsWritten)
{
    const GemParameters g = LoadGems("[Halo]\nMethod=0.5\nColor0=ff8000\nColor1=FF8000\nColor2=FF0000\n"
                                     "Color3=12345678\nT=1\n[BigFlares]\nMethod=x\nW=2\n"
                                     "OriginSize3=10 20\n[SmallFlares]\nOriginSize3=30 40\n");
    EXPECT_EQ(g.haloAdditive, 0);
    EXPECT_EQ(g.bigFlareAdditive, 1);
    EXPECT_EQ(g.haloColors[0], 0xFFFF8000u);
    EXPECT_EQ(g.haloColors[1], 0xFFFF8000u);
    EXPECT_EQ(g.haloColors[2], 0xFFFF0000u);
    EXPECT_EQ(g.haloColors[3], 0xFF345678u); // the alpha byte is always opaque
    EXPECT_EQ(g.haloColors[4], 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(g.haloT, kBonusPi);
    EXPECT_FLOAT_EQ(g.bigFlareW, 2.0f * kBonusPi);
    EXPECT_EQ(g.bigFlareOrigins[3].y, 20.0f);
    EXPECT_EQ(g.smallFlareOrigins[3].x, 30.0f);
    EXPECT_EQ(g.smallFlareOrigins[2].x, 28.0f);

    const BonusParameters b = LoadBonus("[TNT]\nWireRing1=64 10 64 110\nWireRingWidth1=8\n"
                                        "ExpSparkColor=300 1 2 3\n[Adviser]\nGlobalShift=2 4\nRimShift=1 1\n"
                                        "GlassShift=0 -2\nTarget=0 0 5\n[Flash]\nIntensity=2\n");
    EXPECT_FLOAT_EQ(b.wireCentres[1].y, -(60.0f - 64.0f));
    EXPECT_FLOAT_EQ(b.wireAxes[1].y, -50.0f);
    EXPECT_FLOAT_EQ(b.wireNormals[1].x, 4.0f);
    EXPECT_EQ(b.wireCentres[2].x, BonusParameters().wireCentres[2].x);
    EXPECT_EQ(b.expSparkColor, 0x00FF0102u); // held to a byte, no alpha
    EXPECT_EQ(b.adviserGlobalShift.y, -4.0f);
    EXPECT_EQ(b.adviserRimShift.x, 3.0f);
    EXPECT_EQ(b.adviserRimShift.y, -5.0f);
    EXPECT_EQ(b.adviserGlassShift.y, -2.0f);
    EXPECT_EQ(b.adviserTarget.x, -512.0f);
    EXPECT_EQ(b.adviserTarget.y, 384.0f);
    EXPECT_EQ(b.flashColor, 0xFFFFFFFFu);
}

// Values something divides by or counts with keep their defaults when a
// player writes 0, a negative number or something that is no number.
TEST(BonusParameters, UnusableValuesKeepTheirDefaults)
{
    struct Case {
        const char* file;
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"Gems", "Standard", "Radius", "0"},
        {"Gems", "Standard", "Radius", "-38"},
        {"Gems", "Standard", "Radius", "nan"},
        {"Gems", "Halo", "T", "0"},
        {"Gems", "BigFlares", "T", "-1"},
        {"Gems", "SmallFlares", "T", "0"},
        {"Gems", "Gems", "FlyTime", "inf"},
        {"Bonus", "TNT", "RingExpandTime", "0"},
        {"Bonus", "Time", "PreFlyTime", "0"},
        {"Bonus", "Time", "PostFlyTime", "-1"},
        {"Bonus", "Adviser", "Speed", "0"},
        {"Bonus", "Solidarity", "BoltSpeed", "0"},
        {"Bonus", "Solidarity", "BoltLength", "-5"},
        {"Bonus", "Solidarity", "RingLifeTime", "0"},
        {"Bonus", "Solidarity", "TermTime", "nan"},
        {"Bonus", "TNT", "ExpSparkSpeed", "0"},
        {"Bonus", "Score", "CoinFPS", "nan"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key + "=" + c.value);
        const std::string text = std::string("[") + c.section + "]\n" + c.key + "=" + c.value + "\n";
        if (std::string(c.file) == "Gems")
            EXPECT_TRUE(SameRecord(LoadGems(text), GemParameters()));
        else
            EXPECT_TRUE(SameRecord(LoadBonus(text), BonusParameters()));
    }
    // A flare period too short to draw keeps a thousand flares a second.
    EXPECT_EQ(LoadGems("[SmallFlares]\nT=1e-9\n").smallFlareT, 0.001f);
    // The spark burst's capacity, twice the count, stays within 0 .. 1000.
    EXPECT_EQ(LoadBonus("[TNT]\nExpSparkCount=1000000\n").expSparkCount, 500.0f);
    EXPECT_EQ(LoadBonus("[TNT]\nExpSparkCount=-4\n").expSparkCount, 0.0f);
    // The ring and halos need a life beyond their growth to fade.
    const BonusParameters shortLife = LoadBonus("[TNT]\nLifeTime=0.3\nRingExpandTime=0.5\n");
    EXPECT_EQ(shortLife.tntLifeTime, 1.0f);
    EXPECT_EQ(shortLife.tntRingExpandTime, 0.5f);
    const BonusParameters longGrowth = LoadBonus("[TNT]\nLifeTime=0.3\nRingExpandTime=2\n");
    EXPECT_GT(longGrowth.tntLifeTime, longGrowth.tntRingExpandTime);
}
