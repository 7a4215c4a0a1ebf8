// The game's few touches on the board's sand box: the drain while a level
// runs, the frenzy meter and what it gains, the sand still in the air, and
// the amounts a save keeps.
#include "game/Game.h"

bool CGame::SandInFlight() const
{
    const CSandHeightfield* field = board->sandbox->Heightfield().Get();
    return field && !field->FallingGrains().empty();
}

void CGame::SetSandDrain(bool on, float rate)
{
    CSandHeightfield* field = board->sandbox->Heightfield().Get();
    if (!field)
        return;
    if (on)
        field->drainRate = rate;
    field->draining = on;
}

// A new level or a bonus level starts with an empty box; the frenzy meter
// carries over.
void CGame::ResetSandKeepingMeter()
{
    CSandHeightfield* field = board->sandbox->Heightfield().Get();
    if (!field)
        return;
    const double meter = field->Meter();
    field->Reset();
    SetSandMeter(static_cast<float>(meter));
}

// The heightfield takes a meter only with a full box: filled and emptied
// again, an empty box keeps the new meter. The game sets it only while the
// box is empty (after a Golden Star, or when a box starts afresh).
void CGame::SetSandMeter(float value)
{
    CSandHeightfield* field = board->sandbox->Heightfield().Get();
    if (!field || field->IsFull())
        return;
    field->SetFull(true, value);
    field->SetFull(false, 0.0);
}

void CGame::SetSandMeterGain(float gain)
{
    if (CSandHeightfield* field = board->sandbox->Heightfield().Get())
        field->meterGain = gain;
}

double CGame::SandMeter() const
{
    const CSandHeightfield* field = board->sandbox->Heightfield().Get();
    return field ? field->Meter() : 0.0;
}

float CGame::SandAmount() const
{
    const CSandHeightfield* field = board->sandbox->Heightfield().Get();
    return field ? static_cast<float>(field->Total()) : 0.0f;
}
