// A picture that shatters: the rectangle of a sprite is cut along a jittered
// grid into quadrilateral pieces, each keeping its own part of the texture,
// and the pieces are blown outwards from the centre all at once, then fly,
// spin and fall like the sprite burst's particles.
#pragma once

#include "effects/keepers/Collection2Keeper.h"

#include <cstdint>
#include <vector>

class CSpriteCrackKeeper : public CCollection2Keeper {
public:
    bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z) override;
    bool IsEmitting() override { return true; }
    // The pieces not yet started: all of them on the first frame, the rest
    // on later frames when the system's capacity cut the first.
    int GetEmitCount(float dt) override;
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override;
    bool FollowOrigin(float x, float y, float z, float dt) override;

    void Configure(float width, float height, float u0, float v0, float u1, float v1, int columns, int rows,
                   float irregularity);
    // Cuts the pieces; called once after Configure, before the keeper is
    // handed to the collection factory.
    void BuildCracks();

    // Centre (sprite units, -0.5 .. 0.5, y up), corner offsets in cells and
    // corner texture coordinates, corners in the order top-left, top-right,
    // bottom-right, bottom-left.
    struct Piece {
        float centre[2];
        float corners[4][2];
        float uv[4][2];
    };
    const std::vector<Piece>& Pieces() const { return m_pieces; }

    uint32_t colour = 0x00ffffff;
    float spriteWidth = 0.5f, spriteHeight = 0.5f;
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    int columns = 5, rows = 5;
    float irregularity = 0.25f; // how far inner grid points move, in cells
    float floor = -10.0f;
    float speed = 1.0f, speedSpread = 0.5f;
    float tiltSpread = 0.7853982f; // radians
    float directionJitter = 0.25f;
    float spin = 256.0f, spinSpread = 128.0f;
    float gravity = 1.0f;
    bool finished = false;
    int nextPiece = 0;
    float pieceWidthFactor = 0.2f, pieceHeightFactor = 0.2f; // 1 / columns, 1 / rows

private:
    std::vector<Piece> m_pieces;
};
