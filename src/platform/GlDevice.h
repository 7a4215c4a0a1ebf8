// The OpenGL device: one GL context on an SDL window, the device's states
// mapped onto GL's fixed-function pipeline at each draw.
#pragma once

#include "platform/D3D8.h"
#include "platform/GlContext.h"

#include <memory>
#include <vector>

namespace d3d {

// The device on a context already made current on the window; the device
// owns the context from here on.
std::unique_ptr<IDirect3DDevice8> MakeGlDevice(plat::Window* window, SDL_GLContext context,
                                               const D3DPRESENT_PARAMETERS& params, const GlProcs& procs);

// The back buffer of a GL device, top row first; false for other devices.
bool ReadGlDevicePixels(IDirect3DDevice8* device, int* width, int* height, std::vector<uint32_t>* pixels);

// What the GL device can do, as the adapter reports it too.
void FillGlCaps(D3DCAPS8* caps);

} // namespace d3d
