// The board mesh's fades, colours and batches, and the board shake.
#include "board/BoardMesh.h"
#include "board/BoardShake.h"
#include "engine/RenderTestSupport.h"
#include "engine/Vertex.h"
#include "platform/MemoryResources.h"
#include "platform/System.h"

#include <gtest/gtest.h>

namespace {

FramePiece Piece(int32_t texture, int32_t method, uint32_t colour)
{
    FramePiece p;
    p.rect = Vec4{0, 0, 10, 10};
    p.texture = texture;
    p.method = method;
    p.colour = colour;
    return p;
}

} // namespace

TEST(Mesh, ShowAndHideFadeAtTheirRate)
{
    CBoardMesh mesh;
    mesh.Show(false, 0.0f);
    EXPECT_FALSE(mesh.IsShown());
    mesh.Show(true, 2.0f);
    for (int i = 0; i < 5; ++i)
        mesh.Update(0.1f);
    EXPECT_NEAR(mesh.Opacity(), 1.0f, 1e-5f);
    mesh.Update(0.1f);
    EXPECT_EQ(mesh.Opacity(), 1.0f);
    mesh.Show(false, 4.0f);
    mesh.Update(0.2f);
    EXPECT_TRUE(mesh.IsShown());
    mesh.Update(0.05f);
    EXPECT_FALSE(mesh.IsShown());
    mesh.Show(true, 0.0f);
    EXPECT_EQ(mesh.Opacity(), 1.0f);
}

TEST(Mesh, BatchesBindEachTextureOnceAndSkipUnknownTextures)
{
    NullRig rig;
    CBoardMesh mesh;
    auto texture = rig.device->CreateTexture("T", 8, 8, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
    mesh.textures = {texture};
    // Kind 0 and kind 1 of one texture are two draws; a piece naming a
    // texture the mesh was not given is left out.
    mesh.Rebuild({Piece(0, 0, 0xFFFFFFFF), Piece(0, 1, 0xFFFFFFFF), Piece(3, 0, 0xFFFFFFFF)});
    const size_t bindsBefore = rig.direct3d.log.Count("SetTexture 0");
    ASSERT_TRUE(mesh.DrawMesh(FrameTargets{rig.device, rig.vertices, rig.indices}));
    EXPECT_EQ(rig.direct3d.log.Count("DrawIndexedPrimitive"), 2u);
    EXPECT_EQ(rig.direct3d.log.Count("SetTexture 0") - bindsBefore, 1u);
}

TEST(Mesh, DarkeningPiecesScaleTheirColourWithTheOpacity)
{
    NullRig rig;
    CBoardMesh mesh;
    mesh.Rebuild({Piece(0, 2, 0xFFFFFFFF), Piece(0, 0, 0xFFFFFFFF)});
    mesh.Show(false, 2.0f);
    mesh.Update(0.25f);
    mesh.SetOffset(100, 50, 0);
    ASSERT_TRUE(mesh.DrawMesh(FrameTargets{rig.device, rig.vertices, rig.indices}));
    auto* memory = dynamic_cast<d3d::MemoryVertexBuffer*>(rig.vertices->buffer.get());
    const Vertex* v = reinterpret_cast<const Vertex*>(memory->data.data()) + rig.vertices->LockStart();
    EXPECT_EQ(v[0].color, 0x7F7F7F7Fu);
    EXPECT_EQ(v[4].color, 0x7FFFFFFFu);
    EXPECT_FLOAT_EQ(v[2].x, 110.0f); // the piece's y grows downwards
    EXPECT_FLOAT_EQ(v[2].y, 40.0f);
}

TEST(Shake, ImpulsesAreCappedAndDieAwayWithinASecond)
{
    plat::SeedRandom(2);
    CBoardShake shake;
    shake.AddImpulse(5.0f);
    shake.AddImpulse(5.0f);
    EXPECT_EQ(shake.Amplitude(), 8.0f);
    int ends = 0, frames = 0;
    for (; frames < 200 && ends == 0; ++frames)
        ends += shake.Update(1.0f / 60.0f) ? 1 : 0;
    EXPECT_NEAR(frames, 60, 1);
    EXPECT_FALSE(shake.Update(1.0f / 60.0f)); // it ends once
    EXPECT_EQ(shake.Offset().x, 0.0f);
}

TEST(Shake, DirectionChangesThirtyTimesASecondButOncePerFrameAtMost)
{
    plat::SeedRandom(3);
    CBoardShake shake;
    shake.AddImpulse(8.0f);
    int changes = 0;
    for (int frame = 0; frame < 20; ++frame) {
        const float angle = shake.Angle();
        shake.Update(1.0f / 60.0f);
        changes += shake.Angle() != angle ? 1 : 0;
    }
    EXPECT_EQ(changes, 10);
    const float angle = shake.Angle();
    shake.Update(0.1f);
    EXPECT_NE(shake.Angle(), angle);
    EXPECT_GE(shake.Angle(), 0.0f);
    EXPECT_LT(shake.Angle(), 6.2831855f);
    shake.Stop();
    EXPECT_TRUE(shake.Update(0.0f));
    EXPECT_FALSE(shake.IsShaking());
}
