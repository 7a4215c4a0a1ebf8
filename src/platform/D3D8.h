// The drawing device the engine talks to. Its shape, numbers and codes are
// those of the classic fixed-function device interface the engine was
// designed around (formats, result codes, render-state numbers), so the
// engine's device wrapper reads naturally; underneath there is either
// OpenGL on an SDL window or a recording null device for tests.
#pragma once

#include <cstdint>
#include <memory>

namespace plat {
class Window;
}

namespace d3d {

using HRESULT = int32_t;
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);
constexpr HRESULT D3DERR_DEVICENOTRESET = static_cast<HRESULT>(0x88760869u);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline bool Failed(HRESULT hr) { return hr < 0; }

using D3DFORMAT = int32_t;
enum : D3DFORMAT {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_R3G3B2 = 27,
    D3DFMT_A8 = 28,
    D3DFMT_A8R3G3B2 = 29,
    D3DFMT_X4R4G4B4 = 30,
    D3DFMT_L8 = 50,
    D3DFMT_D16 = 80,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
};

enum D3DDEVTYPE : int32_t { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };
enum D3DRESOURCETYPE : int32_t { D3DRTYPE_SURFACE = 1, D3DRTYPE_TEXTURE = 3 };

constexpr uint32_t D3DUSAGE_RENDERTARGET = 0x1;
constexpr uint32_t D3DUSAGE_WRITEONLY = 0x8;
constexpr uint32_t D3DUSAGE_DYNAMIC = 0x200;
constexpr uint32_t D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr uint32_t D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr uint32_t D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x10000;
constexpr uint32_t D3DSTENCILCAPS_ZERO = 0x2;
constexpr uint32_t D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr uint32_t D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;
constexpr uint32_t D3DSWAPEFFECT_DISCARD = 1;
constexpr uint32_t D3DMULTISAMPLE_NONE = 0;
constexpr uint32_t D3DSGR_NO_CALIBRATION = 0;
constexpr uint32_t D3DCURSOR_IMMEDIATE_UPDATE = 1;
constexpr uint32_t D3DCLEAR_TARGET = 1;
constexpr uint32_t D3DCLEAR_ZBUFFER = 2;
constexpr uint32_t D3DCLEAR_STENCIL = 4;

// Render-state numbers the engine uses (the cache covers 0..173).
enum D3DRENDERSTATETYPE : int32_t {
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_SHADEMODE = 9,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_FOGENABLE = 28,
    D3DRS_LIGHTING = 137,
};
constexpr int kRenderStateCount = 174;

// Texture-stage state numbers (stages 0..7, types 0..28).
enum D3DTEXTURESTAGESTATETYPE : int32_t {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_TEXCOORDINDEX = 11,
    D3DTSS_ADDRESSU = 13,
    D3DTSS_ADDRESSV = 14,
    D3DTSS_MAGFILTER = 16,
    D3DTSS_MINFILTER = 17,
    D3DTSS_MIPFILTER = 18,
};
constexpr int kTextureStageCount = 8;
constexpr int kTextureStageStateCount = 29;
enum : uint32_t { D3DTEXF_NONE = 0, D3DTEXF_POINT = 1, D3DTEXF_LINEAR = 2 };

enum D3DTRANSFORMSTATETYPE : int32_t { D3DTS_VIEW = 2, D3DTS_PROJECTION = 3, D3DTS_WORLD = 256 };

struct D3DDISPLAYMODE {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t RefreshRate = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
};

struct D3DPRESENT_PARAMETERS {
    uint32_t BackBufferWidth = 0;
    uint32_t BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
    uint32_t BackBufferCount = 0;
    uint32_t MultiSampleType = 0;
    uint32_t SwapEffect = 0;
    plat::Window* hDeviceWindow = nullptr;
    int32_t Windowed = 0;
    int32_t EnableAutoDepthStencil = 0;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    uint32_t Flags = 0;
    uint32_t FullScreen_RefreshRateInHz = 0;
    uint32_t FullScreen_PresentationInterval = 0;
};

struct D3DVIEWPORT8 {
    uint32_t X = 0;
    uint32_t Y = 0;
    uint32_t Width = 0;
    uint32_t Height = 0;
    float MinZ = 0.0f;
    float MaxZ = 1.0f;
};

struct D3DMATRIX {
    float m[4][4] = {};
};

struct D3DCAPS8 {
    uint32_t DevCaps = 0;
    uint32_t StencilCaps = 0;
    uint32_t MaxTextureWidth = 0;
    uint32_t MaxTextureHeight = 0;
    uint32_t MaxPrimitiveCount = 0;
    uint32_t MaxVertexIndex = 0;
    uint32_t VertexShaderVersion = 0;
    uint32_t PixelShaderVersion = 0;
    uint32_t MaxSimultaneousTextures = 0;
};

struct D3DADAPTER_IDENTIFIER8 {
    char Description[512] = {};
    uint32_t VendorId = 0;
    uint32_t DeviceId = 0;
};

struct D3DGAMMARAMP {
    uint16_t red[256] = {};
    uint16_t green[256] = {};
    uint16_t blue[256] = {};
};

// The device: one per window. Results follow the HRESULT convention.
class IDirect3DDevice8 {
public:
    virtual ~IDirect3DDevice8() = default;

    virtual HRESULT TestCooperativeLevel() = 0;
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* params) = 0;
    virtual HRESULT Present() = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS8* caps) = 0;

    virtual HRESULT SetViewport(const D3DVIEWPORT8& viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) = 0;
    virtual HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) = 0;
    virtual HRESULT GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t* value) = 0;

    // Gamma and the hardware cursor are best-effort: a platform that cannot
    // do them logs it and goes on.
    virtual void SetGammaRamp(uint32_t flags, const D3DGAMMARAMP& ramp) = 0;
    virtual void GetGammaRamp(D3DGAMMARAMP* ramp) = 0;
    virtual bool ShowCursor(bool show) = 0;
    virtual void SetCursorPosition(int x, int y, uint32_t flags) = 0;
};

// The device factory with its adapters and their display modes.
class IDirect3D8 {
public:
    virtual ~IDirect3D8() = default;

    virtual uint32_t GetAdapterCount() = 0;
    virtual uint32_t GetAdapterModeCount(uint32_t adapter) = 0;
    virtual HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) = 0;
    virtual HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* out) = 0;
    virtual HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags, D3DADAPTER_IDENTIFIER8* out) = 0;
    virtual HRESULT CheckDeviceType(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                    D3DFORMAT backBufferFormat, int32_t windowed) = 0;
    virtual HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                      uint32_t usage, D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
    virtual HRESULT GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS8* caps) = 0;
    virtual HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE type, plat::Window* focusWindow,
                                 uint32_t behaviorFlags, D3DPRESENT_PARAMETERS* params,
                                 std::unique_ptr<IDirect3DDevice8>* device) = 0;
};

// The real thing: OpenGL on the SDL window. Null when no GL context can be
// made at all.
std::unique_ptr<IDirect3D8> CreateDirect3D();

// Bits per pixel of a display format; 0 for formats that are not display modes.
int FormatBits(D3DFORMAT format);

} // namespace d3d
