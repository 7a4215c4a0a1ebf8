// The OpenGL device's textures: the memory copy uploaded level by level.
#include "platform/GlTexture.h"

#include "platform/PixelCodec.h"

namespace d3d {

GlTexture::GlTexture(uint32_t width, uint32_t height, uint32_t count, uint32_t usageFlags, D3DFORMAT fmt,
                     D3DPOOL poolKind, const GlProcs* procs, std::shared_ptr<GlContextState> context)
    : MemoryTexture(width, height, count, usageFlags, fmt, poolKind), m_procs(procs), m_context(std::move(context))
{
    glGenTextures(1, &name);
    Bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels.size()) - 1);
    for (uint32_t i = 0; i < levels.size(); ++i)
        LevelChanged(i);
}

GlTexture::~GlTexture()
{
    if (m_context->alive) {
        glDeleteTextures(1, &name);
        m_context->bindingsChanged = true;
    }
}

void GlTexture::LevelChanged(uint32_t level)
{
    if (!m_context->alive)
        return;
    const MemoryLevel& l = levels[level];
    const uint32_t bytes = FormatBytes(format);
    m_upload.resize(static_cast<size_t>(l.width) * l.height);
    for (uint32_t y = 0; y < l.height; ++y) {
        const uint8_t* row = l.bits.data() + static_cast<size_t>(y) * l.pitch;
        for (uint32_t x = 0; x < l.width; ++x)
            m_upload[static_cast<size_t>(y) * l.width + x] = DecodePixel(format, row + x * bytes);
    }
    Bind();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, static_cast<GLsizei>(l.width),
                 static_cast<GLsizei>(l.height), 0, GL_BGRA, GL_UNSIGNED_BYTE, m_upload.data());
    m_upload.clear();
    m_upload.shrink_to_fit();
}

void GlTexture::Bind()
{
    m_procs->ActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name);
    m_context->bindingsChanged = true;
}

} // namespace d3d
