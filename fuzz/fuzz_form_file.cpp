// Form files: any text is parsed, checked, laid out and resolved against a
// registry holding the skin's texture names; whatever loads becomes a form
// with all its controls on the recording null device, is driven by a press,
// a drag and a release, and is drawn. A failure always leaves an error text,
// and every sprite and text of a built form has finite geometry.
#include "gui/FormFile.h"
#include "gui/QoFormsManager.h"
#include "platform/NullDirect3D.h"

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

struct Rig {
    Rig()
        : direct3d(d3d::NullDirect3D::StandardAdapters()),
          device(MakeCountedHandle(new CRenderDevice(&direct3d, 0))),
          path("/tmp/fuzz_form_file_" + std::to_string(getpid()) + ".qof")
    {
        device->CreateDevice(1024, 768, d3d::D3DFMT_X8R8G8B8, 0, 1, nullptr, d3d::D3DFMT_D16, 1, 0, 1, 0);
        vertices = device->CreateVertexBuffer(4096, 0x208, 0x242, d3d::D3DPOOL_DEFAULT);
        indices = device->CreateIndexBuffer(4096, d3d::D3DFMT_INDEX16, 0x208, d3d::D3DPOOL_DEFAULT);
        for (const char* name : {"GuiCorners", "GuiSides", "GuiBack", "GuiControls"})
            device->CreateTexture(name, 256, 256, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
        for (int32_t size : {24, 28, 56}) {
            auto font = MakeCountedHandle(new CBitmapFont(CountedHandle<CTexture>()));
            for (GlyphRecord& g : font->glyphs)
                g = {0.5f, 1.0f, 0.05f, {}, 0.6f, 0, 0, 0.1f, 0.1f, 0.8f};
            font->spaceAdvance = font->glyphs[32].advance;
            font->header3 = size;
            fonts.push_back(font);
        }
    }
    ~Rig() { std::remove(path.c_str()); }

    d3d::NullDirect3D direct3d;
    CountedHandle<CRenderDevice> device;
    CountedHandle<CVertexBuffer> vertices;
    CountedHandle<CIndexBuffer> indices;
    std::vector<CountedHandle<CBitmapFont>> fonts;
    std::string path;
};

bool Finite(float v) { return std::isfinite(v); }

bool Finite(const CSprite& s)
{
    return Finite(s.x) && Finite(s.y) && Finite(s.z) && Finite(s.width) && Finite(s.height);
}

bool Finite(const CText& t)
{
    if (!Finite(t.origin[0]) || !Finite(t.origin[1]) || !Finite(t.origin[2]) || !Finite(t.charWidth) ||
        !Finite(t.charHeight))
        return false;
    for (const GlyphQuad& q : t.quads)
        if (!Finite(q.x) || !Finite(q.y) || !Finite(q.z))
            return false;
    return true;
}

bool Finite(const CQoWindow& w)
{
    if (!Finite(w.Position().x) || !Finite(w.Position().y) || !Finite(w.Position().z) || !Finite(w.Size().w) ||
        !Finite(w.Size().h))
        return false;
    for (size_t i = 0; i < w.SpriteCount(); ++i)
        if (!Finite(*w.Sprite(i)))
            return false;
    for (size_t i = 0; i < w.TextCount(); ++i)
        if (!Finite(*w.Text(i)))
            return false;
    for (size_t i = 0; i < w.ChildCount(); ++i)
        if (!Finite(*w.Child(i)))
            return false;
    return true;
}

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Rig rig;
    rig.direct3d.log = {}; // the null device keeps every call it saw
    FILE* file = std::fopen(rig.path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CFormFile form(rig.device);
    if (!form.LoadFromFile(rig.path, -512.0f, 384.0f)) {
        Check(!form.errorText.empty());
        return 0;
    }
    auto sprites = MakeCountedHandle(new CSpriteRenderer(rig.device, rig.vertices, rig.indices));
    auto texts = MakeCountedHandle(new CTextBatch(rig.device, rig.vertices, rig.indices));
    Check(form.CreateForm(sprites, texts, rig.fonts, 7));
    for (bool interrupted = true; interrupted;)
        if (!form.CreateControls(&interrupted)) {
            Check(!form.errorText.empty());
            return 0;
        }
    CQoFormsManager manager;
    manager.AddForm(form.Form());
    Check(Finite(*form.Form()));

    // A press at every control's centre, a drag across the screen and a
    // release: the values the controls take keep their geometry finite.
    const CQoForm& built = *form.Form();
    for (size_t i = 0; i < built.ChildCount(); ++i) {
        const Vec3& at = built.Child(i)->Position();
        manager.OnMouseMove(at.x, at.y, 0.02f);
        manager.OnMouseDown(at.x, at.y, 0);
        manager.OnMouseMove(at.x - 300.0f, at.y + 200.0f, 0.02f);
        manager.OnMouseUp(at.x, at.y, 0);
    }
    manager.RenderGui();
    Check(Finite(*form.Form()));
    return 0;
}
