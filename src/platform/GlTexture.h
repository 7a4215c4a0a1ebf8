// A texture of the OpenGL device.
#pragma once

#include "platform/GlContext.h"
#include "platform/MemoryResources.h"

#include <memory>
#include <vector>

namespace d3d {

// A texture kept in memory in its own format and mirrored as 32-bit BGRA in
// a GL texture object, level by level as levels are unlocked. A texture that
// outlives its device's context only frees memory.
class GlTexture final : public MemoryTexture {
public:
    GlTexture(uint32_t width, uint32_t height, uint32_t count, uint32_t usageFlags, D3DFORMAT fmt,
              D3DPOOL poolKind, const GlProcs* procs, std::shared_ptr<GlContextState> context);
    ~GlTexture() override;

    void LevelChanged(uint32_t level) override;

    GLuint name = 0;

private:
    void Bind();

    const GlProcs* m_procs;
    std::shared_ptr<GlContextState> m_context;
    std::vector<uint32_t> m_upload;
};

} // namespace d3d
