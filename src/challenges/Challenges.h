// The four bonus-level challenges: Memory, Accuracy, Attention and Reaction.
// A bonus level makes the one it plays, hands it the caps renderer or the
// sprite and particle services, the board's cells and the sound manager,
// drives it every frame and turns its result codes into the game's events.
#pragma once

#include "challenges/AccuracyChallenge.h"
#include "challenges/AttentionChallenge.h"
#include "challenges/MemoryChallenge.h"
#include "challenges/ReactionChallenge.h"
