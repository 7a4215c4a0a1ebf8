// The guided lessons' tables.
#include "game/Lessons.h"

#include <algorithm>

namespace {

using namespace lesson_step;

constexpr LessonPick kPicks[] = {
    {Lesson::Base, kPrompt, 4, 4, kPicked, 3, 4},
    {Lesson::Bonus, kPrompt, 2, 5, kPicked, 1, 5},
    {Lesson::Bonus, kSecondPrompt, 6, 4, kSecondPicked, 5, 4},
    {Lesson::Totem, kTotemChargePrompt, 2, 6, kTotemChargePicked, 1, 6},
    {Lesson::Totem, kTotemLightPrompt, 6, 4, kTotemLightPicked, 5, 4},
};

// The cells beside the swapped ones of the runs the guided lessons' swaps
// make on the start layouts of their boards (l1.lvl, l2.lvl, Totem.lvl).
struct LessonRunCell {
    Lesson lesson;
    MatchCell cell;
};
constexpr LessonRunCell kRunCells[] = {
    {Lesson::Base, {1, 4}},  {Lesson::Base, {2, 4}},  {Lesson::Bonus, {1, 3}}, {Lesson::Bonus, {1, 4}},
    {Lesson::Bonus, {1, 6}}, {Lesson::Bonus, {3, 4}}, {Lesson::Bonus, {4, 4}}, {Lesson::Totem, {1, 4}},
    {Lesson::Totem, {1, 5}}, {Lesson::Totem, {3, 4}}, {Lesson::Totem, {4, 4}},
};

// A swap at (lesson, step) onto the cell.
struct LessonSwap {
    Lesson lesson;
    int32_t step;
    int32_t column, row;
};

// The swaps a guided lesson lets through: at its step, onto its cell.
constexpr LessonSwap kSwaps[] = {
    {Lesson::Base, kPicked, 3, 4},
    {Lesson::Bonus, kPicked, 1, 5},
    {Lesson::Bonus, kSecondPicked, 5, 4},
    {Lesson::Totem, kTotemChargePicked, 1, 6},
    {Lesson::Totem, kTotemLightPicked, 5, 4},
};

const LessonSwap* FindSwap(const LessonState& lesson)
{
    for (const LessonSwap& s : kSwaps)
        if (s.lesson == lesson.lesson && s.step == lesson.step)
            return &s;
    return nullptr;
}

} // namespace

bool IsGuidedLesson(Lesson lesson)
{
    return lesson == Lesson::Base || lesson == Lesson::Bonus || lesson == Lesson::Totem;
}

bool IsTimedLesson(Lesson lesson)
{
    switch (lesson) {
    case Lesson::Gem:
    case Lesson::Wrong:
    case Lesson::Timer:
    case Lesson::Sandbox:
    case Lesson::Lock:
    case Lesson::Steel:
        return true;
    default:
        return false;
    }
}

const LessonPick* FindLessonPick(const LessonState& lesson, int column, int row)
{
    for (const LessonPick& p : kPicks)
        if (p.lesson == lesson.lesson && p.step == lesson.step && p.column == column && p.row == row)
            return &p;
    return nullptr;
}

const LessonPick* PromptedPick(Lesson lesson, int step)
{
    for (const LessonPick& p : kPicks)
        if (p.lesson == lesson && p.step == step)
            return &p;
    return nullptr;
}

std::vector<MatchCell> LessonCells(Lesson lesson)
{
    std::vector<MatchCell> cells;
    auto add = [&cells](MatchCell cell) {
        if (std::find(cells.begin(), cells.end(), cell) == cells.end())
            cells.push_back(cell);
    };
    for (const LessonPick& p : kPicks)
        if (p.lesson == lesson) {
            add({p.column, p.row});
            add({p.arrowColumn, p.arrowRow});
        }
    for (const LessonRunCell& r : kRunCells)
        if (r.lesson == lesson)
            add(r.cell);
    return cells;
}

bool LessonAllowsPick(const LessonState& lesson, int column, int row)
{
    return !IsGuidedLesson(lesson.lesson) || FindLessonPick(lesson, column, row) != nullptr;
}

bool LessonAllowsSwap(const LessonState& lesson, int column, int row)
{
    if (!IsGuidedLesson(lesson.lesson))
        return true;
    const LessonSwap* swap = FindSwap(lesson);
    return swap && swap->column == column && swap->row == row;
}

bool SwapLeavesLesson(const LessonState& lesson, int column, int row)
{
    const LessonSwap* swap = FindSwap(lesson);
    return swap && (swap->column != column || swap->row != row);
}
