// A plate of the plate challenges: a covered token lying on a board cell.
// It is drawn as two caps of the board's caps renderer, the closed plate and
// the picture under it, exactly one of them visible; it turns over (a flip
// position running between the plate lying flat and the picture lying flat)
// and glides along a path (falling in, sliding, flying away). The plate set
// owns the plates and moves them on every frame.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/MotionPath.h"
#include "tokens/Cap.h"

#include <cstdint>

enum PlateState : int32_t {
    kPlateIdle = 0,
    kPlateArriving = 1, // moving along its path
    kPlateLeaving = 2,  // moving along its path; the set drops it on arrival
    kPlateOpening = 3,
    kPlateClosing = 4,
};

// What a plate's update (and the set's result list) reports.
enum PlateCode : int {
    kPlateNothing = 100,
    kPlateMoveEnded = 101,
    kPlateRemoved = 102, // a leaving plate arrived and left the set
    kPlateFlipEnded = 103,
};

class CPlate {
public:
    // Cap types: the closed plate, and token code + kTokenCapBase for the
    // picture under it (codes 0..6 the seven tokens, 7 the empty picture).
    static constexpr int kPlateCapType = 28;
    static constexpr int kTokenCapBase = 20;
    static constexpr int kEmptyCode = 7;
    // Half the side of the caps' square, and of the square a click must fall
    // in to hit the plate.
    static constexpr float kSize = 42.0f;
    // Frames shown: 0 and 1 the plate turning away, 2..4 the picture turning
    // up; the flip position runs from 0 to kOpenFlip.
    static constexpr int kOpenFrame = 4;
    static constexpr float kOpenFlip = 4.9f;
    static constexpr float kFlipSpeed = 30.0f; // frames per second
    // Every move of a plate takes a second: x and z run straight, y eases in
    // and out.
    static constexpr float kMoveTime = 1.0f;

    CPlate(int tokenCode, CountedHandle<CCap> plateCap, CountedHandle<CCap> tokenCap);

    // Starts turning the picture up (open) or the plate back (closed) from
    // wherever the flip stands, so a flip may be reversed half way.
    void Flip(bool open);
    void SetPosition(float x, float y, float z);
    // Shows frame n (0..4) on the caps; an unchanged frame does nothing.
    void SetFrame(int n);
    // The plate rests showing frame n: frame and flip position both n.
    void ShowFrame(int n);
    // Glides from where it stands to `target` in kMoveTime, arriving or
    // leaving as `state` says.
    void MoveTo(const Vec3& target, PlateState state);
    // One frame of the move or the flip: kPlateMoveEnded once the move has
    // taken its whole time, kPlateFlipEnded once the flip is done, else
    // kPlateNothing. The state stays as it is; the set makes the plate idle.
    int Update(float dt);

    int TokenCode() const { return m_tokenCode; }
    bool IsEmpty() const { return m_tokenCode == kEmptyCode; }
    PlateState State() const { return m_state; }
    bool IsIdle() const { return m_state == kPlateIdle; }
    // Showing its picture fully turned up.
    bool IsShowingPicture() const { return m_shownFrame == kOpenFrame; }
    int ShownFrame() const { return m_shownFrame; }
    float FlipPosition() const { return m_flip; }
    Vec3 Position() const { return m_position; }
    float Size() const { return m_size; }
    const CountedHandle<CCap>& PlateCap() const { return m_plateCap; }
    const CountedHandle<CCap>& TokenCap() const { return m_tokenCap; }
    float MoveElapsed() const { return m_moveElapsed; }

private:
    friend class CPlateSet; // ends moves and flips, and drops leaving plates

    int32_t m_tokenCode;
    PlateState m_state = kPlateIdle;
    CountedHandle<CCap> m_plateCap;
    CountedHandle<CCap> m_tokenCap;
    float m_flip = 0.0f;
    int32_t m_shownFrame = 0;
    float m_flipSpeed = kFlipSpeed;
    Vec3 m_position;
    float m_size = kSize;
    CMotionPath m_path;
    float m_moveTime = kMoveTime;
    float m_moveElapsed = 0.0f;
};
