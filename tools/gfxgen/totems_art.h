// The power totems' pieces, drawn at any size into a rectangle: the carved
// body of each colour at its three looks (plain stone, banded, gilded), its
// wings and crest, and the pieces its power works with (green's hanging
// gem, blue's helm, yellow's nugget). One colour, one carved shape: the
// token's own emblem, and a hue that reads at 48 pixels. The same drawing
// makes the play and shop atlases, the small totems, the shadows and the
// shop's item pictures.
#pragma once

#include <vector>

#include "image.h"

namespace gfx::totems {

// Token colours: green, yellow, red, blue, orange, white, violet.
constexpr int kColours = 7;

// Looks: plain carved stone (levels 1-2), banded with metal (level 3),
// gilded (level 4).
enum Look { kPlain, kBanded, kGilded };

struct Rect {
    float x, y, w, h;
};

// Lighting of a drawing: the play pictures, or the shop's brighter
// showcase light with a warm rim.
struct Light {
    float gain = 1.0f;
    float rim = 0.0f;
};

// The body: head, torso and plinth in a 1:2 rectangle. Blue's helm is
// drawn only with `helm`; green's gilded and banded bodies have a window in
// the chest for the hanging gem.
void DrawBody(Image& img, const Rect& r, int colour, Look look, const Light& light, bool helm = true);
// The left wing; `mirror` draws the right one.
void DrawWing(Image& img, const Rect& r, int colour, Look look, const Light& light, bool mirror = false);
// The crest over the head (banded and gilded looks).
void DrawCrest(Image& img, const Rect& r, int colour, Look look, const Light& light);
// Green's gem in its window, with or without the chain it hangs on.
void DrawHangingGem(Image& img, const Rect& r, bool chain, const Light& light);
// Yellow's gold nugget.
void DrawNugget(Image& img, const Rect& r, const Light& light);
// Blue's steel spike over the helm (levels 1-2).
void DrawSpike(Image& img, const Rect& r, const Light& light);
// Blue's shield emblem, for the shield pulses.
void DrawShield(Image& img, const Rect& r);
// Blue's steel helm alone, as its pieces break apart.
void DrawHelm(Image& img, const Rect& r);

// The whole totem of a colour and level (1-4) with its frame of `size`
// pixels centred at (cx, cy), as the game lays its pieces out. `sx` and `sy`
// squeeze it (the small totems).
void DrawTotem(Image& img, int colour, int level, float cx, float cy, float size, const Light& light,
               float sx = 1.0f, float sy = 1.0f, bool chain = true);

// Where the pieces of a totem stand in its frame, in pixels of a 224-pixel
// frame (y down); "Totems.cfg" quotes the same numbers.
Rect BodyPlace();
Rect HelmPlace(); // blue: the helm is the body's top 27 pixels
Rect WingPlace(bool right);
Rect CrestPlace();
Rect SpikePlace();
Rect GemPlace();
Rect NuggetPlace(int level);

// The paint channel down the white totem's front: its middle line in the
// body's 100 x 200 frame.
std::vector<Pt> PaintChannel(int level);

// The colour of a colour's light (lamps, glows).
Color LampColour(int colour);

} // namespace gfx::totems
