#include "challenges/PlateChallenge.h"

#include <utility>

void CPlateChallenge::SetBoardGeometry(float x, float y, float z, float cellWidth, float cellHeight)
{
    m_cells.origin = Vec3{x, y, z};
    m_cells.cellWidth = cellWidth;
    m_cells.cellHeight = cellHeight;
}

void CPlateChallenge::CreatePlateSet(CountedHandle<CCapsRenderer> caps)
{
    m_plateSet = MakeCountedHandle(new CPlateSet(std::move(caps)));
}

void CPlateChallenge::ClearPlates()
{
    if (m_plateSet)
        m_plateSet->Clear();
}

void CPlateChallenge::UpdatePlates(float dt)
{
    if (m_plateSet)
        m_plateSet->Update(dt);
}

CountedHandle<CPlate> CPlateChallenge::AddPlate(int code, const Vec3& at)
{
    if (!m_plateSet)
        return {};
    return m_plateSet->AddPlate(code, at.x, at.y, at.z, m_plateLayer);
}

bool CPlateChallenge::RemovePlate(const CountedHandle<CPlate>& plate)
{
    return m_plateSet && m_plateSet->Remove(plate) >= 0;
}
