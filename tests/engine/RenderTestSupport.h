// A render device on the recording null device, for tests that need no GL.
#pragma once

#include "engine/RenderDevice.h"
#include "platform/NullDirect3D.h"

#include <memory>

struct NullRig {
    NullRig()
        : direct3d(d3d::NullDirect3D::StandardAdapters()),
          device(MakeCountedHandle(new CRenderDevice(&direct3d, 0)))
    {
        device->CreateDevice(1024, 768, d3d::D3DFMT_X8R8G8B8, 0, 1, nullptr, d3d::D3DFMT_D16, 1, 0, 1, 0);
        vertices = device->CreateVertexBuffer(capacity, 0x208, 0x242, d3d::D3DPOOL_DEFAULT);
        indices = device->CreateIndexBuffer(capacity, d3d::D3DFMT_INDEX16, 0x208, d3d::D3DPOOL_DEFAULT);
    }
    d3d::NullDevice& null() { return *direct3d.lastDevice; }
    d3d::NullDeviceLog& log() { return direct3d.log; }

    static constexpr uint32_t capacity = 4096;
    d3d::NullDirect3D direct3d;
    CountedHandle<CRenderDevice> device;
    CountedHandle<CVertexBuffer> vertices;
    CountedHandle<CIndexBuffer> indices;
};
