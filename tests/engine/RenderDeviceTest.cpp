#include "RenderTestSupport.h"
#include "TestSupport.h"

#include "engine/BitmapFont.h"
#include "engine/SceneRenderer.h"
#include "platform/D3DX.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace d3d;
using testing_support::ScratchDir;

TEST(RenderDeviceCache, RepeatedValueMakesOneCallAndAFailureForgetsTheValue)
{
    NullRig rig;
    const size_t before = rig.log().Count("SetRenderState 27 ");
    rig.device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    rig.device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    EXPECT_EQ(rig.log().Count("SetRenderState 27 "), before + 1);

    rig.null().failStateCalls = true;
    rig.device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    EXPECT_EQ(rig.device->stageStates[0][D3DTSS_COLOROP], CRenderDevice::kUnknownState);
    rig.null().failStateCalls = false;
    const size_t calls = rig.log().Count("SetTextureStageState 0 1 7");
    rig.device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    EXPECT_EQ(rig.log().Count("SetTextureStageState 0 1 7"), calls + 1);
}

TEST(RenderDeviceCache, CachesStartFromTheDeviceDefaults)
{
    NullRig rig;
    EXPECT_EQ(rig.device->renderStates[D3DRS_ZENABLE], 1u);
    EXPECT_EQ(rig.device->renderStates[D3DRS_LIGHTING], 1u);
    EXPECT_EQ(rig.device->renderStates[D3DRS_CULLMODE], D3DCULL_CCW);
    EXPECT_EQ(rig.device->stageStates[0][D3DTSS_COLOROP], D3DTOP_MODULATE);
}

TEST(RingLocks, ExactFitAppendsOneMoreDiscardsTooManyFails)
{
    NullRig rig;
    CVertexBuffer& vb = *rig.vertices;
    uint8_t* data = nullptr;
    ASSERT_EQ(vb.Lock(1000, &data, 0), D3D_OK);
    vb.Unlock();
    ASSERT_EQ(vb.Lock(NullRig::capacity - 1000, &data, 0), D3D_OK);
    EXPECT_EQ(vb.LockStart(), 1000u);
    EXPECT_EQ(rig.log().calls.back(), "LockVB 32000 " + std::to_string((NullRig::capacity - 1000) * 32) + " 4096");
    vb.Unlock();
    ASSERT_EQ(vb.Lock(1, &data, 0), D3D_OK);
    EXPECT_EQ(vb.LockStart(), 0u);
    EXPECT_EQ(rig.log().calls.back(), "LockVB 0 32 8192");
    vb.Unlock();
    // A batch larger than the whole buffer is refused, not written past it.
    EXPECT_TRUE(Failed(vb.Lock(NullRig::capacity + 1, &data, 0)));
    EXPECT_EQ(vb.writePosition, 1u);
    EXPECT_EQ(vb.outstandingLocks, 0);

    CIndexBuffer& ib = *rig.indices;
    ASSERT_EQ(ib.Lock(6, &data, 1), D3D_OK); // forced discard
    EXPECT_EQ(rig.log().calls.back(), "LockIB 0 12 8192");
    ib.Unlock();
}

TEST(RingLocks, LockWithoutBufferFailsAsADeviceCall)
{
    CVertexBuffer vb;
    uint8_t* data = nullptr;
    EXPECT_EQ(vb.Lock(4, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb.Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb.outstandingLocks, 0);
    CIndexBuffer ib;
    EXPECT_EQ(ib.Lock(6, &data, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(ib.Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(ib.writePosition, 0u);
}

TEST(TextureRegistry, LookupsAreExactAndRemovalIgnoresBadIndices)
{
    NullRig rig;
    for (const char* name : {"Dust2", "dust", "Dust"})
        ASSERT_TRUE(rig.device->CreateTexture(name, 4, 4, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8));
    EXPECT_EQ(rig.device->FindTextureIndex("Dust"), 2);
    EXPECT_EQ(rig.device->FindTextureIndex("Dus"), -1);
    EXPECT_EQ(rig.device->FindTexture("dust"), rig.device->textures[1]);
    rig.device->RemoveTexture(-1);
    rig.device->RemoveTexture(3);
    EXPECT_EQ(rig.device->textures.size(), 3u);
    rig.device->RemoveTexture(0);
    EXPECT_EQ(rig.device->FindTextureIndex("Dust"), 1);
}

TEST(TextureRegistry, CandidateFormatsFallBackToUnknown)
{
    NullRig rig;
    rig.direct3d.textureFormats = {D3DFMT_A4R4G4B4, D3DFMT_A8R8G8B8};
    EXPECT_EQ(rig.device->ChooseFormat({D3DFMT_A1R5G5B5, D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4}), D3DFMT_A8R8G8B8);
    EXPECT_EQ(rig.device->ChooseFormat({D3DFMT_A8L8, D3DFMT_A4L4}), D3DFMT_UNKNOWN);
}

namespace {
void WritePicture(const std::string& path, uint32_t w, uint32_t h, uint32_t argb)
{
    ASSERT_TRUE(WritePngFile(path, w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, argb)));
}
} // namespace

TEST(AlphaCompanion, GreyCompanionBecomesAlphaAndOtherSizesAreRejected)
{
    NullRig rig;
    ScratchDir dir;
    WritePicture(dir.File("Dust.png"), 8, 4, 0xFF204080);
    WritePicture(dir.File("Dust_alpha.png"), 8, 4, 0xFF7F7F7F);
    auto texture = rig.device->LoadTextureForAlpha(dir.File("Dust.png"), "Dust", 1, 0, D3DPOOL_MANAGED);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->alphaCompanion, 1);
    EXPECT_EQ(texture->description.Format, D3DFMT_A8R8G8B8);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->texture->LockRect(0, &locked, 0), D3D_OK);
    uint32_t pixel;
    std::memcpy(&pixel, locked.pBits, 4);
    texture->texture->UnlockRect(0);
    EXPECT_EQ(pixel, 0x7F204080u);

    // A companion of another size would be read out of bounds: the pair fails.
    WritePicture(dir.File("Mist.png"), 8, 4, 0xFF204080);
    WritePicture(dir.File("Mist_alpha.png"), 4, 4, 0xFFFFFFFF);
    EXPECT_FALSE(rig.device->LoadTextureForAlpha(dir.File("Mist.png"), "Mist", 0, 0, D3DPOOL_MANAGED));
    EXPECT_EQ(rig.device->FindTextureIndex("Mist"), -1);
    CTexture bare;
    EXPECT_EQ(bare.LoadWithAlphaCompanion(&rig.null(), ".png", "X", 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8),
              D3DERR_INVALIDCALL);
}

TEST(AlphaCompanion, PixelFormatsFollowTheirBitLayout)
{
    PixelFormatInfo info;
    info.Describe(D3DFMT_A4R4G4B4);
    EXPECT_EQ(info.alpha.mask, 0xF000u);
    EXPECT_EQ(info.red.shift, 8u);
    info.Describe(D3DFMT_A8L8);
    EXPECT_EQ(info.green.mask, 0xFFu);
    EXPECT_EQ(info.red.bits, 0u);
    info.Describe(D3DFMT_D16); // unknown: unchanged
    EXPECT_EQ(info.format, D3DFMT_A8L8);
}

TEST(FontFile, ExactSizeLoadsOneByteLessFails)
{
    ScratchDir dir;
    std::vector<unsigned char> bytes(12312, 0);
    const int32_t header[4] = {256, 256, 29, 24};
    std::memcpy(bytes.data(), header, sizeof header);
    const float fifth = 99.0f, advance = 0.3f;
    std::memcpy(&bytes[16], &fifth, 4);
    std::memcpy(&bytes[24 + 32 * 48 + 24], &advance, 4);
    testing_support::WriteBytes(dir.File("Full.vfd"), bytes);
    bytes.push_back(7);
    testing_support::WriteBytes(dir.File("Long.vfd"), bytes);
    bytes.resize(12311);
    testing_support::WriteBytes(dir.File("Short.vfd"), bytes);

    CBitmapFont font{CountedHandle<CTexture>()};
    EXPECT_EQ(ReadFontFile(&font, dir.File("Full.vfd")), 1);
    EXPECT_FLOAT_EQ(font.spaceAdvance, 0.3f);
    EXPECT_FLOAT_EQ(font.header3f, 24.0f);
    EXPECT_EQ(ReadFontFile(&font, dir.File("Long.vfd")), 1);
    EXPECT_EQ(ReadFontFile(&font, dir.File("Short.vfd")), 0);
}

// A damaged descriptor's metrics are held to what a text can be laid out
// with: not finite reads as 0, measures within 16 character sizes, texture
// coordinates within the picture.
TEST(FontFile, DamagedMetricsAreHeldInRange)
{
    ScratchDir dir;
    std::vector<unsigned char> bytes(12312, 0);
    auto put = [&](size_t offset, float value) { std::memcpy(&bytes[offset], &value, 4); };
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const size_t a = 24 + 'A' * 48, space = 24 + 32 * 48;
    put(20, nan);          // the fixed advance
    put(a + 0, 3.0e38f);   // width
    put(a + 8, -inf);      // x offset
    put(a + 24, 1.25f);    // advance, as it is
    put(a + 28, nan);      // u0
    put(a + 36, 7.0f);     // u1
    put(a + 44, -1.0e30f); // y offset
    put(space + 24, inf);  // the space's advance
    testing_support::WriteBytes(dir.File("Bad.vfd"), bytes);

    CBitmapFont font{CountedHandle<CTexture>()};
    ASSERT_EQ(ReadFontFile(&font, dir.File("Bad.vfd")), 1);
    const GlyphRecord& g = font.glyphs[static_cast<size_t>('A')];
    EXPECT_EQ(font.fixedAdvance, 0.0f);
    EXPECT_EQ(g.width, 16.0f);
    EXPECT_EQ(g.xOffset, 0.0f);
    EXPECT_EQ(g.advance, 1.25f);
    EXPECT_EQ(g.u0, 0.0f);
    EXPECT_EQ(g.u1, 1.0f);
    EXPECT_EQ(g.yOffset, -16.0f);
    EXPECT_EQ(font.spaceAdvance, 0.0f);
}

TEST(FontFile, ListStopsAtTheFirstEmptyLineAndAcceptsQuotedNames)
{
    NullRig rig;
    ScratchDir dir;
    WritePicture(dir.File("A.tga"), 4, 4, 0xFFFFFFFF);
    testing_support::WriteBytes(dir.File("A.vfd"), std::vector<unsigned char>(12312, 0));
    testing_support::WriteText(dir.File("AdditionalFonts.lst"), "  \"A\" \nA\n\nA\n");
    std::vector<CountedHandle<CBitmapFont>> fonts;
    std::vector<std::string> errors;
    EXPECT_EQ(LoadFontSet(*rig.device, dir.Path(), &fonts, &errors), 2);
    EXPECT_TRUE(errors.empty());
    EXPECT_GE(rig.device->FindTextureIndex("___Font_A"), 0);

    testing_support::WriteText(dir.File("AdditionalFonts.lst"), "A\nB\n");
    fonts.clear();
    EXPECT_EQ(LoadFontSet(*rig.device, dir.Path(), &fonts, &errors), 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.back(), "Unable to load Texture B");

    // A name that reaches outside the fonts folder is refused, not followed.
    ScratchDir fontsFolder;
    WritePicture(dir.File("Out.tga"), 4, 4, 0xFFFFFFFF);
    testing_support::WriteBytes(dir.File("Out.vfd"), std::vector<unsigned char>(12312, 0));
    const std::string up = "../" + dir.Path().substr(dir.Path().rfind('/', dir.Path().size() - 2) + 1) + "Out";
    testing_support::WriteText(fontsFolder.File("AdditionalFonts.lst"), up + "\n");
    fonts.clear();
    EXPECT_EQ(LoadFontSet(*rig.device, fontsFolder.Path(), &fonts, &errors), 0);
    EXPECT_EQ(errors.back(), "Refused font name " + up);
}

TEST(Viewports, CentredFourByThreeInsideTheBackBuffer)
{
    struct Case {
        int w, h;
        uint32_t x, width;
    };
    for (const Case& c : {Case{1280, 768, 128, 1024}, Case{800, 600, 0, 800}, Case{640, 600, 0, 640}}) {
        D3DVIEWPORT8 full, centred;
        CSceneRenderer::ComputeViewports(c.w, c.h, &full, &centred);
        EXPECT_EQ(centred.X, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(centred.Width, c.width) << c.w << "x" << c.h;
        EXPECT_EQ(full.Width, static_cast<uint32_t>(c.w));
    }
}

// A texture object destroyed may leave its address to the next one made, so
// a cached binding is not trusted across a destruction.
TEST(RenderDeviceCache, ABindingIsMadeAgainOnceAnyTextureWasDestroyed)
{
    NullRig rig;
    auto a = rig.device->CreateTexture("A", 4, 4, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    auto b = rig.device->CreateTexture("B", 4, 4, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    ASSERT_TRUE(a && b);
    rig.device->SetTexture(0, a);
    const size_t calls = rig.log().Count("SetTexture 0");
    rig.device->SetTexture(0, a);
    EXPECT_EQ(rig.log().Count("SetTexture 0"), calls);
    b->ReleaseD3DResource();
    rig.device->SetTexture(0, a);
    EXPECT_EQ(rig.log().Count("SetTexture 0"), calls + 1);
}

namespace {

uint32_t DeviceRenderState(NullRig& rig, D3DRENDERSTATETYPE state)
{
    uint32_t value = 0;
    rig.null().GetRenderState(state, &value);
    return value;
}

uint32_t DeviceStageState(NullRig& rig, uint32_t stage, D3DTEXTURESTAGESTATETYPE type)
{
    uint32_t value = 0;
    rig.null().GetTextureStageState(stage, type, &value);
    return value;
}

// The frame's usual states, as the frame renderer sets them.
void FrameStates(CRenderDevice& device)
{
    device.ModulateTextureByVertexColour(0);
    device.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device.SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device.SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device.SetRenderState(D3DRS_ZWRITEENABLE, 0);
}

} // namespace

TEST(DrawPasses, APassesStatesComeBackForTheNextDrawUnlessSetSince)
{
    NullRig rig;
    CRenderDevice& device = *rig.device;
    FrameStates(device);
    PassState sheen;
    sheen.blend = PassBlend::Add();
    sheen.texturing = PassTexturing::LitBySecond;
    sheen.depth = PassDepth::Write;
    sheen.clampSecond = true;
    ASSERT_EQ(device.DrawPass(sheen, PassDraw::Quads(0, 0, 1)), D3D_OK);
    EXPECT_EQ(DeviceRenderState(rig, D3DRS_DESTBLEND), D3DBLEND_ONE);
    EXPECT_EQ(DeviceStageState(rig, 1, D3DTSS_ADDRESSU), D3DTADDRESS_CLAMP);
    uint32_t frameDepth = 7;
    device.GetFrameRenderState(D3DRS_ZWRITEENABLE, &frameDepth);
    EXPECT_EQ(frameDepth, 0u);

    // A setter in between settles its state: no call back for it.
    device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    const size_t sourceCalls = rig.log().Count("SetRenderState 19 ");
    device.DrawIndexed(D3DPT_TRIANGLELIST, 0, 4, 0, 2);
    EXPECT_EQ(rig.log().Count("SetRenderState 19 "), sourceCalls);
    EXPECT_EQ(DeviceRenderState(rig, D3DRS_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(DeviceRenderState(rig, D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(DeviceRenderState(rig, D3DRS_ZWRITEENABLE), 0u);
    EXPECT_EQ(DeviceRenderState(rig, D3DRS_ALPHATESTENABLE), 0u);
    EXPECT_EQ(DeviceStageState(rig, 0, D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(DeviceStageState(rig, 1, D3DTSS_COLOROP), D3DTOP_DISABLE);
    // Stage 1 is off for that draw: its addressing waits for a draw it can change.
    EXPECT_EQ(DeviceStageState(rig, 1, D3DTSS_ADDRESSU), D3DTADDRESS_CLAMP);
    device.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device.DrawIndexed(D3DPT_TRIANGLELIST, 0, 4, 0, 2);
    EXPECT_EQ(DeviceStageState(rig, 1, D3DTSS_ADDRESSU), D3DTADDRESS_WRAP);
}

TEST(DrawPasses, PassesNextToEachOtherMakeNoCallsBackAndForth)
{
    PassState chains;
    chains.texturing = PassTexturing::AlphaFromSecond;
    PassState dust;
    dust.texturing = PassTexturing::Masked;
    dust.blend = PassBlend::Additive();
    PassState plain;
    plain.alphaTest = false;
    plain.blend = PassBlend::Opaque();
    // What a pass changed and the opaque pass after it cannot see stays as
    // it is: stage 1's arguments while stage 1 is off, the blend factors
    // while blending is. Then the next frame's pass needs no call to set them
    // again.
    const struct {
        const PassState* pass;
        const char* untouched;
    } cases[] = {{&chains, "SetTextureStageState 1 2 "}, {&dust, "SetRenderState 20 "}};
    for (const auto& c : cases) {
        NullRig rig;
        CRenderDevice& device = *rig.device;
        FrameStates(device);
        device.DrawPass(*c.pass, PassDraw::Quads(0, 0, 1));
        device.DrawPass(plain, PassDraw::Quads(0, 0, 1));
        const size_t before = rig.log().Count(c.untouched);
        const size_t stateCalls = rig.log().Count("SetRenderState ") + rig.log().Count("SetTextureStageState ");
        device.DrawPass(*c.pass, PassDraw::Quads(0, 0, 1));
        device.DrawPass(plain, PassDraw::Quads(0, 0, 1));
        EXPECT_EQ(rig.log().Count(c.untouched), before) << c.untouched;
        const size_t secondRound =
            rig.log().Count("SetRenderState ") + rig.log().Count("SetTextureStageState ") - stateCalls;
        device.DrawPass(*c.pass, PassDraw::Quads(0, 0, 1));
        device.DrawPass(plain, PassDraw::Quads(0, 0, 1));
        EXPECT_EQ(rig.log().Count("SetRenderState ") + rig.log().Count("SetTextureStageState ") - stateCalls,
                  2 * secondRound);
    }
}

TEST(DrawPasses, AResetTakesTheOwedStatesBack)
{
    NullRig rig;
    CRenderDevice& device = *rig.device;
    FrameStates(device);
    PassState pass;
    pass.depth = PassDepth::Write;
    device.DrawPass(pass, PassDraw::Quads(0, 0, 1));
    ASSERT_EQ(device.Reset(), D3D_OK);
    EXPECT_EQ(device.renderStates[D3DRS_ZWRITEENABLE], 0u);
    EXPECT_EQ(DeviceRenderState(rig, D3DRS_ZWRITEENABLE), 0u);
    EXPECT_EQ(DeviceRenderState(rig, D3DRS_ALPHATESTENABLE), 0u);
}

// A picture registered by its file's header has its size and kind at once
// and its pixels when it is first drawn with; a file that is no picture is
// not registered.
TEST(TextureRegistry, APictureRegisteredByItsHeaderLoadsWhenFirstDrawn)
{
    NullRig rig;
    ScratchDir dir;
    const std::string file = dir.File("Picture.png");
    ASSERT_TRUE(WritePngFile(file, 8, 4, std::vector<uint32_t>(32, 0x80FF0000u)));
    testing_support::WriteText(dir.File("Broken.png"), "\x89PNG not really");
    EXPECT_FALSE(
        rig.device->RegisterTexture(dir.File("Broken.png"), "Broken", 1, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN));
    EXPECT_LT(rig.device->FindTextureIndex("Broken"), 0);

    auto picture = rig.device->RegisterTexture(file, "Picture", 1, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->texture);
    EXPECT_EQ(picture->description.Width, 8u);
    EXPECT_EQ(picture->description.Height, 4u);
    EXPECT_EQ(picture->description.Format, D3DFMT_A8R8G8B8);
    ASSERT_EQ(rig.device->SetTexture(0, picture), D3D_OK);
    ASSERT_TRUE(picture->texture);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(picture->texture->LockRect(0, &locked, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<const uint32_t*>(locked.pBits)[0], 0x80FF0000u);
    picture->texture->UnlockRect(0);
    // Released by its screen, it stays out until the screen brings it back.
    picture->ReleaseD3DResource();
    rig.device->SetTexture(0, picture);
    EXPECT_FALSE(picture->texture);
}

namespace {

// How many times each pixel of a small grid is in one of `rects`.
std::vector<int> Coverage(const std::vector<D3DRECT>& rects, int width, int height)
{
    std::vector<int> hits(static_cast<size_t>(width * height), 0);
    for (const D3DRECT& r : rects)
        for (int y = std::max(r.y1, 0); y < std::min(r.y2, height); ++y)
            for (int x = std::max(r.x1, 0); x < std::min(r.x2, width); ++x)
                ++hits[static_cast<size_t>(y * width + x)];
    return hits;
}

} // namespace

// What is left of an area beside its covers is every pixel outside them
// exactly once, however the covers lie: inside, across an edge, overlapping,
// outside, empty or over everything.
TEST(SceneCut, WhatCoversLeaveIsEveryOtherPixelOnce)
{
    const D3DRECT area{2, 1, 30, 22};
    const std::vector<std::vector<D3DRECT>> cases = {
        {},
        {{10, 5, 20, 15}},
        {{0, 0, 12, 40}, {11, 0, 40, 9}},
        {{5, 5, 15, 15}, {10, 10, 25, 18}, {12, 3, 14, 30}},
        {{40, 40, 50, 50}, {8, 8, 8, 20}, {9, 12, 4, 14}},
        {{0, 0, 40, 40}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        std::vector<D3DRECT> left;
        CSceneRenderer::Uncovered(area, cases[i], &left);
        const std::vector<int> hits = Coverage(left, 40, 40);
        const std::vector<int> covered = Coverage(cases[i], 40, 40);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inArea = x >= area.x1 && x < area.x2 && y >= area.y1 && y < area.y2;
                const size_t at = static_cast<size_t>(y * 40 + x);
                ASSERT_EQ(hits[at], inArea && covered[at] == 0 ? 1 : 0) << "case " << i << " at " << x << "," << y;
            }
    }
    // One cover in the middle leaves a band above, two beside it and one
    // below: bands that run on alike are one rectangle.
    std::vector<D3DRECT> left;
    CSceneRenderer::Uncovered(area, cases[1], &left);
    EXPECT_EQ(left.size(), 4u);
}

// A cut draw is made once per rectangle, each behind its scissor, which is
// off again after it; a cut to nothing draws nothing.
TEST(SceneCut, ACutDrawIsMadeOncePerRectangle)
{
    NullRig rig;
    rig.device->CutDrawsTo({{0, 0, 10, 10}, {20, 0, 30, 10}});
    const int draws = rig.log().draws;
    rig.device->DrawIndexed(D3DPT_TRIANGLELIST, 0, 4, 0, 2);
    EXPECT_EQ(rig.log().draws, draws + 2);
    const std::vector<std::string>& calls = rig.log().calls;
    const std::vector<std::string> expected = {"SetScissorRect 0 0 10 10", "SetScissorRect 20 0 30 10",
                                               "SetScissorRect off"};
    std::vector<std::string> scissors;
    for (const std::string& call : calls)
        if (call.rfind("SetScissorRect", 0) == 0)
            scissors.push_back(call);
    EXPECT_EQ(scissors, expected);
    EXPECT_FALSE(rig.null().scissorOn);

    rig.device->CutDrawsTo({});
    rig.device->DrawPass(PassState{}, PassDraw::Quads(0, 0, 1));
    EXPECT_EQ(rig.log().draws, draws + 2);
    rig.device->StopCutting();
    rig.device->DrawPass(PassState{}, PassDraw::Quads(0, 0, 1));
    EXPECT_EQ(rig.log().draws, draws + 3);
    EXPECT_FALSE(rig.null().scissorOn);
}
