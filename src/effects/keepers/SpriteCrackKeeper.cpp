// The sprite crack: the jittered grid of pieces and their burst.
#include "effects/keepers/SpriteCrackKeeper.h"

#include "effects/keepers/KeeperMath.h"
#include "effects/keepers/SimpleSpriteSystemKeeper.h"

#include <cmath>
#include <cstring>

using namespace fx;

void CSpriteCrackKeeper::Configure(float width, float height, float tu0, float tv0, float tu1, float tv1,
                                   int columnCount, int rowCount, float jitter)
{
    spriteWidth = width;
    spriteHeight = height;
    u0 = tu0;
    v0 = tv0;
    u1 = tu1;
    v1 = tv1;
    columns = columnCount;
    rows = rowCount;
    irregularity = jitter;
}

void CSpriteCrackKeeper::BuildCracks()
{
    m_pieces.clear();
    finished = false;
    nextPiece = 0;
    if (columns < 1 || rows < 1)
        return;
    const float cw = 1.0f / static_cast<float>(columns);
    const float ch = 1.0f / static_cast<float>(rows);
    pieceWidthFactor = cw;
    pieceHeightFactor = ch;
    // Grid points, line by line; the border stays exactly on the border.
    const int pointsPerLine = columns + 1;
    std::vector<float> gx(static_cast<size_t>((rows + 1) * pointsPerLine));
    std::vector<float> gy(gx.size());
    for (int i = 0; i <= rows; ++i)
        for (int j = 0; j <= columns; ++j) {
            float x = -0.5f + static_cast<float>(j) * cw;
            float y = -0.5f + static_cast<float>(i) * ch;
            if (j == 0)
                x = -0.5f;
            else if (j == columns)
                x = 0.5f;
            else
                x += (RandomUnit() - 0.5f) * 2.0f * irregularity * cw;
            if (i == 0)
                y = -0.5f;
            else if (i == rows)
                y = 0.5f;
            else
                y += (RandomUnit() - 0.5f) * 2.0f * irregularity * ch;
            gx[static_cast<size_t>(i * pointsPerLine + j)] = x;
            gy[static_cast<size_t>(i * pointsPerLine + j)] = y;
        }
    m_pieces.reserve(static_cast<size_t>(rows * columns));
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            Piece piece;
            const float cx = (static_cast<float>(column) + 0.5f) * cw - 0.5f;
            const float cy = (static_cast<float>(row) + 0.5f) * ch - 0.5f;
            // Rows run downwards on the screen, so y turns round.
            piece.centre[0] = cx;
            piece.centre[1] = -cy;
            const int corner[4] = {row * pointsPerLine + column, row * pointsPerLine + column + 1,
                                   (row + 1) * pointsPerLine + column + 1, (row + 1) * pointsPerLine + column};
            for (int k = 0; k < 4; ++k) {
                const float x = gx[static_cast<size_t>(corner[k])];
                const float y = gy[static_cast<size_t>(corner[k])];
                piece.corners[k][0] = (x - cx) * static_cast<float>(columns);
                piece.corners[k][1] = -(y - cy) * static_cast<float>(rows);
                piece.uv[k][0] = u0 + (x + 0.5f) * (u1 - u0);
                piece.uv[k][1] = v0 + (y + 0.5f) * (v1 - v0);
            }
            m_pieces.push_back(piece);
        }
}

bool CSpriteCrackKeeper::FollowOrigin(float x, float y, float z, float)
{
    origin = V3(x, y, z);
    return true;
}

int CSpriteCrackKeeper::GetEmitCount(float)
{
    return finished ? 0 : static_cast<int>(m_pieces.size()) - nextPiece;
}

bool CSpriteCrackKeeper::InitParticle(int, CCollectedParticle2& p, float, float, float)
{
    if (nextPiece < 0 || static_cast<size_t>(nextPiece) >= m_pieces.size()) {
        finished = true;
        return true;
    }
    const Piece& piece = m_pieces[static_cast<size_t>(nextPiece)];
    const Vec3 at =
        V3(piece.centre[0] * spriteWidth + origin.x, piece.centre[1] * spriteHeight + origin.y, origin.z);
    const float s = Spread(spin, spinSpread);
    p.InitQuad(colour, at.x, at.y, at.z, 0, 1.0f, pieceWidthFactor * spriteWidth, pieceHeightFactor * spriteHeight,
               0.0f);
    p.spin = s;
    for (int k = 0; k < 4; ++k) {
        p.corners[k][0] = piece.corners[k][0];
        p.corners[k][1] = piece.corners[k][1];
        p.corners[k][2] = 0.0f;
    }
    std::memcpy(p.uv, piece.uv, sizeof p.uv);
    Vec3 d = at - origin;
    if (Length(d) == 0.0f) {
        const float q = RandomUnit();
        d = Normalised(V3(q, q, q), V3(1.0f, 0.0f, 0.0f));
    } else {
        d = Normalised(d);
    }
    d.x += (RandomUnit() - 0.5f) * 2.0f * directionJitter;
    d.y += (RandomUnit() - 0.5f) * 2.0f * directionJitter;
    d = Normalised(d);
    const float tilt = (RandomUnit() - 0.5f) * 2.0f * tiltSpread;
    const float v = Spread(speed, speedSpread);
    p.velocity = V3(v * std::cos(tilt) * d.x, v * d.y, v * std::sin(tilt) * d.x);
    if (++nextPiece >= static_cast<int>(m_pieces.size()))
        finished = true;
    return true;
}

bool CSpriteCrackKeeper::UpdateParticle(int, CCollectedParticle2& p, float dt, float, float, float)
{
    return FallingSpriteUpdate(p, dt, gravity, floor);
}
