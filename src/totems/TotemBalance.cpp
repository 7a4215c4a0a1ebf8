#include "totems/TotemBalance.h"

namespace {
CBalanceState* g_balance = nullptr;
} // namespace

void SetTotemBalanceState(CBalanceState* balance) { g_balance = balance; }
CBalanceState* TotemBalanceState() { return g_balance; }
