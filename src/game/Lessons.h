// The guided lessons' rules for the player's moves: which token a lesson
// lets the player pick and where its arrow goes next, which swaps it lets
// through, and which swap takes the player off its path.
#pragma once

#include "board/BoardEvents.h"
#include "board/GameBoard.h"

// In a guided lesson at its step the token of one cell may be picked; the
// lesson then goes to its next step and its arrow to the cell the token is
// to go to.
struct LessonPick {
    Lesson lesson;
    int32_t step;
    int32_t column, row;
    int32_t nextStep;
    int32_t arrowColumn, arrowRow;
};

// The guided lessons: Base, Bonus and Totem.
bool IsGuidedLesson(Lesson lesson);
// The lessons that show for a while over play, which keeps presses off the
// board at first: Gem, Wrong, Timer, Sandbox, Lock and Steel.
bool IsTimedLesson(Lesson lesson);
// The pick a lesson at its step takes at the cell; nullptr for none.
const LessonPick* FindLessonPick(const LessonState& lesson, int column, int row);
// The pick a guided lesson's prompt at its step asks for; nullptr for none.
const LessonPick* PromptedPick(Lesson lesson, int step);
// The cells a guided lesson's moves take part in on its board's start
// layout: those its prompts ask the player to swap, and those of the runs
// the swaps make there.
std::vector<MatchCell> LessonCells(Lesson lesson);
// A guided lesson lets the player pick only its own token; other lessons
// any.
bool LessonAllowsPick(const LessonState& lesson, int column, int row);
// A guided lesson lets a swap onto the cell happen only as its step says;
// other lessons any.
bool LessonAllowsSwap(const LessonState& lesson, int column, int row);
// The swap onto the cell leaves the lesson's path: its step wants another
// cell.
bool SwapLeavesLesson(const LessonState& lesson, int column, int row);
