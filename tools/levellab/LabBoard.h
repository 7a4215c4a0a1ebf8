// The level lab's board: the real board with the installed caps and skin on
// the recording null device, a gems bar that counts what the player
// collects, and the log caught in a file of the lab's own. The level
// benchmark plays on it too. Both run in the installation folder.
#pragma once

#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "engine/DataPaths.h"
#include "engine/Log.h"
#include "layout/QuestLayout.h"
#include "platform/NullDirect3D.h"
#include "records/Options.h"

#include <string>
#include <vector>

class LabBoard {
public:
    LabBoard();
    ~LabBoard();
    LabBoard(const LabBoard&) = delete;
    LabBoard& operator=(const LabBoard&) = delete;

    bool Ready() const { return m_ready; }
    static std::string LevelPath(const std::string& file) { return "Data\\Lvl\\" + file; }

    // A quest level starting: the level's tuning, difficulty and goal on a
    // clean board in play, as the level start sets them before it loads the
    // level's file.
    void StartLevel(int level);
    // The goal into the gems bar, emptied.
    void StartGemsBar();
    // The level's first fill, as the board's update makes it.
    void FirstFill();
    // No move left: the animated reshuffle and the refill after it, without
    // waiting for the tokens to fall away.
    void Reshuffle();
    // The tokens falling off the board leave it at once.
    void DropFallenTokens();
    // Gems whose token was struck and left the board since the last call
    // are collected: into the bar, off the goal.
    void CollectGems();
    // Everything logged since the last call.
    std::string TakeLog();

    d3d::NullDirect3D direct3d;
    CountedHandle<CRenderDevice> device;
    CountedHandle<CVertexBuffer> vertices;
    CountedHandle<CIndexBuffer> indices;
    CQuestLayout layout;
    CDataPaths paths;
    CBalanceState balance;
    CGameOptions options;
    CountedHandle<CCapsRenderer> caps;
    CountedHandle<CGameBoard> board;
    CountedHandle<CGemsBar> bar;

private:
    std::string m_logPath;
    bool m_ready = false;
    std::vector<CountedHandle<CToken>> m_gems; // gem tokens seen on the board
};
