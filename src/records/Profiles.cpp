#include "records/Profiles.h"

#include "engine/Settings.h"
#include "platform/Files.h"
#include "records/HiscoreTable.h"
#include "records/Options.h"

#include <cstdio>

std::string UpperName(const std::string& text)
{
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

CProfile::CProfile(const std::string& playerName) : name(MakeCountedHandle(new std::string(playerName))) {}

namespace {

std::string SettingsPath(const std::string& folder) { return folder + "\\Settings.ini"; }

void EnsureFile(const std::string& path)
{
    if (plat::FileExists(path))
        return;
    if (FILE* file = plat::OpenFile(path, "w"))
        std::fclose(file);
}

struct TutorialKey {
    const char* key;
    int32_t CProfile::*flag;
};
constexpr TutorialKey kTutorialKeys[] = {
    {"Base", &CProfile::tutBase},   {"Gem", &CProfile::tutGem},         {"Wrong", &CProfile::tutWrong},
    {"Timer", &CProfile::tutTimer}, {"Sandbox", &CProfile::tutSandbox}, {"Bonus", &CProfile::tutBonus},
    {"Totem", &CProfile::tutTotem}, {"Lock", &CProfile::tutLock},       {"Steel", &CProfile::tutSteel},
    {"Shop", &CProfile::tutShop},
};

// What the name entry can produce; only such a name ever becomes a path.
bool IsProfileName(const std::string& name)
{
    if (name.empty() || name.size() > CProfile::kMaxNameLength)
        return false;
    for (char c : name)
        if (!IsNameChar(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// A folder found on disk is a player only when the name entry could have
// made it, and when it is a folder of its own: deleting a link's contents
// would delete files elsewhere.
bool IsProfileEntry(const plat::DirEntry& entry)
{
    return entry.isDirectory && !entry.isLink && IsProfileName(entry.name);
}

// A temporary that a save interrupted by a crash left beside one of the
// profile's own files; it must not keep the folder from going.
bool IsOwnLeftover(const std::string& name)
{
    const std::string target = plat::AtomicWriteLeftoverTarget(name);
    return !target.empty() && target.size() <= CProfile::kMaxNameLength;
}

} // namespace

int CProfile::LoadSettings(const std::string& folder)
{
    const std::string path = SettingsPath(folder);
    EnsureFile(path);
    veteran = ReadIniString(path, "Main", "Veteran", "0")[0] == '1' ? 1 : 0;
    singleTutorial = ReadIniString(path, "Main", "SingleTutorial", "1")[0] == '0' ? 0 : 1;
    questTutorial = ReadIniString(path, "Main", "QuestTutorial", "1")[0] == '0' ? 0 : 1;
    if (veteran)
        questTutorial = 0;
    for (const TutorialKey& k : kTutorialKeys)
        this->*k.flag = ReadIniInt(path, "QuestTut", k.key, "0") == 1 ? 1 : 0;
    return 1;
}

bool CProfile::SaveSettings(const std::string& folder) const
{
    const std::string path = SettingsPath(folder);
    EnsureFile(path);
    auto flag = [](int32_t value) { return value ? "1" : "0"; };
    bool ok = WriteIniString(path, "Main", "Veteran", flag(veteran));
    ok = WriteIniString(path, "Main", "SingleTutorial", flag(singleTutorial)) && ok;
    ok = WriteIniString(path, "Main", "QuestTutorial", flag(questTutorial)) && ok;
    for (const TutorialKey& k : kTutorialKeys)
        ok = WriteIniString(path, "QuestTut", k.key, flag(this->*k.flag)) && ok;
    return ok;
}

void CProfile::ResetQuestTutorial()
{
    for (const TutorialKey& k : kTutorialKeys)
        this->*k.flag = 0;
}

CProfiles::CProfiles(const std::string& players) : baseFolder(players)
{
    profiles.reserve(32);
    Refresh();
}

int CProfiles::Refresh()
{
    profiles.clear();
    for (const plat::DirEntry& entry : plat::ListDirectory(baseFolder)) {
        if (!IsProfileEntry(entry))
            continue;
        CountedHandle<CProfile> profile = MakeCountedHandle(new CProfile(entry.name));
        profile->LoadSettings(baseFolder + entry.name);
        profiles.push_back(profile);
    }
    return 1;
}

int CProfiles::FindProfile(const std::string& playerName) const
{
    const std::string wanted = UpperName(playerName);
    for (size_t i = 0; i < profiles.size(); ++i)
        if (UpperName(profiles[i]->Name()) == wanted)
            return static_cast<int>(i);
    return -1;
}

int CProfiles::CreateProfile(const std::string& playerName)
{
    // The file system may tell case apart; players may not.
    int made = 0;
    if (IsProfileName(playerName) && FindProfile(playerName) < 0)
        made = plat::CreateDirectory(baseFolder + playerName) ? 1 : 0;
    Refresh();
    return made;
}

void CProfiles::DeleteProfile(const std::string& playerName)
{
    const int index = FindProfile(playerName);
    if (index < 0)
        return;
    // The folder is the stored name's, which may differ in case from the
    // name asked for.
    RemoveProfileFolder(baseFolder + profiles[static_cast<size_t>(index)]->Name());
    profiles.erase(profiles.begin() + index);
}

int RemoveProfileFolder(const std::string& folder)
{
    if (!plat::IsRealDirectory(folder))
        return 0;
    std::vector<std::string> files;
    for (const plat::DirEntry& entry : plat::ListDirectory(folder))
        if (!entry.isDirectory && (entry.name.size() <= CProfile::kMaxNameLength || IsOwnLeftover(entry.name)))
            files.push_back(entry.name);
    for (const std::string& file : files)
        plat::RemoveFile(folder + "\\" + file);
    return plat::RemoveDirectory(folder) ? 1 : 0;
}

int SelectCurrentProfile(CProfiles& profiles, CGameOptions& options, const std::string& optionsPath)
{
    int index = profiles.FindProfile(options.profile);
    if (index < 0 && profiles.Count() > 0) {
        index = 0;
        options.profile = profiles.At(0)->Name();
        options.Write(optionsPath);
    }
    if (index >= 0)
        profiles.current = index;
    return index;
}
