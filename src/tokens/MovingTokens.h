// The board's list of every live token: it makes tokens with their caps,
// moves them every frame (flights, swaps, the sway under the pointer),
// reports whose movement ended, sounds the landings, finds the token under
// a point and picks a random free token.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Settings.h" // Vec3
#include "tokens/Token.h"

#include <cstdint>
#include <vector>

class CCapsRenderer;
class CRandomStream;
class CSoundManager;
class CSoundSample;

// A token whose movement ended this frame: kFlightOver or kSwapOver.
struct TokenResult {
    CountedHandle<CToken> token;
    int32_t state = 0;
};

class CMovingTokens {
public:
    CMovingTokens();
    ~CMovingTokens();
    CMovingTokens(const CMovingTokens&) = delete;
    CMovingTokens& operator=(const CMovingTokens&) = delete;

    void SetCapsRenderer(const CountedHandle<CCapsRenderer>& caps) { m_caps = caps; }
    void SetSoundManager(const CountedHandle<CSoundManager>& sounds);

    // A new token (not yet a board token) with its cap at the position plus
    // the offset; its cap's type is the colour, + 50 with a gem.
    CountedHandle<CToken> CreateToken(int colour, bool gem, float x, float y, float z, float size, int group,
                                      float offsetX, float offsetY, float offsetZ);
    int Add(const CountedHandle<CToken>& token);
    // The token's former index, or -1 when it is not in the list; with
    // `removeCap` its cap leaves the caps renderer too.
    int Remove(const CountedHandle<CToken>& token, bool removeCap);
    void Clear();
    // A new single-segment flight from where the token is now.
    void StartPath(CToken& token, const Vec3& end, float duration, const Vec3& startTangent,
                   const Vec3& endTangent);
    void SetOffset(float offsetX, float offsetY, float offsetZ, int group);
    void SetColour(CToken& token, int colour);
    void SetGem(CToken& token, bool gem);
    // The board token resting or flying under the point; a chained one
    // answers with the refusal sound and no token.
    CountedHandle<CToken> TokenAt(float x, float y);
    // A random board token that may take a bonus, steel only when nothing
    // else is free; empty when none is.
    CountedHandle<CToken> PickFreeToken(CRandomStream& random) const;
    bool HasBoardToken() const;
    bool AllBoardTokensIdle() const;
    // Moves every token; the number of results.
    int Update(float dt, float mouseX, float mouseY);

    const std::vector<CountedHandle<CToken>>& Tokens() const { return m_tokens; }
    const std::vector<TokenResult>& Results() const { return m_results; }
    float DropSoundTimer() const { return m_dropSoundTimer; }

    // Snaps the sway to pixel centres; off in this game.
    bool snapToPixels = false;

private:
    // Kept in the order tokens were added: every search walks it so.
    std::vector<CountedHandle<CToken>> m_tokens;
    CountedHandle<CCapsRenderer> m_caps;
    std::vector<TokenResult> m_results;
    CountedHandle<CSoundManager> m_sounds;
    CountedHandle<CSoundSample> m_dropSound;
    CountedHandle<CSoundSample> m_wrongSound;
    float m_dropSoundTimer = 10.0f; // seconds since the landing sound last played
};
