// The five front pages of the town's newspaper that follow the expedition:
// one as each of stages 2 to 5 begins, the fifth for the homecoming. Each is
// a 1024 x 1024 page of aged newsprint with a masthead, a headline, an
// engraving and three columns of text.
#include <cmath>

#include "output.h"
#include "screens_art.h"

using namespace gfx;
using namespace gfx::art;

namespace {

const float kPi = 3.14159265f;
const Color kPrint = Rgb(34, 26, 22);

struct Page {
    const char* issue;
    const char* headline;
    const char* subhead;
    const char* caption;
    const char* body;
    const char* notice; // the small notice boxed at the foot of the page
};

const Page kPages[] = {
    {"No. 4117", "EXPEDITION ENTERS THE GREEN DEEP", "Apprentice and professor follow a chart a century old",
     "The expedition's cart at the edge of the forest.",
     "The museum's expedition left the paved road on Tuesday and entered the forest the old charts call the Green "
     "Deep. Professor Odile Marrow, keeper of antiquities, leads the party together with the museum's apprentice, "
     "who found the chart in a cellar crate last month.\nThe chart bears the crest of the Galvorine, the great "
     "gem "
     "that once stood on the museum's empty pedestal. Old families say the desert winds were gentle while it "
     "stood there. \"We are not chasing a legend,\" the professor told this paper before leaving. \"We are "
     "returning a loan.\"\nThe council has lent the party two camels and a cart. Readers who wish to send letters "
     "may leave them at the museum door.",
     "SAND-PROOF LANTERNS - Brindle & Daughters, Harbour Street. Ask for the blue wick."},
    {"No. 4131", "THE VALLEY OF ECHOES CROSSED", "A letter from the canyon tells of carvings and red sand",
     "A rope bridge over the narrows, drawn by the professor.",
     "A letter carried by a spice caravan reached the museum yesterday. The expedition has left the forest behind "
     "and crossed the canyon known on old charts as the Valley of Echoes.\nThe apprentice writes of a rope bridge "
     "over the narrows, of a camp buried in red sand and of carvings that show a procession carrying a shining "
     "stone. \"Every word we speak comes back to us twice,\" the letter says, \"and sometimes a word we did not "
     "speak at all.\"\nThe storm season has begun early this year. The harbour master advises boats to stay in "
     "port after noon.",
     "LOST: one straw hat, river road, reward in figs. Apply at the museum door."},
    {"No. 4150", "A TEMPLE IN THE DUNES", "Sealed door with seven locks found beyond the canyon",
     "The stepped temple as the expedition first saw it.",
     "Beyond the Valley of Echoes, where the dunes begin, the expedition has found a stepped temple whose great "
     "door "
     "is shut by seven locks. Each lock is shaped like one of the coloured stones of an old game still played in "
     "the town's tea houses.\nProfessor Marrow believes the door guards the way to the treasury named on the "
     "chart. The apprentice reports that the door hums at night and that a turquoise light shows through its "
     "cracks.\nThe museum has asked the public not to travel to the dunes. \"The locks are patient,\" writes the "
     "professor, \"and so must we be.\"",
     "TEA HOUSE CONTESTS every evening. Seven colours, eight rows, no cheating."},
    {"No. 4172", "THE SEALED DOOR IS OPEN", "The town holds its breath as the party goes below",
     "The stair behind the seventh lock.",
     "The seventh lock has turned. A runner from the dunes brought the news at dawn: the Sealed Door stands open "
     "and a stair leads down into halls that shine with gold.\nThe expedition has gone below. Before descending, "
     "the professor sent a last note: \"The sand here falls upward. We shall not be long.\"\nIn town the storms "
     "have grown fierce, and the market closed early three days running. Crowds gather each evening at the "
     "museum steps, where the empty pedestal has been polished and a lamp is kept burning.",
     "STORM SHUTTERS fitted while you wait. Oskar Fenn, joiner, by the well."},
    {"No. 4180", "THE GALVORINE COMES HOME!", "The storms fall still as the gem returns to its pedestal",
     "The Galvorine on its pedestal, seen from the museum steps.",
     "The Galvorine is home. At sunset yesterday the museum's expedition came through the town gate, tired, "
     "sunburnt "
     "and cheered by every window, and the gem was set upon its pedestal before a crowd that filled the square.\n"
     "Within the hour the wind dropped. By midnight the sky over the harbour was clear for the first time this "
     "season. Professor Odile Marrow thanked the apprentice \"who matched every stone and never once gave up\" "
     "and "
     "announced that the museum will open its doors free of charge for a week.\nThe council has declared a "
     "holiday. "
     "Tea houses report record games.",
     "HOLIDAY! The museum is open free of charge all week. Lemonade on the steps."},
};

const Color kBlank = Rgb(238, 222, 186);

// An engraved shape: cleared to the paper so that nearer shapes hide farther
// ones, shaded with parallel lines and outlined.
void Engrave(Image& img, const std::vector<Pt>& shape, float spacing, float angle, float weight)
{
    FillPoly(img, shape, kBlank);
    Hatch(img, shape, spacing, angle, weight, kPrint);
    for (size_t i = 0, j = shape.size() - 1; i < shape.size(); j = i++)
        Stroke(img, shape[j], shape[i], 1.4f, kPrint, 0.9f);
}

// Five engravings, drawn into the box (x0, y0)-(x0 + w, y0 + h).
void Engraving(Image& img, int page, float x0, float y0, float w, float h)
{
    const float gy = y0 + h * 0.72f; // horizon
    img.RoundRect(x0, y0, x0 + w, y0 + h, 0, kBlank);
    // Sky: fine horizontal lines that thin out towards the horizon.
    for (float ly = y0 + 4; ly < gy; ly += 6) {
        const float k = 0.75f * (1 - (ly - y0) / (gy - y0));
        Stroke(img, {x0 + 2, ly}, {x0 + w - 2, ly}, 1.0f, kPrint, k);
    }
    img.Glow(x0 + w * 0.8f, y0 + h * 0.22f, 40, kBlank, 1.0f, 0.6f, false);
    Ring(img, x0 + w * 0.8f, y0 + h * 0.22f, 22, 23.5f, kPrint);
    Engrave(img, RectPoly(x0, gy, x0 + w, y0 + h), 5, 0.3f, 0.9f);
    Rng rng(static_cast<uint64_t>(90 + page));
    switch (page) {
    case 0: // the cart at the forest's edge
        for (int i = 0; i < 16; ++i) {
            const float x = x0 + 20 + (w - 40) * i / 15.0f + rng.Range(-12, 12);
            if (x > x0 + w * 0.3f && x < x0 + w * 0.62f)
                continue; // the clearing where the cart stands
            const float r = rng.Range(26, 46), y = gy - r * rng.Range(1.2f, 2.0f);
            Engrave(img, {{x - 4, y}, {x + 4, y}, {x + 5, gy}, {x - 5, gy}}, 2.5f, 1.57f, 1.2f);
            std::vector<Pt> crown;
            for (int k = 0; k < 18; ++k) {
                const float a = 2 * kPi * k / 18, rr = r * (0.82f + 0.18f * std::sin(k * 2.3f + i));
                crown.push_back({x + rr * std::cos(a), y + 0.8f * rr * std::sin(a)});
            }
            Engrave(img, crown, 4.0f, 0.8f + 0.2f * (i % 3), 1.1f);
        }
        // The cart with its canvas hood and the two camels' heads.
        Engrave(img,
                {{x0 + w * 0.36f, gy - 64},
                 {x0 + w * 0.52f, gy - 64},
                 {x0 + w * 0.54f, gy - 22},
                 {x0 + w * 0.34f, gy - 22}},
                4, 0.2f, 0.8f);
        Engrave(img, RectPoly(x0 + w * 0.33f, gy - 24, x0 + w * 0.55f, gy - 12), 2.5f, 1.57f, 1.4f);
        Ring(img, x0 + w * 0.37f, gy - 8, 12, 15, kPrint);
        Ring(img, x0 + w * 0.51f, gy - 8, 12, 15, kPrint);
        Stroke(img, {x0 + w * 0.55f, gy - 18}, {x0 + w * 0.6f, gy - 20}, 2, kPrint);
        Engrave(img,
                {{x0 + w * 0.6f, gy - 40},
                 {x0 + w * 0.63f, gy - 48},
                 {x0 + w * 0.66f, gy - 40},
                 {x0 + w * 0.65f, gy},
                 {x0 + w * 0.61f, gy}},
                2.5f, 0.9f, 1.2f);
        break;
    case 1: // the bridge over the narrows
        Engrave(img,
                {{x0, y0 + h * 0.2f}, {x0 + w * 0.38f, y0 + h * 0.35f}, {x0 + w * 0.42f, y0 + h}, {x0, y0 + h}}, 3,
                1.1f, 1.7f);
        Engrave(img,
                {{x0 + w, y0 + h * 0.15f},
                 {x0 + w * 0.62f, y0 + h * 0.32f},
                 {x0 + w * 0.58f, y0 + h},
                 {x0 + w, y0 + h}},
                3, -1.1f, 1.7f);
        for (int k = 0; k <= 20; ++k) {
            const float t = k / 20.0f, x = x0 + w * (0.38f + 0.24f * t), sag = 18 * std::sin(t * kPi);
            Stroke(img, {x, y0 + h * 0.36f + sag}, {x, y0 + h * 0.36f + sag + 10}, 2, kPrint);
        }
        Stroke(img, {x0 + w * 0.38f, y0 + h * 0.34f}, {x0 + w * 0.62f, y0 + h * 0.34f}, 1.5f, kPrint);
        break;
    case 2: // the stepped temple
        for (int s = 0; s < 5; ++s) {
            const float half = w * (0.3f - s * 0.05f), top = gy - (s + 1) * h * 0.09f;
            Engrave(img, RectPoly(x0 + w / 2 - half, top, x0 + w / 2 + half, top + h * 0.09f), 3, 1.57f,
                    1.0f + 0.2f * s);
        }
        img.RoundRect(x0 + w / 2 - 14, gy - 46, x0 + w / 2 + 14, gy, 4, Rgb(250, 240, 220));
        Stroke(img, {x0 + w / 2, gy - 44}, {x0 + w / 2, gy}, 1.2f, kPrint);
        break;
    case 3: // the stair behind the door
        Engrave(img, RectPoly(x0 + w * 0.25f, y0, x0 + w * 0.75f, y0 + h), 3, 0.9f, 1.8f);
        for (int s = 0; s < 9; ++s) {
            const float t = s / 9.0f, half = w * (0.08f + 0.17f * t);
            img.RoundRect(x0 + w / 2 - half, y0 + h * (0.3f + 0.7f * t), x0 + w / 2 + half,
                          y0 + h * (0.3f + 0.7f * t) + 6, 1, Rgb(250, 240, 220));
        }
        img.Glow(x0 + w / 2, y0 + h * 0.25f, w * 0.15f, Rgb(255, 250, 240), 0.9f, 1.2f, false);
        break;
    default: // the gem on its pedestal before the crowd
        img.RoundRect(x0 + w / 2 - 24, gy - 70, x0 + w / 2 + 24, gy, 2, Rgb(250, 240, 220));
        Engrave(img, RectPoly(x0 + w / 2 - 24, gy - 70, x0 + w / 2 + 24, gy), 3, 1.57f, 0.9f);
        for (int r = 0; r < 16; ++r) {
            const float a = 2 * kPi * r / 16;
            Stroke(img, {x0 + w / 2 + 30 * std::cos(a), gy - 100 + 30 * std::sin(a)},
                   {x0 + w / 2 + 70 * std::cos(a), gy - 100 + 70 * std::sin(a)}, 1.5f, kPrint);
        }
        FillPoly(img, StarPoly(x0 + w / 2, gy - 100, 22, 22, 4, kPi / 4), Rgb(250, 240, 220));
        Engrave(img, StarPoly(x0 + w / 2, gy - 100, 22, 22, 4, kPi / 4), 3, 0.5f, 1.0f);
        for (int i = 0; i < 26; ++i) {
            const float x = x0 + rng.Range(10, w - 10), y = gy + rng.Range(10, h * 0.25f);
            if (std::fabs(x - x0 - w / 2) < 34)
                continue;
            Disc(img, x, y - 12, 7, kPrint);
            Engrave(img, {{x - 10, y - 4}, {x + 10, y - 4}, {x + 12, y + 24}, {x - 12, y + 24}}, 2.5f, 0.4f, 1.4f);
        }
        break;
    }
    const std::vector<Pt> frame = RectPoly(x0, y0, x0 + w, y0 + h);
    for (size_t i = 0, j = 3; i < 4; j = i++)
        Stroke(img, frame[j], frame[i], 3, kPrint);
}

Image MakeNewspaper(int page)
{
    const Page& p = kPages[page];
    Image img(1024, 1024, Color{0, 0, 0, 1});
    Parchment(img, 0, 0, 1024, 1024, static_cast<uint32_t>(200 + page), 0.35f);
    const float left = 56, right = 968, width = right - left;

    DrawLine(img, SerifBold(), 76, "The Pellisand Courier", 512, 34, kPrint, Align::Center);
    Stroke(img, {left, 130}, {right, 130}, 3, kPrint);
    Stroke(img, {left, 136}, {right, 136}, 1, kPrint);
    DrawLine(img, Serif(), 18, p.issue, left, 142, kPrint);
    DrawLine(img, Serif(), 18, "Pellisand, by the harbour", 512, 142, kPrint, Align::Center);
    DrawLine(img, Serif(), 18, "One copper", right, 142, kPrint, Align::Right);
    Stroke(img, {left, 170}, {right, 170}, 1, kPrint);

    float y = DrawParagraph(img, SerifBold(), 50, p.headline, left, 182, static_cast<int>(width), 58, kPrint,
                            Align::Center);
    y = DrawParagraph(img, Serif(), 24, p.subhead, left + 40, y + 2, static_cast<int>(width - 80), 30, kPrint,
                      Align::Center);
    Stroke(img, {left + 300, y + 10}, {right - 300, y + 10}, 1.5f, kPrint);
    y += 26;

    // The engraving across the page, then the story in three balanced
    // columns beneath it.
    const float engH = 300;
    Engraving(img, page, left + 90, y, width - 180, engH);
    y = DrawParagraph(img, Serif(), 16, p.caption, left, y + engH + 6, static_cast<int>(width), 20, kPrint,
                      Align::Center);
    y += 8;
    const float gap = 26, colW = (width - 2 * gap) / 3, step = 25;
    const std::vector<std::string> lines = Wrap(Serif(), 19, p.body, static_cast<int>(colW));
    const size_t perColumn = (lines.size() + 2) / 3;
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t column = i / perColumn, row = i % perColumn;
        DrawLine(img, Serif(), 19, lines[i], left + column * (colW + gap), y + row * step, kPrint);
    }
    for (int c = 1; c < 3; ++c) {
        const float x = left + c * (colW + gap) - gap / 2;
        Stroke(img, {x, y}, {x, y + perColumn * step}, 1, kPrint, 0.7f);
    }
    // A notice boxed at the foot of the page.
    const float boxTop = 930;
    for (float ly : {boxTop, boxTop + 52})
        Stroke(img, {left, ly}, {right, ly}, 1.5f, kPrint);
    DrawLine(img, SerifBold(), 18, p.notice, 512, boxTop + 12, kPrint, Align::Center);
    return img;
}

bool WriteNewsSet(Output& out)
{
    for (int page = 0; page < 5; ++page)
        if (!out.Save("Newspaper" + std::to_string(page + 1) + ".jpg", MakeNewspaper(page)))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "screens_news", WriteNewsSet); }
