// The Accuracy challenge: stars fly in from the right edge of the play area,
// swing left and fly back out. A click on a star catches it: it bursts into
// sparkles, spins faster and flies into the next free slot of the sand box's
// frenzy bar. Once as many stars as the bar holds have been caught, or the
// time is up, the stars still free are sent away. The stars are sprites of
// the game's sprite renderer, each with a sparkle trail.
#pragma once

#include "audio/SoundManager.h"
#include "challenges/ChallengeResult.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/CountedHandle.h"
#include "engine/Sprite.h"

#include <cstdint>
#include <utility>
#include <vector>

// One star: its sprite, its trail, and where it flies.
class CAccuracyStar {
public:
    enum Catch : int32_t { kFree = 0, kFlyingToBar = 1, kInBar = 2 };

    CAccuracyStar() = default;
    // Stops the trail emitting (its sparkles live on) and ends the sprite's
    // life, so that the sprite renderer drops it.
    ~CAccuracyStar();
    CAccuracyStar(const CAccuracyStar&) = delete;
    CAccuracyStar& operator=(const CAccuracyStar&) = delete;

    CountedHandle<CSprite> sprite;
    CountedHandle<CParticleSystem> trail; // empty once the star rests in the bar
    Catch state = kFree;
    float elapsed = 0.0f;
    float duration = 1.0f;
    // x(t) = xStart + xVelocity t + xAcceleration t^2, and the same for y.
    float xAcceleration = 0, xVelocity = 0, xStart = 0;
    float yAcceleration = 0, yVelocity = 0, yStart = 0;
    Vec3 catchPoint; // where it was caught
    Vec3 slotPoint;  // the bar slot it flies to
};

// What the stars are drawn with, handed over in one go.
struct AccuracyResources {
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CTexture> star;
    CountedHandle<CTexture> sparkle; // the trails and the bursts
};

class CAccuracyChallenge {
public:
    enum State : int32_t { kConstructed = 5, kRunning = 6, kOver = 7 };
    // The goal when the bar's count is unusable.
    static constexpr int kDefaultGoal = 19;
    static constexpr uint32_t kStarColour = 0xFFFF80FF;

    CAccuracyChallenge();
    ~CAccuracyChallenge();
    CAccuracyChallenge(const CAccuracyChallenge&) = delete;
    CAccuracyChallenge& operator=(const CAccuracyChallenge&) = delete;

    void SetResources(AccuracyResources resources);
    // The area the stars fly in (its right edge x and top edge y), the left
    // end of the frenzy bar, the size of one of its slots, and the stars to
    // catch (a goal below 1 becomes kDefaultGoal).
    void SetArea(float x, float y, float z, float width, float height, float trayX, float trayY, float trayZ,
                 float slotWidth, float slotHeight, int goal);
    void SetSoundManager(CountedHandle<CSoundManager> sounds) { m_sounds = std::move(sounds); }
    // Stars of group 1 fly at 175 units a second, of group 2 at 275; one is
    // launched every second.
    void Start(int group);
    // kResultStarCaught when the click caught a star (the oldest one under
    // it), else kResultNothing.
    ChallengeResult OnClick(float x, float y);
    // kResultStarsLanded once the challenge is over and every star left rests
    // in the bar, else kResultNothing.
    ChallengeResult Update(float dt);
    // Every free star flies straight off to the right within 0.1 s.
    void SendStarsAway();
    // The time is up: a running challenge ends and sends its stars away.
    // False when it was not running.
    bool EndOnTimeOut();
    // The bonus level is over: nothing moves or launches any more.
    void Finish() { m_state = kConstructed; }

    State GetState() const { return m_state; }
    bool IsWaitingForPlayer() const { return m_state == kRunning; }
    int Caught() const { return m_caught; }
    int Goal() const { return m_goal; }
    float LaunchInterval() const { return m_launchInterval; }
    float StarSpeed() const { return m_starSpeed; }
    const std::vector<CountedHandle<CAccuracyStar>>& Stars() const { return m_stars; }

private:
    void Launch();
    void Advance(CAccuracyStar& star);
    void Burst(const Vec3& at);

    AccuracyResources m_resources;
    State m_state = kConstructed;
    Vec3 m_area;
    float m_areaWidth = 0, m_areaHeight = 0;
    Vec3 m_tray;
    float m_slotWidth = 0, m_slotHeight = 0;
    int32_t m_goal = kDefaultGoal;
    int32_t m_starZOrder = 0;
    std::vector<CountedHandle<CAccuracyStar>> m_stars; // in launch order
    float m_launchInterval = 2.0f;
    float m_starSpeed = 512.0f;
    float m_starWidth = 64.0f, m_starHeight = 64.0f;
    int32_t m_caught = 0;
    float m_launchTimer = 0.0f;
    CountedHandle<CSoundManager> m_sounds;
};
