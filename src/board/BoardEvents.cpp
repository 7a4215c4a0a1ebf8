// The board's event queue: the order in which the game handles a frame's
// events, and what a dropped queue keeps.
#include "board/BoardEvents.h"

#include <algorithm>

void BoardEventQueue::TakeDeferred(std::vector<BoardEvent>* out)
{
    // A level won, a board without moves and a full frenzy meter end or stop
    // play: whatever else the frame brought is handled before them.
    for (const BoardEventKind kind :
         {BoardEventKind::LevelWon, BoardEventKind::NoMoveLeft, BoardEventKind::FrenzyMeterFull})
        std::stable_partition(m_events.begin(), m_events.end(),
                              [kind](const BoardEvent& e) { return e.kind != kind; });
    out->clear();
    out->swap(m_events);
}

void BoardEventQueue::DropPlayEvents()
{
    m_events.erase(std::remove_if(m_events.begin(), m_events.end(),
                                  [](const BoardEvent& e) { return e.kind != BoardEventKind::LessonSeen; }),
                   m_events.end());
}
