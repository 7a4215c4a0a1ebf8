#include "engine/DeviceResources.h"

#include "engine/Log.h"

#include <algorithm>

using namespace d3d;

void PixelFormatInfo::Describe(D3DFORMAT f)
{
    struct Row {
        D3DFORMAT format;
        uint32_t bpp;
        uint32_t bits[4]; // red, green, blue, alpha
        uint32_t shift[4];
    };
    static const Row rows[] = {
        {D3DFMT_R8G8B8, 24, {8, 8, 8, 0}, {16, 8, 0, 0}},
        {D3DFMT_A8R8G8B8, 32, {8, 8, 8, 8}, {16, 8, 0, 24}},
        {D3DFMT_X8R8G8B8, 32, {8, 8, 8, 0}, {16, 8, 0, 0}},
        {D3DFMT_R5G6B5, 16, {5, 6, 5, 0}, {11, 5, 0, 0}},
        {D3DFMT_X1R5G5B5, 16, {5, 5, 5, 0}, {10, 5, 0, 0}},
        {D3DFMT_A1R5G5B5, 16, {5, 5, 5, 1}, {10, 5, 0, 15}},
        {D3DFMT_A4R4G4B4, 16, {4, 4, 4, 4}, {8, 4, 0, 12}},
        {D3DFMT_R3G3B2, 8, {3, 3, 2, 0}, {5, 2, 0, 0}},
        {D3DFMT_A8, 8, {0, 0, 0, 8}, {0, 0, 0, 0}},
        {D3DFMT_A8R3G3B2, 16, {3, 3, 2, 8}, {5, 2, 0, 8}},
        {D3DFMT_X4R4G4B4, 16, {4, 4, 4, 0}, {8, 4, 0, 0}},
        {D3DFMT_A2B10G10R10, 32, {10, 10, 10, 2}, {0, 10, 20, 30}},
        // Luminance is described as the green channel.
        {D3DFMT_L8, 8, {0, 8, 0, 0}, {0, 0, 0, 0}},
        {D3DFMT_A8L8, 16, {0, 8, 0, 8}, {0, 0, 0, 8}},
        {D3DFMT_A4L4, 8, {0, 4, 0, 4}, {0, 0, 0, 4}},
    };
    for (const Row& row : rows) {
        if (row.format != f)
            continue;
        format = f;
        bitsPerPixel = row.bpp;
        Channel* channels[4] = {&red, &green, &blue, &alpha};
        for (int i = 0; i < 4; ++i) {
            channels[i]->bits = row.bits[i];
            channels[i]->shift = row.bits[i] ? row.shift[i] : 0;
            channels[i]->mask = row.bits[i] ? ((1u << row.bits[i]) - 1) << row.shift[i] : 0;
        }
        return;
    }
}

template <typename Kind, typename Interface>
CRingBuffer<Kind, Interface>::~CRingBuffer()
{
    WriteLog(std::string(m_kind) + " Destruction. ");
    WriteLogNumber(outstandingLocks);
    WriteLog(" Locks left\n");
}

template <typename Kind, typename Interface>
void CRingBuffer<Kind, Interface>::Resize(uint32_t count, uint32_t elementSize, uint32_t usageFlags,
                                          D3DPOOL poolKind)
{
    buffer.reset();
    capacity = count;
    usage = usageFlags;
    pool = poolKind;
    length = count * elementSize;
    writePosition = lockStart = lockSize = 0;
}

// A lock or unlock of a buffer that was never made (or failed to be remade
// after a reset) is a failed device call, like any other.
template <typename Kind, typename Interface>
HRESULT CRingBuffer<Kind, Interface>::NoBuffer() const
{
    WriteLog(std::string(m_kind) + " used without a device buffer\n");
    return D3DERR_INVALIDCALL;
}

template <typename Kind, typename Interface>
HRESULT CRingBuffer<Kind, Interface>::Lock(uint32_t count, uint8_t** data, int forceDiscard)
{
    if (!buffer)
        return NoBuffer();
    if (count > capacity)
        return D3DERR_INVALIDCALL;
    const uint32_t elementSize = static_cast<const Kind*>(this)->ElementSize();
    HRESULT hr;
    if (!forceDiscard && writePosition + count <= capacity) {
        lockStart = writePosition;
        hr = buffer->Lock(writePosition * elementSize, count * elementSize, data, D3DLOCK_NOOVERWRITE);
        writePosition += count;
    } else {
        lockStart = 0;
        hr = buffer->Lock(0, count * elementSize, data, D3DLOCK_DISCARD);
        writePosition = count;
    }
    if (!Failed(hr)) {
        ++outstandingLocks;
        lockSize = count;
    }
    return hr;
}

template <typename Kind, typename Interface>
HRESULT CRingBuffer<Kind, Interface>::Unlock()
{
    if (!buffer)
        return NoBuffer();
    const HRESULT hr = buffer->Unlock();
    if (!Failed(hr))
        --outstandingLocks;
    return hr;
}

template class CRingBuffer<CVertexBuffer, IDirect3DVertexBuffer8>;
template class CRingBuffer<CIndexBuffer, IDirect3DIndexBuffer8>;

HRESULT CVertexBuffer::Create(IDirect3DDevice8* device, uint32_t count, uint32_t vertexStride, uint32_t usageFlags,
                              uint32_t fvfCode, D3DPOOL poolKind)
{
    Resize(count, vertexStride, usageFlags, poolKind);
    stride = vertexStride;
    fvf = fvfCode;
    if (!device)
        return D3DERR_INVALIDCALL;
    return device->CreateVertexBuffer(length, usage, fvf, pool, &buffer);
}

HRESULT CVertexBuffer::Recreate(IDirect3DDevice8* device)
{
    return Create(device, capacity, stride, usage, fvf, pool);
}

HRESULT CIndexBuffer::Create(IDirect3DDevice8* device, uint32_t count, D3DFORMAT indexFormat, uint32_t usageFlags,
                             D3DPOOL poolKind)
{
    const uint32_t size = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    Resize(count, size, usageFlags, poolKind);
    format = indexFormat;
    indexSize = size;
    if (!device)
        return D3DERR_INVALIDCALL;
    return device->CreateIndexBuffer(length, usage, format, pool, &buffer);
}

HRESULT CIndexBuffer::Recreate(IDirect3DDevice8* device) { return Create(device, capacity, format, usage, pool); }

CTexture::~CTexture()
{
    WriteLog("Texture ");
    WriteLog(name);
    WriteLog(" Destruction.\n");
}

HRESULT CTexture::LoadFromFile(IDirect3DDevice8* device, const std::string& file, const std::string& textureName,
                               uint32_t levels, uint32_t usage, D3DPOOL pool, D3DFORMAT format)
{
    texture.reset();
    m_alphaBoundsKnown = false;
    m_cellBounds.clear();
    m_loadOnUse = false;
    mipLevels = levels;
    const HRESULT hr = D3DXCreateTextureFromFileEx(device, file, D3DX_DEFAULT, D3DX_DEFAULT, levels, usage, format,
                                                   pool, D3DX_FILTER_TRIANGLE, D3DX_DEFAULT, 0, nullptr, &texture);
    if (Failed(hr) || Failed(texture->GetLevelDesc(0, &description))) {
        texture.reset();
        name.clear();
        fileName.clear();
        return Failed(hr) ? hr : D3DERR_INVALIDCALL;
    }
    name = textureName;
    fileName = file;
    return D3D_OK;
}

HRESULT CTexture::RegisterFile(const std::string& file, const std::string& textureName, uint32_t levels,
                               uint32_t usage, D3DPOOL pool, D3DFORMAT format)
{
    texture.reset();
    m_alphaBoundsKnown = false;
    m_cellBounds.clear();
    D3DXIMAGE_INFO info;
    if (!D3DXGetImageInfoFromFile(file, &info)) {
        name.clear();
        fileName.clear();
        m_loadOnUse = false;
        return D3DERR_INVALIDCALL;
    }
    description = D3DSURFACE_DESC{};
    description.Format = format == D3DFMT_UNKNOWN ? info.Format : format;
    description.Type = D3DRTYPE_SURFACE;
    description.Usage = usage;
    description.Pool = pool;
    description.Width = info.Width;
    description.Height = info.Height;
    description.Size = info.Width * info.Height * FormatBytes(description.Format);
    mipLevels = levels;
    name = textureName;
    fileName = file;
    m_loadOnUse = true;
    return D3D_OK;
}

HRESULT CTexture::CreateBlank(IDirect3DDevice8* device, const std::string& textureName, uint32_t width,
                              uint32_t height, uint32_t levels, uint32_t usage, D3DPOOL pool, D3DFORMAT format)
{
    texture.reset();
    m_alphaBoundsKnown = false;
    m_cellBounds.clear();
    m_loadOnUse = false;
    mipLevels = levels;
    const HRESULT hr = D3DXCreateTexture(device, width, height, levels, usage, format, pool, &texture);
    if (Failed(hr) || Failed(texture->GetLevelDesc(0, &description))) {
        texture.reset();
        name.clear();
        fileName.clear();
        return Failed(hr) ? hr : D3DERR_INVALIDCALL;
    }
    name = textureName;
    fileName.clear();
    return D3D_OK;
}

std::string CTexture::CompanionName(const std::string& file)
{
    return file.substr(0, file.size() - 4) + "_alpha." + file.substr(file.size() - 3);
}

HRESULT CTexture::LoadWithAlphaCompanion(IDirect3DDevice8* device, const std::string& file,
                                         const std::string& textureName, uint32_t usage, D3DPOOL pool,
                                         D3DFORMAT format)
{
    texture.reset();
    m_alphaBoundsKnown = false;
    m_cellBounds.clear();
    m_loadOnUse = false;
    if (file.size() <= 4)
        return D3DERR_INVALIDCALL;
    auto fail = [&](HRESULT hr) {
        texture.reset();
        name.clear();
        fileName.clear();
        return hr;
    };
    std::unique_ptr<IDirect3DTexture8> colour, alpha;
    // The two pictures are only read: they stay in memory (the scratch pool).
    HRESULT hr =
        D3DXCreateTextureFromFileEx(device, file, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN,
                                    D3DPOOL_SCRATCH, D3DX_FILTER_TRIANGLE, D3DX_DEFAULT, 0, nullptr, &colour);
    if (Failed(hr))
        return fail(hr);
    hr = D3DXCreateTextureFromFileEx(device, CompanionName(file), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN,
                                     D3DPOOL_SCRATCH, D3DX_FILTER_TRIANGLE, D3DX_DEFAULT, 0, nullptr, &alpha);
    if (Failed(hr))
        return fail(hr);
    D3DSURFACE_DESC colourDesc, alphaDesc;
    if (Failed(hr = colour->GetLevelDesc(0, &colourDesc)) || Failed(hr = alpha->GetLevelDesc(0, &alphaDesc)))
        return fail(hr);
    // A companion of another size would be read out of its bounds.
    if (colourDesc.Width != alphaDesc.Width || colourDesc.Height != alphaDesc.Height) {
        WriteLog("Alpha image " + CompanionName(file) + " differs in size from " + file + "\n");
        return fail(D3DERR_INVALIDCALL);
    }
    hr = D3DXCreateTexture(device, colourDesc.Width, colourDesc.Height, 1, usage, format, pool, &texture);
    if (Failed(hr) || Failed(hr = texture->GetLevelDesc(0, &description)))
        return fail(hr);
    name = textureName;
    fileName = file;
    alphaCompanion = 1;
    mipLevels = 1;
    hr = CombineColourAndAlpha(colour.get(), alpha.get());
    if (Failed(hr))
        return fail(hr);
    return D3D_OK;
}

namespace {
uint32_t ReadPixel(const uint8_t* p, uint32_t bytes)
{
    uint32_t v = 0;
    for (uint32_t i = 0; i < bytes; ++i)
        v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}
void WritePixel(uint8_t* p, uint32_t bytes, uint32_t v)
{
    for (uint32_t i = 0; i < bytes; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t To8Bits(uint32_t pixel, const PixelFormatInfo::Channel& c)
{
    if (c.bits == 0)
        return 0;
    const int shift = static_cast<int>(c.shift + c.bits) - 8;
    const uint32_t masked = pixel & c.mask;
    return (shift >= 0 ? masked >> shift : masked << -shift) & 0xFF;
}
uint32_t From8Bits(uint32_t value, const PixelFormatInfo::Channel& c)
{
    if (c.bits == 0)
        return 0;
    const int shift = static_cast<int>(c.shift + c.bits) - 8;
    return (shift >= 0 ? value << shift : value >> -shift) & c.mask;
}
} // namespace

HRESULT CTexture::CombineColourAndAlpha(IDirect3DTexture8* colour, IDirect3DTexture8* alpha)
{
    D3DSURFACE_DESC colourDesc, alphaDesc;
    HRESULT hr;
    if (Failed(hr = colour->GetLevelDesc(0, &colourDesc)) || Failed(hr = alpha->GetLevelDesc(0, &alphaDesc)))
        return hr;
    PixelFormatInfo own, colourInfo, alphaInfo;
    own.Describe(description.Format);
    colourInfo.Describe(colourDesc.Format);
    alphaInfo.Describe(alphaDesc.Format);
    D3DLOCKED_RECT target, source, grey;
    if (Failed(hr = texture->LockRect(0, &target, 0)))
        return hr;
    if (Failed(hr = colour->LockRect(0, &source, 0))) {
        texture->UnlockRect(0);
        return hr;
    }
    if (Failed(hr = alpha->LockRect(0, &grey, 0))) {
        colour->UnlockRect(0);
        texture->UnlockRect(0);
        return hr;
    }
    const uint32_t ownBytes = own.bitsPerPixel / 8, colourBytes = colourInfo.bitsPerPixel / 8,
                   alphaBytes = alphaInfo.bitsPerPixel / 8;
    for (uint32_t y = 0; y < description.Height; ++y) {
        uint8_t* out = static_cast<uint8_t*>(target.pBits) + static_cast<ptrdiff_t>(y) * target.Pitch;
        const uint8_t* in = static_cast<const uint8_t*>(source.pBits) + static_cast<ptrdiff_t>(y) * source.Pitch;
        const uint8_t* a = static_cast<const uint8_t*>(grey.pBits) + static_cast<ptrdiff_t>(y) * grey.Pitch;
        for (uint32_t x = 0; x < description.Width; ++x) {
            const uint32_t c = ReadPixel(in + x * colourBytes, colourBytes);
            const uint32_t g = ReadPixel(a + x * alphaBytes, alphaBytes);
            const uint32_t value = From8Bits(To8Bits(c, colourInfo.red), own.red) |
                                   From8Bits(To8Bits(c, colourInfo.green), own.green) |
                                   From8Bits(To8Bits(c, colourInfo.blue), own.blue) |
                                   From8Bits(To8Bits(g, alphaInfo.green), own.alpha);
            WritePixel(out + x * ownBytes, ownBytes, value);
        }
    }
    alpha->UnlockRect(0);
    colour->UnlockRect(0);
    texture->UnlockRect(0);
    return D3D_OK;
}

bool CTexture::ScanAlpha(int x0, int y0, int x1, int y1, UvRect* bounds)
{
    PixelFormatInfo info;
    info.Describe(description.Format);
    D3DLOCKED_RECT locked;
    // Smaller levels spread a texel over more of the picture: only a texture
    // of one level is read.
    if (!texture || info.alpha.bits == 0 || texture->GetLevelCount() != 1 ||
        Failed(texture->LockRect(0, &locked, D3DLOCK_READONLY)))
        return false;
    const uint32_t bytes = info.bitsPerPixel / 8;
    int left = x1, right = x0 - 1, top = y1, bottom = y0 - 1;
    for (int y = y0; y < y1; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(y) * locked.Pitch;
        for (int x = x0; x < x1; ++x)
            if (ReadPixel(row + x * bytes, bytes) & info.alpha.mask) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    texture->UnlockRect(0);
    const float w = static_cast<float>(description.Width), h = static_cast<float>(description.Height);
    if (right < left) {
        *bounds = UvRect{x0 / w, y0 / h, x0 / w, y0 / h};
        return true;
    }
    // A filtered sample takes texels up to one away: the rectangle grows by
    // one on each side.
    *bounds =
        UvRect{static_cast<float>(std::max(left - 1, x0)) / w, static_cast<float>(std::max(top - 1, y0)) / h,
               static_cast<float>(std::min(right + 2, x1)) / w, static_cast<float>(std::min(bottom + 2, y1)) / h};
    return true;
}

const CTexture::UvRect& CTexture::AlphaBounds()
{
    if (!m_alphaBoundsKnown) {
        m_alphaBounds = UvRect{};
        m_alphaBoundsKnown = ScanAlpha(0, 0, static_cast<int>(description.Width),
                                       static_cast<int>(description.Height), &m_alphaBounds);
    }
    return m_alphaBounds;
}

const CTexture::UvRect& CTexture::AtlasCellBounds(int cell)
{
    cell = std::clamp(cell, 0, 15);
    if (m_cellBounds.empty()) {
        m_cellBounds.resize(16);
        const int w = static_cast<int>(description.Width) / 4, h = static_cast<int>(description.Height) / 4;
        for (int n = 0; n < 16; ++n) {
            UvRect& b = m_cellBounds[static_cast<size_t>(n)];
            const int x = (n % 4) * w, y = (n / 4) * h;
            if (!ScanAlpha(x, y, x + w, y + h, &b))
                b = UvRect{(n % 4) * 0.25f, (n / 4) * 0.25f, (n % 4 + 1) * 0.25f, (n / 4 + 1) * 0.25f};
        }
    }
    return m_cellBounds[static_cast<size_t>(cell)];
}

HRESULT CTexture::Recreate(IDirect3DDevice8* device)
{
    texture.reset();
    if (name.empty())
        return D3DERR_INVALIDCALL;
    const std::string keptName = name;
    const D3DSURFACE_DESC d = description;
    if (!fileName.empty()) {
        const std::string file = fileName;
        return alphaCompanion ? LoadWithAlphaCompanion(device, file, keptName, d.Usage, d.Pool, d.Format)
                              : LoadFromFile(device, file, keptName, mipLevels, d.Usage, d.Pool, d.Format);
    }
    return CreateBlank(device, keptName, d.Width, d.Height, mipLevels, d.Usage, d.Pool, d.Format);
}

HRESULT CImageSurface::Create(IDirect3DDevice8* device, const std::string& surfaceName, uint32_t w, uint32_t h,
                              D3DFORMAT f)
{
    surface.reset();
    width = w;
    height = h;
    format = f;
    name = surfaceName;
    if (!device)
        return D3DERR_INVALIDCALL;
    return device->CreateImageSurface(w, h, f, &surface);
}

HRESULT CImageSurface::LoadFromFile(const std::string& file, int32_t value)
{
    const HRESULT hr = surface ? D3DXLoadSurfaceFromFile(surface.get(), file, &info) : D3DERR_INVALIDCALL;
    if (Failed(hr)) {
        loaded = 0;
        fileName.clear();
        return hr;
    }
    loaded = 1;
    fileName = file;
    callerValue = value;
    return D3D_OK;
}
