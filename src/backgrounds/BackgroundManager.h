// The background manager: owns the six animated scenes and shows exactly one
// of them behind the board and the menus. The game switches scenes, reports
// the stage progress and drives the frame update through it; the frame
// renderer draws it first in every frame, through its background slot.
//
// Scene numbers: 1 museum, 2 jungle, 3 valley, 4 door, 5 treasury (stages 1
// to 4, then 5 and every later stage), 6 main menu; 0 is no scene.
#pragma once

#include "backgrounds/DoorBackground.h"
#include "backgrounds/JungleBackground.h"
#include "backgrounds/MainMenuBackground.h"
#include "backgrounds/MuseumBackground.h"
#include "backgrounds/TreasuryBackground.h"
#include "backgrounds/ValleyBackground.h"
#include "engine/FrameLayers.h"

#include <string>

class CBackgroundManager final : public IBackgroundLayer {
public:
    enum Scene { kNoScene = 0, kMuseum = 1, kJungle, kValley, kDoor, kTreasury, kMainMenu };

    CBackgroundManager() = default;
    ~CBackgroundManager() override = default;
    CBackgroundManager(const CBackgroundManager&) = delete;
    CBackgroundManager& operator=(const CBackgroundManager&) = delete;

    void SetDevice(const CountedHandle<CRenderDevice>& device, const CountedHandle<CVertexBuffer>& vertices,
                   const CountedHandle<CIndexBuffer>& indices);
    void SetSoundManager(const CountedHandle<CSoundManager>& sounds);
    void SetResources(const BackgroundResources& resources);
    void LoadSettings(const std::string& file);
    // One-time set-up of every scene; reads the jungle's glint mask from
    // `graphicsFolder`.
    int Init(const std::string& graphicsFolder);
    // Turned on once start-up is through; the scenes draw only from then on.
    void OpenRenderGate() { m_renderGate = true; }
    // Shows scene `id`; the same scene again does nothing. Any number
    // outside 1 to 6 leaves no scene shown.
    int SetScene(int id);
    // The stage progress of a stage scene: `count` levels of the stage won,
    // `quiet` 1 to show them without celebration. The menu ignores it.
    void SetProgress(int count, int quiet);
    void Update(float dt);

    // The frame's background slot.
    bool IsRenderGateOpen() const override { return m_renderGate; }
    bool WantsBlackClear() const override { return m_current == kValley; }
    void Render(const SceneView& view) override;
    // The scene drawn whole.
    void Render() { Render(SceneView{}); }

    int CurrentScene() const { return m_current; }
    // While the main menu shows, the game tells the scene whether the cursor
    // is over the zone where its front foliage slides aside.
    const CMainMenuBackground::Zone& MainMenuShiftZone() const { return m_mainMenu.ShiftZone(); }
    void SetMainMenuHover(bool inside) { m_mainMenu.SetCursorInZone(inside); }

    CMuseumBackground& Museum() { return m_museum; }
    CJungleBackground& Jungle() { return m_jungle; }
    CValleyBackground& Valley() { return m_valley; }
    CDoorBackground& Door() { return m_door; }
    CTreasuryBackground& Treasury() { return m_treasury; }
    CMainMenuBackground& MainMenu() { return m_mainMenu; }

private:
    void Retire(int id);
    void Show(int id);

    std::string m_graphicsFolder;
    CountedHandle<CRenderDevice> m_device;
    CountedHandle<CVertexBuffer> m_vertices;
    CountedHandle<CIndexBuffer> m_indices;
    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CParticleSystemsManager> m_particles;
    CountedHandle<CFlareRenderer> m_flares;
    CountedHandle<CTexture> m_flareTexture;
    CountedHandle<CTexture> m_jungleFlash;
    bool m_renderGate = false;
    // The scenes go before the shared handles above, in reverse order.
    CMuseumBackground m_museum;
    CJungleBackground m_jungle;
    CValleyBackground m_valley;
    CDoorBackground m_door;
    CTreasuryBackground m_treasury;
    CMainMenuBackground m_mainMenu;
    int m_current = kNoScene;
};
