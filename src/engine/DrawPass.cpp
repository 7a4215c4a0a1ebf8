// The render device's draw passes: a named pass state set through the
// caches, and the states it changed owed back to the draws after it.
#include "engine/RenderDevice.h"

#include <algorithm>

using namespace d3d;

namespace {

struct StageSetting {
    D3DTEXTURESTAGESTATETYPE type;
    uint32_t value;
};

// The stage states of each texturing kind, stage 0 then stage 1. A stage-1
// state a kind leaves out is one its combination never reads.
struct Texturing {
    StageSetting stage0[6];
    StageSetting stage1[6];
    int stage1Count;
};

Texturing TexturingOf(PassTexturing kind)
{
    const StageSetting modulate[6] = {{D3DTSS_COLORARG1, D3DTA_TEXTURE}, {D3DTSS_COLOROP, D3DTOP_MODULATE},
                                      {D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
                                      {D3DTSS_ALPHAOP, D3DTOP_MODULATE}, {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE}};
    const StageSetting masking[6] = {{D3DTSS_COLORARG1, D3DTA_TEXTURE}, {D3DTSS_COLOROP, D3DTOP_MODULATE},
                                     {D3DTSS_COLORARG2, D3DTA_CURRENT}, {D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
                                     {D3DTSS_ALPHAOP, D3DTOP_MODULATE}, {D3DTSS_ALPHAARG2, D3DTA_CURRENT}};
    Texturing t{};
    std::copy(modulate, modulate + 6, t.stage0);
    switch (kind) {
    case PassTexturing::Modulate:
        t.stage1[0] = {D3DTSS_COLOROP, D3DTOP_DISABLE};
        t.stage1[1] = {D3DTSS_ALPHAOP, D3DTOP_DISABLE};
        t.stage1Count = 2;
        break;
    case PassTexturing::LitBySecond:
        t.stage0[1].value = D3DTOP_SELECTARG1;
        t.stage0[4].value = D3DTOP_SELECTARG1;
        t.stage1[0] = {D3DTSS_COLORARG1, D3DTA_TEXTURE};
        t.stage1[1] = {D3DTSS_COLOROP, D3DTOP_MODULATE};
        t.stage1[2] = {D3DTSS_COLORARG2, D3DTA_CURRENT};
        t.stage1[3] = {D3DTSS_ALPHAOP, D3DTOP_SELECTARG2};
        t.stage1[4] = {D3DTSS_ALPHAARG2, D3DTA_CURRENT};
        t.stage1Count = 5;
        break;
    case PassTexturing::AlphaFromSecond:
        t.stage0[1].value = D3DTOP_SELECTARG1;
        t.stage0[3].value = D3DTA_DIFFUSE;
        t.stage0[4].value = D3DTOP_SELECTARG1;
        std::copy(masking, masking + 6, t.stage1);
        t.stage1[0].value = D3DTA_DIFFUSE;
        t.stage1Count = 6;
        break;
    case PassTexturing::Masked:
    case PassTexturing::MaskedVertexColour:
        t.stage0[1].value = kind == PassTexturing::Masked ? D3DTOP_SELECTARG1 : D3DTOP_SELECTARG2;
        t.stage0[4].value = D3DTOP_SELECTARG1;
        std::copy(masking, masking + 6, t.stage1);
        t.stage1Count = 6;
        break;
    }
    return t;
}

bool IsFogState(int32_t state)
{
    return state == D3DRS_FOGCOLOR || state == D3DRS_FOGTABLEMODE || state == D3DRS_FOGSTART ||
           state == D3DRS_FOGEND || state == D3DRS_FOGDENSITY || state == D3DRS_FOGVERTEXMODE;
}

} // namespace

CRenderDevice::OwedState* CRenderDevice::FindOwed(int32_t stage, int32_t type)
{
    for (OwedState& owed : m_owed)
        if (owed.stage == stage && owed.type == type)
            return &owed;
    return nullptr;
}

void CRenderDevice::ForgiveOwed(int32_t stage, int32_t type)
{
    if (m_owed.empty())
        return;
    m_owed.erase(std::remove_if(m_owed.begin(), m_owed.end(),
                                [&](const OwedState& o) { return o.stage == stage && o.type == type; }),
                 m_owed.end());
}

void CRenderDevice::PassRenderState(D3DRENDERSTATETYPE state, uint32_t value)
{
    const uint32_t before = renderStates[state];
    if (OwedState* owed = FindOwed(-1, state))
        owed->setByPass = true;
    else if (before != value && before != kUnknownState)
        m_owed.push_back(OwedState{-1, state, before, true});
    CachedRenderState(state, value);
}

void CRenderDevice::PassStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value)
{
    const uint32_t before = stageStates[stage][type];
    if (OwedState* owed = FindOwed(static_cast<int32_t>(stage), type))
        owed->setByPass = true;
    else if (before != value && before != kUnknownState)
        m_owed.push_back(OwedState{static_cast<int32_t>(stage), type, before, true});
    CachedStageState(stage, type, value);
}

void CRenderDevice::ApplyPassTexturing(const PassState& pass)
{
    const Texturing t = TexturingOf(pass.texturing);
    for (const StageSetting& s : t.stage0)
        PassStageState(0, s.type, s.value);
    for (int i = 0; i < t.stage1Count; ++i)
        PassStageState(1, t.stage1[i].type, t.stage1[i].value);
    for (uint32_t stage = 0; stage < 2; ++stage) {
        const bool clampAll = stage == 1 && pass.clampSecond;
        PassStageState(stage, D3DTSS_ADDRESSU, clampAll || pass.clampU ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP);
        PassStageState(stage, D3DTSS_ADDRESSV, clampAll || pass.clampV ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP);
    }
}

HRESULT CRenderDevice::GetFrameRenderState(D3DRENDERSTATETYPE state, uint32_t* value) const
{
    if (!device)
        return D3DERR_INVALIDCALL;
    for (const OwedState& owed : m_owed)
        if (owed.stage < 0 && owed.type == state) {
            *value = owed.value;
            return D3D_OK;
        }
    return device->GetRenderState(state, value);
}

void CRenderDevice::SetFrameDepthWrites(bool on) { SetRenderState(D3DRS_ZWRITEENABLE, on ? 1 : 0); }

HRESULT CRenderDevice::DrawPass(const PassState& pass, const PassDraw& draw)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    // The frame's fog, read before the pass sets its own.
    uint32_t fog = 0, fogColour = 0;
    if (pass.fog == PassFog::BlackWhenAdding && !Failed(GetFrameRenderState(D3DRS_FOGENABLE, &fog)) && fog)
        GetFrameRenderState(D3DRS_FOGCOLOR, &fogColour);

    PassRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    PassRenderState(D3DRS_ALPHATESTENABLE, pass.alphaTest ? 1 : 0);
    PassRenderState(D3DRS_ALPHAREF, pass.alphaRef);
    PassRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    PassRenderState(D3DRS_ALPHABLENDENABLE, pass.blend.on ? 1 : 0);
    if (pass.blend.on) {
        PassRenderState(D3DRS_SRCBLEND, pass.blend.source);
        PassRenderState(D3DRS_DESTBLEND, pass.blend.destination);
    }
    if (pass.depth != PassDepth::Frame)
        PassRenderState(D3DRS_ZWRITEENABLE, pass.depth == PassDepth::Write ? 1 : 0);
    if (fog)
        PassRenderState(D3DRS_FOGCOLOR, pass.blend.AddsOrMultiplies() ? 0u : fogColour);
    ApplyPassTexturing(pass);
    SettleOwed();

    SetTexture(0, pass.texture);
    if (pass.texturing != PassTexturing::Modulate)
        SetTexture(1, pass.second);
    return DrawPrimitives(draw.type, draw.firstVertex, draw.vertexCount, draw.firstIndex, draw.primitives);
}

bool CRenderDevice::CanChangeDraw(const OwedState& owed) const
{
    if (owed.stage < 0) {
        const int32_t state = owed.type;
        if (state == D3DRS_SRCBLEND || state == D3DRS_DESTBLEND || state == D3DRS_BLENDOP)
            return renderStates[D3DRS_ALPHABLENDENABLE] != 0;
        if (state == D3DRS_ALPHAREF || state == D3DRS_ALPHAFUNC)
            return renderStates[D3DRS_ALPHATESTENABLE] != 0;
        if (IsFogState(state))
            return renderStates[D3DRS_FOGENABLE] != 0;
        return true;
    }
    // A disabled colour operation switches off its stage and every later
    // one (its own stage's operation can switch the stage back on).
    const int32_t last = owed.type == D3DTSS_COLOROP ? owed.stage - 1 : owed.stage;
    for (int32_t stage = 0; stage <= last; ++stage)
        if (stageStates[stage][D3DTSS_COLOROP] == D3DTOP_DISABLE)
            return false;
    if (owed.type == D3DTSS_ALPHAARG1 || owed.type == D3DTSS_ALPHAARG2)
        return stageStates[owed.stage][D3DTSS_ALPHAOP] != D3DTOP_DISABLE;
    return true;
}

void CRenderDevice::SettleOwed()
{
    if (m_owed.empty())
        return;
    // Giving a state back can make others matter (an operation enabling its
    // stage's arguments): the operations and switches go first.
    auto settle = [&](bool switches) {
        for (size_t i = 0; i < m_owed.size();) {
            OwedState& owed = m_owed[i];
            const bool isSwitch = owed.stage < 0
                                      ? owed.type == D3DRS_ALPHABLENDENABLE ||
                                            owed.type == D3DRS_ALPHATESTENABLE || owed.type == D3DRS_FOGENABLE
                                      : owed.type == D3DTSS_COLOROP || owed.type == D3DTSS_ALPHAOP;
            if (isSwitch != switches || owed.setByPass || !CanChangeDraw(owed)) {
                ++i;
                continue;
            }
            if (owed.stage < 0)
                CachedRenderState(static_cast<D3DRENDERSTATETYPE>(owed.type), owed.value);
            else
                CachedStageState(static_cast<uint32_t>(owed.stage),
                                 static_cast<D3DTEXTURESTAGESTATETYPE>(owed.type), owed.value);
            m_owed.erase(m_owed.begin() + static_cast<std::ptrdiff_t>(i));
        }
    };
    settle(true);
    settle(false);
    // What the pass set stays owed; what it set back to the owed value is
    // settled already.
    for (size_t i = 0; i < m_owed.size();) {
        OwedState& owed = m_owed[i];
        const uint32_t now = owed.stage < 0 ? renderStates[owed.type] : stageStates[owed.stage][owed.type];
        owed.setByPass = false;
        if (now == owed.value)
            m_owed.erase(m_owed.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void CRenderDevice::ForgetOwedIntoCaches()
{
    for (const OwedState& owed : m_owed) {
        if (owed.stage < 0)
            renderStates[owed.type] = owed.value;
        else
            stageStates[owed.stage][owed.type] = owed.value;
    }
    m_owed.clear();
}
