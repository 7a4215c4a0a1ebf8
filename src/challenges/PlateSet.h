// The plates of one challenge: the set makes them with their two caps on the
// board's caps renderer, moves and turns them every frame, ends their moves
// and flips, and takes a plate's caps off the renderer's list whenever the
// plate leaves the set (taken out, cleared, or arrived from a flight away).
#pragma once

#include "challenges/Plate.h"
#include "engine/CountedHandle.h"
#include "tokens/CapsRenderer.h"

#include <vector>

struct PlateResult {
    int code;                    // kPlateMoveEnded, kPlateRemoved or kPlateFlipEnded
    CountedHandle<CPlate> plate; // empty for kPlateRemoved
};

class CPlateSet {
public:
    explicit CPlateSet(CountedHandle<CCapsRenderer> caps);
    ~CPlateSet();
    CPlateSet(const CPlateSet&) = delete;
    CPlateSet& operator=(const CPlateSet&) = delete;

    // A new idle plate resting at (x, y, z) with the plate showing; its
    // picture is token code `code` (0..7).
    CountedHandle<CPlate> AddPlate(int code, float x, float y, float z, int layer);
    // Moves and turns every plate; a move or flip that ends leaves its plate
    // idle, a leaving plate that arrives leaves the set at once. The number
    // of results, which Results() lists.
    int Update(float dt);
    // The plate's former index, or -1 when it is not in the set.
    int Remove(CountedHandle<CPlate> plate);
    void Clear();

    // Every plate idle; true for an empty set.
    bool AllIdle() const;
    bool Empty() const { return m_plates.empty(); }
    const std::vector<CountedHandle<CPlate>>& Plates() const { return m_plates; }
    const std::vector<PlateResult>& Results() const { return m_results; }

private:
    void RemoveCaps(const CPlate& plate);

    CountedHandle<CCapsRenderer> m_caps;
    std::vector<CountedHandle<CPlate>> m_plates;
    std::vector<PlateResult> m_results;
};
