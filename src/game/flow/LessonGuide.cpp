// The tutorial's prompts, and the picks and swaps its guided lessons let
// through.
#include "game/flow/LessonGuide.h"

#include "effects/overlays/ScoreSettings.h"
#include "engine/StringTable.h"
#include "game/Lessons.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

#include <algorithm>
#include <cmath>

namespace {

// String numbers of the tutorial's texts.
enum TutorialText : int32_t {
    kTextSwap = 35,
    kTextGem = 36,
    kTextWrong = 37,
    kTextBonus = 38,
    kTextBonusFire = 39,
    kTextTotemCharge = 40,
    kTextTotemLit = 41,
    kTextLock = 42,
    kTextSteel = 43,
    kTextShop = 44,
    kChargeColourNames = 64,
    kTextDone = 71,
    kLitColourNames = 74,
    kTextTimer = 81,
    kTextSandbox = 82,
};

constexpr float kFormShowSpeed = 5.0f, kShopLessonSpeed = 2.0f, kFormHideSpeed = 8.0f;

// A text of the string table with a colour name put in.
std::string WithColour(int32_t text, int32_t names, int colour)
{
    const std::string format = GetString(text);
    const std::string name = GetString(names + std::clamp(colour, 0, 6));
    const size_t at = format.find("%s");
    return at == std::string::npos ? format : format.substr(0, at) + name + format.substr(at + 2);
}

} // namespace

CLessonGuide::CLessonGuide(CGameFlow& flow, CGameServices& services, CQuestState& quest)
    : m_flow(flow), m_services(services), m_quest(quest)
{}

bool CLessonGuide::HoldsPresses() const
{
    const LessonState lesson = m_services.board->CurrentLesson();
    return IsTimedLesson(lesson.lesson) && lesson.seconds < m_services.delays.tutorialTime;
}

bool CLessonGuide::AllowsSwapOnto(int column, int row) const
{
    const LessonState lesson = m_services.board->CurrentLesson();
    if (lesson.lesson == Lesson::None || !m_services.gameOptions.capsLockTutorial)
        return true;
    return LessonAllowsSwap(lesson, column, row);
}

bool CLessonGuide::AllowsPick(const CountedHandle<CToken>& token) const
{
    const LessonState lesson = m_services.board->CurrentLesson();
    if (lesson.lesson == Lesson::None || !m_services.gameOptions.capsLockTutorial)
        return true;
    return LessonAllowsPick(lesson, token->column, token->row);
}

void CLessonGuide::StepWithPick(const CountedHandle<CToken>& token)
{
    CGameBoard& board = *m_services.board;
    const LessonState lesson = board.CurrentLesson();
    if (lesson.lesson == Lesson::None || !m_services.gameOptions.capsLockTutorial)
        return;
    const LessonPick* pick = FindLessonPick(lesson, token->column, token->row);
    if (!pick) {
        Close(true);
        return;
    }
    board.SetLessonStep(pick->nextStep);
    PointHandAt({pick->arrowColumn, pick->arrowRow}, {token->column, token->row});
}

bool CLessonGuide::StepWithSwap(int column, int row)
{
    CGameBoard& board = *m_services.board;
    const LessonState lesson = board.CurrentLesson();
    const bool offPath = SwapLeavesLesson(lesson, column, row);
    if (lesson.lesson == Lesson::Totem) {
        if (!offPath) {
            board.SetLessonStep(lesson.step + 1);
            if (m_services.screens)
                m_services.screens->HideForm(m_services.screens->tutorial.form, kFormHideSpeed);
            if (lesson.step + 1 <= lesson_step::kTotemLit)
                return true;
        }
        Close(true);
        return false;
    }
    if (!IsGuidedLesson(lesson.lesson) || offPath) {
        Close(true);
        return true;
    }
    board.SetLessonStep(lesson.step + 1);
    if (m_services.screens)
        m_services.screens->HideForm(m_services.screens->tutorial.form, kFormHideSpeed);
    if (lesson.step + 1 > lesson_step::kSecondPicked)
        Close(true);
    return true;
}

// The totem lesson's board gives way to the level's own, and play resumes
// on it.
void CLessonGuide::Close(bool seen)
{
    CGameBoard& board = *m_services.board;
    if (board.CurrentLesson().lesson == Lesson::Totem) {
        board.TakeSetup(m_flow.loader.QuestLevelSetup(m_quest.level));
        m_flow.Enter(m_flow.resumePlay);
        if (seen) {
            const BoardGeometry g = board.Geometry();
            const Vec2 centre = board.CellToPoint(g.columns / 2, g.rows / 2, true);
            m_services.popups->AddTextPopup(GetString(kTextDone), 1.0f, 0, centre.x, centre.y,
                                            ScoreMessageSettings().z);
        }
    }
    board.CloseLesson(seen);
    m_shopLessonShown = false;
    if (m_services.screens)
        m_services.screens->HideForm(m_services.screens->tutorial.form, kFormHideSpeed);
}

void CLessonGuide::HideShopLesson()
{
    m_shopLessonShown = false;
    CGameScreens& screens = *m_services.screens;
    if (screens.tutorial.form->IsVisible())
        screens.HideForm(screens.tutorial.form, kFormHideSpeed);
}

// The panel's tab points at the edge between the two tokens' row and the
// panel; the hand points at the second token from the side away from the
// first.
void CLessonGuide::PointAt(int columnA, int rowA, int columnB, int rowB)
{
    const CGameBoard& board = *m_services.board;
    const Vec2 a = board.CellToPoint(columnA, rowA, true), c = board.CellToPoint(columnB, rowB, true);
    PlacePrompt({columnB, rowB}, (a.x + c.x) / 2, {columnA, rowA});
}

// Rows from the top, columns from the left.
bool CLessonGuide::PointAtToken(bool (*test)(const CToken&))
{
    const CGameBoard& board = *m_services.board;
    MatchCell cell;
    if (!board.FindRestingToken(test, &cell))
        return false;
    PlacePrompt(cell, board.CellToPoint(cell.column, cell.row, true).x, cell);
    return true;
}

// Neither the panel nor the hand covers the token or the other: the panel
// lies beyond the edge of the token's row, below a row of the board's upper
// half and above one of its lower half.
void CLessonGuide::PlacePrompt(MatchCell token, float tabX, MatchCell partner)
{
    const CGameBoard& board = *m_services.board;
    const Vec2 at = board.CellToPoint(token.column, token.row, true);
    const bool below = token.row < board.Geometry().rows / 2;
    const float edge = at.y + (below ? -0.5f : 0.5f) * board.CellHeight();
    CGameScreens& screens = *m_services.screens;
    screens.PlaceTutorialPanel(std::floor(tabX), std::floor(edge), below);
    PointHandAt(token, partner);
    screens.ShowTutorialRow(4);
}

// The hand points at the dial's middle from its right, over the board's
// edge; the note stands beside the hand.
void CLessonGuide::PointAtDial()
{
    CGameScreens& screens = *m_services.screens;
    float right = -1.0e9f, top = -1.0e9f, bottom = 1.0e9f;
    for (const auto& quarter : screens.quest.gauge) {
        const Vec3& at = quarter->Position();
        const GuiSize& size = quarter->Size();
        right = std::max(right, at.x + size.w / 2);
        top = std::max(top, at.y + size.h / 2);
        bottom = std::min(bottom, at.y - size.h / 2);
    }
    const float middle = (top + bottom) / 2;
    screens.PlaceTutorialPointer(right, middle, PointerSide::Right);
    screens.ShowTutorialRow(4);
    const float reach = screens.tutorial.rows[4].At(0)->BaseSize().w + 2.0f * m_services.questLayout.clickHereA;
    screens.PlaceTutorialPanelBeside(right + reach, middle);
}

// The hand points at the sand box's left end from the left; the note stands
// over the board's lowest rows, clear of the box.
void CLessonGuide::PointAtSandbox()
{
    const SandboxGeometry box = m_services.board->SandboxBox();
    CGameScreens& screens = *m_services.screens;
    screens.PlaceTutorialPointer(box.left, box.top - box.height / 2, PointerSide::Left);
    screens.ShowTutorialRow(4);
    const float panelHeight = screens.tutorial.rows[1].At(0)->BaseSize().h;
    screens.PlaceTutorialPanelBeside(box.left + m_services.board->CellWidth() / 2,
                                     box.top + m_services.board->CellHeight() + panelHeight / 2);
}

// The fingertip rests on the edge of the token's cell. The hand covers
// neither the token nor the panel with its text, and as few as it can of
// the tokens of the run the swap makes (where they stand and where they
// go; none unless the swap makes two runs that cross): it lies beside the
// token on the side away from its partner in the swap (without one, on the
// side of the board's middle, where there is room), else below it, else
// above it, else on the partner's side.
void CLessonGuide::PointHandAt(MatchCell token, MatchCell partner)
{
    const CGameBoard& board = *m_services.board;
    CGameScreens& screens = *m_services.screens;
    auto tokenBox = [&](MatchCell cell) {
        const Vec2 c = board.CellToPoint(cell.column, cell.row, true);
        const CountedHandle<CToken>& t = board.Cell(cell.column, cell.row);
        const float r = t ? t->size : 0.4f * board.CellWidth();
        return ScreenRect{c.x - r, c.x + r, c.y - r, c.y + r};
    };
    std::vector<ScreenRect> kept{tokenBox(token)}, run;
    const CGameScreens::TutorialForm& form = screens.tutorial;
    for (const CQoStatic* w : {form.rows[1].At(0).Get(), form.tabAbove.Get(), form.tabBelow.Get()})
        if (w && w->IsVisible()) {
            const Vec3& p = w->Position();
            const GuiSize& s = w->Size();
            kept.push_back({p.x - s.w / 2, p.x + s.w / 2, p.y - s.h / 2, p.y + s.h / 2});
        }
    for (const MatchCell& cell : RunOfSwap(token, partner))
        if (!(cell == token))
            run.push_back(tokenBox(cell));

    const bool rightward = partner.column != token.column ? partner.column < token.column
                                                          : token.column < board.Geometry().columns / 2;
    const PointerSide away = rightward ? PointerSide::Right : PointerSide::Left;
    const PointerSide toward = rightward ? PointerSide::Left : PointerSide::Right;
    const Vec2 at = board.CellToPoint(token.column, token.row, true);
    const float halfWidth = board.CellWidth() / 2, halfHeight = board.CellHeight() / 2;
    auto tip = [&](PointerSide side) {
        switch (side) {
        case PointerSide::Right:
            return Vec2{at.x + halfWidth, at.y};
        case PointerSide::Left:
            return Vec2{at.x - halfWidth, at.y};
        case PointerSide::Below:
            return Vec2{at.x, at.y - halfHeight};
        default:
            return Vec2{at.x, at.y + halfHeight};
        }
    };
    PointerSide chosen = away;
    size_t fewest = run.size() + 1;
    for (const PointerSide side : {away, PointerSide::Below, PointerSide::Above, toward}) {
        const Vec2 p = tip(side);
        const ScreenRect reach = screens.TutorialPointerReach(p.x, p.y, side);
        auto covered = [&](const ScreenRect& r) { return r.Overlaps(reach); };
        if (std::any_of(kept.begin(), kept.end(), covered))
            continue;
        const size_t n = static_cast<size_t>(std::count_if(run.begin(), run.end(), covered));
        if (n < fewest) {
            fewest = n;
            chosen = side;
        }
    }
    const Vec2 p = tip(chosen);
    screens.PlaceTutorialPointer(p.x, p.y, chosen);
}

// The cells of the runs the swap of the two tokens makes, with the two
// tokens' own cells: where the run's tokens stand and where they go. The
// tokens still dropping in count with their colours: the lesson's board is
// laid out.
std::vector<MatchCell> CLessonGuide::RunOfSwap(MatchCell token, MatchCell partner) const
{
    std::vector<MatchCell> cells{token};
    if (partner == token)
        return cells;
    cells.push_back(partner);
    const CGameBoard& board = *m_services.board;
    const BoardGeometry g = board.Geometry();
    CMatchAnalyser analysis;
    analysis.Resize(g.columns, g.rows);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c)
            if (const CountedHandle<CToken>& t = board.Cell(c, r))
                analysis.Cell(c, r) = CGameBoard::AnalyserCode(*t);
    std::swap(analysis.Cell(token.column, token.row), analysis.Cell(partner.column, partner.row));
    analysis.FindRuns(3, false);
    for (const CMatchGroup& group : analysis.Groups()) {
        const bool swapped = std::any_of(group.cells.begin(), group.cells.end(),
                                         [&](const MatchCell& c) { return c == token || c == partner; });
        if (swapped)
            cells.insert(cells.end(), group.cells.begin(), group.cells.end());
    }
    return cells;
}

bool CLessonGuide::CanMakeMove(const LessonPick& pick) const
{
    const CGameBoard& board = *m_services.board;
    return board.CanSelect(pick.column, pick.row) && board.CanSelect(pick.arrowColumn, pick.arrowRow) &&
           RunOfSwap({pick.column, pick.row}, {pick.arrowColumn, pick.arrowRow}).size() > 2;
}

void CLessonGuide::ShowPanel(const std::string& text)
{
    CGameScreens& screens = *m_services.screens;
    screens.HideTutorialRows();
    screens.tutorial.panelText->SetText(text);
    screens.ShowTutorialRow(1);
}

void CLessonGuide::ShowStep(Lesson lesson, int step)
{
    const CountedHandle<CProfile> player = m_quest.CurrentProfile();
    // Without a player the tutorial is off: nothing is shown or written.
    if (!player || !m_services.screens) {
        Close(false);
        return;
    }
    // The lesson's own start layout holds every move it asks for; a board it
    // did not lay out (its file missing, a level continued from its save)
    // may not, and the lesson ends rather than wait for a move that cannot
    // be made.
    if (const LessonPick* pick = PromptedPick(lesson, step); pick && !CanMakeMove(*pick)) {
        Close(true);
        return;
    }
    CGameScreens& screens = *m_services.screens;
    float speed = kFormShowSpeed;
    m_shopLessonShown = lesson == Lesson::Shop;
    switch (lesson) {
    case Lesson::Base:
        if (step != lesson_step::kPrompt) {
            Close(true);
            return;
        }
        ShowPanel(GetString(kTextSwap));
        PointAt(3, 4, 4, 4);
        break;
    case Lesson::Gem:
        ShowPanel(GetString(kTextGem));
        if (!PointAtToken([](const CToken& t) { return t.gem != 0; })) {
            Close(true);
            return;
        }
        break;
    case Lesson::Wrong:
        // The refusal is play's message now: the one showing gives way.
        if (m_services.popups)
            m_services.popups->DropMessages();
        screens.HideTutorialRows();
        screens.tutorial.title->SetText(GetString(kTextWrong));
        screens.ShowTutorialRow(0);
        break;
    case Lesson::Timer:
        // The clock waits while the note is up: the note says so.
        ShowPanel(GetString(kTextTimer));
        PointAtDial();
        break;
    case Lesson::Sandbox:
        ShowPanel(GetString(kTextSandbox));
        PointAtSandbox();
        break;
    case Lesson::Bonus:
        ShowPanel(GetString(step == lesson_step::kPrompt ? kTextBonus : kTextBonusFire));
        if (step == lesson_step::kPrompt)
            PointAt(1, 5, 2, 5);
        else
            PointAt(5, 4, 6, 4);
        break;
    case Lesson::Totem:
        if (!ShowTotemStep(step))
            return;
        break;
    case Lesson::Lock:
        ShowPanel(GetString(kTextLock));
        if (!PointAtToken([](const CToken& t) { return t.chained != 0; })) {
            Close(true);
            return;
        }
        break;
    case Lesson::Steel:
        ShowPanel(GetString(kTextSteel));
        if (!PointAtToken([](const CToken& t) { return t.colour > 97; })) {
            Close(true);
            return;
        }
        break;
    case Lesson::Shop:
        screens.HideTutorialRows();
        screens.tutorial.shopText->SetText(GetString(kTextShop));
        screens.ShowTutorialRow(5);
        player->tutShop = 1;
        player->SaveSettings(m_services.paths.folders[CDataPaths::Players] + player->Name());
        speed = kShopLessonSpeed;
        break;
    default:
        return;
    }
    screens.ShowForm(screens.tutorial.form, speed);
}

bool CLessonGuide::ShowTotemStep(int step)
{
    using namespace lesson_step;
    const int colour = m_services.board->TutorialColour();
    switch (step) {
    case kTotemChargePrompt:
        ShowPanel(WithColour(kTextTotemCharge, kChargeColourNames, colour));
        PointAt(1, 6, 2, 6);
        return true;
    case kTotemLightPrompt:
        ShowPanel(WithColour(kTextTotemLit, kLitColourNames, colour));
        PointAt(5, 4, 6, 4);
        return true;
    case kTotemOver:
        Close(true);
        return false;
    default:
        return false;
    }
}
