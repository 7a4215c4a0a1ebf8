// The lab's board and the few steps of the game's flow the lab plays.
#include "LabBoard.h"

#include "bonuses/BonusParameters.h"
#include "engine/BitmapFont.h"
#include "engine/Flare.h"
#include "engine/Log.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "platform/System.h"
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
    board = MakeCountedHandle(new CGameBoard(caps, layout, balance, random));
    totems = MakeCountedHandle(new CTotemsManager());
    board->SetTotems(totems);
    // The bonuses act as the installed files tune them; they draw nothing.
    LoadBonusParameters("Data\\Config\\Gems.cfg", "Data\\Config\\Bonus.cfg");
    bonuses = MakeCountedHandle(new CBonusManager());
    board->SetBonuses(bonuses, MakeCountedHandle(new CAdviserInterface()));
    bar = MakeCountedHandle(new CGemsBar());
    bar->SetSharedObjects(device, {}, MakeCountedHandle(new CSpriteRenderer(device, vertices, indices)),
                          MakeCountedHandle(new CTextBatch(device, vertices, indices)),
                          MakeCountedHandle(new CBitmapFont({})),
                          MakeCountedHandle(new CFlareRenderer(device, vertices, indices)));
    m_ready = m_ready && bar->LoadBarGems("Data\\Gfx\\BarGems.bmp") && bar->Init();
    board->SetGemsBar(bar);
    TakeLog();
}

LabBoard::~LabBoard() { std::remove(m_logPath.c_str()); }

// The board's stream takes the seed spread over its 32 bits (a golden-ratio
// multiple), so that it never runs in step with the shared generator.
void LabBoard::Seed(uint32_t seed)
{
    plat::SeedRandom(seed);
    random.Seed(seed * 2654435761u);
}

BoardSetup LabBoard::StartLevel(int level, const std::string& file, Lesson lesson, bool* parsed)
{
    balance.Reset(0, level);
    board->Reset(0);
    BoardSetup setup = LevelSetup(level, false, BalanceGemGoal(level));
    const bool read = file.empty() || LoadLevelFile(&setup, LevelPath(file));
    if (parsed)
        *parsed = read;
    setup.lesson = lesson;
    board->StartLevel(setup);
    board->SetLocked(false);
    m_gems.clear();
    return setup;
}

void LabBoard::FirstFill() { board->FillNow(); }

void LabBoard::Reshuffle()
{
    board->ShuffleAnimated(1.5f, 30);
    board->LetFallenTokensGo();
    board->SetLocked(false);
    board->FillNow();
}

void LabBoard::CollectGems()
{
    CGameBoard& b = *board;
    for (int r = 0; r < b.Geometry().rows; ++r)
        for (int c = 0; c < b.Geometry().columns; ++c) {
            const CountedHandle<CToken>& t = b.Cell(c, r);
            if (t && t->gem && std::find(m_gems.begin(), m_gems.end(), t) == m_gems.end())
                m_gems.push_back(t);
        }
    for (auto it = m_gems.begin(); it != m_gems.end();) {
        const CountedHandle<CToken>& t = *it;
        if (b.IsOnBoard(t->column, t->row) && b.Cell(t->column, t->row) == t) {
            ++it;
            continue;
        }
        // A struck token leaves play; one that fell off the board in a
        // reshuffle brings its gem back with the refill.
        if (t->state == kTokenDestroyed) {
            b.SetGemCounts(b.GemsToCollect() - 1, b.GemsToPlace());
            bar->AddGem(t->colour);
            if (t->bonus)
                bonuses->RemoveBonus(t->bonus);
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
