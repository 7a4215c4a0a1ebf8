#include "totems/Totem.h"

void CTotem::Init(int newMode, CountedHandle<CTotemShapeSet> shapeSet)
{
    opacity = 0.0f;
    moveTimer = 0.0f;
    state = kTotemIdle;
    moveDuration = 1.0f;
    mode = newMode;
    targetOpacity = 1.0f;
    eventCode = 0;
    strength = 0;
    shapes = std::move(shapeSet);
}

void CTotem::SetOpacity(float value, bool alsoTarget)
{
    opacity = value;
    if (alsoTarget)
        targetOpacity = value;
}

int CTotem::Activate(int a)
{
    strength = a + 1;
    state = a == 2 ? kTotemPowerFull : kTotemPower;
    return a + 1;
}
