// The caps renderer on the recording null device: draw order, batches,
// the light under the pointer, chains and texture sets.
#include "tokens/CapsRenderer.h"
#include "engine/RenderTestSupport.h"
#include "engine/Vertex.h"
#include "platform/MemoryResources.h"

#include <gtest/gtest.h>

namespace {

class Caps : public ::testing::Test {
protected:
    void SetUp() override
    {
        caps = MakeCountedHandle(new CCapsRenderer(rig.device, rig.vertices, rig.indices));
        ASSERT_TRUE(caps->LoadTextures("Data\\Gfx\\"));
        ASSERT_TRUE(caps->LoadAnimations("Data\\"));
    }
    size_t Draws() const { return rig.direct3d.log.Count("DrawIndexedPrimitive"); }
    // The vertices the last lock of the shared buffer received.
    const Vertex* Written() const
    {
        auto* memory = dynamic_cast<d3d::MemoryVertexBuffer*>(rig.vertices->buffer.get());
        return reinterpret_cast<const Vertex*>(memory->data.data()) + rig.vertices->LockStart();
    }

    NullRig rig;
    CountedHandle<CCapsRenderer> caps;
};

} // namespace

TEST_F(Caps, OneLayerGroupsItsTexturesSoEachIsOneDraw)
{
    // Plain and gem caps alternate as they are made.
    for (int i = 0; i < 6; ++i)
        caps->CreateCap(i % 2 ? 50 + i : i, 0, 0, 0, 32, 0);
    ASSERT_EQ(caps->Caps().size(), 6u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(caps->Caps()[i]->type >= 50, i >= 3) << i;
    EXPECT_EQ(caps->Render(), 12);
    EXPECT_EQ(Draws(), 2u);
}

TEST_F(Caps, HigherLayersComeFirstAndResortKeepsRunsTogether)
{
    auto a = caps->CreateCap(0, 0, 0, 0, 32, 0);
    auto b = caps->CreateCap(51, 0, 0, 0, 32, 0);
    auto c = caps->CreateCap(2, 0, 0, 0, 32, 0);
    auto high = caps->CreateCap(3, 0, 0, 0, 32, 1);
    EXPECT_EQ(caps->Caps().front(), high);
    // A swapping cap goes below its layer, then comes back beside its kind.
    a->layer = -1;
    EXPECT_EQ(caps->ResortCap(a), 3);
    a->layer = 0;
    caps->ResortCap(a);
    EXPECT_EQ(caps->Caps()[1], c);
    EXPECT_EQ(caps->Caps()[2], a);
    EXPECT_EQ(caps->Caps()[3], b);

    // A gem changes the texture: the cap joins the gem caps.
    caps->SetCapGem(c, true);
    EXPECT_EQ(c->type, 52);
    EXPECT_EQ(caps->Caps()[2], c);
    EXPECT_EQ(c->baseTexture, caps->Texture(CCapsRenderer::kCapsGem));
    caps->SetCapGem(c, true); // already a gem cap: nothing happens
    EXPECT_EQ(c->type, 52);

    EXPECT_EQ(caps->RemoveCap(MakeCountedHandle(new CCap())), -1);
    EXPECT_EQ(caps->Caps().size(), 4u);
    EXPECT_EQ(caps->RemoveCap(high), 0);
}

TEST_F(Caps, NothingVisibleLocksAndDrawsNothing)
{
    auto cap = caps->CreateCap(0, 0, 0, 0, 32, 0);
    cap->visible = 0;
    EXPECT_EQ(caps->Render(), 0);
    EXPECT_EQ(caps->DrawChains(), 0);
    EXPECT_EQ(rig.direct3d.log.Count("LockVB"), 0u);
}

TEST_F(Caps, BadTrackPositionsAndUnknownTypesAreSafe)
{
    auto far = caps->CreateCap(0, 0, 0, 0, 32, 0);
    far->trackPosition = 99;             // shows the track's last frame
    caps->CreateCap(35, 0, 0, 0, 32, 0); // no animation: no quad
    EXPECT_EQ(caps->Render(), 2);
    EXPECT_FLOAT_EQ(Written()[1].u, 0.25f);
}

TEST_F(Caps, LightReachesCapsStrictlyWithinThreeHalfSizes)
{
    struct Case {
        float size, dx;
        bool lit;
    } cases[] = {
        {30, 89.9f, true},
        {30, 90.0f, true}, // 0.111111 is a little under 1/9
        {30, 90.1f, false},
        {0, 0, false}, // equal sides: not lit
    };
    for (const Case& c : cases) {
        auto cap = caps->CreateCap(0, c.dx, 0, 0, c.size, 0);
        cap->hoverLight = 1;
        caps->SetMouse(0, 0);
        caps->Render();
        EXPECT_EQ(cap->lit != 0, c.lit) << c.size << " " << c.dx;
        caps->RemoveCap(cap);
    }
    // The lit cap is drawn twice: its picture, then its sheen with the light.
    auto cap = caps->CreateCap(1, 10, -6, 0, 32, 0);
    cap->hoverLight = 1;
    const size_t before = Draws();
    EXPECT_EQ(caps->Render(), 4);
    EXPECT_EQ(Draws() - before, 2u);
    EXPECT_FLOAT_EQ(Written()[0].u2, 10.0f / 96.0f);
    EXPECT_FLOAT_EQ(Written()[0].v2, 6.0f / 96.0f);
}

TEST_F(Caps, ChainLevelsPickTheirPictureInOneDraw)
{
    // Caps of one kind are listed newest first.
    caps->CreateCap(0, 200, 0, 0, 39, 0);
    auto two = caps->CreateCap(0, 100, 0, 0, 39, 0);
    auto one = caps->CreateCap(0, 0, 0, 0, 39, 0);
    one->chainLevel = 1;
    two->chainLevel = 2;
    EXPECT_EQ(caps->DrawChains(), 2);
    EXPECT_EQ(Draws(), 1u);
    const Vertex* v = Written();
    EXPECT_FLOAT_EQ(v[0].x, -46.0f); // a chain stands out of its cap by 46 / 39
    EXPECT_FLOAT_EQ(v[0].u, 0.0f);
    EXPECT_FLOAT_EQ(v[4].u, 0.359375f);
    EXPECT_FLOAT_EQ(v[5].u, 0.71875f);
}

TEST_F(Caps, TextureSetsSwitchOnlyAfterLoading)
{
    CCapsRenderer fresh(rig.device, rig.vertices, rig.indices);
    EXPECT_FALSE(fresh.SwitchTextureSet(0));
    const size_t creates = rig.direct3d.log.Count("CreateTexture");
    EXPECT_TRUE(caps->SwitchTextureSet(0));
    EXPECT_EQ(rig.direct3d.log.Count("CreateTexture"), creates);
    ASSERT_TRUE(caps->SwitchTextureSet(1));
    EXPECT_FALSE(caps->Texture(CCapsRenderer::kCaps)->texture);
    EXPECT_TRUE(caps->Texture(CCapsRenderer::kMemCaps1)->texture);
    ASSERT_TRUE(caps->SwitchTextureSet(0));
    EXPECT_TRUE(caps->Texture(CCapsRenderer::kCaps)->texture);
    EXPECT_FALSE(caps->Texture(CCapsRenderer::kMemCaps1)->texture);
}
