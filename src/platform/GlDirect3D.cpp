// The OpenGL device factory on SDL's video subsystem.
//
// Adapters are SDL's displays. Every display resolution is offered in a
// 16-bit and a 32-bit format, since GL renders either on any screen; when the
// video driver reports no modes at all (a headless driver), a small standard
// set is offered around a 1024 x 768 desktop. Full screen never switches the
// monitor's mode: the window covers the desktop and the back buffer is shown
// scaled and centred.
#include "platform/D3D8.h"
#include "platform/GlContext.h"
#include "platform/GlDevice.h"
#include "platform/PixelCodec.h"
#include "platform/Window.h"

#include <algorithm>
#include <cstdio>
#include <memory>
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
    case 15:
        return D3DFMT_X1R5G5B5;
    case 16:
        return D3DFMT_R5G6B5;
    case 24:
        return SDL_BYTESPERPIXEL(pixelFormat) == 4 ? D3DFMT_X8R8G8B8 : D3DFMT_R8G8B8;
    case 32:
        return D3DFMT_X8R8G8B8;
    default:
        return D3DFMT_X8R8G8B8;
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
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(display, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
        info.desktop.Width = static_cast<uint32_t>(desktop.w);
        info.desktop.Height = static_cast<uint32_t>(desktop.h);
        info.desktop.RefreshRate = static_cast<uint32_t>(desktop.refresh_rate);
        info.desktop.Format = FormatOfSdl(desktop.format);
        info.hasDesktop = true;
    }
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
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
        const uint32_t sizes[][2] = {
            {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {info.desktop.Width, info.desktop.Height}};
        for (const auto& s : sizes) {
            if (s[0] > info.desktop.Width || s[1] > info.desktop.Height)
                continue;
            AddMode(&info.modes, s[0], s[1], 60, D3DFMT_R5G6B5);
            AddMode(&info.modes, s[0], s[1], 60, D3DFMT_X8R8G8B8);
        }
    }
    if (info.hasDesktop)
        AddMode(&info.modes, info.desktop.Width, info.desktop.Height, info.desktop.RefreshRate,
                info.desktop.Format);
    return info;
}

bool IsDisplayFormat(D3DFORMAT format)
{
    return format == D3DFMT_R5G6B5 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_X1R5G5B5 ||
           format == D3DFMT_R8G8B8;
}

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

    HRESULT CheckDeviceType(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                            int32_t) override
    {
        if (adapter >= m_adapters.size() || type != D3DDEVTYPE_HAL)
            return D3DERR_NOTAVAILABLE;
        return IsDisplayFormat(displayFormat) && IsDisplayFormat(backBufferFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    // Accepted formats. Render targets: the display formats and the common
    // 16-bit ones. Plain textures: every format the device can hold except
    // those that cut alpha to 1, 2 or 4 bits or colour to 3 bits
    // (A1R5G5B5, A2B10G10R10, A4R4G4B4, A8R3G3B2, A4L4, R3G3B2) and the grey A8L8, so a
    // candidate list that starts with them falls through to A8R8G8B8 and the
    // soft edges of glyphs, glows and sand survive; the others (X8R8G8B8,
    // R5G6B5, L8, A8, ...) carry nothing a picture would lose.
    HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT, uint32_t usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override
    {
        if (adapter >= m_adapters.size() || type != D3DDEVTYPE_HAL)
            return D3DERR_NOTAVAILABLE;
        if (resourceType == D3DRTYPE_TEXTURE && usage == 0) {
            switch (checkFormat) {
            case D3DFMT_A1R5G5B5:
            case D3DFMT_A2B10G10R10:
            case D3DFMT_A4R4G4B4:
            case D3DFMT_A8R3G3B2:
            case D3DFMT_A4L4:
            case D3DFMT_A8L8:
            case D3DFMT_R3G3B2:
                return D3DERR_NOTAVAILABLE;
            default:
                return IsTextureFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
            }
        }
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
        FillGlCaps(caps);
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
        GlProcs procs;
        if (!procs.Load()) {
            std::fprintf(stderr, "OpenGL lacks the entry points the device needs\n");
            SDL_GL_DeleteContext(context);
            return D3DERR_NOTAVAILABLE;
        }
        *device = MakeGlDevice(focusWindow, context, *params, procs);
        return D3D_OK;
    }

private:
    std::vector<AdapterInfo> m_adapters;
};

} // namespace

bool ReadBackPixels(IDirect3DDevice8* device, int* width, int* height, std::vector<uint32_t>* pixels)
{
    return ReadGlDevicePixels(device, width, height, pixels);
}

std::unique_ptr<IDirect3D8> CreateDirect3D()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return nullptr;
    return std::make_unique<GlDirect3D>();
}

} // namespace d3d
