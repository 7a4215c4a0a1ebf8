// The drawing device the engine talks to. Its shape, numbers and codes are
// those of the classic fixed-function device interface the engine was
// designed around (formats, result codes, render-state numbers), so the
// engine's device wrapper reads naturally; underneath there is either
// OpenGL on an SDL window or a recording null device for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
    D3DFMT_A2B10G10R10 = 31,
    D3DFMT_L8 = 50,
    D3DFMT_A8L8 = 51,
    D3DFMT_A4L4 = 52,
    D3DFMT_D16 = 80,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
};

enum D3DDEVTYPE : int32_t { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };
enum D3DRESOURCETYPE : int32_t { D3DRTYPE_SURFACE = 1, D3DRTYPE_TEXTURE = 3 };
enum D3DPOOL : int32_t { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1, D3DPOOL_SYSTEMMEM = 2, D3DPOOL_SCRATCH = 3 };
enum D3DPRIMITIVETYPE : int32_t { D3DPT_TRIANGLELIST = 4, D3DPT_TRIANGLESTRIP = 5, D3DPT_TRIANGLEFAN = 6 };

constexpr uint32_t D3DLOCK_READONLY = 0x10;
constexpr uint32_t D3DLOCK_NOOVERWRITE = 0x1000;
constexpr uint32_t D3DLOCK_DISCARD = 0x2000;

// Vertex format codes.
constexpr uint32_t D3DFVF_XYZ = 0x002;
constexpr uint32_t D3DFVF_XYZRHW = 0x004;
constexpr uint32_t D3DFVF_NORMAL = 0x010;
constexpr uint32_t D3DFVF_PSIZE = 0x020;
constexpr uint32_t D3DFVF_DIFFUSE = 0x040;
constexpr uint32_t D3DFVF_SPECULAR = 0x080;
constexpr uint32_t D3DFVF_TEX2 = 0x200;
// Size in bytes of one vertex of the format (positions, colours and 2-D
// texture coordinates only).
uint32_t FvfVertexSize(uint32_t fvf);

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
    D3DRS_SPECULARENABLE = 29,
    D3DRS_FOGCOLOR = 34,
    D3DRS_FOGTABLEMODE = 35,
    D3DRS_FOGSTART = 36,
    D3DRS_FOGEND = 37,
    D3DRS_FOGDENSITY = 38,
    D3DRS_TEXTUREFACTOR = 60,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_FOGVERTEXMODE = 140,
    D3DRS_COLORVERTEX = 141,
    D3DRS_COLORWRITEENABLE = 168,
    D3DRS_BLENDOP = 171,
};
enum : uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum : uint32_t {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS,
    D3DCMP_EQUAL,
    D3DCMP_LESSEQUAL,
    D3DCMP_GREATER,
    D3DCMP_NOTEQUAL,
    D3DCMP_GREATEREQUAL,
    D3DCMP_ALWAYS
};
enum : uint32_t {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE,
    D3DBLEND_SRCCOLOR,
    D3DBLEND_INVSRCCOLOR,
    D3DBLEND_SRCALPHA,
    D3DBLEND_INVSRCALPHA,
    D3DBLEND_DESTALPHA,
    D3DBLEND_INVDESTALPHA,
    D3DBLEND_DESTCOLOR,
    D3DBLEND_INVDESTCOLOR,
    D3DBLEND_SRCALPHASAT
};
enum : uint32_t {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1,
    D3DTOP_SELECTARG2,
    D3DTOP_MODULATE,
    D3DTOP_MODULATE2X,
    D3DTOP_MODULATE4X,
    D3DTOP_ADD,
    D3DTOP_ADDSIGNED,
    D3DTOP_ADDSIGNED2X,
    D3DTOP_SUBTRACT,
    D3DTOP_ADDSMOOTH,
    D3DTOP_BLENDDIFFUSEALPHA,
    D3DTOP_BLENDTEXTUREALPHA,
    D3DTOP_BLENDFACTORALPHA
};
enum : uint32_t {
    D3DTA_DIFFUSE = 0,
    D3DTA_CURRENT = 1,
    D3DTA_TEXTURE = 2,
    D3DTA_TFACTOR = 3,
    D3DTA_SPECULAR = 4,
    D3DTA_SELECTMASK = 0xF,
    D3DTA_COMPLEMENT = 0x10,
    D3DTA_ALPHAREPLICATE = 0x20
};
enum : uint32_t { D3DTADDRESS_WRAP = 1, D3DTADDRESS_MIRROR = 2, D3DTADDRESS_CLAMP = 3, D3DTADDRESS_BORDER = 4 };
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

// Level-0 (or any level) description of a texture or a surface.
struct D3DSURFACE_DESC {
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE Type = D3DRTYPE_SURFACE;
    uint32_t Usage = 0;
    D3DPOOL Pool = D3DPOOL_MANAGED;
    uint32_t Size = 0;
    uint32_t MultiSampleType = 0;
    uint32_t Width = 0;
    uint32_t Height = 0;
};

struct D3DLOCKED_RECT {
    int32_t Pitch = 0;
    void* pBits = nullptr;
};

// Bytes per pixel of a texture format the devices can hold; 0 for others.
uint32_t FormatBytes(D3DFORMAT format);

class IDirect3DVertexBuffer8 {
public:
    virtual ~IDirect3DVertexBuffer8() = default;
    // `size` 0 locks the whole buffer.
    virtual HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) = 0;
    virtual HRESULT Unlock() = 0;
};

class IDirect3DIndexBuffer8 {
public:
    virtual ~IDirect3DIndexBuffer8() = default;
    virtual HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) = 0;
    virtual HRESULT Unlock() = 0;
};

class IDirect3DSurface8 {
public:
    virtual ~IDirect3DSurface8() = default;
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, uint32_t flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

class IDirect3DTexture8 {
public:
    // Counts every texture object destroyed, so that a cache of bound
    // textures can tell when a pointer it holds may since name a new object
    // made at the same address.
    static inline uint64_t destroyedCount = 0;

    virtual ~IDirect3DTexture8() { ++destroyedCount; }
    virtual uint32_t GetLevelCount() = 0;
    virtual HRESULT GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT LockRect(uint32_t level, D3DLOCKED_RECT* locked, uint32_t flags) = 0;
    virtual HRESULT UnlockRect(uint32_t level) = 0;
};

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

// A rectangle of back-buffer pixels, right and bottom edges excluded.
struct D3DRECT {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
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
    // Draws that follow touch only the pixels of this rectangle (inside the
    // viewport); nullptr lets them reach the whole viewport again. A clear
    // always clears the whole viewport.
    virtual HRESULT SetScissorRect(const D3DRECT* rect) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) = 0;
    // The matrix last set for the state (identity before any).
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
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
    // The cursor image: a 32 x 32 A8R8G8B8 surface.
    virtual HRESULT SetCursorProperties(uint32_t hotX, uint32_t hotY, IDirect3DSurface8* image) = 0;

    // Resources. The caller owns what it gets; a resource must not outlive
    // its device.
    virtual HRESULT CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                                       std::unique_ptr<IDirect3DVertexBuffer8>* out) = 0;
    virtual HRESULT CreateIndexBuffer(uint32_t length, uint32_t usage, D3DFORMAT format, D3DPOOL pool,
                                      std::unique_ptr<IDirect3DIndexBuffer8>* out) = 0;
    // `levels` 0 makes the whole chain down to 1 x 1.
    virtual HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                  D3DFORMAT format, D3DPOOL pool, std::unique_ptr<IDirect3DTexture8>* out) = 0;
    virtual HRESULT CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                                       std::unique_ptr<IDirect3DSurface8>* out) = 0;

    // Binding and drawing. Bound resources are remembered by address only.
    virtual HRESULT SetTexture(uint32_t stage, IDirect3DTexture8* texture) = 0;
    virtual HRESULT SetStreamSource(uint32_t stream, IDirect3DVertexBuffer8* buffer, uint32_t stride) = 0;
    virtual HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, uint32_t baseVertexIndex) = 0;
    virtual HRESULT SetVertexShader(uint32_t fvf) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                         uint32_t startIndex, uint32_t primitiveCount) = 0;
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
    virtual HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, uint32_t usage,
                                      D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
    virtual HRESULT GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS8* caps) = 0;
    virtual HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE type, plat::Window* focusWindow,
                                 uint32_t behaviorFlags, D3DPRESENT_PARAMETERS* params,
                                 std::unique_ptr<IDirect3DDevice8>* device) = 0;
};

// The real thing: OpenGL on the SDL window. Null when no GL context can be
// made at all.
std::unique_ptr<IDirect3D8> CreateDirect3D();

// The finished frame as drawn so far (before Present), top row first, as
// 32-bit ARGB words of the window's drawable. False on devices that draw
// nothing.
bool ReadBackPixels(IDirect3DDevice8* device, int* width, int* height, std::vector<uint32_t>* pixels);

// What one draw cost on a device that times its draws (the GL device, for
// the frame benchmark): from the device's work finished before it to its
// work finished after it, states and texture bindings included.
struct DrawTiming {
    IDirect3DTexture8* texture = nullptr; // on stage 0
    bool blend = false;
    uint32_t sourceBlend = 0;
    uint32_t destinationBlend = 0;
    uint32_t vertexCount = 0;
    uint32_t primitives = 0;
    double pixels = 0.0; // the triangles' area on the screen, overlaps counted
    double seconds = 0.0;
};
using DrawTimer = std::function<void(const DrawTiming&)>;
// Times every draw of `device` from now on; an empty timer stops it. Waiting
// for each draw costs time of its own: only for measuring. False on devices
// that cannot.
bool SetDrawTimer(IDirect3DDevice8* device, DrawTimer timer);
// Waits until everything sent to the device is drawn, as a window system's
// swap makes it (the offscreen driver's swap does not); false on devices that
// draw nothing.
bool FinishDrawing(IDirect3DDevice8* device);
// What draws for the device ("llvmpipe (LLVM ...)"); empty on devices that
// draw nothing.
std::string DeviceRendererName(IDirect3DDevice8* device);

// Bits per pixel of a display format; 0 for formats that are not display modes.
int FormatBits(D3DFORMAT format);

} // namespace d3d
