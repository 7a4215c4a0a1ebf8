// The balance formulas the menu screens read: how many levels each stage of
// the quest has, and where an overall level number falls.
#pragma once

// Levels in a stage: 5, 6, 8, 10, 12, then 15 for every later stage.
int StageSize(int stage);
// Quest level n as (stage, level in stage); true while the stage is below 6.
bool SplitLevelNumber(int n, int* stage, int* levelInStage);
