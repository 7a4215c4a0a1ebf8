// The scenes' own shows and guards: the museum's map, the jungle's mask and
// glints, the valley's cloud view, the door's leaf and fall, the treasury's
// chest, the main menu's face, foliage and leaves, and settings that would
// hang a frame or break the geometry.
#include "SceneRig.h"
#include "TestSupport.h"

#include "backgrounds/DoorBackground.h"
#include "backgrounds/JungleBackground.h"
#include "backgrounds/MainMenuBackground.h"
#include "platform/MemoryResources.h"
#include "backgrounds/MuseumBackground.h"
#include "backgrounds/TreasuryBackground.h"
#include "backgrounds/ValleyBackground.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

const char* const kNoFile = "no such file.cfg";

// Sets a scene up as the manager does, without textures.
template <typename Scene>
void Prepare(Scene& scene, SceneRig& rig, const std::string& settings, bool withParticles = false)
{
    scene.Core().SetDevice(rig.device, rig.vertices, rig.indices);
    scene.SetResources(rig.Shared(withParticles));
    scene.Core().services.sounds = rig.sounds;
    scene.LoadSettings(settings);
    scene.Init();
    scene.Build();
}

void PrepareMuseum(CMuseumBackground& s, SceneRig& rig, const std::string& cfg = kNoFile) { Prepare(s, rig, cfg); }
void PrepareJungle(CJungleBackground& s, SceneRig& rig, const std::string& cfg = kNoFile) { Prepare(s, rig, cfg); }
void PrepareDoor(CDoorBackground& s, SceneRig& rig, const std::string& cfg = kNoFile)
{
    Prepare(s, rig, cfg, true);
}
void PrepareTreasury(CTreasuryBackground& s, SceneRig& rig, const std::string& cfg = kNoFile)
{
    Prepare(s, rig, cfg, true);
}
void PrepareMainMenu(CMainMenuBackground& s, SceneRig& rig, const std::string& cfg = kNoFile)
{
    Prepare(s, rig, cfg);
}

// Runs single frames until `done` holds (at most ten seconds of them).
template <typename Scene, typename Done>
bool RunUntil(SceneRig& rig, Scene& scene, Done done)
{
    for (int i = 0; i < 200 && !done(); ++i)
        rig.Run(scene, 1);
    return done();
}

bool Finite(const CSprite& s)
{
    for (float v : {s.x, s.y, s.width, s.height, s.extentX[0], s.extentX[1], s.extentY[0], s.extentY[1], s.opacity,
                    s.fadeSpeed, s.spinSpeed})
        if (!std::isfinite(v))
            return false;
    return true;
}

// A 24-bit bitmap, bottom row first, each pixel grey `value(column, row)`
// with rows counted from the top.
void WriteBitmap(const std::string& path, int width, int height, int (*value)(int, int))
{
    std::vector<unsigned char> b(54, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (int row = height - 1; row >= 0; --row)
        for (int col = 0; col < width; ++col)
            for (int k = 0; k < 3; ++k)
                b.push_back(static_cast<unsigned char>(value(col, row)));
    testing_support::WriteBytes(path, b);
}

} // namespace

TEST(Museum, TheMapUnrollsAfterTheFifthGem)
{
    SceneRig rig;
    CMuseumBackground museum;
    PrepareMuseum(museum, rig);
    museum.SetProgress(5, 1);
    const CountedHandle<CSprite> map = museum.Map();
    ASSERT_TRUE(map);
    EXPECT_FLOAT_EQ(museum.MapUnrolled(), 0.4f);
    rig.Run(museum, 22); // 1.1 s: the fifth set has not settled
    EXPECT_EQ(museum.MapState(), 0);
    EXPECT_EQ(rig.Plays(kSoundMuseum), 0);
    rig.Run(museum, 2);
    EXPECT_EQ(museum.MapState(), 1);
    EXPECT_EQ(rig.Plays(kSoundMuseum), 1);

    // Once the map's flare has opened, the map unrolls evenly over its time:
    // g = start + (1 - start) * k, its lower edge and picture following.
    const Vec4 t = museum.Ornaments().settings.rayTexels[5];
    bool unrolling = false;
    for (int frame = 0; frame < 30; ++frame) {
        rig.Run(museum, 1);
        if (museum.MapState() != 2)
            continue;
        unrolling = true;
        const float k = std::min(1.0f, (museum.Ornaments().ClosingTimer() - 0.25f) / 0.5f);
        const float g = 0.4f + 0.6f * k;
        EXPECT_NEAR(museum.MapUnrolled(), g, 1e-5f);
        EXPECT_NEAR(map->cornerOffsets[5], 0.5f - g, 1e-5f);
        EXPECT_NEAR(map->frames.data()[5], t.y + (t.w - t.y) * g, 1e-5f);
        EXPECT_EQ(map->targetOpacity, 1.0f);
    }
    EXPECT_TRUE(unrolling);
    EXPECT_EQ(museum.MapState(), 0);
    EXPECT_FLOAT_EQ(museum.MapUnrolled(), 1.0f);
}

// The map's slot used to survive leaving the museum; back in it, a slot
// still unrolling reached for a map that no longer existed.
TEST(Museum, ComingBackForgetsTheMapsSlot)
{
    SceneRig rig;
    CMuseumBackground museum;
    PrepareMuseum(museum, rig);
    museum.SetProgress(5, 1);
    rig.Run(museum, 30);
    ASSERT_EQ(museum.MapState(), 2);
    museum.Core().ReleaseTextures();
    museum.ReleaseObjects();
    museum.Build();
    museum.SetProgress(3, 1);
    EXPECT_EQ(museum.MapState(), 0);
    rig.Run(museum, 40);
    EXPECT_FALSE(museum.Map());
}

TEST(Jungle, TheFlashMaskFile)
{
    ScratchDir dir;
    testing_support::LogCapture log;
    SceneRig rig;
    CJungleBackground jungle;
    PrepareJungle(jungle, rig);

    EXPECT_FALSE(jungle.LoadFlashMask(dir.File("missing.bmp")));
    EXPECT_EQ(log.Text(), " JungleFlashMask.bmp File not found!\n");

    WriteBitmap(dir.File("short.bmp"), 256, 101, [](int, int) { return 200; });
    log.Clear();
    EXPECT_FALSE(jungle.LoadFlashMask(dir.File("short.bmp")));
    EXPECT_EQ(log.Text(), " Error loading JungleFlashMask.bmp file!\n");

    WriteBitmap(dir.File("cut.bmp"), 256, 102, [](int, int) { return 200; });
    std::vector<unsigned char> cut = testing_support::ReadBytes(dir.File("cut.bmp"));
    cut.resize(cut.size() - 3);
    testing_support::WriteBytes(dir.File("cut.bmp"), cut);
    log.Clear();
    EXPECT_FALSE(jungle.LoadFlashMask(dir.File("cut.bmp")));
    EXPECT_EQ(log.Text(), " Error loading JungleFlashMask.bmp file!\n");

    // Top row first in the mask, the file's last row.
    WriteBitmap(dir.File("good.bmp"), 256, 102, [](int col, int row) { return row == 0 ? 7 : col % 200; });
    log.Clear();
    EXPECT_TRUE(jungle.LoadFlashMask(dir.File("good.bmp")));
    EXPECT_EQ(log.Text(), "");
    ASSERT_EQ(jungle.FlashMask().size(), 256u * 102u);
    EXPECT_EQ(jungle.FlashMask()[0], 7);
    EXPECT_EQ(jungle.FlashMask()[256 + 150], 150);
}

// A glint starts on a mask byte above 16 and glides to one above 128; a mask
// that offers neither makes none and does not hang the frame.
TEST(Jungle, GlintsStartAbove16AndEndAbove128)
{
    struct Case {
        int left, right; // mask bytes of the area's two halves
        bool startsLeft; // glints start in the left half
        bool any;
    } const cases[] = {{16, 255, false, true},
                       {17, 255, true, true},
                       {128, 128, false, false},
                       {129, 129, true, true},
                       {0, 0, false, false}};
    ScratchDir dir;
    // Long glides, so that starts near the middle reach the other half.
    WriteText(dir.File("glide.cfg"), "[Jungle]\nFlashT=0.01\nFlashMinSpeed=150\nFlashMaxSpeed=150\n");
    static int left, right;
    for (const Case& c : cases) {
        left = c.left;
        right = c.right;
        WriteBitmap(dir.File("mask.bmp"), 256, 102, [](int col, int) { return col < 128 ? left : right; });
        SceneRig rig;
        CJungleBackground jungle;
        PrepareJungle(jungle, rig, dir.File("glide.cfg"));
        ASSERT_TRUE(jungle.LoadFlashMask(dir.File("mask.bmp")));
        int leftStarts = 0, made = 0;
        for (int frame = 0; frame < 40; ++frame) {
            const size_t before = jungle.FlashCount();
            jungle.Update(0.05f);
            for (size_t i = before; i < jungle.FlashCount(); ++i) {
                ++made;
                if (jungle.MaskAt(jungle.Flashes()[i]->x, jungle.Flashes()[i]->y) == c.left && c.left != c.right)
                    ++leftStarts;
            }
        }
        EXPECT_EQ(made > 0, c.any) << c.left << " " << c.right;
        if (c.left != c.right) {
            EXPECT_EQ(leftStarts > 0, c.startsLeft) << c.left;
        }
    }
}

TEST(Jungle, NoMaskNoGlints)
{
    SceneRig rig;
    CJungleBackground jungle;
    PrepareJungle(jungle, rig);
    jungle.LoadFlashMask("no such mask.bmp");
    rig.Run(jungle, 20);
    EXPECT_EQ(jungle.FlashCount(), 0u);
    EXPECT_TRUE(rig.flares->flares.empty());
}

TEST(Valley, TheCloudViewAndItsDrift)
{
    SceneRig rig;
    CValleyBackground valley;
    Prepare(valley, rig, kNoFile);
    const CValleyBackground::Frustum& f = valley.CloudFrustum();
    EXPECT_NEAR(f.nearZ, 1112.4f, 0.01f);
    EXPECT_NEAR(f.farZ, 2734.6f, 0.01f);
    EXPECT_NEAR(f.right, 460.8f, 0.05f);
    EXPECT_NEAR(f.top, 345.6f, 0.05f);
    // The frustum's corners land on the clip volume's: depth 0 near, 1 far.
    const d3d::D3DMATRIX& m = valley.CloudProjection();
    auto project = [&](float x, float y, float z, int axis) {
        const float w = x * m.m[0][3] + y * m.m[1][3] + z * m.m[2][3] + m.m[3][3];
        return (x * m.m[0][axis] + y * m.m[1][axis] + z * m.m[2][axis] + m.m[3][axis]) / w;
    };
    EXPECT_NEAR(project(f.right, f.top, f.nearZ, 0), 1.0f, 1e-4f);
    EXPECT_NEAR(project(f.right, f.top, f.nearZ, 1), 1.0f, 1e-4f);
    EXPECT_NEAR(project(0, 0, f.nearZ, 2), 0.0f, 1e-4f);
    EXPECT_NEAR(project(0, 0, f.farZ, 2), 1.0f, 1e-4f);

    // A one-number drift moves the clouds along u only, wrapping.
    for (int i = 0; i < 300; ++i) {
        rig.Run(valley, 1, 0.1f);
        ASSERT_GE(valley.CloudOffset().x, 0.0f);
        ASSERT_LT(valley.CloudOffset().x, 1.0f);
        ASSERT_EQ(valley.CloudOffset().y, 0.0f);
    }
    // The rays turn the other way for a negative period.
    EXPECT_NEAR(valley.RaysSprite()->spinSpeed, 6.2831855f / -61.0f, 1e-6f);
}

TEST(Door, TheVisibleLeaf)
{
    ScratchDir dir;
    WriteText(dir.File("level.cfg"), "[Door]\nDoorBottom=200 200\n");
    struct Case {
        const char* cfg;
        float fraction;
        Vec2 corners[4];
    } const cases[] = {
        // The default door: 170 by 268, the floor 264 below the top at the left, 258 at the right.
        {kNoFile, 0.5f, {{0, 134}, {170, 134}, {170, 258}, {0, 264}}},
        {kNoFile, 0.975f, {{0, 261.3f}, {76.5f, 261.3f}, {76.5f, 264}, {0, 264}}},
        {kNoFile, 1.0f, {{0, 264}, {0, 264}, {0, 264}, {0, 264}}},
        {"level", 0.5f, {{0, 134}, {170, 134}, {170, 200}, {0, 200}}},
        {"level", 0.8f, {{0, 200}, {170, 200}, {170, 200}, {0, 200}}},
    };
    for (const Case& c : cases) {
        SceneRig rig;
        CDoorBackground door;
        PrepareDoor(door, rig, c.cfg == kNoFile ? kNoFile : dir.File("level.cfg"));
        door.ComputeDoorQuad(c.fraction);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(door.DoorQuad()[k].x, c.corners[k].x, 0.01f) << c.fraction << " corner " << k;
            EXPECT_NEAR(door.DoorQuad()[k].y, c.corners[k].y, 0.01f) << c.fraction << " corner " << k;
        }
    }
}

TEST(Door, OpensAfterTheTenthGemAndAFallStopsIt)
{
    SceneRig rig;
    CDoorBackground door;
    PrepareDoor(door, rig);
    door.SetProgress(10, 1);
    ASSERT_TRUE(door.DoorCover() && door.DoorLeaf() && door.Doorway() && door.DoorShade());
    rig.Run(door, 24); // 1.2 s: the tenth set settles, the door flare opens
    EXPECT_EQ(rig.Plays(kSoundDoor), 1);
    EXPECT_EQ(door.DoorState(), 1);
    rig.Run(door, 12); // the flare, then the cover's fade
    EXPECT_EQ(door.DoorState(), 3);
    EXPECT_EQ(door.DoorCover()->targetOpacity, 0.0f);
    rig.Run(door, 10); // half a second into the slide
    const float top = door.DoorQuad()[0].y;
    EXPECT_GT(top, 0.0f);
    EXPECT_LT(top, 264.0f);

    const CountedHandle<CSprite> leaf = door.DoorLeaf();
    door.SetProgress(7, 1);
    EXPECT_EQ(door.DoorState(), 0);
    EXPECT_FALSE(door.DoorLeaf());
    rig.Run(door, 2);
    for (const auto& s : rig.sprites->sprites)
        EXPECT_NE(s, leaf);
    EXPECT_EQ(door.DoorQuad()[0].y, top);
}

TEST(Door, SandPoursFromTheTopCornersAndFollowsTheLeafDown)
{
    ScratchDir dir;
    WriteText(dir.File("sand.cfg"), "[Door]\nUseSand=1\n");
    SceneRig rig;
    CDoorBackground door;
    PrepareDoor(door, rig, dir.File("sand.cfg"));
    door.SetProgress(10, 1);
    ASSERT_TRUE(RunUntil(rig, door, [&] { return door.DoorState() == 2; }));
    ASSERT_EQ(door.SandSources().size(), 2u);
    EXPECT_EQ(rig.particles->BlendedSystems().size(), 4u); // sand and dust at each corner
    // Four pixels inside the top corners, four below the top edge.
    const float yt = 384.0f - 187.0f;
    EXPECT_FLOAT_EQ(door.SandSources()[0]->origin.x, -0.5f + (366 - 512) + 4);
    EXPECT_FLOAT_EQ(door.SandSources()[1]->origin.x, -0.5f + (366 - 512) + 170 - 4);
    EXPECT_FLOAT_EQ(door.SandSources()[0]->origin.y, yt + 0.5f - 4);

    ASSERT_TRUE(RunUntil(rig, door, [&] { return door.DoorState() == 3; }));
    rig.Run(door, 10);
    EXPECT_FLOAT_EQ(door.SandSources()[0]->origin.y, yt - door.DoorQuad()[0].y - 4);
    EXPECT_FLOAT_EQ(door.SandSources()[1]->origin.y, yt - door.DoorQuad()[1].y - 4);

    // The sources stop once the leaf's left corner passes screen row 446,
    // before the slide ends.
    ASSERT_TRUE(RunUntil(rig, door, [&] { return door.SandSources().empty(); }));
    EXPECT_EQ(door.DoorState(), 3);
    EXPECT_GE(door.DoorQuad()[0].y, 446.0f - 187.0f);
    rig.Run(door, 200);
    EXPECT_TRUE(rig.particles->BlendedSystems().empty()); // the grains and their dust have run out
}

TEST(Door, AFallInTheSlideStopsTheSand)
{
    ScratchDir dir;
    WriteText(dir.File("sand.cfg"), "[Door]\nUseSand=1\n");
    SceneRig rig;
    CDoorBackground door;
    PrepareDoor(door, rig, dir.File("sand.cfg"));
    door.SetProgress(10, 1);
    ASSERT_TRUE(RunUntil(rig, door, [&] { return door.DoorState() == 3; }));
    ASSERT_EQ(door.SandSources().size(), 2u);
    door.SetProgress(9, 1);
    EXPECT_TRUE(door.SandSources().empty());
    rig.Run(door, 200);
    EXPECT_TRUE(rig.particles->BlendedSystems().empty()); // the grains and the dust have run out
}

TEST(Treasury, TheChestBurstsOpen)
{
    SceneRig rig;
    CTreasuryBackground treasury;
    PrepareTreasury(treasury, rig);
    treasury.SetProgress(12, 1);
    rig.Run(treasury, 24); // the twelfth set settles
    EXPECT_EQ(rig.Plays(kSoundTreasure), 1);
    EXPECT_EQ(treasury.ChestState(), CTreasuryBackground::kChestFlare);
    ASSERT_TRUE(RunUntil(rig, treasury, [&] { return treasury.ChestState() == CTreasuryBackground::kChestRays; }));

    // A ray every fifth of a second for two seconds, each with its sparks.
    rig.Run(treasury, 36); // 1.8 s of rays
    EXPECT_EQ(treasury.ChestState(), CTreasuryBackground::kChestRays);
    EXPECT_GE(treasury.ChestRays().size(), 8u);
    EXPECT_LE(treasury.ChestRays().size(), 9u);
    EXPECT_GE(rig.particles->BlendedSystems().size(), 1u);
    rig.Run(treasury, 6);
    ASSERT_EQ(treasury.ChestState(), CTreasuryBackground::kChestBreak);
    EXPECT_TRUE(treasury.ChestRays().empty());
    EXPECT_FALSE(treasury.ChestLid());
    EXPECT_EQ(rig.flares->flares.size(), 1u); // the flash

    // Twice an eight by eight grid; the top row rises fastest.
    ASSERT_EQ(treasury.Pieces().size(), 128u);
    for (size_t i = 0; i < 128; ++i) {
        const size_t row = (i % 64) / 8;
        if (row == 0) {
            EXPECT_GE(treasury.PieceLifts()[i], 75.0f);
            EXPECT_LE(treasury.PieceLifts()[i], 125.0f);
        } else if (row == 7) {
            EXPECT_GE(treasury.PieceLifts()[i], 15.0f);
            EXPECT_LE(treasury.PieceLifts()[i], 25.0f);
        }
    }
    rig.Run(treasury, 20);
    EXPECT_FALSE(treasury.GlowWorms().empty());
    // Every piece leaves the top of the screen, the glow worms after them.
    rig.Run(treasury, 600);
    EXPECT_TRUE(treasury.Pieces().empty());
    EXPECT_TRUE(treasury.GlowWorms().empty());
    EXPECT_EQ(treasury.ChestState(), CTreasuryBackground::kChestIdle);
}

TEST(Treasury, ALongFrameShootsSeveralRaysAndAFallRebuildsTheLid)
{
    SceneRig rig;
    CTreasuryBackground treasury;
    PrepareTreasury(treasury, rig);
    treasury.SetProgress(12, 1);
    ASSERT_TRUE(RunUntil(rig, treasury, [&] { return treasury.ChestState() == CTreasuryBackground::kChestRays; }));
    rig.Run(treasury, 1, 0.5f);
    EXPECT_EQ(treasury.ChestRays().size(), 2u);
    rig.Run(treasury, 4, 0.5f);
    ASSERT_EQ(treasury.ChestState(), CTreasuryBackground::kChestBreak);

    treasury.SetProgress(5, 1);
    EXPECT_EQ(treasury.ChestState(), CTreasuryBackground::kChestIdle);
    EXPECT_TRUE(treasury.ChestLid() && treasury.ChestBand());
    EXPECT_TRUE(treasury.Pieces().empty());
    EXPECT_TRUE(treasury.GlowWorms().empty());
}

// The chest's state used to survive leaving the vault: back in it, the
// sequence went on and broke the lid of a stage just begun.
TEST(Treasury, ComingBackFindsTheChestClosed)
{
    SceneRig rig;
    CTreasuryBackground treasury;
    PrepareTreasury(treasury, rig);
    treasury.SetProgress(12, 1);
    ASSERT_TRUE(RunUntil(rig, treasury, [&] { return treasury.ChestState() == CTreasuryBackground::kChestRays; }));
    treasury.Core().ReleaseTextures();
    treasury.ReleaseObjects();
    treasury.Build();
    EXPECT_EQ(treasury.ChestState(), CTreasuryBackground::kChestIdle);
    treasury.SetProgress(11, 1);
    rig.Run(treasury, 100);
    EXPECT_TRUE(treasury.ChestLid());
    EXPECT_TRUE(treasury.Pieces().empty());
}

// A lid cut into a single row divided by zero for its rows' lift.
TEST(Treasury, ALidOfOneRowRisesLikeATopRow)
{
    ScratchDir dir;
    WriteText(dir.File("row.cfg"), "[Treasury]\nChestCrack=4 1\n");
    SceneRig rig;
    CTreasuryBackground treasury;
    PrepareTreasury(treasury, rig, dir.File("row.cfg"));
    treasury.SetProgress(12, 1);
    ASSERT_TRUE(
        RunUntil(rig, treasury, [&] { return treasury.ChestState() == CTreasuryBackground::kChestBreak; }));
    ASSERT_EQ(treasury.Pieces().size(), 8u);
    for (float lift : treasury.PieceLifts()) {
        EXPECT_GE(lift, 75.0f);
        EXPECT_LE(lift, 125.0f);
    }
}

// The draws are steered by their chances: a chance of 1000 a second always
// happens in a tenth of a second, one of 0 never does.
TEST(MainMenu, TheEyeOpensAndTheLipsMove)
{
    ScratchDir dir;
    auto chances = [&](const char* name, const char* eye, const char* lips) {
        WriteText(dir.File(name), std::string("[MainMenu]\nEyeProbability=") + eye + "\nLipsProbability=" + lips +
                                      "\nLipsMinTime=0.3\n");
        return dir.File(name);
    };
    const std::string steady = chances("steady.cfg", "0", "0"), blink = chances("blink.cfg", "1000", "0"),
                      speak = chances("speak.cfg", "0", "1000");
    SceneRig rig;
    CMainMenuBackground menu;
    PrepareMainMenu(menu, rig, steady);
    const CSprite& eye = *menu.Elements()[CMainMenuBackground::kEye];
    const CSprite& lips = *menu.Elements()[CMainMenuBackground::kLips];
    ASSERT_EQ(eye.frames.size(), 16u);
    ASSERT_EQ(lips.frames.size(), 24u);
    rig.Run(menu, 10, 0.1f);
    EXPECT_EQ(eye.frame, 0);
    EXPECT_EQ(lips.frame, 0); // closed eye, closed lips: nothing moves

    menu.LoadSettings(blink);
    rig.Run(menu, 1, 0.1f);
    EXPECT_EQ(eye.frame, 1);
    EXPECT_EQ(lips.frame, 1); // the lips start with the eye
    menu.LoadSettings(speak);
    rig.Run(menu, 1, 0.1f);
    EXPECT_EQ(lips.frame, 2);
    rig.Run(menu, 1, 0.1f);
    EXPECT_EQ(lips.frame, 1);
    rig.Run(menu, 1, 0.1f);
    EXPECT_EQ(lips.frame, 2);
    menu.LoadSettings(blink);
    rig.Run(menu, 1, 0.1f);
    EXPECT_EQ(eye.frame, 0);
    EXPECT_EQ(lips.frame, 1); // from the open frame back to the first
    menu.LoadSettings(steady);
    rig.Run(menu, 2, 0.1f);
    EXPECT_EQ(lips.frame, 1); // they keep moving a moment after the eye closes
    rig.Run(menu, 2, 0.1f);
    EXPECT_EQ(lips.frame, 0);
}

TEST(MainMenu, TheFrontFoliageSlidesAsideUnderTheCursor)
{
    SceneRig rig;
    CMainMenuBackground menu;
    PrepareMainMenu(menu, rig);
    const CMainMenuBackground::Zone& zone = menu.ShiftZone();
    EXPECT_TRUE(zone.Contains(-488, 152));
    EXPECT_TRUE(zone.Contains(-130, 32));
    EXPECT_FALSE(zone.Contains(-131, 153));
    // It belongs to the scene's own pass, over the leaves, and leaves no depth
    // that could hide what the frame draws after the scene.
    ASSERT_TRUE(menu.FrontFoliage());
    const CSprite& front = *menu.FrontFoliage();
    EXPECT_EQ(std::count(rig.sprites->sprites.begin(), rig.sprites->sprites.end(), menu.FrontFoliage()), 1);
    EXPECT_TRUE(front.blended == 1 && front.layer == 1 && front.depthWrite == 0);

    menu.SetCursorInZone(true);
    rig.Run(menu, 1, 0.1f);
    EXPECT_FLOAT_EQ(menu.ShiftLevel(), 0.5f);
    rig.Run(menu, 1, 0.1f);
    EXPECT_FLOAT_EQ(menu.ShiftLevel(), 1.0f);
    rig.Run(menu, 3, 0.1f);
    EXPECT_FLOAT_EQ(menu.ShiftLevel(), 1.0f);
    menu.SetCursorInZone(false);
    rig.Run(menu, 2, 0.1f);
    EXPECT_FLOAT_EQ(menu.ShiftLevel(), 0.0f);
}

TEST(MainMenu, LeavesFallWithinTheirLimit)
{
    ScratchDir dir;
    WriteText(dir.File("bare.cfg"), "[MainMenu]\nMaxLeafs=0\n");
    SceneRig rig;
    CMainMenuBackground bare;
    PrepareMainMenu(bare, rig, dir.File("bare.cfg"));
    EXPECT_EQ(bare.Mesh().vertices.size(), 4u);
    rig.Run(bare, 200);
    EXPECT_TRUE(bare.Leaves().empty());

    CMainMenuBackground menu;
    PrepareMainMenu(menu, rig);
    size_t most = 0;
    for (int i = 0; i < 400; ++i) {
        rig.Run(menu, 1);
        most = std::max(most, menu.Leaves().size());
        for (const auto& leaf : menu.Leaves())
            ASSERT_GE(leaf.y, -384.0f);
    }
    EXPECT_EQ(most, 8u);
}

// Periods, times and speeds that a scene divides by, set to zero, negative
// or not a number, used to hang a frame or make geometry of NaNs; counts
// beyond 16-bit indices broke the meshes.
TEST(Settings, ThatWouldHangOrBreakTakeTheirDefaults)
{
    ScratchDir dir;
    WriteText(dir.File("bad.cfg"), "[Museum]\nDustLayersCount=100000000\nFlareRaysRotT=0\nNewGemTime=0\n"
                                   "MapExpandTime=-1\n"
                                   "[Jungle]\nFlashT=0\nFlashLifeTime=nan\nFlareRaysRotT=0\nRainbowT=-2\n"
                                   "[Treasury]\nChestRaysT=0\nChestFadeTime=-1\nChestCrack=100000 100000\n"
                                   "ChestGlowWormsT=0\n"
                                   "[MainMenu]\nLeafRotW=0\nLeafArcW=nan\nMaxLeafs=100000000\n"
                                   "FoliageCells=1000 1000\nFrontFoliageShiftTime=0\nLeafBirthT=-1\n"
                                   "MapDisp=5000 4\nHairDisp=5000 0.2\n");
    const std::string bad = dir.File("bad.cfg");
    SceneRig rig;
    auto finiteSprites = [&] {
        for (const auto& s : rig.sprites->sprites)
            if (!Finite(*s))
                return false;
        return true;
    };

    CMuseumBackground museum;
    PrepareMuseum(museum, rig, bad);
    museum.SetProgress(5, 0);
    rig.Run(museum, 60);
    EXPECT_LE(museum.Mesh().vertices.size(), 65536u);
    EXPECT_TRUE(finiteSprites());
    museum.ReleaseObjects();

    CJungleBackground jungle;
    PrepareJungle(jungle, rig, bad);
    WriteBitmap(dir.File("mask.bmp"), 256, 102, [](int, int) { return 255; });
    jungle.LoadFlashMask(dir.File("mask.bmp"));
    jungle.SetProgress(6, 0);
    rig.Run(jungle, 60);
    EXPECT_TRUE(finiteSprites());
    for (const auto& flash : jungle.Flashes())
        EXPECT_TRUE(std::isfinite(flash->x) && std::isfinite(flash->y));
    jungle.ReleaseObjects();

    CTreasuryBackground treasury;
    PrepareTreasury(treasury, rig, bad);
    treasury.SetProgress(12, 0);
    rig.Run(treasury, 120);
    EXPECT_LE(treasury.Pieces().size(), 2u * 64u * 64u);
    EXPECT_TRUE(finiteSprites());
    treasury.ReleaseObjects();

    CMainMenuBackground menu;
    PrepareMainMenu(menu, rig, bad);
    menu.SetCursorInZone(true);
    rig.Run(menu, 100);
    EXPECT_LE(menu.Mesh().vertices.size(), 65536u);
    EXPECT_LE(menu.FoliageCells().size() * 4 + 40, 65536u);
    EXPECT_TRUE(finiteSprites());
    for (const auto& leaf : menu.Leaves())
        EXPECT_TRUE(std::isfinite(leaf.x + leaf.y + leaf.angle + leaf.turnPhase + leaf.arcPhase));
    // A swing wider than the strands and the map are long.
    for (const auto& element : menu.Elements())
        for (float offset : element->cornerOffsets)
            EXPECT_TRUE(std::isfinite(offset));
    for (const SceneVertex& v : menu.Mesh().vertices)
        ASSERT_TRUE(std::isfinite(v.x + v.y + v.u + v.v));
}

// A masked layer is drawn only where its mask can show: a quad over a mask
// whose left half is transparent keeps its right half, with the texture
// coordinates that part had; over a transparent mask it covers nothing.
TEST(MaskedLayers, AreDrawnOnlyWhereTheMaskShows)
{
    SceneRig rig;
    SceneServices services;
    services.SetDevice(rig.device, rig.vertices, rig.indices);
    // An 8 x 8 mask whose columns from `firstShown` on show.
    auto makeMask = [&](int firstShown) {
        auto mask = rig.device->CreateTexture("Mask", 8, 8, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
        d3d::D3DLOCKED_RECT locked;
        if (mask && mask->texture->LockRect(0, &locked, 0) == d3d::D3D_OK) {
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    static_cast<uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x] = x >= firstShown ? ~0u : 0u;
            mask->texture->UnlockRect(0);
        }
        return mask;
    };
    SceneMeshLayer mesh;
    mesh.SizeForQuads(1);
    FullScreenQuad(mesh.Quad(0), 0.0f, 0xFFFFFFFF);
    const float u[4] = {0.0f, 2.0f, 2.0f, 0.0f};
    for (int k = 0; k < 4; ++k)
        mesh.Quad(0)[k].u = u[k];
    MeshPass pass;
    pass.quadCount = 1;
    const struct {
        int firstShown;
        float left, right, leftU; // the drawn quad, on the virtual screen
    } cases[] = {{4, -512.0f + 1024.0f * 3.0f / 8.0f, 512.0f, 0.75f}, {8, 0.0f, 0.0f, 0.0f}};
    for (const auto& c : cases) {
        pass.mask = makeMask(c.firstShown);
        ASSERT_TRUE(pass.mask);
        ASSERT_EQ(RenderMeshPasses(services, mesh, &pass, 1), d3d::D3D_OK);
        const auto* memory = static_cast<d3d::MemoryVertexBuffer*>(rig.vertices->buffer.get());
        const SceneVertex* v =
            reinterpret_cast<const SceneVertex*>(memory->data.data()) + rig.vertices->LockStart();
        if (c.firstShown == 8) {
            EXPECT_FLOAT_EQ(v[1].x, v[0].x); // folded to a point
            EXPECT_FLOAT_EQ(v[2].y, v[0].y);
            continue;
        }
        // One texel of the transparent half stays for filtering.
        EXPECT_FLOAT_EQ(v[0].x, c.left + kOriginX);
        EXPECT_FLOAT_EQ(v[1].x, c.right + kOriginX);
        EXPECT_FLOAT_EQ(v[2].y, -384.0f + kOriginY);
        EXPECT_FLOAT_EQ(v[0].u, c.leftU);
        EXPECT_FLOAT_EQ(v[0].maskU, 3.0f / 8.0f);
    }
}
