#include "challenges/PlateSet.h"

#include <algorithm>
#include <cstddef>
#include <utility>

CPlateSet::CPlateSet(CountedHandle<CCapsRenderer> caps) : m_caps(std::move(caps))
{
    m_plates.reserve(64);
    m_results.reserve(64);
}

CPlateSet::~CPlateSet() { Clear(); }

CountedHandle<CPlate> CPlateSet::AddPlate(int code, float x, float y, float z, int layer)
{
    code = std::clamp(code, 0, CPlate::kEmptyCode);
    CountedHandle<CCap> plateCap, tokenCap;
    if (m_caps) {
        plateCap = m_caps->CreateCap(CPlate::kPlateCapType, x, y, z, CPlate::kSize, layer);
        plateCap->hoverLight = 1;
        tokenCap = m_caps->CreateCap(CPlate::kTokenCapBase + code, x, y, z, CPlate::kSize, layer);
        tokenCap->hoverLight = 1;
        tokenCap->visible = 0;
    }
    CountedHandle<CPlate> plate = MakeCountedHandle(new CPlate(code, plateCap, tokenCap));
    plate->SetPosition(x, y, z);
    m_plates.push_back(plate);
    return plate;
}

void CPlateSet::RemoveCaps(const CPlate& plate)
{
    if (!m_caps)
        return;
    // An empty handle would take the renderer's first empty entry instead.
    if (plate.PlateCap())
        m_caps->RemoveCap(plate.PlateCap());
    if (plate.TokenCap())
        m_caps->RemoveCap(plate.TokenCap());
}

int CPlateSet::Update(float dt)
{
    m_results.clear();
    for (size_t i = 0; i < m_plates.size();) {
        CPlate& plate = *m_plates[i];
        const int r = plate.Update(dt);
        if (r == kPlateMoveEnded && plate.m_state == kPlateLeaving) {
            // Dropped in this same update; the plate behind it moves into
            // this place and is updated next.
            RemoveCaps(plate);
            m_plates.erase(m_plates.begin() + static_cast<std::ptrdiff_t>(i));
            m_results.push_back(PlateResult{kPlateRemoved, {}});
            continue;
        }
        if (r == kPlateMoveEnded || r == kPlateFlipEnded) {
            plate.m_state = kPlateIdle;
            m_results.push_back(PlateResult{r, m_plates[i]});
        }
        ++i;
    }
    return static_cast<int>(m_results.size());
}

int CPlateSet::Remove(CountedHandle<CPlate> plate)
{
    const auto it = std::find(m_plates.begin(), m_plates.end(), plate);
    if (it == m_plates.end())
        return -1;
    const int index = static_cast<int>(it - m_plates.begin());
    if (*it)
        RemoveCaps(**it);
    m_plates.erase(it);
    return index;
}

void CPlateSet::Clear()
{
    for (const CountedHandle<CPlate>& plate : m_plates)
        if (plate)
            RemoveCaps(*plate);
    m_results.clear();
    m_plates.clear();
}

bool CPlateSet::AllIdle() const
{
    return std::all_of(m_plates.begin(), m_plates.end(),
                       [](const CountedHandle<CPlate>& p) { return !p || p->IsIdle(); });
}
