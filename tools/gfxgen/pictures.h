#pragma once

#include <string>
#include <vector>

#include "image.h"

namespace gfx {

Image MakeLoading(const std::string& fontDir);
Image MakeFrame();
Image MakeFrameBack();
Image MakeSelector();
Image MakeStarGlint(int size, float rays);
Image MakeGlow(int size, const Color& tint, float falloff, float core);
Image MakeSandbox();
Image MakeSandboxFront();
Image MakeSandboxGlass();
Image MakeCursor();
Image MakeTwirl();
Image MakeFlare();
Image MakeJungleFlash();
Image MakeRing();
Image MakeHalo();
Image MakeSpellFuzzy();

// Shapes and light shared by the picture sets (polygons: image.h).
std::vector<Pt> StarPoly(float cx, float cy, float outer, float inner, int points, float rotation);
// A four-pointed glint: a soft core with two thin crossing rays.
void Glint(Image& img, float cx, float cy, float size, const Color& c, float strength, bool additive);
// Gilded lettering from a text mask (TextMask) with `pad` empty texels,
// drawn with its top-left corner at (ox, oy).
void GildText(Image& img, const Image& mask, int ox, int oy, int pad);

} // namespace gfx
