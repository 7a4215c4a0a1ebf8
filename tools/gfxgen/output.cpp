#include "output.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace gfx {

Output::Output(const std::string& root) : gfxDir_(root + "/Data/Gfx"), fontsDir_(root + "/Data/Fonts")
{
    std::error_code ec;
    fs::create_directories(gfxDir_, ec);
    fs::create_directories(fontsDir_, ec);
}

bool Output::Save(const std::string& name, const Image& img)
{
    const std::string path = gfxDir_ + "/" + name;
    const std::string ext = path.substr(path.size() - 4);
    bool ok = false;
    if (ext == ".png")
        ok = WritePng(path, img, true);
    else if (ext == ".jpg")
        ok = WriteJpeg(path, img, 90);
    else if (ext == ".tga")
        ok = WriteTga(path, img, true);
    else if (ext == ".bmp")
        ok = WriteBmp(path, img);
    if (!ok) {
        std::fprintf(stderr, "gfxgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool anySize = std::find(anySize_.begin(), anySize_.end(), name) != anySize_.end();
    files_.push_back({path, img.Width(), img.Height(), 0, anySize});
    return true;
}

bool Output::SaveWithAlpha(const std::string& stem, const Image& img)
{
    return Save(stem + ".jpg", img) && Save(stem + "_alpha.jpg", img.AlphaAsGrey());
}

namespace {
// Quality 97 without shared colour keeps these pictures within the limits
// with room to spare (their blocks stray by 1.4 levels at most, the
// largest texel by 13, 47 dB); the usual quality 90 with colour shared among
// 2 x 2 texels fails them (blocks 5 levels off, 47 at a texel, 40 dB), and
// that is what shows as blocks on a large window.
constexpr int kUnblockedQuality = 97;
constexpr double kLeastPsnr = 44.0;
constexpr int kLargestTexelError = 24;
constexpr double kLargestBlockShift = 2.0;
} // namespace

bool Output::SaveUnblockedWithAlpha(const std::string& stem, const Image& img)
{
    const std::string colour = gfxDir_ + "/" + stem + ".jpg", alpha = gfxDir_ + "/" + stem + "_alpha.jpg";
    if (!WriteJpeg(colour, img, kUnblockedQuality, true) ||
        !WriteJpeg(alpha, img.AlphaAsGrey(), kUnblockedQuality, true)) {
        std::fprintf(stderr, "gfxgen: cannot write %s\n", colour.c_str());
        return false;
    }
    JpegPairError error;
    if (!MeasureJpegPair(img, colour, alpha, error)) {
        std::fprintf(stderr, "gfxgen: %s and its companion do not read back at the picture's size\n",
                     colour.c_str());
        return false;
    }
    if (error.psnr < kLeastPsnr || error.largest > kLargestTexelError ||
        error.worstBlockShift > kLargestBlockShift) {
        std::fprintf(stderr,
                     "gfxgen: %s shows its blocks: %.1f dB (at least %.0f), a texel %d levels off (at most %d), "
                     "a block %.2f levels off (at most %.1f)\n",
                     colour.c_str(), error.psnr, kLeastPsnr, error.largest, kLargestTexelError,
                     error.worstBlockShift, kLargestBlockShift);
        return false;
    }
    files_.push_back({colour, img.Width(), img.Height(), 0, false});
    files_.push_back({alpha, img.Width(), img.Height(), 0, false});
    return true;
}

void Output::Record(const std::string& path, size_t bytes) { files_.push_back({path, 0, 0, bytes, false}); }

void Output::AllowAnySize(const std::string& name) { anySize_.push_back(name); }

bool Output::Verify() const
{
    int bad = 0;
    std::error_code ec;
    for (const File& f : files_) {
        if (f.bytes) {
            if (fs::file_size(f.path, ec) != f.bytes || ec) {
                std::fprintf(stderr, "gfxgen: %s has the wrong size\n", f.path.c_str());
                ++bad;
            }
            continue;
        }
        int pw = 0, ph = 0;
        if (!ProbeSize(f.path, pw, ph) || (f.w && (pw != f.w || ph != f.h)) ||
            (!f.anySize && ((pw & (pw - 1)) || (ph & (ph - 1))))) {
            std::fprintf(stderr, "gfxgen: %s does not read back as %dx%d (got %dx%d)\n", f.path.c_str(), f.w, f.h,
                         pw, ph);
            ++bad;
        }
    }
    return bad == 0;
}

int RunSet(int argc, char** argv, const char* setName, bool (*write)(Output&))
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output root>\n", argv[0]);
        return 2;
    }
    Output out(argv[1]);
    if (!write(out) || !out.Verify())
        return 1;
    std::printf("gfxgen %s: %zu files written to %s\n", setName, out.Count(), argv[1]);
    return 0;
}

} // namespace gfx
