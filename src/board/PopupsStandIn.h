// STAND-IN until the floating popups land: the score popups the board
// raises. It shows nothing; remove this file when the real popups take its
// place.
#pragma once

#include <vector>

class CPopupManager {
public:
    void AddNumberPopup(int, int, float, float, float) {}
    void AddEquationPopup(int, int, int, float, float, float, const std::vector<float>&, const std::vector<int>&)
    {}
};
