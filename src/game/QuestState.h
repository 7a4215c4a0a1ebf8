// The quest's state: the current player and what the quest has come to
// (level, lives, time left, Golden Stars, the last results, its GUID and
// hiscore entry, the player's statistics tables and the quest's counters),
// with the verbs that change them: a new quest, a life lost, a Golden Star
// earned, a level won, the score, the checkpoint written and taken back.
// The quest state shows nothing; the flow shows what its verbs change.
#pragma once

#include "board/BoardSetup.h"
#include "engine/CountedHandle.h"
#include "records/BestList.h"
#include "records/Guid.h"
#include "records/PlayerStats.h"
#include "records/Profiles.h"
#include "records/QuestSave.h"
#include "records/Trophies.h"

#include <string>

class CGameServices;

// The board a save keeps, for the board to restore, with the gem counts it
// is to go on with.
BoardSnapshot SnapshotOfSave(const CQuestSave& save, int32_t gemsToCollect, int32_t gemsToPlace);

class CQuestState {
public:
    explicit CQuestState(CGameServices& services);
    CQuestState(const CQuestState&) = delete;
    CQuestState& operator=(const CQuestState&) = delete;

    // ---- The player ----
    // The [Game] profile name picks the current player among the listed
    // profiles; when it names nobody the first profile found takes over and
    // is written back. Without any profile the name entry has to run first.
    void ChoosePlayer();
    // The listed profile at `index` becomes the current player and is
    // written down as the last one; false for an index outside the list.
    bool MakePlayerCurrent(int index);
    // The current player's profile; empty before a player exists.
    CountedHandle<CProfile> CurrentProfile() const;
    std::string PlayerFolder() const;
    // The lessons the current player has still to see, and one seen.
    LessonPlan CurrentLessonPlan() const;
    void MarkLessonSeen(Lesson lesson);

    // ---- The quest's verbs ----
    // A new quest's record: a new GUID, the difficulty, the lives, and the
    // statistics and counters from nothing.
    void StartNew(int difficulty, int32_t startingLives);
    // The quest as the save keeps it: the mode, GUID and difficulty, the
    // level and lives, the statistics and the counters.
    void TakeFromSave(const CQuestSave& save);
    void LoseLife() { --lives; }
    // A Golden Star for the shop, counted for the trophies.
    void EarnGoldenStar();
    void WinLevel();
    int32_t Score() const { return stats.tables[1].Get(StatScore); }
    void AddScore(int32_t points) { stats.AddToRunTables(points, StatScore); }
    // One life for each new multiple of the points per life the score
    // passes, one at a time; true when one was given.
    bool TakeExtraLife(int32_t pointsPerLife);
    // The time left changed by a bonus: the next warning follows it, and it
    // stays within the level's limit.
    void AddTime(float seconds, float timeLimit);
    // The quest into its save record; `resumeKind` says where it goes on,
    // `withShop` takes the shop's items and stars.
    void Store(int32_t resumeKind, bool withShop);
    // A won level's checkpoint, written after the shop opened.
    void WriteCheckpoint();
    // The checkpoint taken back into the save record after a lost level
    // (its first copy, or the second when no lives are left); false when
    // there is none.
    bool LoadCheckpoint(bool noLivesLeft, bool livesLimited, int32_t maxLives);
    void DeleteSaves(bool alsoSecond);
    // The quest's score offered to the hiscore table; 1 when it entered,
    // which the screens highlight.
    int EnterHiscore();
    // What the trophies judge.
    TrophyValues CurrentTrophyValues() const;

    // ---- The player ----
    CountedHandle<CProfile> profile;
    // The current player's name; empty when no profile exists.
    CountedHandle<std::string> playerName;
    // No profile exists yet: the name entry opened at start-up.
    bool nameEntryPending = false;

    // ---- The quest ----
    // 0: the quest with lives, time, sand and the shop.
    int gameType = 0;
    GuidBytes questGuid{};
    bool hardMode = false;
    // 1-based; above 40 the quest is complete.
    int level = 1;
    int lives = 3;
    float timeLeft = 0.0f;
    // The next time left at which the countdown overlay starts.
    float nextTimeWarning = 30.0f;
    // A level intro runs and keeps the quest from being saved.
    bool levelIntroPending = false;
    // Golden Stars of the score frenzy in this level (each further one takes
    // longer); set with the first of them.
    int starsThisLevel = 0;
    bool starAwarded = false;
    int levelsWon = 0;
    // The level was reloaded after the last life was lost.
    bool reloadedWithoutLives = false;
    // A level was won and its checkpoint is still to be written.
    bool levelWon = false;
    // The numbers the level results show, and what trophy kind 8 judges:
    // whole seconds left at the last results.
    LevelResults results;
    int lastGameValue = 0;
    // The player's statistics: the whole game, the quest and the level.
    CPlayerStats stats;
    // The lives already given for the score; the three trophy counters of
    // the quest (kinds 1, 5 and 7).
    int32_t extraLifeSteps = 0;
    int32_t trophyCounters[3] = {0, 0, 0};
    // Steps of the sand's drain rate the level brought.
    int32_t sandRateSteps = 0;
    // The last finished quest entered the hiscore table.
    int hiscoreEntered = 0;

private:
    CGameServices& m_services;
};
