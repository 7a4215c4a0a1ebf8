// The shipped "Score.cfg" and the sand box's keys of "Skin.cfg" define every
// key their readers look for, so the game never runs on a forgotten default.
#include "effects/overlays/ScoreSettings.h"
#include "effects/sandbox/SandboxSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kMissing = "\x01missing";

void ExpectKeys(const std::string& file, const char* section, const std::vector<std::string>& keys)
{
    for (const std::string& key : keys)
        EXPECT_NE(ReadIniString(file, section, key.c_str(), kMissing), kMissing) << "[" << section << "] " << key;
}

// "<stem>0", "<stem>1", ... up to count - 1.
std::vector<std::string> Numbered(const std::string& stem, int count)
{
    std::vector<std::string> keys;
    for (int i = 0; i < count; ++i)
        keys.push_back(stem + std::to_string(i));
    return keys;
}

} // namespace

TEST(ShippedConfig, ScoreCfgDefinesEveryKey)
{
    const std::string file = "Data\\Config\\Score.cfg";
    std::vector<std::string> shared = {"Z"};
    for (int colours = 5; colours <= 7; ++colours)
        for (int message = 1; message <= 4; ++message)
            shared.push_back("Combo" + std::to_string(colours) + "_" + std::to_string(message));
    ExpectKeys(file, "Shared", shared);
    const std::vector<std::string> shadow = {"Shadow", "ShadowShift", "ShadowColor"};
    auto with = [&](std::vector<std::string> keys) {
        keys.insert(keys.end(), shadow.begin(), shadow.end());
        return keys;
    };
    ExpectKeys(file, "Score",
               with({"MinSize", "SizeInc", "SwellFactor", "SwellTime", "LifeTime", "FadeTime", "Speed", "Color"}));
    ExpectKeys(file, "Message", with({"SwellFactor", "SwellTime", "LifeTime", "PulsR", "PulsT", "Colors"}));
    ExpectKeys(file, "Multiplier",
               with({"MinSize", "SizeInc", "BloomTime", "LifeTime", "FadeTime", "Speed", "Color"}));
    ExpectKeys(file, "Loss",
               with({"BloomTime", "LifeTime", "FadeTime", "Color", "From", "To", "FromSize", "ToSize", "HeartT",
                     "FlyTime", "WaitTime", "PostTime", "TailColor", "ZOrder", "NotePos"}));
    ExpectKeys(file, "Star",
               {"BaseLeft", "ElementLength", "Count", "RadialColor", "RadialSize", "RadialIntensity", "UpColor",
                "UpSize", "UpIntensity", "ZOrder", "From", "To", "PreTime", "FlyTime", "RingTime", "PostTime",
                "FlyOutTime", "NotePos", "RingColor"});

    CScoreMessageSettings settings;
    settings.Load(file);
    ASSERT_GE(settings.messageColors.size(), 5u); // the combo styles 0 to 3 and the frenzy's 4
    ExpectKeys(file, "Message", Numbered("Color", static_cast<int>(settings.messageColors.size())));
}

TEST(ShippedConfig, SkinCfgDefinesEverySandboxKey)
{
    const std::string file = "Data\\Config\\Skin.cfg";
    ExpectKeys(file, "FieldQuest", {"SandboxCoord",          "SandboxSize",
                                    "SandboxFrontShift",     "SandboxGlassColor",
                                    "SandboxSegments",       "SandboxSandInGravity",
                                    "SandboxSandOutGravity", "SandboxSandPathSpeed",
                                    "SandboxSandPathCount",  "SandboxSandColor",
                                    "SandboxDustSpeed",      "SandboxDustSize",
                                    "SandboxDustColor",      "SandboxFrenzyBarColor",
                                    "SandboxFrenzyBarShift", "SandboxFrenzyBarElementSize",
                                    "SandboxFrenzyBarCount", "SandboxFrenzyBarPostTime",
                                    "ComboMessagePos",       "FrenzyMessagePos"});
    SandboxSettings settings;
    settings.Load(file);
    ExpectKeys(file, "FieldQuest", Numbered("SandboxSandPathPoint", static_cast<int>(settings.pathPoints.size())));
    // The bar lies inside the box.
    EXPECT_LE(settings.barShift.x + settings.barElementSize.x * static_cast<float>(settings.barElements),
              settings.size.x);
}
