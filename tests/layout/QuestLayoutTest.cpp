// The quest layout read from skin files: defaults, conversions and the
// shipped skin.
#include "layout/QuestLayout.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using testing_support::ScratchDir;
using testing_support::WriteText;

TEST(QuestLayout, AnEmptySkinGivesTheDefaults)
{
    ScratchDir dir;
    WriteText(dir.File("Skin.cfg"), "");
    CQuestLayout layout;
    layout.Load(dir.File("Skin.cfg"));
    EXPECT_FLOAT_EQ(layout.boardOrigin.x, -144.5f);
    EXPECT_FLOAT_EQ(layout.boardOrigin.y, 367.5f);
    EXPECT_EQ(layout.cellSize, 80.0f);
    ASSERT_EQ(layout.framePieces.size(), 9u);
    for (const FramePiece& p : layout.framePieces) {
        EXPECT_EQ(p.rect.z, 0.0f);
        EXPECT_EQ(p.texture, 0);
        EXPECT_EQ(p.colour, 0xFFFFFFFFu);
        EXPECT_EQ(p.method, 2);
    }
    EXPECT_EQ(layout.gaugeAlphaByte, 63u << 24);
    EXPECT_FLOAT_EQ(layout.comboMessagePos.x, 137.0f);
    EXPECT_FLOAT_EQ(layout.comboMessagePos.z, -1.0f);
    EXPECT_FLOAT_EQ(layout.arrowUpShift.y, 45.0f); // shifts turn to the screen's upward y
    EXPECT_FLOAT_EQ(layout.gemsBigFlares.w, 0.5f * 3.14159265f);
}

TEST(QuestLayout, ValuesAreConvertedAndCheckedAsTheyAreRead)
{
    ScratchDir dir;
    WriteText(dir.File("Skin.cfg"), "[FrameQuest]\nElementsCount=2\nElement1=1 2 3 4\nMethod0=Add\nMethod1=add\n"
                                    "Color1=80FF0000\nTCoords1=0 0 1 0 1 1 0 1\n"
                                    "[FieldQuest]\nCellSize=0\nRadius=nan\n"
                                    "[PanelQuest]\nSaturation=0\nAlpha=1.0\n");
    CQuestLayout layout;
    layout.Load(dir.File("Skin.cfg"));
    ASSERT_EQ(layout.framePieces.size(), 2u);
    EXPECT_EQ(layout.framePieces[0].method, 1);
    EXPECT_EQ(layout.framePieces[1].method, 0); // the words are matched as written
    EXPECT_EQ(layout.framePieces[1].colour, 0x80FF0000u);
    EXPECT_EQ(layout.framePieces[1].rect.w, 4.0f);
    EXPECT_EQ(layout.framePieces[1].uv[4], 1.0f);
    EXPECT_EQ(layout.cellSize, 80.0f); // a cell size that cannot divide falls back
    EXPECT_EQ(layout.tokenRadius, 32.0f);
    EXPECT_FLOAT_EQ(layout.gaugeGreen.x, 127.5f);
    EXPECT_FLOAT_EQ(layout.gaugeGreen.y, 127.5f);
    EXPECT_EQ(layout.gaugeAlphaByte, 255u << 24);

    WriteText(dir.File("Skin.cfg"), "[FrameQuest]\nElementsCount=100000\n");
    layout.Load(dir.File("Skin.cfg"));
    EXPECT_LE(layout.framePieces.size(), 64u);
}

TEST(QuestLayout, TheShippedSkinFramesTheBoard)
{
    CQuestLayout layout;
    layout.Load("Data\\Config\\Skin.cfg");
    ASSERT_EQ(layout.framePieces.size(), 9u);
    EXPECT_EQ(layout.framePieces[0].texture, 1); // the backdrop under the cells
    EXPECT_EQ(layout.framePieces[0].rect.z, 8 * layout.cellSize);
    for (const FramePiece& p : layout.framePieces)
        EXPECT_EQ(p.method, 0);
}

TEST(QuestLayout, FramePieceCountsAndTheGaugeAlphaStayInRange)
{
    ScratchDir dir;
    struct Case {
        const char* alpha;
        uint32_t byte;
    };
    for (const Case& c : {Case{"0.25", 63}, Case{"1.0", 255}, Case{"3", 255}, Case{"-1", 0}, Case{"nan", 63}}) {
        WriteText(dir.File("Skin.cfg"),
                  std::string("[FrameQuest]\nElementsCount=-4\n[PanelQuest]\nAlpha=") + c.alpha + "\n");
        CQuestLayout layout;
        layout.Load(dir.File("Skin.cfg"));
        EXPECT_TRUE(layout.framePieces.empty());
        EXPECT_EQ(layout.gaugeAlphaByte, c.byte << 24) << c.alpha;
    }
}

TEST(QuestLayout, TheShippedSandBoxSitsUnderTheBoardAndAsWide)
{
    CQuestLayout layout;
    layout.Load("Data\\Config\\Skin.cfg");
    const SandboxSettings& box = layout.sandbox;
    EXPECT_FLOAT_EQ(box.origin.x, layout.boardOrigin.x);
    EXPECT_FLOAT_EQ(box.size.x, 8 * layout.cellSize);
    EXPECT_LT(box.origin.y, layout.boardOrigin.y - 8 * layout.cellSize);
    EXPECT_GT(box.origin.y - box.size.y, -384.0f); // and on the screen
    EXPECT_EQ(box.columns, 40);
}
