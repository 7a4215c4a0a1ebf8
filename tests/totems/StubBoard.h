// A board of tokens that answers the totems' action records as the game's
// board does, and keeps what each did: the cells struck, the points and
// seconds granted, the tokens recoloured, the gems placed, the bonuses
// delivered. Cells are chosen with the game's random draws, in grid order.
#pragma once

#include "totems/TotemsManager.h"

#include <vector>

namespace totems_rig {

constexpr int kSteel = 100;

struct StubToken {
    bool present = true;
    int colour = 0;
    bool active = true;
    bool gem = false;
    bool bonus = false;
    bool chained = false;
};

class StubBoard {
public:
    // An 8 x 8 board on the grid, colours by (column + row) % 7.
    StubBoard();

    StubToken& At(int column, int row) { return cells[static_cast<size_t>(row * 8 + column)]; }
    // Walks the manager's records of this frame.
    void Apply(CTotemsManager& totems);

    std::vector<StubToken> cells;
    int gemsToPlace = 5;

    std::vector<TotemCell> destroyed;    // blasts and bolts, in order
    std::vector<TotemCell> struckGems;   // gem tokens the green rays took
    std::vector<TotemCell> placedGems;   // gems the unigems secured
    std::vector<TotemCell> recoloured;   // tokens the white paint reached
    std::vector<float> greenDelays;      // the green totem's answer
    std::vector<TotemAction> deliveries; // violet bonuses
    int score = 0;
    float seconds = 0.0f;
    int frenzies = 0;
    int matchChecks = 0;
    bool steelStopped = false;
    int powers = 0;

private:
    Vec2 Point(int column, int row) const;
    void Destroy(int column, int row);
    void Green(CTotemsManager& totems, const TotemAction& a);
    void Blue(CTotemsManager& totems, const TotemAction& a);
    void White(CTotemsManager& totems, const TotemAction& a);
};

// `count` distinct draws among `n` candidates, in ascending order; all of
// them when the count reaches n.
std::vector<int> DrawDistinct(int count, int n);

} // namespace totems_rig
