#pragma once

#include <string>

namespace gfx {

// Where Debian puts the DejaVu outline fonts (fonts-dejavu-core).
constexpr const char* kFontDir = "/usr/share/fonts/truetype/dejavu";

struct FontStyle {
    std::string name;     // file stem: name.tga and name.vfd
    std::string ttf;      // outline font to rasterise
    int size = 24;        // design size in pixels
    float outline = 1.5f; // dark rim radius in pixels
    float rimAlpha = 0.8f;
    int shadow = 0; // drop-shadow offset in pixels (0: none)
};

// Writes name.tga and name.vfd into fontsDir.
bool MakeFont(const FontStyle& style, const std::string& fontsDir);

} // namespace gfx

#include "image.h"

namespace gfx {

// Coverage of a line of text (white, coverage in alpha), with `pad` empty
// texels around it; rows span the font's ascender to descender.
Image TextMask(const std::string& ttf, int size, const std::string& text, int pad);

} // namespace gfx
