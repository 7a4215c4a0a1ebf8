// The balance state the totem powers ask for their counts, seconds and
// bonus picks: the game's own, stored once at start-up.
#pragma once

class CBalanceState;

void SetTotemBalanceState(CBalanceState* balance);
// Null until the game has stored its balance state, and again once the
// totems manager that stored it is gone.
CBalanceState* TotemBalanceState();
