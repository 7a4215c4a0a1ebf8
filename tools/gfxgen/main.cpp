// gfxgen <output root>: writes the game's generated pictures into
// <root>/Data/Gfx and its bitmap fonts into <root>/Data/Fonts, then reads
// every file back to check it, so a broken asset fails the build.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "fonts.h"
#include "image.h"
#include "pictures.h"

namespace fs = std::filesystem;
using namespace gfx;

namespace {

const char* kFontDir = "/usr/share/fonts/truetype/dejavu";

struct Written {
    std::string path;
    int w, h;  // 0 for files that are not pictures
    size_t bytes;
};

bool Save(const std::string& path, const Image& img, std::vector<Written>& out) {
    const std::string ext = path.substr(path.size() - 4);
    bool ok = false;
    if (ext == ".png") ok = WritePng(path, img, true);
    else if (ext == ".jpg") ok = WriteJpeg(path, img, 90);
    else if (ext == ".tga") ok = WriteTga(path, img, true);
    else if (ext == ".bmp") ok = WriteBmp(path, img);
    if (ok) out.push_back({path, img.Width(), img.Height(), 0});
    return ok;
}

// Colour picture plus its "_alpha" grey companion of the same size.
bool SaveWithAlpha(const std::string& dir, const std::string& stem, const Image& img, std::vector<Written>& out) {
    return Save(dir + "/" + stem + ".jpg", img, out) && Save(dir + "/" + stem + "_alpha.jpg", img.AlphaAsGrey(), out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gfxgen <output root>\n");
        return 2;
    }
    const std::string root = argv[1];
    const std::string gfxDir = root + "/Data/Gfx";
    const std::string fontsDir = root + "/Data/Fonts";
    std::error_code ec;
    fs::create_directories(gfxDir, ec);
    fs::create_directories(fontsDir, ec);

    std::vector<Written> out;
    const std::string g = gfxDir + "/";
    const Color gold = Rgb(255, 204, 84);
    bool ok = true;
    ok = ok && Save(g + "Loading.jpg", MakeLoading(kFontDir), out);
    ok = ok && Save(g + "Frame.png", MakeFrame(), out);
    ok = ok && Save(g + "FrameBack.tga", MakeFrameBack(), out);
    ok = ok && Save(g + "StarParticle.bmp", MakeStarGlint(64, 0.7f).OverBlack(), out);
    ok = ok && Save(g + "Selector.png", MakeSelector(), out);
    ok = ok && Save(g + "Lightning.jpg", MakeLightning(), out);
    ok = ok && Save(g + "Spark.bmp", MakeGlow(64, gold, 2.4f, 0.35f).OverBlack(), out);
    ok = ok && SaveWithAlpha(gfxDir, "Sand", MakeSandPuff(64), out);
    ok = ok && SaveWithAlpha(gfxDir, "Cloud", MakePuff(128, 21, Rgb(255, 246, 226), Rgb(206, 176, 140), 1.1f), out);
    ok = ok && Save(g + "Sandbox.jpg", MakeSandbox(), out);
    ok = ok && Save(g + "SmallSand.tga", MakeSmallSand(), out);
    ok = ok && Save(g + "SandboxFront.png", MakeSandboxFront(), out);
    ok = ok && Save(g + "SandboxGlass.tga", MakeSandboxGlass(), out);
    ok = ok && Save(g + "ScoreFrenzyStar.png", MakeStarGlint(32, 0.6f), out);
    ok = ok && Save(g + "Halo1.tga", MakeHalo(), out);
    ok = ok && Save(g + "Ring.jpg", MakeRing().OverBlack(), out);
    ok = ok && Save(g + "SpellFuzzy.bmp", MakeSpellFuzzy().OverBlack(), out);
    ok = ok && SaveWithAlpha(gfxDir, "FireCloud", MakePuff(128, 31, Rgb(255, 232, 150), Rgb(214, 70, 18), 1.25f), out);
    ok = ok && Save(g + "Twirl.tga", MakeTwirl(), out);
    ok = ok && SaveWithAlpha(gfxDir, "Flare", MakeFlare(), out);
    ok = ok && Save(g + "StarSand.tga", MakeStarGlint(64, 0.5f), out);
    ok = ok && Save(g + "JungleFlash.tga", MakeJungleFlash(), out);
    ok = ok && Save(g + "BigStar.png", MakeBigStar(), out);
    ok = ok && Save(g + "ShopPointer.tga", MakeShopPointer(), out);
    ok = ok && Save(g + "Cursor.tga", MakeCursor(), out);
    if (!ok) return 1;

    // Font 0 is the body font; the list adds font 1 (counters, small bold
    // labels) and font 2 (combo messages and score popups).
    const std::string dv = std::string(kFontDir) + "/";
    const FontStyle fonts[] = {
        {"Font", dv + "DejaVuSans.ttf", 24, 1.5f, 0.8f, 0},
        {"FontBold", dv + "DejaVuSans-Bold.ttf", 28, 2.0f, 0.85f, 0},
        {"FontTitle", dv + "DejaVuSerif-Bold.ttf", 56, 3.0f, 0.9f, 3},
    };
    for (const FontStyle& f : fonts) {
        if (!MakeFont(f, fontsDir)) return 1;
        out.push_back({fontsDir + "/" + f.name + ".tga", 0, 0, 0});
        out.push_back({fontsDir + "/" + f.name + ".vfd", 0, 0, 12312});
    }
    {
        std::ofstream lst(fontsDir + "/AdditionalFonts.lst", std::ios::trunc);
        lst << "FontBold\nFontTitle\n";
        if (!lst) {
            std::fprintf(stderr, "gfxgen: cannot write AdditionalFonts.lst\n");
            return 1;
        }
    }

    // Read back what was written.
    int bad = 0;
    for (const Written& w : out) {
        if (w.bytes) {
            if (fs::file_size(w.path, ec) != w.bytes || ec) {
                std::fprintf(stderr, "gfxgen: %s has the wrong size\n", w.path.c_str());
                ++bad;
            }
            continue;
        }
        int pw = 0, ph = 0;
        if (!ProbeSize(w.path, pw, ph) || (w.w && (pw != w.w || ph != w.h)) || (pw & (pw - 1)) || (ph & (ph - 1))) {
            std::fprintf(stderr, "gfxgen: %s does not read back as %dx%d (got %dx%d)\n", w.path.c_str(), w.w, w.h, pw, ph);
            ++bad;
        }
    }
    if (bad) return 1;
    std::printf("gfxgen: %zu files written to %s\n", out.size() + 1, root.c_str());
    return 0;
}
