// Player profiles: one folder per player under the players folder, named by
// the player, holding "Settings.ini", "Trophies.dat" and the quest saves.
// Names compare without regard to case: "Anna" and "ANNA" are one player.
#pragma once

#include "engine/CountedHandle.h"

#include <cstdint>
#include <string>
#include <vector>

class CProfile {
public:
    static constexpr size_t kMaxNameLength = 12;

    explicit CProfile(const std::string& playerName);

    const std::string& Name() const { return *name; }

    // "Settings.ini" in `folder` (the profile folder, no trailing backslash).
    // Both make an empty file first when there is none. Load always gives 1.
    int LoadSettings(const std::string& folder);
    bool SaveSettings(const std::string& folder) const;
    void ResetQuestTutorial();

    // Shared with the game as the current player's name.
    CountedHandle<std::string> name;
    int32_t veteran = 0;
    int32_t singleTutorial = 1;
    int32_t questTutorial = 1;
    int32_t tutBase = 0;
    int32_t tutGem = 0;
    int32_t tutWrong = 0;
    int32_t tutTimer = 0;
    int32_t tutSandbox = 0;
    int32_t tutBonus = 0;
    int32_t tutTotem = 0;
    int32_t tutLock = 0;
    int32_t tutSteel = 0;
    int32_t tutShop = 0;
};

class CProfiles {
public:
    // `players` is the players folder ending with a backslash.
    explicit CProfiles(const std::string& players);

    int Refresh();
    // The list index, or -1.
    int FindProfile(const std::string& playerName) const;
    // 1 when a new folder was made; 0 when the profile exists already (in
    // any case) or the folder could not be made.
    int CreateProfile(const std::string& playerName);
    // Removes the profile's files, folder and list entry; an unknown name
    // changes nothing.
    void DeleteProfile(const std::string& playerName);

    size_t Count() const { return profiles.size(); }
    CountedHandle<CProfile> At(size_t index) const { return profiles[index]; }

    std::string baseFolder;
    std::vector<CountedHandle<CProfile>> profiles;
    int32_t current = 0;
};

// Deletes the files of a profile folder (no trailing backslash) and then the
// folder. Files with names longer than a profile file's, and subfolders,
// stay, and the folder with them; a link to a folder is left alone.
int RemoveProfileFolder(const std::string& folder);

// Upper-cased for comparing player names.
std::string UpperName(const std::string& text);

struct CGameOptions;

// Picks the current profile for the [Game] name of `options`: the profile
// of that name, else the first one found, whose name is then written back
// to `optionsPath`. Returns the list index, or -1 when there is no profile.
int SelectCurrentProfile(CProfiles& profiles, CGameOptions& options, const std::string& optionsPath);
