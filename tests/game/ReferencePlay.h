// The level lab's reference player at work in the whole game, for the
// benchmarks and tests that play a level on any device: after its time of
// rest it clicks a move's two tokens, and a trophy won in play it closes
// once its award has flown. `Game` reaches the game object through `->`
// and clicks a virtual point with `Click(x, y)`.
#pragma once

#include "ReferencePlayer.h"

#include "game/Game.h"

template <typename Game>
class ReferencePlay {
public:
    explicit ReferencePlay(Game& game) : m_game(game) {}

    // Before each frame of 1/60 s.
    void Frame()
    {
        if (m_game->flow.trophies.OverLevel()) {
            const CountedHandle<CQoForm>& form = m_game->services.screens->trophies.form;
            const CountedHandle<CQoWindow> close = form->FindChild(IdOf(Command::TrophiesContinue));
            if (close && form->IsVisible() && form->active && m_game->services.trophies->pendingAwards.empty() &&
                !m_game->services.trophies->AwardRunning())
                m_game.Click(close->Position().x, close->Position().y);
            return;
        }
        const CGameBoard& board = *m_game->services.board;
        const bool resting = board.Status().inPlay && board.IsIdle();
        m_rest = resting ? m_rest + kFrameTime : 0.0f;
        if (m_rest < kReferenceThinkTime)
            return;
        MatchMove move;
        if (!ChooseReferenceMove(board, &move))
            return;
        const Vec2 a = board.CellToPoint(move.column1, move.row1, true);
        const Vec2 b = board.CellToPoint(move.column2, move.row2, true);
        m_game.Click(a.x, a.y);
        m_game.Click(b.x, b.y);
        m_rest = 0.0f;
        ++moves;
    }
    int moves = 0;

private:
    static constexpr float kFrameTime = 1.0f / 60.0f;
    Game& m_game;
    float m_rest = 0.0f;
};
