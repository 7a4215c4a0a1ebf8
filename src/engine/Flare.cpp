#include "engine/Flare.h"

#include "engine/Random.h"
#include "engine/Sprite.h"
#include "engine/VectorMath.h"

#include <cmath>

using namespace d3d;

CFlare::CFlare(float px, float py, float pz, CountedHandle<CTexture> tex, uint32_t colour)
    : x(px), y(py), z(pz), rgb(colour & 0xFFFFFF), texture(std::move(tex))
{}

void CFlare::SetAxes(const float ax[3], const float ay[3])
{
    for (int k = 0; k < 3; ++k) {
        axisX[k] = ax[k];
        axisY[k] = ay[k];
    }
    Normalise(axisX);
    Normalise(axisY);
    SetSize(width, height);
}

void CFlare::SetSize(float w, float h)
{
    width = w;
    height = h;
    for (int k = 0; k < 3; ++k) {
        extentX[k] = w * axisX[k];
        extentY[k] = h * axisY[k];
    }
}

void CFlare::SetTextureRect(float u0, float v0, float u1, float v1)
{
    const float corners[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    for (int i = 0; i < 4; ++i) {
        uv[i][0] = corners[i][0];
        uv[i][1] = corners[i][1];
    }
}

void CFlare::SetSpin(float startAngle, float speed, const float axis1[3], const float axis2[3])
{
    spinning = 1;
    spinAngle = startAngle;
    spinSpeed = speed;
    for (int k = 0; k < 3; ++k) {
        spinAxis1[k] = axis1[k];
        spinAxis2[k] = axis2[k];
    }
    Normalise(spinAxis1);
    Normalise(spinAxis2);
}

void CFlare::StartScale(float target, float speed)
{
    scaling = 1;
    scale = 1.0f;
    baseWidth = width;
    baseHeight = height;
    targetScale = target;
    scaleSpeed = speed;
}

void CFlare::FadeOutNow()
{
    if (age >= fadeOutStart)
        return;
    if (fadeIn <= age - delay) {
        fadeOutStart = age;
        return;
    }
    fadeOutStart = age - (1.0f - (age - delay) / fadeIn) * fadeOut;
    fadeIn = 0.0f;
}

int CFlare::Update(float dt)
{
    age += dt;
    const float lifeEnd = fadeOutStart + fadeOut;
    int result = 1;
    float step = dt;
    if (lifeEnd <= age) {
        result = 0;
        step = dt - (age - lifeEnd);
    }
    const float t = age - delay;
    if (fadeIn > t)
        alpha = t / fadeIn;
    else if (age > fadeOutStart)
        alpha = (lifeEnd - age) / fadeOut;
    else
        alpha = 1.0f;

    float m = age - flickerSegmentStart;
    if (m >= flickerPeriod) {
        if (m - flickerPeriod >= flickerPeriod) {
            flickerSegmentStart = std::floor(age / flickerPeriod) * flickerPeriod;
            flickerFrom = RandomUnit() * flickerDepth;
        } else {
            flickerSegmentStart += flickerPeriod;
            flickerFrom = flickerTo;
        }
        flickerTo = RandomUnit() * flickerDepth;
        flickerDelta = flickerTo - flickerFrom;
        m = std::fmod(age, flickerPeriod);
    }
    if (flickerPeriod > 0.0f)
        alpha -= m * flickerDelta / flickerPeriod + flickerFrom;
    if (alpha < 0.0f)
        alpha = 0.0f;

    if (spinning) {
        spinAngle += spinSpeed * step;
        if (spinAngle >= kTwoPi)
            spinAngle -= kTwoPi;
        if (spinAngle < 0.0f)
            spinAngle += kTwoPi;
        const float c = std::cos(spinAngle), s = std::sin(spinAngle);
        for (int k = 0; k < 3; ++k) {
            extentX[k] = width * (c * spinAxis1[k] + s * spinAxis2[k]);
            extentY[k] = height * (-s * spinAxis1[k] + c * spinAxis2[k]);
            axisX[k] = extentX[k];
            axisY[k] = extentY[k];
        }
        Normalise(axisX);
        Normalise(axisY);
    }
    if (scaling && age - delay > 0.0f) {
        scale += step * scaleSpeed;
        if ((scaleSpeed >= 0.0f && scale >= targetScale) || (scaleSpeed < 0.0f && scale <= targetScale)) {
            scale = targetScale;
            scaling = 0;
        }
        SetSize(baseWidth * scale, baseHeight * scale);
    }
    return result;
}

void CFlare::FillVertices(Vertex* vertices) const
{
    const uint32_t a = static_cast<uint32_t>(std::floor(alpha * 255.0f * alphaFactor)) & 0xFF;
    const uint32_t colour = a << 24 | rgb;
    float corner[4][3];
    const float centre[3] = {x, y, z};
    for (int k = 0; k < 3; ++k) {
        corner[0][k] = centre[k] - extentX[k] / 2.0f + extentY[k] / 2.0f;
        corner[1][k] = corner[0][k] + extentX[k];
        corner[2][k] = corner[1][k] - extentY[k];
        corner[3][k] = corner[2][k] - extentX[k];
    }
    for (int i = 0; i < 4; ++i)
        vertices[i] = Vertex{corner[i][0], corner[i][1], corner[i][2], colour, uv[i][0], uv[i][1], 0.0f, 0.0f};
}

CFlareRenderer::CFlareRenderer(CountedHandle<CRenderDevice> renderDevice, CountedHandle<CVertexBuffer> vertices,
                               CountedHandle<CIndexBuffer> indices)
    : device(std::move(renderDevice)), vertexBuffer(std::move(vertices)), indexBuffer(std::move(indices))
{}

CFlareRenderer::~CFlareRenderer() { flares.clear(); }

void CFlareRenderer::Add(const CountedHandle<CFlare>& flare)
{
    if (!flare)
        return;
    flare->id = nextId++;
    for (auto it = flares.begin(); it != flares.end(); ++it)
        if (SameTexture((*it)->texture, flare->texture)) {
            flares.insert(it, flare);
            return;
        }
    flares.push_back(flare);
}

void CFlareRenderer::Update(float dt)
{
    size_t kept = 0;
    for (size_t i = 0; i < flares.size(); ++i)
        if (flares[i]->Update(dt))
            flares[kept++] = flares[i];
    flares.resize(kept);
}

void CFlareRenderer::Render()
{
    if (flares.empty() || !device->Device())
        return;
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    size_t start = 0;
    while (start < flares.size()) {
        const CountedHandle<CTexture>& texture = flares[start]->texture;
        device->SetTexture(0, texture);
        size_t end = start + 1;
        while (end < flares.size() && SameTexture(flares[end]->texture, texture))
            ++end;
        const uint32_t n = static_cast<uint32_t>(end - start);
        uint8_t* v = nullptr;
        uint8_t* x = nullptr;
        if (Failed(vertexBuffer->Lock(4 * n, &v, 0)))
            return;
        if (Failed(indexBuffer->Lock(6 * n, &x, 0))) {
            vertexBuffer->Unlock();
            return;
        }
        Vertex* vertices = reinterpret_cast<Vertex*>(v);
        uint16_t* indices = reinterpret_cast<uint16_t*>(x);
        const uint32_t first = vertexBuffer->LockStart();
        for (uint32_t k = 0; k < n; ++k) {
            flares[start + k]->FillVertices(vertices + 4 * k);
            const uint16_t b = static_cast<uint16_t>(first + 4 * k);
            const uint16_t list[6] = {b, static_cast<uint16_t>(b + 1), static_cast<uint16_t>(b + 2),
                                      b, static_cast<uint16_t>(b + 2), static_cast<uint16_t>(b + 3)};
            std::copy(list, list + 6, indices + 6 * k);
        }
        indexBuffer->Unlock();
        vertexBuffer->Unlock();
        device->DrawIndexed(D3DPT_TRIANGLELIST, first, 4 * n, indexBuffer->LockStart(), 2 * n);
        start = end;
    }
}
