#include "balance/BalanceState.h"

int StageSize(int stage)
{
    static const int sizes[] = {5, 6, 8, 10, 12};
    return stage >= 1 && stage <= 5 ? sizes[stage - 1] : 15;
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
