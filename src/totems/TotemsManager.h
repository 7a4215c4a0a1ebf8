// STAND-IN until the power totems are built: the totems manager's calls the
// board and the game make. It owns no totem, is always idle, produces no
// action, and its panel calls do nothing but leave a record of themselves;
// the real manager replaces this file in place.
#pragma once

#include <string>
#include <vector>

class CTotemsManager {
public:
    int CountOwnedColours() const { return 0; }
    bool IsIdle() const { return true; }
    void PlacePendingTotem() {}
    void QueueTotem(int) {}
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

    bool blueTotemsActive = false;
    std::vector<std::string> calls;

private:
    static std::string Seconds(float s) { return " " + std::to_string(s); }
};
