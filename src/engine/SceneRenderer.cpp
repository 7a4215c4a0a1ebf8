#include "engine/SceneRenderer.h"

#include "engine/Log.h"
#include "platform/Window.h"

#include <algorithm>
#include <cmath>

using namespace d3d;

CSceneRenderer::CSceneRenderer()
    : fullScreenModes(8, -1), world(Identity()), view(Identity()), projection(OrthoProjection())
{
    windowSizes.reserve(8);
}

// The members go in reverse declaration order: the sand box, the background,
// the board mesh, the caps, the sprite layers 3..1, the GUI, the text batch,
// the flare layers 3..1, the particle layers 6..1, the buffers, the device.
CSceneRenderer::~CSceneRenderer() = default;

D3DMATRIX CSceneRenderer::Identity()
{
    D3DMATRIX m;
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

// Left-handed orthographic projection of a 1024 x 768 area centred on the
// origin, depth -1000..1000 mapped onto 0..1.
D3DMATRIX CSceneRenderer::OrthoProjection()
{
    const float w = 1024.0f, h = 768.0f, zn = -1000.0f, zf = 1000.0f;
    D3DMATRIX m;
    m.m[0][0] = 2.0f / w;
    m.m[1][1] = 2.0f / h;
    m.m[2][2] = 1.0f / (zf - zn);
    m.m[3][2] = zn / (zn - zf);
    m.m[3][3] = 1.0f;
    return m;
}

void CSceneRenderer::ComputeViewports(int w, int h, D3DVIEWPORT8* full, D3DVIEWPORT8* centred)
{
    *full = D3DVIEWPORT8{0, 0, static_cast<uint32_t>(w), static_cast<uint32_t>(h), 0.0f, 1.0f};
    int c = static_cast<int>(std::floor(h * 1024.0 / 768.0 + 0.5));
    c = std::min(c, w);
    *centred = D3DVIEWPORT8{static_cast<uint32_t>((w - c) / 2), 0,    static_cast<uint32_t>(c),
                            static_cast<uint32_t>(h),           0.0f, 1.0f};
}

void CSceneRenderer::UpdateScale()
{
    width = settings.width;
    height = settings.height;
    format = settings.modeFormat;
    horizontalScale = 1024.0f / static_cast<float>(std::max(width, 1));
    halfScale = horizontalScale * 0.5f;
    halfWidth = static_cast<float>(width / 2);
}

void CSceneRenderer::SizeWindow()
{
    if (window)
        window->SetClientSize(width, height);
}

HRESULT CSceneRenderer::CreateDevice(DisplaySettings* s, IDirect3D8* obj, plat::Window* win, D3DFORMAT depthFormat)
{
    object = obj;
    settings = *s;
    window = win;
    UpdateScale();

    device = MakeCountedHandle(new CRenderDevice(obj, s->adapter));
    if (!ChooseAdapter(s)) {
        WriteLog("No Direct3D adapter found!\n");
        return D3DERR_NOTAVAILABLE;
    }
    const CDisplayModeList& list = *device->ModeList();
    const DisplayMode* desktop =
        list.desktopIndex >= 0 ? &list.entries[static_cast<size_t>(list.desktopIndex)] : nullptr;
    ListWindowSizes(desktop, s);
    FillFullScreenModes(list, desktop);
    ChooseSize(list, s);
    ChooseColourDepth(list, desktop, s);
    ChooseModeFormat(list, desktop, s);

    settings = *s;
    UpdateScale();
    SizeWindow();
    const HRESULT hr = device->CreateDevice(s->width, s->height, s->modeFormat, s->fullScreen, s->videoSync, win,
                                            depthFormat, 1, D3DMULTISAMPLE_NONE, D3DSWAPEFFECT_DISCARD, 0);
    if (Failed(hr))
        return hr;
    SetDeviceDefaults();
    return D3D_OK;
}

// A usable adapter offers at least one mode of 640 x 480 or more with more
// than 14 bits per pixel. A negative number from a hand-edited options file
// means the first adapter, as it does for the device; a number past the last
// adapter, or one without a usable mode, gives way to the first usable one.
bool CSceneRenderer::ChooseAdapter(DisplaySettings* s)
{
    if (device->adapterCount < 1)
        return false;
    if (s->adapter < 0)
        s->adapter = 0;
    auto usable = [&](int32_t a) {
        const CDisplayModeList* list = device->modeLists[static_cast<size_t>(a)].Get();
        return std::any_of(list->entries.begin(), list->entries.end(), [](const DisplayMode& m) {
            return m.bitsPerPixel > 14 && m.width >= 640 && m.height >= 480;
        });
    };
    int32_t first = -1;
    for (int32_t a = 0; a < device->adapterCount && first < 0; ++a)
        if (usable(a))
            first = a;
    if (first < 0)
        return false;
    if (s->adapter >= device->adapterCount || !usable(s->adapter))
        s->adapter = first;
    device->adapter = s->adapter;
    return true;
}

// The window sizes offered: those of 640 x 480, 800 x 600 and 1024 x 768
// that fit inside the desktop, at most the smallest and the largest of them.
// Without a desktop the game runs full screen.
void CSceneRenderer::ListWindowSizes(const DisplayMode* desktop, DisplaySettings* s)
{
    windowSizes = {{640, 480}, {800, 600}, {1024, 768}};
    if (!desktop) {
        windowSizes.resize(1);
        s->fullScreen = 1;
        return;
    }
    for (size_t i = windowSizes.size(); i-- > 1;)
        if (windowSizes[i].first >= desktop->width || windowSizes[i].second >= desktop->height)
            windowSizes.erase(windowSizes.begin() + static_cast<long>(i));
    if (windowSizes.size() > 2)
        windowSizes.erase(windowSizes.begin() + 1, windowSizes.end() - 1);
}

// The full-screen mode table: 4:3 modes in slots 0, 1 and 3, and on a wider
// desktop modes of its own shape in slots 4, 5 and 7.
void CSceneRenderer::FillFullScreenModes(const CDisplayModeList& list, const DisplayMode* desktop)
{
    std::fill(fullScreenModes.begin(), fullScreenModes.end(), -1);
    fullScreenModes[0] = list.FindFullScreenDepth(640, 480, 16, false);
    fullScreenModes[1] = list.FindFullScreenDepth(1024, 768, 16, false);
    fullScreenModes[3] = list.FindFullScreenDepth(1024, 768, 32, false);
    if (desktop && 3 * desktop->width > 4 * desktop->height) {
        const float aspect = static_cast<float>(desktop->height) / static_cast<float>(desktop->width);
        fullScreenModes[4] = list.FindByAspect(aspect, 0.001f, 480, 16);
        fullScreenModes[5] = list.FindByAspect(aspect, 0.001f, 768, 16);
        fullScreenModes[7] = list.FindByAspect(aspect, 0.001f, 768, 32);
    }
}

// A configured full-screen mode stays only when the adapter has it. Without
// a size, a window takes the first or (on better hardware) the second size;
// full screen the best mode the hardware level allows, else 640 x 480.
void CSceneRenderer::ChooseSize(const CDisplayModeList& list, DisplaySettings* s)
{
    if (s->fullScreen && list.FindFullScreenDepth(s->width, s->height, s->colorMode, false) < 0) {
        s->width = 0;
        s->height = 0;
        s->colorMode = -1;
    }
    s->hardwareLevel = GetHardwareLevel(s->adapter, object);
    if (s->width != 0 && s->height != 0)
        return;
    if (!s->fullScreen && !windowSizes.empty()) {
        const size_t pick = (s->hardwareLevel > 1 && windowSizes.size() >= 2) ? 1 : 0;
        s->width = windowSizes[pick].first;
        s->height = windowSizes[pick].second;
        return;
    }
    s->fullScreen = 1;
    struct Choice {
        int slot, bits;
    };
    static const std::vector<Choice> best = {{7, 32}, {5, 16}, {3, 32}, {5, 16}, {1, 16}, {4, 16}, {0, 16}};
    static const std::vector<Choice> middle = {{5, 16}, {1, 16}, {4, 16}, {0, 16}};
    static const std::vector<Choice> low = {{4, 16}, {0, 16}};
    const std::vector<Choice>& order = s->hardwareLevel >= 5 ? best : s->hardwareLevel >= 2 ? middle : low;
    for (const Choice& c : order) {
        const int index = fullScreenModes[static_cast<size_t>(c.slot)];
        if (index < 0)
            continue;
        s->width = list.entries[static_cast<size_t>(index)].width;
        s->height = list.entries[static_cast<size_t>(index)].height;
        s->colorMode = c.bits;
        return;
    }
    s->width = 640;
    s->height = 480;
    s->colorMode = -1;
}

// A window takes the desktop's depth; full screen keeps a depth the adapter
// has at that size, else the desktop's, else that of a mode of the size
// (1024 x 768 when the size has none).
void CSceneRenderer::ChooseColourDepth(const CDisplayModeList& list, const DisplayMode* desktop,
                                       DisplaySettings* s)
{
    if (!s->fullScreen)
        s->colorMode = -1;
    else if (s->colorMode != -1 && list.FindFullScreenDepth(s->width, s->height, s->colorMode, true) < 0)
        s->colorMode = -1;
    if (s->colorMode != -1)
        return;
    if (desktop) {
        s->colorMode = desktop->bitsPerPixel;
        return;
    }
    s->fullScreen = 1;
    int index = list.FindFullScreenSize(s->width, s->height, true);
    if (index < 0) {
        s->width = 1024;
        s->height = 768;
        index = list.FindFullScreenSize(s->width, s->height, true);
    }
    if (index >= 0)
        s->colorMode = list.entries[static_cast<size_t>(index)].bitsPerPixel;
    else if (!list.entries.empty())
        s->colorMode = list.entries[0].bitsPerPixel;
}

// Full screen: the format of the listed mode of that size and depth (1024 x
// 768, then the first listed size, when there is none). A window: the
// desktop's format, the size shrunk to the largest window size that fits.
void CSceneRenderer::ChooseModeFormat(const CDisplayModeList& list, const DisplayMode* desktop, DisplaySettings* s)
{
    if (!s->fullScreen) {
        if (s->width > desktop->width || s->height > desktop->height) {
            auto fits = [&](const std::pair<int32_t, int32_t>& size) {
                return size.first <= desktop->width && size.second <= desktop->height;
            };
            auto it = std::find_if(windowSizes.rbegin(), windowSizes.rend(), fits);
            const auto& size = it != windowSizes.rend() ? *it : windowSizes.front();
            s->width = size.first;
            s->height = size.second;
        }
        s->modeFormat = desktop->format;
        return;
    }
    int index = list.FindFullScreenDepth(s->width, s->height, s->colorMode, true);
    if (index < 0) {
        s->width = 1024;
        s->height = 768;
        index = list.FindFullScreenDepth(s->width, s->height, s->colorMode, true);
    }
    if (index < 0 && !list.entries.empty()) {
        s->width = list.entries[0].width;
        s->height = list.entries[0].height;
        index = list.FindFullScreenDepth(s->width, s->height, s->colorMode, false);
    }
    if (list.entries.empty())
        return;
    const DisplayMode& mode = list.entries[static_cast<size_t>(std::max(index, 0))];
    s->modeFormat = mode.format;
    s->width = mode.width;
    s->height = mode.height;
}

// Lighting off, linear filtering on the two stages the game uses, the
// identity world, the viewport over the whole back buffer and the 1024 x 768
// projection.
void CSceneRenderer::SetDeviceDefaults()
{
    device->SetRenderState(D3DRS_LIGHTING, 0);
    for (uint32_t stage = 0; stage < 2; ++stage) {
        device->SetTextureStageState(stage, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(stage, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(stage, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    }
    world = Identity();
    device->SetTransform(D3DTS_WORLD, world);
    ComputeViewports(width, height, &fullViewport, &centredViewport);
    device->SetViewport(fullViewport);
    projection = OrthoProjection();
}

void CSceneRenderer::GetDisplayMode(int fullScreen, int* w, int* h, D3DFORMAT* f)
{
    if (fullScreen) {
        *w = device->fullScreenWidth;
        *h = device->fullScreenHeight;
        *f = device->fullScreenFormat;
        return;
    }
    *w = width;
    *h = height;
    const CDisplayModeList* list = device->ModeList();
    if (list && list->desktopIndex >= 0)
        *f = list->entries[static_cast<size_t>(list->desktopIndex)].format;
    else if (list && !list->entries.empty())
        *f = list->entries[0].format;
}

int CSceneRenderer::SetDisplayMode(int fullScreen, int w, int h, D3DFORMAT f)
{
    CDisplayModeList* list = device->ModeList();
    if (!list)
        return 0;
    if (fullScreen) {
        if (!device->IsModeAvailable(w, h, f, 1)) {
            const int index = list->FindFullScreenMode(w, h, f, true);
            if (index < 0)
                return 0;
            w = list->entries[static_cast<size_t>(index)].width;
            h = list->entries[static_cast<size_t>(index)].height;
        }
        settings.width = w;
        settings.height = h;
        settings.modeFormat = f;
        settings.fullScreen = 1;
        device->presentParameters.Windowed = 0;
        device->fullScreenWidth = w;
        device->fullScreenHeight = h;
        device->fullScreenFormat = f;
        device->modeIndex = list->FindMode(w, h, f, false);
    } else {
        if (list->desktopIndex < 0)
            return 0;
        device->presentParameters.Windowed = 1;
        std::pair<int32_t, int32_t> size = windowSizes.front();
        auto exact = std::find(windowSizes.begin(), windowSizes.end(), std::make_pair(w, h));
        if (exact != windowSizes.end()) {
            size = *exact;
        } else {
            for (size_t i = windowSizes.size(); i-- > 1;) {
                if (windowSizes[i].first <= w && windowSizes[i].second <= h) {
                    size = windowSizes[i];
                    break;
                }
            }
        }
        device->presentParameters.BackBufferWidth = static_cast<uint32_t>(size.first);
        device->presentParameters.BackBufferHeight = static_cast<uint32_t>(size.second);
        settings.width = size.first;
        settings.height = size.second;
        settings.fullScreen = 0;
    }
    width = settings.width;
    height = settings.height;
    OnDeviceReset();
    UpdateScale();
    return 1;
}

void CSceneRenderer::GammaRampFromBrightness(float x, D3DGAMMARAMP* ramp)
{
    const float a = (0.5f - x) * 10.0f;
    float t = 0.0f;
    for (int i = 0; i < 256; ++i) {
        float v = t;
        if (a != 0.0f)
            v = (std::exp(a * t) - 1.0f) / (std::exp(a) - 1.0f);
        const double scaled = std::floor(static_cast<double>(v) * 65535.0);
        const uint16_t entry = static_cast<uint16_t>(std::clamp(scaled, 0.0, 65535.0));
        ramp->red[i] = ramp->green[i] = ramp->blue[i] = entry;
        t += 1.0f / 255.0f;
    }
}

void CSceneRenderer::SaveGammaRamp()
{
    if (device && device->Device())
        device->Device()->GetGammaRamp(&savedGammaRamp);
}

void CSceneRenderer::SetGammaFromBrightness(float brightness)
{
    D3DGAMMARAMP ramp;
    GammaRampFromBrightness(brightness, &ramp);
    if (device && device->Device())
        device->Device()->SetGammaRamp(D3DSGR_NO_CALIBRATION, ramp);
}

void CSceneRenderer::RestoreGammaRamp()
{
    if (device && device->Device())
        device->Device()->SetGammaRamp(D3DSGR_NO_CALIBRATION, savedGammaRamp);
}

void CSceneRenderer::LetterboxClear()
{
    if (centredViewport.Width < fullViewport.Width) {
        device->SetViewport(fullViewport);
        device->Clear(D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->SetViewport(centredViewport);
    }
}

// The fixed state every frame starts from, through the caches.
void CSceneRenderer::SetFrameStates()
{
    device->ModulateTextureByVertexColour(0);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

// A scene that paints over black asks for a black clear; otherwise depth,
// and the target when asked, with the clear colour. The target is cleared
// even under a scene's opaque picture: the software rasteriser starts a
// cleared frame without reading the old one back, which costs less than the
// clear.
void CSceneRenderer::ClearTarget()
{
    if (background && background->IsRenderGateOpen() && background->WantsBlackClear()) {
        device->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        return;
    }
    device->Clear(D3DCLEAR_ZBUFFER | (clearTarget ? D3DCLEAR_TARGET : 0), clearColor, 1.0f, 0);
}

HRESULT CSceneRenderer::RenderFrame()
{
    IDirect3DDevice8* d = device ? device->Device() : nullptr;
    if (!d)
        return D3DERR_DEVICELOST;
    const HRESULT level = d->TestCooperativeLevel();
    if (level == D3DERR_DEVICELOST)
        return level;
    if (level == D3DERR_DEVICENOTRESET || resetPending) {
        OnDeviceReset();
        if (resetPending)
            return D3DERR_DEVICELOST;
    }
    if (Failed(d->BeginScene()))
        return D3D_OK;
    LetterboxClear();
    ClearTarget();
    device->SetTransform(D3DTS_VIEW, view);
    device->SetTransform(D3DTS_PROJECTION, projection);
    device->SetRenderState(D3DRS_ALPHAREF, 128);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    SetFrameStates();
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_DITHERENABLE, 1);
    device->SetRenderState(D3DRS_ZWRITEENABLE, 1);
    device->SetIndices(indexBuffer, 0);
    device->SetStreamSource(vertexBuffer);
    device->SetFVF(kVertexFvf);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DrawLayers();
    d->EndScene();
    return D3D_OK;
}

void CSceneRenderer::DepthWritesOff() { device->SetFrameDepthWrites(false); }

void CSceneRenderer::DrawParticlesAlphaTested(int layer)
{
    if (IParticleLayer* p = particleLayers[layer - 1].Get())
        p->RenderAlphaTested();
}

// Depth writes go off before the blended pass whether or not the layer
// exists: later layers rely on it.
void CSceneRenderer::DrawParticlesBlended(int layer)
{
    DepthWritesOff();
    if (IParticleLayer* p = particleLayers[layer - 1].Get())
        p->RenderBlended();
}

void CSceneRenderer::DrawSprites(int layer)
{
    CSpriteRenderer* r = spriteLayers[layer - 1].Get();
    if (r && r->enabled)
        r->Render();
}

void CSceneRenderer::DrawSpritesBlended(int layer)
{
    CSpriteRenderer* r = spriteLayers[layer - 1].Get();
    if (r && r->enabled)
        r->RenderLayer(1);
}

// The forms are flat screens laid over everything drawn before them, in
// their own order: a selection marker, a hint arrow or a flying gem stands
// in front of the forms' plane, and compared by depth it would cut through
// the pause menu, the results or any dialog. The forms still write their
// depth, so what the later layers draw stays behind a dialog as before.
void CSceneRenderer::DrawGui()
{
    if (!gui)
        return;
    uint32_t keptZFunc = D3DCMP_LESSEQUAL;
    device->GetFrameRenderState(D3DRS_ZFUNC, &keptZFunc);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    gui->RenderGui();
    device->SetRenderState(D3DRS_ZFUNC, keptZFunc);
}

// The scene draws only where the screen in front leaves it in view: what a
// fragment costs the software rasteriser is paid as much for one covered
// later as for one that shows.
void CSceneRenderer::DrawBackground()
{
    if (!background || !background->IsRenderGateOpen())
        return;
    const SceneView& inView = ViewOfScene();
    if (inView.cut)
        device->CutDrawsTo(inView.whole);
    background->Render(inView);
    if (inView.cut)
        device->StopCutting();
}

void CSceneRenderer::Uncovered(const D3DRECT& area, const std::vector<D3DRECT>& covers, std::vector<D3DRECT>* out)
{
    out->clear();
    if (area.x2 <= area.x1 || area.y2 <= area.y1)
        return;
    // Kept for their room: the frame asks twice a frame.
    static thread_local std::vector<int32_t> edges;
    static thread_local std::vector<std::pair<int32_t, int32_t>> covered, free, freeAbove;
    edges.assign({area.y1, area.y2});
    for (const D3DRECT& c : covers)
        for (int32_t y : {c.y1, c.y2})
            if (y > area.y1 && y < area.y2)
                edges.push_back(y);
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    // The rectangles of the band above, which a band of the same free spans
    // lengthens instead of starting its own.
    size_t above = 0;
    freeAbove.clear();
    for (size_t band = 0; band + 1 < edges.size(); ++band) {
        const int32_t top = edges[band], bottom = edges[band + 1];
        covered.clear();
        for (const D3DRECT& c : covers)
            if (c.y1 <= top && c.y2 >= bottom && c.x2 > c.x1)
                covered.emplace_back(std::max(c.x1, area.x1), std::min(c.x2, area.x2));
        std::sort(covered.begin(), covered.end());
        free.clear();
        int32_t x = area.x1;
        for (const auto& [left, right] : covered) {
            if (left > x)
                free.emplace_back(x, left);
            x = std::max(x, right);
        }
        if (x < area.x2)
            free.emplace_back(x, area.x2);
        if (band > 0 && free == freeAbove) {
            for (size_t i = above; i < out->size(); ++i)
                (*out)[i].y2 = bottom;
            continue;
        }
        above = out->size();
        for (const auto& [left, right] : free)
            out->push_back(D3DRECT{left, top, right, bottom});
        freeAbove = free;
    }
}

// A cover hides the pixels whose centres lie two pixels or more inside it:
// along its edges its picture is filtered with what lies beyond. Along the
// screen's edges nothing lies beyond.
const SceneView& CSceneRenderer::ViewOfScene()
{
    m_view.cut = !sceneCover.Empty();
    if (!m_view.cut)
        return m_view;
    const D3DVIEWPORT8& v = centredViewport;
    const float sx = static_cast<float>(v.Width) / 1024.0f, sy = static_cast<float>(v.Height) / 768.0f;
    constexpr int32_t kMargin = 2;
    const D3DRECT screen{static_cast<int32_t>(v.X), static_cast<int32_t>(v.Y), static_cast<int32_t>(v.X + v.Width),
                         static_cast<int32_t>(v.Y + v.Height)};
    auto pixels = [&](const SceneCover::Rect& r) {
        return D3DRECT{
            r.left <= -512.0f ? screen.x1
                              : static_cast<int32_t>(std::ceil(v.X + (r.left + 512.0f) * sx)) + kMargin,
            r.top >= 384.0f ? screen.y1 : static_cast<int32_t>(std::ceil(v.Y + (384.0f - r.top) * sy)) + kMargin,
            r.right >= 512.0f ? screen.x2
                              : static_cast<int32_t>(std::floor(v.X + (r.right + 512.0f) * sx)) - kMargin,
            r.bottom <= -384.0f ? screen.y2
                                : static_cast<int32_t>(std::floor(v.Y + (384.0f - r.bottom) * sy)) - kMargin};
    };
    m_covers.clear();
    for (const SceneCover::Rect& r : sceneCover.opaque)
        m_covers.push_back(pixels(r));
    Uncovered(screen, m_covers, &m_view.whole);
    for (const SceneCover::Rect& r : sceneCover.translucent)
        m_covers.push_back(pixels(r));
    Uncovered(screen, m_covers, &m_view.faint);
    return m_view;
}

// The layers from back to front. Sprite, flare and particle layers are
// numbered from 1 as the owners number them.
void CSceneRenderer::DrawLayers()
{
    const FrameTargets targets{device, vertexBuffer, indexBuffer};
    const bool capsShown = caps && caps->IsShown();

    DrawBackground();
    DrawParticlesAlphaTested(1);
    DrawParticlesBlended(1);
    if (flareLayers[0] && !flareLayers[0]->flares.empty())
        flareLayers[0]->Render();
    if (boardMesh && boardMesh->IsShown())
        boardMesh->Draw(targets);
    DrawParticlesAlphaTested(2);
    DrawParticlesBlended(2);
    if (sandbox && sandbox->IsShown())
        sandbox->Draw(targets);
    if (capsShown)
        caps->RenderCaps();
    DrawSprites(1);
    DrawParticlesAlphaTested(3);
    DrawSpritesBlended(1);
    DrawParticlesBlended(3);
    if (flareLayers[1])
        flareLayers[1]->Render();
    if (capsShown) {
        caps->RenderChains();
        DepthWritesOff();
    }
    if (textBatch)
        textBatch->Draw(kTextLayerScene);
    DrawSprites(2);
    DrawParticlesAlphaTested(4);
    DrawSpritesBlended(2);
    DrawParticlesBlended(4);
    DrawParticlesAlphaTested(5);
    DrawGui();
    DrawSprites(3);
    DrawParticlesBlended(5);
    DrawSpritesBlended(3);
    if (flareLayers[2])
        flareLayers[2]->Render();
    if (textBatch)
        textBatch->Draw(kTextLayerOverlay);
    DrawParticlesBlended(6);
}

HRESULT CSceneRenderer::RenderLoadingFrame(CountedHandle<CTexture> picture, float progress)
{
    IDirect3DDevice8* d = device ? device->Device() : nullptr;
    if (!d)
        return D3DERR_DEVICELOST;
    const HRESULT level = d->TestCooperativeLevel();
    if (level == D3DERR_DEVICELOST || level == D3DERR_DEVICENOTRESET)
        return level;
    if (!vertexBuffer || !indexBuffer)
        return D3DERR_INVALIDCALL;
    uint8_t* v = nullptr;
    uint8_t* x = nullptr;
    if (Failed(vertexBuffer->Lock(8, &v, 0)))
        return D3DERR_INVALIDCALL;
    if (Failed(indexBuffer->Lock(12, &x, 0))) {
        vertexBuffer->Unlock();
        return D3DERR_INVALIDCALL;
    }
    const float t = 264.0f * progress;
    const float u = t / 1024.0f + 0.001953125f;
    const Vertex quads[8] = {
        {-512.5f, 384.5f, 0, 0xFFFFFFFF, 0, 0, 0, 0},
        {511.5f, 384.5f, 0, 0xFFFFFFFF, 1, 0, 0, 0},
        {511.5f, -383.5f, 0, 0xFFFFFFFF, 1, 0.75f, 0, 0},
        {-512.5f, -383.5f, 0, 0xFFFFFFFF, 0, 0.75f, 0, 0},
        {-132.5f, -257.5f, 0, 0xFFFFFFFF, 0.001953125f, 0.783203125f, 0, 0},
        {t - 132.5f, -257.5f, 0, 0xFFFFFFFF, u, 0.783203125f, 0, 0},
        {t - 132.5f, -305.5f, 0, 0xFFFFFFFF, u, 0.830078125f, 0, 0},
        {-132.5f, -305.5f, 0, 0xFFFFFFFF, 0.001953125f, 0.830078125f, 0, 0},
    };
    std::copy(quads, quads + 8, reinterpret_cast<Vertex*>(v));
    const uint32_t b = vertexBuffer->LockStart();
    const uint32_t order[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
    uint16_t* indices = reinterpret_cast<uint16_t*>(x);
    for (int i = 0; i < 12; ++i)
        indices[i] = static_cast<uint16_t>(b + order[i]);
    vertexBuffer->Unlock();
    indexBuffer->Unlock();

    if (Failed(d->BeginScene()))
        return D3D_OK;
    LetterboxClear();
    device->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_DITHERENABLE, 1);
    SetFrameStates();
    device->SetIndices(indexBuffer, 0);
    device->SetStreamSource(vertexBuffer);
    device->SetFVF(kVertexFvf);
    device->SetTexture(0, picture);
    device->SetTransform(D3DTS_VIEW, view);
    device->SetTransform(D3DTS_PROJECTION, projection);
    device->DrawIndexed(D3DPT_TRIANGLELIST, b, 8, indexBuffer->LockStart(), 4);
    d->EndScene();
    return D3D_OK;
}

HRESULT CSceneRenderer::Present()
{
    IDirect3DDevice8* d = device ? device->Device() : nullptr;
    if (!d)
        return D3DERR_DEVICELOST;
    const HRESULT hr = d->Present();
    if (Failed(hr))
        OnDeviceReset();
    return hr;
}

void CSceneRenderer::OnDeviceReset()
{
    device->ReleaseDefaultPoolResources();
    // One attempt per frame: a device that is still lost stays so until the
    // next frame, and the window keeps taking its messages meanwhile.
    if (Failed(device->Reset())) {
        resetPending = true;
        return;
    }
    resetPending = false;
    const int cursor = device->FindSurfaceIndex("CursorSurface");
    if (cursor < 0)
        WriteLog("Cursor surface not found!\n");
    else
        device->Device()->SetCursorProperties(0, 0,
                                              device->imageSurfaces[static_cast<size_t>(cursor)]->surface.get());
    if (window) {
        window->SetFullScreen(!device->presentParameters.Windowed);
        window->SetClientSize(static_cast<int>(device->presentParameters.BackBufferWidth),
                              static_cast<int>(device->presentParameters.BackBufferHeight));
    }
    ComputeViewports(width, height, &fullViewport, &centredViewport);
    device->SetViewport(fullViewport);
    projection = OrthoProjection();
    WriteLog("Device Reset. Now");
    WriteLog(device->presentParameters.Windowed ? "Windowed" : "Fullscreen");
    WriteLogNumber(static_cast<int>(device->presentParameters.BackBufferWidth));
    WriteLog("x");
    WriteLogNumber(static_cast<int>(device->presentParameters.BackBufferHeight));
    WriteLogNumber(device->presentParameters.BackBufferFormat);
    WriteLog("\n");
}
