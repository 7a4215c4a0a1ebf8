// The selection highlight zooms in over its token and follows it.
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/RenderTestSupport.h"
#include "engine/Sprite.h"
#include "rays/TokenHighlight.h"

#include <gtest/gtest.h>

TEST(Highlight, ZoomsFromTwiceTheSizeToFramingTheTokenInAQuarterSecond)
{
    NullRig rig;
    auto sprites = MakeCountedHandle(new CSpriteRenderer(rig.device, rig.vertices, rig.indices));
    auto particles = MakeCountedHandle(new CParticleSystemsManager(rig.device, rig.vertices, rig.indices));
    CTokenHighlight highlight(particles, sprites, {}, {}, {});
    auto token = MakeCountedHandle(new CToken());
    token->colour = 3;
    token->x = 10;
    token->offsetX = 100;
    highlight.ShowAt(token);
    ASSERT_TRUE(highlight.IsVisible());
    EXPECT_EQ(highlight.ColourCode(), 3);
    EXPECT_EQ(highlight.Sprite()->width, 128.0f);
    EXPECT_EQ(highlight.Sprite()->opacity, 0.0f);
    EXPECT_EQ(sprites->sprites.size() + sprites->hiddenSprites.size(), 1u);
    // A burst for the click and two satellites circling the token.
    ASSERT_EQ(particles->BlendedSystems().size(), 3u);
    ASSERT_TRUE(highlight.Satellite(0) && highlight.Satellite(1));

    highlight.Update(0.125f);
    EXPECT_FLOAT_EQ(highlight.Sprite()->width, 96.0f);
    EXPECT_FLOAT_EQ(highlight.Sprite()->opacity, 0.5f);
    token->x = 20; // it follows the token
    highlight.Update(0.125f);
    EXPECT_FLOAT_EQ(highlight.Sprite()->width, 64.0f);
    EXPECT_FLOAT_EQ(highlight.Sprite()->opacity, 1.0f);
    EXPECT_FLOAT_EQ(highlight.Sprite()->x, 120.0f);
    EXPECT_FLOAT_EQ(highlight.Sprite()->z, -16.0f);

    highlight.ShowAt(token); // again: the zoom starts over
    EXPECT_EQ(highlight.Sprite()->width, 128.0f);
    highlight.Update(1.0f);
    EXPECT_EQ(highlight.Sprite()->width, 64.0f);

    const CountedHandle<CParticleSystem> satellite = highlight.Satellite(0);
    highlight.Hide();
    EXPECT_FALSE(highlight.IsVisible());
    satellite->Update(0.01f);
    EXPECT_FALSE(satellite->IsEmitting()); // its sparkles fade out on their own
    EXPECT_FALSE(highlight.Token());
    EXPECT_EQ(sprites->sprites.size() + sprites->hiddenSprites.size(), 0u);
    EXPECT_EQ(highlight.Update(0.1f), 0);
    highlight.Hide(); // hidden already: nothing changes
}
