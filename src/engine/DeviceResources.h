// The device objects the engine shares by handle: ring-filled vertex and
// index buffers, named textures and image surfaces, and the pixel-format
// descriptions used when a picture takes its alpha from a grey companion.
#pragma once

#include "platform/D3D8.h"
#include "platform/D3DX.h"

#include <memory>
#include <string>
#include <vector>

struct PixelFormatInfo {
    d3d::D3DFORMAT format = d3d::D3DFMT_A8R8G8B8;
    uint32_t bitsPerPixel = 32;
    struct Channel {
        uint32_t bits = 0;
        uint32_t mask = 0;
        uint32_t shift = 0;
    };
    Channel red{8, 0x00FF0000u, 16};
    Channel green{8, 0x0000FF00u, 8};
    Channel blue{8, 0x000000FFu, 0};
    Channel alpha{8, 0xFF000000u, 24};

    // Fills the description for a known format; others keep the old one.
    void Describe(d3d::D3DFORMAT f);
};

// What the vertex and the index buffer share: an interface of the device
// holding `capacity` elements, filled ring-wise several batches a frame.
// `Kind` names the element size (`ElementSize()`).
template <typename Kind, typename Interface>
class CRingBuffer {
public:
    CRingBuffer(const CRingBuffer&) = delete;
    CRingBuffer& operator=(const CRingBuffer&) = delete;

    void ReleaseObject() { buffer.reset(); }
    // Ring-wise: appends behind the last lock, or discards and starts at 0
    // when `count` does not fit or a discard is forced. A lock of more than
    // the whole buffer fails.
    d3d::HRESULT Lock(uint32_t count, uint8_t** data, int forceDiscard);
    d3d::HRESULT Unlock();
    uint32_t LockStart() const { return lockStart; }

    std::unique_ptr<Interface> buffer;
    uint32_t usage = d3d::D3DUSAGE_WRITEONLY;
    d3d::D3DPOOL pool = d3d::D3DPOOL_MANAGED;
    uint32_t capacity = 32768;
    uint32_t length = 0;
    uint32_t writePosition = 0;
    uint32_t lockStart = 0;
    uint32_t lockSize = 0;
    int32_t outstandingLocks = 0;

protected:
    // `kind` names the buffer in the log ("Vertex Buffer").
    explicit CRingBuffer(const char* kind) : m_kind(kind) {}
    ~CRingBuffer();
    // Drops the interface and takes a new size and kind of memory, the ring
    // empty (the outstanding locks are kept).
    void Resize(uint32_t count, uint32_t elementSize, uint32_t usageFlags, d3d::D3DPOOL poolKind);

private:
    d3d::HRESULT NoBuffer() const;

    const char* m_kind;
};

class CVertexBuffer final : public CRingBuffer<CVertexBuffer, d3d::IDirect3DVertexBuffer8> {
public:
    CVertexBuffer() : CRingBuffer("Vertex Buffer") { length = capacity * stride; }

    d3d::HRESULT Create(d3d::IDirect3DDevice8* device, uint32_t count, uint32_t vertexStride, uint32_t usageFlags,
                        uint32_t fvfCode, d3d::D3DPOOL poolKind);
    d3d::HRESULT Recreate(d3d::IDirect3DDevice8* device);
    uint32_t ElementSize() const { return stride; }

    uint32_t fvf = 0x242;
    uint32_t stride = 32;
};

class CIndexBuffer final : public CRingBuffer<CIndexBuffer, d3d::IDirect3DIndexBuffer8> {
public:
    CIndexBuffer() : CRingBuffer("Index Buffer") { length = capacity * indexSize; }

    d3d::HRESULT Create(d3d::IDirect3DDevice8* device, uint32_t count, d3d::D3DFORMAT indexFormat,
                        uint32_t usageFlags, d3d::D3DPOOL poolKind);
    d3d::HRESULT Recreate(d3d::IDirect3DDevice8* device);
    uint32_t ElementSize() const { return indexSize; }

    d3d::D3DFORMAT format = d3d::D3DFMT_INDEX16;
    uint32_t indexSize = 2;
};

class CTexture {
public:
    CTexture() = default;
    ~CTexture();
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    d3d::HRESULT LoadFromFile(d3d::IDirect3DDevice8* device, const std::string& file,
                              const std::string& textureName, uint32_t mipLevels, uint32_t usage,
                              d3d::D3DPOOL pool, d3d::D3DFORMAT format);
    // The record of a picture whose pixels come later: the header is read
    // for the size and kind, the picture itself on Recreate (and by the
    // render device when the texture is first drawn with).
    d3d::HRESULT RegisterFile(const std::string& file, const std::string& textureName, uint32_t mipLevels,
                              uint32_t usage, d3d::D3DPOOL pool, d3d::D3DFORMAT format);
    bool LoadsOnUse() const { return m_loadOnUse; }
    d3d::HRESULT CreateBlank(d3d::IDirect3DDevice8* device, const std::string& textureName, uint32_t width,
                             uint32_t height, uint32_t mipLevels, uint32_t usage, d3d::D3DPOOL pool,
                             d3d::D3DFORMAT format);
    // The picture's colour with the grey companion "<name>_alpha.<ext>" as
    // alpha. Both must have the same size.
    d3d::HRESULT LoadWithAlphaCompanion(d3d::IDirect3DDevice8* device, const std::string& file,
                                        const std::string& textureName, uint32_t usage, d3d::D3DPOOL pool,
                                        d3d::D3DFORMAT format);
    d3d::HRESULT CombineColourAndAlpha(d3d::IDirect3DTexture8* colour, d3d::IDirect3DTexture8* alpha);
    d3d::HRESULT Recreate(d3d::IDirect3DDevice8* device);
    // Drops the device object, keeping the record (and its registry entry).
    void ReleaseD3DResource()
    {
        texture.reset();
        m_loadOnUse = false;
    }

    static std::string CompanionName(const std::string& file);

    // Where level 0 can be seen: the rectangle of its texels whose alpha is
    // not zero, in texture coordinates, grown by a texel for filtering (the
    // whole texture for formats without alpha and for textures of several
    // levels; empty when nothing shows).
    // Read from the texture once after each load.
    struct UvRect {
        float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
        bool Empty() const { return u1 <= u0 || v1 <= v0; }
    };
    const UvRect& AlphaBounds();
    // The same for one cell of a 4 x 4 atlas (cells of a quarter each way,
    // 4 to a row), grown by a texel but kept inside the cell.
    const UvRect& AtlasCellBounds(int cell);

    std::unique_ptr<d3d::IDirect3DTexture8> texture;
    d3d::D3DSURFACE_DESC description;
    std::string name;
    std::string fileName;
    uint32_t mipLevels = 0;
    int32_t alphaCompanion = 0;

private:
    // The bounds of the texels whose alpha is not zero within a rectangle of
    // level 0, in texels; false when the texture has no alpha to read.
    bool ScanAlpha(int x0, int y0, int x1, int y1, UvRect* bounds);

    UvRect m_alphaBounds;
    bool m_alphaBoundsKnown = false;
    bool m_loadOnUse = false;
    std::vector<UvRect> m_cellBounds; // empty until read
};

class CImageSurface {
public:
    CImageSurface() = default;
    d3d::HRESULT Create(d3d::IDirect3DDevice8* device, const std::string& surfaceName, uint32_t w, uint32_t h,
                        d3d::D3DFORMAT f);
    d3d::HRESULT LoadFromFile(const std::string& file, int32_t value);

    std::unique_ptr<d3d::IDirect3DSurface8> surface;
    d3d::D3DXIMAGE_INFO info;
    uint32_t width = 0;
    uint32_t height = 0;
    d3d::D3DFORMAT format = d3d::D3DFMT_UNKNOWN;
    std::string name;
    std::string fileName;
    int32_t loaded = 0;
    int32_t callerValue = 0;
};
