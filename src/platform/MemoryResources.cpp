#include "platform/MemoryResources.h"

#include "platform/PixelCodec.h"

#include <algorithm>

namespace d3d {

HRESULT MemoryBuffer::LockRange(uint32_t offset, uint32_t size, uint8_t** out, uint32_t flags)
{
    if (!out)
        return D3DERR_INVALIDCALL;
    if (size == 0)
        size = static_cast<uint32_t>(data.size()) - std::min<uint32_t>(offset, static_cast<uint32_t>(data.size()));
    if (offset > data.size() || size > data.size() - offset)
        return D3DERR_INVALIDCALL;
    lastOffset = offset;
    lastSize = size;
    lastFlags = flags;
    ++locks;
    *out = data.data() + offset;
    if (onLock)
        onLock(*this);
    return D3D_OK;
}

HRESULT MemoryBuffer::UnlockRange()
{
    if (locks <= 0)
        return D3DERR_INVALIDCALL;
    --locks;
    return D3D_OK;
}

uint32_t FullMipCount(uint32_t width, uint32_t height)
{
    uint32_t count = 1;
    while (width > 1 || height > 1) {
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
        ++count;
    }
    return count;
}

namespace {
MemoryLevel MakeLevel(uint32_t width, uint32_t height, D3DFORMAT format)
{
    MemoryLevel level;
    level.width = width;
    level.height = height;
    level.pitch = (width * FormatBytes(format) + 3) & ~3u;
    level.bits.assign(static_cast<size_t>(level.pitch) * height, 0);
    return level;
}
} // namespace

MemorySurface::MemorySurface(uint32_t width, uint32_t height, D3DFORMAT format)
    : level(MakeLevel(width, height, format))
{
    desc.Format = format;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Pool = D3DPOOL_SYSTEMMEM;
    desc.Width = width;
    desc.Height = height;
    desc.Size = static_cast<uint32_t>(level.bits.size());
}

HRESULT MemorySurface::GetDesc(D3DSURFACE_DESC* out)
{
    *out = desc;
    return D3D_OK;
}

HRESULT MemorySurface::LockRect(D3DLOCKED_RECT* locked, uint32_t)
{
    if (!locked || level.locked)
        return D3DERR_INVALIDCALL;
    level.locked = true;
    locked->Pitch = static_cast<int32_t>(level.pitch);
    locked->pBits = level.bits.data();
    return D3D_OK;
}

HRESULT MemorySurface::UnlockRect()
{
    if (!level.locked)
        return D3DERR_INVALIDCALL;
    level.locked = false;
    return D3D_OK;
}

MemoryTexture::MemoryTexture(uint32_t width, uint32_t height, uint32_t count, uint32_t usageFlags, D3DFORMAT fmt,
                             D3DPOOL poolKind)
    : format(fmt), usage(usageFlags), pool(poolKind)
{
    const uint32_t full = FullMipCount(width, height);
    if (count == 0 || count > full)
        count = full;
    for (uint32_t i = 0; i < count; ++i) {
        levels.push_back(MakeLevel(width, height, fmt));
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
}

HRESULT MemoryTexture::GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc)
{
    if (level >= levels.size() || !desc)
        return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{};
    desc->Format = format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = usage;
    desc->Pool = pool;
    desc->Width = levels[level].width;
    desc->Height = levels[level].height;
    desc->Size = levels[level].pitch * levels[level].height;
    return D3D_OK;
}

HRESULT MemoryTexture::LockRect(uint32_t level, D3DLOCKED_RECT* locked, uint32_t)
{
    if (level >= levels.size() || !locked || levels[level].locked)
        return D3DERR_INVALIDCALL;
    levels[level].locked = true;
    locked->Pitch = static_cast<int32_t>(levels[level].pitch);
    locked->pBits = levels[level].bits.data();
    return D3D_OK;
}

HRESULT MemoryTexture::UnlockRect(uint32_t level)
{
    if (level >= levels.size() || !levels[level].locked)
        return D3DERR_INVALIDCALL;
    levels[level].locked = false;
    LevelChanged(level);
    return D3D_OK;
}

} // namespace d3d
