// The services' life and their frame, and the small verbs the flow's
// states share: sounds by role, flares over the forms, the message box,
// popups and captions over the board, the panel pictures and the stage's
// scene.
#include "game/Services.h"

#include "effects/overlays/ScoreSettings.h"

#include <utility>

namespace {
// Popups float this far in front of the board.
constexpr float kPopupDepth = -20.0f;
} // namespace

CGameServices::CGameServices(CountedHandle<CSceneRenderer> sceneRenderer)
{
    renderer = std::move(sceneRenderer);
    if (renderer)
        device = renderer->device;
    questSave = MakeCountedHandle(new CQuestSave());
    delays.ReadFrom(paths);
}

// The members go in the reverse order of their declaration: the players
// list first, the render device last of all handles.
CGameServices::~CGameServices() = default;

void CGameServices::Update(float dt)
{
    if (music)
        music->Update(dt);
    popups->Update(dt);
    if (backgrounds)
        backgrounds->Update(dt);
    for (auto& particles : particleManagers)
        particles->Update(dt);
    for (auto& flares : flareRenderers)
        flares->Update(dt);
    textBatch->Update(dt);
    for (int i = 1; i < 4; ++i)
        spriteRenderers[i]->Update(dt, 0);
}

void CGameServices::Play(FlowSound sound)
{
    if (sounds)
        sounds->Play(sounds->Sample(FlowSoundFile(sound)), 0, 0);
}

void CGameServices::PlayAt(FlowSound sound, float x)
{
    if (sounds)
        sounds->PlayPanned(sounds->Sample(FlowSoundFile(sound)), x, 0, 0);
}

void CGameServices::AddFlare(float x, float y, float z, float width, float height, float fadeIn,
                             float fadeOutStart, float fadeOut, float scaleTarget, float scaleSpeed)
{
    if (!flareRenderers[2])
        return;
    auto flare = MakeCountedHandle(new CFlare(x, y, z, effectTextures[kFlare], 0xFFFFFF));
    flare->SetSize(width, height);
    flare->fadeIn = fadeIn;
    flare->fadeOutStart = fadeOutStart;
    flare->fadeOut = fadeOut;
    flare->flickerDepth = 0.0f;
    if (scaleTarget > 0.0f)
        flare->StartScale(scaleTarget, scaleSpeed);
    flareRenderers[2]->Add(flare);
}

void CGameServices::ShowMessage(const std::string& text, int group, Question question, float speed)
{
    screens->SetMessageBox(text, "", group, question);
    screens->ShowForm(screens->msgBox.form, speed);
}

void CGameServices::ShowPlayMessage(const std::string& text, float scale, int style, const Vec3& at)
{
    popups->DropMessages();
    popups->AddTextPopup(text, scale, style, at.x, at.y, at.z);
}

void CGameServices::ShowTextPopup(const std::string& text, float scale, int style, float life)
{
    const Vec3& at = questLayout.comboMessagePos;
    popups->DropMessages();
    CountedHandle<CPopup> popup = popups->AddTextPopup(text, scale, style, at.x, at.y, at.z);
    if (popup && life > 0.0f)
        popup->life = life;
}

// A long caption (a bonus level's loss) is made smaller to stay on the
// board rather than run under the HUD.
void CGameServices::ShowCaption(const std::string& text, float life)
{
    const BoardGeometry g = board->Geometry();
    const Vec2 centre = board->CellToPoint(g.columns / 2, g.rows / 2, true);
    popups->DropMessages();
    const CountedHandle<CPopup> popup = popups->AddCaptionPopup(text, 1.5f, centre.x - g.cellWidth * 0.5f,
                                                                centre.y + g.cellHeight * 0.5f, kPopupDepth);
    if (!popup)
        return;
    popup->FitWidth(0.95f * static_cast<float>(g.columns) * g.cellWidth);
    if (life > 0.0f)
        popup->life = life;
}

// A missing texture is logged and skipped; the swap goes on.
void CGameServices::SwapPanelTextures(bool toShop, int keep)
{
    totems->RecreateTextures(toShop, paths.folders[CDataPaths::Gfx]);
    if (!device)
        return;
    auto release = [this](const char* name) {
        if (CountedHandle<CTexture> t = device->FindTexture(name))
            t->ReleaseD3DResource();
        else
            WriteLog(std::string("Unable to find texture ") + name + " (Release)\n");
    };
    auto recreate = [this](const char* name) {
        CountedHandle<CTexture> t = device->FindTexture(name);
        if (!t)
            WriteLog(std::string("Unable to find texture ") + name + " (Recreate)\n");
        else if (!t->texture)
            t->Recreate(device->Device());
    };
    if (toShop) {
        release("PanelQuest");
        recreate("ShopFrame");
        return;
    }
    release("ShopFrame");
    if (!keep) {
        recreate("PanelQuest");
        recreate("BigStar");
    }
}

// While the quest screen shows whole, the HUD's panel hides the scene under
// it and the board's backdrop and rails dim it (faint layers of the scene
// leave no more than a trace through them); the shop's backdrop hides all
// of it. Anything fading or away covers nothing, so the same scene at the
// menu or between levels draws whole.
void CGameServices::ReportSceneCover()
{
    if (!renderer)
        return;
    SceneCover& cover = renderer->sceneCover;
    cover.opaque.clear();
    cover.translucent.clear();
    auto hides = [&](const CountedHandle<CQoForm>& form, const CQoWindow* control) {
        const CQoWindow& w = control ? *control : *form;
        if (!form->IsVisible() || form->Alpha() < 1.0f || !w.IsVisible() || w.Alpha() < 1.0f)
            return;
        const Vec3& p = w.Position();
        const GuiSize& size = w.Size();
        cover.opaque.push_back(
            SceneCover::Rect{p.x - size.w / 2, p.y + size.h / 2, p.x + size.w / 2, p.y - size.h / 2});
    };
    if (screens && screens->quest.form)
        hides(screens->quest.form, nullptr);
    if (screens && screens->shop.form && screens->shop.backdrop)
        hides(screens->shop.form, screens->shop.backdrop.Get());
    Vec4 area;
    if (board && board->IsShown() && board->Mesh().CoveredArea(&area))
        cover.translucent.push_back(SceneCover::Rect{area.x, area.y, area.z, area.w});
}

bool CGameServices::SwitchBackgroundForStage(int oldLevel, int newLevel)
{
    int stage = 0, inStage = 0, oldStage = -1;
    SplitLevelNumber(newLevel, &stage, &inStage);
    if (oldLevel >= 0)
        SplitLevelNumber(oldLevel, &oldStage, &inStage);
    if (stage == oldStage)
        return false;
    // Stages 1 to 5 have scenes of their own; the treasury serves any later one.
    if (backgrounds)
        backgrounds->SetScene(stage >= 1 && stage <= 5 ? stage : 5);
    return true;
}
