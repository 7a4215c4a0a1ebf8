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
