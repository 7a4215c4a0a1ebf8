// The engine's picture set: the loading picture, the shared effect and
// screen textures (but the particle atlases and the lightning strip, which
// the particle set makes, and the sand box's front and glass, which the shop
// set paints with its sand glass), the cursor and the three bitmap fonts
// with their list.
#include <cstdio>
#include <fstream>
#include <string>

#include "fonts.h"
#include "output.h"
#include "pictures.h"

using namespace gfx;

namespace {

bool WriteEngineSet(Output& out)
{
    bool ok = true;
    ok = ok && out.Save("Loading.jpg", MakeLoading(kFontDir));
    ok = ok && out.Save("Frame.png", MakeFrame());
    ok = ok && out.Save("FrameBack.tga", MakeFrameBack());
    ok = ok && out.Save("StarParticle.bmp", MakeStarGlint(64, 0.7f).OverBlack());
    ok = ok && out.Save("Selector.png", MakeSelector());
    // Tinted by its users (rainbow streaks, chest rays, sparks): a near-white
    // glow that keeps their colours saturated along its length.
    ok = ok && out.Save("Spark.bmp", MakeGlow(64, Rgb(255, 236, 190), 0.9f, 0.6f).OverBlack());
    ok = ok && out.Save("Sandbox.jpg", MakeSandbox());
    ok = ok && out.Save("ScoreFrenzyStar.png", MakeStarGlint(32, 0.6f));
    ok = ok && out.Save("Halo1.tga", MakeHalo());
    ok = ok && out.Save("Ring.jpg", MakeRing().OverBlack());
    ok = ok && out.Save("SpellFuzzy.bmp", MakeSpellFuzzy().OverBlack());
    ok = ok && out.Save("Twirl.tga", MakeTwirl());
    ok = ok && out.SaveWithAlpha("Flare", MakeFlare());
    ok = ok && out.Save("JungleFlash.tga", MakeJungleFlash());
    ok = ok && out.Save("Cursor.tga", MakeCursor());
    if (!ok)
        return false;

    // Font 0 is the body font; the list adds font 1 (counters, small bold
    // labels), font 2 (the popups: scores, combo and frenzy messages,
    // captions; drawn up to 1.8 times its size, so that the longest message
    // still fits over the board) and font 3 (large titles).
    const std::string dv = std::string(kFontDir) + "/";
    const FontStyle fonts[] = {
        {"Font", dv + "DejaVuSans.ttf", 24, 1.5f, 0.8f, 0},
        {"FontBold", dv + "DejaVuSans-Bold.ttf", 28, 2.0f, 0.85f, 0},
        {"FontPopup", dv + "DejaVuSerif-Bold.ttf", 30, 2.0f, 0.9f, 2},
        {"FontTitle", dv + "DejaVuSerif-Bold.ttf", 56, 3.0f, 0.9f, 3},
    };
    for (const FontStyle& f : fonts) {
        if (!MakeFont(f, out.FontsDir()))
            return false;
        out.Record(out.FontsDir() + "/" + f.name + ".tga", 0);
        out.Record(out.FontsDir() + "/" + f.name + ".vfd", 12312);
    }
    std::ofstream lst(out.FontsDir() + "/AdditionalFonts.lst", std::ios::trunc);
    lst << "FontBold\nFontPopup\nFontTitle\n";
    if (!lst) {
        std::fprintf(stderr, "gfxgen: cannot write AdditionalFonts.lst\n");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "engine", WriteEngineSet); }
