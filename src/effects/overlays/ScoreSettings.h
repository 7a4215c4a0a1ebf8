// STAND-IN until "Score.cfg" and the popups land: the combo thresholds and
// the choice of the combo message the game shows when a cascade ends. The
// thresholds are fixed here; the real settings read them from "Score.cfg"
// and replace this file in place.
#pragma once

#include "engine/StringTable.h"

#include <algorithm>
#include <cstdio>
#include <string>

class CScoreMessageSettings {
public:
    // The combo count that shows message 1 .. 4 for a level of this many
    // colours (5 also serves fewer, 7 more).
    int ComboThreshold(int colours, int which) const
    {
        const int row = std::clamp(colours - 5, 0, 2);
        return combo[row][std::clamp(which, 1, 4) - 1];
    }

    int combo[3][4] = {{3, 4, 5, 7}, {3, 4, 6, 8}, {3, 5, 7, 9}};
};

inline CScoreMessageSettings& ScoreMessageSettings()
{
    static CScoreMessageSettings settings;
    return settings;
}

struct ComboMessage {
    int message = 0; // 1 "GOOD" .. 4 "INCREDIBLE"; 0: the combo shows nothing
    std::string text;
    float scale = 0.0f;
    int style = 0;
};

inline ComboMessage ChooseComboMessage(const CScoreMessageSettings& settings, int colours, int combo)
{
    ComboMessage shown;
    for (int message = 4; message >= 1 && shown.message == 0; --message)
        if (settings.ComboThreshold(colours, message) <= combo)
            shown.message = message;
    if (shown.message == 0)
        return shown;
    char text[256];
    std::snprintf(text, sizeof text, "%s x%d", GetString(2 + shown.message).c_str(), combo);
    shown.text = text;
    shown.scale = 0.8f + 0.2f * static_cast<float>(shown.message - 1);
    shown.style = shown.message - 1;
    return shown;
}
