// STAND-IN until the gems bar is built with the levels: the calls the board
// makes on it. It draws nothing; the real gems bar replaces this file in
// place.
#pragma once

class CGemsBar {
public:
    void Show(bool, float) {}
    void Update(float) {}
    void SetPosition(float, float, float) {}
};
