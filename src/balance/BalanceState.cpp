#include "balance/BalanceState.h"

int StageSize(int stage)
{
    switch (stage) {
    case 1:
        return 5;
    case 2:
        return 6;
    case 3:
        return 8;
    case 4:
        return 10;
    case 5:
        return 12;
    default:
        return 15;
    }
}

bool SplitLevelNumber(int n, int* stage, int* levelInStage)
{
    int s = 1;
    while (StageSize(s) < n) {
        n -= StageSize(s);
        ++s;
    }
    *stage = s;
    *levelInStage = n;
    return s < 6;
}
