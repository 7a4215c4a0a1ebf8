// A device that draws nothing and remembers every call that reached it, with
// adapters and display modes a test describes. The engine runs on it blind,
// so its caches, its mode choices and its draw batching can be checked
// without a window.
#pragma once

#include "platform/D3D8.h"
#include "platform/DeviceStateStore.h"

#include <string>
#include <vector>

namespace d3d {

struct NullAdapter {
    std::vector<D3DDISPLAYMODE> modes;
    bool hasDesktop = true;
    D3DDISPLAYMODE desktop{1024, 768, 60, D3DFMT_X8R8G8B8};
    D3DCAPS8 caps{D3DDEVCAPS_HWTRANSFORMANDLIGHT, D3DSTENCILCAPS_ZERO, 2048, 2048, 0xFFFFF, 0xFFFF, 0, 0, 8};
    uint32_t vendorId = 0x10DE;
};

// What happened on the device, in order; tests read it.
struct NullDeviceLog {
    std::vector<std::string> calls;
    // Off, calls are only counted: a whole game played on the device makes
    // millions of them, and a test that reads none needs no list of them.
    bool listCalls = true;
    int presents = 0;
    int clears = 0;
    int resets = 0;
    int draws = 0;
    int primitives = 0;
    D3DPRESENT_PARAMETERS lastParams;
    D3DGAMMARAMP gamma;
    bool gammaSet = false;
    void Add(std::string call)
    {
        if (listCalls)
            calls.push_back(std::move(call));
    }
    size_t Count(const std::string& prefix) const;
};

class NullDevice final : public IDirect3DDevice8 {
public:
    NullDevice(const D3DPRESENT_PARAMETERS& params, NullDeviceLog* log);

    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present() override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) override;
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT SetViewport(const D3DVIEWPORT8& viewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
    HRESULT SetScissorRect(const D3DRECT* rect) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) override;
    HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) override;
    HRESULT GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t* value) override;
    void SetGammaRamp(uint32_t flags, const D3DGAMMARAMP& ramp) override;
    void GetGammaRamp(D3DGAMMARAMP* ramp) override;
    bool ShowCursor(bool show) override;
    void SetCursorPosition(int x, int y, uint32_t flags) override;
    HRESULT SetCursorProperties(uint32_t hotX, uint32_t hotY, IDirect3DSurface8* image) override;
    HRESULT CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                               std::unique_ptr<IDirect3DVertexBuffer8>* out) override;
    HRESULT CreateIndexBuffer(uint32_t length, uint32_t usage, D3DFORMAT format, D3DPOOL pool,
                              std::unique_ptr<IDirect3DIndexBuffer8>* out) override;
    HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, D3DFORMAT format,
                          D3DPOOL pool, std::unique_ptr<IDirect3DTexture8>* out) override;
    HRESULT CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                               std::unique_ptr<IDirect3DSurface8>* out) override;
    HRESULT SetTexture(uint32_t stage, IDirect3DTexture8* texture) override;
    HRESULT SetStreamSource(uint32_t stream, IDirect3DVertexBuffer8* buffer, uint32_t stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, uint32_t baseVertexIndex) override;
    HRESULT SetVertexShader(uint32_t fvf) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                 uint32_t startIndex, uint32_t primitiveCount) override;

    // Test controls.
    HRESULT cooperativeLevel = D3D_OK; // what TestCooperativeLevel answers
    int failResets = 0;                // this many resets fail before one succeeds
    int failPresents = 0;              // this many presents report a lost device
    bool failStateCalls = false;       // state setters answer D3DERR_INVALIDCALL
    bool failCreates = false;          // resource creation answers E_OUTOFMEMORY
    bool quiet = false;                // record only draws (benchmarks)
    IDirect3DTexture8* boundTextures[kTextureStageCount] = {};
    D3DMATRIX lastProjection{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    D3DMATRIX lastView{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    D3DMATRIX lastWorld{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    D3DVIEWPORT8 viewport;
    bool scissorOn = false;
    D3DRECT scissor;

private:
    NullDeviceLog* m_log;
    DeviceStateStore m_states;
    D3DCAPS8 m_caps;
    bool m_cursorShown = false;
};

class NullDirect3D final : public IDirect3D8 {
public:
    explicit NullDirect3D(std::vector<NullAdapter> adapters) : m_adapters(std::move(adapters)) {}

    // One adapter whose desktop is `width` x `height` at 32 bits, offering the
    // common sizes up to it at 16 and 32 bits.
    static std::vector<NullAdapter> StandardAdapters(uint32_t width = 1024, uint32_t height = 768);

    uint32_t GetAdapterCount() override { return static_cast<uint32_t>(m_adapters.size()); }
    uint32_t GetAdapterModeCount(uint32_t adapter) override;
    HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) override;
    HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* out) override;
    HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags, D3DADAPTER_IDENTIFIER8* out) override;
    HRESULT CheckDeviceType(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                            int32_t windowed) override;
    HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, uint32_t usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS8* caps) override;
    HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE type, plat::Window* focusWindow, uint32_t behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, std::unique_ptr<IDirect3DDevice8>* device) override;

    NullDeviceLog log;
    int failCreates = 0; // this many CreateDevice calls fail
    // When not empty: the only texture formats CheckDeviceFormat accepts
    // for plain textures (usage 0).
    std::vector<D3DFORMAT> textureFormats;
    NullDevice* lastDevice = nullptr;

private:
    std::vector<NullAdapter> m_adapters;
};

} // namespace d3d
