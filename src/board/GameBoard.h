// The 8 x 8 board on which a level is played, and everything that acts on
// its tokens: the match analyser, the moving tokens, the swaps, the shake,
// the strikes, the refill, the sand box and the lessons' steps. It reports
// to the game only through its event queue (BoardEvents.h); the game starts
// a level from a setup record, restores one from a snapshot, presses,
// drags, updates and asks its status. What keeps the player's progress
// (statistics, the profile, the quest save) is the game's, and so are the
// bonus levels' challenges.
//
// Rows count from the top, columns from the left; screen y grows upwards.
// A cell's centre is ((column + 0.5) x cell width, -(row + 0.5) x cell
// height) from the board's top-left corner, the origin.
//
// The board draws every random number of its game (colours, gems, the
// refill's policy, the bonus it makes, where a token falls) from the stream
// it is given, so that the scenes' and the effects' draws never change a
// board's game. Shakes and the gems bar's sparkles draw from the shared
// generator: they change only how the board looks.
#pragma once

#include "board/BoardEvents.h"
#include "board/BoardMesh.h"
#include "board/BoardSetup.h"
#include "board/BoardShake.h"
#include "board/GemsBar.h"
#include "board/LevelData.h"
#include "board/MatchAnalyser.h"
#include "bonuses/AdviserInterface.h"
#include "bonuses/BonusManager.h"
#include "effects/overlays/Popups.h"
#include "effects/sandbox/Sandbox.h"
#include "engine/CountedHandle.h"
#include "engine/Random.h"
#include "tokens/MovingTokens.h"
#include "totems/TotemsManager.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CAttentionChallenge;
class CBalanceState;
class CCapsRenderer;
class CFlareRenderer;
class CMemoryChallenge;
class CParticleSystemsManager;
class CPlate;
class CReactionChallenge;
class CSandKeeper;
class CSoundManager;
class CSoundSample;
class CSpriteRenderer;
class CTerminator;
class CTerminatorsManager;
class CTexture;
class CTokenHighlight;
struct CQuestLayout;

struct SwapPair {
    CountedHandle<CToken> first;  // the token that started in the first cell
    CountedHandle<CToken> second; // and the one that started in the second
};

// Where the board stands on the screen and how its cells are cut.
struct BoardGeometry {
    // The cells' corner with the shake the tokens follow, and without it.
    float originX = 0, originY = 0, originZ = 0;
    float baseOriginX = 0, baseOriginY = 0, baseOriginZ = 0;
    float cellWidth = 0, cellHeight = 0;
    int32_t columns = 0, rows = 0;
    float tokenSize = 32.0f;
};

// The board's pictures and effects, as the load sequence hands them over.
struct BoardLooks {
    // Strikes throw their sand into the front layer; the board's own
    // effects go into the middle one.
    CountedHandle<CParticleSystemsManager> particles, particlesFront;
    // The strikes' sand, their dust, and the sand of a full box.
    CountedHandle<CTexture> sand, cloud, starSand;
    // The mesh's pictures by the frame pieces' texture numbers.
    std::vector<CountedHandle<CTexture>> mesh;
    // The sand box: its box, grains, dust, front, glass and frenzy star, the
    // layer of its dunes and the skin's settings of the box.
    CountedHandle<CTexture> sandbox, sandboxGrains, sandboxDust, sandboxFront, sandboxGlass, frenzyStar;
    CountedHandle<CParticleSystemsManager> sandboxParticles;
};

// What a press on the board asks for.
struct BoardPress {
    enum class Kind { None, Pick, Swap };
    Kind kind = Kind::None;
    // The pressed cell: the swap's target.
    int32_t column = -1, row = -1;
    // The token under the press, which a press picks when it does not swap.
    CountedHandle<CToken> token;
};

// A lesson running on the board: which, its step, and the seconds a timed
// step has run.
struct LessonState {
    Lesson lesson = Lesson::None;
    int32_t step = 0;
    float seconds = 0.0f;
};

// The board's state as the game reads it between frames.
struct BoardStatus {
    // Takes swaps: enabled, unlocked and not ended.
    bool inPlay = false;
    bool enabled = false;
    bool locked = false;
    bool ended = false;
    // The sand of strikes runs: the level's clock and the frenzy with it.
    bool sandActive = false;
    // A bonus level's challenge plays on the board.
    bool challengePlay = false;
    // The last swap made no run and went back.
    bool swapRefused = false;
    // The matches of the cascade under way.
    int32_t cascade = 0;
};

class CGameBoard {
public:
    CGameBoard(CountedHandle<CCapsRenderer> caps, const CQuestLayout& layout, CBalanceState& balance,
               CRandomStream& random, const BoardTuning& tuning = {});
    ~CGameBoard();
    CGameBoard(const CGameBoard&) = delete;
    CGameBoard& operator=(const CGameBoard&) = delete;

    // ---- What the load sequence hands over ----
    void SetLooks(const BoardLooks& looks);
    void SetGemsBar(const CountedHandle<CGemsBar>& bar);
    void SetSelectionMarker(const CountedHandle<CTokenHighlight>& marker);
    // The rays that strike matched tokens, glowing with `spark`, striking
    // with `lightning`, bursting chains with `chain`; the pieces a struck
    // token bursts into fall on `debris`, a layer drawn under the tokens.
    void EquipRays(const CountedHandle<CParticleSystemsManager>& particles,
                   const CountedHandle<CParticleSystemsManager>& debris,
                   const CountedHandle<CFlareRenderer>& glows, const CountedHandle<CFlareRenderer>& sparkles,
                   const CountedHandle<CSpriteRenderer>& sprites, const CountedHandle<CTexture>& spark,
                   const CountedHandle<CTexture>& chain, const CountedHandle<CTexture>& lightning);
    // The sounds of the board, its tokens and its rays.
    void SetSounds(const CountedHandle<CSoundManager>& sounds);
    // The score popups the strikes raise.
    void SetPopups(const CountedHandle<CPopupManager>& popups);
    // The bonuses that ride on the tokens and the hint display.
    void SetBonuses(const CountedHandle<CBonusManager>& bonuses, const CountedHandle<CAdviserInterface>& adviser);
    void SetTotems(const CountedHandle<CTotemsManager>& totems);
    // The frame renderer's slots: the mesh under the tokens and the sand box.
    CountedHandle<IBufferLayer> MeshLayer() const;
    CountedHandle<IBufferLayer> SandLayer() const;

    // ---- Levels ----
    // Empties the board for a kind of play: 0 the quest's board, with its
    // sand box and gems bar; 1 and 2 boards without them.
    void Reset(int mode);
    // A level starts: its colours, rates, goal and file, a first fill to
    // come and the gems bar emptied. The board waits, disabled, for play.
    void StartLevel(const BoardSetup& setup);
    // The level's colours, rates, goal and file for the next first fill, the
    // board otherwise as it stands (the totem lesson's board gives way to the
    // level's own).
    void TakeSetup(const BoardSetup& setup);
    // The next fill brings back the snapshot's board (or a new one when it
    // holds none); its gem counts stand at once.
    void Restore(const BoardSnapshot& snapshot);
    BoardSnapshot Snapshot() const;
    // The gems the level still needs and still has to place.
    void SetGemCounts(int32_t toCollect, int32_t toPlace);
    void SetLessons(const LessonPlan& plan);
    // The seconds of the level played so far, which some lessons wait for.
    void SetSecondsPlayed(float seconds);
    // A bonus level's challenge plays on the board: the board stays locked
    // to swaps and its sand neither drains nor starts the frenzy. The end of
    // the level before it is over: the challenge's play has not ended.
    void SetChallengePlay(bool on);
    void Clear();
    // Shows the board with its sand box and gems bar, or hides all three,
    // fading at `speed` in opacity a second as every fade the game passes
    // (the forms', the totems', the shop's): 2 is half a second; 0 or less
    // is at once. The bonuses show and hide with it at once, and a hidden
    // one waits where it is.
    void Show(bool visible, bool capsVisible, float speed);
    // The board's backdrop and frame.
    const CBoardMesh& Mesh() const { return *m_mesh; }
    bool IsShown() const;
    bool SandboxShown() const;
    void SetLocked(bool on);
    void SetSandActive(bool on);
    // Every token falls off the board and the grid is emptied.
    void FlushTokens();
    // Play ends without a win: the tokens stay where they are.
    void StopPlay();
    // No move left: the tokens tremble and fall off, the level's fixed ones
    // are remembered, and the next refill drops a new board in.
    void ShuffleAnimated(float duration, int steps);

    // ---- The frame ----
    void Update(float dt, float mouseX, float mouseY);
    BoardEventQueue& Events() { return m_events; }
    const BoardEventQueue& Events() const { return m_events; }

    // ---- Input ----
    // What a press at (x, y) asks for: with a token picked, a swap with the
    // pressed neighbour (when swaps are allowed and it can move), else the
    // pick of the token under the press.
    BoardPress PressAt(float x, float y, bool swapsAllowed);
    // The neighbour of the picked token that (x, y) lies on and that can be
    // swapped with; false when there is none.
    bool DragTarget(float x, float y, MatchCell* cell) const;
    void Pick(const CountedHandle<CToken>& token);
    void LetGo();
    const CountedHandle<CToken>& Picked() const;
    // The picked token swaps with the token in (column, row).
    void SwapPicked(int column, int row);
    // Does nothing unless both cells are on the board, orthogonal
    // neighbours, and hold tokens.
    void Swap(int columnA, int rowA, int columnB, int rowB, bool back);
    // The token under (x, y); a chained one is refused with its sound.
    CountedHandle<CToken> TokenAt(float x, float y);
    bool CanSelect(int column, int row) const;

    // ---- The lessons ----
    LessonState CurrentLesson() const;
    // A timed lesson step counts the time of play.
    void AdvanceLessonClock(float dt);
    // The player's move through a guided lesson.
    void SetLessonStep(int step);
    // The lesson's prompt closes; `seen` marks it as seen (reported as an
    // event). The totem lesson's board gives way to the level's.
    void CloseLesson(bool seen);
    // The colour of the totem the totem lesson plays.
    int32_t TutorialColour() const { return m_tutorialColour; }

    // ---- Status ----
    BoardStatus Status() const;
    // Nothing moves or strikes and every cell holds a token.
    bool IsIdle() const { return IsIdle(true); }
    // Tokens of the board are still falling or flying.
    bool TokensMoving() const;
    bool IsFull() const;
    int32_t GemsToCollect() const { return m_gemsToCollect; }
    int32_t GemsToPlace() const { return m_gemsToPlace; }
    int ColourCount() const { return static_cast<int>(m_colours.size()); }
    bool HasMarkedTokenInBottomRows(int n) const;
    // The first resting token the test picks, rows from the top, columns
    // from the left; false when there is none.
    bool FindRestingToken(bool (*test)(const CToken&), MatchCell* at) const;
    // The board's tokens in a match analyser of their own.
    CMatchAnalyser Analysis() const;
    // The level's file the level started with; empty without one.
    const CountedHandle<CLevelData>& LevelData() const { return m_levelData; }

    // ---- Geometry and cells ----
    BoardGeometry Geometry() const;
    Vec2 CellToPoint(int column, int row, bool addOrigin) const;
    // Not clamped: callers test the cell against the board.
    MatchCell PointToCell(float x, float y) const;
    bool IsOnBoard(int column, int row) const
    {
        return column >= 0 && row >= 0 && column < m_columns && row < m_rows;
    }
    float CellWidth() const { return m_cellWidth; }
    float CellHeight() const { return m_cellHeight; }
    const CountedHandle<CToken>& Cell(int column, int row) const
    {
        return m_grid[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
    // Every token the board moves or draws, on the board and falling off it.
    const std::vector<CountedHandle<CToken>>& LiveTokens() const;
    // A token's value in the analyser: colour + 1, or its complement when
    // chained.
    static int32_t AnalyserCode(const CToken& token);

    // ---- The sand box ----
    // Sand still falls towards the box.
    bool SandInFlight() const;
    void SetSandDrain(bool on, float rate);
    float SandDrainRate() const;
    // A new level or a bonus level starts with an empty box; the frenzy
    // meter carries over.
    void ResetSandKeepingMeter();
    // The frenzy meter, set only while the box is empty.
    void SetSandMeter(float value);
    void SetSandMeterGain(float gain);
    double SandMeter() const;
    float SandAmount() const;
    // A resumed level's sand: poured into the middle, draining at `rate`.
    void RestoreSand(float amount, float rate);
    SandboxGeometry SandboxBox() const;
    // The box fills (the frenzy starts, with its event and shake; nothing
    // while it flows already) or empties.
    void SetSandFlowing(bool on);
    // How long a frenzy runs: the Sand Glass bought in the shop.
    float FrenzySeconds() const;

    // ---- A bonus level's challenge ----
    // The plates a challenge is done with shatter into sand: the Memory
    // challenge's found pairs (which it counts as collected), the token
    // plate of a right answer in the Attention challenge, the caught plates
    // of the Reaction challenge (counted when the catch was judged). Each
    // plate pours `sand`, a share of the box, into the sand box; one
    // "Explode.wav" sounds for them all, none when no plate was done with.
    void SpawnMemoryEffects(CMemoryChallenge& memory, float sand);
    void SpawnAttentionEffects(CAttentionChallenge& attention, float sand);
    void SpawnReactionEffects(CReactionChallenge& reaction, float sand);

    // ---- Filling, for the board's own update and for tools ----
    void Refill(bool requireNoRun, bool requireMove);
    // The fill the next update would make of an empty board: the level's
    // first, the one after a reshuffle, or a restored one.
    void FillNow();
    // The tokens falling off the board leave it at once.
    void LetFallenTokensGo();
    // One arrow over every cell of every possible move, each cell once.
    void ShowMoveHints();

private:
    friend class BoardProbe; // the board's tests set up its inner states

    bool IsIdle(bool requireFull) const;
    CountedHandle<CToken>& CellRef(int column, int row)
    {
        return m_grid[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
    void Push(BoardEventKind kind, int32_t value = 0);
    void Count(StatCounter counter, int32_t amount);
    void ApplyHalfCellCorrection();
    void PlaceSandbox(float shiftX, float shiftY);
    void MoveWithShake(float dt);
    // The caps are drawn inside the board's cells only.
    void ClipCapsToBoard();
    void HandleArrivals();
    void ScoreFinishedStrikes();
    void RefillOrCheck();
    void TestForMoves(float dt);
    void StartSwapPath(CToken& token, int column, int row, float depth, bool passInFront);
    int ResolveSwaps();
    void OnTokenArrived(const CountedHandle<CToken>& token);
    // 0 when the token's bonus was sent flying, else 1.
    int PassOnBonus(const CountedHandle<CToken>& token);
    void FinishLevel();
    bool GemGoalReached() const;
    int DrawColour();
    // A colour of the level's list, never steel.
    int DrawPlainColour();
    void CopyToAnalyser();
    // The mean of the cells' centres (column, row pairs).
    Vec2 CentreOfCells(const std::vector<std::pair<int32_t, int32_t>>& cells, bool addOrigin) const;
    void BookDestroyed(const CTerminator& batch);
    void SpawnStrikeSand(const CTerminator& strike, float value);
    void ThrowSand(const Vec3& at, const CountedHandle<CSandKeeper>& sand, const CountedHandle<CTexture>& texture,
                   float pour);
    void ShatterPlates(const std::vector<CountedHandle<CPlate>>& plates, int pieces, int particles, float sand);
    void ShatterPicture(const CPlate& plate, int pieces, int particles);
    int CheckMatches();
    void ProcessMatchGroups();
    // A lesson's step: its state, and the event that tells the game.
    void SetLessonState(Lesson lesson, int step);
    // The lesson that is due (None for none); `step` gets its step.
    Lesson DueLesson(int* step);
    bool IsTutorialRefill() const;
    // Sand still falling towards the box is let go when play stops or the
    // level is won.
    void DropFallingSand();
    // What the totems' powers ask of the board this frame, in order: cells
    // struck, points, seconds, tokens recoloured, gems placed, bonuses
    // flown in, the powers started counted; then the closing sounds of the
    // bolts and the paint, panned at the mean x of what they reached.
    void ApplyTotemActions();
    void ApplyTotemActions(const std::vector<TotemAction>& actions);
    enum class TotemSound { GemIn, Coins, Blast, Charge, Crackle, Splash, Count };
    struct TotemHits {
        int struck = 0, painted = 0;
        float struckX = 0.0f, paintedX = 0.0f;
    };
    void PlayTotemSound(TotemSound sound, const float* pannedX);
    // An active token that is not steel and carries no gem and no bonus.
    bool IsFreeForGem(int column, int row) const;
    // `count` distinct draws among `n`, in ascending order; all of them
    // when the count reaches n.
    std::vector<int> DrawDistinct(int count, int n);
    // A gem bonus of the colour placed on the token at once.
    void PlaceGemBonus(CToken& token, int colour);
    void PlaceTotemGems();
    void StrikeTotemGems();
    CountedHandle<CTerminator> TotemRay(const CountedHandle<CToken>& token, int column, int row, int32_t mode);
    void BlastTotemCells(int column, int row, int strength);
    void StrikeTotemSteel(const TotemAction& a, TotemHits* hits);
    void PaintTotemTokens(const TotemAction& a, TotemHits* hits);
    void FlyInTotemBonus(const TotemAction& a);
    // What the bonuses ask of the board this frame: a gem into the gems
    // bar, a cell's token struck, a bonus handed on, time, the hint display,
    // sounds and shakes. Time and hints come to nothing once play has ended.
    void ApplyBonusEvents();
    // The board's side of a bonus whose token a strike destroyed: its sound
    // and shake, a gem's place in the gems bar, the tokens a solidarity
    // bonus takes with it; then the bonus fires.
    void ApplyBonusFire(const CountedHandle<CBonus>& bonus);
    void FireSolidarity(CBonus& bonus);
    // The token in the cell is struck by a quick ray of its own, which
    // starts `delay` seconds late; false (nothing done) when the cell holds
    // no active token.
    bool DestroyCellToken(int column, int row, float delay, bool hitSound);
    // The bonus comes to rest on the token over half a second, and the token
    // carries it. A new bonus has no place yet: it shrinks into place where
    // the token stands. One that has flown off somewhere flies from there.
    enum class BonusStart { OnToken, WhereItIs };
    void FlyInOnToken(CToken& carrier, const CountedHandle<CBonus>& bonus, BonusStart start);
    // The bonuses' sounds, panned at x.
    enum class BonusSound {
        GemOut,
        GemBar,
        Tnt,
        Flash,
        Clock,
        AdviserGet,
        AdviserAct,
        Multiplier,
        Solidarity,
        SolidarityRedir,
        BonusDrop,
        Count
    };
    void PlayBonusSound(BonusSound sound, float x);
    // Play ends: no hints, no selection, no input.
    void EndPlay();
    void SettleTotems();
    // Sends every token of the board falling ten rows down and empties the
    // grid.
    void DropAllTokens();
    void FallTo(CToken& token, float targetX, float targetY, bool rebound);
    // Puts a bonus on a token and gives it the token's colour.
    void GiveBonus(CToken& token, const CountedHandle<CBonus>& bonus);
    void MoveRidingBonuses();
    // Where a refill takes the cells that the level's file, the animated
    // shuffle or a saved board preset; Drawn when its source is missing.
    enum class FillSource { Drawn, Level, Remembered, Saved };
    FillSource SourceOfFill() const;
    // The analyser code a source gives an empty cell; 0 when it is drawn.
    int32_t PresetCode(FillSource source, int column, int row) const;
    bool IsPresetGem(FillSource source, int column, int row) const;
    // The chain count of a new chained token; 1 unless the source says.
    int32_t PresetLock(FillSource source, int column, int row) const;
    bool IsPresetFixed(FillSource source, int column, int row) const;
    // The gems of a fill from a source, as numbers of the new ordinary cells.
    std::vector<int32_t> PresetGemCells(FillSource source);
    void AttachPresetBonuses(FillSource source);
    void RestoreSavedExtras();
    const BoardSnapshot::Cell& SavedCell(int column, int row) const
    {
        return m_restore.cells[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
    void DrawCodes(bool checkRuns, bool forced, bool requireMove, int steelOnBoard, int chainedOnBoard,
                   FillSource source);
    std::vector<int32_t> ChooseGemCells(int count, int newOrdinary);
    void DropNewTokens(const std::vector<int32_t>& gemCells, FillSource source);
    // The level's first fill: colours from the level's start layout into the
    // analyser, repeated until no run stands and a move exists; false when
    // the layout could not be accepted and its letters were drawn at random
    // instead (logged). BoardShuffle.cpp.
    bool Shuffle(int steelOnBoard, int chainedOnBoard);
    // The level's start layout read cell by cell; one draw of it into the
    // analyser, true when it can be played.
    void ReadStartLayout(bool lettersAsRandom);
    bool DrawStartLayout(int steelOnBoard, int chainedOnBoard, bool stopAtRun = true);
    bool PlaceLetters();
    void DealLetters();
    void DealGroups();
    // A random colour, or steel while the steel cap allows.
    int DrawColourUnderCap(int steel);
    // floor(random x n), clamped to n - 1.
    int Pick(int n);
    // Forty exchanges of two random entries, from `first` on.
    void Mix(std::vector<int32_t>& list, size_t first);
    // A random member of a list, or -1 for an empty one.
    int32_t Member(const std::vector<int32_t>& list);

    // What the board is given.
    CountedHandle<CCapsRenderer> m_caps;
    const CQuestLayout& m_layout;
    CBalanceState& m_balance;
    CRandomStream& m_random;
    BoardTuning m_tuning;
    CountedHandle<CParticleSystemsManager> m_particles, m_particlesFront;
    CountedHandle<CTexture> m_sandTexture, m_cloudTexture, m_starSandTexture;
    CountedHandle<CSoundManager> m_sounds;
    std::array<CountedHandle<CSoundSample>, static_cast<size_t>(BonusSound::Count)> m_bonusSounds;
    std::array<CountedHandle<CSoundSample>, static_cast<size_t>(TotemSound::Count)> m_totemSounds;
    CountedHandle<CPopupManager> m_popups;
    CountedHandle<CBonusManager> m_bonuses;
    CountedHandle<CAdviserInterface> m_adviser;
    CountedHandle<CTotemsManager> m_totems;
    CountedHandle<CGemsBar> m_gemsBar;
    CountedHandle<CTokenHighlight> m_marker;

    // What the board owns.
    CMatchAnalyser m_analyser;
    CMovingTokens m_movingTokens;
    CountedHandle<CBoardMesh> m_mesh;
    CountedHandle<CSandbox> m_sandbox;
    CountedHandle<CTerminatorsManager> m_rays;
    CBoardShake m_shake;
    BoardEventQueue m_events;

    // The board's cut and place.
    int32_t m_boardMode = 0;                           // 0 the quest board (sand box, gems bar, gem goal)
    float m_originX = 0, m_originY = 0, m_originZ = 0; // the base origin plus the shake
    float m_baseOriginX = 0, m_baseOriginY = 0, m_baseOriginZ = 0;
    int32_t m_columns = 0, m_rows = 0;
    float m_cellWidth = 0, m_cellHeight = 0;
    float m_tokenSize = 32.0f;
    std::vector<std::vector<CountedHandle<CToken>>> m_grid; // [row][column]; empty handle: empty cell

    // Play.
    bool m_challengePlay = false;
    bool m_enabled = true;
    bool m_locked = false;
    bool m_ended = false;
    bool m_sandActive = false;
    bool m_sandDropEnabled = false;
    std::vector<SwapPair> m_swapsActive;
    std::vector<SwapPair> m_swapsBack;
    int32_t m_cascadeCount = 0;
    bool m_totemActionPending = false;
    float m_noMoveTimer = 0.0f;

    // The level.
    int32_t m_levelNumber = 1;
    bool m_hardMode = false;
    std::vector<int32_t> m_colours; // the colours new tokens are drawn from
    float m_steelRate = 0.0f;
    int32_t m_steelCap = 0;
    float m_lockRate = 0.0f;
    int32_t m_lockCap = 0;
    int32_t m_gemsToPlace = 5;
    int32_t m_gemsToCollect = 5;
    bool m_refillLimitFlag = false;
    int32_t m_refillLimit = 8;
    // The fill mode of the next refill: 1 a level's first fill, 2 after an
    // animated shuffle, 3 a saved board; 0 ordinary play.
    int32_t m_firstFill = 1;
    // The level's file, as the level started with it.
    CountedHandle<CLevelData> m_levelData;
    // The cells its start layout keeps plain (BoardSetup::plainCells).
    std::vector<MatchCell> m_plainCells;
    // What the animated shuffle remembered, [row][column]; empty when
    // nothing was.
    std::vector<std::vector<ShuffleCell>> m_cellInfo;
    // The board a resumed level's first fill brings back.
    BoardSnapshot m_restore;

    // The lessons.
    LessonPlan m_lessons;
    float m_secondsPlayed = 0.0f;
    Lesson m_lesson = Lesson::None;
    int32_t m_lessonStep = 0;
    float m_lessonTime = 0.0f;
    bool m_swapRefused = false;
    // Times the wrong-swap prompt came in this level.
    int32_t m_wrongSwapPrompts = 0;
    int32_t m_tutorialColour = 0;

    // The start layout's letter cells and the colours dealt to its letters
    // and group letters "A".."G", kept between draws so that drawing
    // allocates nothing.
    struct LayoutCell {
        enum Kind : uint8_t { Drawn, Token, Fixed, Letter } kind = Drawn;
        enum Lock : uint8_t { Chance, Chain, Free } lock = Chance;
        // Kept plain: never chained, and never steel where it is drawn.
        bool plain = false;
        char letter = 'x';
        int32_t code = 0; // of a token on the board or a fixed cell
    };
    struct LetterCell {
        int column, row;
        char letter;
        bool chained;
    };
    static constexpr int kGroupLetters = 7;
    std::vector<LayoutCell> m_layoutCells; // column by column, top down
    std::vector<int32_t> m_layoutCodes;    // a draw, in the same order
    std::vector<LetterCell> m_letterCells;
    std::vector<int32_t> m_letterColours, m_dealtColours;
    std::array<std::vector<int32_t>, kGroupLetters> m_groupColours;
};
