// Bitmap fonts: a glyph texture and its ".vfd" descriptor of 256 glyphs.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/DeviceResources.h"

#include <string>
#include <vector>

class CRenderDevice;

struct GlyphRecord {
    float width = 0;
    float height = 0;
    float xOffset = 0;
    uint32_t reserved[3] = {};
    float advance = 0;
    float u0 = 0;
    float v0 = 0;
    float u1 = 0;
    float v1 = 0;
    float yOffset = 0;
};
static_assert(sizeof(GlyphRecord) == 48, "a glyph record is 48 bytes on file");

class CBitmapFont {
public:
    explicit CBitmapFont(CountedHandle<CTexture> glyphTexture) : texture(std::move(glyphTexture)) {}

    CountedHandle<CTexture> texture;
    int32_t header0 = 0;
    int32_t header1 = 0;
    int32_t header2 = 0;
    int32_t header3 = 0;
    float header2f = 0;
    float header3f = 0;
    float spaceAdvance = 0;
    float fixedAdvance = 0;
    GlyphRecord glyphs[256];
};

// 1 when the whole descriptor (12,312 bytes) was read, else 0.
int ReadFontFile(CBitmapFont* font, const std::string& path);

// The texture formats fonts are loaded with, in order of preference.
const std::vector<d3d::D3DFORMAT>& FontFormatCandidates();

// Loads every font named in `folder` + "AdditionalFonts.lst" and appends it
// to `fonts`; failures go into `errors` and stop the list. Returns the number
// of fonts loaded.
int LoadFontSet(CRenderDevice& device, const std::string& folder, std::vector<CountedHandle<CBitmapFont>>* fonts,
                std::vector<std::string>* errors);
