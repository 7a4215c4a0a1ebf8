#include "RenderTestSupport.h"
#include "TestSupport.h"

#include "engine/Flare.h"
#include "engine/MotionPath.h"
#include "engine/Sprite.h"
#include "engine/SpriteSet.h"
#include "engine/Text.h"
#include "platform/MemoryResources.h"

#include <gtest/gtest.h>

using namespace d3d;

namespace {
CountedHandle<CBitmapFont> TestFont()
{
    auto font = MakeCountedHandle(new CBitmapFont(CountedHandle<CTexture>()));
    for (GlyphRecord& g : font->glyphs) {
        g.width = 0.5f;
        g.height = 1.0f;
        g.advance = 0.5f;
    }
    font->glyphs[static_cast<int>('W')].advance = 1.0f;
    font->spaceAdvance = font->glyphs[32].advance;
    font->fixedAdvance = 0.75f;
    return font;
}
} // namespace

TEST(TextLayout, LinesAlignmentsAndEmptyText)
{
    CText text(TestFont());
    text.SetText("");
    EXPECT_EQ(text.text, " ");
    EXPECT_EQ(text.quads.size(), 1u);

    text.SetCharSize(2.0f, 3.0f);
    text.SetText("aW\nb");
    ASSERT_EQ(text.quads.size(), 3u);
    EXPECT_FLOAT_EQ(text.height, -2 * 1.5f * 3.0f);
    EXPECT_FLOAT_EQ(text.quads[2].y, -1.5f * 3.0f); // second line steps against up
    EXPECT_FLOAT_EQ(text.maxWidth, 3.0f);

    text.alignment = CText::RIGHT;
    text.Relayout();
    EXPECT_FLOAT_EQ(text.minX, -3.0f);
    EXPECT_FLOAT_EQ(text.quads[1].x + 1.0f * 2.0f, 0.0f); // last advance ends at the pen origin
    text.alignment = CText::CENTER;
    text.Relayout();
    EXPECT_FLOAT_EQ(text.quads[0].x, -1.5f);
}

TEST(TextLayout, WordWrapBreaksSoftlyBelowTheNoteWidth)
{
    CText text(TestFont());
    text.noteWidth = 2.0f;
    std::string out;
    text.WordWrap("aa aa", &out);
    EXPECT_EQ(out, "aa\x0b"
                   "aa");
    text.WordWrap("aaaaaa", &out); // a long word breaks by characters
    EXPECT_EQ(out, "aaa\x0b"
                   "aaa");
}

TEST(TextFade, OpaqueThenHalfThenGone)
{
    NullRig rig;
    CTextBatch batch(rig.device, rig.vertices, rig.indices);
    auto text = batch.Add(MakeCountedHandle(new CText(TestFont())));
    text->SetText("a");
    text->fading = 1;
    batch.Update(1.0f);
    EXPECT_EQ(text->quads[0].color >> 24, 255u);
    batch.Update(0.25f);
    EXPECT_EQ(text->quads[0].color >> 24, 127u);
    batch.Update(0.25f);
    EXPECT_TRUE(batch.texts.empty());
}

TEST(TextBatch, DrawsOnlyItsLayerAndLeavesFogAlone)
{
    NullRig rig;
    CTextBatch batch(rig.device, rig.vertices, rig.indices);
    batch.Add(MakeCountedHandle(new CText(TestFont())))->SetText("ab");
    const int draws = rig.log().draws;
    batch.Draw(12345);
    EXPECT_EQ(rig.log().draws, draws);
    EXPECT_EQ(rig.log().Count("SetRenderState 34 "), 0u);
    batch.Draw(-1);
    EXPECT_EQ(rig.log().draws, draws + 1);
    EXPECT_EQ(rig.log().primitives, 4);
}

TEST(TextBatch, FirstGroupTakesTheFirstTextsTextureWhateverItsLayer)
{
    NullRig rig;
    auto fontOn = [&](const char* name) {
        auto font = TestFont();
        font->texture = rig.device->CreateTexture(name, 4, 4, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
        return font;
    };
    auto one = fontOn("One"), two = fontOn("Two");
    CTextBatch batch(rig.device, rig.vertices, rig.indices);
    auto elsewhere = batch.Add(MakeCountedHandle(new CText(one)));
    elsewhere->layer = 12345;
    elsewhere->SetText("a");
    batch.Add(MakeCountedHandle(new CText(two)))->SetText("bb");
    batch.Add(MakeCountedHandle(new CText(one)))->SetText("c");
    const size_t before = rig.log().calls.size();
    batch.Draw(-1);
    std::vector<std::string> draws;
    for (size_t i = before; i < rig.log().calls.size(); ++i)
        if (rig.log().calls[i].rfind("DrawIndexedPrimitive", 0) == 0)
            draws.push_back(rig.log().calls[i].substr(rig.log().calls[i].rfind(' ') + 1));
    // "c" shares the first text's texture and goes first; "bb" is left over.
    EXPECT_EQ(draws, (std::vector<std::string>{"2", "4"}));
}

// Texts of one font and layer that blend alike go in one call; a text is
// laid out again only when it changed: after its string changed it shows
// the new glyphs, and with nothing changed it keeps what it built (the
// font's glyph boxes changed under it here only to show that).
TEST(TextBatch, OneCallAFontAndTextsBuiltAgainOnlyWhenChanged)
{
    NullRig rig;
    auto font = TestFont();
    CTextBatch batch(rig.device, rig.vertices, rig.indices);
    auto first = batch.Add(MakeCountedHandle(new CText(font)));
    first->SetText("ab");
    batch.Add(MakeCountedHandle(new CText(font)))->SetText("c");
    auto drawnWidth = [&] {
        const auto* memory = static_cast<MemoryVertexBuffer*>(rig.vertices->buffer.get());
        const Vertex* v = reinterpret_cast<const Vertex*>(memory->data.data()) + rig.vertices->LockStart();
        return v[1].x - v[0].x;
    };
    int draws = rig.log().draws;
    batch.Draw(-1);
    EXPECT_EQ(rig.log().draws, draws + 1);
    EXPECT_EQ(rig.log().primitives, 6);
    EXPECT_FLOAT_EQ(drawnWidth(), 0.5f);

    font->glyphs[static_cast<int>('a')].width = 2.0f;
    batch.Draw(-1);
    EXPECT_FLOAT_EQ(drawnWidth(), 0.5f);
    first->origin[0] = 3.0f; // moved: built again with the glyph as it is now
    batch.Draw(-1);
    EXPECT_FLOAT_EQ(drawnWidth(), 2.0f);
    first->SetText("xab");
    draws = rig.log().draws;
    batch.Draw(-1);
    EXPECT_EQ(rig.log().draws, draws + 1);
    EXPECT_FLOAT_EQ(drawnWidth(), 0.5f); // "x" comes first now
    EXPECT_EQ(rig.log().primitives, 6 * 3 + 8);
}

TEST(TextHelpers, ParseHex)
{
    EXPECT_EQ(ParseHex("1F"), 31);
    EXPECT_EQ(ParseHex("1G"), 16);
    EXPECT_EQ(ParseHex("0000000123"), 1);
    EXPECT_EQ(ParseHex("ffffffff"), -1);
}

namespace {
CountedHandle<CSprite> MakeSprite(int z, const CountedHandle<CTexture>& texture, int blended = 0)
{
    auto s = MakeCountedHandle(new CSprite(0, 0, 0, 10, 10, 0xFFFFFFFF, texture, blended));
    s->zOrder = z;
    return s;
}
} // namespace

TEST(SpriteRenderer, SameTextureJoinsItsGroupAndDrawsInOneCall)
{
    NullRig rig;
    auto a = rig.device->CreateTexture("A", 4, 4, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    auto b = rig.device->CreateTexture("B", 4, 4, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    CSpriteRenderer renderer(rig.device, rig.vertices, rig.indices);
    auto first = MakeSprite(0, a), other = MakeSprite(0, b), second = MakeSprite(0, a);
    auto back = MakeSprite(5, b);
    renderer.Add(first);
    renderer.Add(other);
    renderer.Add(second);
    renderer.Add(back);
    std::vector<CSprite*> order;
    for (auto& s : renderer.sprites)
        order.push_back(s.Get());
    EXPECT_EQ(order, (std::vector<CSprite*>{back.Get(), second.Get(), first.Get(), other.Get()}));

    const int draws = rig.log().draws;
    renderer.Render();
    EXPECT_EQ(rig.log().draws - draws, 3); // back, the two of A, the one of B

    renderer.SetVisible(second, 0);
    EXPECT_EQ(renderer.hiddenSprites.size(), 1u);
    renderer.SetVisible(second, 1);
    EXPECT_EQ(renderer.sprites.size(), 4u);
}

TEST(SpriteRenderer, ReleasedTextureRecordIsNotTheEmptyTexture)
{
    NullRig rig;
    auto released = rig.device->CreateTexture("Released", 4, 4, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    released->ReleaseD3DResource();
    CSpriteRenderer renderer(rig.device, rig.vertices, rig.indices);
    auto first = MakeSprite(0, released), bare = MakeSprite(0, CountedHandle<CTexture>()),
         second = MakeSprite(0, released);
    renderer.Add(first);
    renderer.Add(bare);
    renderer.Add(second);
    std::vector<CSprite*> order;
    for (auto& s : renderer.sprites)
        order.push_back(s.Get());
    EXPECT_EQ(order, (std::vector<CSprite*>{second.Get(), first.Get(), bare.Get()}));
    const int draws = rig.log().draws;
    renderer.Render();
    EXPECT_EQ(rig.log().draws - draws, 2);
}

TEST(SpriteRenderer, BlendedPassesGoByZOrderAndNeverMixWithAlphaTested)
{
    NullRig rig;
    CSpriteRenderer renderer(rig.device, rig.vertices, rig.indices);
    auto near = MakeSprite(2, {}, 1), far = MakeSprite(5, {}, 1), solid = MakeSprite(3, {});
    far->SetBlendMode(1, 1);
    renderer.Add(near);
    renderer.Add(far);
    renderer.Add(solid);
    far->zOrder = 1; // stale list: passes still go from the largest key down
    near->zOrder = 7;
    const size_t before = rig.log().calls.size();
    renderer.RenderLayer(1);
    std::vector<std::string> blends;
    for (size_t i = before; i < rig.log().calls.size(); ++i)
        if (rig.log().calls[i].rfind("DrawIndexedPrimitive", 0) == 0 ||
            rig.log().calls[i].rfind("SetRenderState 20 ", 0) == 0)
            blends.push_back(rig.log().calls[i].substr(0, 17));
    // The sprite of key 7 (normal blending) is drawn before the additive one of key 1.
    ASSERT_EQ(blends.size(), 4u);
    EXPECT_EQ(blends[0], "SetRenderState 20");
    EXPECT_EQ(rig.log().draws, 2);
    renderer.Render();
    EXPECT_EQ(rig.log().draws, 3);
}

TEST(Sprite, ScreenPresetPremultipliesAndTimedSpritesFadeOut)
{
    CSprite sprite(0, 0, 0, 1, 1, 0xFFFFFFFF, {}, 1);
    sprite.SetBlendMode(1, 3);
    sprite.SetAlphaNow(0.5f);
    Vertex v[4];
    uint16_t i[6];
    sprite.FillVertices(v, i, 8);
    EXPECT_EQ(v[0].color, 0x7F7F7F7Fu);
    EXPECT_EQ(i[5], 11);

    NullRig rig;
    CSpriteRenderer renderer(rig.device, rig.vertices, rig.indices);
    auto timed = MakeSprite(0, {});
    timed->timed = 1;
    timed->fadeWithTimer = 1;
    timed->visible = 0;
    renderer.Add(timed);
    renderer.Update(0.5f, 1);
    EXPECT_FLOAT_EQ(timed->opacity, 1.0f);
    renderer.Update(0.375f, 1);
    EXPECT_NEAR(timed->opacity, 0.5f, 1e-5);
    renderer.Update(0.125f, 0); // hidden and not updated, still dropped at the end of its life
    EXPECT_EQ(renderer.hiddenSprites.size(), 1u);
    timed->timeLeft = 0.0f;
    renderer.Update(0.1f, 0);
    EXPECT_TRUE(renderer.hiddenSprites.empty());

    CSprite spin(0, 0, 0, 1, 1, 0xFFFFFFFF, {}, 0);
    spin.spinning = 1;
    spin.spinSpeed = 1.0f;
    spin.Update(7.0f);
    EXPECT_NEAR(spin.angle, 7.0f - 6.2831855f, 1e-5);
}

// A sprite marked to go when faded stays while it fades and leaves the
// renderer in the update that brings it to 0, hidden or not; its owner's
// handle keeps the object.
TEST(Sprite, MarkedSpritesGoOnceFaded)
{
    NullRig rig;
    CSpriteRenderer renderer(rig.device, rig.vertices, rig.indices);
    auto shown = MakeSprite(0, {}), hidden = MakeSprite(0, {}), unmarked = MakeSprite(0, {});
    for (auto* s : {&shown, &hidden, &unmarked}) {
        (*s)->fadeSpeed = 4.0f;
        (*s)->FadeTo(0.0f);
        (*s)->dropWhenFaded = s != &unmarked;
    }
    hidden->visible = 0;
    for (auto* s : {&shown, &hidden, &unmarked})
        renderer.Add(*s);
    renderer.Update(0.125f, 1);
    EXPECT_EQ(renderer.sprites.size(), 2u);
    EXPECT_EQ(renderer.hiddenSprites.size(), 1u);
    renderer.Update(0.125f, 1);
    ASSERT_EQ(renderer.sprites.size(), 1u);
    EXPECT_EQ(renderer.sprites[0], unmarked);
    EXPECT_TRUE(renderer.hiddenSprites.empty());
    EXPECT_EQ(shown->opacity, 0.0f);
}

TEST(Flare, LifeWithoutFlicker)
{
    CFlare flare(0, 0, 0, {}, 0xFFFFFF);
    flare.flickerDepth = 0.0f;
    struct Step {
        float dt, alpha;
        int alive;
    };
    for (const Step& s : {Step{0.05f, 0.5f, 1}, Step{0.05f, 1.0f, 1}, Step{1.9f, 1.0f, 1}, Step{0.1f, 0.5f, 1},
                          Step{0.11f, 0.0f, 0}}) {
        EXPECT_EQ(flare.Update(s.dt), s.alive) << flare.age;
        EXPECT_NEAR(flare.alpha, s.alpha, 1e-4) << flare.age;
    }

    CFlare early(0, 0, 0, {}, 0xFFFFFF);
    early.flickerDepth = 0.0f;
    early.Update(0.05f);
    early.FadeOutNow();
    EXPECT_NEAR(early.fadeOutStart, -0.05f, 1e-6);
    EXPECT_EQ(early.Update(0.05f), 1);
    EXPECT_EQ(early.Update(0.05f), 0);
}

TEST(Flare, FlickerStaysWithinItsDepthAndSameTexturesStayTogether)
{
    CFlare flare(0, 0, 0, {}, 0xFFFFFF);
    flare.Update(0.2f);
    for (int i = 0; i < 200; ++i) {
        flare.Update(0.007f);
        if (flare.age < 2.0f) {
            EXPECT_GE(flare.alpha, 0.6f - 1e-5);
            EXPECT_LE(flare.alpha, 1.0f + 1e-5);
        }
    }

    NullRig rig;
    auto a = rig.device->CreateTexture("A", 4, 4, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    auto b = rig.device->CreateTexture("B", 4, 4, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
    CFlareRenderer renderer(rig.device, rig.vertices, rig.indices);
    auto f1 = MakeCountedHandle(new CFlare(0, 0, 0, a, 0));
    auto f2 = MakeCountedHandle(new CFlare(0, 0, 0, b, 0));
    auto f3 = MakeCountedHandle(new CFlare(0, 0, 0, a, 0));
    renderer.Add(f1);
    renderer.Add(f2);
    renderer.Add(f3);
    EXPECT_EQ(renderer.flares[0], f3);
    EXPECT_EQ(renderer.flares[2], f2);
    const int draws = rig.log().draws;
    renderer.Render();
    EXPECT_EQ(rig.log().draws - draws, 2);
    renderer.Update(3.0f);
    EXPECT_TRUE(renderer.flares.empty());
}

TEST(MotionPath, SegmentsEaseExtrapolateAndKeepStillAxes)
{
    CMotionPath path;
    EXPECT_NEAR(path.GetPoint(0.5f).x, 0.5f, 1e-6);
    EXPECT_NEAR(path.GetPoint(0.25f).y, 0.15625f, 1e-6);

    path.ResetLinear({0, 0, 0}, {2, 4, 0}, 2.0f);
    EXPECT_NEAR(path.GetPoint(1.0f).y, 2.0f, 1e-6);

    path.ResetLinear({0, 0, 0}, {1, 1, 0}, 1.0f);
    path.AppendSegment({3, 1, 0}, 1.0f);
    EXPECT_FLOAT_EQ(path.GetPoint(1.0f).x, 1.0f);
    EXPECT_FLOAT_EQ(path.GetPoint(1.5f).x, 2.0f);
    EXPECT_FLOAT_EQ(path.GetPoint(3.0f).x, 5.0f); // u = 2 on the last segment
    EXPECT_FLOAT_EQ(path.totalDuration, 2.0f);

    path.Reset({1, 1, 0}, {1, 3, 0}, {5, 0, 0}, {-3, 0, 0}, 1.0f);
    EXPECT_FLOAT_EQ(path.GetPoint(0.3f).x, 1.0f);
}

TEST(SpriteSet, MappingColoursAndFilters)
{
    testing_support::ScratchDir dir;
    testing_support::WriteText(dir.File("set.ini"),
                               "[Shape]\nTSpritesCount=3\nTSprite0=0 0 0 256 256\nTSprite1=128 128 0 0 0\n"
                               "TSpriteColor0=10 20 30 40\nTSpriteFilter0=add\nTSpriteFilter1=ADDITIVE\n"
                               "TSpriteFilter2=Screen\nTSpriteZOrder2=-4\n");
    CSpriteSet set;
    EXPECT_EQ(set.LoadFromIni(dir.File("set.ini"), "Shape", "T", 0), 3);
    EXPECT_FLOAT_EQ(set.sizes[0].width, 1.0f);
    EXPECT_FLOAT_EQ(set.positions[0].x, 0.0f);
    EXPECT_FLOAT_EQ(set.positions[1].y, 0.0f);
    EXPECT_EQ(set.colors[0], 0x280A141Eu);
    EXPECT_EQ(set.colors[1], 0xFFFFFFFFu);
    EXPECT_EQ(set.filters, (std::vector<int32_t>{1, 0, 3}));
    EXPECT_EQ(set.zOrders[2], -4);
    EXPECT_EQ(set.LoadFromIni(dir.File("set.ini"), "Shape", "T", 1), 1); // given count: the file's is not read
    EXPECT_EQ(set.LoadFromIni(dir.File("none.ini"), "Shape", "T", 0), 0);

    // A hand-edited count cannot make the set reserve gigabytes.
    testing_support::WriteText(dir.File("huge.ini"), "[Shape]\nTSpritesCount=2000000000\n");
    CSpriteSet huge;
    EXPECT_EQ(huge.LoadFromIni(dir.File("huge.ini"), "Shape", "T", 0), CSpriteSet::kMaxSprites);
    EXPECT_EQ(huge.colors.size(), static_cast<size_t>(CSpriteSet::kMaxSprites));
}

// A sprite held by an object of static storage is let go of at exit, after
// the sprites' pool would have gone had it been made later than the holder:
// the pool outlives every sprite. The check runs in a fresh process, where
// the holder comes first.
TEST(SpritePool, OutlivesSpritesHeldUntilExit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static CountedHandle<CSprite> heldUntilExit;
            heldUntilExit =
                MakeCountedHandle(new CSprite(0, 0, 0, 1, 1, 0xFFFFFFFF, CountedHandle<CTexture>(), 0));
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}
