// "Score.cfg": the looks and timing of the floating popups, the combo
// thresholds, and the Golden Star and life-lost awards. The file is written
// in pixels of a 1024 x 768 screen, y down: positions become x - 512.5 and
// 384.5 - y, speeds and shifts have their y negated. A missing file or key
// gives the defaults; a value that is not a finite number reads as its
// default, and so does a time that divides but is not above 0.
#pragma once

#include "engine/Settings.h"
#include "engine/VectorMath.h"

#include <cstdint>
#include <string>
#include <vector>

// The look of one popup kind, one section of the file. Each kind reads the
// keys its section has; the others keep these defaults.
struct PopupLook {
    float minSize = 1.0f;
    float sizeStep = 0.1f; // "SizeInc"
    float swellFactor = 1.5f;
    float swellTime = 0.25f;
    float bloomTime = 0.3f;
    float lifeTime = 0.75f;
    float fadeTime = 0.5f;
    float pulseDepth = 0.0f;   // "PulsR"
    float pulseSpeed = kTwoPi; // 2 pi / "PulsT"
    Vec2 speed{0.0f, 0.0f};    // units per second, y up
    uint32_t color = 0xffffa050;
    bool shadow = false;
    Vec2 shadowShift{2.0f, -2.0f};
    uint32_t shadowColor = 0x80000000;
};

// The process-wide record of the popups' looks and the combo thresholds.
class CScoreMessageSettings {
public:
    static constexpr int kMaxMessageColors = 64;
    // The colour of a style number past the table, with no table at all.
    static constexpr uint32_t kFallbackMessageColor = 0xffa0a0ff;

    CScoreMessageSettings();

    // Sections "Shared", "Score", "Message", "Multiplier" and the popup keys
    // of "Loss".
    void Load(const std::string& file);
    // Back to the defaults, the message colour table empty.
    void Clear();

    // A style past the table takes its last colour; an empty table a pale
    // blue.
    uint32_t MessageColor(int style) const;
    // The combo count that shows message 1 .. 4 for a level of this many
    // colours (5 also serves fewer, 7 more).
    int ComboThreshold(int colours, int which) const;

    float z = 0.0f;
    int combo[3][4];
    PopupLook score;      // kind 0, numbers
    PopupLook message;    // kind 1, messages
    PopupLook multiplier; // kind 2, points times tokens
    PopupLook caption;    // kind 3, the two-line captions of section "Loss"
    std::vector<uint32_t> messageColors;
};

CScoreMessageSettings& ScoreMessageSettings();
void LoadScoreMessageSettings(const std::string& file);

// A combo message: which of the four, its text and how it is shown.
struct ComboMessage {
    int message = 0; // 1 "GOOD" .. 4 "INCREDIBLE"; 0: the combo shows nothing
    std::string text;
    float scale = 0.0f;
    int style = 0;
};

// What the game shows when a cascade of `combo` matches ends in a level of
// `colours` token colours: the highest message whose threshold the count
// reaches, with the count after it ("GOOD\nCOMBO x4").
ComboMessage ChooseComboMessage(const CScoreMessageSettings& settings, int colours, int combo);

// Section "Star": the Golden Star award. Constructed with the defaults, as
// read from no file.
struct CStarAwardSettings {
    static constexpr int kMaxGlowOrigins = 64;
    static constexpr float kMaxIntensity = 2000.0f;

    CStarAwardSettings();
    void Load(const std::string& file, const char* section);

    Vec3 baseLeft;        // the left end of the line of panel glows
    float elementLength;  // the line is elementLength x count long
    int count;            // glow origins on the line
    uint32_t radialColor; // the glow that spreads out
    float radialSize;
    float radialIntensity; // particles per second over the whole line
    uint32_t upColor;      // the glow that rises
    float upSize;
    float upIntensity;
    int zOrder; // of the star; the ring goes one below
    Vec3 from;  // where the star's flight starts and ends
    Vec3 to;
    float preTime; // the wait before the flight, then the phases' lengths
    float flyTime;
    float ringTime;
    float postTime;
    float flyOutTime;
    Vec3 notePos; // of "You've got the Star!!!"
    uint32_t ringColor;
};

// Section "Loss", the award's keys: the life-lost animation. Constructed
// with the defaults.
struct CLifeLostSettings {
    CLifeLostSettings();
    void Load(const std::string& file, const char* section);

    Vec3 from; // where the heart flies from and to
    Vec3 to;
    Vec2 fromSize;
    Vec2 toSize;
    Vec4 heartRect;     // u0, v0, u1, v1 of the heart in its texture
    float flyTime;      // the flight
    float waitTime;     // the hold at the end point before the heart breaks
    float postTime;     // from the break to the end
    uint32_t tailColor; // the sparks of the trail and of the burst
    int zOrder;
    Vec3 notePos; // of the caption "Life lost"
};
