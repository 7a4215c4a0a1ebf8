// The background manager: switching scenes, sharing and releasing their
// textures, its log lines, the render gate and what it forwards.
#include "SceneRig.h"
#include "TestSupport.h"

#include "backgrounds/BackgroundManager.h"

#include <gtest/gtest.h>

namespace {

class Manager : public ::testing::Test {
protected:
    void SetUp() override { Start("Data\\Gfx\\"); }
    void Start(const std::string& graphics)
    {
        manager = MakeCountedHandle(new CBackgroundManager());
        manager->SetDevice(rig.device, rig.vertices, rig.indices);
        BackgroundResources shared;
        shared.sprites = rig.sprites;
        shared.flares = rig.flares;
        manager->SetResources(shared);
        manager->SetSoundManager(rig.sounds);
        manager->LoadSettings("Data\\Config\\Background.cfg");
        manager->Init(graphics);
    }
    bool Registered(const char* name) const { return rig.device->FindTextureIndex(name) >= 0; }
    static int Count(const std::string& text, const std::string& line)
    {
        int n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++n;
        return n;
    }

    SceneRig rig;
    CountedHandle<CBackgroundManager> manager;
};

} // namespace

TEST_F(Manager, TheSameSceneAgainKeepsItsTexturesAndItsAnimation)
{
    manager->SetScene(CBackgroundManager::kMuseum);
    const CountedHandle<CTexture> picture = rig.device->FindTexture("BackgroundMuseum");
    ASSERT_TRUE(picture);
    manager->Update(0.3f);
    const size_t sprites = rig.sprites->sprites.size();
    const float dust = manager->Museum().Mesh().vertices[0].u;

    manager->SetScene(CBackgroundManager::kMuseum);
    EXPECT_EQ(rig.device->FindTexture("BackgroundMuseum"), picture);
    EXPECT_EQ(rig.sprites->sprites.size(), sprites);
    EXPECT_EQ(manager->Museum().Mesh().vertices[0].u, dust);
}

TEST_F(Manager, ASwitchReleasesTheOldNamesAndSharesRegisteredOnes)
{
    // Another part of the game registered the jungle's fog already.
    const CountedHandle<CTexture> fog =
        rig.device->LoadTexture("Data\\Gfx\\JungleFog.jpg", "JungleFog", 1, 0, d3d::D3DPOOL_MANAGED, 0);
    ASSERT_TRUE(fog);
    manager->SetScene(CBackgroundManager::kMuseum);
    EXPECT_TRUE(Registered("MuseumDust"));

    manager->SetScene(CBackgroundManager::kJungle);
    for (const char* name : {"BackgroundMuseum", "MuseumDust", "MuseumDustMask", "MuseumFlareRays"})
        EXPECT_FALSE(Registered(name)) << name;
    EXPECT_EQ(rig.device->FindTexture("JungleFog"), fog);
    EXPECT_EQ(fog.UseCount(), 3u); // the test, the registry and the scene

    // Leaving takes the shared name out of the registry all the same.
    manager->SetScene(CBackgroundManager::kMainMenu);
    EXPECT_FALSE(Registered("JungleFog"));
    EXPECT_EQ(fog.UseCount(), 1u);
}

TEST_F(Manager, AMissingPictureIsLoggedOnceAndTheSceneStillShows)
{
    testing_support::ScratchDir empty;
    testing_support::LogCapture log;
    Start(empty.Path());
    const char* names[] = {"", "Museum", "Jungle", "Valley", "Door", "Treasury", "MainMenu"};
    for (int id = 1; id <= 6; ++id) {
        log.Clear();
        manager->SetScene(id);
        const std::string line = std::string(" Error loading background textures for ") + names[id] + "!\n";
        EXPECT_EQ(Count(log.Text(), line), 1) << id;
        EXPECT_EQ(Count(log.Text(), "Error"), 1) << id;
        EXPECT_EQ(manager->CurrentScene(), id);
        EXPECT_FALSE(rig.sprites->sprites.empty() && rig.sprites->hiddenSprites.empty()) << id;
    }
}

TEST_F(Manager, DrawsOnlyOnceTheGateIsOpen)
{
    manager->SetScene(CBackgroundManager::kMainMenu);
    manager->Update(0.1f);
    manager->Render();
    EXPECT_EQ(rig.log().draws, 0);
    EXPECT_FALSE(manager->IsRenderGateOpen());

    manager->OpenRenderGate();
    manager->Render();
    EXPECT_GT(rig.log().draws, 0);
    // The mesh's stage states go back to the frame's for the next draw.
    rig.device->DrawIndexed(d3d::D3DPT_TRIANGLELIST, 0, 4, 0, 2);
    uint32_t op = 0;
    rig.null().GetTextureStageState(1, d3d::D3DTSS_COLOROP, &op);
    EXPECT_EQ(op, d3d::D3DTOP_DISABLE);

    EXPECT_FALSE(manager->WantsBlackClear());
    manager->SetScene(CBackgroundManager::kValley);
    EXPECT_TRUE(manager->WantsBlackClear());
}

TEST_F(Manager, UpdatesItsSpriteRendererWithoutAScene)
{
    auto sprite = MakeCountedHandle(new CSprite(0, 0, 0, 10, 10, 0xFFFFFFFF, {}, 0));
    sprite->timed = 1;
    sprite->timeLeft = 0.5f;
    rig.sprites->Add(sprite);
    manager->Update(1.0f);
    EXPECT_TRUE(rig.sprites->sprites.empty());
}

TEST_F(Manager, TheMenuAndNoSceneIgnoreProgress)
{
    manager->SetProgress(3, 0);
    manager->SetScene(CBackgroundManager::kMainMenu);
    const size_t sprites = rig.sprites->sprites.size();
    manager->SetProgress(3, 0);
    EXPECT_EQ(rig.sprites->sprites.size(), sprites);
    EXPECT_EQ(rig.Plays(kSoundBackground), 0);
}

// A number that names no scene used to become current, and the next switch
// retired a scene that did not exist.
TEST_F(Manager, ANumberOutsideTheScenesLeavesNoScene)
{
    testing_support::LogCapture log;
    manager->SetScene(CBackgroundManager::kJungle);
    manager->SetScene(9);
    EXPECT_EQ(manager->CurrentScene(), CBackgroundManager::kNoScene);
    EXPECT_FALSE(Registered("BackgroundJungle"));
    manager->OpenRenderGate();
    manager->Update(0.1f);
    manager->Render();
    EXPECT_EQ(rig.log().draws, 0);
    manager->SetScene(CBackgroundManager::kValley);
    EXPECT_EQ(manager->CurrentScene(), CBackgroundManager::kValley);
    EXPECT_EQ(Count(log.Text(), "Error"), 0);
}
