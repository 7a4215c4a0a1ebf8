// The options screen, from the main menu or the pause menu: the two volumes
// and the four display boxes. The display is a mask: 1 full screen, 2 wider
// than 640, 4 more than 16 bits of colour, 8 wider than 4:3 (full screen
// only). The boxes edit a pending copy within what the display offers; OK
// applies it and writes the options down.
#pragma once

#include "engine/CountedHandle.h"

class CGameServices;
class CQoForm;

class COptionsScreen {
public:
    explicit COptionsScreen(CGameServices& services);

    void Open(const CountedHandle<CQoForm>& from, float speed);
    void Confirm(const CountedHandle<CQoForm>& back, float speed);
    // A display box pressed (0 to 3: full screen, width, depth, wide).
    void PressBox(int box);

    int GetDisplayFlags() const;
    int GetAvailableToggles(int flags) const;
    void UpdateToggleControls(int flags);
    int ToggleDisplayOption(int mask, int option) const;
    bool ApplyDisplayMode(int mask);

    // The display mask in use and the one the boxes edit.
    int appliedDisplayMask = 0, pendingDisplayMask = 0;

private:
    CGameServices& m_services;
};
