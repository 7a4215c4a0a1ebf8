// What a bonus-level challenge reports from its update or its click handler
// to the code that drives it. The numbers are the protocol between the
// challenges and the board and game that turn them into events; one number
// names different happenings in different challenges, so the names below
// share values.
#pragma once

enum ChallengeResult : int {
    kResultNothing = 100,
    // 101
    kResultTurnedOver = 101,  // Memory click: a plate was turned over
    kResultStarCaught = 101,  // Accuracy click: a star was caught
    kResultPlateChosen = 101, // Attention click: a plate was chosen
    kResultChoiceShown = 101, // Attention update: the choice is revealed
    kResultTokenCaught = 101, // Reaction update: the stop caught a token
    // 102
    kResultAlreadyOpen = 102,    // Memory click: an open or found plate
    kResultStopMissed = 102,     // Reaction update: the stop caught nothing
    kResultPlatesCleared = 103,  // Memory update: every plate has flown away
    kResultMismatchClosed = 104, // Memory update: two different pictures turned back
    kResultPairFound = 105,      // Memory update: a pair, and more remain
    kResultLastPairFound = 106,  // Memory update: the last pair of the round
    kResultStarsLanded = 107,    // Accuracy update: over, every star left rests in the bar
    kResultRoundGone = 108,      // Attention update: the round's plates have gone
    kResultChoiceAwaited = 109,  // Attention update: the shuffle is over
    kResultReactionOver = 110,   // Reaction update: the plates have gone
};
