#include "totems/StrikeBolt.h"

#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "tokens/BoardGrid.h"
#include "totems/TotemEffects.h"

#include <algorithm>

using namespace fx;

CStrikeBolt::~CStrikeBolt()
{
    if (m_thunderbolt)
        m_thunderbolt->StopEmitting();
    if (m_flare)
        m_flare->FadeOutNow();
}

void CStrikeBolt::Setup(CountedHandle<CParticleSystemsManager> particles, CountedHandle<CFlareRenderer> flares,
                        CountedHandle<CTexture> lightning, CountedHandle<CTexture> spark, uint32_t argb,
                        float boltLength, float boltHeight, float boltSpeed, int totemLevel)
{
    m_particles = std::move(particles);
    m_flares = std::move(flares);
    m_lightning = std::move(lightning);
    m_spark = std::move(spark);
    m_colour = argb;
    length = boltLength;
    height = boltHeight;
    speed = boltSpeed;
    level = totemLevel;
}

void CStrikeBolt::Launch(const Vec3& from, const Vec3& to, int targetColumn, int targetRow)
{
    column = targetColumn;
    row = targetRow;
    origin = from;
    target = to;
    delta = target - origin;
    distance = Length(delta);
    direction = Normalised(delta, V3(1.0f, 0.0f, 0.0f));
    side = V3(-direction.y, direction.x, 0.0f);
    travelled = 0.0f;
    BoltShape shape;
    shape.across = side;
    shape.startWidth = shape.endWidth = 0.5f * height;
    shape.jitter = 0.25f * height;
    shape.thickness = 4.0f;
    m_thunderbolt = AddBolt(m_particles, m_lightning, origin, origin + direction, shape, 20, m_colour, kForever);
    m_flare = AddFlare(m_flares, origin, m_spark, m_colour, height, height, 0.05f, kForever, 0.1f);
    if (m_flare) {
        const float along[3] = {direction.x, direction.y, direction.z};
        const float across[3] = {side.x, side.y, side.z};
        m_flare->SetAxes(along, across);
        m_flare->SetSize(height, height);
        // Several bolts fly side by side: their glows must not burn the
        // board white where they cross.
        m_flare->alphaFactor = 0.5f;
    }
}

bool CStrikeBolt::Update(float dt)
{
    travelled += speed * dt;
    float head = std::clamp(travelled, 0.0f, distance);
    float tail = std::clamp(travelled - length, 0.0f, distance);
    // The tail has arrived: what is drawn below keeps a length of 1.
    const bool arrived = tail >= distance;
    if (head == tail) {
        if (tail > 0.0f)
            tail = head - 1.0f;
        else
            head = 1.0f;
    }
    const Vec3 back = origin + direction * tail, front = origin + direction * head;
    if (m_thunderbolt)
        m_thunderbolt->Aim(back.x, back.y, back.z, side.x, side.y, side.z, 0.5f * height, front.x, front.y,
                           front.z, side.x, side.y, side.z, 0.5f * height);
    if (m_flare) {
        const Vec3 middle = (back + front) * 0.5f;
        m_flare->x = middle.x;
        m_flare->y = middle.y;
        m_flare->z = middle.z;
        m_flare->SetSize(std::max(head - tail, height), height);
    }
    if (!arrived)
        return true;
    Impact();
    return false;
}

// The cell lights up and two short bolts cross over it; from the third
// level on, when the neighbours break too, over the 3 x 3 cells it breaks.
void CStrikeBolt::Impact()
{
    const float k = level < 3 ? 1.0f : 1.5f;
    const float cell = BoardGrid().cellWidth;
    if (CountedHandle<CFlare> flash = AddFlare(m_flares, target, m_spark, m_colour, 2.0f * k * cell,
                                               2.0f * k * cell, 0.0625f, 0.25f, 0.1f)) {
        SpinAtRandom(*flash, kTotemPi);
        flash->alphaFactor = 0.35f;
    }
    const float half = 0.5f * k * cell;
    BoltShape across;
    across.across = V3(0.0f, 1.0f, 0.0f);
    across.startWidth = across.endWidth = 0.05f * k * cell;
    across.jitter = 0.25f * k * cell * 0.25f;
    across.thickness = 5.0f;
    AddBolt(m_particles, m_lightning, target - V3(half, 0.0f, 0.0f), target + V3(half, 0.0f, 0.0f), across, 20,
            m_colour, 0.225f);
    BoltShape down = across;
    down.across = V3(1.0f, 0.0f, 0.0f);
    down.startWidth = down.endWidth = 0.25f * k * cell;
    AddBolt(m_particles, m_lightning, target + V3(0.0f, half, 0.0f), target - V3(0.0f, half, 0.0f), down, 20,
            m_colour, 0.225f);
    if (m_thunderbolt)
        m_thunderbolt->StopEmitting();
    m_thunderbolt.Reset();
    if (m_flare)
        m_flare->FadeOutNow();
    m_flare.Reset();
}
