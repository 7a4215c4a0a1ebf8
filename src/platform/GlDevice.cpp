// The OpenGL device (compatibility profile) on an SDL window: the device's
// render and texture-stage states become fixed-function GL state before a
// draw that follows a change, and draws read straight from the buffers'
// memory. The back buffer is shown scaled and centred in the window's
// drawable.
#include "platform/GlDevice.h"

#include "platform/DeviceStateStore.h"
#include "platform/GlFixedFunction.h"
#include "platform/GlTexture.h"
#include "platform/IndexRange.h"
#include "platform/MemoryResources.h"
#include "platform/PixelCodec.h"
#include "platform/System.h"
#include "platform/Window.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace d3d {

namespace {

class GlDevice final : public IDirect3DDevice8 {
public:
    GlDevice(plat::Window* window, SDL_GLContext context, const D3DPRESENT_PARAMETERS& params,
             const GlProcs& procs)
        : m_window(window), m_context(context), m_states(params.EnableAutoDepthStencil != 0), m_procs(procs),
          m_shared(std::make_shared<GlContextState>())
    {
        ApplyPresentParameters(params);
        SDL_GetWindowGammaRamp(m_window->Handle(), m_savedRamp.red, m_savedRamp.green, m_savedRamp.blue);
        glDisable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    }

    ~GlDevice() override
    {
        m_shared->alive = false;
        if (m_cursor)
            SDL_FreeCursor(m_cursor);
        // The window is its owner's, and may be gone by now: releasing the
        // context needs none.
        SDL_GL_MakeCurrent(nullptr, nullptr);
        SDL_GL_DeleteContext(m_context);
    }

    HRESULT TestCooperativeLevel() override { return D3D_OK; }

    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override
    {
        if (!params)
            return D3DERR_INVALIDCALL;
        m_scissorOn = false;
        ApplyPresentParameters(*params);
        m_states.ResetToDefaults(params->EnableAutoDepthStencil != 0);
        m_renderStatesDirty = m_stagesDirty = true;
        return D3D_OK;
    }

    HRESULT Present() override
    {
        SDL_GL_SwapWindow(m_window->Handle());
        m_pacer.AfterSwap();
        return D3D_OK;
    }

    HRESULT BeginScene() override { return D3D_OK; }
    HRESULT EndScene() override { return D3D_OK; }

    HRESULT Clear(uint32_t flags, uint32_t color, float z, uint32_t) override
    {
        GLbitfield mask = 0;
        if (flags & D3DCLEAR_TARGET) {
            glClearColor(((color >> 16) & 0xff) / 255.0f, ((color >> 8) & 0xff) / 255.0f, (color & 0xff) / 255.0f,
                         ((color >> 24) & 0xff) / 255.0f);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (flags & D3DCLEAR_ZBUFFER) {
            glClearDepth(z);
            glDepthMask(GL_TRUE);
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        // Clear what the viewport covers, as the device clears its viewport.
        glScissor(m_viewportPixels.x1, m_viewportPixels.y1, m_viewportPixels.x2, m_viewportPixels.y2);
        glEnable(GL_SCISSOR_TEST);
        glClear(mask);
        ApplyScissor();
        glDepthMask(m_states.RenderState(D3DRS_ZWRITEENABLE) ? GL_TRUE : GL_FALSE);
        return D3D_OK;
    }

    HRESULT GetDeviceCaps(D3DCAPS8* caps) override
    {
        FillGlCaps(caps);
        return D3D_OK;
    }

    HRESULT SetViewport(const D3DVIEWPORT8& viewport) override
    {
        m_viewport = viewport;
        ApplyViewport();
        return D3D_OK;
    }

    HRESULT GetViewport(D3DVIEWPORT8* viewport) override
    {
        *viewport = m_viewport;
        return D3D_OK;
    }

    HRESULT SetScissorRect(const D3DRECT* rect) override
    {
        m_scissorOn = rect != nullptr;
        if (rect)
            m_scissor = *rect;
        ApplyScissor();
        return D3D_OK;
    }

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override
    {
        // Row vectors times matrices: the same sixteen floats are GL's
        // column-major layout.
        if (state == D3DTS_PROJECTION) {
            // The device's clip depth runs 0..w, GL's -w..w: z' = 2z - w.
            static const GLfloat depthFix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, 0, 0, -1, 1};
            m_projection = matrix;
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(depthFix);
            glMultMatrixf(&matrix.m[0][0]);
        } else if (state == D3DTS_WORLD || state == D3DTS_VIEW) {
            if (state == D3DTS_WORLD)
                m_world = matrix;
            else
                m_view = matrix;
            glMatrixMode(GL_MODELVIEW);
            glLoadMatrixf(&m_view.m[0][0]);
            glMultMatrixf(&m_world.m[0][0]);
        } else {
            return D3DERR_INVALIDCALL;
        }
        return D3D_OK;
    }

    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override
    {
        switch (state) {
        case D3DTS_PROJECTION:
            *matrix = m_projection;
            return D3D_OK;
        case D3DTS_VIEW:
            *matrix = m_view;
            return D3D_OK;
        case D3DTS_WORLD:
            *matrix = m_world;
            return D3D_OK;
        }
        return D3DERR_INVALIDCALL;
    }

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override
    {
        if (!m_states.ValidRenderState(state))
            return D3DERR_INVALIDCALL;
        if (m_states.RenderState(state) != value) {
            m_states.SetRenderState(state, value);
            m_renderStatesDirty = true;
            m_stagesDirty = m_stagesDirty || state == D3DRS_TEXTUREFACTOR;
        }
        return D3D_OK;
    }

    HRESULT GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) override
    {
        if (!m_states.ValidRenderState(state))
            return D3DERR_INVALIDCALL;
        *value = m_states.RenderState(state);
        return D3D_OK;
    }

    HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) override
    {
        if (!m_states.ValidStageState(stage, type))
            return D3DERR_INVALIDCALL;
        if (m_states.StageState(stage, type) != value) {
            m_states.SetStageState(stage, type, value);
            m_stagesDirty = true;
        }
        return D3D_OK;
    }

    HRESULT GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t* value) override
    {
        if (!m_states.ValidStageState(stage, type))
            return D3DERR_INVALIDCALL;
        *value = m_states.StageState(stage, type);
        return D3D_OK;
    }

    void SetGammaRamp(uint32_t, const D3DGAMMARAMP& ramp) override
    {
        if (SDL_SetWindowGammaRamp(m_window->Handle(), ramp.red, ramp.green, ramp.blue) != 0 && !m_gammaWarned) {
            m_gammaWarned = true;
            std::fprintf(stderr, "Gamma ramp not available: %s\n", SDL_GetError());
        }
    }

    void GetGammaRamp(D3DGAMMARAMP* ramp) override
    {
        if (SDL_GetWindowGammaRamp(m_window->Handle(), ramp->red, ramp->green, ramp->blue) != 0) {
            // No ramp to read: report the identity, which is what restoring it should give.
            for (int i = 0; i < 256; ++i)
                ramp->red[i] = ramp->green[i] = ramp->blue[i] = static_cast<uint16_t>(i * 257);
        }
    }

    bool ShowCursor(bool show) override
    {
        const bool was = m_cursorShown;
        m_cursorShown = show;
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
        return was;
    }

    void SetCursorPosition(int, int, uint32_t) override {}

    bool ReadPixels(int* width, int* height, std::vector<uint32_t>* pixels)
    {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(m_window->Handle(), &w, &h);
        if (w <= 0 || h <= 0)
            return false;
        std::vector<uint32_t> rows(static_cast<size_t>(w) * static_cast<size_t>(h));
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
        pixels->resize(rows.size());
        for (int y = 0; y < h; ++y)
            std::memcpy(&(*pixels)[static_cast<size_t>(y) * static_cast<size_t>(w)],
                        &rows[static_cast<size_t>(h - 1 - y) * static_cast<size_t>(w)],
                        static_cast<size_t>(w) * 4);
        *width = w;
        *height = h;
        return true;
    }

    HRESULT SetCursorProperties(uint32_t hotX, uint32_t hotY, IDirect3DSurface8* image) override
    {
        if (!image)
            return D3DERR_INVALIDCALL;
        D3DSURFACE_DESC desc;
        image->GetDesc(&desc);
        D3DLOCKED_RECT locked;
        if (Failed(image->LockRect(&locked, D3DLOCK_READONLY)))
            return D3DERR_INVALIDCALL;
        const uint32_t bytes = FormatBytes(desc.Format);
        std::vector<uint32_t> pixels(static_cast<size_t>(desc.Width) * desc.Height);
        for (uint32_t y = 0; y < desc.Height; ++y)
            for (uint32_t x = 0; x < desc.Width; ++x)
                pixels[static_cast<size_t>(y) * desc.Width + x] =
                    DecodePixel(desc.Format, static_cast<const uint8_t*>(locked.pBits) +
                                                 static_cast<ptrdiff_t>(y) * locked.Pitch + x * bytes);
        image->UnlockRect();
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            pixels.data(), static_cast<int>(desc.Width), static_cast<int>(desc.Height), 32,
            static_cast<int>(desc.Width * 4), SDL_PIXELFORMAT_ARGB8888);
        SDL_Cursor* cursor =
            surface ? SDL_CreateColorCursor(surface, static_cast<int>(hotX), static_cast<int>(hotY)) : nullptr;
        if (surface)
            SDL_FreeSurface(surface);
        if (!cursor) {
            // Best-effort: headless drivers have no colour cursor.
            std::fprintf(stderr, "Colour cursor not available: %s\n", SDL_GetError());
            return D3D_OK;
        }
        SDL_SetCursor(cursor);
        if (m_cursor)
            SDL_FreeCursor(m_cursor);
        m_cursor = cursor;
        return D3D_OK;
    }

    HRESULT CreateVertexBuffer(uint32_t length, uint32_t, uint32_t fvf, D3DPOOL,
                               std::unique_ptr<IDirect3DVertexBuffer8>* out) override
    {
        if (!out || length == 0)
            return D3DERR_INVALIDCALL;
        *out = std::make_unique<MemoryVertexBuffer>(length, fvf);
        return D3D_OK;
    }

    HRESULT CreateIndexBuffer(uint32_t length, uint32_t, D3DFORMAT format, D3DPOOL,
                              std::unique_ptr<IDirect3DIndexBuffer8>* out) override
    {
        if (!out || length == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
            return D3DERR_INVALIDCALL;
        *out = std::make_unique<MemoryIndexBuffer>(length, format);
        return D3D_OK;
    }

    HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, D3DFORMAT format,
                          D3DPOOL pool, std::unique_ptr<IDirect3DTexture8>* out) override
    {
        if (!out || width == 0 || height == 0 || width > 4096 || height > 4096 || !IsTextureFormat(format))
            return D3DERR_INVALIDCALL;
        // A scratch texture is only read and written, never drawn with: it
        // stays in memory.
        if (pool == D3DPOOL_SCRATCH || pool == D3DPOOL_SYSTEMMEM)
            *out = std::make_unique<MemoryTexture>(width, height, levels, usage, format, pool);
        else
            *out = std::make_unique<GlTexture>(width, height, levels, usage, format, pool, &m_procs, m_shared);
        return D3D_OK;
    }

    HRESULT CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                               std::unique_ptr<IDirect3DSurface8>* out) override
    {
        if (!out || width == 0 || height == 0 || !IsTextureFormat(format))
            return D3DERR_INVALIDCALL;
        *out = std::make_unique<MemorySurface>(width, height, format);
        return D3D_OK;
    }

    HRESULT SetTexture(uint32_t stage, IDirect3DTexture8* texture) override
    {
        if (stage >= static_cast<uint32_t>(kTextureStageCount))
            return D3DERR_INVALIDCALL;
        // Only the device's own textures draw; one kept in memory (the
        // scratch pool) cannot be bound.
        GlTexture* bound = dynamic_cast<GlTexture*>(texture);
        if (texture && !bound)
            return D3DERR_INVALIDCALL;
        if (m_textures[stage] != bound) {
            m_textures[stage] = bound;
            m_stagesDirty = true;
        }
        return D3D_OK;
    }

    HRESULT SetStreamSource(uint32_t stream, IDirect3DVertexBuffer8* buffer, uint32_t stride) override
    {
        if (stream != 0)
            return D3DERR_INVALIDCALL;
        m_stream = static_cast<MemoryVertexBuffer*>(buffer);
        m_stride = stride;
        return D3D_OK;
    }

    HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, uint32_t baseVertexIndex) override
    {
        m_indices = static_cast<MemoryIndexBuffer*>(buffer);
        m_baseVertex = baseVertexIndex;
        return D3D_OK;
    }

    HRESULT SetVertexShader(uint32_t fvf) override
    {
        m_fvf = fvf;
        return D3D_OK;
    }

    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                 uint32_t startIndex, uint32_t primitiveCount) override
    {
        if (!m_stream || !m_indices || m_stride == 0 || primitiveCount == 0)
            return D3DERR_INVALIDCALL;
        GLenum mode = GL_TRIANGLES;
        uint32_t count = primitiveCount * 3;
        if (type == D3DPT_TRIANGLESTRIP || type == D3DPT_TRIANGLEFAN) {
            mode = type == D3DPT_TRIANGLESTRIP ? GL_TRIANGLE_STRIP : GL_TRIANGLE_FAN;
            count = primitiveCount + 2;
        } else if (type != D3DPT_TRIANGLELIST) {
            return D3DERR_INVALIDCALL;
        }
        const uint32_t indexSize = m_indices->format == D3DFMT_INDEX32 ? 4 : 2;
        if (static_cast<size_t>(startIndex + count) * indexSize > m_indices->data.size())
            return D3DERR_INVALIDCALL;
        const size_t base = static_cast<size_t>(m_baseVertex) * m_stride;
        if (base + static_cast<size_t>(minIndex + vertexCount) * m_stride > m_stream->data.size())
            return D3DERR_INVALIDCALL;
        // GL reads the vertices the indices name from our memory: an index
        // outside the range the caller gave would read past the buffer.
        const uint8_t* indexData = m_indices->data.data() + static_cast<size_t>(startIndex) * indexSize;
        if (!IndicesWithin(indexData, indexSize, count, minIndex, minIndex + vertexCount))
            return D3DERR_INVALIDCALL;
        std::chrono::steady_clock::time_point timed;
        if (m_timer) {
            glFinish();
            timed = std::chrono::steady_clock::now();
        }
        if (m_renderStatesDirty) {
            ApplyRenderStates();
            m_renderStatesDirty = false;
        }
        if (m_stagesDirty || m_shared->bindingsChanged) {
            m_unitsInUse = ApplyStages();
            m_stagesDirty = false;
            m_shared->bindingsChanged = false;
        }
        const int units = m_unitsInUse;
        const uint8_t* vertices = m_stream->data.data() + base;
        size_t offset = 0;
        glEnableClientState(GL_VERTEX_ARRAY);
        if (m_fvf & D3DFVF_XYZRHW) {
            glVertexPointer(4, GL_FLOAT, static_cast<GLsizei>(m_stride), vertices);
            offset = 16;
        } else {
            glVertexPointer(3, GL_FLOAT, static_cast<GLsizei>(m_stride), vertices);
            offset = 12;
        }
        if (m_fvf & D3DFVF_NORMAL)
            offset += 12;
        if (m_fvf & D3DFVF_PSIZE)
            offset += 4;
        if (m_fvf & D3DFVF_DIFFUSE) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, static_cast<GLsizei>(m_stride), vertices + offset);
            offset += 4;
        } else {
            glDisableClientState(GL_COLOR_ARRAY);
            glColor4f(1, 1, 1, 1);
        }
        if (m_fvf & D3DFVF_SPECULAR)
            offset += 4;
        const uint32_t sets = (m_fvf >> 8) & 0xF;
        for (int unit = 0; unit < kTextureStageCount; ++unit) {
            m_procs.ClientActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
            const uint32_t set = m_states.StageState(static_cast<uint32_t>(unit), D3DTSS_TEXCOORDINDEX) & 0xFFFF;
            if (unit < units && set < sets) {
                glEnableClientState(GL_TEXTURE_COORD_ARRAY);
                glTexCoordPointer(2, GL_FLOAT, static_cast<GLsizei>(m_stride), vertices + offset + set * 8);
            } else {
                glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            }
        }
        m_procs.ClientActiveTexture(GL_TEXTURE0);
        m_procs.DrawRangeElements(mode, minIndex, minIndex + std::max(vertexCount, 1u) - 1,
                                  static_cast<GLsizei>(count),
                                  indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, indexData);
        if (m_timer) {
            glFinish();
            DrawTiming timing;
            timing.texture = m_textures[0];
            timing.blend = m_states.RenderState(D3DRS_ALPHABLENDENABLE) != 0;
            timing.sourceBlend = m_states.RenderState(D3DRS_SRCBLEND);
            timing.destinationBlend = m_states.RenderState(D3DRS_DESTBLEND);
            timing.vertexCount = vertexCount;
            timing.primitives = primitiveCount;
            timing.pixels = ScreenArea(mode, count, indexData, indexSize, vertices);
            timing.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - timed).count();
            m_timer(timing);
        }
        return D3D_OK;
    }

    void SetTimer(DrawTimer timer) { m_timer = std::move(timer); }

    // The area in drawable pixels the triangles of a draw cover, for the
    // draw timer.
    double ScreenArea(GLenum mode, uint32_t count, const uint8_t* indexData, uint32_t indexSize,
                      const uint8_t* vertices) const
    {
        float m[4][4] = {};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                for (int k = 0; k < 4; ++k) {
                    float wv = 0.0f;
                    for (int j = 0; j < 4; ++j)
                        wv += m_world.m[r][j] * m_view.m[j][k];
                    m[r][c] += wv * m_projection.m[k][c];
                }
        const bool transformed = (m_fvf & D3DFVF_XYZRHW) != 0;
        auto point = [&](uint32_t i, float* x, float* y) {
            uint32_t index = 0;
            std::memcpy(&index, indexData + static_cast<size_t>(i) * indexSize, indexSize);
            float p[3];
            std::memcpy(p, vertices + static_cast<size_t>(index) * m_stride, sizeof p);
            if (transformed) {
                *x = p[0] * m_scale;
                *y = p[1] * m_scale;
                return;
            }
            const float cx = p[0] * m[0][0] + p[1] * m[1][0] + p[2] * m[2][0] + m[3][0];
            const float cy = p[0] * m[0][1] + p[1] * m[1][1] + p[2] * m[2][1] + m[3][1];
            const float cw = p[0] * m[0][3] + p[1] * m[1][3] + p[2] * m[2][3] + m[3][3];
            *x = (cx / cw) * 0.5f * static_cast<float>(m_viewport.Width) * m_scale;
            *y = (cy / cw) * 0.5f * static_cast<float>(m_viewport.Height) * m_scale;
        };
        // A scissor in the viewport's frame: centred, y up.
        const float halfWidth = 0.5f * static_cast<float>(m_viewport.Width);
        const float halfHeight = 0.5f * static_cast<float>(m_viewport.Height);
        const float left =
            (static_cast<float>(m_scissor.x1 - static_cast<int32_t>(m_viewport.X)) - halfWidth) * m_scale;
        const float right =
            (static_cast<float>(m_scissor.x2 - static_cast<int32_t>(m_viewport.X)) - halfWidth) * m_scale;
        const float top =
            (halfHeight - static_cast<float>(m_scissor.y1 - static_cast<int32_t>(m_viewport.Y))) * m_scale;
        const float bottom =
            (halfHeight - static_cast<float>(m_scissor.y2 - static_cast<int32_t>(m_viewport.Y))) * m_scale;
        double area = 0.0;
        const uint32_t triangles = mode == GL_TRIANGLES ? count / 3 : count - 2;
        for (uint32_t t = 0; t < triangles; ++t) {
            const uint32_t a = mode == GL_TRIANGLES ? 3 * t : mode == GL_TRIANGLE_FAN ? 0 : t;
            const uint32_t b = mode == GL_TRIANGLES ? 3 * t + 1 : t + 1;
            const uint32_t c = mode == GL_TRIANGLES ? 3 * t + 2 : t + 2;
            std::vector<std::pair<float, float>> polygon(3);
            point(a, &polygon[0].first, &polygon[0].second);
            point(b, &polygon[1].first, &polygon[1].second);
            point(c, &polygon[2].first, &polygon[2].second);
            if (m_scissorOn) {
                ClipPolygon(&polygon, 0, left, false);
                ClipPolygon(&polygon, 0, right, true);
                ClipPolygon(&polygon, 1, bottom, false);
                ClipPolygon(&polygon, 1, top, true);
            }
            double twice = 0.0;
            for (size_t i = 0; i < polygon.size(); ++i) {
                const auto& [x0, y0] = polygon[i];
                const auto& [x1, y1] = polygon[(i + 1) % polygon.size()];
                twice += static_cast<double>(x0) * y1 - static_cast<double>(x1) * y0;
            }
            area += std::fabs(twice) * 0.5;
        }
        return area;
    }

    // Keeps the part of a polygon on one side of the line where coordinate
    // `axis` equals `limit`: below it when `keepBelow`, else above.
    static void ClipPolygon(std::vector<std::pair<float, float>>* polygon, int axis, float limit, bool keepBelow)
    {
        auto at = [axis](const std::pair<float, float>& p) { return axis == 0 ? p.first : p.second; };
        auto inside = [&](const std::pair<float, float>& p) {
            return keepBelow ? at(p) <= limit : at(p) >= limit;
        };
        std::vector<std::pair<float, float>> kept;
        for (size_t i = 0; i < polygon->size(); ++i) {
            const auto& p = (*polygon)[i];
            const auto& q = (*polygon)[(i + 1) % polygon->size()];
            if (inside(p))
                kept.push_back(p);
            if (inside(p) != inside(q)) {
                const float f = (limit - at(p)) / (at(q) - at(p));
                kept.emplace_back(p.first + f * (q.first - p.first), p.second + f * (q.second - p.second));
            }
        }
        *polygon = std::move(kept);
    }

    std::string RendererName() const
    {
        const GLubyte* name = glGetString(GL_RENDERER);
        return name ? reinterpret_cast<const char*>(name) : "";
    }

private:
    // Fixed-function GL state from the device's render states, set before a
    // draw when they changed.
    void ApplyRenderStates()
    {
        auto rs = [&](int32_t state) { return m_states.RenderState(state); };
        auto enable = [](GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); };
        const bool depth = rs(D3DRS_ZENABLE) != 0;
        enable(GL_DEPTH_TEST, depth);
        glDepthFunc(CompareFunction(rs(D3DRS_ZFUNC)));
        glDepthMask(rs(D3DRS_ZWRITEENABLE) ? GL_TRUE : GL_FALSE);
        enable(GL_ALPHA_TEST, rs(D3DRS_ALPHATESTENABLE) != 0);
        glAlphaFunc(CompareFunction(rs(D3DRS_ALPHAFUNC)),
                    static_cast<GLfloat>(rs(D3DRS_ALPHAREF) & 0xFF) / 255.0f);
        enable(GL_BLEND, rs(D3DRS_ALPHABLENDENABLE) != 0);
        glBlendFunc(BlendFactor(rs(D3DRS_SRCBLEND)), BlendFactor(rs(D3DRS_DESTBLEND)));
        m_procs.BlendEquation(BlendEquationOf(rs(D3DRS_BLENDOP)));
        // Front faces are clockwise on screen; the cull mode names the
        // winding that is dropped.
        glFrontFace(GL_CW);
        const uint32_t cull = rs(D3DRS_CULLMODE);
        enable(GL_CULL_FACE, cull == D3DCULL_CW || cull == D3DCULL_CCW);
        glCullFace(cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
        enable(GL_DITHER, rs(D3DRS_DITHERENABLE) != 0);
        glShadeModel(rs(D3DRS_SHADEMODE) == 1 ? GL_FLAT : GL_SMOOTH);
        const uint32_t fill = rs(D3DRS_FILLMODE);
        glPolygonMode(GL_FRONT_AND_BACK, fill == 1 ? GL_POINT : fill == 2 ? GL_LINE : GL_FILL);
        const uint32_t mask = rs(D3DRS_COLORWRITEENABLE);
        glColorMask((mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0);
        if (rs(D3DRS_FOGENABLE)) {
            glEnable(GL_FOG);
            GLfloat colour[4];
            ColourOf(rs(D3DRS_FOGCOLOR), colour);
            glFogfv(GL_FOG_COLOR, colour);
            uint32_t mode = rs(D3DRS_FOGTABLEMODE);
            if (mode == 0)
                mode = rs(D3DRS_FOGVERTEXMODE);
            glFogi(GL_FOG_MODE, mode == 1 ? GL_EXP : mode == 2 ? GL_EXP2 : GL_LINEAR);
            glFogf(GL_FOG_START, FloatOf(rs(D3DRS_FOGSTART)));
            glFogf(GL_FOG_END, FloatOf(rs(D3DRS_FOGEND)));
            glFogf(GL_FOG_DENSITY, FloatOf(rs(D3DRS_FOGDENSITY)));
        } else {
            glDisable(GL_FOG);
        }
        if (rs(D3DRS_LIGHTING)) {
            // No lights are ever set: lit vertices take the ambient level.
            glEnable(GL_LIGHTING);
            GLfloat ambient[4];
            ColourOf(rs(D3DRS_AMBIENT) | 0xFF000000u, ambient);
            glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
            enable(GL_COLOR_MATERIAL, rs(D3DRS_COLORVERTEX) != 0);
            glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        } else {
            glDisable(GL_LIGHTING);
        }
    }

    // Texture stages onto GL_COMBINE texture units; returns the number of
    // units in use (stages up to the first disabled one).
    int ApplyStages()
    {
        // A texture never written is made whole first (its upload binds it
        // on unit 0). Only the stages in use: a stage past them may still
        // name a texture destroyed since.
        for (int unit = 0; unit < kTextureStageCount; ++unit) {
            if (m_states.StageState(static_cast<uint32_t>(unit), D3DTSS_COLOROP) == D3DTOP_DISABLE)
                break;
            if (m_textures[unit])
                m_textures[unit]->Complete();
        }
        GLfloat factor[4];
        ColourOf(m_states.RenderState(D3DRS_TEXTUREFACTOR), factor);
        int used = 0;
        bool disabled = false;
        for (int unit = 0; unit < kTextureStageCount; ++unit) {
            const uint32_t stage = static_cast<uint32_t>(unit);
            auto ts = [&](int32_t type) { return m_states.StageState(stage, type); };
            m_procs.ActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
            disabled = disabled || ts(D3DTSS_COLOROP) == D3DTOP_DISABLE;
            GlTexture* texture = m_textures[unit];
            if (disabled || !texture) {
                glDisable(GL_TEXTURE_2D);
                if (disabled)
                    continue;
                // A stage without a texture passes the colour on unchanged.
                used = unit + 1;
                continue;
            }
            used = unit + 1;
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, texture->name);
            const bool magLinear = ts(D3DTSS_MAGFILTER) >= D3DTEXF_LINEAR;
            const bool minLinear = ts(D3DTSS_MINFILTER) >= D3DTEXF_LINEAR;
            const uint32_t mip = texture->levels.size() > 1 ? ts(D3DTSS_MIPFILTER) : D3DTEXF_NONE;
            GLenum minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
            if (mip == D3DTEXF_POINT)
                minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
            else if (mip >= D3DTEXF_LINEAR)
                minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S,
                            static_cast<GLint>(AddressMode(ts(D3DTSS_ADDRESSU))));
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T,
                            static_cast<GLint>(AddressMode(ts(D3DTSS_ADDRESSV))));
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
            glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
            SetCombine(false, ts(D3DTSS_COLOROP), ts(D3DTSS_COLORARG1), ts(D3DTSS_COLORARG2));
            const uint32_t alphaOp = ts(D3DTSS_ALPHAOP);
            if (alphaOp == D3DTOP_DISABLE)
                SetCombine(true, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT);
            else
                SetCombine(true, alphaOp, ts(D3DTSS_ALPHAARG1), ts(D3DTSS_ALPHAARG2));
        }
        m_procs.ActiveTexture(GL_TEXTURE0);
        return used;
    }

    void ApplyPresentParameters(const D3DPRESENT_PARAMETERS& params)
    {
        m_backWidth = static_cast<int>(params.BackBufferWidth);
        m_backHeight = static_cast<int>(params.BackBufferHeight);
        m_window->SetFullScreen(!params.Windowed);
        m_window->SetClientSize(m_backWidth, m_backHeight);
        m_window->SetBackBufferSize(m_backWidth, m_backHeight);
        // Presenting on the retrace is asked for with vertical sync and in a
        // window. Drivers that refuse the swap interval (Xvfb's) would draw
        // a thousand frames a second: the pacer holds them to the refresh
        // rate. Behind a driver that took it, the pacer only catches swaps
        // that come back far too soon, and never fights the retrace.
        const bool onRetrace = params.FullScreen_PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE;
        const bool driverWaits = SDL_GL_SetSwapInterval(onRetrace ? 1 : 0) == 0 && onRetrace;
        if (onRetrace && !driverWaits)
            SDL_GL_SetSwapInterval(0);
        const int64_t period = onRetrace ? RefreshPeriod() : 0;
        m_pacer.SetPeriod(driverWaits ? period * 9 / 10 : period);
        ComputeLetterbox();
        m_viewport =
            D3DVIEWPORT8{0, 0, static_cast<uint32_t>(m_backWidth), static_cast<uint32_t>(m_backHeight), 0, 1};
        ApplyViewport();
    }

    // One refresh of the display the window is on; 60 Hz when it does not say.
    int64_t RefreshPeriod() const
    {
        SDL_DisplayMode mode{};
        const int display = SDL_GetWindowDisplayIndex(m_window->Handle());
        const int hertz = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0
                              ? mode.refresh_rate
                              : 60;
        return 1000000000 / hertz;
    }

    void ComputeLetterbox()
    {
        int w = m_backWidth, h = m_backHeight;
        SDL_GL_GetDrawableSize(m_window->Handle(), &w, &h);
        if (w <= 0 || h <= 0 || m_backWidth <= 0 || m_backHeight <= 0) {
            m_scale = 1.0f;
            m_offsetX = m_offsetY = 0;
            m_drawableHeight = m_backHeight;
            return;
        }
        m_scale = std::min(static_cast<float>(w) / m_backWidth, static_cast<float>(h) / m_backHeight);
        m_offsetX = static_cast<int>((w - m_backWidth * m_scale) * 0.5f);
        m_offsetY = static_cast<int>((h - m_backHeight * m_scale) * 0.5f);
        m_drawableHeight = h;
        if (m_offsetX > 0 || m_offsetY > 0) {
            glDisable(GL_SCISSOR_TEST);
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }

    void ApplyViewport()
    {
        // Top-left origin in back-buffer pixels to GL's bottom-left origin in
        // drawable pixels.
        const int x = m_offsetX + static_cast<int>(m_viewport.X * m_scale);
        const int w = static_cast<int>(m_viewport.Width * m_scale);
        const int h = static_cast<int>(m_viewport.Height * m_scale);
        const int yTop = m_offsetY + static_cast<int>(m_viewport.Y * m_scale);
        const int y = m_drawableHeight - yTop - h;
        glViewport(x, y, w, h);
        m_viewportPixels = D3DRECT{x, y, w, h};
        glDepthRange(m_viewport.MinZ, m_viewport.MaxZ);
        ApplyScissor();
    }

    // The scissor rectangle within the viewport, in drawable pixels, or the
    // test off.
    void ApplyScissor()
    {
        if (!m_scissorOn) {
            glDisable(GL_SCISSOR_TEST);
            return;
        }
        const int vx = static_cast<int>(m_viewport.X), vy = static_cast<int>(m_viewport.Y);
        const int left = std::max(m_scissor.x1, vx);
        const int top = std::max(m_scissor.y1, vy);
        const int right = std::min(m_scissor.x2, vx + static_cast<int>(m_viewport.Width));
        const int bottom = std::min(m_scissor.y2, vy + static_cast<int>(m_viewport.Height));
        auto pixel = [this](int v) { return static_cast<int>(std::lround(v * m_scale)); };
        const int x = m_offsetX + pixel(left);
        const int w = std::max(0, pixel(right) - pixel(left));
        const int h = std::max(0, pixel(bottom) - pixel(top));
        const int y = m_drawableHeight - (m_offsetY + pixel(top)) - h;
        glScissor(x, y, w, h);
        glEnable(GL_SCISSOR_TEST);
    }

    plat::Window* m_window;
    SDL_GLContext m_context;
    DeviceStateStore m_states;
    D3DVIEWPORT8 m_viewport;
    D3DMATRIX m_world{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    D3DMATRIX m_view{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    D3DMATRIX m_projection{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    // The viewport in drawable pixels as glScissor takes it: x, y, width,
    // height.
    D3DRECT m_viewportPixels;
    bool m_scissorOn = false;
    D3DRECT m_scissor;
    D3DGAMMARAMP m_savedRamp;
    int m_backWidth = 0;
    int m_backHeight = 0;
    int m_drawableHeight = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;
    float m_scale = 1.0f;
    plat::FramePacer m_pacer;
    bool m_cursorShown = true;
    bool m_gammaWarned = false;
    GlProcs m_procs;
    std::shared_ptr<GlContextState> m_shared;
    // GL holds the fixed-function state of the last draw; it is sent again
    // only after the device's states, textures or bindings changed.
    bool m_renderStatesDirty = true;
    bool m_stagesDirty = true;
    int m_unitsInUse = 0;
    SDL_Cursor* m_cursor = nullptr;
    GlTexture* m_textures[kTextureStageCount] = {};
    MemoryVertexBuffer* m_stream = nullptr;
    uint32_t m_stride = 0;
    MemoryIndexBuffer* m_indices = nullptr;
    uint32_t m_baseVertex = 0;
    uint32_t m_fvf = 0;
    DrawTimer m_timer;
};

} // namespace

void FillGlCaps(D3DCAPS8* caps)
{
    *caps = D3DCAPS8{};
    caps->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps->StencilCaps = D3DSTENCILCAPS_ZERO;
    caps->MaxTextureWidth = 4096;
    caps->MaxTextureHeight = 4096;
    caps->MaxPrimitiveCount = 0xFFFFF;
    caps->MaxVertexIndex = 0xFFFFFF;
    caps->VertexShaderVersion = 0xFFFE0101;
    caps->PixelShaderVersion = 0xFFFF0101;
    caps->MaxSimultaneousTextures = 8;
}

std::unique_ptr<IDirect3DDevice8> MakeGlDevice(plat::Window* window, SDL_GLContext context,
                                               const D3DPRESENT_PARAMETERS& params, const GlProcs& procs)
{
    return std::make_unique<GlDevice>(window, context, params, procs);
}

bool SetDrawTimer(IDirect3DDevice8* device, DrawTimer timer)
{
    auto* gl = dynamic_cast<GlDevice*>(device);
    if (gl)
        gl->SetTimer(std::move(timer));
    return gl != nullptr;
}

bool FinishDrawing(IDirect3DDevice8* device)
{
    if (!dynamic_cast<GlDevice*>(device))
        return false;
    glFinish();
    return true;
}

std::string DeviceRendererName(IDirect3DDevice8* device)
{
    auto* gl = dynamic_cast<GlDevice*>(device);
    return gl ? gl->RendererName() : std::string();
}

bool ReadGlDevicePixels(IDirect3DDevice8* device, int* width, int* height, std::vector<uint32_t>* pixels)
{
    auto* gl = dynamic_cast<GlDevice*>(device);
    return gl && gl->ReadPixels(width, height, pixels);
}

} // namespace d3d
