// STAND-IN until the Golden Star and life-lost awards land: the two award
// animations as the game starts and updates them. Each runs for its length
// and then reports its end; nothing is drawn. The real awards replace this
// file in place.
#pragma once

#include <string>

class CAwardStandIn {
public:
    // 0 once the animation has ended.
    int Update(float dt)
    {
        if (!running)
            return 0;
        m_elapsed += dt;
        running = m_elapsed < length;
        return running ? 1 : 0;
    }
    void Clear() { running = false; }

    bool running = false;
    float length = 2.0f;
    int starts = 0;

protected:
    void Begin()
    {
        running = true;
        m_elapsed = 0.0f;
        ++starts;
    }

private:
    float m_elapsed = 0.0f;
};

class CStarAward : public CAwardStandIn {
public:
    void Start() { Begin(); }
};

class CLifeLostAward : public CAwardStandIn {
public:
    // The heart flies from (x, y, z) when `fromGiven` is set.
    void Start(bool, float, float, float) { Begin(); }
    std::string caption;
};
