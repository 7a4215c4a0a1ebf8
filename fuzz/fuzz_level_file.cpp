// Level files: any text is parsed; a file that parses holds a record the
// board can take as it stands: eight rows of eight characters in every
// section, colours 0..6 in the colour list and the letters' lists, group
// sizes of 0 or more that the colours can deal, rates within 0..1 and bonus
// levels of -1 or more. A refused file leaves the record marked unparsed.
// What parses is then played on a board on the null device: the level's
// first fill and one reshuffle each leave every cell full with a valid
// token.
#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "board/LevelData.h"
#include "engine/Log.h"
#include "engine/RenderDevice.h"
#include "layout/QuestLayout.h"
#include "platform/NullDirect3D.h"
#include "platform/System.h"
#include "tokens/CapsRenderer.h"

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool IsColour(int32_t c) { return c >= 0 && c <= 6; }

void CheckRows(const CLevelData::Rows& rows)
{
    for (const std::string& row : rows)
        Check(row.size() == static_cast<size_t>(CLevelData::kRowLength));
}

void CheckRecord(const CLevelData& level)
{
    for (int32_t c : level.colours)
        Check(IsColour(c));
    Check(level.groupLetters.size() == level.groupSizes.size());
    for (int32_t size : level.groupSizes)
        Check(size >= 0);
    Check(level.colours.empty() || level.CheckGroups(static_cast<int>(level.colours.size())));
    Check(level.listLetters.size() == level.lists.size());
    for (const auto& list : level.lists) {
        Check(!list.empty());
        for (int32_t c : list)
            Check(IsColour(c));
    }
    Check(std::isfinite(level.steelRate) && level.steelRate >= 0.0f && level.steelRate <= 1.0f);
    Check(std::isfinite(level.lockRate) && level.lockRate >= 0.0f && level.lockRate <= 1.0f);
    for (int32_t value : level.bonusLevels)
        Check(value >= -1);
    CheckRows(level.beginRows);
    CheckRows(level.lockRows);
    CheckRows(level.bonusRows);
    CheckRows(level.fixedRows);
    CheckRows(level.gemRows);
}

// The board of level 14 (steel and chains by the number) on the null
// device, without pictures: the tokens' caps are made all the same.
struct Rig {
    Rig()
        : direct3d(d3d::NullDirect3D::StandardAdapters()),
          device(MakeCountedHandle(new CRenderDevice(&direct3d, 0)))
    {
        SetLogName("/dev/null");
        device->CreateDevice(1024, 768, d3d::D3DFMT_X8R8G8B8, 0, 1, nullptr, d3d::D3DFMT_D16, 1, 0, 1, 0);
        direct3d.lastDevice->quiet = true;
        auto vertices = device->CreateVertexBuffer(4096, 0x208, 0x242, d3d::D3DPOOL_DEFAULT);
        auto indices = device->CreateIndexBuffer(4096, d3d::D3DFMT_INDEX16, 0x208, d3d::D3DPOOL_DEFAULT);
        caps = MakeCountedHandle(new CCapsRenderer(device, vertices, indices));
        board = MakeCountedHandle(new CGameBoard(caps, layout, balance, random));
    }

    d3d::NullDirect3D direct3d;
    CountedHandle<CRenderDevice> device;
    CQuestLayout layout;
    CBalanceState balance;
    CRandomStream random;
    CountedHandle<CCapsRenderer> caps;
    CountedHandle<CGameBoard> board;
    std::string path = "/tmp/fuzz_level_file_" + std::to_string(getpid()) + ".lvl";
};

void CheckBoard(const CGameBoard& b)
{
    const BoardGeometry g = b.Geometry();
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c) {
            const CountedHandle<CToken>& t = b.Cell(c, r);
            Check(static_cast<bool>(t));
            Check(IsColour(t->colour) || t->colour == kSteelColour);
            Check(t->column == c && t->row == r && t->chained >= 0 && t->kind == kBoardToken);
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Rig rig;
    FILE* file = std::fopen(rig.path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CLevelData level;
    const int parsed = level.Parse(rig.path);
    Check(level.notParsed == (parsed ? 0 : 1));
    if (!parsed)
        return 0;
    CheckRecord(level);

    plat::SeedRandom(static_cast<uint32_t>(size));
    rig.random.Seed(static_cast<uint32_t>(size));
    CGameBoard& b = *rig.board;
    b.Reset(0);
    BoardSetup setup = LevelSetup(14, false, BalanceGemGoal(14));
    Check(LoadLevelFile(&setup, rig.path));
    b.StartLevel(setup);
    b.FillNow();
    CheckBoard(b);
    b.ShuffleAnimated(1.5f, 30);
    b.LetFallenTokensGo();
    b.SetLocked(false);
    b.FillNow();
    CheckBoard(b);
    return 0;
}
