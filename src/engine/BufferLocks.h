// Both shared buffers locked at once for one batch: either lock failing
// leaves neither locked; the locks go when Unlock is called or the object
// goes.
#pragma once

#include "engine/DeviceResources.h"
#include "engine/Vertex.h"

class CBufferLocks {
public:
    CBufferLocks(CVertexBuffer& vertexBuffer, CIndexBuffer& indexBuffer, uint32_t vertexCount, uint32_t indexCount)
        : m_vertexBuffer(vertexBuffer), m_indexBuffer(indexBuffer)
    {
        uint8_t* v = nullptr;
        uint8_t* x = nullptr;
        if (d3d::Failed(m_vertexBuffer.Lock(vertexCount, &v, 0)))
            return;
        if (d3d::Failed(m_indexBuffer.Lock(indexCount, &x, 0))) {
            m_vertexBuffer.Unlock();
            return;
        }
        vertices = reinterpret_cast<Vertex*>(v);
        indices = reinterpret_cast<uint16_t*>(x);
        firstVertex = m_vertexBuffer.LockStart();
        firstIndex = m_indexBuffer.LockStart();
    }
    ~CBufferLocks() { Unlock(); }
    CBufferLocks(const CBufferLocks&) = delete;
    CBufferLocks& operator=(const CBufferLocks&) = delete;

    bool Locked() const { return vertices != nullptr; }
    void Unlock()
    {
        if (!vertices)
            return;
        m_indexBuffer.Unlock();
        m_vertexBuffer.Unlock();
        vertices = nullptr;
    }

    Vertex* vertices = nullptr;
    uint16_t* indices = nullptr;
    uint32_t firstVertex = 0;
    uint32_t firstIndex = 0;

private:
    CVertexBuffer& m_vertexBuffer;
    CIndexBuffer& m_indexBuffer;
};
