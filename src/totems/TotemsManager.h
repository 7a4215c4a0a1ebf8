// STAND-IN until the power totems are built: the totems manager's calls the
// board and the game make. It is always idle and produces no action; it
// keeps the totem levels the shop would give (above 0: the colour's totem is
// owned), records the totems queued to fly in, and its panel calls do
// nothing but leave a record of themselves; so do the shop's calls, whose
// shop-totem table holds empty handles. The real manager replaces this file
// in place.
#pragma once

#include "engine/CountedHandle.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CTotem;

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

    // What the game asks at level starts and when the totems leave the screen.
    void Reset() { calls.push_back("Reset"); }
    void BuildPanel(int shown) { calls.push_back("BuildPanel " + std::to_string(shown)); }
    void ShowPanel(int shown, float seconds)
    {
        calls.push_back("ShowPanel " + std::to_string(shown) + Seconds(seconds));
    }
    void FadeOutAll(float seconds) { calls.push_back("FadeOutAll" + Seconds(seconds)); }
    void RecreateTextures(int toShop, const std::string&)
    {
        calls.push_back("RecreateTextures " + std::to_string(toShop));
    }

    // The shop's display of a colour's totem at a level (-1 to 4): the old
    // one fades out at `speed` (opacity per second), the new one is built.
    void SetShopLevel(int colour, int level, float speed)
    {
        calls.push_back("SetShopLevel " + std::to_string(colour) + " " + std::to_string(level) + Seconds(speed));
    }
    void RefreshShopLevels(float speed) { calls.push_back("RefreshShopLevels" + Seconds(speed)); }

    bool blueTotemsActive = false;
    std::array<int32_t, kColours> levels{}; // per colour 0..6
    std::vector<int> queued;                // colours waiting to fly in
    // The totems the shop shows, per colour; the shop copies them.
    std::array<CountedHandle<CTotem>, kColours> shopTotems;
    std::vector<std::string> calls;

private:
    static std::string Seconds(float s) { return " " + std::to_string(s); }
};
