// Drawing helpers shared by the menu-screen picture sets: lettering set with
// FreeType onto pictures (single lines and wrapped paragraphs), parchment and
// lacquered plates, rims, thick lines, and the seven token shapes that the
// help pages and the trophies show.
#pragma once

#include <string>
#include <vector>

#include "fonts.h"
#include "image.h"
#include "pictures.h"

namespace gfx::art {

// The screens' palette: the night and gold of the loading picture, with ink
// and parchment for the map and the printed pages.
extern const Color kIndigo, kNight, kDusk, kGold, kGoldLight, kGoldDark, kAmber, kTurquoise, kTeal, kInk, kSepia,
    kPaper, kPaperDark, kWhite, kWarmWhite;

// The outline fonts of fonts-dejavu-core, as full paths.
std::string Serif();
std::string SerifBold();
std::string Sans();
std::string SansBold();

enum class Align { Left, Center, Right };

int TextWidth(const std::string& ttf, int size, const std::string& text);
// One line whose box top is at y; x is its left, centre or right by `align`.
void DrawLine(Image& img, const std::string& ttf, int size, const std::string& text, float x, float y,
              const Color& c, Align align = Align::Left);
// Breaks `text` into lines no wider than `width`; "\n" forces a break.
std::vector<std::string> Wrap(const std::string& ttf, int size, const std::string& text, int width);
// Wrapped lines from y downwards, `step` apart; returns the y below the last.
float DrawParagraph(Image& img, const std::string& ttf, int size, const std::string& text, float x, float y,
                    int width, float step, const Color& c, Align align = Align::Left);
// A soft light of colour c behind the letters of `mask` placed at (ox, oy),
// blended so that it also reads on a transparent picture.
void GlowBehind(Image& img, const Image& mask, int ox, int oy, int radius, const Color& c, float strength);

// Aged paper over a rectangle: fibres, blotches and darker edges.
void Parchment(Image& img, int x0, int y0, int x1, int y1, uint32_t seed, float age);
// A rounded plate: `face` lit from the top, a gold rim `rim` wide with a
// bevel, and a soft shadow below it.
void Plate(Image& img, float x0, float y0, float x1, float y1, float radius, const Color& face, float rim);
// An anti-aliased ring between radii r0 and r1.
void Ring(Image& img, float cx, float cy, float r0, float r1, const Color& c, float k = 1.0f);
// An anti-aliased stroke from a to b.
void Stroke(Image& img, Pt a, Pt b, float width, const Color& c, float k = 1.0f);
// An anti-aliased filled polygon.
void FillPoly(Image& img, const std::vector<Pt>& poly, const Color& c, float k = 1.0f);
// Parallel lines `spacing` apart across a polygon, as an engraver shades:
// `angle` turns them from vertical, `weight` (texels) thickens them.
void Hatch(Image& img, const std::vector<Pt>& poly, float spacing, float angle, float weight, const Color& c,
           float k = 1.0f);
// The corners of a rectangle as a polygon.
std::vector<Pt> RectPoly(float x0, float y0, float x1, float y1);
// A filled disc with a lit top.
void Disc(Image& img, float cx, float cy, float r, const Color& c);

// Token colours in the game's order: green, yellow, red, blue, orange,
// white, violet, for what the menus tint by a token's colour. The tokens
// themselves are the caps' pictures, which the forms lay over the pages.
constexpr int kTokenColours = 7;
Color TokenColour(int colour);

// A faceted gem seen from above: the gems the levels ask for.
void Gem(Image& img, float cx, float cy, float r, const Color& c);
// The bonuses on a round plate of radius r: kind 0 gem, 1 TNT, 2 flash,
// 3 time, 4 adviser, 5 score, 6 solidarity.
void BonusIcon(Image& img, int kind, float cx, float cy, float r);
// A Power Totem of three carved blocks `s` high standing on (cx, by) with its
// two charge lamps lit; the token of its colour that crowns it is the
// caller's. The blocks' corner radius and gold rim suit the size drawn.
void Totem(Image& img, float cx, float by, float s, int colour, float corner = 12, float rim = 3);

// Copies a rectangle of one picture into another at (dx, dy).
void Paste(Image& dst, const Image& src, int sx, int sy, int w, int h, int dx, int dy);

} // namespace gfx::art
