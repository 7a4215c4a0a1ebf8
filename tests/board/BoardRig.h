// A board on the recording null device with the installed caps pictures,
// animations and skin, and fixtures written as character grids: one letter
// per colour (g y r b o w v), capitals chained, s steel, . empty.
#pragma once

#include "BoardProbe.h"
#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "engine/DataPaths.h"
#include "engine/Log.h"
#include "engine/RenderTestSupport.h"
#include "layout/QuestLayout.h"
#include "rays/TerminatorsManager.h"
#include "rays/TokenHighlight.h"
#include "tokens/CapsRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace board_rig {

// The colour of a grid letter, or -1 for an empty cell.
inline int ColourOf(char letter)
{
    switch (std::tolower(static_cast<unsigned char>(letter))) {
    case 'g':
        return 0;
    case 'y':
        return 1;
    case 'r':
        return 2;
    case 'b':
        return 3;
    case 'o':
        return 4;
    case 'w':
        return 5;
    case 'v':
        return 6;
    case 's':
        return kSteelColour;
    default:
        return -1;
    }
}

// The level-1 colours in a pattern in which every colour repeats only five
// cells apart along any row or column: no run, and no swap makes one.
inline std::vector<std::string> NoMoveGrid()
{
    const char letters[] = "grbow";
    std::vector<std::string> rows(8, std::string(8, '.'));
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            rows[r][c] = letters[(c + 3 * r) % 5];
    return rows;
}

// Puts still, active board tokens into the cells the rows name; the cells
// listed in `gems` get tokens carrying a gem.
inline void PlaceGrid(CGameBoard& b, const std::vector<std::string>& rows, const std::vector<MatchCell>& gems = {})
{
    BoardProbe probe(b);
    const BoardGeometry g = b.Geometry();
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c) {
            const char letter = rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
            const int colour = ColourOf(letter);
            if (colour < 0)
                continue;
            const bool gem = std::find(gems.begin(), gems.end(), MatchCell{c, r}) != gems.end();
            probe.Place(c, r, colour, gem, std::isupper(static_cast<unsigned char>(letter)) ? 1 : 0);
        }
    probe.FillDone();
}

struct BoardRig {
    BoardRig()
    {
        layout.Load("Data\\Config\\Skin.cfg");
        caps = MakeCountedHandle(new CCapsRenderer(gpu.device, gpu.vertices, gpu.indices));
        EXPECT_TRUE(caps->LoadTextures("Data\\Gfx\\"));
        EXPECT_TRUE(caps->LoadAnimations("Data\\"));
        board = MakeCountedHandle(new CGameBoard(caps, layout, balance, random));
        board->Show(true, true, 0.0f);
    }
    BoardProbe Probe() { return BoardProbe(*board); }

    void Place(const std::vector<std::string>& rows) { PlaceGrid(*board, rows); }

    // The board as letters, for messages.
    std::string Letters() const
    {
        std::string text;
        const BoardGeometry g = board->Geometry();
        for (int r = 0; r < g.rows; ++r) {
            for (int c = 0; c < g.columns; ++c) {
                const CountedHandle<CToken>& t = board->Cell(c, r);
                char letter = '.';
                if (t)
                    letter = t->colour == kSteelColour ? 's' : "gyrbowv"[t->colour];
                if (t && t->chained)
                    letter = static_cast<char>(std::toupper(letter));
                text += letter;
            }
            text += '\n';
        }
        return text;
    }

    // One frame with the pointer away from the board; its statistics go
    // into the rig's own as the game's would.
    void Frame(float dt = 1.0f / 60.0f)
    {
        board->Update(dt, -2000.0f, -2000.0f);
        Tally();
    }

    // Frames until nothing runs and every cell is full (false after
    // `seconds` without that).
    bool Settle(float seconds = 20.0f)
    {
        for (float t = 0; t < seconds; t += 1.0f / 60.0f) {
            Frame();
            if (board->IsIdle())
                return true;
        }
        return false;
    }

    std::vector<BoardEventKind> EventKinds() const
    {
        std::vector<BoardEventKind> kinds;
        for (size_t i = 0; i < board->Events().Size(); ++i)
            kinds.push_back(board->Events().At(i).kind);
        return kinds;
    }
    // The events of the frames since the last call that count towards the
    // statistics, into `stats` as the game counts them.
    void Tally()
    {
        const BoardEventQueue& events = board->Events();
        if (m_tallied > events.Size())
            m_tallied = 0; // the queue was emptied meanwhile
        for (size_t i = m_tallied; i < events.Size(); ++i) {
            const BoardEvent& e = events.At(i);
            if (e.kind == BoardEventKind::Counted)
                stats.AddToRunTables(e.value, e.counter);
            else if (e.kind == BoardEventKind::StrikesScored)
                stats.AddToRunTables(e.value, StatScore);
        }
        m_tallied = events.Size();
    }

    NullRig gpu;
    CQuestLayout layout;
    CBalanceState balance;
    CRandomStream random;
    CPlayerStats stats;
    size_t m_tallied = 0;
    CountedHandle<CCapsRenderer> caps;
    CountedHandle<CGameBoard> board;
};

} // namespace board_rig
