// Render and texture-stage state as the device holds it, starting from the
// documented defaults of the fixed-function device (the engine relies on
// defaults it never sets and reads the values back after a reset).
#pragma once

#include "platform/D3D8.h"

namespace d3d {

class DeviceStateStore {
public:
    explicit DeviceStateStore(bool hasDepthBuffer) { ResetToDefaults(hasDepthBuffer); }

    void ResetToDefaults(bool hasDepthBuffer);

    bool ValidRenderState(int32_t state) const { return state >= 0 && state < kRenderStateCount; }
    bool ValidStageState(uint32_t stage, int32_t type) const
    {
        return stage < static_cast<uint32_t>(kTextureStageCount) && type >= 0 && type < kTextureStageStateCount;
    }
    uint32_t RenderState(int32_t state) const { return m_render[state]; }
    void SetRenderState(int32_t state, uint32_t value) { m_render[state] = value; }
    uint32_t StageState(uint32_t stage, int32_t type) const { return m_stage[stage][type]; }
    void SetStageState(uint32_t stage, int32_t type, uint32_t value) { m_stage[stage][type] = value; }

private:
    uint32_t m_render[kRenderStateCount] = {};
    uint32_t m_stage[kTextureStageCount][kTextureStageStateCount] = {};
};

} // namespace d3d
