// Buffers, textures and surfaces kept in main memory. The null device uses
// them as they are; the GL device keeps the same memory copy and uploads a
// texture level when it is unlocked, and draws straight from the buffers'
// memory, so a discarding lock and an appending lock need no GL
// synchronisation of their own.
#pragma once

#include "platform/D3D8.h"

#include <functional>
#include <vector>

namespace d3d {

// Lock bookkeeping shared by both buffer kinds: the range and flags of the
// last lock, for the null device's log and for tests.
class MemoryBuffer {
public:
    explicit MemoryBuffer(uint32_t length) : data(length) {}

    HRESULT LockRange(uint32_t offset, uint32_t size, uint8_t** out, uint32_t flags);
    HRESULT UnlockRange();

    std::vector<uint8_t> data;
    uint32_t lastOffset = 0;
    uint32_t lastSize = 0;
    uint32_t lastFlags = 0;
    int locks = 0;
    std::function<void(const MemoryBuffer&)> onLock; // optional observer
};

class MemoryVertexBuffer final : public IDirect3DVertexBuffer8, public MemoryBuffer {
public:
    MemoryVertexBuffer(uint32_t length, uint32_t fvfCode) : MemoryBuffer(length), fvf(fvfCode) {}
    HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** out, uint32_t flags) override
    {
        return LockRange(offset, size, out, flags);
    }
    HRESULT Unlock() override { return UnlockRange(); }
    uint32_t fvf;
};

class MemoryIndexBuffer final : public IDirect3DIndexBuffer8, public MemoryBuffer {
public:
    MemoryIndexBuffer(uint32_t length, D3DFORMAT indexFormat) : MemoryBuffer(length), format(indexFormat) {}
    HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** out, uint32_t flags) override
    {
        return LockRange(offset, size, out, flags);
    }
    HRESULT Unlock() override { return UnlockRange(); }
    D3DFORMAT format;
};

struct MemoryLevel {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;
    std::vector<uint8_t> bits;
    bool locked = false;
};

class MemorySurface : public IDirect3DSurface8 {
public:
    MemorySurface(uint32_t width, uint32_t height, D3DFORMAT format);
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, uint32_t flags) override;
    HRESULT UnlockRect() override;
    D3DSURFACE_DESC desc;
    MemoryLevel level;
};

class MemoryTexture : public IDirect3DTexture8 {
public:
    MemoryTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, D3DFORMAT format,
                  D3DPOOL pool);
    uint32_t GetLevelCount() override { return static_cast<uint32_t>(levels.size()); }
    HRESULT GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(uint32_t level, D3DLOCKED_RECT* locked, uint32_t flags) override;
    HRESULT UnlockRect(uint32_t level) override;

    // Called after a level was unlocked (the GL device uploads it).
    virtual void LevelChanged(uint32_t) {}

    D3DFORMAT format;
    uint32_t usage;
    D3DPOOL pool;
    std::vector<MemoryLevel> levels;
};

// Number of levels of a full chain down to 1 x 1.
uint32_t FullMipCount(uint32_t width, uint32_t height);

} // namespace d3d
