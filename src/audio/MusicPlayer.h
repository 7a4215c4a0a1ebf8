// The music: one looped OGG track at a time, chosen by the game situation,
// faded out over a second before the next one, and lowered for a while when
// a loud sound effect asks for it (ducking).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CMusicPlayer {
public:
    // Track kinds.
    enum { Gameplay = 0, MainMenu = 1, Storyline = 2, BonusLevel = 3 };

    explicit CMusicPlayer(const std::string& musicFolder);
    ~CMusicPlayer();
    CMusicPlayer(const CMusicPlayer&) = delete;
    CMusicPlayer& operator=(const CMusicPlayer&) = delete;

    void PlayTrack(int kind);
    void SetEnabled(int on);
    void SetVolume(float value);
    void FadeTo(int kind);
    // Pause and resume all audio output, effects included.
    void Pause();
    void Resume();
    void Update(float elapsed);
    void Duck(float time, float factor);

    // The file of a track kind; a gameplay track advances the counter.
    std::string TrackFileName(int kind);
    // The volume handed to the audio output, 0..100.
    int EffectiveVolume(bool withDuck) const;

    std::string folder;
    uint32_t stream = 0;
    int32_t enabled = 1;
    float volume = 0.5f;
    int32_t playing = 0;
    int32_t paused = 0;
    int32_t gameplayCounter = -1;
    int32_t fading = 0;
    float fadeLevel = 1.0f;
    float fadeSpeed = 1.0f;
    int32_t nextKind = 0;
    std::vector<std::pair<float, float>> duckList; // {time left, volume factor}
    float duckFactor = 1.0f;

private:
    void ApplyVolume(bool withDuck);
    bool OpenTrack(const std::string& name);
    void StartLoop(const std::string& name, bool withDuck);
};
