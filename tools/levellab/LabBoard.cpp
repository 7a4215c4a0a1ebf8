// The lab's board and the few steps of the game's flow the lab plays.
#include "LabBoard.h"

#include "engine/BitmapFont.h"
#include "engine/Flare.h"
#include "engine/Log.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "tokens/CapsRenderer.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace d3d;

LabBoard::LabBoard()
    : direct3d(NullDirect3D::StandardAdapters()), device(MakeCountedHandle(new CRenderDevice(&direct3d, 0))),
      m_logPath("/tmp/levellab-" + std::to_string(getpid()) + ".log")
{
    SetLogName(m_logPath);
    ClearLog();
    device->CreateDevice(1024, 768, D3DFMT_X8R8G8B8, 0, 1, nullptr, D3DFMT_D16, 1, 0, 1, 0);
    direct3d.lastDevice->quiet = true;
    vertices = device->CreateVertexBuffer(65536, 0x208, 0x242, D3DPOOL_DEFAULT);
    indices = device->CreateIndexBuffer(65536, D3DFMT_INDEX16, 0x208, D3DPOOL_DEFAULT);
    layout.Load("Data\\Config\\Skin.cfg");
    caps = MakeCountedHandle(new CCapsRenderer(device, vertices, indices));
    m_ready = caps->LoadTextures("Data\\Gfx\\") && caps->LoadAnimations("Data\\");
    board = MakeCountedHandle(new CGameBoard(caps, layout, paths, balance, options));
    bar = MakeCountedHandle(new CGemsBar());
    bar->SetSharedObjects(device, {}, MakeCountedHandle(new CSpriteRenderer(device, vertices, indices)),
                          MakeCountedHandle(new CTextBatch(device, vertices, indices)),
                          MakeCountedHandle(new CBitmapFont({})),
                          MakeCountedHandle(new CFlareRenderer(device, vertices, indices)));
    m_ready = m_ready && bar->LoadBarGems("Data\\Gfx\\BarGems.bmp") && bar->Init();
    board->gemsBar = bar;
    TakeLog();
}

LabBoard::~LabBoard() { std::remove(m_logPath.c_str()); }

void LabBoard::StartLevel(int level)
{
    CGameBoard& b = *board;
    balance.Reset(0, level);
    b.Reset(0);
    b.levelNumber = level;
    b.hardMode = false;
    b.SetLevelDifficulty(level);
    b.firstFill = 1;
    b.gemsToPlace = b.gemsToCollect = BalanceGemGoal(level);
    b.enabled = true;
    b.ended = false;
    b.locked = false;
    m_gems.clear();
}

void LabBoard::StartGemsBar()
{
    bar->goal = board->gemsToCollect;
    bar->ResetLevel();
}

void LabBoard::FirstFill()
{
    board->firstFill = 1;
    board->Refill(true, true);
    board->firstFill = 0;
}

void LabBoard::Reshuffle()
{
    CGameBoard& b = *board;
    b.ShuffleAnimated(1.5f, 30);
    DropFallenTokens();
    b.SetLocked(false);
    b.Refill(true, true);
    b.firstFill = 0;
}

void LabBoard::DropFallenTokens()
{
    CGameBoard& b = *board;
    const std::vector<CountedHandle<CToken>> tokens = b.movingTokens.Tokens();
    for (const CountedHandle<CToken>& t : tokens)
        if (t->moveKind == 2) {
            if (t->bonus)
                b.bonuses->RemoveBonus(t->bonus);
            b.movingTokens.Remove(t, true);
        }
}

void LabBoard::CollectGems()
{
    CGameBoard& b = *board;
    for (const auto& row : b.grid)
        for (const CountedHandle<CToken>& t : row)
            if (t && t->gem && std::find(m_gems.begin(), m_gems.end(), t) == m_gems.end())
                m_gems.push_back(t);
    for (auto it = m_gems.begin(); it != m_gems.end();) {
        const CountedHandle<CToken>& t = *it;
        if (b.IsOnBoard(t->column, t->row) && b.Cell(t->column, t->row) == t) {
            ++it;
            continue;
        }
        // A struck token leaves play; one that fell off the board in a
        // reshuffle brings its gem back with the refill.
        if (t->state == kTokenDestroyed) {
            --b.gemsToCollect;
            bar->AddGem(t->colour);
            if (t->bonus)
                b.bonuses->RemoveBonus(t->bonus);
        }
        it = m_gems.erase(it);
    }
}

std::string LabBoard::TakeLog()
{
    std::ifstream in(m_logPath);
    std::stringstream text;
    text << in.rdbuf();
    ClearLog();
    return text.str();
}
