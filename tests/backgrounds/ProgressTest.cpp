// The stage progress ornaments, on the valley (eight sets, the closing flare
// with "Flare.wav"): the order of a set's flare, gem and ray, the closing
// sound's moment, the celebration, and counts out of range.
#include "SceneRig.h"

#include "backgrounds/ValleyBackground.h"

#include <gtest/gtest.h>

namespace {

class Progress : public ::testing::Test {
protected:
    void SetUp() override
    {
        valley.Core().SetDevice(rig.device, rig.vertices, rig.indices);
        valley.SetResources(rig.Shared(false));
        valley.Core().services.sounds = rig.sounds;
        valley.LoadSettings("no such file.cfg"); // every key at its default
        valley.Init();
        valley.Build();
    }
    CProgressOrnaments& Ornaments() { return valley.Ornaments(); }

    SceneRig rig;
    CValleyBackground valley;
};

} // namespace

TEST_F(Progress, EachSetShowsItsFlareThenItsGemThenItsRay)
{
    valley.SetProgress(1, 1);
    const CSprite& gem = *Ornaments().Gems()[0];
    const CSprite& ray = *Ornaments().Rays()[0];
    const CSprite& flare = *Ornaments().Flares()[0];
    EXPECT_EQ(flare.targetOpacity, 1.0f);
    EXPECT_EQ(flare.targetWidth, 152.0f);
    EXPECT_EQ(gem.targetOpacity, 0.0f);
    rig.Run(valley, 4); // 0.2 s
    EXPECT_EQ(gem.targetOpacity, 0.0f);
    rig.Run(valley, 2); // 0.3 s: past the flare time
    EXPECT_EQ(gem.targetOpacity, 1.0f);
    EXPECT_EQ(ray.targetOpacity, 0.0f);
    rig.Run(valley, 8); // 0.7 s
    EXPECT_EQ(ray.targetOpacity, 0.0f);
    rig.Run(valley, 2); // 0.8 s: past flare and gem time
    EXPECT_EQ(ray.targetOpacity, 1.0f);
    EXPECT_EQ(Ornaments().Phase(0), 3);
    rig.Run(valley, 8); // 1.2 s: past flare, gem and ray time
    EXPECT_EQ(Ornaments().Phase(0), 0);
    EXPECT_EQ(rig.Plays(kSoundBackground), 0);
}

// The closing flare lights and its sound plays only once the last set's ray
// has come: after the rainbow's wait when the win is celebrated.
TEST(ProgressTimes, TheClosingSoundFollowsTheLastSet)
{
    struct Case {
        bool celebrated;
        int silentFrames; // of 0.05 s
    } const cases[] = {{true, 52}, {false, 22}};
    for (const Case& c : cases) {
        SceneRig rig;
        CValleyBackground scene;
        scene.Core().SetDevice(rig.device, rig.vertices, rig.indices);
        scene.SetResources(rig.Shared(false));
        scene.Core().services.sounds = rig.sounds;
        scene.LoadSettings("no such file.cfg");
        scene.Init();
        scene.Build();
        if (c.celebrated) {
            scene.SetProgress(7, 1);
            scene.SetProgress(8, 0);
        } else {
            scene.SetProgress(8, 1);
        }
        EXPECT_EQ(rig.Plays(kSoundBackground), c.celebrated ? 1 : 0);
        const CSprite& closing = *scene.Ornaments().Flares().at(8);
        EXPECT_EQ(closing.targetOpacity, 0.0f);
        rig.Run(scene, c.silentFrames);
        EXPECT_EQ(rig.Plays(kSoundFlare), 0) << c.celebrated;
        EXPECT_EQ(closing.targetOpacity, 0.0f);
        rig.Run(scene, 2);
        EXPECT_EQ(rig.Plays(kSoundFlare), 1) << c.celebrated;
        EXPECT_EQ(closing.targetOpacity, 1.0f);
        rig.Run(scene, 40);
        EXPECT_EQ(rig.Plays(kSoundFlare), 1);
    }
}

TEST_F(Progress, OnlyTheNewestSetIsCelebrated)
{
    valley.SetProgress(3, 1);
    valley.SetProgress(5, 0);
    EXPECT_EQ(Ornaments().Gems().size(), 5u);
    EXPECT_EQ(rig.Plays(kSoundBackground), 1);
    rig.Run(valley, 16); // 0.8 s
    EXPECT_EQ(Ornaments().Rays()[3]->targetOpacity, 1.0f);
    EXPECT_EQ(Ornaments().Rays()[4]->targetOpacity, 0.0f); // waits out the rainbow
    EXPECT_GE(Ornaments().Rainbow().size(), 3u);
    rig.Run(valley, 40); // 2.8 s
    EXPECT_EQ(Ornaments().Rays()[4]->targetOpacity, 1.0f);
    rig.Run(valley, 10);
    EXPECT_TRUE(Ornaments().Rainbow().empty());
}

TEST_F(Progress, QuietProgressMakesNoRainbowAndNoSound)
{
    valley.SetProgress(4, 1);
    rig.Run(valley, 40);
    EXPECT_TRUE(Ornaments().Rainbow().empty());
    EXPECT_EQ(rig.Plays(kSoundBackground), 0);
}

TEST_F(Progress, CountsAreClampedAndAFallFadesTheSetsOut)
{
    valley.SetProgress(8 + 3, 1);
    EXPECT_EQ(Ornaments().Count(), 8);
    EXPECT_EQ(Ornaments().Gems().size(), 8u);
    EXPECT_EQ(Ornaments().Flares().size(), 9u);
    rig.Run(valley, 40);

    // The same count again changes nothing that shows.
    const size_t sprites = rig.sprites->sprites.size();
    valley.SetProgress(8, 0);
    EXPECT_EQ(rig.sprites->sprites.size(), sprites);
    EXPECT_EQ(rig.Plays(kSoundBackground), 0);

    valley.SetProgress(-1, 1);
    EXPECT_EQ(Ornaments().Count(), 0);
    EXPECT_TRUE(Ornaments().Gems().empty());
    EXPECT_TRUE(Ornaments().Flares().empty());
    // The sets fade over their own times before the renderer drops them.
    EXPECT_EQ(rig.sprites->sprites.size(), sprites);
    rig.Run(valley, 12);                        // 0.6 s: longer than every set's fade
    EXPECT_EQ(rig.sprites->sprites.size(), 4u); // the picture, the clouds, the mask and the rays
}
