// The board's sand box as the game drives it: the drain while a level runs,
// the frenzy meter and what it gains, the sand still in the air, and the
// amounts a save keeps and brings back.
#include "board/GameBoard.h"

bool CGameBoard::SandInFlight() const
{
    const CSandHeightfield* field = m_sandbox->Heightfield().Get();
    return field && !field->FallingGrains().empty();
}

void CGameBoard::SetSandDrain(bool on, float rate)
{
    CSandHeightfield* field = m_sandbox->Heightfield().Get();
    if (!field)
        return;
    if (on)
        field->drainRate = rate;
    field->draining = on;
}

float CGameBoard::SandDrainRate() const
{
    const CSandHeightfield* field = m_sandbox->Heightfield().Get();
    return field ? static_cast<float>(field->drainRate) : 0.0f;
}

void CGameBoard::ResetSandKeepingMeter()
{
    CSandHeightfield* field = m_sandbox->Heightfield().Get();
    if (!field)
        return;
    const double meter = field->Meter();
    field->Reset();
    SetSandMeter(static_cast<float>(meter));
}

// The heightfield takes a meter only with a full box: filled and emptied
// again, an empty box keeps the new meter. The game sets it only while the
// box is empty (after a Golden Star, or when a box starts afresh).
void CGameBoard::SetSandMeter(float value)
{
    CSandHeightfield* field = m_sandbox->Heightfield().Get();
    if (!field || field->IsFull())
        return;
    field->SetFull(true, value);
    field->SetFull(false, 0.0);
}

void CGameBoard::SetSandMeterGain(float gain)
{
    if (CSandHeightfield* field = m_sandbox->Heightfield().Get())
        field->meterGain = gain;
}

double CGameBoard::SandMeter() const
{
    const CSandHeightfield* field = m_sandbox->Heightfield().Get();
    return field ? field->Meter() : 0.0;
}

float CGameBoard::SandAmount() const
{
    const CSandHeightfield* field = m_sandbox->Heightfield().Get();
    return field ? static_cast<float>(field->Total()) : 0.0f;
}

void CGameBoard::RestoreSand(float amount, float rate)
{
    CSandHeightfield* field = m_sandbox->Heightfield().Get();
    if (!field)
        return;
    field->draining = false;
    field->Reset();
    if (amount > 0.0f)
        field->Pour(amount, (field->ColumnCount() - 1) / 2.0);
    field->drainRate = rate;
}

SandboxGeometry CGameBoard::SandboxBox() const { return *m_sandbox->Geometry(); }

void CGameBoard::SetSandActive(bool on) { m_sandActive = on; }
