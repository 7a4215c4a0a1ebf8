// Players: typing a new player's name, confirming it, and the player label
// of the main menu.
#include "screens/GameScreens.h"

#include "engine/StringTable.h"
#include "records/HiscoreTable.h"

#include <cstring>

namespace {

constexpr size_t kMaxName = 12;
constexpr float kScreenSpeed = 2.0f;

enum Key { kBackspace = 8, kEnter = 13, kEscape = 27, kLeft = 37 };

} // namespace

int32_t CGameScreens::ProfileCount() const { return m_profiles ? static_cast<int32_t>(m_profiles->Count()) : 0; }

std::string CGameScreens::ProfileName(int index) const
{
    if (index < 0 || index >= ProfileCount())
        return std::string();
    return m_profiles->At(static_cast<size_t>(index))->Name();
}

void CGameScreens::ShowEnteredName() { newProfile.name->SetText(m_enteredName + "|"); }

void CGameScreens::SetNameEntry(const std::string& name, int mode)
{
    m_enteredName = name.substr(0, kMaxName);
    ShowEnteredName();
    newProfile.cancel->SetVisible(mode == 1);
    newProfile.fromList->SetVisible(mode == 1);
    newProfile.firstStart->SetVisible(mode == 0);
    newProfile.caption->SetText(GetString(27));
}

int CGameScreens::OnNameChar(int character)
{
    if (!newProfile.form->IsVisible() || !newProfile.form->active)
        return 0;
    if (m_enteredName.size() < kMaxName && IsNameChar(character)) {
        // A character that would break the name onto a second line of the
        // label is refused, even below twelve.
        const std::string trial = m_enteredName + static_cast<char>(character) + "|";
        std::string wrapped;
        if (CountedHandle<CText> text = static_cast<CQoStatic*>(newProfile.name.Get())->MainText())
            text->WordWrap(trial, &wrapped);
        if (wrapped.find(CText::kSoftBreak) == std::string::npos) {
            m_enteredName += static_cast<char>(character);
            ShowEnteredName();
        }
    } else if (character == kBackspace && !m_enteredName.empty()) {
        m_enteredName.pop_back();
        ShowEnteredName();
    }
    return 0;
}

int CGameScreens::OnNameKey(int key)
{
    if (!newProfile.form->IsVisible() || !newProfile.form->active)
        return 0;
    switch (key) {
    case kLeft:
        if (!m_enteredName.empty()) {
            m_enteredName.pop_back();
            ShowEnteredName();
        }
        return 0;
    case kEnter:
        return ConfirmName(false) ? 3 : 0;
    case kEscape:
        if (newProfile.cancel->IsVisible()) {
            RefreshProfileRows();
            HideForm(newProfile.form, kScreenSpeed);
            ShowForm(profiles.form, kScreenSpeed);
        }
        return 0;
    default:
        return 0;
    }
}

void CGameScreens::PlayError(bool byClick)
{
    int slot = -1;
    for (int i = 0; i < CSoundManager::kSlotCount; ++i)
        if (std::strcmp(CSoundManager::kSlotNames[i], "Wrong.wav") == 0)
            slot = i;
    if (!m_sounds || slot < 0)
        return;
    if (byClick)
        m_sounds->PlayPanned(m_sounds->slots[slot], m_cursorX, 0, 0);
    else
        m_sounds->Play(m_sounds->slots[slot], 0, 0);
}

void CGameScreens::BringIntoView(int index)
{
    profileSelected = index;
    if (index < profileScroll)
        profileScroll = index;
    else if (index - profileScroll > 5)
        profileScroll = index - 5;
}

bool CGameScreens::ConfirmName(bool byClick)
{
    const size_t first = m_enteredName.find_first_not_of(" \t");
    m_enteredName = first == std::string::npos
                        ? std::string()
                        : m_enteredName.substr(first, m_enteredName.find_last_not_of(" \t") - first + 1);
    if (m_enteredName.empty()) {
        newProfile.caption->SetText(GetString(29));
        PlayError(byClick);
        return false;
    }
    if (!m_profiles || m_profiles->FindProfile(m_enteredName) >= 0) {
        newProfile.caption->SetText(GetString(28));
        PlayError(byClick);
        return false;
    }
    const int index = m_profiles->CreateProfile(m_enteredName) ? m_profiles->FindProfile(m_enteredName) : -1;
    if (index >= 0) {
        BringIntoView(index);
    } else if (ProfileCount() == 0) {
        WriteLog("Error! Unable to create Profile!" + m_enteredName + "\n");
        return false;
    } else {
        BringIntoView(0);
    }
    RefreshProfileRows();
    if (!newProfile.cancel->IsVisible()) {
        ShowPlayerName();
        ShowForm(mainMenu.form, kScreenSpeed);
        HideForm(newProfile.form, kScreenSpeed);
        return true;
    }
    ShowForm(profiles.form, kScreenSpeed);
    HideForm(newProfile.form, kScreenSpeed);
    return false;
}

void CGameScreens::ShowPlayerName()
{
    std::string label = GetString(25);
    if (profileSelected >= 0 && profileSelected < ProfileCount())
        label += ProfileName(profileSelected);
    mainMenu.playerLabel->SetText(label);
}
