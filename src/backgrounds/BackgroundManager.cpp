#include "backgrounds/BackgroundManager.h"

#include "engine/Log.h"

#include <type_traits>

namespace {

const char* const kSceneNames[] = {"", "Museum", "Jungle", "Valley", "Door", "Treasury", "MainMenu"};

// Calls `f` with scene `id` of the manager's six; nothing for no scene.
template <typename Manager, typename F>
void ForScene(Manager& m, int id, F&& f)
{
    switch (id) {
    case CBackgroundManager::kMuseum:
        f(m.Museum());
        break;
    case CBackgroundManager::kJungle:
        f(m.Jungle());
        break;
    case CBackgroundManager::kValley:
        f(m.Valley());
        break;
    case CBackgroundManager::kDoor:
        f(m.Door());
        break;
    case CBackgroundManager::kTreasury:
        f(m.Treasury());
        break;
    case CBackgroundManager::kMainMenu:
        f(m.MainMenu());
        break;
    default:
        break;
    }
}

template <typename F>
void ForEachScene(CBackgroundManager& m, F&& f)
{
    for (int id = CBackgroundManager::kMuseum; id <= CBackgroundManager::kMainMenu; ++id)
        ForScene(m, id, f);
}

} // namespace

void CBackgroundManager::SetDevice(const CountedHandle<CRenderDevice>& device,
                                   const CountedHandle<CVertexBuffer>& vertices,
                                   const CountedHandle<CIndexBuffer>& indices)
{
    m_device = device;
    m_vertices = vertices;
    m_indices = indices;
    ForEachScene(*this, [&](auto& scene) { scene.Core().SetDevice(device, vertices, indices); });
}

void CBackgroundManager::SetSoundManager(const CountedHandle<CSoundManager>& sounds)
{
    ForEachScene(*this, [&](auto& scene) { scene.Core().services.sounds = sounds; });
}

void CBackgroundManager::SetResources(const BackgroundResources& r)
{
    m_sprites = r.sprites;
    m_particles = r.particles;
    m_flares = r.flares;
    m_flareTexture = r.flare;
    m_jungleFlash = r.jungleFlash;
    ForEachScene(*this, [&](CScene& scene) { scene.SetResources(r); });
}

void CBackgroundManager::LoadSettings(const std::string& file)
{
    ForEachScene(*this, [&](auto& scene) { scene.LoadSettings(file); });
}

int CBackgroundManager::Init(const std::string& graphicsFolder)
{
    m_graphicsFolder = graphicsFolder;
    m_museum.Init();
    m_jungle.Init();
    m_jungle.LoadFlashMask(graphicsFolder + "JungleFlashMask.bmp");
    m_valley.Init();
    m_door.Init();
    m_treasury.Init();
    return m_mainMenu.Init();
}

void CBackgroundManager::Retire(int id)
{
    ForScene(*this, id, [&](auto& scene) {
        if (!scene.Core().ReleaseTextures())
            WriteLog(std::string("Error unloading background textures for ") + kSceneNames[id] + "!\n");
        scene.ReleaseObjects();
    });
}

int CBackgroundManager::SetScene(int id)
{
    if (id == m_current)
        return 0;
    Retire(m_current);
    // A number that names no scene leaves none shown, so the next switch
    // retires nothing.
    m_current = id >= kMuseum && id <= kMainMenu ? id : kNoScene;
    int built = 0;
    ForScene(*this, m_current, [&](auto& scene) {
        if (!scene.Core().LoadTextures(m_graphicsFolder))
            WriteLog(std::string("Error loading background textures for ") + kSceneNames[m_current] + "!\n");
        built = scene.Build();
    });
    return built;
}

void CBackgroundManager::SetProgress(int count, int quiet)
{
    ForScene(*this, m_current, [&](auto& scene) {
        if constexpr (!std::is_same_v<std::decay_t<decltype(scene)>, CMainMenuBackground>)
            scene.SetProgress(count, quiet);
    });
}

void CBackgroundManager::Update(float dt)
{
    if (m_sprites)
        m_sprites->Update(dt, 0);
    ForScene(*this, m_current, [&](auto& scene) { scene.Update(dt); });
}

void CBackgroundManager::Render(const SceneView& view)
{
    if (!m_renderGate)
        return;
    ForScene(*this, m_current, [&](auto& scene) {
        if constexpr (std::is_same_v<std::decay_t<decltype(scene)>, CMuseumBackground>)
            scene.Render(view);
        else
            scene.Render();
    });
}
