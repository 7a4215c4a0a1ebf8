// The drawing device on OpenGL (compatibility profile) and an SDL window.
//
// Adapters are SDL's displays. Every display resolution is offered in a
// 16-bit and a 32-bit format, since GL renders either on any screen; when the
// video driver reports no modes at all (a headless driver), a small standard
// set is offered around a 1024 x 768 desktop. Full screen never switches the
// monitor's mode: the window covers the desktop and the back buffer is shown
// scaled and centred.
#include "platform/D3D8.h"
#include "platform/DeviceStateStore.h"
#include "platform/Window.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace d3d {

namespace {

struct AdapterInfo {
    std::vector<D3DDISPLAYMODE> modes;
    D3DDISPLAYMODE desktop;
    bool hasDesktop = false;
};

D3DFORMAT FormatOfSdl(Uint32 pixelFormat)
{
    switch (SDL_BITSPERPIXEL(pixelFormat)) {
    case 15: return D3DFMT_X1R5G5B5;
    case 16: return D3DFMT_R5G6B5;
    case 24: return SDL_BYTESPERPIXEL(pixelFormat) == 4 ? D3DFMT_X8R8G8B8 : D3DFMT_R8G8B8;
    case 32: return D3DFMT_X8R8G8B8;
    default: return D3DFMT_X8R8G8B8;
    }
}

void AddMode(std::vector<D3DDISPLAYMODE>* modes, uint32_t w, uint32_t h, uint32_t refresh, D3DFORMAT format)
{
    for (const D3DDISPLAYMODE& m : *modes)
        if (m.Width == w && m.Height == h && m.Format == format)
            return;
    D3DDISPLAYMODE mode;
    mode.Width = w;
    mode.Height = h;
    mode.RefreshRate = refresh;
    mode.Format = format;
    modes->push_back(mode);
}

AdapterInfo QueryAdapter(int display)
{
    AdapterInfo info;
    SDL_DisplayMode desktop {};
    if (SDL_GetDesktopDisplayMode(display, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
        info.desktop.Width = static_cast<uint32_t>(desktop.w);
        info.desktop.Height = static_cast<uint32_t>(desktop.h);
        info.desktop.RefreshRate = static_cast<uint32_t>(desktop.refresh_rate);
        info.desktop.Format = FormatOfSdl(desktop.format);
        info.hasDesktop = true;
    }
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode {};
        if (SDL_GetDisplayMode(display, i, &mode) != 0 || mode.w <= 0 || mode.h <= 0)
            continue;
        const uint32_t w = static_cast<uint32_t>(mode.w), h = static_cast<uint32_t>(mode.h);
        const uint32_t r = static_cast<uint32_t>(mode.refresh_rate);
        AddMode(&info.modes, w, h, r, D3DFMT_R5G6B5);
        AddMode(&info.modes, w, h, r, D3DFMT_X8R8G8B8);
    }
    if (info.modes.empty()) {
        if (!info.hasDesktop) {
            info.desktop.Width = 1024;
            info.desktop.Height = 768;
            info.desktop.Format = D3DFMT_X8R8G8B8;
            info.hasDesktop = true;
        }
        const uint32_t sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024},
                                     {info.desktop.Width, info.desktop.Height}};
        for (const auto& s : sizes) {
            if (s[0] > info.desktop.Width || s[1] > info.desktop.Height)
                continue;
            AddMode(&info.modes, s[0], s[1], 60, D3DFMT_R5G6B5);
            AddMode(&info.modes, s[0], s[1], 60, D3DFMT_X8R8G8B8);
        }
    }
    if (info.hasDesktop)
        AddMode(&info.modes, info.desktop.Width, info.desktop.Height, info.desktop.RefreshRate, info.desktop.Format);
    return info;
}

bool IsDisplayFormat(D3DFORMAT format)
{
    return format == D3DFMT_R5G6B5 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_X1R5G5B5 ||
           format == D3DFMT_R8G8B8;
}

void FillCaps(D3DCAPS8* caps)
{
    *caps = D3DCAPS8{};
    caps->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps->StencilCaps = D3DSTENCILCAPS_ZERO;
    caps->MaxTextureWidth = 4096;
    caps->MaxTextureHeight = 4096;
    caps->MaxPrimitiveCount = 0xFFFFF;
    caps->MaxVertexIndex = 0xFFFFFF;
    caps->VertexShaderVersion = 0xFFFE0101;
    caps->PixelShaderVersion = 0xFFFF0101;
    caps->MaxSimultaneousTextures = 8;
}

class GlDevice final : public IDirect3DDevice8 {
public:
    GlDevice(plat::Window* window, SDL_GLContext context, const D3DPRESENT_PARAMETERS& params)
        : m_window(window), m_context(context), m_states(params.EnableAutoDepthStencil != 0)
    {
        ApplyPresentParameters(params);
        SDL_GetWindowGammaRamp(m_window->Handle(), m_savedRamp.red, m_savedRamp.green, m_savedRamp.blue);
        glDisable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    }

    ~GlDevice() override
    {
        SDL_GL_MakeCurrent(m_window->Handle(), nullptr);
        SDL_GL_DeleteContext(m_context);
    }

    HRESULT TestCooperativeLevel() override { return D3D_OK; }

    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override
    {
        if (!params)
            return D3DERR_INVALIDCALL;
        ApplyPresentParameters(*params);
        m_states.ResetToDefaults(params->EnableAutoDepthStencil != 0);
        return D3D_OK;
    }

    HRESULT Present() override
    {
        SDL_GL_SwapWindow(m_window->Handle());
        return D3D_OK;
    }

    HRESULT BeginScene() override { return D3D_OK; }
    HRESULT EndScene() override { return D3D_OK; }

    HRESULT Clear(uint32_t flags, uint32_t color, float z, uint32_t) override
    {
        GLbitfield mask = 0;
        if (flags & D3DCLEAR_TARGET) {
            glClearColor(((color >> 16) & 0xff) / 255.0f, ((color >> 8) & 0xff) / 255.0f,
                         (color & 0xff) / 255.0f, ((color >> 24) & 0xff) / 255.0f);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (flags & D3DCLEAR_ZBUFFER) {
            glClearDepth(z);
            glDepthMask(GL_TRUE);
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        // Clear what the viewport covers, as the device clears its viewport.
        glEnable(GL_SCISSOR_TEST);
        glClear(mask);
        glDisable(GL_SCISSOR_TEST);
        glDepthMask(m_states.RenderState(D3DRS_ZWRITEENABLE) ? GL_TRUE : GL_FALSE);
        return D3D_OK;
    }

    HRESULT GetDeviceCaps(D3DCAPS8* caps) override
    {
        FillCaps(caps);
        return D3D_OK;
    }

    HRESULT SetViewport(const D3DVIEWPORT8& viewport) override
    {
        m_viewport = viewport;
        ApplyViewport();
        return D3D_OK;
    }

    HRESULT GetViewport(D3DVIEWPORT8* viewport) override
    {
        *viewport = m_viewport;
        return D3D_OK;
    }

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override
    {
        // Row vectors times matrices: the same sixteen floats are GL's
        // column-major layout.
        if (state == D3DTS_PROJECTION) {
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(&matrix.m[0][0]);
        } else if (state == D3DTS_WORLD || state == D3DTS_VIEW) {
            if (state == D3DTS_WORLD)
                m_world = matrix;
            else
                m_view = matrix;
            glMatrixMode(GL_MODELVIEW);
            glLoadMatrixf(&m_view.m[0][0]);
            glMultMatrixf(&m_world.m[0][0]);
        } else {
            return D3DERR_INVALIDCALL;
        }
        return D3D_OK;
    }

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override
    {
        if (!m_states.ValidRenderState(state))
            return D3DERR_INVALIDCALL;
        m_states.SetRenderState(state, value);
        return D3D_OK;
    }

    HRESULT GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) override
    {
        if (!m_states.ValidRenderState(state))
            return D3DERR_INVALIDCALL;
        *value = m_states.RenderState(state);
        return D3D_OK;
    }

    HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) override
    {
        if (!m_states.ValidStageState(stage, type))
            return D3DERR_INVALIDCALL;
        m_states.SetStageState(stage, type, value);
        return D3D_OK;
    }

    HRESULT GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t* value) override
    {
        if (!m_states.ValidStageState(stage, type))
            return D3DERR_INVALIDCALL;
        *value = m_states.StageState(stage, type);
        return D3D_OK;
    }

    void SetGammaRamp(uint32_t, const D3DGAMMARAMP& ramp) override
    {
        if (SDL_SetWindowGammaRamp(m_window->Handle(), ramp.red, ramp.green, ramp.blue) != 0 && !m_gammaWarned) {
            m_gammaWarned = true;
            std::fprintf(stderr, "Gamma ramp not available: %s\n", SDL_GetError());
        }
    }

    void GetGammaRamp(D3DGAMMARAMP* ramp) override
    {
        if (SDL_GetWindowGammaRamp(m_window->Handle(), ramp->red, ramp->green, ramp->blue) != 0) {
            // No ramp to read: report the identity, which is what restoring it should give.
            for (int i = 0; i < 256; ++i)
                ramp->red[i] = ramp->green[i] = ramp->blue[i] = static_cast<uint16_t>(i * 257);
        }
    }

    bool ShowCursor(bool show) override
    {
        const bool was = m_cursorShown;
        m_cursorShown = show;
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
        return was;
    }

    void SetCursorPosition(int, int, uint32_t) override {}

private:
    void ApplyPresentParameters(const D3DPRESENT_PARAMETERS& params)
    {
        m_backWidth = static_cast<int>(params.BackBufferWidth);
        m_backHeight = static_cast<int>(params.BackBufferHeight);
        m_window->SetFullScreen(!params.Windowed);
        m_window->SetClientSize(m_backWidth, m_backHeight);
        m_window->SetBackBufferSize(m_backWidth, m_backHeight);
        const int interval = params.FullScreen_PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1;
        if (SDL_GL_SetSwapInterval(interval) != 0 && interval == 1)
            SDL_GL_SetSwapInterval(0);
        ComputeLetterbox();
        m_viewport = D3DVIEWPORT8{0, 0, static_cast<uint32_t>(m_backWidth), static_cast<uint32_t>(m_backHeight), 0, 1};
        ApplyViewport();
    }

    void ComputeLetterbox()
    {
        int w = m_backWidth, h = m_backHeight;
        SDL_GL_GetDrawableSize(m_window->Handle(), &w, &h);
        if (w <= 0 || h <= 0 || m_backWidth <= 0 || m_backHeight <= 0) {
            m_scale = 1.0f;
            m_offsetX = m_offsetY = 0;
            m_drawableHeight = m_backHeight;
            return;
        }
        m_scale = std::min(static_cast<float>(w) / m_backWidth, static_cast<float>(h) / m_backHeight);
        m_offsetX = static_cast<int>((w - m_backWidth * m_scale) * 0.5f);
        m_offsetY = static_cast<int>((h - m_backHeight * m_scale) * 0.5f);
        m_drawableHeight = h;
        if (m_offsetX > 0 || m_offsetY > 0) {
            glDisable(GL_SCISSOR_TEST);
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }

    void ApplyViewport()
    {
        // Top-left origin in back-buffer pixels to GL's bottom-left origin in
        // drawable pixels.
        const int x = m_offsetX + static_cast<int>(m_viewport.X * m_scale);
        const int w = static_cast<int>(m_viewport.Width * m_scale);
        const int h = static_cast<int>(m_viewport.Height * m_scale);
        const int yTop = m_offsetY + static_cast<int>(m_viewport.Y * m_scale);
        const int y = m_drawableHeight - yTop - h;
        glViewport(x, y, w, h);
        glScissor(x, y, w, h);
        glDepthRange(m_viewport.MinZ, m_viewport.MaxZ);
    }

    plat::Window* m_window;
    SDL_GLContext m_context;
    DeviceStateStore m_states;
    D3DVIEWPORT8 m_viewport;
    D3DMATRIX m_world{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    D3DMATRIX m_view{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    D3DGAMMARAMP m_savedRamp;
    int m_backWidth = 0;
    int m_backHeight = 0;
    int m_drawableHeight = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;
    float m_scale = 1.0f;
    bool m_cursorShown = true;
    bool m_gammaWarned = false;
};

class GlDirect3D final : public IDirect3D8 {
public:
    GlDirect3D()
    {
        const int displays = std::max(1, SDL_GetNumVideoDisplays());
        for (int i = 0; i < displays; ++i)
            m_adapters.push_back(QueryAdapter(i));
    }

    uint32_t GetAdapterCount() override { return static_cast<uint32_t>(m_adapters.size()); }

    uint32_t GetAdapterModeCount(uint32_t adapter) override
    {
        return adapter < m_adapters.size() ? static_cast<uint32_t>(m_adapters[adapter].modes.size()) : 0;
    }

    HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) override
    {
        if (adapter >= m_adapters.size() || mode >= m_adapters[adapter].modes.size())
            return D3DERR_INVALIDCALL;
        *out = m_adapters[adapter].modes[mode];
        return D3D_OK;
    }

    HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* out) override
    {
        if (adapter >= m_adapters.size() || !m_adapters[adapter].hasDesktop)
            return D3DERR_INVALIDCALL;
        *out = m_adapters[adapter].desktop;
        return D3D_OK;
    }

    HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t, D3DADAPTER_IDENTIFIER8* out) override
    {
        if (adapter >= m_adapters.size())
            return D3DERR_INVALIDCALL;
        *out = D3DADAPTER_IDENTIFIER8{};
        const char* name = SDL_GetDisplayName(static_cast<int>(adapter));
        std::snprintf(out->Description, sizeof out->Description, "OpenGL on %s", name ? name : "display");
        return D3D_OK;
    }

    HRESULT CheckDeviceType(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                            D3DFORMAT backBufferFormat, int32_t) override
    {
        if (adapter >= m_adapters.size() || type != D3DDEVTYPE_HAL)
            return D3DERR_NOTAVAILABLE;
        return IsDisplayFormat(displayFormat) && IsDisplayFormat(backBufferFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT, uint32_t, D3DRESOURCETYPE,
                              D3DFORMAT checkFormat) override
    {
        if (adapter >= m_adapters.size() || type != D3DDEVTYPE_HAL)
            return D3DERR_NOTAVAILABLE;
        switch (checkFormat) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_R5G6B5:
        case D3DFMT_A4R4G4B4:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_X1R5G5B5:
            return D3D_OK;
        default:
            return D3DERR_NOTAVAILABLE;
        }
    }

    HRESULT GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS8* caps) override
    {
        if (adapter >= m_adapters.size() || type != D3DDEVTYPE_HAL)
            return D3DERR_NOTAVAILABLE;
        FillCaps(caps);
        return D3D_OK;
    }

    HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE type, plat::Window* focusWindow, uint32_t,
                         D3DPRESENT_PARAMETERS* params, std::unique_ptr<IDirect3DDevice8>* device) override
    {
        if (adapter >= m_adapters.size() || type != D3DDEVTYPE_HAL || !focusWindow || !focusWindow->IsValid() ||
            !params || !device)
            return D3DERR_INVALIDCALL;
        SDL_GLContext context = SDL_GL_CreateContext(focusWindow->Handle());
        if (!context) {
            std::fprintf(stderr, "Unable to create an OpenGL context: %s\n", SDL_GetError());
            return D3DERR_NOTAVAILABLE;
        }
        SDL_GL_MakeCurrent(focusWindow->Handle(), context);
        *device = std::make_unique<GlDevice>(focusWindow, context, *params);
        return D3D_OK;
    }

private:
    std::vector<AdapterInfo> m_adapters;
};

} // namespace

std::unique_ptr<IDirect3D8> CreateDirect3D()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return nullptr;
    return std::make_unique<GlDirect3D>();
}

} // namespace d3d
