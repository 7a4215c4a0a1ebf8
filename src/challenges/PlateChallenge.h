// What the three plate challenges (Memory, Attention, Reaction) share: their
// plate set on the board's caps renderer, the board's cells they lay their
// plates on, and the sound manager they play through. The bonus level that
// runs a challenge hands it these when it starts.
#pragma once

#include "audio/SoundManager.h"
#include "challenges/BoardCells.h"
#include "challenges/PlateSet.h"
#include "engine/CountedHandle.h"
#include "tokens/CapsRenderer.h"

#include <utility>

class CPlateChallenge {
public:
    CPlateChallenge(const CPlateChallenge&) = delete;
    CPlateChallenge& operator=(const CPlateChallenge&) = delete;

    // The board's top-left corner and cell size in the centred frame.
    void SetBoardGeometry(float x, float y, float z, float cellWidth, float cellHeight);
    // A new plate set on `caps`; a previous set is let go.
    void CreatePlateSet(CountedHandle<CCapsRenderer> caps);
    // Takes every plate off the board at once.
    void ClearPlates();
    void SetSoundManager(CountedHandle<CSoundManager> sounds) { m_sounds = std::move(sounds); }

    const CountedHandle<CPlateSet>& PlateSet() const { return m_plateSet; }
    const BoardCells& Cells() const { return m_cells; }

protected:
    CPlateChallenge() = default;
    ~CPlateChallenge() { ClearPlates(); }

    void UpdatePlates(float dt);
    bool AllPlatesIdle() const { return !m_plateSet || m_plateSet->AllIdle(); }
    bool NoPlatesLeft() const { return !m_plateSet || m_plateSet->Empty(); }
    // A new plate resting at `at`, or an empty handle before the set exists.
    CountedHandle<CPlate> AddPlate(int code, const Vec3& at);
    // Takes a plate out of the set (its caps off the board); false when it
    // was not there.
    bool RemovePlate(const CountedHandle<CPlate>& plate);

    BoardCells m_cells;
    CountedHandle<CPlateSet> m_plateSet;
    CountedHandle<CSoundManager> m_sounds;
    int m_plateLayer = 0;
};
