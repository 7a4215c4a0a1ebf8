// The user folder's housekeeping at start-up, once the game knows it is the
// only copy running: what a run stopped in the middle of writing left behind
// is cleared away or finished.
#pragma once

#include <string>

// Removes the temporaries of interrupted atomic writes anywhere in
// `userFolder` (ending with a backslash) and puts every player's pending
// quest checkpoint in place. Says in the log what it did.
void TidyUserFolder(const std::string& userFolder);
