// What the game ships for the bonuses: both configuration files with every
// key, targets where the quest screen has its controls, fuse wires on the
// bomb pictures, and the manager's pictures loading in their order.
#include "BonusTestSupport.h"

#include "TestSupport.h"
#include "bonuses/BonusParameters.h"
#include "gui/FormFile.h"
#include "platform/D3DX.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace bonus_test;
using testing_support::LogCapture;
using testing_support::ScratchDir;

namespace {

// "[Section]" -> keys of that section in the shipped file.
std::vector<std::string> KeysOf(const std::string& path, const std::string& section)
{
    std::ifstream in(path);
    std::vector<std::string> keys;
    std::string line, current;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            current = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t eq = line.find('=');
        if (current == section && eq != std::string::npos)
            keys.push_back(line.substr(0, eq));
    }
    return keys;
}

void ExpectKeys(const std::string& path, const std::string& section, const std::vector<std::string>& wanted)
{
    const std::vector<std::string> keys = KeysOf(path, section);
    for (const std::string& key : wanted)
        EXPECT_TRUE(std::find(keys.begin(), keys.end(), key) != keys.end())
            << path << " [" << section << "] " << key;
}

std::vector<std::string> Numbered(const std::string& key, int count)
{
    std::vector<std::string> keys;
    for (int i = 0; i < count; ++i)
        keys.push_back(key + std::to_string(i));
    return keys;
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(ShippedBonusFiles, HoldEveryKey)
{
    const std::string gems = "Data/Config/Gems.cfg", bonus = "Data/Config/Bonus.cfg";
    ExpectKeys(gems, "Gems", {"TargetPos", "TargetZOrder", "FlyTime", "Size"});
    ExpectKeys(gems, "Halo", Joined({"Size", "T", "Intensity", "MinIntensity", "Method"}, Numbered("Color", 8)));
    ExpectKeys(gems, "SmallFlares",
               Joined({"Size", "LifeTime", "W", "T", "Intensity"}, Numbered("OriginSize", 8)));
    ExpectKeys(gems, "BigFlares", Joined({"Size", "Intensity", "T", "W", "Method"}, Numbered("OriginSize", 8)));
    ExpectKeys(gems, "Standard", {"Radius"});
    ExpectKeys(bonus, "TNT",
               Joined(Joined(Numbered("WireRing", 3), Numbered("WireRingWidth", 3)),
                      {"SparkerW", "LifeTime", "RingColor", "HaloColor", "RingSize0", "RingSize1", "RingSize2",
                       "RingSize3", "RingExpandTime", "HaloSizeFactor", "HaloW", "ExpSparkColor", "ExpSparkCount",
                       "ExpSparkSize", "ExpSparkFading", "ExpSparkSpeed", "ExpSparkGravity"}));
    ExpectKeys(bonus, "Flash", {"Radius", "BoltWidth", "W", "Speed", "CoreSize", "Intensity", "LifeTime"});
    ExpectKeys(bonus, "Time",
               {"Target", "TwirlZOrder", "PreFlyTime", "FlyTime", "PostFlyTime", "DigitsSize", "StarColor",
                "TwirlColor"});
    ExpectKeys(bonus, "Adviser",
               {"GlobalShift", "RimShift", "GlassShift", "GlassW", "Target", "ZOrder", "Speed", "TailColor"});
    ExpectKeys(bonus, "Score", {"CoinOrbitRadius", "CoinFPS", "CoinW", "CoinOutSpeed", "TailColor"});
    ExpectKeys(bonus, "Solidarity",
               {"RingColor",   "RingR",      "RingExpandSpeed", "RingLifeTime", "RingT",     "RingW",
                "CenterColor", "CenterSize", "CenterW",         "TailColor",    "TailSize",  "TailTLen",
                "TailTSpeed",  "TailW",      "BoltColor",       "BoltLength",   "BoltWidth", "BoltSpeed",
                "BoltTFactor", "BoltTSpeed", "TermTime"});
    ExpectKeys(bonus, "AdviserInterface", {"HaloW", "Z", "ZOrder", "ArrowW", "ArrowR", "Refresh"});
}

namespace {

// The centre, in screen pixels (y down), of the quest form's control that
// interrupts with `key`.
bool ControlCentre(int key, float* x, float* y)
{
    CFormFile form{CountedHandle<CRenderDevice>()};
    if (!form.Parse("Data/Forms/Quest.qof"))
        return false;
    for (const CountedHandle<CFormElement>& e : form.elements)
        if (e->interrupt == key) {
            *x = form.position.x + e->position.x + e->size.w / 2;
            *y = form.position.y + e->position.y + e->size.h / 2;
            return true;
        }
    return false;
}

} // namespace

// The clock's twirl bursts on the time gauge and the adviser lands on the
// hint counter, wherever the quest screen puts them.
TEST(ShippedBonusFiles, TargetsStandOnTheirControls)
{
    BonusParameters b;
    b.Load("Data/Config/Bonus.cfg");
    float x = 0, y = 0;
    ASSERT_TRUE(ControlCentre(3, &x, &y)); // a quadrant of the time gauge
    EXPECT_NEAR(b.timeTarget.x + 512.0f, x, 1.0f);
    EXPECT_NEAR(384.0f - b.timeTarget.y, y, 1.0f);
    ASSERT_TRUE(ControlCentre(1, &x, &y)); // the hint counter
    EXPECT_NEAR(b.adviserTarget.x + 512.0f, x, 1.0f);
    EXPECT_NEAR(384.0f - b.adviserTarget.y, y, 1.0f);
}

// The sparks run along the fuse the bomb pictures draw: every point of each
// wire lies on an opaque texel of each bomb.
TEST(ShippedBonusFiles, FuseWiresLieOnTheBombs)
{
    BonusParameters b;
    b.Load("Data/Config/Bonus.cfg");
    d3d::DecodedImage picture;
    ASSERT_TRUE(d3d::DecodeImageFile("Data\\Gfx\\Bonus1.png", &picture));
    ASSERT_EQ(picture.width, 256u);
    for (int level = 0; level < 4; ++level) {
        const float centreX = static_cast<float>(level & 1) * 86.0f + 43.0f;
        const float centreY = static_cast<float>(level >> 1) * 92.0f + 46.0f;
        for (int i = 0; i < 3; ++i)
            for (int step = 0; step <= 10; ++step) {
                const float t = -1.0f + 0.2f * static_cast<float>(step);
                const float wx = b.wireCentres[i].x + t * b.wireAxes[i].x;
                const float wy = b.wireCentres[i].y + t * b.wireAxes[i].y;
                const int px = static_cast<int>(std::floor(centreX + wx));
                const int py = static_cast<int>(std::floor(centreY - wy));
                ASSERT_TRUE(px >= 0 && py >= 0 && px < 256 && py < 256);
                const uint32_t argb = picture.pixels[static_cast<size_t>(py) * 256 + static_cast<size_t>(px)];
                EXPECT_GE(argb >> 24, 160u) << "level " << level << " wire " << i << " at " << px << "," << py;
            }
    }
}

namespace {

const char* const kOwnPictures[] = {"AllGemLights.jpg", "AllGemLights_alpha.jpg",
                                    "AllGems.png",      "GemFlares.tga",
                                    "Bonus1.png",       "Bonus2.tga",
                                    "Bonus3.tga",       "Bonus4.tga",
                                    "Bonus5.tga"};

} // namespace

// The manager's own pictures load in their order into their slots; the
// first that cannot be loaded is logged and ends the loading.
TEST(BonusManager, LoadsItsPicturesInOrderAndStopsAtTheFirstFailure)
{
    BonusRig rig;
    CBonusManager manager;
    ScratchDir dir;
    for (const char* file : kOwnPictures)
        std::filesystem::copy_file(std::string("Data/Gfx/") + file, dir.File(file));
    LogCapture log;
    ASSERT_TRUE(manager.LoadTextures(rig.device, dir.Path()));
    const char* names[] = {"AllGemLights", "AllGems", "GemFlares", "Bonus1",
                           "Bonus2",       "Bonus3",  "Bonus4",    "Bonus5"};
    using M = CBonusManager;
    const M::BonusTexture slots[] = {M::kAllGemLights, M::kAllGems, M::kGemFlares, M::kBonus1,
                                     M::kBonus2,       M::kBonus3,  M::kBonus4,    M::kBonus5};
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(manager.textures[slots[i]]) << names[i];
        EXPECT_EQ(manager.textures[slots[i]], rig.device->FindTexture(names[i])) << names[i];
    }
    EXPECT_EQ(log.Take(), "");

    std::filesystem::remove(dir.File("Bonus3.tga"));
    CBonusManager broken;
    EXPECT_FALSE(broken.LoadTextures(rig.device, dir.Path()));
    EXPECT_NE(log.Text().find("Unable to load Bonus3 Texture!\n"), std::string::npos);
    EXPECT_TRUE(broken.textures[M::kBonus2]);
    EXPECT_FALSE(broken.textures[M::kBonus3]);
    EXPECT_FALSE(broken.textures[M::kBonus4]);
    EXPECT_FALSE(broken.textures[M::kBonus5]);

    // The eight shared pictures go to their own slots.
    CountedHandle<CTexture> shared[8];
    for (int i = 0; i < 8; ++i)
        shared[i] = rig.device->CreateTexture("Shared" + std::to_string(i), 8, 8, 1, 0, d3d::D3DPOOL_MANAGED,
                                              d3d::D3DFMT_A8R8G8B8);
    manager.SetTextures(shared[0], shared[1], shared[2], shared[3], shared[4], shared[5], shared[6], shared[7]);
    const M::BonusTexture sharedSlots[] = {M::kStarParticle, M::kHalo1, M::kRing,        M::kSpark,
                                           M::kLightning,    M::kTwirl, M::kSecondTwirl, M::kPanelGlass};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(manager.textures[sharedSlots[i]], shared[i]) << i;
}
