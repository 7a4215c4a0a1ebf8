// STAND-IN until the floating popups land: the popups the board and the
// game raise. It shows nothing; it keeps the texts of the messages and
// captions asked for, so tests can read them. Remove this file when the real
// popups take its place.
#pragma once

#include "engine/CountedHandle.h"

#include <string>
#include <vector>

class CPopup {
public:
    // Seconds the popup stays; callers may change it right after creating it.
    float life = 1.0f;
};

class CPopupManager {
public:
    void AddNumberPopup(int, int, float, float, float) {}
    void AddEquationPopup(int, int, int, float, float, float, const std::vector<float>&, const std::vector<int>&)
    {}
    CountedHandle<CPopup> AddTextPopup(const std::string& text, float, int, float, float, float)
    {
        return Keep(text);
    }
    CountedHandle<CPopup> AddCaptionPopup(const std::string& text, float, float, float, float)
    {
        return Keep(text);
    }
    void Update(float) {}
    void Clear() {}

    std::vector<std::string> shownTexts;

private:
    CountedHandle<CPopup> Keep(const std::string& text)
    {
        shownTexts.push_back(text);
        return MakeCountedHandle(new CPopup());
    }
};
