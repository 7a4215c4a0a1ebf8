// Start-up housekeeping of the user folder: leftovers of interrupted writes
// and checkpoints left pending by a stopped run.
#include "records/UserFolder.h"

#include "engine/Log.h"
#include "platform/Files.h"
#include "records/QuestSave.h"

void TidyUserFolder(const std::string& userFolder)
{
    if (userFolder.empty())
        return;
    if (const int removed = plat::RemoveAtomicWriteLeftovers(userFolder))
        WriteLog("Removed " + std::to_string(removed) + " temporary file(s) that interrupted writes left in " +
                 userFolder + "\n");
    const std::string players = userFolder + "Players\\";
    for (const plat::DirEntry& entry : plat::ListDirectory(players))
        if (entry.isDirectory && !entry.isLink)
            FinishPendingCheckpoint(players + entry.name + "\\");
}
