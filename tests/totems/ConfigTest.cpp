// Reading "Totems.cfg": the defaults of an empty file, the keys read in
// unusual ways, and values that would never end a flight, a fade or a power.
#include "TotemsRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using namespace totems_rig;
using testing_support::LogCapture;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

std::unique_ptr<CTotemsManager> Loaded(const ScratchDir& dir, const std::string& text)
{
    WriteText(dir.File("Totems.cfg"), text);
    auto totems = std::make_unique<CTotemsManager>();
    totems->LoadConfig(dir.File("Totems.cfg"));
    return totems;
}

} // namespace

TEST(TotemsConfig, AnEmptyFileGivesTheDefaults)
{
    ScratchDir dir;
    LogCapture log;
    const auto tHeld = Loaded(dir, "");
    const CTotemsManager& t = *tHeld;
    EXPECT_FLOAT_EQ(t.layout.center.x, -360.5f);
    EXPECT_FLOAT_EQ(t.layout.center.y, -215.5f);
    EXPECT_FLOAT_EQ(t.layout.center.z, -45.0f);
    for (int c = 0; c < CTotemsManager::kColours; ++c)
        for (const Vec3& p : {t.layout.pos[static_cast<size_t>(c)], t.layout.smallPos[static_cast<size_t>(c)]}) {
            EXPECT_FLOAT_EQ(p.x, -492.5f);
            EXPECT_FLOAT_EQ(p.y, -127.5f);
            EXPECT_FLOAT_EQ(p.z, -40.0f);
        }
    EXPECT_EQ(t.layout.bottomZOrder, 40);
    EXPECT_FLOAT_EQ(t.layout.inTime, 0.5f);
    EXPECT_FLOAT_EQ(t.layout.switchInTime, 0.5f);
    EXPECT_FLOAT_EQ(t.layout.backTime, 0.25f);
    // Every shape is missing: each is logged and the loading goes on.
    EXPECT_NE(log.Text().find("Warning! Some Totem SpriteShape can not be loaded!"), std::string::npos);
    EXPECT_TRUE(t.shapeSets[0] && t.shapeSets[0]->main.size() == 4);
}

// There is no key of its own for the flight back: "SwitchInTime" times both.
TEST(TotemsConfig, SwitchInTimeSetsBothFlights)
{
    ScratchDir dir;
    const auto tHeld = Loaded(dir, "[Shared]\nSwitchInTime=1\n");
    const CTotemsManager& t = *tHeld;
    EXPECT_FLOAT_EQ(t.layout.switchInTime, 1.0f);
    EXPECT_FLOAT_EQ(t.layout.backTime, 1.0f);
}

TEST(TotemsConfig, FilterWordsInAnyCase)
{
    struct Case {
        const char* word;
        int filter;
        uint32_t colour; // FlyTwirlColor 10 20 30 255
    };
    const Case cases[] = {{"screen", 3, 0xFF0A141E},
                          {"SCREEN", 3, 0xFF0A141E},
                          {"add", 1, 0xFF0A141E},
                          {"Mul", 2, 0xFFF5EBE1},
                          {"Blend", 0, 0xFF0A141E}};
    ScratchDir dir;
    for (const Case& c : cases) {
        const auto tHeld =
            Loaded(dir, std::string("[Orange]\nFlyTwirlFilter=") + c.word + "\nFlyTwirlColor=10 20 30 255\n");
        const CTotemsManager& t = *tHeld;
        EXPECT_EQ(t.orangeParams.flyTwirlFilter, c.filter) << c.word;
        // A multiplied twirl darkens by the colour's complement.
        EXPECT_EQ(t.orangeParams.flyTwirlColor, c.colour) << c.word;
    }
}

TEST(TotemsConfig, AShopPictureIsCentredOnItsRectangle)
{
    ScratchDir dir;
    const auto tHeld = Loaded(dir, "[Shop]\nPic3=834 251 140 176\nZ=-12\nQShift3=4 6\n");
    const CTotemsManager& t = *tHeld;
    EXPECT_FLOAT_EQ(t.shopLayout.pic[3].x, 392.5f);
    EXPECT_FLOAT_EQ(t.shopLayout.pic[3].y, 45.5f);
    EXPECT_FLOAT_EQ(t.shopLayout.pic[3].z, -12.0f);
    EXPECT_FLOAT_EQ(t.shopLayout.qSign[3].x, 396.5f);
    EXPECT_FLOAT_EQ(t.shopLayout.qSign[3].y, 39.5f);
    EXPECT_FLOAT_EQ(t.shopLayout.qSign[3].z, -14.0f);
}

// A time, period or speed of 0, below 0 or not a number would loop without
// end, give NaN geometry or a power that never ends: each keeps its default.
TEST(TotemsConfig, TimesAndSpeedsThatNeverEndKeepTheirDefaults)
{
    struct Key {
        const char* section;
        const char* key;
        std::function<float(const CTotemsManager&)> read;
        float fallback;
    };
    const Key keys[] = {
        {"Shared", "InTime", [](const CTotemsManager& t) { return t.layout.inTime; }, 0.5f},
        {"Shared", "SwitchInTime", [](const CTotemsManager& t) { return t.layout.backTime; }, 0.25f},
        {"Red", "FlySpeed", [](const CTotemsManager& t) { return t.redParams.flySpeed; }, 2000.0f},
        {"Orange", "FlyTime", [](const CTotemsManager& t) { return t.orangeParams.flyTime; }, 0.4f},
        {"Violet", "FlyTime", [](const CTotemsManager& t) { return t.violetParams.flyTime; }, 0.5f},
        {"Green", "SmallFT", [](const CTotemsManager& t) { return t.greenParams.smallFT; }, 0.08f},
        {"Green", "ChainLightT", [](const CTotemsManager& t) { return t.greenParams.chainLightT; }, 0.025f},
        {"Green", "BigFT", [](const CTotemsManager& t) { return t.greenParams.bigFT; }, 1.5f},
        {"Green", "PreRayTime", [](const CTotemsManager& t) { return t.greenParams.preRayTime; }, 0.25f},
        {"Green", "Ray2PiLen", [](const CTotemsManager& t) { return t.greenParams.ray2PiLen; }, 256.0f},
        {"Green", "RaySpeed", [](const CTotemsManager& t) { return t.greenParams.raySpeed; }, 800.0f},
        {"Yellow", "FalreT", [](const CTotemsManager& t) { return t.yellowParams.flareT; }, 0.08f},
        {"Blue", "ShieldBirth", [](const CTotemsManager& t) { return t.blueParams.shieldBirth; }, 1.0f},
        {"Blue", "ShieldLifeTime", [](const CTotemsManager& t) { return t.blueParams.shieldLifeTime; }, 2.0f},
        {"Blue", "PreTime", [](const CTotemsManager& t) { return t.blueParams.preTime; }, 0.5f},
        {"Blue", "StrikeTime", [](const CTotemsManager& t) { return t.blueParams.strikeTime; }, 0.1f},
        {"Blue", "BoltSpeed", [](const CTotemsManager& t) { return t.blueParams.boltSpeed; }, 2500.0f},
        {"White", "PaintDropSpeed", [](const CTotemsManager& t) { return t.whiteParams.paintDropSpeed; }, 800.0f},
    };
    ScratchDir dir;
    for (const Key& k : keys)
        for (const char* value : {"0", "-2", "nan", "inf", "soon"}) {
            const auto tHeld = Loaded(dir, std::string("[") + k.section + "]\n" + k.key + "=" + value + "\n");
            const CTotemsManager& t = *tHeld;
            EXPECT_FLOAT_EQ(k.read(t), k.fallback) << k.section << " " << k.key << "=" << value;
        }
    const auto fineHeld = Loaded(dir, "[Blue]\nPreTime=0.75\n");
    const CTotemsManager& fine = *fineHeld;
    EXPECT_FLOAT_EQ(fine.blueParams.preTime, 0.75f);
}

// Texture and picture sizes divide texels and points: one that is not above
// 0 keeps its default, and the log names the key.
TEST(TotemsConfig, SizesThatDivideKeepTheirDefaults)
{
    ScratchDir dir;
    LogCapture log;
    const auto defaultsHeld = Loaded(dir, "");
    log.Clear();
    const auto tHeld = Loaded(dir, "[Shared]\nShopTexturesSize=0 0\nMainSize=-128 128\n");
    const CTotemsManager& t = *tHeld;
    EXPECT_EQ(t.panelLayout.shopTexturesSize.x, 512.0f);
    EXPECT_EQ(t.layout.mainSize.x, 128.0f);
    EXPECT_FLOAT_EQ(t.shopLayout.picT[0].u1, defaultsHeld->shopLayout.picT[0].u1);
    const std::string text = log.Text();
    EXPECT_NE(text.find("[Shared] ShopTexturesSize \"0 0\" cannot be used: the default \"512 512\" stands\n"),
              std::string::npos);
    EXPECT_NE(text.find("[Shared] MainSize \"-128 128\" cannot be used"), std::string::npos);
}

// The bolt and strip counts size lists: a huge one is cut and logged.
TEST(TotemsConfig, BoltAndStripCountsAreCapped)
{
    ScratchDir dir;
    LogCapture log;
    const auto tHeld = Loaded(dir, "[Blue]\nBolt1Count=100000\nBolt2Count=-3\n"
                                   "[White]\nStrip1Count=100000\nStrip2Count=3\n");
    const CTotemsManager& t = *tHeld;
    EXPECT_EQ(t.blueParams.bolts[0].size(), 16u);
    EXPECT_EQ(t.blueParams.bolts[1].size(), 0u);
    EXPECT_EQ(t.whiteParams.lines[0].size(), 32u);
    EXPECT_EQ(t.whiteParams.lines[1].size(), 3u);
    EXPECT_EQ(t.whiteParams.lengths[1].size(), 2u);
    const std::string text = log.Text();
    EXPECT_NE(text.find("[Blue] Bolt1Count 100000 is more than 16"), std::string::npos) << text;
    EXPECT_NE(text.find("[White] Strip1Count 100000 is more than 32"), std::string::npos) << text;
}
