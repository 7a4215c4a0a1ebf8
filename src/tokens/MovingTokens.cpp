#include "tokens/MovingTokens.h"

#include "audio/SoundManager.h"
#include "engine/Random.h"
#include "tokens/CapsRenderer.h"

#include <algorithm>
#include <cmath>

namespace {

// At most one landing sound per this many seconds, for every token that
// landed in the frame that plays it.
constexpr float kDropSoundGap = 0.05f;

bool IsFree(const CToken& t)
{
    return t.kind == kBoardToken && t.state != kTokenDestroyed && !t.bonus && !t.chained;
}

} // namespace

CMovingTokens::CMovingTokens() { m_tokens.reserve(128); }

CMovingTokens::~CMovingTokens() = default;

void CMovingTokens::SetSoundManager(const CountedHandle<CSoundManager>& sounds)
{
    m_sounds = sounds;
    m_dropSound = sounds ? sounds->Sample("Drop.wav") : CountedHandle<CSoundSample>();
    m_wrongSound = sounds ? sounds->Sample("Wrong.wav") : CountedHandle<CSoundSample>();
}

CountedHandle<CToken> CMovingTokens::CreateToken(int colour, bool gem, float x, float y, float z, float size,
                                                 int group, float offsetX, float offsetY, float offsetZ)
{
    CountedHandle<CToken> token = MakeCountedHandle(new CToken());
    CToken& t = *token;
    t.colour = colour;
    t.gem = gem ? 1 : 0;
    t.group = group;
    t.offsetX = offsetX, t.offsetY = offsetY, t.offsetZ = offsetZ;
    t.anchorX = t.x = x;
    t.anchorY = t.y = y;
    t.anchorZ = t.z = z;
    t.size = size;
    if (m_caps)
        t.cap = m_caps->CreateCap(gem ? colour + 50 : colour, x + offsetX, y + offsetY, z + offsetZ, size, 0);
    m_tokens.push_back(token);
    return token;
}

int CMovingTokens::Add(const CountedHandle<CToken>& token)
{
    m_tokens.push_back(token);
    return static_cast<int>(m_tokens.size()) - 1;
}

int CMovingTokens::Remove(const CountedHandle<CToken>& token, bool removeCap)
{
    for (size_t i = 0; i < m_tokens.size(); ++i) {
        if (!(m_tokens[i] == token))
            continue;
        if (removeCap && token && token->cap && m_caps)
            m_caps->RemoveCap(token->cap);
        m_tokens.erase(m_tokens.begin() + static_cast<std::ptrdiff_t>(i));
        return static_cast<int>(i);
    }
    return -1;
}

void CMovingTokens::Clear()
{
    if (m_caps)
        for (const CountedHandle<CToken>& token : m_tokens)
            if (token && token->cap)
                m_caps->RemoveCap(token->cap);
    m_tokens.clear();
}

void CMovingTokens::StartPath(CToken& token, const Vec3& end, float duration, const Vec3& startTangent,
                              const Vec3& endTangent)
{
    token.pathDuration = duration;
    token.pathTime = 0.0f;
    token.state = kTokenFlying;
    token.path.Reset(Vec3{token.x, token.y, token.z}, end, startTangent, endTangent, duration);
}

void CMovingTokens::SetOffset(float offsetX, float offsetY, float offsetZ, int group)
{
    for (const CountedHandle<CToken>& token : m_tokens)
        if (token->group == group) {
            token->offsetX = offsetX;
            token->offsetY = offsetY;
            token->offsetZ = offsetZ;
        }
}

void CMovingTokens::SetColour(CToken& token, int colour)
{
    token.colour = colour;
    if (!m_caps)
        return;
    CountedHandle<CCap> cap = m_caps->CreateCap(token.gem ? colour + 50 : colour, token.x + token.offsetX,
                                                token.y + token.offsetY, token.z + token.offsetZ, token.size, 0);
    if (token.cap) {
        cap->hoverLight = token.cap->hoverLight;
        m_caps->RemoveCap(token.cap);
    }
    token.cap = cap;
    cap->chainLevel = token.chained;
}

void CMovingTokens::SetGem(CToken& token, bool gem)
{
    if ((token.gem != 0) == gem)
        return;
    token.gem = gem ? 1 : 0;
    if (m_caps && token.cap)
        m_caps->SetCapGem(token.cap, gem);
}

CountedHandle<CToken> CMovingTokens::TokenAt(float x, float y)
{
    for (const CountedHandle<CToken>& token : m_tokens) {
        const CToken& t = *token;
        if (t.kind != kBoardToken || (t.state != kTokenResting && t.state != kTokenFlying) || !t.Hits(x, y))
            continue;
        if (!t.chained)
            return token;
        if (m_sounds)
            m_sounds->PlayPanned(m_wrongSound, x, -1, 0);
        return {};
    }
    return {};
}

// Non-steel tokens first. The drawn index stays below the count even when
// the random unit comes out as exactly 1.
CountedHandle<CToken> CMovingTokens::PickFreeToken(CRandomStream& random) const
{
    auto pick = [this, &random](bool steelToo) -> CountedHandle<CToken> {
        auto fits = [steelToo](const CToken& t) { return IsFree(t) && (steelToo || t.colour < 98); };
        int m = 0;
        for (const CountedHandle<CToken>& token : m_tokens)
            m += fits(*token) ? 1 : 0;
        if (m == 0)
            return {};
        const int r = std::max(0, static_cast<int>(std::floor(random.Unit() * static_cast<float>(m))));
        int running = 0;
        for (const CountedHandle<CToken>& token : m_tokens)
            if (fits(*token) && running++ == std::min(m - 1, r))
                return token;
        return {};
    };
    CountedHandle<CToken> token = pick(false);
    return token ? token : pick(true);
}

bool CMovingTokens::HasBoardToken() const
{
    for (const CountedHandle<CToken>& token : m_tokens)
        if (token->kind == kBoardToken)
            return true;
    return false;
}

bool CMovingTokens::AllBoardTokensIdle() const
{
    for (const CountedHandle<CToken>& token : m_tokens)
        if (token->kind == kBoardToken && (token->state != kTokenResting || !token->active))
            return false;
    return true;
}

int CMovingTokens::Update(float dt, float mouseX, float mouseY)
{
    m_results.clear();
    int landings = 0;
    float landingSum = 0.0f;
    for (const CountedHandle<CToken>& token : m_tokens) {
        CToken& t = *token;
        const bool hover =
            t.state == kTokenResting && t.kind == kBoardToken && t.active && !t.chained && t.Hits(mouseX, mouseY);
        const int32_t event = t.Update(dt, hover, snapToPixels);
        // Landings are panned where the player sees them: the end of the
        // path on the screen, offset included.
        if (event == kLanded || (event == kFlightOver && t.dropSoundArmed)) {
            ++landings;
            landingSum += t.anchorX + t.offsetX;
        }
        if (event == kFlightOver || event == kSwapOver)
            m_results.push_back(TokenResult{token, event});
    }
    if (m_dropSoundTimer < kDropSoundGap) {
        m_dropSoundTimer += dt;
    } else if (landings > 0) {
        if (m_sounds)
            m_sounds->PlayPanned(m_dropSound, landingSum / static_cast<float>(landings), -1, 0);
        m_dropSoundTimer = 0.0f;
    }
    return static_cast<int>(m_results.size());
}
