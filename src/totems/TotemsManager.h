// STAND-IN until the power totems are built: the totems manager's calls the
// board makes. It is always idle and produces no action; it keeps the
// totem levels the shop would give (above 0: the colour's totem is owned)
// and records the totems queued to fly in. The real manager replaces this
// file in place.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class CTotemsManager {
public:
    static constexpr int kColours = 7;

    int CountOwnedColours() const
    {
        int owned = 0;
        for (int32_t level : levels)
            owned += level > 0 ? 1 : 0;
        return owned;
    }
    bool IsIdle() const { return true; }
    void PlacePendingTotem() { queued.clear(); }
    void QueueTotem(int colour) { queued.push_back(colour); }
    void SetBlueTotemsActive(bool on) { blueTotemsActive = on; }
    // Non-zero when it produced actions for the board.
    int Update(float) { return 0; }
    // The totems' copy of the board geometry.
    void SetBoardGrid(float, float, float, int, int, float, float) {}

    bool blueTotemsActive = false;
    std::array<int32_t, kColours> levels{}; // per colour 0..6
    std::vector<int> queued;                // colours waiting to fly in
};
