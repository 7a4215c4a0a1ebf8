#pragma once

#include <string>

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
Image MakeBigStar();
Image MakeCursor();
Image MakeShopPointer();
Image MakeTwirl();
Image MakeFlare();
Image MakeJungleFlash();
Image MakeRing();
Image MakeHalo();
Image MakeSpellFuzzy();

} // namespace gfx
