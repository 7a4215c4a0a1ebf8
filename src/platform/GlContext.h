// What the OpenGL device and its textures share: the GL entry points above
// 1.1 and the state of the one context they draw with. Only the GL device's
// own files include this.
#pragma once

#include <SDL.h>
#include <SDL_opengl.h>

namespace d3d {

// GL entry points above 1.1, looked up once a context exists.
struct GlProcs {
    PFNGLACTIVETEXTUREPROC ActiveTexture = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC ClientActiveTexture = nullptr;
    PFNGLBLENDEQUATIONPROC BlendEquation = nullptr;
    PFNGLDRAWRANGEELEMENTSPROC DrawRangeElements = nullptr;

    bool Load()
    {
        ActiveTexture = reinterpret_cast<PFNGLACTIVETEXTUREPROC>(SDL_GL_GetProcAddress("glActiveTexture"));
        ClientActiveTexture =
            reinterpret_cast<PFNGLCLIENTACTIVETEXTUREARBPROC>(SDL_GL_GetProcAddress("glClientActiveTexture"));
        BlendEquation = reinterpret_cast<PFNGLBLENDEQUATIONPROC>(SDL_GL_GetProcAddress("glBlendEquation"));
        DrawRangeElements =
            reinterpret_cast<PFNGLDRAWRANGEELEMENTSPROC>(SDL_GL_GetProcAddress("glDrawRangeElements"));
        return ActiveTexture && ClientActiveTexture && BlendEquation && DrawRangeElements;
    }
};

// What the device and its textures share about the GL context: whether it is
// still there, and whether a texture upload or deletion changed the texture
// bindings behind the device's back.
struct GlContextState {
    bool alive = true;
    bool bindingsChanged = false;
};

} // namespace d3d
