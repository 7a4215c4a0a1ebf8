// The sand box on the recording null device: fall times of dropped grains,
// fading in and out, the frenzy bar, the two draw passes and the skin keys
// that configure it.
#include "effects/sandbox/Sandbox.h"

#include "TestSupport.h"
#include "engine/RenderTestSupport.h"
#include "engine/Vertex.h"
#include "platform/MemoryResources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace d3d;

namespace {

const Vertex* DrawnVertices(const NullRig& rig)
{
    auto* memory = static_cast<MemoryVertexBuffer*>(rig.vertices->buffer.get());
    return reinterpret_cast<const Vertex*>(memory->data.data());
}

int Alpha(uint32_t argb) { return static_cast<int>(argb >> 24); }

// A box of 11 columns, 100 wide and 10 high, with its left top at (0, 0).
struct SmallBox {
    SmallBox()
    {
        field->SetColumnCount(11);
        box.SetHeightfield(field);
        box.SetGeometry(0, 0, 5, 100, 10);
    }
    const CSandHeightfield::FallingGrain& Last() const { return field->FallingGrains().back(); }

    CountedHandle<CSandHeightfield> field = MakeCountedHandle(new CSandHeightfield());
    CSandbox box;
};

} // namespace

TEST(Sandbox, GrainsFallForTheirBallisticTime)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        float x, y, vx, up, top, gravity;
        float time, position;
    };
    const Case cases[] = {
        {"below the bottom: at once, under x", 37, -25, 50, 0, 100, 10, 0, 3.7f},
        {"short drop, still speeding up", 50, 0, 0, 0, 100, 10, std::sqrt(2.0f), 5},
        {"thrown up first", 50, 0, 0, 5, 100, 10, 2.0f, 5},
        {"long drop at the top speed", 50, 990, 0, 0, 100, 10, 15.0f, 5},
        {"drifting sideways while falling", 20, 990, 2, 0, 100, 10, 15.0f, 5},
        {"no gravity: lands at once", 50, 0, 0, 0, 100, 0, 0, 5},
        {"gravity upwards: lands at once", 50, 0, 0, 0, 100, -1, 0, 5},
        {"no top speed: lands at once", 50, 0, 0, 0, 0, 10, 0, 5},
        {"endless gravity: lands at once", 50, 0, 0, 0, 100, inf, 0, 5},
        {"left of the box", -400, -25, 0, 0, 100, 10, 0, 0},
        {"right of the box", 400, -25, 0, 0, 100, 10, 0, 10},
        {"nowhere", nan, -25, 0, 0, 100, 10, 0, 0},
    };
    for (const Case& c : cases) {
        SmallBox b;
        b.box.DropGrain(0.01f, c.x, c.y, 0, 0, c.vx, c.up, c.top, c.gravity);
        ASSERT_EQ(b.field->FallingGrains().size(), 1u) << c.what;
        EXPECT_NEAR(b.Last().timeLeft, c.time, 1e-4) << c.what;
        EXPECT_NEAR(b.Last().position, c.position, 1e-4) << c.what;
        EXPECT_FLOAT_EQ(b.Last().amount, 0.01f) << c.what;
    }
}

TEST(Sandbox, TheDropOffsetShortensTheFall)
{
    SmallBox b;
    b.box.DropGrain(0.01f, 50, 10, 0, 10, 0, 0, 100, 10); // 20 above the bottom, 10 of it offset
    EXPECT_NEAR(b.Last().timeLeft, std::sqrt(2.0f), 1e-4);
}

TEST(Sandbox, ShowingAndHidingWithAndWithoutAFade)
{
    SmallBox b;
    b.box.Show(true, 0);
    EXPECT_TRUE(b.box.IsShown());
    EXPECT_EQ(b.box.Fade(), 1.0f);
    b.box.Show(false, 0);
    EXPECT_FALSE(b.box.IsShown()); // the same frame
    EXPECT_EQ(b.box.Fade(), 0.0f);

    b.box.Show(true, 2);
    b.box.Update(0.25f);
    EXPECT_TRUE(b.box.IsShown());
    EXPECT_FLOAT_EQ(b.box.Fade(), 0.5f);
    b.box.Update(0.5f);
    EXPECT_EQ(b.box.Fade(), 1.0f);

    b.box.Show(false, 2);
    b.box.Update(0.25f);
    EXPECT_TRUE(b.box.IsShown()); // still drawn while it fades
    EXPECT_FLOAT_EQ(b.box.Fade(), 0.5f);
    b.box.Update(0.25f);
    EXPECT_FALSE(b.box.IsShown());
    EXPECT_EQ(b.box.Fade(), 0.0f);
}

TEST(Sandbox, TheBarFadesOutOverItsPostTimeOnceFullModeEnds)
{
    SmallBox b;
    b.box.ApplySettings(SandboxSettings{}); // post time 0.25 s
    b.box.SetFull(true, 0.3);
    b.box.Update(1.0f);
    EXPECT_EQ(b.box.BarAlpha(), 1.0f);
    EXPECT_TRUE(b.field->IsFull());
    b.box.SetFull(false, 0);
    EXPECT_FALSE(b.field->IsFull());
    b.box.Update(0.125f);
    EXPECT_FLOAT_EQ(b.box.BarAlpha(), 0.5f);
    b.box.Update(1.0f);
    EXPECT_EQ(b.box.BarAlpha(), 0.0f);
}

TEST(Sandbox, HalfAMeterOfNineteenLightsNineElementsAndHalfTheTenth)
{
    NullRig rig;
    SmallBox b;
    b.box.ApplySettings(SandboxSettings{}); // 19 elements of 32 x 32, shifted (14, -2)
    b.box.Show(true, 0);
    b.box.SetFull(true, 0.5);
    const int drawsBefore = rig.log().draws;
    ASSERT_TRUE(b.box.RenderBox(FrameTargets{rig.device, rig.vertices, rig.indices}));
    EXPECT_EQ(rig.log().draws - drawsBefore, 3); // glass, frame, bar

    const Vertex* v = DrawnVertices(rig) + rig.vertices->LockStart() + 24; // past the six bands
    // The tenth element, half lit.
    EXPECT_FLOAT_EQ(v[0].x, 14 + 9 * 32);
    EXPECT_FLOAT_EQ(v[0].y, -2);
    EXPECT_FLOAT_EQ(v[2].x, 14 + 10 * 32);
    EXPECT_FLOAT_EQ(v[2].y, -34);
    EXPECT_EQ(Alpha(v[0].color), 127);
    EXPECT_EQ(v[0].color & 0xffffff, 0x01ddffu);
    // Nine elements in one quad, the element texture repeated nine times.
    EXPECT_FLOAT_EQ(v[4].x, 14);
    EXPECT_FLOAT_EQ(v[6].x, 14 + 9 * 32);
    EXPECT_FLOAT_EQ(v[6].u, 9);
    EXPECT_EQ(Alpha(v[4].color), 255);
}

TEST(Sandbox, TheBarIsLeftOutOnceFadedAndTheBandsTakeTheFade)
{
    NullRig rig;
    SmallBox b;
    SandboxSettings settings;
    settings.glassColor = 0x806cc8f7;
    b.box.ApplySettings(settings);
    b.box.SetFull(false, 0);
    b.box.Update(1.0f); // the bar has faded
    b.box.Show(true, 4);
    b.box.Update(0.125f); // half faded in
    const int drawsBefore = rig.log().draws;
    ASSERT_TRUE(b.box.RenderBox(FrameTargets{rig.device, rig.vertices, rig.indices}));
    EXPECT_EQ(rig.log().draws - drawsBefore, 2);
    const Vertex* v = DrawnVertices(rig) + rig.vertices->LockStart();
    EXPECT_EQ(Alpha(v[0].color), 64);   // the glass's own alpha, faded
    EXPECT_EQ(Alpha(v[12].color), 127); // the frame
    // The bands lie side by side from the front shift, 42 high.
    EXPECT_FLOAT_EQ(v[0].x, -9);
    EXPECT_FLOAT_EQ(v[0].y, 4);
    EXPECT_FLOAT_EQ(v[3].y, 4 - 42);
    EXPECT_FLOAT_EQ(v[9].x, -9 + 242 + 176 + 240);
}

TEST(Sandbox, TheSandIsOneStripFromTheBottomToTheShownLevels)
{
    NullRig rig;
    SmallBox b;
    b.field->flowFactor = 0;
    b.field->Pour(0.5 / 11, 10); // half a column in the last one
    b.field->Update(1.0f);       // the board runs the heightfield
    b.box.Show(true, 0);
    b.box.Update(1.0f);
    rig.device->SetRenderState(D3DRS_ZWRITEENABLE, 0);
    rig.log().calls.clear();
    ASSERT_TRUE(b.box.RenderSand(FrameTargets{rig.device, rig.vertices, rig.indices}));
    EXPECT_EQ(rig.log().Count("DrawIndexedPrimitive 5 "), 1u); // a triangle strip
    EXPECT_EQ(rig.log().primitives, 20);
    EXPECT_EQ(rig.log().Count("SetRenderState 14 1"), 1u); // the sand writes depth
    uint32_t depthWrites = 1;
    rig.device->GetFrameRenderState(D3DRS_ZWRITEENABLE, &depthWrites);
    EXPECT_EQ(depthWrites, 0u); // the later draws get it as the frame had it

    const Vertex* v = DrawnVertices(rig) + rig.vertices->LockStart();
    const double level = b.field->DisplayLevels()[10];
    ASSERT_GT(level, 0.0);
    EXPECT_FLOAT_EQ(v[20].x, 100); // bottom of the last column
    EXPECT_FLOAT_EQ(v[20].y, -10);
    EXPECT_FLOAT_EQ(v[20].u, 2.5f);
    EXPECT_FLOAT_EQ(v[20].v, 0.5f); // everyday sand: the upper half
    EXPECT_FLOAT_EQ(v[21].y, static_cast<float>(-10 + 10 * level));
    EXPECT_FLOAT_EQ(v[21].v, static_cast<float>(0.5 - 0.5 * level));
    EXPECT_EQ(v[21].color, 0xffffffffu);

    b.box.SetFull(true, 0);
    ASSERT_TRUE(b.box.RenderSand(FrameTargets{rig.device, rig.vertices, rig.indices}));
    v = DrawnVertices(rig) + rig.vertices->LockStart();
    EXPECT_FLOAT_EQ(v[0].v, 1.0f); // frenzy sand: the lower half
    EXPECT_FLOAT_EQ(v[1].v, 0.5f);
    EXPECT_FLOAT_EQ(v[1].y, 0);
}

TEST(Sandbox, ColumnsAreLaidOutAgainWhenTheHeightfieldChangesItsCount)
{
    NullRig rig;
    SmallBox b;
    b.field->SetColumnCount(80);
    rig.log().primitives = 0;
    ASSERT_TRUE(b.box.RenderSand(FrameTargets{rig.device, rig.vertices, rig.indices}));
    EXPECT_EQ(rig.log().primitives, 158);
    EXPECT_EQ(b.box.Geometry()->Columns(), 80);
    EXPECT_FLOAT_EQ(b.box.Geometry()->bases.back().x, 100);
}

TEST(Sandbox, PourPathsLeaveOutRunsThatTakeNoTimeOrForever)
{
    CPourPath path;
    path.Build({Vec2{0, 0}, Vec2{0, 32}, Vec2{0, 32}, Vec2{-64, 32}}, 32);
    EXPECT_FLOAT_EQ(path.Duration(), 3.0f);
    const Vec3 middle = path.PointAt(0.5f);
    EXPECT_FLOAT_EQ(middle.y, 16);
    const Vec3 end = path.PointAt(10.0f);
    EXPECT_FLOAT_EQ(end.x, -64);
    EXPECT_FLOAT_EQ(end.y, 32);

    for (float speed : {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN()}) {
        path.Build({Vec2{0, 32}, Vec2{-64, 32}}, speed);
        EXPECT_EQ(path.Duration(), 0.0f);
        const Vec3 p = path.PointAt(1.0f);
        EXPECT_EQ(p.x, 0.0f);
        EXPECT_EQ(p.y, 0.0f);
    }
}

TEST(SandboxSettings, SkinKeysAreConvertedAndCheckedAsTheyAreRead)
{
    testing_support::ScratchDir dir;
    const std::string skin = dir.File("Skin.cfg");
    testing_support::WriteText(skin, "[FieldQuest]\n"
                                     "SandboxCoord=192 700\n"
                                     "SandboxSize=0 -4\n"
                                     "SandboxFrontShift=-9 -4\n"
                                     "SandboxGlassColor=300 200 -20 128\n"
                                     "SandboxSegments=1\n"
                                     "SandboxSandInGravity=nan\n"
                                     "SandboxSandPathCount=3\n"
                                     "SandboxSandPathPoint0=0 -16\n"
                                     "SandboxSandPathPoint1=-40 -16\n"
                                     "SandboxSandColor=200 150 90 51\n"
                                     "SandboxDustSpeed=60\n"
                                     "SandboxDustSize=12\n"
                                     "SandboxFrenzyBarColor=255 200 0 128\n"
                                     "SandboxFrenzyBarShift=10 4\n"
                                     "SandboxFrenzyBarCount=500\n"
                                     "SandboxFrenzyBarPostTime=0\n");
    SandboxSettings s;
    s.Load(skin);
    EXPECT_FLOAT_EQ(s.origin.x, 192 - 512);
    EXPECT_FLOAT_EQ(s.origin.y, 384 - 700);
    EXPECT_FLOAT_EQ(s.size.x, 640); // no size: the default
    EXPECT_FLOAT_EQ(s.size.y, 32);
    EXPECT_FLOAT_EQ(s.frontShift.y, 4);
    EXPECT_EQ(s.glassColor, 0x80ffc800u); // each component kept in its byte
    EXPECT_EQ(s.columns, 2);
    EXPECT_FLOAT_EQ(s.inGravity, 5);
    ASSERT_EQ(s.pathPoints.size(), 3u);
    EXPECT_FLOAT_EQ(s.pathPoints[0].y, 16);
    EXPECT_FLOAT_EQ(s.pathPoints[1].x, -40);
    EXPECT_FLOAT_EQ(s.pathPoints[2].x, 0); // missing: "0 0"
    EXPECT_EQ(s.sandColor, 0xffc8965au);
    EXPECT_FLOAT_EQ(s.sandAlpha, 0.2f);
    EXPECT_FLOAT_EQ(s.dustSpeedSpread, 30);
    EXPECT_FLOAT_EQ(s.dustSizeSpread, 6);
    EXPECT_EQ(s.barColor, 0x00ffc800u);
    EXPECT_NEAR(s.barAlpha, 128 / 255.0, 1e-6);
    EXPECT_FLOAT_EQ(s.barShift.y, -4);
    EXPECT_EQ(s.barElements, 64);
    EXPECT_FLOAT_EQ(s.barPostTime, 0.25f);

    struct Case {
        const char* text;
        int columns, points, elements;
    };
    for (const Case& c :
         {Case{"SandboxSegments=5000\nSandboxSandPathCount=-3\nSandboxFrenzyBarCount=0\n", 1024, 0, 1},
          Case{"SandboxSegments=-7\nSandboxSandPathCount=1000\nSandboxFrenzyBarCount=-2\n", 2, 64, 1}}) {
        testing_support::WriteText(skin, std::string("[FieldQuest]\n") + c.text);
        s.Load(skin);
        EXPECT_EQ(s.columns, c.columns) << c.text;
        EXPECT_EQ(s.pathPoints.size(), static_cast<size_t>(c.points)) << c.text;
        EXPECT_EQ(s.barElements, c.elements) << c.text;
    }
}
