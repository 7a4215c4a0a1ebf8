#include "bonuses/AdviserInterface.h"

#include "bonuses/BonusKit.h"
#include "bonuses/BonusParameters.h"

#include <cmath>
#include <string>

using namespace bonus_kit;

namespace {

// An arrow fades in and out at this speed (opacity per second).
constexpr float kArrowFade = 20.0f;
constexpr float kArrowWidth = 64.0f, kArrowHeight = 32.0f;
// A big arrow shrinks to the normal size in this part of its life.
constexpr float kShrinkShare = 0.1f;

bool Positive(float seconds) { return std::isfinite(seconds) && seconds > 0.0f; }

} // namespace

CAdviserInterface::CAdviserInterface()
{
    hintCells.reserve(64);
    hintArrows.reserve(64);
    bigArrowPositions.reserve(8);
    bigArrows.reserve(8);
    bigArrowTimes.reserve(8);
}

CAdviserInterface::~CAdviserInterface() { Reset(); }

void CAdviserInterface::SetResources(CountedHandle<CQoStatic> counterControl, CountedHandle<CQoWindow> second,
                                     CountedHandle<CTexture> texture, CountedHandle<CSpriteRenderer> renderer)
{
    counter = std::move(counterControl);
    secondControl = std::move(second);
    arrowTexture = std::move(texture);
    spriteRenderer = std::move(renderer);
}

float CAdviserInterface::CounterX() const { return counter ? counter->Position().x : 0.0f; }

CountedHandle<CSprite> CAdviserInterface::MakeArrow(float x, float y, float z, float w, float h) const
{
    CountedHandle<CSprite> arrow =
        NewSprite(x, y, z, w, h, 0xFFFFFFFF, arrowTexture, kBlendAlpha, BonusParams().hintZOrder);
    CutTexels(*arrow, 0, 180, 64, 212);
    arrow->fadeSpeed = kArrowFade;
    arrow->SetAlphaNow(0.0f);
    arrow->FadeTo(1.0f);
    return arrow;
}

void CAdviserInterface::LetGo(CSprite& arrow)
{
    arrow.FadeTo(0.0f);
    Expire(arrow, 0.05f);
}

void CAdviserInterface::ShowNumber()
{
    const int32_t n = static_cast<int32_t>(std::floor(secondsLeft + 0.99f));
    if (n == lastShown)
        return;
    lastShown = n;
    if (counter)
        counter->SetText(std::to_string(n));
}

void CAdviserInterface::AddTime(float seconds)
{
    if (!HasResources() || !Positive(seconds))
        return;
    if (!shown) {
        secondsLeft = 0.0f;
        lastShown = -1;
        opacity = 0.0f;
        refreshTimer = 0.0f;
        counter->SetVisible(true);
        counter->SetAlpha(0.0f);
        secondControl->SetEnabled(false);
        shown = 1;
    }
    secondsLeft += seconds;
    // More time during a fade-out turns it back into a fade-in.
    fadeDirection = opacity < 1.0f ? 1 : 0;
    lastShown = -1;
    ShowNumber();
}

void CAdviserInterface::ShowHints(const std::vector<Vec2>& positions)
{
    if (!HasResources())
        return;
    const BonusParameters& b = BonusParams();
    std::vector<Vec2> fresh = positions;
    for (size_t i = 0; i < hintCells.size();) {
        bool kept = false;
        for (size_t k = 0; k < fresh.size(); ++k)
            if (fresh[k].x == hintCells[i].x && fresh[k].y == hintCells[i].y) {
                fresh.erase(fresh.begin() + static_cast<std::ptrdiff_t>(k));
                kept = true;
                break;
            }
        if (kept) {
            ++i;
            continue;
        }
        LetGo(*hintArrows[i]);
        hintArrows.erase(hintArrows.begin() + static_cast<std::ptrdiff_t>(i));
        hintCells.erase(hintCells.begin() + static_cast<std::ptrdiff_t>(i));
    }
    for (const Vec2& p : fresh) {
        hintCells.push_back(Vec3{p.x, p.y, b.hintZ});
        CountedHandle<CSprite> arrow =
            MakeArrow(p.x, p.y + std::sin(arrowPhase) * b.hintArrowR, b.hintZ, kArrowWidth, kArrowHeight);
        spriteRenderer->Add(arrow);
        hintArrows.push_back(arrow);
    }
}

void CAdviserInterface::AddArrow(float x, float y, float seconds)
{
    if (!spriteRenderer || !Positive(seconds))
        return;
    const BonusParameters& b = BonusParams();
    bigArrowPositions.push_back(Vec3{x, y, b.hintZ});
    bigArrowTimes.push_back(seconds);
    CountedHandle<CSprite> arrow = MakeArrow(x, y + std::sin(seconds * b.hintArrowW) * b.hintArrowR, b.hintZ,
                                             2.0f * kArrowWidth, 2.0f * kArrowHeight);
    const float shrink = kShrinkShare * seconds;
    Grow(*arrow, kArrowWidth / shrink, kArrowHeight / shrink, kArrowWidth, kArrowHeight);
    spriteRenderer->Add(arrow);
    bigArrows.push_back(arrow);
}

int CAdviserInterface::Update(float dt)
{
    if (!HasResources())
        return kIdle;
    const BonusParameters& b = BonusParams();
    for (size_t i = 0; i < bigArrows.size();) {
        bigArrowTimes[i] -= dt;
        if (bigArrowTimes[i] > 0.0f) {
            bigArrows[i]->y = bigArrowPositions[i].y + std::sin(bigArrowTimes[i] * b.hintArrowW) * b.hintArrowR;
            ++i;
            continue;
        }
        LetGo(*bigArrows[i]);
        bigArrows.erase(bigArrows.begin() + static_cast<std::ptrdiff_t>(i));
        bigArrowPositions.erase(bigArrowPositions.begin() + static_cast<std::ptrdiff_t>(i));
        bigArrowTimes.erase(bigArrowTimes.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (!shown)
        return kIdle;
    if (fadeDirection == -1) {
        opacity -= dt * fadeSpeed;
        if (opacity <= 0.0f) {
            Reset();
            return kFadedOut;
        }
        counter->SetAlpha(opacity);
    } else if (fadeDirection == 1) {
        opacity += dt * fadeSpeed;
        if (opacity >= 1.0f) {
            opacity = 1.0f;
            fadeDirection = 0;
        }
        counter->SetAlpha(opacity);
    }
    int result = kRunning;
    if (secondsLeft > 0.0f) {
        secondsLeft -= dt;
        if (secondsLeft <= 0.0f) {
            secondsLeft = 0.0f;
            for (const CountedHandle<CSprite>& arrow : hintArrows)
                LetGo(*arrow);
            hintArrows.clear();
            hintCells.clear();
            fadeDirection = -1;
            secondControl->SetEnabled(true);
            result = kRanOut;
        }
        ShowNumber();
    }
    haloAngle += dt * b.hintHaloW;
    if (haloAngle >= 2.0f * kBonusPi)
        haloAngle -= 2.0f * kBonusPi;
    if (counter->SpriteCount() > 0 && counter->Sprite(0))
        counter->Sprite(0)->SetAngle(haloAngle);
    arrowPhase += dt * b.hintArrowW;
    if (arrowPhase >= 2.0f * kBonusPi)
        arrowPhase -= 2.0f * kBonusPi;
    for (size_t i = 0; i < hintArrows.size(); ++i)
        hintArrows[i]->y = hintCells[i].y + std::sin(arrowPhase) * b.hintArrowR;
    refreshTimer += dt;
    if (refreshTimer >= b.hintRefresh) {
        refreshTimer = 0.0f;
        result = -result;
    }
    return result;
}

void CAdviserInterface::Reset()
{
    if (spriteRenderer) {
        for (const CountedHandle<CSprite>& arrow : hintArrows)
            spriteRenderer->Remove(arrow);
        for (const CountedHandle<CSprite>& arrow : bigArrows)
            spriteRenderer->Remove(arrow);
    }
    hintCells.clear();
    hintArrows.clear();
    bigArrowPositions.clear();
    bigArrows.clear();
    bigArrowTimes.clear();
    if (counter)
        counter->SetVisible(false);
    if (secondControl)
        secondControl->SetEnabled(true);
    secondsLeft = 0.0f;
    opacity = 0.0f;
    lastShown = 0;
    refreshTimer = 0.0f;
    fadeDirection = 0;
    shown = 0;
}
