#include "engine/BitmapFont.h"

#include "engine/Log.h"
#include "engine/RenderDevice.h"
#include "engine/TextReader.h"
#include "platform/Files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace d3d;

namespace {
// The largest glyph measure a font may give, in character sizes; the
// installed fonts stay under 2.
constexpr float kMaxGlyphMetric = 16.0f;
} // namespace

int ReadFontFile(CBitmapFont* font, const std::string& path)
{
    FILE* file = plat::OpenFile(path, "rb");
    if (!file)
        return 0;
    auto read = [&](void* target, size_t size) { return std::fread(target, size, 1, file) == 1; };
    bool ok =
        read(&font->header0, 4) && read(&font->header1, 4) && read(&font->header2, 4) && read(&font->header3, 4);
    if (ok) {
        font->header2f = static_cast<float>(font->header2);
        font->header3f = static_cast<float>(font->header3);
        ok = read(&font->spaceAdvance, 4) && read(&font->fixedAdvance, 4) &&
             std::fread(font->glyphs, sizeof(GlyphRecord), 256, file) == 256;
    }
    std::fclose(file);
    if (!ok)
        return 0;
    // Metrics are in character sizes and texture coordinates within the
    // picture; a damaged file's values are held there, so that no text laid
    // out with them runs off to infinity.
    auto held = [](float* value, float low, float high) {
        *value = std::isfinite(*value) ? std::clamp(*value, low, high) : 0.0f;
    };
    for (GlyphRecord& g : font->glyphs) {
        for (float* metric : {&g.width, &g.height, &g.xOffset, &g.advance, &g.yOffset})
            held(metric, -kMaxGlyphMetric, kMaxGlyphMetric);
        for (float* uv : {&g.u0, &g.v0, &g.u1, &g.v1})
            held(uv, 0.0f, 1.0f);
    }
    held(&font->fixedAdvance, -kMaxGlyphMetric, kMaxGlyphMetric);
    font->spaceAdvance = font->glyphs[32].advance;
    return 1;
}

const std::vector<D3DFORMAT>& FontFormatCandidates()
{
    static const std::vector<D3DFORMAT> candidates = {D3DFMT_A1R5G5B5, D3DFMT_A4L4, D3DFMT_A8R3G3B2,
                                                      D3DFMT_A4R4G4B4, D3DFMT_A8L8, D3DFMT_A8R8G8B8};
    return candidates;
}

int LoadFontSet(CRenderDevice& device, const std::string& folder, std::vector<CountedHandle<CBitmapFont>>* fonts,
                std::vector<std::string>* errors)
{
    FILE* list = plat::OpenFile(folder + "AdditionalFonts.lst", "r");
    if (!list)
        return 0;
    int count = 0;
    char line[512];
    char trimmed[512];
    char unquoted[512];
    while (std::fgets(line, sizeof line, list)) {
        CTextReader::CutAtLastNewline(line);
        // A line cut at a carriage return as well, for lists written on
        // either kind of system.
        if (char* cr = std::strchr(line, '\r'))
            *cr = 0;
        CTextReader::Trim(line, trimmed);
        unquoted[0] = 0;
        CTextReader::StripQuotes(trimmed, unquoted);
        CTextReader::Trim(unquoted, trimmed);
        const std::string name = trimmed;
        if (name.empty())
            break;
        // Joined to the fonts folder: a separator or ".." would reach outside it.
        if (!plat::IsPlainFileName(name)) {
            errors->push_back("Refused font name " + name);
            WriteLog(errors->back() + "\n");
            break;
        }
        auto texture = device.LoadTextureAutoFormat(folder + name + ".tga", "___Font_" + name,
                                                    FontFormatCandidates(), 0, 0, D3DPOOL_MANAGED);
        if (!texture) {
            errors->push_back("Unable to load Texture " + name);
            WriteLog(errors->back() + "\n");
            break;
        }
        auto font = MakeCountedHandle(new CBitmapFont(texture));
        if (!ReadFontFile(font.Get(), folder + name + ".vfd")) {
            errors->push_back("Unable to load " + name + ".vfd");
            WriteLog(errors->back() + "\n");
            break;
        }
        fonts->push_back(font);
        ++count;
    }
    std::fclose(list);
    return count;
}
