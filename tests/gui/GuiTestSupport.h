// The GUI toolkit on the recording null device: one sprite renderer and one
// text batch, a font whose glyphs all advance half a character, and makers
// of windows on them.
#pragma once

#include "engine/RenderTestSupport.h"
#include "gui/GuiEvent.h"

#include "engine/BitmapFont.h"
#include "engine/Sprite.h"
#include "engine/Text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

inline CountedHandle<CBitmapFont> MakeTestFont(int32_t size)
{
    auto font = MakeCountedHandle(new CBitmapFont(CountedHandle<CTexture>()));
    for (GlyphRecord& g : font->glyphs) {
        g.width = 0.5f;
        g.height = 1.0f;
        g.advance = 0.5f;
    }
    font->spaceAdvance = 0.5f;
    font->header3 = size;
    font->header3f = static_cast<float>(size);
    return font;
}

struct GuiRig : NullRig {
    GuiRig()
        : sprites(MakeCountedHandle(new CSpriteRenderer(device, vertices, indices))),
          texts(MakeCountedHandle(new CTextBatch(device, vertices, indices))), font(MakeTestFont(24))
    {}
    template <typename T>
    CountedHandle<T> Make()
    {
        return MakeCountedHandle(new T(sprites, texts));
    }

    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CTextBatch> texts;
    CountedHandle<CBitmapFont> font;
};

inline bool operator==(const GuiEvent& a, const GuiEvent& b)
{
    return a.code == b.code && a.id == b.id && a.x == b.x && a.y == b.y && a.kind == b.kind;
}

inline std::ostream& operator<<(std::ostream& out, const GuiEvent& e)
{
    return out << "{" << static_cast<int>(e.code) << ", " << e.id << ", " << e.x << ", " << e.y << ", "
               << static_cast<int>(e.kind) << "}";
}

using Events = std::vector<GuiEvent>;
