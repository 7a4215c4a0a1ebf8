// The game object's life cycle and the small queries and steps the rest of
// the flow shares: readiness for input, the tutorial's swap rule, the blink
// timers, the frame-rate text, the right button, sounds and flares.
#include "game/Game.h"

#include "game/Lessons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

CGame::CGame(CountedHandle<CSceneRenderer> sceneRenderer)
{
    renderer = std::move(sceneRenderer);
    if (renderer)
        device = renderer->device;
    questSave = MakeCountedHandle(new CQuestSave());
    delays.ReadFrom(paths);
}

// The members go in the reverse order of their declaration: the trophies
// first, the render device last of all handles.
CGame::~CGame() = default;

void CGame::SetFps(float value)
{
    fps = value;
    if (fpsShown && fpsText) {
        char text[64];
        std::snprintf(text, sizeof text, "FPS: %.2f", static_cast<double>(value));
        fpsText->SetText(text);
    }
}

void CGame::OnKeyUp(int) {}

void CGame::OnCharacter(int character)
{
    if (screens)
        screens->OnNameChar(character);
}

// The right button lets go of the picked token.
void CGame::LetGoOfThePick()
{
    if (mode != kModePlaying || phase != kPhasePlay || !board || board->Status().locked ||
        board->CurrentLesson().lesson != Lesson::None)
        return;
    if (board->Picked()) {
        board->LetGo();
        dragging = false;
    }
}

void CGame::SetDisplay(int fullScreenOn, int level)
{
    fullScreen = fullScreenOn;
    hardwareLevel = level;
}

const std::string& CGame::LastError() const
{
    static const std::string kNone;
    return errors.empty() ? kNone : errors.back();
}

void CGame::ToggleFpsText()
{
    fpsShown = !fpsShown;
    if (fpsText)
        fpsText->visible = fpsShown;
}

void CGame::PauseAudio(bool paused)
{
    if (!music)
        return;
    if (paused)
        music->Pause();
    else
        music->Resume();
}

void CGame::ShowCursorAt(int x, int y)
{
    d3d::IDirect3DDevice8* d = device ? device->Device() : nullptr;
    if (!d)
        return;
    d->ShowCursor(cursorReady);
    if (cursorReady)
        d->SetCursorPosition(x, y, d3d::D3DCURSOR_IMMEDIATE_UPDATE);
}

void CGame::RestoreGamma()
{
    if (renderer)
        renderer->RestoreGammaRamp();
}

bool CGame::LessonHoldsPresses() const
{
    const LessonState lesson = board->CurrentLesson();
    return IsTimedLesson(lesson.lesson) && lesson.seconds < delays.tutorialTime;
}

void CGame::EnterPhase10()
{
    modeTimer = 0.0f;
    phase = kPhaseLevelStart;
    subState = 0;
}

bool CGame::SwitchBackgroundForStage(int oldLevel, int newLevel)
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

bool CGame::IsReadyForInput() const
{
    const BoardStatus status = board->Status();
    if (phase == kPhasePlay)
        return status.inPlay;
    if (phase != kPhaseBonusLevel || status.locked)
        return false;
    switch (challenge) {
    case kMemory:
        return memoryChallenge && memoryChallenge->IsWaitingForPlayer();
    case kAccuracy:
        return accuracyChallenge && accuracyChallenge->IsWaitingForPlayer();
    case kAttention:
        return attentionChallenge && attentionChallenge->IsWaitingForPlayer();
    case kReaction:
        return reactionChallenge && reactionChallenge->IsWaitingForPlayer();
    default:
        return false;
    }
}

bool CGame::IsPlayIdle() const
{
    return mode == kModePlaying && phase == kPhasePlay && board->Status().inPlay && board->IsIdle() &&
           !board->SandInFlight();
}

bool CGame::IsActionAllowedInTutorial(int column, int row) const
{
    const LessonState lesson = board->CurrentLesson();
    if (lesson.lesson == Lesson::None || !gameOptions.capsLockTutorial)
        return true;
    return LessonAllowsSwap(lesson, column, row);
}

// Each blink timer turns its check box over twice a second.
void CGame::AdvanceBlinkA(float dt)
{
    blinkTimerA += dt;
    if (gameType == 0 && screens->quest.hintHighlight)
        static_cast<CQoCheckbox*>(screens->quest.hintHighlight.Get())
            ->SetChecked(static_cast<int>(std::floor(blinkTimerA * 2.0f)) % 2 != 0);
}

void CGame::AdvanceBlinkB(float dt)
{
    blinkTimerB += dt;
    if (gameType == 0 && screens->quest.warningLamp)
        static_cast<CQoCheckbox*>(screens->quest.warningLamp.Get())
            ->SetChecked(static_cast<int>(std::floor(blinkTimerB * 2.0f)) % 2 != 0);
}

void CGame::Play(FlowSound sound)
{
    if (sounds)
        sounds->Play(sounds->Sample(FlowSoundFile(sound)), 0, 0);
}

void CGame::PlayAt(FlowSound sound, float x)
{
    if (sounds)
        sounds->PlayPanned(sounds->Sample(FlowSoundFile(sound)), x, 0, 0);
}

// The flow's flares burn over the forms, without flicker.
void CGame::AddFlare(float x, float y, float z, float width, float height, float fadeIn, float fadeOutStart,
                     float fadeOut, float scaleTarget, float scaleSpeed)
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
