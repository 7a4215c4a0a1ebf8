// The end-to-end scripts' eye: it reads what a player reads. It finds a
// control's rectangle in the installed form files by its id, finds the
// board's cells where the installed skin puts them, counts the colours of a
// screenshot, compares two, reads the board's tokens from a screenshot by
// their colours against the generated caps picture, lists the swaps that
// make a run, and reads what a quest save holds.
//
//   e2e_eye control <form.qof> <id> <client width> <client height> [n]
//   e2e_eye rect <form.qof> <id> <client width> <client height> [n]
//           (the id as a number or as the form's DEFINE names it; "key:n"
//           finds the control by its INTERRUPT key, "form" is the form's own
//           rectangle)
//   e2e_eye geometry <Data folder> <client width> <client height>
//           (the board's top-left corner and the side of a cell, in window
//           pixels: "x y side")
//   e2e_eye colours <png>
//   e2e_eye differ <png> <png>
//   e2e_eye board <png> <Data folder> <client width> <client height>
//   e2e_eye moves <board file>
//   e2e_eye savegrid <Quest.sav>
//   e2e_eye savebonuses <Quest.sav>    the tokens carrying a bonus (not a gem)
//   e2e_eye sameboard <board file> <Quest.sav>   the tokens without gem or bonus as saved
//   e2e_eye savelevel <Quest.sav>      level, resume kind, quest score, lives,
//                                      seconds left, the hint display's seconds,
//                                      stars
//   e2e_eye same <png> <png> <x> <y> <w> <h>
//   e2e_eye alike <png> <png> <x> <y> <w> <h> [percent]
//           (at most that share of the pixels there differ, 1 % by default:
//           sparkles drifting over a still screen)
//   e2e_eye gold <png> <x> <y> <w> <h>   the Golden Stars' gold pixels there
//   e2e_eye saveshop <Quest.sav>       level, resume kind, whole seconds
//           left, stars on hand, the sixteen item levels
//   e2e_eye mean <png> <x> <y> <w> <h> (the mean colour there: "r g b")
//   e2e_eye stars <png>                (the Accuracy stars over the board:
//           "x y" in window pixels per star, largest first)
//   e2e_eye plates <png> <Data folder> <client width> <client height>
//           (what lies on each board cell of a plate challenge, read
//           against the generated MemCaps pictures: 0..6 a token's picture,
//           7 the empty face, 8 a closed plate, -1 nothing steady)
//
// Window pixels: the 4:3 part of the client area shows a form's design
// screen (its SCREENWIDTH wide); the board's cells are where the installed
// skin puts them on the quest form's.
//
// A board file has a row of eight cells per line: a colour 0..6, its
// complement (~colour, negative) for a token with a gem, 100 for steel and
// 1000 for a cell that shows no token.
#include "platform/D3DX.h"
#include "records/QuestSave.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kColours = 8; // seven colours and steel, in the caps picture's order
constexpr int kSteel = 100, kEmpty = 1000;
constexpr int kWhite = 5;

struct Rect {
    float x = 0, y = 0, w = 0, h = 0;
};

// The design-screen rectangles of the controls with an id (or, for
// "key:n", with the INTERRUPT key n), in file order.
std::vector<Rect> FindControls(const std::string& file, const std::string& wanted)
{
    const bool byKey = wanted.rfind("key:", 0) == 0;
    std::string elementKey;
    std::ifstream in(file);
    std::map<std::string, std::string> defines;
    std::vector<Rect> found;
    Rect form, element;
    std::string word, elementId;
    int depth = 0;
    bool inElement = false, formPlaced = false, sized = false;
    while (in >> word) {
        if (word == "#" || word[0] == '#') {
            std::getline(in, word);
            continue;
        }
        if (word == "DEFINE" && depth == 0) {
            std::string name, value;
            in >> name >> value;
            defines[name] = value;
        } else if (word == "ELEMENT" && depth == 0) {
            std::string rest;
            std::getline(in, rest);
            std::istringstream line(rest);
            std::string kind, key;
            line >> kind >> key;
            elementId.clear();
            elementKey.clear();
            if (key == "ID")
                line >> elementId;
            inElement = true;
            element = Rect{};
            sized = false;
        } else if (word == "{") {
            ++depth;
        } else if (word == "}") {
            if (--depth == 0 && inElement) {
                inElement = false;
                const std::string id = defines.count(elementId) ? defines[elementId] : elementId;
                if (sized && (byKey ? elementKey == wanted.substr(4) : id == wanted || elementId == wanted))
                    found.push_back(Rect{form.x + element.x, form.y + element.y, element.w, element.h});
            }
        } else if (word == "POSITION") {
            float x = 0, y = 0, z = 0;
            in >> x >> y >> z;
            if (depth == 0 && !formPlaced) {
                form.x = x;
                form.y = y;
                formPlaced = true;
            } else if (inElement && depth == 1) {
                element.x = x;
                element.y = y;
            }
        } else if (word == "INTERRUPT" && inElement && depth == 1) {
            in >> elementKey;
        } else if (word == "SIZE" && inElement && depth == 1) {
            in >> element.w >> element.h;
            sized = true;
        } else if (word == "SIZE" && depth == 0 && !inElement) {
            in >> form.w >> form.h;
        }
    }
    if (wanted == "form")
        return {form};
    return found;
}

// The width of a form's design screen (its SCREENWIDTH); the design screen
// is 4:3.
float DesignWidth(const std::string& formFile)
{
    std::ifstream in(formFile);
    std::string word;
    while (in >> word)
        if (word == "SCREENWIDTH" && in >> word)
            return std::max(1.0f, std::strtof(word.c_str(), nullptr));
    return 1024.0f;
}

// Design pixels to window pixels of a client area.
struct Screen {
    float scale, offsetX;
    Screen(int width, int height, float designWidth = 1024.0f)
    {
        const float area =
            std::min(static_cast<float>(width), std::floor(height * designWidth / (designWidth * 0.75f) + 0.5f));
        scale = area / designWidth;
        offsetX = std::floor((static_cast<float>(width) - area) / 2.0f);
    }
    int X(float designX) const { return static_cast<int>(std::lround(offsetX + designX * scale)); }
    int Y(float designY) const { return static_cast<int>(std::lround(designY * scale)); }
};

// The board as the installed skin places it ("Coord" and "CellSize" of its
// [FieldQuest]) on the quest form's design screen, in window pixels.
struct BoardView {
    Screen screen{640, 480};
    float left = 0, top = 0, cell = 0; // design pixels
    int CentreX(float column) const { return screen.X(left + (column + 0.5f) * cell); }
    int CentreY(float row) const { return screen.Y(top + (row + 0.5f) * cell); }
};

bool LoadBoardView(const std::string& data, int width, int height, BoardView* view)
{
    std::ifstream in(data + "/Config/Skin.cfg");
    std::string line;
    bool inField = false, placed = false, sized = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inField = line.rfind("[FieldQuest]", 0) == 0;
            continue;
        }
        if (!inField)
            continue;
        std::istringstream value(line.substr(line.find('=') + 1));
        if (line.rfind("Coord=", 0) == 0)
            placed = static_cast<bool>(value >> view->left >> view->top);
        else if (line.rfind("CellSize=", 0) == 0)
            sized = static_cast<bool>(value >> view->cell) && view->cell > 0;
    }
    if (!placed || !sized) {
        std::cerr << "no board in " << data << "/Config/Skin.cfg\n";
        return false;
    }
    view->screen = Screen(width, height, DesignWidth(data + "/Forms/Quest.qof"));
    return true;
}

bool Load(const std::string& file, d3d::DecodedImage* image)
{
    if (d3d::DecodeImageFile(file, image))
        return true;
    std::cerr << "cannot read " << file << "\n";
    return false;
}

// A colour compared by hue where it is saturated, and by saturation and
// brightness: shading keeps a token's hue, so an orange in shadow stays
// nearer orange than red.
struct Mean {
    double r = 0, g = 0, b = 0;
    void Hsv(double* h, double* s, double* v) const
    {
        const double mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
        *v = mx / 255.0;
        *s = mx > 0 ? d / mx : 0.0;
        if (d <= 0) {
            *h = 0;
            return;
        }
        if (mx == r)
            *h = 60.0 * std::fmod((g - b) / d + 6.0, 6.0);
        else if (mx == g)
            *h = 60.0 * ((b - r) / d + 2.0);
        else
            *h = 60.0 * ((r - g) / d + 4.0);
    }
    double Distance(const Mean& o) const
    {
        double h1, s1, v1, h2, s2, v2;
        Hsv(&h1, &s1, &v1);
        o.Hsv(&h2, &s2, &v2);
        const double dh = std::min(std::fabs(h1 - h2), 360.0 - std::fabs(h1 - h2)) / 180.0;
        return dh * dh * 4.0 * std::min(s1, s2) + (s1 - s2) * (s1 - s2) + 0.5 * (v1 - v2) * (v1 - v2);
    }
};

// The mean colour of the square of side `side` centred at (cx, cy) (the
// pixel itself for side 1), over the pixels that are not (almost)
// transparent.
Mean MeanColour(const d3d::DecodedImage& image, int cx, int cy, int side)
{
    Mean m;
    double n = 0;
    const int from = side / 2, to = side - side / 2;
    for (int y = cy - from; y < cy + to; ++y)
        for (int x = cx - from; x < cx + to; ++x) {
            if (x < 0 || y < 0 || x >= static_cast<int>(image.width) || y >= static_cast<int>(image.height))
                continue;
            const uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + static_cast<size_t>(x)];
            if (image.hasAlpha && (p >> 24) < 128)
                continue;
            m.r += (p >> 16) & 0xFF;
            m.g += (p >> 8) & 0xFF;
            m.b += p & 0xFF;
            ++n;
        }
    if (n > 0) {
        m.r /= n;
        m.g /= n;
        m.b /= n;
    }
    return m;
}

// A gem on a token is a pale turquoise stone in its middle: the pixels of
// that tint, which no token's own colours have, near the centre.
bool GemTint(const Mean& m)
{
    double h, s, v;
    m.Hsv(&h, &s, &v);
    return h >= 165.0 && h <= 205.0 && s >= 0.12 && s <= 0.7 && v >= 0.8;
}

int GemCount(const d3d::DecodedImage& image, int cx, int cy, int cell)
{
    int n = 0;
    const int half = std::max(3, cell / 6);
    for (int y = cy - half - cell / 12; y < cy + half - cell / 12; ++y)
        for (int x = cx - half; x < cx + half; ++x)
            n += GemTint(MeanColour(image, x, y, 1)) ? 1 : 0;
    return n;
}

// Calls `visit` with the colour of every pixel within `radius` of (cx, cy).
template <typename Visit>
void ForDisc(const d3d::DecodedImage& image, int cx, int cy, int radius, Visit visit)
{
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius)
                visit(MeanColour(image, x, y, 1));
}

// The share of the pixels within `radius` of (cx, cy) that are bright and
// pale. A gem's stone and the halo over it light the middle of its token
// so; a plain token shows its own colour there (and the white one is pale
// throughout: its gem tells by the stone's turquoise).
double PaleShare(const d3d::DecodedImage& image, int cx, int cy, int radius)
{
    int pale = 0, all = 0;
    ForDisc(image, cx, cy, radius, [&](const Mean& m) {
        double h, s, v;
        m.Hsv(&h, &s, &v);
        pale += v > 0.8 && s < 0.35 ? 1 : 0;
        ++all;
    });
    return all > 0 ? static_cast<double>(pale) / all : 0.0;
}

// The mean hue of the strongly coloured pixels within `radius` of (cx, cy)
// (degrees), and in `count` how many there are.
double StrongHue(const d3d::DecodedImage& image, int cx, int cy, int radius, int* count)
{
    double sx = 0, sy = 0;
    *count = 0;
    ForDisc(image, cx, cy, radius, [&](const Mean& m) {
        double h, s, v;
        m.Hsv(&h, &s, &v);
        if (s <= 0.7 || v <= 0.3)
            return;
        sx += std::cos(h * M_PI / 180.0);
        sy += std::sin(h * M_PI / 180.0);
        ++*count;
    });
    return std::fmod(std::atan2(sy, sx) * 180.0 / M_PI + 360.0, 360.0);
}

// A gem's halo, a light of its own tint laid over the token, moves the hue
// its most strongly coloured pixels show, as the game draws them: green,
// yellow, red, blue, orange (white has none to show; violet keeps its own,
// given by the caps picture).
constexpr double kGemHue[7] = {136, 59, 355, 213, 43, -1, -1};

// The colour of a gem token: the gem hue nearest to the one its token
// shows, or `voted` where too few of its pixels are strongly coloured (the
// white token).
int GemColour(const d3d::DecodedImage& image, int cx, int cy, int cell, int voted, double violetHue)
{
    int count = 0;
    const double hue = StrongHue(image, cx, cy, cell * 11 / 25, &count);
    if (count < cell / 5)
        return voted;
    int best = voted;
    double nearest = 360.0;
    for (int c = 0; c < 7; ++c) {
        const double reference = c == 6 ? violetHue : kGemHue[c];
        if (reference < 0)
            continue;
        const double d = std::min(std::fabs(hue - reference), 360.0 - std::fabs(hue - reference));
        if (d < nearest) {
            nearest = d;
            best = c;
        }
    }
    return best;
}

int Board(const std::string& shot, const std::string& data, int width, int height)
{
    d3d::DecodedImage screen, atlas;
    BoardView view;
    if (!Load(shot, &screen) || !Load(data + "/Gfx/Caps.png", &atlas) ||
        !LoadBoardView(data, width, height, &view))
        return 1;
    const int cellSide = static_cast<int>(atlas.width / 4);
    std::array<Mean, kColours> references;
    for (int c = 0; c < kColours; ++c)
        references[static_cast<size_t>(c)] = MeanColour(atlas, (c % 4) * cellSide + cellSide / 2,
                                                        (c / 4) * cellSide + cellSide / 2, cellSide * 2 / 5);
    const int cell = static_cast<int>(view.cell * view.screen.scale);
    const int side = std::max(6, cell * 2 / 5);
    double violetHue, saturation, value;
    references[6].Hsv(&violetHue, &saturation, &value);
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const int cx = view.CentreX(static_cast<float>(column)), cy = view.CentreY(static_cast<float>(row));
            // Each pixel of the token's middle votes for the nearest of the
            // colours or of the board behind it (taken at the cell's corner);
            // a gem's stone does not vote (it is pale enough to pass for
            // white).
            const Mean back = MeanColour(screen, cx - cell / 2 + 4, cy - cell / 2 + 4, 4);
            std::array<int, kColours> votes{};
            for (int y = cy - side / 2; y < cy + side / 2; ++y)
                for (int x = cx - side / 2; x < cx + side / 2; ++x) {
                    const Mean p = MeanColour(screen, x, y, 1);
                    if (GemTint(p))
                        continue;
                    int best = -1;
                    double nearest = p.Distance(back);
                    for (int c = 0; c < kColours; ++c)
                        if (p.Distance(references[static_cast<size_t>(c)]) < nearest) {
                            nearest = p.Distance(references[static_cast<size_t>(c)]);
                            best = c;
                        }
                    if (best >= 0)
                        ++votes[static_cast<size_t>(best)];
                }
            int best = 0;
            for (int c = 1; c < kColours; ++c)
                if (votes[static_cast<size_t>(c)] > votes[static_cast<size_t>(best)])
                    best = c;
            int code = votes[static_cast<size_t>(best)] == 0 ? kEmpty : best == 7 ? kSteel : best;
            const bool gem =
                code < kSteel && ((code != kWhite && PaleShare(screen, cx, cy, cell * 7 / 50) >= 0.4) ||
                                  GemCount(screen, cx, cy, cell) >= cell / 8);
            // The halo's light takes votes from the token's own colour: a
            // gem's colour is read by its hue.
            if (gem)
                code = GemColour(screen, cx, cy, cell, code, violetHue);
            std::printf("%s%d", column ? " " : "", gem ? ~code : code);
        }
        std::printf("\n");
    }
    return 0;
}

// The swaps of neighbours that make a run of three of one colour (steel
// never runs), those that strike most gem tokens first, then the lowest.
int Moves(const std::string& file)
{
    std::ifstream in(file);
    int g[8][8];
    bool gem[8][8];
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            int v = 0;
            if (!(in >> v))
                return 1;
            gem[r][c] = v < 0;
            // Empty cells never match: each its own value.
            g[r][c] = v == kEmpty ? kEmpty + c + 8 * r : v < 0 ? ~v : v;
        }
    // The cells of the runs through (c, r), or none.
    auto run = [&](int c, int r, std::set<std::pair<int, int>>* cells) {
        const int v = g[r][c];
        if (v >= kSteel)
            return;
        int left = c, right = c, up = r, down = r;
        while (left > 0 && g[r][left - 1] == v)
            --left;
        while (right < 7 && g[r][right + 1] == v)
            ++right;
        while (up > 0 && g[up - 1][c] == v)
            --up;
        while (down < 7 && g[down + 1][c] == v)
            ++down;
        if (right - left >= 2)
            for (int x = left; x <= right; ++x)
                cells->insert({x, r});
        if (down - up >= 2)
            for (int y = up; y <= down; ++y)
                cells->insert({c, y});
    };
    struct Move {
        int c1, r1, c2, r2, gems;
    };
    std::vector<Move> moves;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            for (const auto& [dc, dr] : {std::pair{1, 0}, {0, 1}}) {
                const int c2 = c + dc, r2 = r + dr;
                if (c2 > 7 || r2 > 7 || g[r][c] == g[r2][c2])
                    continue;
                std::swap(g[r][c], g[r2][c2]);
                std::swap(gem[r][c], gem[r2][c2]);
                std::set<std::pair<int, int>> cells;
                run(c, r, &cells);
                run(c2, r2, &cells);
                int gems = 0;
                for (const auto& [x, y] : cells)
                    gems += gem[y][x] ? 1 : 0;
                if (!cells.empty())
                    moves.push_back({c, r, c2, r2, gems});
                std::swap(g[r][c], g[r2][c2]);
                std::swap(gem[r][c], gem[r2][c2]);
            }
    std::stable_sort(moves.begin(), moves.end(), [](const Move& a, const Move& b) {
        return a.gems != b.gems ? a.gems > b.gems : std::max(a.r1, a.r2) > std::max(b.r1, b.r2);
    });
    for (const Move& m : moves)
        std::printf("%d %d %d %d\n", m.c1, m.r1, m.c2, m.r2);
    return 0;
}

// The save's token codes (colour + 1, ~colour for a gem token, 1000 for an
// empty cell) as a board file's colours, gems unmarked.
int SaveGrid(const std::string& file)
{
    CQuestSave save;
    if (!save.Load(file) || save.resumeKind != 1)
        return 1;
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            const int32_t v = save.Cell(CQuestSave::TokenCodes, r, c);
            std::printf("%s%d", c ? " " : "", v == kEmpty ? kEmpty : v < 0 ? ~v : v - 1);
        }
        std::printf("\n");
    }
    return 0;
}

// The number of cells of a saved board whose token carries a bonus (not a
// gem).
int SaveBonuses(const std::string& file)
{
    CQuestSave save;
    if (!save.Load(file) || save.resumeKind != 1)
        return 1;
    int n = 0;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            n += save.Cell(CQuestSave::BonusKinds, r, c) > 1 ? 1 : 0;
    std::printf("%d\n", n);
    return 0;
}

// The stars of the Accuracy challenge: their pink glow, lit over the board,
// in blobs the size of a star (the sparkles of their trails are far
// smaller); the centre of each, biggest first.
int Stars(const std::string& file)
{
    d3d::DecodedImage image;
    if (!Load(file, &image))
        return 1;
    const int w = static_cast<int>(image.width), h = static_cast<int>(image.height);
    auto lit = [&](int x, int y) {
        const uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + static_cast<size_t>(x)];
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return r > 180 && b > 140 && r - g > 40;
    };
    std::vector<char> seen(image.pixels.size(), 0);
    struct Blob {
        long n, sx, sy;
    };
    std::vector<Blob> blobs;
    std::vector<std::pair<int, int>> stack;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (seen[static_cast<size_t>(y * w + x)] || !lit(x, y))
                continue;
            Blob blob{0, 0, 0};
            stack.assign(1, {x, y});
            seen[static_cast<size_t>(y * w + x)] = 1;
            while (!stack.empty()) {
                const auto [px, py] = stack.back();
                stack.pop_back();
                ++blob.n;
                blob.sx += px;
                blob.sy += py;
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = px + dx, ny = py + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || seen[static_cast<size_t>(ny * w + nx)] ||
                        !lit(nx, ny))
                        continue;
                    seen[static_cast<size_t>(ny * w + nx)] = 1;
                    stack.push_back({nx, ny});
                }
            }
            if (blob.n >= 40)
                blobs.push_back(blob);
        }
    std::sort(blobs.begin(), blobs.end(), [](const Blob& a, const Blob& b) { return a.n > b.n; });
    for (const Blob& b : blobs)
        std::printf("%ld %ld\n", b.sx / b.n, b.sy / b.n);
    return 0;
}

// A tile's look: the mean colours of a 4 x 4 grid of blocks over the middle
// half of its square.
using TileLook = std::array<Mean, 16>;

TileLook LookAt(const d3d::DecodedImage& image, float cx, float cy, float side)
{
    TileLook look;
    const float block = side / 8.0f; // the middle half in four blocks a side
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            look[static_cast<size_t>(j * 4 + i)] = MeanColour(
                image, static_cast<int>(std::lround(cx + (i - 1.5f) * block)),
                static_cast<int>(std::lround(cy + (j - 1.5f) * block)), std::max(1, static_cast<int>(block)));
    return look;
}

double Difference(const TileLook& a, const TileLook& b)
{
    double d = 0;
    for (size_t i = 0; i < a.size(); ++i)
        d += (a[i].r - b[i].r) * (a[i].r - b[i].r) + (a[i].g - b[i].g) * (a[i].g - b[i].g) +
             (a[i].b - b[i].b) * (a[i].b - b[i].b);
    return std::sqrt(d / static_cast<double>(a.size()));
}

// The plates on the board's cells. The MemCaps pictures hold three kinds
// each, a kind to a row of 128-pixel cells from the bottom up, its frames
// left to right: kinds 0..6 the tokens and 7 the empty face open in their
// third frame, 8 the plate closed in its first. A cell shows the kind it
// looks most like, or nothing when it is like none (empty, or turning).
int Plates(const std::string& shot, const std::string& data, int width, int height)
{
    d3d::DecodedImage screen, atlases[3];
    BoardView view;
    if (!Load(shot, &screen) || !LoadBoardView(data, width, height, &view))
        return 1;
    for (int a = 0; a < 3; ++a)
        if (!Load(data + "/Gfx/MemCaps" + std::to_string(a + 1) + ".tga", &atlases[a]))
            return 1;
    constexpr int kKinds = 9, kPlateKind = 8, kAtlasCell = 128;
    std::array<TileLook, kKinds> references;
    for (int k = 0; k < kKinds; ++k) {
        const d3d::DecodedImage& atlas = atlases[k / 3];
        const int column = k == kPlateKind ? 0 : 2, row = k % 3;
        references[static_cast<size_t>(k)] = LookAt(atlas, column * kAtlasCell + kAtlasCell / 2.0f,
                                                    row * kAtlasCell + kAtlasCell / 2.0f, kAtlasCell);
    }
    // A plate's square is a little more than a cell (84 units to 80).
    const float side = view.cell * 1.05f * view.screen.scale;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const TileLook look = LookAt(screen, static_cast<float>(view.CentreX(static_cast<float>(column))),
                                         static_cast<float>(view.CentreY(static_cast<float>(row))), side);
            int best = -1;
            double nearest = 55.0; // a mean difference of more is no tile
            for (int k = 0; k < kKinds; ++k) {
                const double d = Difference(look, references[static_cast<size_t>(k)]);
                if (d < nearest) {
                    nearest = d;
                    best = k;
                }
            }
            std::printf("%s%d", column ? " " : "", best);
        }
        std::printf("\n");
    }
    return 0;
}

// Whether a board file shows the save's tokens. Tokens with a gem or a
// bonus are left out: their glow and their bonus's picture lie over them
// and lighten or hide their colour.
int SameBoard(const std::string& boardFile, const std::string& saveFile)
{
    CQuestSave save;
    std::ifstream in(boardFile);
    if (!save.Load(saveFile) || save.resumeKind != 1)
        return 1;
    int differ = 0;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            int read = 0;
            if (!(in >> read))
                return 1;
            const int32_t v = save.Cell(CQuestSave::TokenCodes, r, c);
            if (v < 0 || save.Cell(CQuestSave::BonusKinds, r, c) != 0)
                continue;
            const int saved = v == kEmpty ? kEmpty : v - 1;
            const int shown = read < 0 ? ~read : read;
            if (shown != saved) {
                std::fprintf(stderr, "cell %d,%d shows %d, the save holds %d\n", c, r, shown, saved);
                ++differ;
            }
        }
    return differ == 0 ? 0 : 1;
}

// The share of the pixels of a rectangle that two pictures show otherwise
// (1 when their sizes differ).
double DifferingShare(const d3d::DecodedImage& a, const d3d::DecodedImage& b, int x0, int y0, int w, int h)
{
    if (a.width != b.width || a.height != b.height)
        return 1.0;
    long differ = 0, all = 0;
    for (int y = std::max(0, y0); y < std::min(y0 + h, static_cast<int>(a.height)); ++y)
        for (int x = std::max(0, x0); x < std::min(x0 + w, static_cast<int>(a.width)); ++x) {
            const size_t i = static_cast<size_t>(y) * a.width + static_cast<size_t>(x);
            differ += a.pixels[i] != b.pixels[i] ? 1 : 0;
            ++all;
        }
    return all > 0 ? static_cast<double>(differ) / static_cast<double>(all) : 0.0;
}

// Whether two pictures are the same in a rectangle.
bool SameRegion(const d3d::DecodedImage& a, const d3d::DecodedImage& b, int x0, int y0, int w, int h)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int y = std::max(0, y0); y < std::min(y0 + h, static_cast<int>(a.height)); ++y)
        for (int x = std::max(0, x0); x < std::min(x0 + w, static_cast<int>(a.width)); ++x) {
            const size_t i = static_cast<size_t>(y) * a.width + static_cast<size_t>(x);
            if (a.pixels[i] != b.pixels[i])
                return false;
        }
    return true;
}

// The pixels of a Golden Star's gold in a rectangle: bright, warm and
// strongly yellow, which the shop's dark cards and panel never are.
int GoldPixels(const d3d::DecodedImage& image, int x0, int y0, int w, int h)
{
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(y0 + h, static_cast<int>(image.height)); ++y)
        for (int x = std::max(0, x0); x < std::min(x0 + w, static_cast<int>(image.width)); ++x) {
            const uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + static_cast<size_t>(x)];
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            n += r >= 200 && g >= 140 && b <= 130 && r - b >= 110 ? 1 : 0;
        }
    return n;
}

size_t Colours(const d3d::DecodedImage& image)
{
    std::set<uint32_t> seen(image.pixels.begin(), image.pixels.end());
    return seen.size();
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() >= 5 && (a[0] == "control" || a[0] == "rect")) {
        const std::vector<Rect> found = FindControls(a[1], a[2]);
        const size_t n = a.size() > 5 ? std::strtoul(a[5].c_str(), nullptr, 10) : 0;
        if (n >= found.size()) {
            std::cerr << "no control " << a[2] << " in " << a[1] << "\n";
            return 1;
        }
        const Screen s(std::atoi(a[3].c_str()), std::atoi(a[4].c_str()), DesignWidth(a[1]));
        const Rect& r = found[n];
        if (a[0] == "rect")
            std::printf("%d %d %d %d\n", s.X(r.x), s.Y(r.y), s.X(r.x + r.w) - s.X(r.x), s.Y(r.y + r.h) - s.Y(r.y));
        else
            std::printf("%d %d\n", s.X(r.x + r.w / 2), s.Y(r.y + r.h / 2));
        return 0;
    }
    d3d::DecodedImage first, second;
    if (a.size() == 2 && a[0] == "colours" && Load(a[1], &first)) {
        std::printf("%zu\n", Colours(first));
        return 0;
    }
    if (a.size() == 3 && a[0] == "differ" && Load(a[1], &first) && Load(a[2], &second))
        return first.pixels != second.pixels ? 0 : 1;
    if (a.size() == 5 && a[0] == "board")
        return Board(a[1], a[2], std::atoi(a[3].c_str()), std::atoi(a[4].c_str()));
    if (a.size() == 4 && a[0] == "geometry") {
        BoardView view;
        if (!LoadBoardView(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()), &view))
            return 1;
        const Screen& s = view.screen;
        std::printf("%g %g %g\n", static_cast<double>(s.offsetX + view.left * s.scale),
                    static_cast<double>(view.top * s.scale), static_cast<double>(view.cell * s.scale));
        return 0;
    }
    if (a.size() == 2 && a[0] == "moves")
        return Moves(a[1]);
    if (a.size() == 2 && a[0] == "savegrid")
        return SaveGrid(a[1]);
    if (a.size() == 2 && a[0] == "savebonuses")
        return SaveBonuses(a[1]);
    if (a.size() == 3 && a[0] == "sameboard")
        return SameBoard(a[1], a[2]);
    if (a.size() == 2 && a[0] == "savelevel") {
        CQuestSave save;
        if (!save.Load(a[1]))
            return 1;
        std::printf("%d %d %d %d %.2f %.2f %d\n", save.level, save.resumeKind, save.stats.tables[1].Get(StatScore),
                    save.lives, static_cast<double>(save.timeLeft), static_cast<double>(save.hintTimeLeft),
                    save.stars);
        return 0;
    }
    if (a.size() == 6 && a[0] == "gold" && Load(a[1], &first)) {
        std::printf("%d\n", GoldPixels(first, std::atoi(a[2].c_str()), std::atoi(a[3].c_str()),
                                       std::atoi(a[4].c_str()), std::atoi(a[5].c_str())));
        return 0;
    }
    if (a.size() == 2 && a[0] == "saveshop") {
        CQuestSave save;
        if (!save.Load(a[1]))
            return 1;
        std::printf("%d %d %d %d", save.level, save.resumeKind, static_cast<int>(save.timeLeft), save.stars);
        for (int32_t level : save.itemLevels)
            std::printf(" %d", level);
        std::printf("\n");
        return 0;
    }
    if (a.size() == 6 && a[0] == "mean" && Load(a[1], &first)) {
        const int w = std::atoi(a[4].c_str()), h = std::atoi(a[5].c_str());
        const Mean m =
            MeanColour(first, std::atoi(a[2].c_str()) + w / 2, std::atoi(a[3].c_str()) + h / 2, std::min(w, h));
        std::printf("%d %d %d\n", static_cast<int>(m.r), static_cast<int>(m.g), static_cast<int>(m.b));
        return 0;
    }
    if (a.size() == 5 && a[0] == "plates")
        return Plates(a[1], a[2], std::atoi(a[3].c_str()), std::atoi(a[4].c_str()));
    if (a.size() == 2 && a[0] == "stars")
        return Stars(a[1]);
    if ((a.size() == 7 || a.size() == 8) && a[0] == "alike" && Load(a[1], &first) && Load(a[2], &second))
        return DifferingShare(first, second, std::atoi(a[3].c_str()), std::atoi(a[4].c_str()),
                              std::atoi(a[5].c_str()), std::atoi(a[6].c_str())) *
                           100.0 <=
                       (a.size() == 8 ? std::strtod(a[7].c_str(), nullptr) : 1.0)
                   ? 0
                   : 1;
    if (a.size() == 7 && a[0] == "same" && Load(a[1], &first) && Load(a[2], &second))
        return SameRegion(first, second, std::atoi(a[3].c_str()), std::atoi(a[4].c_str()), std::atoi(a[5].c_str()),
                          std::atoi(a[6].c_str()))
                   ? 0
                   : 1;
    std::cerr << "usage: e2e_eye "
                 "control|rect|geometry|colours|differ|board|moves|savegrid|savebonuses|sameboard|savelevel|same|"
                 "alike|mean|"
                 "stars|plates|gold|saveshop ...\n";
    return 2;
}
