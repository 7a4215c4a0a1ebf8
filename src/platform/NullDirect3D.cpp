#include "platform/NullDirect3D.h"

#include "platform/MemoryResources.h"
#include "platform/PixelCodec.h"

#include <algorithm>
#include <cstdio>

namespace d3d {

size_t NullDeviceLog::Count(const std::string& prefix) const
{
    size_t n = 0;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            ++n;
    return n;
}

NullDevice::NullDevice(const D3DPRESENT_PARAMETERS& params, NullDeviceLog* log)
    : m_log(log), m_states(params.EnableAutoDepthStencil != 0)
{
    m_log->lastParams = params;
    viewport = D3DVIEWPORT8{0, 0, params.BackBufferWidth, params.BackBufferHeight, 0.0f, 1.0f};
    m_caps = D3DCAPS8{D3DDEVCAPS_HWTRANSFORMANDLIGHT, D3DSTENCILCAPS_ZERO, 2048, 2048, 0xFFFFF, 0xFFFF, 0, 0, 8};
}

HRESULT NullDevice::TestCooperativeLevel() { return cooperativeLevel; }

HRESULT NullDevice::Reset(D3DPRESENT_PARAMETERS* params)
{
    ++m_log->resets;
    m_log->Add("Reset");
    if (failResets > 0) {
        --failResets;
        return D3DERR_DEVICELOST;
    }
    m_log->lastParams = *params;
    m_states.ResetToDefaults(params->EnableAutoDepthStencil != 0);
    scissorOn = false;
    cooperativeLevel = D3D_OK;
    return D3D_OK;
}

HRESULT NullDevice::Present()
{
    ++m_log->presents;
    m_log->Add("Present");
    if (failPresents > 0) {
        --failPresents;
        return D3DERR_DEVICELOST;
    }
    return D3D_OK;
}

HRESULT NullDevice::BeginScene()
{
    m_log->Add("BeginScene");
    return D3D_OK;
}

HRESULT NullDevice::EndScene()
{
    m_log->Add("EndScene");
    return D3D_OK;
}

HRESULT NullDevice::Clear(uint32_t flags, uint32_t color, float, uint32_t)
{
    ++m_log->clears;
    if (quiet)
        return D3D_OK;
    char text[64];
    std::snprintf(text, sizeof text, "Clear %u %08X", flags, color);
    m_log->Add(text);
    return D3D_OK;
}

HRESULT NullDevice::GetDeviceCaps(D3DCAPS8* caps)
{
    *caps = m_caps;
    return D3D_OK;
}

HRESULT NullDevice::SetViewport(const D3DVIEWPORT8& vp)
{
    char text[96];
    std::snprintf(text, sizeof text, "SetViewport %u %u %u %u", vp.X, vp.Y, vp.Width, vp.Height);
    m_log->Add(text);
    viewport = vp;
    return D3D_OK;
}

HRESULT NullDevice::GetViewport(D3DVIEWPORT8* vp)
{
    *vp = viewport;
    return D3D_OK;
}

HRESULT NullDevice::SetScissorRect(const D3DRECT* rect)
{
    scissorOn = rect != nullptr;
    if (rect)
        scissor = *rect;
    if (!quiet) {
        char text[96];
        if (rect)
            std::snprintf(text, sizeof text, "SetScissorRect %d %d %d %d", rect->x1, rect->y1, rect->x2, rect->y2);
        else
            std::snprintf(text, sizeof text, "SetScissorRect off");
        m_log->Add(text);
    }
    return D3D_OK;
}

HRESULT NullDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix)
{
    m_log->Add("SetTransform " + std::to_string(static_cast<int>(state)));
    if (state == D3DTS_PROJECTION)
        lastProjection = matrix;
    else if (state == D3DTS_VIEW)
        lastView = matrix;
    else if (state == D3DTS_WORLD)
        lastWorld = matrix;
    return D3D_OK;
}

HRESULT NullDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    switch (state) {
    case D3DTS_PROJECTION:
        *matrix = lastProjection;
        return D3D_OK;
    case D3DTS_VIEW:
        *matrix = lastView;
        return D3D_OK;
    case D3DTS_WORLD:
        *matrix = lastWorld;
        return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT NullDevice::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value)
{
    if (!quiet)
        m_log->Add("SetRenderState " + std::to_string(static_cast<int>(state)) + " " + std::to_string(value));
    if (failStateCalls || !m_states.ValidRenderState(state))
        return D3DERR_INVALIDCALL;
    m_states.SetRenderState(state, value);
    return D3D_OK;
}

HRESULT NullDevice::GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value)
{
    if (!m_states.ValidRenderState(state))
        return D3DERR_INVALIDCALL;
    *value = m_states.RenderState(state);
    return D3D_OK;
}

HRESULT NullDevice::SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value)
{
    if (!quiet)
        m_log->Add("SetTextureStageState " + std::to_string(stage) + " " + std::to_string(static_cast<int>(type)) +
                   " " + std::to_string(value));
    if (failStateCalls || !m_states.ValidStageState(stage, type))
        return D3DERR_INVALIDCALL;
    m_states.SetStageState(stage, type, value);
    return D3D_OK;
}

HRESULT NullDevice::GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t* value)
{
    if (!m_states.ValidStageState(stage, type))
        return D3DERR_INVALIDCALL;
    *value = m_states.StageState(stage, type);
    return D3D_OK;
}

void NullDevice::SetGammaRamp(uint32_t, const D3DGAMMARAMP& ramp)
{
    m_log->Add("SetGammaRamp");
    m_log->gamma = ramp;
    m_log->gammaSet = true;
}

void NullDevice::GetGammaRamp(D3DGAMMARAMP* ramp)
{
    for (int i = 0; i < 256; ++i)
        ramp->red[i] = ramp->green[i] = ramp->blue[i] = static_cast<uint16_t>(i * 257);
}

bool NullDevice::ShowCursor(bool show)
{
    const bool was = m_cursorShown;
    m_cursorShown = show;
    m_log->Add(show ? "ShowCursor 1" : "ShowCursor 0");
    return was;
}

void NullDevice::SetCursorPosition(int, int, uint32_t) {}

HRESULT NullDevice::SetCursorProperties(uint32_t hotX, uint32_t hotY, IDirect3DSurface8* image)
{
    if (!quiet)
        m_log->Add("SetCursorProperties " + std::to_string(hotX) + " " + std::to_string(hotY));
    return image ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT NullDevice::CreateVertexBuffer(uint32_t length, uint32_t, uint32_t fvf, D3DPOOL,
                                       std::unique_ptr<IDirect3DVertexBuffer8>* out)
{
    if (!quiet)
        m_log->Add("CreateVertexBuffer " + std::to_string(length));
    if (failCreates || length == 0)
        return E_OUTOFMEMORY;
    auto buffer = std::make_unique<MemoryVertexBuffer>(length, fvf);
    buffer->onLock = [this](const MemoryBuffer& b) {
        if (!quiet)
            m_log->Add("LockVB " + std::to_string(b.lastOffset) + " " + std::to_string(b.lastSize) + " " +
                       std::to_string(b.lastFlags));
    };
    *out = std::move(buffer);
    return D3D_OK;
}

HRESULT NullDevice::CreateIndexBuffer(uint32_t length, uint32_t, D3DFORMAT format, D3DPOOL,
                                      std::unique_ptr<IDirect3DIndexBuffer8>* out)
{
    if (!quiet)
        m_log->Add("CreateIndexBuffer " + std::to_string(length));
    if (failCreates || length == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return E_OUTOFMEMORY;
    auto buffer = std::make_unique<MemoryIndexBuffer>(length, format);
    buffer->onLock = [this](const MemoryBuffer& b) {
        if (!quiet)
            m_log->Add("LockIB " + std::to_string(b.lastOffset) + " " + std::to_string(b.lastSize) + " " +
                       std::to_string(b.lastFlags));
    };
    *out = std::move(buffer);
    return D3D_OK;
}

HRESULT NullDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                  D3DFORMAT format, D3DPOOL pool, std::unique_ptr<IDirect3DTexture8>* out)
{
    if (!quiet)
        m_log->Add("CreateTexture " + std::to_string(width) + " " + std::to_string(height) + " " +
                   std::to_string(format));
    if (failCreates || width == 0 || height == 0 || !IsTextureFormat(format))
        return D3DERR_INVALIDCALL;
    *out = std::make_unique<MemoryTexture>(width, height, levels, usage, format, pool);
    return D3D_OK;
}

HRESULT NullDevice::CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                                       std::unique_ptr<IDirect3DSurface8>* out)
{
    if (!quiet)
        m_log->Add("CreateImageSurface");
    if (failCreates || width == 0 || height == 0 || !IsTextureFormat(format))
        return D3DERR_INVALIDCALL;
    *out = std::make_unique<MemorySurface>(width, height, format);
    return D3D_OK;
}

HRESULT NullDevice::SetTexture(uint32_t stage, IDirect3DTexture8* texture)
{
    if (!quiet)
        m_log->Add("SetTexture " + std::to_string(stage));
    if (stage >= static_cast<uint32_t>(kTextureStageCount))
        return D3DERR_INVALIDCALL;
    boundTextures[stage] = texture;
    return D3D_OK;
}

HRESULT NullDevice::SetStreamSource(uint32_t stream, IDirect3DVertexBuffer8*, uint32_t stride)
{
    if (!quiet)
        m_log->Add("SetStreamSource " + std::to_string(stream) + " " + std::to_string(stride));
    return D3D_OK;
}

HRESULT NullDevice::SetIndices(IDirect3DIndexBuffer8*, uint32_t baseVertexIndex)
{
    if (!quiet)
        m_log->Add("SetIndices " + std::to_string(baseVertexIndex));
    return D3D_OK;
}

HRESULT NullDevice::SetVertexShader(uint32_t fvf)
{
    if (!quiet)
        m_log->Add("SetVertexShader " + std::to_string(fvf));
    return D3D_OK;
}

HRESULT NullDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                         uint32_t startIndex, uint32_t primitiveCount)
{
    ++m_log->draws;
    m_log->primitives += static_cast<int>(primitiveCount);
    if (!quiet) {
        char text[96];
        std::snprintf(text, sizeof text, "DrawIndexedPrimitive %d %u %u %u %u", static_cast<int>(type), minIndex,
                      vertexCount, startIndex, primitiveCount);
        m_log->Add(text);
    }
    return D3D_OK;
}

std::vector<NullAdapter> NullDirect3D::StandardAdapters(uint32_t width, uint32_t height)
{
    NullAdapter adapter;
    adapter.desktop = D3DDISPLAYMODE{width, height, 60, D3DFMT_X8R8G8B8};
    const uint32_t sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {width, height}};
    for (const auto& size : sizes) {
        if (size[0] > width || size[1] > height)
            continue;
        for (D3DFORMAT format : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}) {
            bool seen = false;
            for (const D3DDISPLAYMODE& m : adapter.modes)
                seen = seen || (m.Width == size[0] && m.Height == size[1] && m.Format == format);
            if (!seen)
                adapter.modes.push_back(D3DDISPLAYMODE{size[0], size[1], 60, format});
        }
    }
    return {adapter};
}

uint32_t NullDirect3D::GetAdapterModeCount(uint32_t adapter)
{
    return adapter < m_adapters.size() ? static_cast<uint32_t>(m_adapters[adapter].modes.size()) : 0;
}

HRESULT NullDirect3D::EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out)
{
    if (adapter >= m_adapters.size() || mode >= m_adapters[adapter].modes.size())
        return D3DERR_INVALIDCALL;
    *out = m_adapters[adapter].modes[mode];
    return D3D_OK;
}

HRESULT NullDirect3D::GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* out)
{
    if (adapter >= m_adapters.size() || !m_adapters[adapter].hasDesktop)
        return D3DERR_INVALIDCALL;
    *out = m_adapters[adapter].desktop;
    return D3D_OK;
}

HRESULT NullDirect3D::GetAdapterIdentifier(uint32_t adapter, uint32_t, D3DADAPTER_IDENTIFIER8* out)
{
    if (adapter >= m_adapters.size())
        return D3DERR_INVALIDCALL;
    *out = D3DADAPTER_IDENTIFIER8{};
    std::snprintf(out->Description, sizeof out->Description, "Null adapter %u", adapter);
    out->VendorId = m_adapters[adapter].vendorId;
    return D3D_OK;
}

HRESULT NullDirect3D::CheckDeviceType(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT displayFormat, D3DFORMAT,
                                      int32_t)
{
    if (adapter >= m_adapters.size() || type != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    return FormatBits(displayFormat) > 8 ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT NullDirect3D::CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT, uint32_t usage,
                                        D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat)
{
    if (adapter >= m_adapters.size() || type != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    if (!textureFormats.empty() && usage == 0 && resourceType == D3DRTYPE_TEXTURE)
        return std::find(textureFormats.begin(), textureFormats.end(), checkFormat) != textureFormats.end()
                   ? D3D_OK
                   : D3DERR_NOTAVAILABLE;
    return FormatBits(checkFormat) >= 16 ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT NullDirect3D::GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS8* caps)
{
    if (adapter >= m_adapters.size() || type != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    *caps = m_adapters[adapter].caps;
    return D3D_OK;
}

HRESULT NullDirect3D::CreateDevice(uint32_t adapter, D3DDEVTYPE, plat::Window*, uint32_t behaviorFlags,
                                   D3DPRESENT_PARAMETERS* params, std::unique_ptr<IDirect3DDevice8>* device)
{
    log.Add("CreateDevice " + std::to_string(behaviorFlags));
    if (adapter >= m_adapters.size() || !params)
        return D3DERR_INVALIDCALL;
    if (failCreates > 0) {
        --failCreates;
        return D3DERR_NOTAVAILABLE;
    }
    auto created = std::make_unique<NullDevice>(*params, &log);
    lastDevice = created.get();
    *device = std::move(created);
    return D3D_OK;
}

} // namespace d3d
