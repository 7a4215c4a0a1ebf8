// The game's few touches on the board's sand box: the drain while a level
// runs, the frenzy meter, the sand still in the air, and the amounts a save
// keeps.
#include "game/Game.h"

bool CGame::SandInFlight() const
{
    const CSandbox& box = *board->sandbox;
    return (box.heightfield && !box.heightfield->fallingGrains.empty()) || !box.queuedPoints.empty();
}

void CGame::SetSandDrain(bool on, float rate)
{
    CSandHeightfield* field = board->sandbox->heightfield.Get();
    if (!field)
        return;
    if (on)
        field->drainRate = rate;
    field->flowEnabled = on;
}

// A new level or a bonus level starts with an empty box; the frenzy meter
// carries over.
void CGame::ResetSandKeepingMeter()
{
    CSandHeightfield* field = board->sandbox->heightfield.Get();
    if (!field)
        return;
    const float meter = field->meter;
    field->Reset();
    field->meter = meter;
}

void CGame::SetSandMeter(float value)
{
    if (CSandHeightfield* field = board->sandbox->heightfield.Get())
        field->meter = value;
}

double CGame::SandMeter() const
{
    const CSandHeightfield* field = board->sandbox->heightfield.Get();
    return field ? static_cast<double>(field->meter) : 0.0;
}

float CGame::SandAmount() const
{
    const CSandHeightfield* field = board->sandbox->heightfield.Get();
    return field ? field->total : 0.0f;
}
