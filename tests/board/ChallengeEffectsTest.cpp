// The board's effects for the plates a bonus level's challenge is done
// with: which plates each challenge hands over, what each plate leaves
// (its picture's pieces, a puff of sand with its dust, its share of the
// sand box) and the one explosion, on the real board and caps renderer.
#include "BoardRig.h"
#include "challenges/ChallengeRig.h"
#include "challenges/Challenges.h"
#include "effects/keepers/DustTrackKeeper.h"
#include "effects/keepers/SandKeeper.h"
#include "effects/keepers/SpriteCrackKeeper.h"
#include "effects/particles/Collection2ParticleSystem.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "platform/System.h"

#include <map>

using board_rig::BoardRig;
using challenge_rig::kFrame;

namespace {

class ChallengeEffects : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SeedRandom(11);
        ASSERT_TRUE(rig.caps->SwitchTextureSet(1));
        BoardLooks looks;
        looks.particles = back;
        looks.particlesFront = front;
        looks.sand = sand;
        looks.cloud = cloud;
        board.SetLooks(looks);
        board.SetSounds(sounds);
        ASSERT_TRUE(probe.Sandbox().Heightfield());
    }
    // A plate challenge as a bonus level starts it, on the board's cells.
    void OnTheBoard(CPlateChallenge& challenge)
    {
        const BoardGeometry g = board.Geometry();
        challenge.SetBoardGeometry(g.originX, g.originY, g.originZ, g.cellWidth, g.cellHeight);
        challenge.CreatePlateSet(rig.caps);
        challenge.SetSoundManager(sounds);
    }
    template <typename Challenge>
    static void Run(Challenge& challenge, float seconds)
    {
        for (float t = 0.0f; t < seconds; t += kFrame)
            challenge.Update(kFrame);
    }
    template <typename Challenge>
    static int RunUntil(Challenge& challenge, int code, float limit)
    {
        for (float t = 0.0f; t < limit; t += kFrame)
            if (challenge.Update(kFrame) == code)
                return code;
        return 100;
    }
    // Runs the flashing until a token plate starts to open; false when none
    // does within 100 s.
    static bool OpenAToken(CReactionChallenge& reaction)
    {
        for (int i = 0; i < 6000; ++i) {
            const bool closed = reaction.GetStep() == CReactionChallenge::kClosed;
            reaction.Update(kFrame);
            if (reaction.GetState() == CReactionChallenge::kRunning && closed &&
                reaction.GetStep() == CReactionChallenge::kOpen && !reaction.OpenPlate()->IsEmpty())
                return true;
        }
        return false;
    }
    static const CCollection2ParticleSystem& System(const CountedHandle<CParticleSystem>& system)
    {
        return dynamic_cast<const CCollection2ParticleSystem&>(*system);
    }
    template <typename Keeper>
    static const Keeper* KeeperOf(const CountedHandle<CParticleSystem>& system)
    {
        return dynamic_cast<const Keeper*>(System(system).Keeper().Get());
    }
    CountedHandle<CTexture> Blank(const char* name)
    {
        return rig.gpu.device->CreateTexture(name, 8, 8, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
    }
    int Explosions() const { return challenge_rig::Plays(sounds, "Explode.wav"); }
    const std::vector<CSandHeightfield::FallingGrain>& Grains()
    {
        return probe.Sandbox().Heightfield()->FallingGrains();
    }
    // What a shattered plate leaves: its picture's pieces on the back layer
    // (`pieces` a side, cut from the frame its token cap shows), and on the
    // front layer a puff of sand with its dust, `first` the sand's index.
    void ExpectShattered(const CPlate& plate, const CountedHandle<CParticleSystem>& shatter, int pieces,
                         size_t first)
    {
        const CSpriteCrackKeeper* crack = KeeperOf<CSpriteCrackKeeper>(shatter);
        ASSERT_TRUE(crack);
        EXPECT_EQ(crack->Pieces().size(), static_cast<size_t>(pieces * pieces));
        const CCap& cap = *plate.TokenCap();
        const CCapsAnimation& animation =
            rig.caps->Animations()[static_cast<size_t>(rig.caps->AnimationIndex(cap.type))];
        const CapFrame& frame =
            animation.frames[static_cast<size_t>(animation.track[static_cast<size_t>(cap.trackPosition)])];
        EXPECT_FLOAT_EQ(crack->u0, frame.uLeft);
        EXPECT_FLOAT_EQ(crack->v1, frame.vBottom);
        EXPECT_FLOAT_EQ(crack->spriteWidth, 2.0f * plate.Size());
        EXPECT_EQ(shatter->Texture(), cap.baseTexture);
        EXPECT_FLOAT_EQ(shatter->Position().x, plate.Position().x);
        EXPECT_FLOAT_EQ(shatter->Position().y, plate.Position().y);

        const auto& systems = front->BlendedSystems();
        ASSERT_GT(systems.size(), first + 1);
        const CSandKeeper* grains = KeeperOf<CSandKeeper>(systems[first]);
        ASSERT_TRUE(grains);
        EXPECT_EQ(grains->colour, 0xfff7d96bu);
        EXPECT_EQ(systems[first]->Texture(), sand);
        EXPECT_FLOAT_EQ(systems[first]->Position().x, plate.Position().x);
        EXPECT_TRUE(KeeperOf<CDustTrackKeeper>(systems[first + 1]));
        EXPECT_EQ(systems[first + 1]->Texture(), cloud);
    }

    BoardRig rig;
    CGameBoard& board = *rig.board;
    BoardProbe probe = rig.Probe();
    CountedHandle<CParticleSystemsManager> back =
        MakeCountedHandle(new CParticleSystemsManager(rig.gpu.device, rig.gpu.vertices, rig.gpu.indices));
    CountedHandle<CParticleSystemsManager> front =
        MakeCountedHandle(new CParticleSystemsManager(rig.gpu.device, rig.gpu.vertices, rig.gpu.indices));
    CountedHandle<CTexture> sand = Blank("Sand");
    CountedHandle<CTexture> cloud = Blank("Cloud");
    CountedHandle<CSoundManager> sounds = challenge_rig::CountingSounds();
};

} // namespace

// Nothing is done with before the player has found, chosen or caught
// anything: no effect, no sound, no sand, every plate still on the board.
TEST_F(ChallengeEffects, NothingDoneWithLeavesNoEffectAndNoSound)
{
    CMemoryChallenge memory;
    OnTheBoard(memory);
    memory.StartRound(1);
    Run(memory, 1.05f);
    CAttentionChallenge attention;
    OnTheBoard(attention);
    attention.StartRound(1);
    ASSERT_EQ(RunUntil(attention, 109, 60.0f), 109);
    CReactionChallenge reaction;
    OnTheBoard(reaction);
    reaction.Start(1);
    // Flashing, a token open, nothing stopped.
    Run(reaction, 1.05f);
    OpenAToken(reaction);
    Run(reaction, 0.2f);
    ASSERT_TRUE(reaction.OpenPlate()->IsShowingPicture());
    const size_t caps = rig.caps->Caps().size();

    board.SpawnMemoryEffects(memory, 1.0f / 57.5f);
    board.SpawnAttentionEffects(attention, 0.13f);
    board.SpawnReactionEffects(reaction, 0.088f);
    EXPECT_TRUE(back->BlendedSystems().empty());
    EXPECT_TRUE(front->BlendedSystems().empty());
    EXPECT_EQ(Explosions(), 0);
    EXPECT_TRUE(Grains().empty());
    EXPECT_EQ(rig.caps->Caps().size(), caps);
    EXPECT_EQ(memory.Collected(), 0);
}

// Two plates of a found pair: two sets of effects, one explosion, two
// plates collected, and nothing more from a second call.
TEST_F(ChallengeEffects, APairFoundShattersBothPlatesWithOneExplosionAndCountsThemOnce)
{
    CMemoryChallenge memory;
    OnTheBoard(memory);
    memory.StartRound(1);
    Run(memory, 1.05f);
    ASSERT_TRUE(memory.IsWaitingForPlayer());
    std::map<int, std::vector<CountedHandle<CPlate>>> pictures;
    for (int r = 0; r < memory.Rows(); ++r)
        for (int c = 0; c < memory.Columns(); ++c)
            if (const CountedHandle<CPlate> plate = memory.PlateAt(c, r))
                pictures[plate->TokenCode()].push_back(plate);
    const std::vector<CountedHandle<CPlate>> pair = pictures.begin()->second;
    ASSERT_EQ(memory.OnClick(pair[0]->Position().x, pair[0]->Position().y), 101);
    Run(memory, 0.3f);
    ASSERT_EQ(memory.OnClick(pair[1]->Position().x, pair[1]->Position().y), 101);
    ASSERT_EQ(RunUntil(memory, 105, 1.0f), 105);
    const size_t caps = rig.caps->Caps().size();

    const float share = 1.0f / 57.5f;
    board.SpawnMemoryEffects(memory, share);
    EXPECT_EQ(memory.Collected(), 2);
    EXPECT_EQ(Explosions(), 1);
    ASSERT_EQ(back->BlendedSystems().size(), 2u);
    ASSERT_EQ(front->BlendedSystems().size(), 4u);
    for (size_t i = 0; i < 2; ++i)
        ExpectShattered(*pair[i], back->BlendedSystems()[i], 4, 2 * i);
    ASSERT_EQ(Grains().size(), 2u);
    for (const CSandHeightfield::FallingGrain& grain : Grains())
        EXPECT_FLOAT_EQ(grain.amount, share);
    EXPECT_EQ(rig.caps->Caps().size(), caps - 4);
    EXPECT_EQ(memory.PlateSet()->Plates().size(), 10u);

    board.SpawnMemoryEffects(memory, share);
    EXPECT_EQ(memory.Collected(), 2);
    EXPECT_EQ(Explosions(), 1);
    EXPECT_EQ(back->BlendedSystems().size(), 2u);
}

// A right answer shatters the token plate alone, in 6 x 6 pieces; the two
// empty plates stay for the dismissal.
TEST_F(ChallengeEffects, ARightAnswerShattersTheTokenPlateOnly)
{
    CAttentionChallenge attention;
    OnTheBoard(attention);
    attention.StartRound(1);
    ASSERT_EQ(RunUntil(attention, 109, 60.0f), 109);
    const CountedHandle<CPlate> token = attention.Plates()[CAttentionChallenge::kTokenPlate];
    ASSERT_EQ(attention.OnClick(token->Position().x, token->Position().y), 101);
    ASSERT_EQ(RunUntil(attention, 101, 1.0f), 101);
    ASSERT_TRUE(attention.ChoseRight());

    board.SpawnAttentionEffects(attention, 0.13f);
    EXPECT_EQ(Explosions(), 1);
    ASSERT_EQ(back->BlendedSystems().size(), 1u);
    ExpectShattered(*token, back->BlendedSystems()[0], 6, 0);
    EXPECT_EQ(front->BlendedSystems().size(), 2u);
    ASSERT_EQ(Grains().size(), 1u);
    EXPECT_FLOAT_EQ(Grains()[0].amount, 0.13f);
    EXPECT_EQ(rig.caps->Caps().size(), 4u);
}

// Each catch is counted when it is judged and its plate shattered after:
// the level ends after its twelfth catch, not after its sixth.
TEST_F(ChallengeEffects, ACaughtTokenShattersAndCountsOnceSoTheLevelTakesTwelveCatches)
{
    CReactionChallenge reaction;
    OnTheBoard(reaction);
    reaction.SetNeeded(12);
    reaction.Start(1);
    Run(reaction, 1.05f);
    ASSERT_EQ(reaction.GetState(), CReactionChallenge::kRunning);
    for (int n = 1; n <= 12; ++n) {
        // Wait for a token plate to open, stop, and take the catch as the
        // bonus level does.
        ASSERT_TRUE(OpenAToken(reaction)) << n;
        const CountedHandle<CPlate> plate = reaction.OpenPlate();
        reaction.OnStop();
        ASSERT_EQ(RunUntil(reaction, 101, 0.5f), 101) << n;
        reaction.CountCatch();
        board.SpawnReactionEffects(reaction, 0.088f);
        EXPECT_EQ(reaction.Caught(), n);
        EXPECT_EQ(Explosions(), n);
        EXPECT_EQ(back->BlendedSystems().size(), static_cast<size_t>(n));
        if (n == 1)
            ExpectShattered(*plate, back->BlendedSystems()[0], 6, 0);
        Run(reaction, 1.01f); // the catch pause
        EXPECT_EQ(reaction.GetState() == CReactionChallenge::kOver, n == 12) << n;
    }
    EXPECT_EQ(Grains().size(), 12u);
    EXPECT_EQ(RunUntil(reaction, 110, 1.1f), 110);
}

// A challenge starts on the board that the won level before it ended: its
// play has not ended, though the board takes no swaps.
TEST(ChallengePlay, AChallengeOnTheBoardAfterAWonLevelHasNotEnded)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    rig.Place(board_rig::NoMoveGrid());
    b.StopPlay();
    ASSERT_TRUE(b.Status().ended);
    b.SetChallengePlay(true);
    const BoardStatus status = b.Status();
    EXPECT_TRUE(status.challengePlay);
    EXPECT_FALSE(status.ended);
    EXPECT_FALSE(status.inPlay);
}
