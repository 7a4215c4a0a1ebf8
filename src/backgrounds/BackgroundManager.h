// STAND-IN until the scene backgrounds land: the background manager as the
// game drives it. It keeps the scene and the stage progress it was asked
// for and the main menu's hover flag, and draws nothing. The real manager
// replaces this file in place.
#pragma once

class CBackgroundManager {
public:
    enum Scene { kNoScene = 0, kMuseum = 1, kJungle, kValley, kDoor, kTreasury, kMainMenu };

    // The part of the main menu's scene that answers the cursor.
    struct Zone {
        float left, top, right, bottom;
        bool Contains(float x, float y) const { return left <= x && x <= right && bottom <= y && y <= top; }
    };

    int SetScene(int id)
    {
        m_current = id >= kMuseum && id <= kMainMenu ? id : kNoScene;
        return 1;
    }
    void SetProgress(int count, int) { progress = count; }
    void Update(float) {}
    int CurrentScene() const { return m_current; }
    const Zone& MainMenuShiftZone() const { return m_zone; }
    void SetMainMenuHover(bool inside) { hover = inside; }

    int progress = 0;
    bool hover = false;

private:
    int m_current = kNoScene;
    Zone m_zone{-512.0f, 384.0f, 512.0f, 100.0f};
};
