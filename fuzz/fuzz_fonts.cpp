// Bitmap fonts: the list "AdditionalFonts.lst" and a font's descriptor
// (".vfd"). The input is a 16-bit little-endian length, that many bytes of
// list, then the descriptor of the font "F" (whose picture is a small valid
// one). Every font that loads lays out a text with finite geometry on the
// recording null device.
#include "FuzzInput.h"
#include "engine/BitmapFont.h"
#include "engine/Log.h"
#include "engine/RenderDevice.h"
#include "engine/Text.h"
#include "platform/NullDirect3D.h"

#include <cmath>
#include <vector>

using fuzz_input::Check;

namespace {

struct Rig {
    Rig()
        : direct3d(d3d::NullDirect3D::StandardAdapters()),
          device(MakeCountedHandle(new CRenderDevice(&direct3d, 0)))
    {
        SetLogName("/dev/null");
        device->CreateDevice(1024, 768, d3d::D3DFMT_X8R8G8B8, 0, 1, nullptr, d3d::D3DFMT_D16, 1, 0, 1, 0);
        direct3d.lastDevice->quiet = true;
        // An 8 x 8 uncompressed 32-bit picture for the font "F".
        std::vector<uint8_t> tga(18 + 8 * 8 * 4, 0x80);
        const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0, 32, 8};
        std::copy(header, header + 18, tga.begin());
        fuzz_input::Write("F.tga", tga.data(), tga.size());
    }

    d3d::NullDirect3D direct3d;
    CountedHandle<CRenderDevice> device;
};

bool Finite(float v) { return std::isfinite(v); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Rig rig;
    rig.direct3d.log = {};
    if (size < 2)
        return 0;
    const size_t listSize = std::min<size_t>(data[0] | data[1] << 8, size - 2);
    fuzz_input::Write("AdditionalFonts.lst", data + 2, listSize);
    fuzz_input::Write("F.vfd", data + 2 + listSize, size - 2 - listSize);

    std::vector<CountedHandle<CBitmapFont>> fonts;
    std::vector<std::string> errors;
    const int count = LoadFontSet(*rig.device, fuzz_input::Folder(), &fonts, &errors);
    Check(count == static_cast<int>(fonts.size()));
    for (const CountedHandle<CBitmapFont>& font : fonts) {
        CText text(font);
        text.SetCharSize(16.0f, 20.0f);
        std::string all = "Ag Wy\n";
        for (int c = 1; c < 256; ++c)
            all += static_cast<char>(c);
        for (int alignment : {CText::LEFT, CText::CENTER, CText::RIGHT, CText::WIDTH}) {
            text.alignment = alignment;
            text.SetText(all);
            Check(Finite(text.minX) && Finite(text.maxWidth) && Finite(text.height));
            for (const GlyphQuad& q : text.quads)
                Check(Finite(q.x) && Finite(q.y) && Finite(q.z));
        }
    }
    for (const CountedHandle<CBitmapFont>& font : fonts)
        if (const int index = rig.device->FindTextureIndex(font->texture->name); index >= 0)
            rig.device->RemoveTexture(index);
    return 0;
}
