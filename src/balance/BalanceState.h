// Every tuning number of play that depends on the game mode, the level or a
// count. For now: how quest levels group into stages.
#pragma once

// Levels in a stage: 5, 6, 8, 10, 12, then 15 for every later stage.
int StageSize(int stage);
// Quest level n as (stage, level in stage); true while the stage is below 6.
bool SplitLevelNumber(int n, int* stage, int* levelInStage);
