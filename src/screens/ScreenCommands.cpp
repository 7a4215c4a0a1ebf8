// The screens at run time: fades of forms and of groups of controls, the
// per-frame step (fades, the rolling score, the gauge, the tutorial pointer,
// the blinking groups, the cursor), and the presses and clicks that become
// events for the game or move between the menus.
#include "screens/GameScreens.h"

#include "engine/StringTable.h"
#include "engine/VectorMath.h"
#include "platform/System.h"
#include "screens/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Fade speeds, in alpha per second.
constexpr float kScreenSpeed = 2.0f;
constexpr float kDialogSpeed = 4.0f;
constexpr float kHelpSpeed = 5.0f;
constexpr float kBlinkSpeed = 1.0f;

// Command ids of the menus.
enum Command : int32_t {
    kHelpCmd = 4,
    kScoresCmd = 5,
    kPlayersCmd = 6,
    kStoreCmd = 7,
    kHintCmd = 10,
    kNewspaperFirst = 152,
    kNewspaperLast = 155,
    kProfileOk = 180,
    kProfileCancel = 181,
    kProfileDelete = 182,
    kProfileUp = 183,
    kProfileDown = 184,
    kProfileRowFirst = 185,
    kProfileRowLast = 190,
    kNameOk = 195,
    kNameBack = 196,
    kMessageOk = 200,
    kMessageKeep = 201,
    kMessageYes = 202,
    kMessageNo = 203,
    kNewQuest = 210,
    kContinueQuest = 211,
    kQuestBack = 212,
    kScoresBack = 250,
    kHelpBack = 270,
    kHelpPrevious = 271,
    kHelpNext = 272,
    kSoundVolume = 231,
    kMusicVolume = 232,
};

// The clicks the game acts on itself.
bool IsGameCommand(int32_t id)
{
    return id == 1 || id == 2 || id == 3 || (id >= 11 && id <= 13) || id == 20 || id == 30 || id == 31 ||
           (id >= 40 && id <= 55) || (id >= 60 && id <= 75) || id == 150 || id == 151 ||
           (id >= 159 && id <= 162) || id == 230 || id == 260 || id == 280;
}

bool IsPressable(WindowKind kind)
{
    return kind == WindowKind::Button || kind == WindowKind::Checkbox || kind == WindowKind::Scroller;
}

int SlotOf(const char* file)
{
    for (int i = 0; i < CSoundManager::kSlotCount; ++i)
        if (std::strcmp(CSoundManager::kSlotNames[i], file) == 0)
            return i;
    return -1;
}

} // namespace

void CGameScreens::SetActive(const CountedHandle<CQoForm>& form, bool active)
{
    if (form)
        form->active = active;
}

void CGameScreens::Push(int32_t kind, int32_t value)
{
    GameEvent e;
    e.kind = kind;
    e.value = value;
    m_events.Push(e);
}

void CGameScreens::PushFormEvent(int32_t kind, const CountedHandle<CQoForm>& form)
{
    GameEvent e;
    e.kind = kind;
    e.sender = form;
    m_events.Push(e);
}

void CGameScreens::PushScroller(int32_t id)
{
    const auto* scroller =
        static_cast<CQoScroller*>((id == kSoundVolume ? options.soundVolume : options.musicVolume).Get());
    GameEvent e;
    e.kind = kScroller;
    e.value = id;
    e.arg = plat::FloatBits(scroller->Value());
    m_events.Push(e);
}

void CGameScreens::PlayHover(float x)
{
    const int slot = SlotOf("MouseOver.wav");
    if (m_sounds && slot >= 0)
        m_sounds->PlayPanned(m_sounds->slots[slot], x, 0, 0);
}

void CGameScreens::PlayClick(float x)
{
    const int slot = SlotOf("Click.wav");
    if (m_sounds && slot >= 0)
        m_sounds->PlayPanned(m_sounds->slots[slot], x, 0, 0);
}

namespace {
// The fade of this target, or nullptr.
template <typename F, typename Same>
F* FindFade(std::vector<F>& fades, Same same)
{
    for (F& f : fades)
        if (same(f.target))
            return &f;
    return nullptr;
}
} // namespace

void CGameScreens::ShowForm(const CountedHandle<CQoForm>& form, float speed)
{
    if (!form)
        return;
    if (FormFade* f = FindFade(m_formFades, [&](const auto& t) { return t == form; })) {
        f->Turn(true, speed);
        return;
    }
    FormFade fade{form};
    fade.alpha = form->IsVisible() ? form->Alpha() : 0.0f;
    fade.Turn(true, speed);
    form->SetVisible(true);
    form->active = false; // no input while it fades
    form->SetAlpha(fade.alpha);
    m_formFades.push_back(fade);
}

void CGameScreens::HideForm(const CountedHandle<CQoForm>& form, float speed)
{
    if (!form || !form->IsVisible())
        return;
    if (FormFade* f = FindFade(m_formFades, [&](const auto& t) { return t == form; })) {
        f->Turn(false, speed);
        return;
    }
    FormFade fade{form};
    fade.alpha = form->Alpha();
    fade.Turn(false, speed);
    form->active = false;
    m_formFades.push_back(fade);
}

void CGameScreens::FadeInControls(const ControlRow& group, float speed)
{
    if (group.Empty())
        return;
    if (GroupFade* f = FindFade(m_groupFades, [&](const auto& t) { return t.At(0) == group.At(0); })) {
        f->Turn(true, speed);
        for (const auto& c : f->target)
            if (!c->IsVisible())
                c->SetVisible(true);
        return;
    }
    GroupFade fade{group};
    fade.alpha = group.At(0)->IsVisible() ? group.At(0)->Alpha() : 0.0f;
    fade.Turn(true, speed);
    group.SetVisible(true);
    group.SetAlpha(fade.alpha);
    m_groupFades.push_back(fade);
}

void CGameScreens::FadeOutControls(const ControlRow& group, float speed)
{
    if (group.Empty())
        return;
    if (GroupFade* f = FindFade(m_groupFades, [&](const auto& t) { return t.At(0) == group.At(0); })) {
        f->Turn(false, speed);
        return;
    }
    // The controls are left as they are until the first step.
    GroupFade fade{group};
    fade.alpha = group.At(0)->IsVisible() ? group.At(0)->Alpha() : 0.0f;
    fade.Turn(false, speed);
    m_groupFades.push_back(fade);
}

void CGameScreens::StepFormFades(float dt)
{
    for (size_t i = 0; i < m_formFades.size();) {
        FormFade& f = m_formFades[i];
        const CountedHandle<CQoForm> form = f.target;
        if (!f.Advance(dt)) {
            form->SetAlpha(f.alpha);
            ++i;
            continue;
        }
        if (f.stopAtGoal) {
            form->SetAlpha(f.goal);
        } else if (f.fadingIn) {
            form->SetAlpha(1.0f);
            form->active = true;
            PushFormEvent(kFadedIn, form);
        } else {
            // Hidden at full alpha, so that the next fade-in starts from 0.
            form->SetAlpha(1.0f);
            form->active = true;
            form->ResetInput();
            form->SetVisible(false);
            PushFormEvent(kFadedOut, form);
        }
        m_formFades.erase(m_formFades.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CGameScreens::StepGroupFades(float dt)
{
    for (size_t i = 0; i < m_groupFades.size();) {
        GroupFade& f = m_groupFades[i];
        if (!f.Advance(dt)) {
            f.target.SetAlpha(f.alpha);
            ++i;
            continue;
        }
        // A finished fade leaves full alpha; one that faded out, hidden.
        f.target.SetAlpha(f.stopAtGoal ? f.goal : 1.0f);
        if (!f.stopAtGoal && !f.fadingIn)
            f.target.SetVisible(false);
        m_groupFades.erase(m_groupFades.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CGameScreens::StepPointer(float dt)
{
    const ControlRow& pointer = tutorial.rows[4];
    if (!tutorial.form->IsVisible() || pointer.Empty() || !pointer.At(0)->IsVisible())
        return;
    m_pointerPhase += dt * m_layout.clickHereW;
    if (m_pointerPhase >= kTwoPi)
        m_pointerPhase -= kTwoPi;
    PlaceTutorialPointer(pointerX, pointerY);
}

void CGameScreens::StepBlinking(float dt)
{
    // One group at a time is blinking: it fades out when it shows and in
    // when it does not, every `period` seconds.
    auto blink = [&](const CountedHandle<CQoForm>& form, const ControlRow& group, float* timer, float period) {
        if (!form->IsVisible() || !form->active || group.Empty())
            return;
        *timer += dt;
        if (*timer <= period)
            return;
        if (group.At(0)->IsVisible())
            FadeOutControls(group, kBlinkSpeed);
        else
            FadeInControls(group, kBlinkSpeed);
        *timer = 0;
    };
    blink(win.form, win.blink, &m_blinkTimer, 2.0f);
    blink(newspaper.form, newspaper.blink, &m_blinkTimer, 2.0f);
    blink(background.form, background.blink, &m_backgroundBlinkTimer, 3.0f);
}

int CGameScreens::Update(float x, float y, float dt)
{
    m_events.Clear();
    StepFormFades(dt);
    StepGroupFades(dt);
    if (m_scoreCounter.Step(dt) && !gaugeHold)
        quest.score->SetText(std::to_string(m_scoreCounter.Shown()));
    if (!gaugeHold) {
        if (m_gaugeValue != m_gaugeTarget) {
            const float step = m_gaugeSpeed * dt;
            const float next = m_gaugeValue < m_gaugeTarget ? std::min(m_gaugeValue + step, m_gaugeTarget)
                                                            : std::max(m_gaugeValue - step, m_gaugeTarget);
            SetProgressGauge(next, false);
        }
        StepOverlay(dt);
    }
    StepPointer(dt);
    StepBlinking(dt);

    m_formsManager->OnMouseMove(x, y, dt);
    for (const GuiEvent& e : m_formsManager->Events()) {
        if (e.code == GuiCode::Enter && (e.kind == WindowKind::Button || e.kind == WindowKind::Checkbox))
            PlayHover(x);
        if (e.id == kHintCmd && e.code == GuiCode::Enter) {
            quest.hintHighlight->SetVisible(true);
            static_cast<CQoCheckbox*>(quest.hintHighlight.Get())->SetChecked(true);
        } else if (e.id == kHintCmd && e.code == GuiCode::Leave) {
            quest.hintHighlight->SetVisible(false);
        }
        if (e.code == GuiCode::ValueChanged && (e.id == kSoundVolume || e.id == kMusicVolume)) {
            PushScroller(e.id);
        }
    }
    return static_cast<int>(m_events.Size());
}

void CGameScreens::OnProfilePress(int32_t id)
{
    if (id == kProfileRowFirst && profileScroll == -1) {
        SetNameEntry("Spieler", 1);
        HideForm(profiles.form, kScreenSpeed);
        ShowForm(newProfile.form, kScreenSpeed);
        return;
    }
    const size_t row = static_cast<size_t>(id - kProfileRowFirst);
    for (size_t r = 0; r < profiles.rows.Size(); ++r)
        static_cast<CQoCheckbox*>(profiles.rows.At(r).Get())->SetChecked(r == row);
    profileSelected = profileScroll + static_cast<int32_t>(row);
}

int CGameScreens::OnMouseDown(float x, float y)
{
    m_events.Clear();
    m_formsManager->OnMouseDown(x, y, 0);
    for (const GuiEvent& e : m_formsManager->Events()) {
        if (e.code == GuiCode::LeftDown) {
            if (IsPressable(e.kind))
                PlayClick(x);
            if (e.id == kHintCmd) {
                quest.hintHighlight->SetVisible(true);
                static_cast<CQoCheckbox*>(quest.hintHighlight.Get())->SetChecked(false);
                Push(kPress, e.id);
            } else if (e.id == 11 || e.id == 170 || e.id == 220 || (e.id >= 233 && e.id <= 236)) {
                Push(kPress, e.id);
            } else if (e.id >= kProfileRowFirst && e.id <= kProfileRowLast) {
                OnProfilePress(e.id);
            }
        } else if (e.code == GuiCode::ValueChanged && (e.id == kSoundVolume || e.id == kMusicVolume)) {
            PushScroller(e.id);
        }
    }
    return static_cast<int>(m_events.Size());
}

int CGameScreens::OnMouseUp(float x, float y)
{
    m_events.Clear();
    m_cursorX = x;
    m_formsManager->OnMouseUp(x, y, 0);
    // The list is copied: a command may show forms and change the manager's.
    const std::vector<GuiEvent> events = m_formsManager->Events();
    for (const GuiEvent& e : events)
        if (e.code == GuiCode::Click)
            OnClick(e.id);
    return static_cast<int>(m_events.Size());
}

void CGameScreens::OnClick(int32_t id)
{
    if (IsGameCommand(id)) {
        Push(kClick, id);
        return;
    }
    if (id >= kNewspaperFirst && id <= kNewspaperLast) {
        ShowNewspaper(id - kNewspaperFirst);
        HideForm(map.form, kScreenSpeed);
        ShowForm(newspaper.form, kScreenSpeed);
        return;
    }
    if (id >= kMessageOk && id <= kMessageNo) {
        OnMessageAnswer(id);
        return;
    }
    switch (id) {
    case kHelpCmd:
        ShowHelpPage(1);
        HideForm(mainMenu.form, kHelpSpeed);
        ShowForm(help.form, kHelpSpeed);
        break;
    case kScoresCmd:
        FillHighScores(highScoreTable);
        ShowForm(highScores.form, kScreenSpeed);
        HideForm(mainMenu.form, kScreenSpeed);
        break;
    case kPlayersCmd:
        m_profileNameOnOpen = ProfileName(profileSelected);
        HideForm(mainMenu.form, kScreenSpeed);
        RefreshProfileRows();
        ShowForm(profiles.form, kScreenSpeed);
        break;
    case kStoreCmd:
        if (!m_storeLink.empty())
            m_linkOpener(m_storeLink);
        break;
    case kHintCmd:
        static_cast<CQoCheckbox*>(quest.hintHighlight.Get())->SetChecked(true);
        Push(kClick, id);
        break;
    case kProfileOk:
        if (profileSelected - profileScroll > 5)
            profileScroll = profileSelected - 5;
        RefreshProfileRows();
        ShowPlayerName();
        HideForm(profiles.form, kScreenSpeed);
        ShowForm(mainMenu.form, kScreenSpeed);
        Push(kClick, id);
        break;
    case kProfileCancel: {
        const int index = m_profiles ? m_profiles->FindProfile(m_profileNameOnOpen) : -1;
        if (index >= 0) {
            profileSelected = index;
            if (index > 4)
                profileScroll = index - 5;
            Push(kClick, kProfileCancel);
        } else {
            Push(kClick, kProfileOk); // the player of before is gone: take the selection as it stands
        }
        ShowPlayerName();
        HideForm(profiles.form, kScreenSpeed);
        ShowForm(mainMenu.form, kScreenSpeed);
        break;
    }
    case kProfileDelete:
        if (profileSelected < 0 || profileSelected >= ProfileCount())
            break; // nobody chosen: nothing to ask about
        SetMessageBox(FormatTableText(31, 256, ProfileName(profileSelected)), "", kGroupDeleteKeep, 1);
        ShowForm(msgBox.form, kDialogSpeed);
        SetActive(profiles.form, false);
        break;
    case kProfileUp:
        if (profileScroll >= 0) {
            --profileScroll;
            RefreshProfileRows();
        }
        break;
    case kProfileDown:
        if (ProfileCount() - profileScroll > 6) {
            ++profileScroll;
            RefreshProfileRows();
        }
        break;
    case kNameOk:
        if (ConfirmName(true))
            Push(kClick, id);
        break;
    case kNameBack:
        RefreshProfileRows();
        HideForm(newProfile.form, kScreenSpeed);
        ShowForm(profiles.form, kScreenSpeed);
        break;
    case kNewQuest:
        SetMessageBox(GetString(34), "", kGroupYesNo, 2);
        SetActive(startQuest.form, false);
        ShowForm(msgBox.form, kDialogSpeed);
        break;
    case kContinueQuest:
        HideForm(startQuest.form, kScreenSpeed);
        Push(kClick, id);
        break;
    case kQuestBack:
        HideForm(startQuest.form, kScreenSpeed);
        ShowForm(mainMenu.form, kScreenSpeed);
        break;
    case kScoresBack:
        HideForm(highScores.form, kScreenSpeed);
        ShowForm(mainMenu.form, kScreenSpeed);
        break;
    case kHelpBack:
        HideForm(help.form, kHelpSpeed);
        ShowForm(mainMenu.form, kHelpSpeed);
        break;
    case kHelpPrevious:
        ShowHelpPage(m_helpPage - 1);
        break;
    case kHelpNext:
        ShowHelpPage(m_helpPage + 1);
        break;
    default:
        break;
    }
}

// The message box's answers: what an answer does depends on the question
// that was asked (the command it was shown with).
void CGameScreens::OnMessageAnswer(int32_t id)
{
    const int32_t command = m_messageCommand;
    if (id == kMessageOk) {
        switch (command) {
        case 3:
        case 8:
            HideForm(msgBox.form, command == 3 ? kScreenSpeed : kDialogSpeed);
            if (shop.form)
                shop.form->SetEnabled(true);
            break;
        case 4:
        case 5:
        case 6:
            HideForm(msgBox.form, kScreenSpeed);
            Push(kClick, id);
            break;
        case 9:
            HideForm(msgBox.form, kDialogSpeed);
            ShowForm(highScores.form, kScreenSpeed);
            break;
        case 10:
            // The box goes before the event: without a new hiscore the game
            // brings the main menu, and a box left over it would block it;
            // with one the game refills the box, and its fade turns round.
            HideForm(msgBox.form, kDialogSpeed);
            Push(kClick, id);
            break;
        default:
            break;
        }
        return;
    }
    if (command == 1 && id == kMessageKeep) {
        HideForm(msgBox.form, kDialogSpeed);
        SetActive(profiles.form, true);
    } else if (command == 1 && id == kMessageYes) {
        if (m_profiles && profileSelected >= 0 && profileSelected < ProfileCount())
            m_profiles->DeleteProfile(ProfileName(profileSelected));
        HideForm(msgBox.form, kDialogSpeed);
        if (ProfileCount() > 0) {
            profileSelected = 0;
            profileScroll = -1;
            RefreshProfileRows();
            SetActive(profiles.form, true);
        } else {
            profileSelected = profileScroll = -1;
            SetNameEntry("Spieler", 0);
            HideForm(profiles.form, kScreenSpeed);
            ShowForm(newProfile.form, kScreenSpeed);
        }
    } else if (command == 2 && id == kMessageYes) {
        HideForm(msgBox.form, kDialogSpeed);
        Push(kClick, id);
    } else if (command == 2 && id == kMessageNo) {
        HideForm(msgBox.form, kDialogSpeed);
        SetActive(startQuest.form, true);
    } else if (command == 7 && (id == kMessageYes || id == kMessageNo)) {
        HideForm(msgBox.form, kDialogSpeed);
        if (shop.form)
            shop.form->SetEnabled(true);
        Push(kClick, id);
    } else if (command == 11 && (id == kMessageYes || id == kMessageNo)) {
        HideForm(msgBox.form, kDialogSpeed);
        HideForm(startQuest.form, kScreenSpeed);
        Push(kClick, id);
    }
}
