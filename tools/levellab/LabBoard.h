// The level lab's board: the real board with the installed caps and skin on
// the recording null device, a gems bar that counts what the player
// collects, totems the lab can own, and the log caught in a file of the
// lab's own. The level benchmark plays on it too. Both run in the
// installation folder.
#pragma once

#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "engine/DataPaths.h"
#include "engine/Log.h"
#include "engine/Random.h"
#include "layout/QuestLayout.h"
#include "platform/NullDirect3D.h"

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

    // Seeds the shared generator and the board's stream, each its own way.
    void Seed(uint32_t seed);
    // A quest level starting on a clean board in play, as the level start
    // sets it up: the level's tuning, difficulty, goal and file (`file`, in
    // the installation's level folder; none when empty), with the lesson
    // it starts with. The setup the board took; `parsed` says whether the
    // file parsed.
    BoardSetup StartLevel(int level, const std::string& file, Lesson lesson = Lesson::None,
                          bool* parsed = nullptr);
    // The level's first fill, as the board's update makes it.
    void FirstFill();
    // No move left: the animated reshuffle and the refill after it, without
    // waiting for the tokens to fall away.
    void Reshuffle();
    // Gems whose token was struck and left the board since the last call
    // are collected at once: into the bar, off the goal (the lab does not
    // wait for their flight to the bar).
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
    CountedHandle<CCapsRenderer> caps;
    CRandomStream random;
    CountedHandle<CTotemsManager> totems;
    CountedHandle<CBonusManager> bonuses;
    CountedHandle<CGameBoard> board;
    CountedHandle<CGemsBar> bar;

private:
    std::string m_logPath;
    bool m_ready = false;
    std::vector<CountedHandle<CToken>> m_gems; // gem tokens seen on the board
};
