// The main menu's scene: night over oasis ruins, a lamplit gate on the dunes,
// a pool, the guardian's cliff; below the picture the strip of sky that
// scrolls in its window. The elements texture holds the foliage block on the
// left and the moving pieces (strands, map, the guardian's face with its
// eyes and lips in every frame, lantern, urn, leaves); the front foliage
// hangs before everything.
#include <cmath>

#include "output.h"
#include "scenery.h"

using namespace gfx;

namespace {

const float kPi = 3.14159265f;
const char* const kSection = "MainMenu";

// Where the dunes meet the sky, and where the guardian's cliff begins.
float Horizon(float x) { return 330 + 24 * Fbm(x / 140.0f, 0.5f, 500, 4) - 0.03f * (x - 500); }
float CliffEdge(float y) { return 650 + 40 * std::sin(y / 90.0f) + 50 * Fbm(y / 60.0f, 1.5f, 501, 3); }
bool IsSky(float x, float y) { return y < Horizon(x) && x < CliffEdge(y) - (y < 120 ? (120 - y) * 1.5f : 0); }

Image MakeBack()
{
    Image img(1024, 1024, Color{0, 0, 0, 1});
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            Color c;
            if (IsSky(x, y)) {
                c = Mix(Rgb(8, 8, 30), Rgb(50, 36, 90), Smooth(0, Horizon(x), y));
            } else if (x >= CliffEdge(y) - (y < 120 ? (120 - y) * 1.5f : 0) && y < 690) {
                // The cliff, moonlit on its face: strata, ledges catching the
                // light, cracks.
                const float strata = Fbm(x / 300.0f, y / 14.0f, 511, 3);
                c = Scale(Rgb(104, 90, 118), 0.5f + 0.35f * Fbm(x / 40.0f, y / 22.0f, 510, 5) + 0.25f * strata);
                const float ledge = std::fmod(y + 30 * Fbm(x / 90.0f, 0.5f, 512, 2), 70.0f);
                c = Scale(c, 1.0f + 0.18f * Smooth(6, 0, ledge) -
                                 0.15f * Smooth(6, 14, ledge) * Smooth(22, 14, ledge));
                c = Scale(c,
                          1.0f - 0.3f * Smooth(0.012f, 0.0f, std::fabs(Fbm(x / 60.0f, y / 60.0f, 513, 4) - 0.5f)));
                c = Mix(c, Rgb(20, 16, 36), Smooth(660, 1024, x) * 0.5f);
                // The niche the guardian looks out of.
                const float niche = std::hypot((x - 784.0f) / 110.0f, (y - 330.0f) / 140.0f);
                if (niche < 1 || (y > 330 && std::fabs(x - 784.0f) < 110 && y < 470))
                    c = Mix(c, Rgb(16, 12, 28), 0.7f);
            } else {
                // Dunes under the night, warmed by the gate's lamp.
                const float dune = Fbm(x / 160.0f, y / 40.0f, 520, 4);
                c = Mix(Rgb(70, 60, 96), Rgb(24, 20, 40), Smooth(Horizon(x), 768, y) * 0.8f + 0.3f * dune);
                // Ripples in the sand, their crests lit by the moon.
                const float ripple = std::sin((y + 14 * Fbm(x / 80.0f, y / 30.0f, 521, 3)) * 0.35f);
                c = Scale(c, 1.0f + 0.12f * Smooth(0.6f, 1.0f, ripple) * Smooth(Horizon(x), Horizon(x) + 200, y));
                c = Mix(c, Rgb(255, 170, 90),
                        0.35f * std::exp(-std::hypot(x - 584.0f, (y - 380.0f) * 2) / 160.0f));
            }
            img.At(x, y) = c;
        }
    // The gate on the dunes, its doorway lit.
    img.RoundRect(540, 300, 628, 392, 4, Rgb(40, 30, 50));
    img.RoundRect(532, 292, 636, 306, 2, Rgb(70, 56, 70));
    img.RoundRect(570, 330, 598, 392, 12, Rgb(255, 196, 110));
    img.Glow(584, 360, 70, Rgb(255, 170, 80), 0.6f, 1.5f, true);
    // The pool, holding the sky's light.
    for (int y = 600; y < 700; ++y)
        for (int x = 330; x < 800; ++x) {
            const float d = std::hypot((x - 565.0f) / 230.0f, (y - 648.0f) / 44.0f);
            if (d < 1) {
                Color w = Mix(Rgb(70, 80, 140), Rgb(20, 24, 60), d);
                w = Mix(w, Rgb(255, 190, 120), 0.3f * std::exp(-std::fabs(x - 584.0f) / 20.0f) * (1 - d));
                w = Scale(w, 0.85f + 0.2f * Fbm(x / 20.0f, y / 2.0f, 530, 2));
                img.Blend(x, y, w, Clamp01((1 - d) * 20));
            }
        }
    // Palms by the pool.
    for (float px : {420.0f, 760.0f}) {
        StrokeSegment(img, {px, 640}, {px + 20, 470}, 9, Rgb(30, 22, 30));
        for (int k = 0; k < 7; ++k)
            PaintLeaf(img, px + 20 + 40 * std::cos(k * 0.9f), 470 + 14 * std::sin(k * 0.9f) + 10, 100, 20,
                      k * 0.9f, Rgb(26, 34, 36));
    }
    Vignette(img, 0.4f);
    // The sky strip below the picture, seamless across: night clouds and
    // stars, the moon among them.
    Rng rng(540);
    for (int y = 780; y < 988; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float v = (y - 780) / 208.0f;
            Color c = Mix(Rgb(10, 10, 36), Rgb(46, 34, 86), v);
            const float cloud = Smooth(0.45f, 0.75f, Fbm(x / 128.0f, y / 64.0f, 541, 5, 8));
            c = Mix(c, Mix(Rgb(70, 60, 110), Rgb(200, 170, 190), Clamp01(0.5f - v)), cloud * 0.8f);
            img.At(x, y) = c;
        }
    for (int i = 0; i < 220; ++i) {
        const float x = rng.Range(0, 1024), y = rng.Range(782, 960), b = rng.Range(0.3f, 1.0f);
        img.Glow(x, y, rng.Range(1.2f, 2.6f), Rgb(255, 245, 225), b, 1.2f, true);
    }
    img.Glow(300, 840, 60, Rgb(255, 236, 200), 0.5f, 1.5f, true);
    FillEllipse(img, 300, 840, 18, 18, Rgb(255, 246, 220));
    return img;
}

// The open sky of the picture, over the sky quad's window.
Image MakeSkyMask(const SceneConfig& cfg)
{
    const std::vector<float> pos = cfg.Numbers(kSection, "SkyPos", "262 0");
    const std::vector<float> size = cfg.Numbers(kSection, "SkySize", "762 312");
    const std::vector<float> extent = cfg.Numbers(kSection, "SkyMaskTSize", "254 104");
    const float mu = extent[0] / 256, mv = extent[1] / 128;
    return MakeMask(256, 128, [&](float u, float v) {
        const float x = pos[0] + (u - (1 - mu)) / mu * size[0], y = pos[1] + v / mv * size[1];
        if (!IsSky(x, y))
            return 0.0f;
        // Soft where the window ends on the left.
        return Smooth(pos[0], pos[0] + 60, x);
    });
}

// An element's top-left corner on the screen ("Sprite%d" gives x, y, z).
Box Corner(const SceneConfig& cfg, const char* key)
{
    const std::vector<float> n = cfg.Numbers(kSection, key, "0 0 0");
    return Box{n[0], n[1], 0, 0};
}

// The stone face of the guardian, in relief, and its eyes and lips in every
// frame: each frame cut from the face as it stands, so the frames swap
// without a seam.
void PaintFace(Image& img, const Box& face, const Box& eyes, const Box& openEyes, const Box& lips,
               const Box& lips1, const Box& lips2, const Box& faceOnScreen, const Box& eyesOnScreen,
               const Box& lipsOnScreen)
{
    for (int y = static_cast<int>(face.y); y < static_cast<int>(face.y + face.h); ++y)
        for (int x = static_cast<int>(face.x); x < static_cast<int>(face.x + face.w); ++x) {
            const float u = (x - face.Cx()) / (face.w / 2), v = (y - face.Cy()) / (face.h / 2);
            const float d = std::hypot(u, v * 0.95f);
            if (d > 1)
                continue;
            Color c = Scale(Rgb(150, 134, 150),
                            0.55f + 0.3f * (-u * 0.6f - v * 0.3f) + 0.25f * Fbm(x / 8.0f, y / 8.0f, 550, 4));
            // The headdress: gilded bands over the brow.
            if (v < -0.5f)
                c = Scale((static_cast<int>((v + 1) * 12) & 1) ? Rgb(200, 156, 70) : Rgb(110, 80, 50),
                          0.7f - 0.4f * u);
            // Brow, deep eye sockets, nose and cheekbones carved in.
            if (std::fabs(v + 0.32f) < 0.05f && std::fabs(u) < 0.6f)
                c = Scale(c, 1.25f);
            if (v > -0.27f && v < -0.05f && std::fabs(std::fabs(u) - 0.3f) < 0.2f)
                c = Scale(c, 0.7f);
            if (std::fabs(u) < 0.08f && v > -0.25f && v < 0.25f)
                c = Scale(c, 1.1f + 0.3f * -u);
            if (v > 0.2f && v < 0.28f && std::fabs(u) < 0.16f)
                c = Scale(c, 0.6f); // under the nose
            c = Scale(c, 1.0f - 0.3f * Smooth(0.7f, 1.0f, d));
            c.a = Clamp01((1 - d) * 30);
            img.At(x, y) = c;
        }
    const float ex = face.x + (eyesOnScreen.x - faceOnScreen.x), ey = face.y + (eyesOnScreen.y - faceOnScreen.y);
    const float lx = face.x + (lipsOnScreen.x - faceOnScreen.x), ly = face.y + (lipsOnScreen.y - faceOnScreen.y);
    const Box eyeArea{ex, ey, eyes.w, eyes.h}, lipArea{lx, ly, lips.w, lips.h};
    for (const Box* frame : {&eyes, &openEyes}) {
        CopyResampled(img, eyeArea, img, *frame);
        for (int k = 0; k < 2; ++k) {
            const float cx = frame->x + frame->w * (0.25f + 0.5f * k), cy = frame->Cy();
            if (frame == &eyes) {
                StrokeSegment(img, {cx - 11, cy}, {cx + 11, cy + 1}, 2.5f, Rgb(40, 30, 40)); // closed
            } else {
                FillEllipse(img, cx, cy, 11, 6, Rgb(20, 60, 70));
                img.Glow(cx, cy, 10, Rgb(90, 255, 230), 1.0f, 1.2f, false);
            }
        }
    }
    const Box* lipFrames[3] = {&lips, &lips1, &lips2};
    for (int k = 0; k < 3; ++k) {
        const Box& f = *lipFrames[k];
        CopyResampled(img, lipArea, img, f);
        const float open = k * 5.0f;
        FillEllipse(img, f.Cx(), f.Cy(), 20, 2 + open, Rgb(30, 20, 30));
        StrokeSegment(img, {f.Cx() - 22, f.Cy() - 2 - open * 0.6f}, {f.Cx() + 22, f.Cy() - 2 - open * 0.6f}, 2,
                      Rgb(120, 100, 120));
    }
}

// The elements: the foliage block in the top 716 rows, the pieces below.
Image MakeElements(const SceneConfig& cfg)
{
    Image img(512, 1024, Color{0.1f, 0.16f, 0.1f, 0});
    // The foliage frame: thick at the left and along the top, a branch
    // across, open in the middle.
    Rng rng(560);
    for (int i = 0; i < 70; ++i) {
        const bool edge = i < 40;
        const float x = edge ? rng.Range(0, 150) : rng.Range(60, 470),
                    y = edge ? rng.Range(0, 700) : rng.Range(0, 140);
        PaintFoliageClump(img, x, y, rng.Range(40, 70), 18, Mix(Rgb(30, 70, 46), Rgb(60, 96, 50), rng.Unit()),
                          570 + static_cast<uint32_t>(i), 34);
    }
    StrokeSegment(img, {0, 250}, {300, 210}, 12, Rgb(50, 36, 34));
    StrokeSegment(img, {300, 210}, {470, 250}, 7, Rgb(50, 36, 34));
    for (int y = 0; y < 716; ++y)
        for (int x = 0; x < 480; ++x)
            img.At(x, y).a = img.At(x, y).a > 0.4f ? 1.0f : 0.0f;

    auto box = [&](const char* key) { return CornersOf(cfg.Numbers(kSection, key)); };
    // Strands: vines hanging from their top.
    for (const char* key : {"SpriteT2", "SpriteT6"}) {
        const Box b = box(key);
        Pt last{b.Cx(), b.y};
        for (int k = 1; k <= 14; ++k) {
            const Pt p{b.Cx() + 6 * std::sin(k * 0.8f), b.y + b.h * k / 14.0f - 2};
            StrokeSegment(img, last, p, 3, Rgb(40, 60, 36));
            PaintLeaf(img, p.x + ((k & 1) ? 6 : -6), p.y, 16, 8, (k & 1) ? 0.6f : 2.5f, Rgb(60, 110, 60));
            last = p;
        }
    }
    // The hanging map: a parchment on a cord.
    const Box map = box("SpriteT7");
    StrokeSegment(img, {map.Cx(), map.y + 2}, {map.x + 14, map.y + 30}, 1.5f, Rgb(160, 130, 90));
    StrokeSegment(img, {map.Cx(), map.y + 2}, {map.x + map.w - 14, map.y + 30}, 1.5f, Rgb(160, 130, 90));
    for (int y = static_cast<int>(map.y) + 30; y < static_cast<int>(map.y + map.h) - 2; ++y)
        for (int x = static_cast<int>(map.x) + 6; x < static_cast<int>(map.x + map.w) - 6; ++x) {
            Color c = Scale(Rgb(220, 190, 136), 0.8f + 0.25f * Fbm(x / 14.0f, y / 14.0f, 580, 4));
            if (Fbm(x / 30.0f, y / 30.0f, 581, 3) > 0.55f)
                c = Scale(c, 0.8f);
            img.At(x, y) = c;
        }
    StrokeSegment(img, {map.x + 30, map.y + 110}, {map.x + 100, map.y + 80}, 1.5f, Rgb(150, 40, 30));
    // The urn.
    const Box urn = box("SpriteT1");
    FillEllipse(img, urn.Cx(), urn.Cy() + 14, urn.w * 0.4f, urn.h * 0.36f, Rgb(150, 90, 50));
    FillEllipse(img, urn.Cx() - 10, urn.Cy() + 2, urn.w * 0.14f, urn.h * 0.16f, Rgb(200, 140, 80));
    img.RoundRect(urn.Cx() - 22, urn.y + 4, urn.Cx() + 22, urn.y + 30, 6, Rgb(120, 70, 40));
    img.RoundRect(urn.Cx() - 30, urn.y + 2, urn.Cx() + 30, urn.y + 12, 4, Rgb(210, 160, 80));
    // The lantern.
    const Box lantern = box("SpriteT0");
    StrokeSegment(img, {lantern.Cx(), lantern.y}, {lantern.Cx(), lantern.y + 30}, 2, Rgb(120, 90, 50));
    img.RoundRect(lantern.x + 8, lantern.y + 30, lantern.x + lantern.w - 8, lantern.y + lantern.h - 10, 8,
                  Rgb(200, 150, 70));
    img.RoundRect(lantern.x + 14, lantern.y + 40, lantern.x + lantern.w - 14, lantern.y + lantern.h - 20, 6,
                  Rgb(255, 220, 140));
    // The guardian's face with its eyes and lips.
    PaintFace(img, box("SpriteT3"), box("SpriteT4"), box("EyeT"), box("SpriteT5"), box("LipsT1"), box("LipsT2"),
              Corner(cfg, "Sprite3"), Corner(cfg, "Sprite4"), Corner(cfg, "Sprite5"));
    // Three leaves that fall.
    const Color leafColours[3] = {Rgb(80, 140, 70), Rgb(220, 170, 70), Rgb(190, 90, 50)};
    for (int k = 0; k < 3; ++k) {
        const Box leaf = box(("LeafT" + std::to_string(k)).c_str());
        PaintLeaf(img, leaf.Cx(), leaf.Cy(), leaf.w * 0.9f, leaf.h * 0.45f, kPi / 4 + k * 0.3f, leafColours[k]);
    }
    return img;
}

// The front foliage: broad dark leaves hanging from the top left.
Image MakeFrontFoliage()
{
    Image img(512, 256, Color{0.05f, 0.1f, 0.06f, 0});
    Rng rng(590);
    for (int i = 0; i < 40; ++i) {
        const float x = rng.Range(0, 400) * rng.Unit(), y = rng.Range(0, 200) * rng.Unit();
        PaintLeaf(img, x + 40, y + 30, rng.Range(80, 150), rng.Range(30, 50), rng.Range(0.2f, 1.4f),
                  Mix(Rgb(14, 36, 24), Rgb(50, 90, 50), rng.Unit() * 0.6f));
    }
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x)
            img.At(x, y).a = img.At(x, y).a > 0.4f ? 1.0f : 0.0f;
    return img;
}

bool WriteMainMenu(Output& out)
{
    const SceneConfig cfg(GALVORINE_BACKGROUND_CFG);
    if (!cfg.Ok())
        return false;
    const Image elements = MakeElements(cfg);
    const Image front = MakeFrontFoliage();
    // The leaves show over the scene's left 768 pixels, fading at the foot.
    const Image leafMask =
        MakeMask(256, 256, [](float u, float v) { return Smooth(1.0f, 0.85f, v) * Smooth(1.0f, 0.9f, u); });
    return out.Save("MainBack.jpg", MakeBack()) && out.Save("MainSkyMask.tga", MakeSkyMask(cfg)) &&
           out.Save("MainLeafMask.tga", leafMask) && out.SaveWithAlpha("MainElements", elements) &&
           out.SaveWithAlpha("MainFoliage", front);
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "mainmenu", WriteMainMenu); }
