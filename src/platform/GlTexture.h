// A texture of the OpenGL device.
#pragma once

#include "platform/GlContext.h"
#include "platform/MemoryResources.h"

#include <memory>
#include <vector>

namespace d3d {

// A texture whose levels live in a GL texture object, uploaded as they are
// unlocked, 32-bit formats as they are and the others as 32-bit BGRA. Once
// a level is uploaded its memory copy goes: a later lock brings it back
// from GL (a lock that writes keeps it from then on, as a texture drawn
// into again and again would otherwise come back every time). A texture
// that outlives its device's context only frees memory.
class GlTexture final : public MemoryTexture {
public:
    GlTexture(uint32_t width, uint32_t height, uint32_t count, uint32_t usageFlags, D3DFORMAT fmt,
              D3DPOOL poolKind, const GlProcs* procs, std::shared_ptr<GlContextState> context);
    ~GlTexture() override;

    HRESULT LockRect(uint32_t level, D3DLOCKED_RECT* locked, uint32_t flags) override;
    HRESULT UnlockRect(uint32_t level) override;
    void LevelChanged(uint32_t level) override;
    // Uploads the levels never written (as zeros), so that the texture is
    // whole before it is drawn with.
    void Complete();
    bool InMemory(uint32_t level) const { return !levels[level].bits.empty(); }

    GLuint name = 0;

private:
    void Bind();
    void ReadBack(uint32_t level);

    const GlProcs* m_procs;
    std::shared_ptr<GlContextState> m_context;
    std::vector<uint32_t> m_upload;
    std::vector<uint8_t> m_uploaded; // per level
    std::vector<uint8_t> m_kept;     // per level: written again after an upload
    std::vector<uint8_t> m_readOnly; // per level: the open lock only reads
    bool m_complete = false;
};

} // namespace d3d
