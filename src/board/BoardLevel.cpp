// The lessons on the board: which is due, its steps and its end; the counts
// of destroyed tokens; and the end of play without a win.
#include "board/GameBoard.h"

#include "engine/DataPaths.h"
#include "rays/Terminator.h"
#include "rays/TokenHighlight.h"

#include <cmath>

void CGameBoard::DropFallingSand()
{
    if (m_sandbox->Heightfield())
        m_sandbox->Heightfield()->ClearFallingGrains();
}

void CGameBoard::SetLessonState(Lesson lesson, int step)
{
    BoardEvent event;
    event.kind = BoardEventKind::LessonStep;
    event.lesson = lesson;
    event.step = step;
    m_events.Push(event);
    if (m_sandbox->Heightfield())
        m_sandbox->Heightfield()->draining = false;
    m_lesson = lesson;
    m_lessonTime = 0.0f;
    m_lessonStep = step;
}

LessonState CGameBoard::CurrentLesson() const { return LessonState{m_lesson, m_lessonStep, m_lessonTime}; }

void CGameBoard::AdvanceLessonClock(float dt) { m_lessonTime += dt; }

void CGameBoard::SetLessonStep(int step) { m_lessonStep = step; }

// Play ends without a win: the tokens stay where they are.
void CGameBoard::StopPlay()
{
    EndPlay();
    if (m_boardMode != 0)
        return;
    DropFallingSand();
    SettleTotems();
}

void CGameBoard::BookDestroyed(const CTerminator& batch)
{
    const int32_t cells = static_cast<int32_t>(batch.Path().cells.size());
    if (cells >= 3) {
        Count(StatMatches, 1);
        Count(StatLargestMatch, cells);
    }
    int32_t marked = 0;
    for (const CountedHandle<CToken>& target : batch.Targets())
        if (target && (!target->chained || target->state == kTokenSwapping))
            ++marked;
    Count(StatMarkedTokens, marked);
}

// The first rule that fires gives the lesson. Without a player who takes
// the lessons there are none.
Lesson CGameBoard::DueLesson(int* step)
{
    using namespace lesson_step;
    if (!m_lessons.on)
        return Lesson::None;
    if ((m_lesson == Lesson::Base || m_lesson == Lesson::Bonus) && m_lessonStep == kSwapped) {
        *step = kSecondPrompt;
        return m_lesson;
    }
    if (m_lesson == Lesson::Totem) {
        if (m_lessonStep == kTotemBoard || m_lessonStep == kTotemCharged || m_lessonStep == kTotemLit)
            *step = m_lessonStep + 2;
        return Lesson::Totem;
    }
    if (m_lesson != Lesson::None || m_boardMode != 0 || m_locked || !m_enabled || m_ended)
        return Lesson::None;
    auto anyStillToken = [this](auto test) {
        for (const auto& row : m_grid)
            for (const CountedHandle<CToken>& t : row)
                if (t && t->state == kTokenResting && test(*t))
                    return true;
        return false;
    };
    auto due = [this](Lesson lesson) { return m_lessons.Due(lesson); };
    if (m_levelNumber == kBaseLessonLevel) {
        if (due(Lesson::Base)) {
            *step = kPrompt;
            return Lesson::Base;
        }
        if (due(Lesson::Gem)) {
            *step = kPrompt;
            return anyStillToken([](const CToken& t) { return t.gem != 0; }) ? Lesson::Gem : Lesson::None;
        }
    }
    if (due(Lesson::Timer) && m_secondsPlayed >= 30.0f)
        return Lesson::Timer;
    if (m_levelNumber > 1 && due(Lesson::Sandbox) && m_secondsPlayed >= 60.0f)
        return Lesson::Sandbox;
    if (m_swapRefused && due(Lesson::Wrong) && m_wrongSwapPrompts < 3) {
        ++m_wrongSwapPrompts;
        m_swapRefused = false;
        return Lesson::Wrong;
    }
    // The bonus lesson starts at its prompt, whatever lesson went before.
    if (m_levelNumber == kBonusLessonLevel && due(Lesson::Bonus)) {
        *step = kPrompt;
        return Lesson::Bonus;
    }
    if (m_levelNumber >= 6 && due(Lesson::Lock))
        return anyStillToken([](const CToken& t) { return t.chained != 0; }) ? Lesson::Lock : Lesson::None;
    if (m_levelNumber >= 14 && due(Lesson::Steel))
        return anyStillToken([](const CToken& t) { return t.colour >= 98; }) ? Lesson::Steel : Lesson::None;
    return Lesson::None;
}

// The lesson the game showed is seen, and the game is told so that it marks
// it in the player's settings; on the first level the wrong-swap lesson
// counts as seen only from its third time. The totem lesson starts its
// board over.
void CGameBoard::CloseLesson(bool seen)
{
    const bool wrongCounts = m_lesson != Lesson::Wrong || m_levelNumber > 1 || m_wrongSwapPrompts > 2;
    if (seen && m_lessons.on && m_lesson != Lesson::None && wrongCounts) {
        m_lessons.seen[static_cast<size_t>(m_lesson)] = true;
        BoardEvent event;
        event.kind = BoardEventKind::LessonSeen;
        event.lesson = m_lesson;
        m_events.Push(event);
    }
    if (m_lesson == Lesson::Totem) {
        SetLocked(true);
        m_marker->Hide();
        DropAllTokens();
        m_firstFill = 1;
        m_swapsActive.clear();
        m_swapsBack.clear();
    }
    m_lesson = Lesson::None;
    if (m_boardMode == 0 && m_sandbox->Heightfield())
        m_sandbox->Heightfield()->draining = true;
}
