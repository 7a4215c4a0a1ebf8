// The game's frame: the shared services advance, the cursor is mapped to
// the virtual screen, the trophies and the menu screens run, and then the
// current mode: the start-up splash, the menus, a level's intro, a resumed
// quest's way into the shop, play (PlayPhases.cpp) or the completed quest.
#include "game/Game.h"

#include "engine/StringTable.h"
#include "platform/Window.h"

#include <algorithm>

namespace {
// The window buttons show while the cursor is this close to the top.
constexpr float kWinBoxLine = 357.0f;
} // namespace

void CGame::Frame(float timeStep, int draw, int paused)
{
    if (!renderer)
        return;
    if (timeStep == 0.0f) {
        if (draw && !d3d::Failed(renderer->RenderFrame()))
            renderer->Present();
        return;
    }
    if (paused || !screens)
        return;
    const float dt = std::min(timeStep, 0.5f);
    UpdateServices(dt);
    MapCursor();
    UpdateWinBox();
    if (trophies && trophies->Update(dt, cursorX, cursorY) == 1 && trophies->pendingAwards.empty() && playerName)
        trophies->Save(PlayerFolder() + "Trophies.dat");
    screens->gaugeHold = gameType;
    screens->Update(cursorX, cursorY, dt);
    HandleScreenEvents();
    if (mode == kModeMenus && backgrounds)
        backgrounds->SetMainMenuHover(backgrounds->MainMenuShiftZone().Contains(cursorX, cursorY));
    modeTimer += dt;
    UpdateMode(dt);
    if (!d3d::Failed(renderer->RenderFrame()))
        renderer->Present();
}

void CGame::UpdateServices(float dt)
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

// The centred 4:3 part of the client area spans x -512 .. 512 and y 384 ..
// -384.
bool CGame::MapPoint(int px, int py, float* x, float* y) const
{
    int width = 0, height = 0;
    plat::ClientSize(window, &width, &height);
    const int h = height / 2;
    const int e = (h * 4) / 3;
    if (e <= 0)
        return false;
    *x = static_cast<float>((px - width / 2) * 512) / static_cast<float>(e);
    *y = static_cast<float>((py - h) * -512) / static_cast<float>(e);
    return true;
}

// The cursor, polled for hovering. A window without a client area
// (minimised) keeps the last point.
void CGame::MapCursor()
{
    const plat::CursorPoll poll = plat::PollCursor(window);
    MapPoint(poll.x, poll.y, &cursorX, &cursorY);
}

void CGame::UpdateWinBox()
{
    const bool show = cursorY > kWinBoxLine;
    if (show == winBoxShown)
        return;
    winBoxShown = show;
    screens->winBox.form->SetVisible(show);
}

void CGame::UpdateMode(float dt)
{
    switch (mode) {
    case kModeSplash:
        UpdateSplash();
        break;
    case kModeLevelIntro:
        board->Update(dt, cursorX, cursorY);
        UpdateLevelIntro(dt);
        break;
    case kModeShopIntro:
        UpdateShopIntro();
        break;
    case kModePlaying:
        UpdateState(dt);
        break;
    case kModeQuestComplete:
        UpdateQuestComplete();
        break;
    default:
        break;
    }
}

// The splash: the loading picture stays while the base and the first group
// fade in; the picture gives way to the scene; then each group is held,
// fades out and the next fades in; after the last the menu comes.
void CGame::UpdateSplash()
{
    CGameScreens::SplashForm& splash = screens->splash;
    const int groups = static_cast<int>(splash.groups.size());
    switch (subState) {
    case 0:
    case 1:
        Next(subState + 1);
        return;
    case 2:
        screens->FadeInControls(splash.base, splashFadeIn);
        if (groups > 0)
            screens->FadeInControls(splash.groups[0], splashFadeIn);
        Next(3);
        return;
    case 3:
        if (modeTimer < 1.0f / splashFadeIn)
            return;
        for (const auto& picture : splash.pictures) {
            if (picture->SpriteCount() > 0)
                picture->Sprite(0)->texture = device->FindTexture("White");
            picture->SetVisible(false);
        }
        if (const int loading = device->FindTextureIndex("Loading"); loading >= 0)
            device->RemoveTexture(loading);
        if (CountedHandle<CTexture> art = device->FindTexture("Trophies"); !art)
            WriteLog("Unable to Recreate TrophiesTexture (not found)\n");
        else if (d3d::Failed(art->Recreate(device->Device())))
            WriteLog("Unable to Recreate TrophiesTexture!\n");
        Next(4);
        return;
    case 4:
        Next(10);
        return;
    default:
        break;
    }
    const int p = subState / 10;
    switch (subState % 10) {
    case 0:
        if (modeTimer < splashHold)
            return;
        if (p < groups)
            screens->FadeOutControls(splash.groups[static_cast<size_t>(p - 1)], splashFadeOut);
        else
            screens->HideForm(splash.form, splashFadeOut);
        Next(subState + 1);
        return;
    case 1:
        if (modeTimer < 1.0f / splashFadeOut)
            return;
        if (p < groups) {
            screens->FadeInControls(splash.groups[static_cast<size_t>(p)], splashFadeIn);
            Next(subState + 1);
            return;
        }
        screens->ShowForm(nameEntryPending ? screens->newProfile.form : screens->mainMenu.form, 2.0f);
        screens->HideForm(splash.form, splashFadeOut);
        mode = kModeMenus;
        Next(0);
        return;
    case 2:
        if (modeTimer >= 1.0f / splashFadeIn)
            Next(10 * (p + 1));
        return;
    default:
        return;
    }
}

void CGame::EnterLevelIntro(int difficulty)
{
    modeTimer = 0.0f;
    mode = kModeLevelIntro;
    phase = kPhasePlay;
    subState = -10;
    SwapPanelTextures(false, false);
    if (!capsRenderer->SwitchTextureSet(0))
        WriteLog("Error switching Caps textures\n");
    screens->RecreateMapTextures(1);
    StartNewQuest(difficulty);
}

// The HUD and the level's caption come in with the board.
void CGame::ShowLevelHud()
{
    board->Show(true, true, 2.0f);
    screens->gaugeHold = gameType;
    screens->SetHudValues(stats.tables[1].Get(StatScore), lives, timeLeft / balance.timeLimit);
    if (balance.livesLimited)
        screens->ShowFirstItems(lives);
    // The hint counter and the warning of a life at stake wait hidden until
    // they have something to show.
    screens->quest.hintCounter->SetVisible(false);
    screens->SetQuestOverlayVisible(false);
    screens->ShowForm(screens->quest.form, 2.0f);
    screens->SetNewLevelCaption(level);
    screens->ShowForm(screens->newLevel.form, 2.0f);
    Play(FlowSound::LevelStart);
    totems->Reset();
    totems->BuildPanel(0);
    totems->ShowPanel(1, 2.0f);
}

void CGame::UpdateLevelIntro(float)
{
    switch (subState) {
    case -10:
        screens->SetIntroTextureLoaded(true);
        Next(-9);
        break;
    case -9:
        Next(-8);
        break;
    case -8:
        screens->ShowIntroPage(0);
        screens->ShowForm(screens->intro.form, 2.0f);
        Next(-7);
        break;
    case 0:
        if (modeTimer < 1.0f)
            break;
        ShowLevelHud();
        Next(1);
        break;
    case 1:
        if (modeTimer < 1.0f)
            break;
        screens->HideForm(screens->newLevel.form, 2.0f);
        Next(2);
        break;
    case 2:
        if (modeTimer < 0.5f)
            break;
        mode = kModePlaying;
        StartLevelPlay();
        questSave->state = 0;
        levelIntroPending = false;
        Next(0);
        break;
    default:
        // -7 waits for a key or a click, -6 for the intro to fade out.
        break;
    }
}

void CGame::UpdateShopIntro()
{
    if (subState == 0 && modeTimer >= 1.0f) {
        screens->gaugeHold = gameType;
        Next(1);
    } else if (subState == 1 && modeTimer >= 0.5f) {
        ReopenShop();
    }
}

void CGame::EnterGameComplete()
{
    screens->SwitchNewspaper();
    mode = kModeQuestComplete;
    phase = kPhasePlay;
    Next(0);
    hiscoreEntered = EnterHiscore(stats.tables[1].Get(StatScore));
}

void CGame::UpdateQuestComplete()
{
    switch (subState) {
    case 0:
    case 1:
    case 5:
    case 6:
        Next(subState + 1);
        break;
    case 2:
        screens->HideForm(screens->background.form, 2.0f);
        screens->ShowForm(screens->win.form, 2.0f);
        Play(FlowSound::Victory);
        Next(3);
        break;
    case 4:
        if (modeTimer < 0.5f)
            break;
        ClearForMenu();
        Next(5);
        break;
    case 7:
        // A Normal quest's end says the Hard mode is open; its OK then
        // tells of a new high score.
        if (!hardMode)
            ReturnToMenu(62, Question::HardModeUnlocked);
        else
            ReturnToMenu(hiscoreEntered ? 61 : 0, Question::NewHighScore);
        break;
    default:
        // 3 waits for a key or a click, 10 for the trophies screen.
        break;
    }
}
