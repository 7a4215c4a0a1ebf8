// The keeper base: a keeper that never emits and leaves particles alone.
#include "effects/keepers/Collection2Keeper.h"

bool CCollection2Keeper::UpdateParticle(int, CCollectedParticle2&, float, float, float, float) { return true; }

bool CCollection2Keeper::IsEmitting() { return false; }

int CCollection2Keeper::GetEmitCount(float) { return 0; }

bool CCollection2Keeper::InitParticle(int, CCollectedParticle2&, float, float, float) { return true; }

bool CCollection2Keeper::FollowOrigin(float, float, float, float) { return true; }

void CCollection2Keeper::MoveBy(float dx, float dy, float dz)
{
    origin.x += dx;
    origin.y += dy;
    origin.z += dz;
}
