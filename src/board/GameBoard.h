// The 8 x 8 board on which a level is played, and everything that acts on
// its tokens: the match analyser, the moving tokens, the swaps, the shake,
// the strikes, the refill, and the event queue through which the board
// reports to the game. The game makes one board at start-up and resets it
// for every level.
//
// Rows count from the top, columns from the left; screen y grows upwards.
// A cell's centre is ((column + 0.5) x cell width, -(row + 0.5) x cell
// height) from the board's top-left corner, the origin.
//
// The board's state is open: the game's flow reads and sets its flags
// (enabled, locked, ended, the level state, the gem counts) between frames.
#pragma once

#include "board/BoardMesh.h"
#include "board/BoardShake.h"
#include "board/GemsBar.h"
#include "board/LevelData.h"
#include "board/MatchAnalyser.h"
#include "bonuses/AdviserInterface.h"
#include "bonuses/BonusManager.h"
#include "challenges/Challenges.h"
#include "effects/overlays/Popups.h"
#include "effects/sandbox/Sandbox.h"
#include "engine/CountedHandle.h"
#include "engine/DataPaths.h"
#include "events/GameEvent.h"
#include "records/PlayerStats.h"
#include "tokens/MovingTokens.h"
#include "totems/TotemsManager.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CBalanceState;
class CCapsRenderer;
class CParticleSystemsManager;
class CProfile;
class CQuestSave;
class CSoundManager;
class CTerminator;
class CTerminatorsManager;
class CTexture;
class CTokenHighlight;
struct CDataPaths;
struct CGameOptions;
struct CQuestLayout;

// Board event kinds.
enum BoardEventKind : int32_t {
    kEventStrikesScored = 1,
    kEventCombo = 2,
    kEventSandFull = 3,
    kEventTimeBonus = 4,
    kEventLevelWon = 5,
    kEventSandState = 6,
    kEventNoMoveLeft = 7,
    kEventChallengeResult = 8,
    kEventChallengeOver = 9,
    kEventSandOtherMode = 10,
    kEventChallengePoints = 11,
    kEventChallengePrompt = 12,
    kEventLevelState = 13,
};

struct SwapPair {
    CountedHandle<CToken> first;  // the token that started in the first cell
    CountedHandle<CToken> second; // and the one that started in the second
};

class CGameBoard {
public:
    CGameBoard(CountedHandle<CCapsRenderer> caps, const CQuestLayout& layout, const CDataPaths& paths,
               CBalanceState& balance, const CGameOptions& tuning);
    ~CGameBoard();
    CGameBoard(const CGameBoard&) = delete;
    CGameBoard& operator=(const CGameBoard&) = delete;

    // The board: set-up, geometry and queries.
    void Reset(int mode);
    void Clear();
    Vec2 CellToPoint(int column, int row, bool addOrigin) const;
    // Not clamped: callers test the cell against the board.
    MatchCell PointToCell(float x, float y) const;
    bool IsOnBoard(int column, int row) const { return column >= 0 && row >= 0 && column < columns && row < rows; }
    // The mean of the cells' centres (column, row pairs).
    Vec2 CentreOfCells(const std::vector<std::pair<int32_t, int32_t>>& cells, bool addOrigin) const;
    bool GemGoalReached() const;
    int DrawColour();
    // A colour of the level's list, never steel.
    int DrawPlainColour();
    // A token's value in the analyser: colour + 1, or its complement when
    // chained.
    static int32_t AnalyserCode(const CToken& token);
    bool IsFull() const;
    void Show(bool visible, bool capsVisible, float seconds);
    void SetLocked(bool on);
    void BookDestroyed(const CTerminator& batch);
    bool CanSelect(int column, int row) const;
    void CopyToAnalyser();
    bool IsIdle(bool requireFull) const;
    // The tutorial prompt that is due (0 none); `out` gets its argument.
    int QueryLevelOutcome(int* out);
    bool HasMarkedTokenInBottomRows(int n) const;
    void FlushTokens();
    CountedHandle<CToken>& Cell(int column, int row)
    {
        return grid[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
    const CountedHandle<CToken>& Cell(int column, int row) const
    {
        return grid[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }

    // Picking and swapping.
    CountedHandle<CToken> TokenAt(float x, float y);
    // Does nothing unless both cells are on the board, orthogonal
    // neighbours, and hold tokens.
    void Swap(int columnA, int rowA, int columnB, int rowB, bool back);
    int ResolveSwaps();

    // The frame.
    void Update(float dt, float mouseX, float mouseY);
    void OnLevelState(bool save);
    void SpawnStrikeSand(const CTerminator& strike, float value);

    // Refill and tokens in flight.
    void Refill(bool requireNoRun, bool requireMove);
    void OnTokenArrived(const CountedHandle<CToken>& token);
    // 0 when the token's bonus was sent flying, else 1.
    int PassOnBonus(const CountedHandle<CToken>& token);
    void FinishLevel();

    // Difficulty, the level file and the level state.
    void SetLevelDifficulty(int level);
    // 1 when the file was read and passed its checks (the level then
    // overrides what its number gave), else 0.
    int LoadLevel(const std::string& path);
    void SetLevelState(int state, int subState);
    void StopPlay();

    // Shuffles (BoardShuffle.cpp). The level's first fill: colours from the
    // level's start layout into the analyser, repeated until no run stands
    // and a move exists; false when the layout could not be accepted and
    // its letters were drawn at random instead (logged).
    bool Shuffle(int steelOnBoard, int chainedOnBoard);
    // No move left: the tokens tremble and fall off, the level's fixed ones
    // are remembered, and the next refill drops a new board in.
    void ShuffleAnimated(float duration, int steps);

    // Events.
    int DeferEvents();
    void SetSandFlowing(bool on);
    // Sand still falling towards the box is let go when play stops or the
    // level is won.
    void DropFallingSand();
    void ShowMoveHints();

    // Matches.
    int CheckMatches();
    void ProcessMatchGroups();

    // What the totems, the bonuses and the challenges do to the board; their
    // stand-ins produce nothing yet.
    void ApplyTotemActions();
    void ApplyBonusEvents();
    void ApplyBonusFire(const CountedHandle<CBonus>& bonus);

    int32_t boardMode = 0;                       // 0 the quest board (sand box, gems bar, gem goal)
    int32_t playState = 100;                     // 100 ordinary play; 101..104 a bonus-level challenge
    float originX = 0, originY = 0, originZ = 0; // the base origin plus the shake
    float baseOriginX = 0, baseOriginY = 0, baseOriginZ = 0;
    int32_t columns = 0, rows = 0;
    float cellWidth = 0, cellHeight = 0;
    float tokenSize = 32.0f;
    std::vector<std::vector<CountedHandle<CToken>>> grid; // [row][column]; empty handle: empty cell
    CMatchAnalyser analyser;
    CMovingTokens movingTokens;
    CountedHandle<CCapsRenderer> capsRenderer;
    CountedHandle<CBoardMesh> mesh;
    CountedHandle<CSandbox> sandbox;
    CountedHandle<CGemsBar> gemsBar;
    CountedHandle<CTerminatorsManager> terminators;
    CountedHandle<CBonusManager> bonuses;
    CountedHandle<CParticleSystemsManager> particles, particlesFront;
    CountedHandle<CSoundManager> sounds;
    CountedHandle<CTexture> textures[3]; // Sand, Cloud, StarSand
    const CQuestLayout& layout;
    const CDataPaths& paths;
    const CGameOptions& tuning;
    bool enabled = true;
    bool locked = false;
    bool ended = false;
    std::vector<int32_t> colours; // the colours new tokens are drawn from
    float steelRate = 0.0f;
    int32_t steelCap = 0;
    float lockRate = 0.0f;
    int32_t lockCap = 0;
    CountedHandle<CTokenHighlight> selectionMarker;
    std::vector<SwapPair> swapsActive;
    std::vector<SwapPair> swapsBack;
    // The fill mode of the next refill: 1 a level's first fill, 2 after an
    // animated shuffle, 3 a saved board; 0 ordinary play.
    int32_t firstFill = 1;
    int32_t fillFlag2 = 0;
    CBalanceState& balance;
    int32_t gemsToPlace = 5;
    int32_t gemsToCollect = 5;
    bool refillLimitFlag = false;
    int32_t refillLimit = 8;
    bool sandEnabled = false;
    bool sandDropEnabled = false;
    CBoardShake shake;
    CTotemsManager totems;
    bool totemActionPending = false;
    CPopupManager popups;
    CPlayerStats stats;
    int32_t savedCounter = 0;
    BoardEventQueue events;
    int32_t cascadeCount = 0;
    CAdviserInterface adviser;
    float noMoveTimer = 0.0f;
    CountedHandle<CMemoryChallenge> memoryChallenge;
    CountedHandle<CAccuracyChallenge> accuracyChallenge;
    CountedHandle<CAttentionChallenge> attentionChallenge;
    CountedHandle<CReactionChallenge> reactionChallenge;
    // The level's file, as the last LoadLevel read it.
    CountedHandle<CLevelData> levelData;
    // What the animated shuffle remembered, [row][column]; empty when
    // nothing was.
    std::vector<std::vector<ShuffleCell>> cellInfo;
    // The quest save a resumed level's board is restored from.
    CountedHandle<CQuestSave> questSave;
    int32_t levelNumber = 1;
    CountedHandle<CProfile> profile; // the current player; empty before one exists
    int32_t levelState = 0, levelSubState = 0;
    float levelStateTime = 0.0f;
    bool swapRefused = false;
    int32_t outcomeCount = 0;
    float timerA = 0.0f, timerB = 0.0f;
    int32_t tutorialColour = 0;
    int32_t levelSetting = 0;
    bool hardMode = false;
    int32_t trophyCounters[3] = {0, 0, 0};

private:
    void Push(int32_t kind, int32_t value = 0);
    void ApplyHalfCellCorrection();
    void PlaceSandbox(float shiftX, float shiftY);
    void MoveWithShake(float dt);
    void HandleArrivals();
    void ScoreFinishedStrikes();
    void RefillOrCheck();
    void UpdateChallenges(float dt);
    void TestForMoves(float dt);
    void StartSwapPath(CToken& token, int column, int row, float depth, bool passInFront);
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
    void DrawCodes(bool checkRuns, bool forced, bool requireMove, int steelOnBoard, int chainedOnBoard,
                   FillSource source);
    std::vector<int32_t> ChooseGemCells(int count, int newOrdinary);
    void DropNewTokens(const std::vector<int32_t>& gemCells, FillSource source);
    bool IsTutorialRefill() const;
    // The level's start layout read cell by cell; one draw of it into the
    // analyser, true when it can be played (BoardShuffle.cpp).
    void ReadStartLayout(bool lettersAsRandom);
    bool DrawStartLayout(int steelOnBoard, int chainedOnBoard, bool stopAtRun = true);
    bool PlaceLetters();
    void DealLetters();
    void DealGroups();
    // A random colour, or steel while the steel cap allows.
    int DrawColourUnderCap(int steel);

    // The start layout's letter cells and the colours dealt to its letters
    // and group letters "A".."G", kept between draws so that drawing
    // allocates nothing.
    struct LayoutCell {
        enum Kind : uint8_t { Drawn, Token, Fixed, Letter } kind = Drawn;
        enum Lock : uint8_t { Chance, Chain, Free } lock = Chance;
        char letter = 'x';
        int32_t code = 0; // of a token on the board or a fixed cell
    };
    struct LetterCell {
        int column, row;
        char letter;
        bool chained;
    };
    static constexpr int kGroupLetters = 7;
    std::vector<LayoutCell> m_layout;   // column by column, top down
    std::vector<int32_t> m_layoutCodes; // a draw, in the same order
    std::vector<LetterCell> m_letterCells;
    std::vector<int32_t> m_letterColours, m_dealtColours;
    std::array<std::vector<int32_t>, kGroupLetters> m_groupColours;
};
