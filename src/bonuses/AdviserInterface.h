// The hint display the adviser bonus switches on. While it runs, a counter
// on the quest screen (a control whose first sprite, a halo, keeps turning)
// shows the whole seconds left, a small bobbing arrow marks every cell that
// takes part in a possible move, and a second control (the hint button) is
// disabled; when the seconds run out the arrows go, the counter fades out
// and the button comes back. Apart from the counter, the game's hint places
// big arrows that shrink to the normal size, bob and go after their own
// time.
//
// The board owns one. It adds time when an adviser arrives, updates the
// display every frame while it plays, recomputes the hints on every
// negative result, and resets the display when play stops.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Settings.h" // Vec2, Vec3
#include "engine/Sprite.h"
#include "gui/QoStatic.h"

#include <cstdint>
#include <vector>

class CAdviserInterface {
public:
    // What Update reports.
    enum Result : int {
        kRefresh = -1, // recompute the hints (the seconds did not run out)
        kRanOut = 0,   // the seconds ran out in this frame
        kRunning = 1,
        kIdle = 2,     // not shown, or a resource is missing
        kFadedOut = 3, // the fade-out ended and the display was reset
    };

    CAdviserInterface();
    ~CAdviserInterface();
    CAdviserInterface(const CAdviserInterface&) = delete;
    CAdviserInterface& operator=(const CAdviserInterface&) = delete;

    void SetResources(CountedHandle<CQoStatic> counter, CountedHandle<CQoWindow> secondControl,
                      CountedHandle<CTexture> arrowTexture, CountedHandle<CSpriteRenderer> spriteRenderer);
    // Switches the display on or gives it more seconds; seconds that are not
    // a number above 0 change nothing.
    void AddTime(float seconds);
    // Makes the hint arrows match these points: arrows of points that stay
    // keep bobbing where they are, those of points gone fade out, new points
    // get new arrows.
    void ShowHints(const std::vector<Vec2>& positions);
    // A big arrow bobbing about (x, y) that lives `seconds`; none without a
    // renderer or for a time that is not above 0.
    void AddArrow(float x, float y, float seconds);
    int Update(float dt);
    // Everything hidden at once.
    void Reset();

    bool IsShown() const { return shown != 0; }
    float SecondsLeft() const { return secondsLeft; }
    // Where the counter stands, for panning its sound; 0 without it.
    float CounterX() const;

    int32_t shown = 0;
    CountedHandle<CQoStatic> counter;
    CountedHandle<CQoWindow> secondControl;
    CountedHandle<CTexture> arrowTexture;
    CountedHandle<CSpriteRenderer> spriteRenderer;
    float fadeSpeed = 10.0f; // opacity per second
    float secondsLeft = 0.0f;
    int32_t lastShown = -1;    // the number the counter shows
    int32_t fadeDirection = 0; // 1 in, 0 steady, -1 out
    float opacity = 0.0f;
    float haloAngle = 0.0f;
    float refreshTimer = 0.0f;
    float arrowPhase = 0.0f; // the hint arrows bob together
    std::vector<Vec3> hintCells;
    std::vector<CountedHandle<CSprite>> hintArrows; // one per hint cell
    std::vector<Vec3> bigArrowPositions;
    std::vector<CountedHandle<CSprite>> bigArrows;
    std::vector<float> bigArrowTimes; // seconds left of each

private:
    bool HasResources() const { return counter && secondControl && spriteRenderer; }
    CountedHandle<CSprite> MakeArrow(float x, float y, float z, float w, float h) const;
    // The arrow fades out and the renderer drops it.
    static void LetGo(CSprite& arrow);
    void ShowNumber();
};
