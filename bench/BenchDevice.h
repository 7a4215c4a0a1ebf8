// The recording null device every benchmark draws on: a 1024 x 768 device
// that records only its draws, with the shared 65,536-entry buffers, and the
// log sent nowhere (the objects' farewell lines are not a benchmark's
// business).
#pragma once

#include "engine/Log.h"
#include "engine/RenderDevice.h"
#include "engine/Vertex.h"
#include "platform/NullDirect3D.h"

struct BenchDevice {
    BenchDevice()
        : direct3d(d3d::NullDirect3D::StandardAdapters()),
          device(MakeCountedHandle(new CRenderDevice(&direct3d, 0)))
    {
        SetLogName("/dev/null");
        device->CreateDevice(1024, 768, d3d::D3DFMT_X8R8G8B8, 0, 1, nullptr, d3d::D3DFMT_D16, 1, 0, 1, 0);
        direct3d.lastDevice->quiet = true;
        vertices = device->CreateVertexBuffer(kCapacity, 0x208, kVertexFvf, d3d::D3DPOOL_DEFAULT);
        indices = device->CreateIndexBuffer(kCapacity, d3d::D3DFMT_INDEX16, 0x208, d3d::D3DPOOL_DEFAULT);
    }
    d3d::NullDeviceLog& log() { return direct3d.log; }

    static constexpr uint32_t kCapacity = 65536;
    d3d::NullDirect3D direct3d;
    CountedHandle<CRenderDevice> device;
    CountedHandle<CVertexBuffer> vertices;
    CountedHandle<CIndexBuffer> indices;
};
