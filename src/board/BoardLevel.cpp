// The level's difficulty, the level and tutorial states, the statistics of
// destroyed tokens, and the end of play without a win.
#include "board/GameBoard.h"

#include "engine/DataPaths.h"
#include "rays/Terminator.h"
#include "rays/TokenHighlight.h"
#include "records/Profiles.h"

#include <cmath>

// Five colours up to level 3, six from level 4, seven from level 9 (always
// seven in hard mode); steel from level 14 and chains from level 6, more
// often and more of them in hard mode.
void CGameBoard::SetLevelDifficulty(int level)
{
    const float k = hardMode ? 1.5f : 1.0f;
    colours.clear();
    colours.push_back(0);
    if (level > 3 || hardMode)
        colours.push_back(1);
    for (int32_t c : {2, 3, 4, 5})
        colours.push_back(c);
    if (level > 8 || hardMode)
        colours.push_back(6);
    if (level > 13) {
        steelRate = 0.001f * k * static_cast<float>(level - 13) + 0.005f;
        steelCap = static_cast<int32_t>(std::floor(0.1f * k * static_cast<float>(level - 13))) + 1;
    } else {
        steelRate = 0.0f;
        steelCap = 0;
    }
    if (level > 5) {
        lockRate = 0.001f * k * static_cast<float>(level - 5) + 0.0025f;
        lockCap = static_cast<int32_t>(std::floor(0.075f * k * static_cast<float>(level - 5))) + 1;
    } else {
        lockRate = 0.0f;
        lockCap = 0;
    }
}

// What the level's file gives overrides what its number gave. Hard mode
// draws steel and chains a quarter more often than the file says but allows
// only two thirds as many of them.
int CGameBoard::LoadLevel(const std::string& path)
{
    levelData = MakeCountedHandle(new CLevelData());
    if (!levelData->Parse(path))
        return 0;
    const CLevelData& level = *levelData;
    if (!level.colours.empty())
        colours = level.colours;
    const float rateFactor = hardMode ? 1.25f : 1.0f;
    auto cap = [this](int32_t given) {
        return hardMode ? static_cast<int32_t>(static_cast<int64_t>(given) * 2 / 3) : given;
    };
    if (level.steelCap >= 0) {
        steelRate = level.steelRate * rateFactor;
        steelCap = cap(level.steelCap);
    }
    if (level.lockCap >= 0) {
        lockRate = level.lockRate * rateFactor;
        lockCap = cap(level.lockCap);
    }
    if (level.gemsCount >= 0)
        gemsToPlace = gemsToCollect = level.gemsCount;
    return 1;
}

void CGameBoard::DropFallingSand()
{
    if (sandbox->Heightfield())
        sandbox->Heightfield()->ClearFallingGrains();
}

void CGameBoard::SetLevelState(int state, int subState)
{
    BoardEvent event;
    event.kind = kEventLevelState;
    event.value = subState;
    event.arg = static_cast<uint32_t>(state);
    events.Push(event);
    if (sandbox->Heightfield())
        sandbox->Heightfield()->draining = false;
    levelState = state;
    levelStateTime = 0.0f;
    levelSubState = subState;
}

// Play ends without a win: the tokens stay where they are.
void CGameBoard::StopPlay()
{
    EndPlay();
    if (boardMode != 0)
        return;
    DropFallingSand();
    SettleTotems();
}

void CGameBoard::BookDestroyed(const CTerminator& batch)
{
    const int32_t cells = static_cast<int32_t>(batch.Path().cells.size());
    if (cells >= 3) {
        stats.AddToRunTables(1, StatMatches);
        stats.AddToRunTables(cells, StatLargestMatch);
    }
    int32_t marked = 0;
    for (const CountedHandle<CToken>& target : batch.Targets())
        if (target && (!target->chained || target->state == kTokenSwapping))
            ++marked;
    stats.AddToRunTables(marked, StatMarkedTokens);
}

// The first rule that fires gives the prompt. Without a player there is no
// tutorial.
int CGameBoard::QueryLevelOutcome(int* out)
{
    if (!profile || !profile->questTutorial)
        return 0;
    const CProfile& p = *profile;
    if ((levelState == 1 || levelState == 6) && levelSubState == 2) {
        *out = 4;
        return levelState;
    }
    if (levelState == 7) {
        if (levelSubState == 0 || levelSubState == 4 || levelSubState == 8)
            *out = levelSubState + 2;
        return 7;
    }
    if (levelState != 0 || boardMode != 0 || locked || !enabled || ended)
        return 0;
    auto anyStillToken = [this](auto test) {
        for (const auto& row : grid)
            for (const CountedHandle<CToken>& t : row)
                if (t && t->state == kTokenResting && test(*t))
                    return true;
        return false;
    };
    if (levelNumber == 1) {
        if (!p.tutBase) {
            *out = 0;
            return 1;
        }
        if (!p.tutGem) {
            *out = 0;
            return anyStillToken([](const CToken& t) { return t.gem != 0; }) ? 2 : 0;
        }
    }
    const float secondsPlayed = stats.tables[2].GetFloat(StatSeconds);
    if (!p.tutTimer && secondsPlayed >= 30.0f)
        return 4;
    if (levelNumber > 1 && !p.tutSandbox && secondsPlayed >= 60.0f)
        return 5;
    if (swapRefused && !p.tutWrong && outcomeCount < 3) {
        ++outcomeCount;
        swapRefused = false;
        return 3;
    }
    if (levelNumber == 2 && !p.tutBonus)
        return 6;
    if (levelNumber >= 6 && !p.tutLock)
        return anyStillToken([](const CToken& t) { return t.chained != 0; }) ? 8 : 0;
    if (levelNumber >= 14 && !p.tutSteel)
        return anyStillToken([](const CToken& t) { return t.colour >= 98; }) ? 9 : 0;
    return 0;
}

// The prompt the game showed is marked as shown in the player's settings;
// the totem lesson starts its board over.
void CGameBoard::OnLevelState(bool save)
{
    if (profile && save) {
        CProfile& p = *profile;
        int32_t* flags[] = {nullptr,     &p.tutBase,  &p.tutGem,  &p.tutWrong, &p.tutTimer, &p.tutSandbox,
                            &p.tutBonus, &p.tutTotem, &p.tutLock, &p.tutSteel, &p.tutShop};
        const bool wrongCounts = levelState != 3 || levelNumber > 1 || outcomeCount > 2;
        if (levelState >= 1 && levelState <= 10 && wrongCounts) {
            *flags[levelState] = 1;
            p.SaveSettings(paths.folders[CDataPaths::Players] + p.Name());
        }
    }
    if (levelState == 7) {
        SetLocked(true);
        selectionMarker->Hide();
        DropAllTokens();
        firstFill = 1;
        swapsActive.clear();
        swapsBack.clear();
    }
    levelState = 0;
    if (boardMode == 0 && sandbox->Heightfield())
        sandbox->Heightfield()->draining = true;
}
