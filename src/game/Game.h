// The one game object, in three parts: the services the load sequence
// makes (Services.h), the quest's state (QuestState.h) and the flow of
// states that shows it (flow/Flow.h). The shell reaches it through
// `GameHandle` for every frame and every input event; the game maps the
// pointer onto its virtual screen once and gives the input to the flow.
//
// Where each concern lives:
//   Services.h, LoadSequence.cpp  the services and their load table
//   QuestState.h                  the player, the quest's progress, its save
//   flow/Flow.h                   the states (a file each) and their parts
//   Lessons.h, FlowTables.h       the lessons' tables, the flow's delays
//                                 and sounds
//   TrophiesScreen.h              the trophies screen's own drawing
#pragma once

#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"
#include "platform/Window.h"

#include <string>

class CGame {
public:
    explicit CGame(CountedHandle<CSceneRenderer> sceneRenderer);
    ~CGame();
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // The load sequence, the player chosen, and the splash: 1 on success;
    // on failure the last text of the services' errors says why (or it is
    // empty when the failing step only logged).
    int Init(plat::Window* mainWindow, void* programInstance);
    // One frame of `timeStep` seconds. A step of 0 only draws (with `draw`
    // set); `paused` skips the frame; otherwise the game advances and draws.
    void Frame(float timeStep, int draw, int paused);
    void SetFps(float value);

    // Input. A press and a release come with the point they were made at, in
    // back-buffer pixels; the game maps it onto its screen once.
    InputResult OnPress(plat::MouseButton button, int x, int y);
    InputResult OnRelease(plat::MouseButton button, int x, int y);
    InputResult OnKeyDown(int key);
    void OnKeyUp(int key);
    void OnCharacter(int character);
    // The window is going: the running quest is written to "Quest.sav".
    void SaveQuestOnExit();

    // ---- What the shell asks of the game ----
    // The display start-up made: full screen, and the adapter's level.
    void SetDisplay(int fullScreenOn, int level);
    bool IsFullScreen() const { return services.fullScreen != 0; }
    // Why the load sequence failed; empty when it only logged.
    const std::string& LastError() const;
    // F5 shows or hides the frame-rate text.
    void ToggleFpsText();
    // A minimised window holds the music and the sounds.
    void PauseAudio(bool paused);
    // The game's own cursor at the pointer (in back-buffer pixels), once
    // it can be drawn.
    void ShowCursorAt(int x, int y);
    // The display's gamma as it was before the game.
    void RestoreGamma();

    // ---- The three parts, let go of in the reverse order ----
    CGameServices services;
    CQuestState quest{services};
    CGameFlow flow{services, quest};

private:
    // A point in back-buffer pixels on the virtual screen; false without a
    // client area.
    bool MapPoint(int px, int py, float* x, float* y) const;
    // The cursor in virtual units, polled for hovering; the last one while
    // the window has no client area.
    void MapCursor();
    // The window's buttons show while the pointer is near the top.
    void UpdateWinBox();

    bool m_winBoxShown = false;
};
