// The map between levels with its story text, the caption of a saved quest,
// the newspaper and help pages (one registered texture each, whose file a
// page change replaces), the tutorial's panel, pointer and item, and the
// countdown overlay of the quest HUD.
#include "screens/GameScreens.h"

#include "engine/StringTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

CSprite* FirstSprite(const CountedHandle<CQoStatic>& control)
{
    return control && control->SpriteCount() > 0 ? control->Sprite(0).Get() : nullptr;
}

const char* const kMapTextures[] = {"MapDiff3", "MapDiff4_1", "MapDiff4_2", "MapDiff5_1", "MapDiff5_2"};

} // namespace

// Puts a control's centre at (x, y) of the virtual screen, keeping its depth.
static void MoveTo(const CountedHandle<CQoForm>& form, const CountedHandle<CQoStatic>& control, float x, float y)
{
    const Vec3& origin = form->Position();
    form->SetChildPosition(control, x - origin.x, y - origin.y, control->relativePosition.z);
}

void CGameScreens::PlaceRow(const ControlRow& row, const std::vector<Vec2>& offsets, float x, float y,
                            bool rounded)
{
    if (rounded) {
        x = std::floor(x);
        y = std::floor(y);
    }
    for (size_t i = 0; i < row.Size() && i < offsets.size(); ++i) {
        const CountedHandle<CQoStatic>& c = row.At(i);
        if (c == tutorial.tabAbove || c == tutorial.tabBelow)
            continue; // the tabs stand on the target, not with the panel
        MoveTo(tutorial.form, c, x + offsets[i].x, y + offsets[i].y);
    }
}

void CGameScreens::FillMapScreen(int level, int flag)
{
    int stage = 0, n = 0;
    m_levelMapper(level, &stage, &n);
    char caption[32];
    std::snprintf(caption, sizeof caption, "%d-%d", stage, n);
    map.caption->SetText(caption);
    const int story = level - 2;
    map.story->SetText(story >= 0 && story < static_cast<int>(m_story.size()) ? m_story[static_cast<size_t>(story)]
                                                                              : std::string());
    for (int i = 0; i < 4; ++i)
        map.stagePictures[static_cast<size_t>(i)].SetVisible(stage == i + 2 || (i == 3 && stage > 4));
    // The spots of the levels behind the player on the current stage.
    for (int s = 1; s <= 5; ++s) {
        const ControlRow& spots = map.spots[static_cast<size_t>(s - 1)];
        const bool current = stage == s || (s == 5 && stage > 4);
        for (size_t j = 0; j < spots.Size(); ++j)
            spots.At(j)->SetVisible(current && static_cast<int>(j) < n - flag - 1);
    }
    // The flag on the spot of the level being played (or about to be).
    int markStage = 1, markLevel = 1;
    if (level > 1)
        m_levelMapper(level - flag, &markStage, &markLevel);
    const bool onMap = stage < 6 && markStage >= 1 && markStage <= 5 && markLevel >= 1 &&
                       static_cast<size_t>(markLevel) <= map.spots[static_cast<size_t>(markStage - 1)].Size();
    if (onMap) {
        const Vec3& spot =
            map.spots[static_cast<size_t>(markStage - 1)].At(static_cast<size_t>(markLevel - 1))->Position();
        PutFlag(spot.x, spot.y, 0.0f);
    }
    map.flag->SetVisible(onMap);
    map.flagShadow->SetVisible(onMap);
    for (size_t j = 0; j < 4; ++j) {
        map.seals.At(j)->SetVisible(static_cast<int>(j) < stage - 1);
        map.gems.At(j)->SetVisible(static_cast<int>(j) < stage - 1);
    }
}

void CGameScreens::PutFlag(float x, float y, float hop)
{
    const float fx = x + m_layout.flagShift.x, fy = y + m_layout.flagShift.y;
    MoveTo(map.form, map.flag, fx, fy + hop);
    MoveTo(map.form, map.flagShadow, fx + m_layout.shadowShift.x, fy + m_layout.shadowShift.y);
}

bool CGameScreens::SpotOf(int level, Vec3* at) const
{
    int stage = 0, n = 0;
    if (level < 1 || !m_levelMapper(level, &stage, &n) || stage < 1 || stage > 5 || n < 1)
        return false;
    const ControlRow& spots = map.spots[static_cast<size_t>(stage - 1)];
    if (static_cast<size_t>(n) > spots.Size())
        return false;
    *at = spots.At(static_cast<size_t>(n - 1))->Position();
    return true;
}

void CGameScreens::PlaceMapFlag(int from, int to, float share)
{
    Vec3 a, b;
    if (!SpotOf(from, &a) || !SpotOf(to, &b))
        return;
    const float s = std::isfinite(share) ? std::clamp(share, 0.0f, 1.0f) : 1.0f;
    const float hop = m_layout.flagJumpHeight * std::sin(3.14159265f * s);
    PutFlag(a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s, hop);
    map.flag->SetVisible(true);
    map.flagShadow->SetVisible(true);
}

void CGameScreens::SetStartQuestCaption(int level, bool hard)
{
    int stage = 0, n = 0;
    m_levelMapper(level, &stage, &n);
    char caption[128];
    std::snprintf(caption, sizeof caption, "%d-%d\n", stage, n);
    startQuest.caption->SetText(caption + GetString(hard ? 33 : 32));
}

void CGameScreens::RecreateMapTextures(int stage)
{
    // Which of MapDiff3, 4_1, 4_2, 5_1, 5_2 the stage keeps in memory.
    static const bool kept[4][5] = {
        {false, false, false, false, false}, // stages 1 and 2
        {true, false, false, false, false},  // stage 3
        {false, true, true, false, false},   // stage 4
        {false, true, false, true, true},    // stage 5 and any other
    };
    const int row = stage == 1 || stage == 2 ? 0 : stage == 3 ? 1 : stage == 4 ? 2 : 3;
    for (int i = 0; i < 5; ++i) {
        CountedHandle<CTexture> texture = m_device->FindTexture(kMapTextures[i]);
        if (!texture)
            continue;
        if (!kept[row][i]) {
            texture->ReleaseD3DResource();
            continue;
        }
        if (!texture->texture && !Reload(*texture))
            WriteLog(std::string("Error! Recreation ") + kMapTextures[i] + "\n");
    }
}

bool CGameScreens::Reload(CTexture& texture) const
{
    const std::string name = texture.name, file = texture.fileName;
    if (!d3d::Failed(texture.Recreate(m_device->Device())))
        return true;
    texture.name = name;
    texture.fileName = file;
    return false;
}

// Puts another page file into a registered texture. The file name changes
// only when the picture loaded, and a texture whose picture is missing is
// loaded again even for the same file.
bool CGameScreens::LoadPageTexture(const char* name, const std::string& file)
{
    CountedHandle<CTexture> texture = m_device->FindTexture(name);
    if (!texture)
        return false;
    const std::string wanted = m_paths.folders[CDataPaths::Gfx] + file;
    if (texture->fileName == wanted && texture->texture)
        return true;
    const std::string old = texture->fileName;
    texture->ReleaseD3DResource();
    texture->fileName = wanted;
    if (!Reload(*texture)) {
        texture->fileName = old;
        return false;
    }
    return true;
}

bool CGameScreens::LoadNewspaper(const std::string& file, const ControlRow& blink)
{
    const bool ok = LoadPageTexture("Newspaper5", file);
    blink.SetVisible(false);
    m_blinkTimer = 0;
    if (!ok)
        WriteLog("Error switching newspaper texture\n");
    return ok;
}

bool CGameScreens::SwitchNewspaper() { return LoadNewspaper("Newspaper5.jpg", win.blink); }

bool CGameScreens::ShowNewspaper(int page)
{
    if (page < 0 || page >= static_cast<int>(newspaper.pages.size())) {
        WriteLog("Warning! There is no newspaper page " + std::to_string(page) + "\n");
        return false;
    }
    for (size_t i = 0; i < newspaper.pages.size(); ++i)
        newspaper.pages[i].SetVisible(static_cast<int>(i) == page);
    return LoadNewspaper("Newspaper" + std::to_string(page + 1) + ".jpg", newspaper.blink);
}

bool CGameScreens::ShowHelpPage(int page)
{
    page = std::clamp(page, 1, static_cast<int>(help.pages.size()));
    const bool ok = LoadPageTexture("HelpPage", page == 1 ? "HelpPage1.jpg" : "HelpPage2.jpg");
    m_helpPage = page;
    for (size_t i = 0; i < help.pages.size(); ++i)
        help.pages[i].SetVisible(static_cast<int>(i) + 1 == page);
    return ok;
}

void CGameScreens::PlaceTutorialPanel(float x, float y, bool below)
{
    x = std::floor(x);
    y = std::floor(y);
    // "above": the target is above the tab, the panel below it.
    const bool above = below;
    const CountedHandle<CQoStatic>& tab = above ? tutorial.tabAbove : tutorial.tabBelow;
    const Vec2& shift = above ? m_layout.arrowUpShift : m_layout.arrowDownShift;
    const float margin = shift.x, overlap = shift.y;
    const GuiSize& tabSize = tab->BaseSize();
    const float tabY = std::floor(above ? y - tabSize.h / 2 : y + tabSize.h / 2);
    MoveTo(tutorial.form, tab, x, tabY);

    // The panel keeps its place unless the tab would stick out of it.
    float left = m_layout.arrowWinPrefX;
    const float width = m_layout.arrowWinSize.x;
    if (left > x - tabSize.w / 2 - margin)
        left = x - tabSize.w / 2 - margin;
    else if (left + width < x + tabSize.w / 2 + margin)
        left = x + tabSize.w / 2 + margin - width;
    const GuiSize& panel = tutorial.rows[1].At(0)->BaseSize();
    float panelY = tabY + tabSize.h / 2 - overlap - panel.h / 2;
    if (!above)
        panelY += m_layout.arrowWinSize.y;
    PlaceRow(tutorial.rows[1], tutorial.panelOffsets, left + panel.w / 2, panelY, true);
    tutorial.tabAbove->SetVisible(above);
    tutorial.tabBelow->SetVisible(!above);
}

void CGameScreens::PlaceTutorialPanelBeside(float left, float y)
{
    const GuiSize& panel = tutorial.rows[1].At(0)->BaseSize();
    PlaceRow(tutorial.rows[1], tutorial.panelOffsets, left + panel.w / 2, y, true);
    tutorial.tabAbove->SetVisible(false);
    tutorial.tabBelow->SetVisible(false);
}

void CGameScreens::PlaceTutorialItem(float x, float y)
{
    const GuiSize& size = tutorial.rows[6].At(0)->BaseSize();
    const Vec2& hot = m_layout.swapThesePoint;
    PlaceRow(tutorial.rows[6], tutorial.itemOffsets, x - hot.x + size.w / 2, y - hot.y - size.h / 2, true);
}

// The picture points left with its fingertip at the hot spot; the sprite's
// further frames show it mirrored (pointing right) and turned a quarter
// (pointing up, then down), and a turned hand takes the picture's height as
// its width.
CGameScreens::PointerPose CGameScreens::PoseOf(PointerSide side) const
{
    const GuiSize& size = tutorial.rows[4].At(0)->BaseSize();
    // The layout keeps the hot spot's y with its sign turned (y up).
    const float tipX = m_layout.clickHerePoint.x, tipY = -m_layout.clickHerePoint.y;
    switch (side) {
    case PointerSide::Left:
        return {size, {size.w - tipX, tipY}, {-1, 0}, 1};
    case PointerSide::Below:
        return {{size.h, size.w}, {size.h - tipY, tipX}, {0, -1}, 2};
    case PointerSide::Above:
        return {{size.h, size.w}, {tipY, size.w - tipX}, {0, 1}, 3};
    default:
        return {size, {tipX, tipY}, {1, 0}, 0};
    }
}

void CGameScreens::PlaceTutorialPointer(float x, float y, PointerSide side)
{
    pointerX = x;
    pointerY = y;
    pointerSide = side;
    const CountedHandle<CQoStatic>& hand = tutorial.rows[4].At(0);
    PointerPose pose = PoseOf(side);
    CSprite* picture = hand->SpriteCount() > 0 ? hand->Sprite(0).Get() : nullptr;
    // Without the turned frames the hand points left or right only.
    if (picture && picture->frames.size() < 8 * static_cast<size_t>(pose.frame + 1))
        pose = PoseOf(pose.away.x < 0 ? PointerSide::Left : PointerSide::Right);
    if (picture)
        picture->frame = pose.frame;
    if (hand->Size().w != pose.size.w || hand->Size().h != pose.size.h)
        hand->SetSize(pose.size.w, pose.size.h);
    const float away = (1.0f + std::sin(m_pointerPhase)) * m_layout.clickHereA;
    PlaceRow(tutorial.rows[4], tutorial.pointerOffsets, x + pose.away.x * away - pose.tip.x + pose.size.w / 2,
             y + pose.away.y * away + pose.tip.y - pose.size.h / 2, false);
}

ScreenRect CGameScreens::TutorialPointerReach(float x, float y, PointerSide side) const
{
    const PointerPose pose = PoseOf(side);
    const float reach = 2.0f * m_layout.clickHereA;
    const float left = x - pose.tip.x, top = y + pose.tip.y;
    ScreenRect r{left, left + pose.size.w, top - pose.size.h, top};
    (pose.away.x < 0 ? r.left : r.right) += pose.away.x * reach;
    (pose.away.y < 0 ? r.bottom : r.top) += pose.away.y * reach;
    return r;
}

void CGameScreens::StartOverlay(bool start)
{
    if (!start) {
        m_overlayActive = false;
        m_overlayPhase = m_overlayTime = 0;
        return;
    }
    if (!m_overlayActive && quest.overlay.Size() == 2) {
        quest.overlay.At(1)->SetVisible(true);
        quest.overlay.At(1)->SetAlpha(0);
    }
    m_overlayTime = 0;
    m_overlayActive = true;
    for (int i = 0; i < CSoundManager::kSlotCount; ++i)
        if (m_sounds && std::string(CSoundManager::kSlotNames[i]) == "Warning.wav")
            m_sounds->Play(m_sounds->slots[i], 0, 0);
}

// Three flashes in 0.75 s: the rim greys and brightens, the flash over it
// comes and goes.
void CGameScreens::StepOverlay(float dt)
{
    if (!m_overlayActive || quest.overlay.Size() != 2)
        return;
    m_overlayTime += dt;
    if (m_overlayTime >= m_overlayDuration) {
        m_overlayActive = false;
        m_overlayPhase = m_overlayTime = 0;
        quest.overlay.At(1)->SetVisible(false);
        quest.overlay.At(0)->SetColor(0xFFFFFFFF);
        return;
    }
    m_overlayPhase += dt * m_overlayRate;
    const float v = (1 - std::cos(m_overlayPhase)) / 2;
    quest.overlay.At(1)->SetAlpha(v);
    const uint32_t g = static_cast<uint32_t>(std::floor(v * 223 + 32));
    quest.overlay.At(0)->SetColor(0xFF000000 | g << 16 | g << 8 | g);
}

void CGameScreens::SetMapDifficultyTexture(const CountedHandle<CTexture>& first,
                                           const CountedHandle<CTexture>& second)
{
    m_mapDifficulty = first;
    if (CSprite* s = FirstSprite(quest.hintButton))
        s->texture = first;
    const ControlRow& medals = trophies.levels[0];
    if (!medals.Empty())
        if (CSprite* s = FirstSprite(medals.At(medals.Size() - 1)))
            s->texture = second;
}
