// The small operations that put the game's values on the loaded forms: the
// rolling score, the time gauge and the shop's dial (one quadrant wipe), the
// captions from the string table, the message box, the options scrollers,
// the hiscore and profile rows, and the rows of controls shown and hidden.
#include "screens/GameScreens.h"

#include "engine/StringTable.h"
#include "engine/VectorMath.h"
#include "screens/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kHalfPi = 1.5707964f;

// Values the gauge and the dial take: 0 to 1, and 0 for what is no number.
float UnitValue(float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; }

std::string Number(int32_t n) { return std::to_string(n); }

CSprite* FirstSprite(const CountedHandle<CQoStatic>& control)
{
    return control && control->SpriteCount() > 0 ? control->Sprite(0).Get() : nullptr;
}

// Dial point (x, y) in dial units, y up, to its picture's texture point.
struct DialMapping {
    float u0, v0, size;
    void Map(float x, float y, float* u, float* v) const
    {
        *u = u0 + size * (x + 0.5f);
        *v = v0 + size * (0.5f - y);
    }
};
const DialMapping kGaugeDial{0.0f, 0.0f, 1.0f};
const DialMapping kShopDial{0.591796875f, 0.7421875f, 0.171875f};

// The corners of each full quarter, top-left first, in dial units.
const float kQuarters[4][8] = {
    {-0.5f, 0.5f, 0, 0.5f, 0, 0, -0.5f, 0},
    {-0.5f, 0, 0, 0, 0, -0.5f, -0.5f, -0.5f},
    {0, 0, 0.5f, 0, 0.5f, -0.5f, 0, -0.5f},
    {0, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0},
};

// Shows a quadrant's sprite with corners `xy` and the texture of the full
// quarter, except that the corners flagged in `moving` take the texture
// point under their new place.
void ShapeQuadrant(CSprite* s, int quadrant, const float xy[8], unsigned moving, const DialMapping& map)
{
    float uv[8];
    for (int i = 0; i < 4; ++i) {
        const float* corner = (moving >> i & 1u) ? xy + 2 * i : kQuarters[quadrant] + 2 * i;
        map.Map(corner[0], corner[1], &uv[2 * i], &uv[2 * i + 1]);
    }
    s->SetVertexOffsets(xy);
    s->SetFrameQuad(0, uv);
}

} // namespace

void CRollingCounter::SetNow(int32_t value)
{
    m_shown = m_target = value;
    m_position = m_targetF = static_cast<float>(value);
    m_speed = 0;
}

void CRollingCounter::SetTarget(int32_t value)
{
    m_target = value;
    m_targetF = static_cast<float>(value);
}

bool CRollingCounter::Step(float dt)
{
    if (m_shown == m_target)
        return false;
    const bool up = m_shown < m_target;
    if (up) {
        m_speed = std::max(m_speed, m_minSpeed) + m_acceleration * dt;
    } else {
        m_speed = std::min(m_speed, -m_minSpeed) - m_acceleration * dt;
    }
    m_position += m_speed * dt;
    m_shown = static_cast<int32_t>(std::floor(m_position));
    if (up ? m_position >= m_targetF : m_position <= m_targetF) {
        m_shown = m_target;
        m_position = m_targetF;
        m_speed = 0;
    }
    return true;
}

void CGameScreens::SetScore(int32_t score, bool roll)
{
    if (gaugeHold)
        return;
    m_shownScore = score;
    if (roll)
        m_scoreCounter.SetTarget(score);
    else
        m_scoreCounter.SetNow(score);
    quest.score->SetText(Number(m_scoreCounter.Shown()));
}

void CGameScreens::SetHudValues(int32_t score, int32_t count, float gauge)
{
    m_shownScore = score;
    SetScore(score, false);
    m_shownCount = count;
    quest.count->SetText(Number(count));
    SetProgressGauge(gauge, true);
    quest.overlay.At(1)->SetVisible(false);
}

void CGameScreens::SetGaugeTarget(float value) { m_gaugeTarget = UnitValue(value); }

void CGameScreens::SetProgressGauge(float value, bool jump)
{
    m_gaugeValue = UnitValue(value);
    if (jump)
        m_gaugeTarget = m_gaugeValue;
    const float angle = m_layout.globalAngle + kTwoPi * m_gaugeValue;
    for (const auto* hand : {&quest.shadowHand, &quest.hand})
        if (CSprite* s = FirstSprite(*hand))
            s->SetAngle(angle);
    QuadrantWipe(quest.gauge, m_gaugeValue, false);

    // The colour runs from red through yellow to green as the value grows.
    const float v = m_gaugeValue;
    const Vec3 &green = m_layout.gaugeGreen, &yellow = m_layout.gaugeYellow, &red = m_layout.gaugeRed;
    auto mix = [](const Vec3& a, const Vec3& b, float f) {
        return Vec3{f * a.x + (1 - f) * b.x, f * a.y + (1 - f) * b.y, f * a.z + (1 - f) * b.z};
    };
    Vec3 c = red;
    if (v >= m_layout.greenEnd)
        c = green;
    else if (v >= m_layout.yellowEnd)
        c = mix(green, yellow, (v - m_layout.yellowEnd) / (m_layout.greenEnd - m_layout.yellowEnd));
    else if (v >= m_layout.redEnd)
        c = mix(yellow, red, (v - m_layout.redEnd) / (m_layout.yellowEnd - m_layout.redEnd));
    auto channel = [](float f) {
        return static_cast<uint32_t>(std::clamp(std::isfinite(f) ? std::floor(f) : 0.0f, 0.0f, 255.0f));
    };
    const uint32_t argb = m_layout.gaugeAlphaByte | channel(c.x) << 16 | channel(c.y) << 8 | channel(c.z);
    for (const auto& quadrant : quest.gauge)
        quadrant->SetColor(argb);
}

void CGameScreens::SetClockWipe(float value)
{
    const float v = UnitValue(value);
    for (const auto& hand : shop.hands)
        if (CSprite* s = FirstSprite(hand))
            s->SetAngle(kTwoPi * v - kHalfPi);
    QuadrantWipe(shop.dial, v, true);
}

void CGameScreens::QuadrantWipe(const ControlRow& quadrants, float v, bool shopDial)
{
    const DialMapping& mapping = shopDial ? kShopDial : kGaugeDial;
    const int holding = v <= 0.25f ? 0 : v <= 0.5f ? 1 : v <= 0.75f ? 2 : 3;
    for (int q = 0; q < 4 && static_cast<size_t>(q) < quadrants.Size(); ++q) {
        quadrants.At(static_cast<size_t>(q))->SetVisible(q <= holding);
        CSprite* s = FirstSprite(quadrants.At(static_cast<size_t>(q)));
        if (s && q < holding)
            ShapeQuadrant(s, q, kQuarters[q], 0, mapping);
    }
    CSprite* s = static_cast<size_t>(holding) < quadrants.Size() ? FirstSprite(quadrants.At(holding)) : nullptr;
    if (!s)
        return;
    // The swept part of the quadrant that holds v: the angle inside its
    // half-quadrant gives how far the moving corners have come.
    const float t0 = 0.5f * std::tan(kTwoPi * v), t1 = 0.5f * std::tan(kTwoPi * (0.25f - v));
    const float t2 = 0.5f * std::tan(kTwoPi * (v - 0.25f)), t3 = 0.5f * std::tan(kTwoPi * (0.5f - v));
    const float t4 = 0.5f * std::tan(kTwoPi * (v - 0.5f)), t5 = 0.5f * std::tan(kTwoPi * (0.75f - v));
    const float t6 = 0.5f * std::tan(kTwoPi * (v - 0.75f)), t7 = 0.5f * std::tan(kTwoPi * (1.0f - v));
    if (v < 0.125f) {
        const float xy[8] = {-t0, 0.5f, 0, 0.5f, 0, 0, -t0, 0.5f};
        ShapeQuadrant(s, 0, xy, 0b1001, mapping);
    } else if (v <= 0.25f) {
        const float xy[8] = {-0.5f, 0.5f, 0, 0.5f, 0, 0, -0.5f, t1};
        ShapeQuadrant(s, 0, xy, 0b1001, mapping);
    } else if (v < 0.375f) {
        const float xy[8] = {-0.5f, 0, 0, 0, -0.5f, -t2, -0.5f, -t2};
        ShapeQuadrant(s, 1, xy, 0b1100, mapping);
    } else if (v <= 0.5f) {
        const float xy[8] = {-0.5f, 0, 0, 0, -t3, -0.5f, -0.5f, -0.5f};
        ShapeQuadrant(s, 1, xy, 0b1100, mapping);
    } else if (v < 0.625f) {
        const float xy[8] = {0, 0, t4, -0.5f, t4, -0.5f, 0, -0.5f};
        ShapeQuadrant(s, 2, xy, 0b0110, mapping);
    } else if (v <= 0.75f) {
        const float xy[8] = {0, 0, 0.5f, -t5, 0.5f, -0.5f, 0, -0.5f};
        ShapeQuadrant(s, 2, xy, 0b0110, mapping);
    } else if (v < 0.875f) {
        const float xy[8] = {0.5f, t6, 0.5f, t6, 0.5f, 0, 0, 0};
        ShapeQuadrant(s, 3, xy, 0b0011, mapping);
    } else {
        const float xy[8] = {t7, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0};
        ShapeQuadrant(s, 3, xy, 0b0011, mapping);
    }
}

void CGameScreens::SetNewLevelCaption(int level)
{
    if (gaugeHold) {
        newLevel.caption->SetText(FormatTableText(9, 128, level));
        return;
    }
    int stage = 0, inStage = 0;
    m_levelMapper(level, &stage, &inStage);
    newLevel.caption->SetText(FormatTableText(8, 128, stage, inStage));
}

void CGameScreens::SetNewLevelCaptionText(const std::string& text) { newLevel.caption->SetText(text); }

void CGameScreens::SetMemoryCaptions(int bonusLevel, int round, int rounds)
{
    memory.captions[0]->SetText(FormatTableText(15, 256, bonusLevel));
    memory.captions[1]->SetText(FormatTableText(16, 256, round, rounds));
}

void CGameScreens::SetAccuracyCaption(int bonusLevel)
{
    arcade.captions[0]->SetText(FormatTableText(15, 256, bonusLevel));
}

void CGameScreens::SetAttentionCaptions(int bonusLevel, int round, int rounds)
{
    thimbles.captions[0]->SetText(FormatTableText(15, 256, bonusLevel));
    thimbles.captions[1]->SetText(FormatTableText(16, 256, round, rounds));
    thimbles.captions[2]->SetVisible(false);
}

void CGameScreens::SetReactionCaption(int bonusLevel)
{
    blinker.captions[0]->SetText(FormatTableText(15, 256, bonusLevel));
    SetReactionStopShown(true);
}

void CGameScreens::SetReactionStopShown(bool shown)
{
    for (size_t i = 1; i < blinker.captions.size(); ++i)
        blinker.captions[i]->SetVisible(shown);
    blinker.stop->SetVisible(shown);
}

void CGameScreens::SetMessageBox(const std::string& text1, const std::string& text2, int group, Question question)
{
    msgBox.text1->SetText(text1);
    msgBox.text2->SetText(text2);
    if (group < 0 || group >= static_cast<int>(msgBox.groups.size()))
        WriteLog("Warning! The message box has no button group " + std::to_string(group) + "\n");
    for (size_t g = 0; g < msgBox.groups.size(); ++g)
        msgBox.groups[g].SetVisible(static_cast<int>(g) == group);
    m_question = question;
}

void CGameScreens::SetOptionsScrollers(float sound, float music)
{
    static_cast<CQoScroller*>(options.soundVolume.Get())->SetValue(UnitValue(sound));
    static_cast<CQoScroller*>(options.musicVolume.Get())->SetValue(UnitValue(music));
}

void CGameScreens::FillHighScores(int table)
{
    if (table < 0 || static_cast<size_t>(table) >= m_hiscores.size() || !m_hiscores[static_cast<size_t>(table)])
        return;
    const CHiscoreTable& scores = *m_hiscores[static_cast<size_t>(table)];
    const size_t entries =
        std::min({static_cast<size_t>(std::max(scores.count, 0)), scores.scores.size(), highScores.names.Size()});
    for (size_t i = 0; i < entries; ++i) {
        std::string name = scores.GetName(static_cast<int>(i));
        name.erase(name.find_last_not_of(' ') + 1);
        highScores.names.At(i)->SetText(name);
        highScores.scores.At(i)->SetText(Number(scores.scores[i]));
        const bool current = table == highScoreTable && static_cast<int>(i) == highScoreHighlight;
        for (const ControlRow* row : {&highScores.ranks, &highScores.names, &highScores.scores})
            row->At(i)->SetTextColor(current ? 0xFFFFFFFF : 0xFFFFFF48);
    }
}

void CGameScreens::RefreshProfileRows()
{
    const int n = ProfileCount();
    if (profileScroll >= n)
        profileScroll = n - 1;
    if (profileSelected >= n)
        profileSelected = n - 1;
    int i = profileScroll;
    size_t row = 0;
    for (; row < profiles.rows.Size() && i < n; ++row, ++i) {
        auto* box = static_cast<CQoCheckbox*>(profiles.rows.At(row).Get());
        box->SetText(i == -1 ? GetString(26) : ProfileName(i));
        box->SetChecked(i == profileSelected);
        box->active = true;
    }
    for (; row < profiles.rows.Size(); ++row) {
        auto* box = static_cast<CQoCheckbox*>(profiles.rows.At(row).Get());
        box->SetText("");
        box->SetChecked(false);
        box->active = false;
    }
}

void CGameScreens::ShowFirstItems(int n)
{
    for (size_t i = 0; i < quest.items.Size(); ++i)
        quest.items.At(i)->SetVisible(static_cast<int>(i) < n);
}

bool CGameScreens::SetQuestGroupVisible(bool skip, bool visible)
{
    if (skip)
        return false;
    quest.shuffleGroup.SetVisible(visible);
    return quest.shuffleNote->SetVisible(visible);
}

void CGameScreens::SetQuestOverlayVisible(bool visible)
{
    quest.warningGroup.SetVisible(visible);
    quest.warningLamp->SetVisible(visible);
    if (!visible) {
        quest.marks.SetVisible(false);
        return;
    }
    // The mark stands on the last item still shown.
    bool marked = false;
    for (size_t i = quest.marks.Size(); i-- > 0;) {
        const bool mark = !marked && quest.items.At(i)->IsVisible();
        quest.marks.At(i)->SetVisible(mark);
        marked = marked || mark;
    }
}

void CGameScreens::ShowIntroPage(int page)
{
    m_introPage = std::clamp(page, 0, static_cast<int>(intro.pages.Size()) - 1);
    for (size_t i = 0; i < intro.pages.Size(); ++i)
        intro.pages.At(i)->SetVisible(static_cast<int>(i) == m_introPage);
}

void CGameScreens::HideTutorialRows()
{
    for (const ControlRow& row : tutorial.rows)
        row.SetVisible(false);
}

void CGameScreens::ShowTutorialRow(int row)
{
    if (row >= 0 && static_cast<size_t>(row) < tutorial.rows.size())
        tutorial.rows[static_cast<size_t>(row)].SetVisible(true);
}

void CGameScreens::HideBackgroundItems()
{
    background.blink.SetVisible(false);
    m_backgroundBlinkTimer = 0;
}

bool CGameScreens::SetIntroTextureLoaded(bool loaded)
{
    CountedHandle<CTexture> texture = m_device->FindTexture("Intro");
    if (!texture)
        return false;
    if (loaded) {
        if (texture->texture)
            return true;
        if (!Reload(*texture)) {
            WriteLog("Error recreating Intro Texture\n");
            return false;
        }
        return true;
    }
    texture->ReleaseD3DResource();
    return true;
}
