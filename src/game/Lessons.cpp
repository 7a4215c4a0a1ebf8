// The guided lessons' tables.
#include "game/Lessons.h"

namespace {

using namespace lesson_step;

constexpr LessonPick kPicks[] = {
    {Lesson::Base, kPrompt, 4, 4, kPicked, 3, 4},
    {Lesson::Bonus, kPrompt, 2, 5, kPicked, 1, 5},
    {Lesson::Bonus, kSecondPrompt, 6, 4, kSecondPicked, 5, 4},
    {Lesson::Totem, kTotemChargePrompt, 2, 6, kTotemChargePicked, 1, 6},
    {Lesson::Totem, kTotemLightPrompt, 6, 4, kTotemLightPicked, 5, 4},
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
