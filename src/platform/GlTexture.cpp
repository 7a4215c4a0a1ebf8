// The OpenGL device's textures: levels uploaded as they are unlocked, their
// memory copy dropped once uploaded.
#include "platform/GlTexture.h"

#include "platform/PixelCodec.h"

namespace d3d {

GlTexture::GlTexture(uint32_t width, uint32_t height, uint32_t count, uint32_t usageFlags, D3DFORMAT fmt,
                     D3DPOOL poolKind, const GlProcs* procs, std::shared_ptr<GlContextState> context)
    : MemoryTexture(width, height, count, usageFlags, fmt, poolKind), m_procs(procs),
      m_context(std::move(context)), m_uploaded(levels.size(), 0), m_kept(levels.size(), 0),
      m_readOnly(levels.size(), 0)
{
    glGenTextures(1, &name);
    Bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels.size()) - 1);
}

GlTexture::~GlTexture()
{
    if (m_context->alive) {
        glDeleteTextures(1, &name);
        m_context->bindingsChanged = true;
    }
}

HRESULT GlTexture::LockRect(uint32_t level, D3DLOCKED_RECT* locked, uint32_t flags)
{
    if (level >= levels.size() || !locked || levels[level].locked)
        return D3DERR_INVALIDCALL;
    const bool readOnly = (flags & D3DLOCK_READONLY) != 0;
    if (!InMemory(level)) {
        ReadBack(level);
        if (!readOnly)
            m_kept[level] = 1;
    }
    m_readOnly[level] = readOnly ? 1 : 0;
    return MemoryTexture::LockRect(level, locked, flags);
}

HRESULT GlTexture::UnlockRect(uint32_t level)
{
    if (level >= levels.size() || !levels[level].locked)
        return D3DERR_INVALIDCALL;
    if (!m_readOnly[level])
        return MemoryTexture::UnlockRect(level);
    // Nothing changed: the copy goes again, as it came.
    levels[level].locked = false;
    if (m_uploaded[level] && !m_kept[level] && m_context->alive) {
        levels[level].bits.clear();
        levels[level].bits.shrink_to_fit();
    }
    return D3D_OK;
}

void GlTexture::ReadBack(uint32_t level)
{
    MemoryLevel& l = levels[level];
    l.bits.assign(static_cast<size_t>(l.pitch) * l.height, 0);
    if (!m_uploaded[level] || !m_context->alive)
        return;
    Bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    m_upload.resize(static_cast<size_t>(l.width) * l.height);
    glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), GL_BGRA, GL_UNSIGNED_BYTE, m_upload.data());
    for (uint32_t y = 0; y < l.height; ++y)
        EncodeRow(format, &m_upload[static_cast<size_t>(y) * l.width],
                  l.bits.data() + static_cast<size_t>(y) * l.pitch, l.width);
    m_upload.clear();
    m_upload.shrink_to_fit();
}

void GlTexture::LevelChanged(uint32_t level)
{
    if (!m_context->alive)
        return;
    MemoryLevel& l = levels[level];
    Bind();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    const GLsizei w = static_cast<GLsizei>(l.width), h = static_cast<GLsizei>(l.height);
    if (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) {
        // The memory is BGRA already; a texture without alpha keeps none, so
        // that it samples opaque whatever its fourth bytes hold.
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), format == D3DFMT_A8R8G8B8 ? GL_RGBA8 : GL_RGB8, w,
                     h, 0, GL_BGRA, GL_UNSIGNED_BYTE, l.bits.data());
    } else {
        m_upload.resize(static_cast<size_t>(l.width) * l.height);
        for (uint32_t y = 0; y < l.height; ++y)
            DecodeRow(format, l.bits.data() + static_cast<size_t>(y) * l.pitch,
                      &m_upload[static_cast<size_t>(y) * l.width], l.width);
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     m_upload.data());
        m_upload.clear();
        m_upload.shrink_to_fit();
    }
    m_uploaded[level] = 1;
    if (!m_kept[level]) {
        l.bits.clear();
        l.bits.shrink_to_fit();
    }
}

void GlTexture::Complete()
{
    if (m_complete || !m_context->alive)
        return;
    for (uint32_t i = 0; i < levels.size(); ++i)
        if (!m_uploaded[i] && !levels[i].locked)
            LevelChanged(i);
    m_complete = true;
    for (uint8_t uploaded : m_uploaded)
        m_complete = m_complete && uploaded;
}

void GlTexture::Bind()
{
    m_procs->ActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name);
    m_context->bindingsChanged = true;
}

} // namespace d3d
