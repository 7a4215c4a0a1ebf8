// The screens at run time: fades of forms and of groups of controls, the
// per-frame step (fades, the rolling score, the gauge, the tutorial pointer,
// the blinking groups, the cursor), and the presses and clicks that become
// events for the game or move between the menus.
#include "screens/GameScreens.h"

#include "engine/StringTable.h"
#include "engine/VectorMath.h"
#include "platform/System.h"
#include "records/Options.h"
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

// The clicks the game acts on itself.
bool IsGameCommand(Command c)
{
    switch (c) {
    case Command::PlayQuest:
    case Command::Exit:
    case Command::Options:
    case Command::QuestMenu:
    case Command::ShuffleFirst:
    case Command::ShuffleSecond:
    case Command::ResultsContinue:
    case Command::ShopToMenu:
    case Command::ShopDone:
    case Command::MapPlay:
    case Command::MapToMenu:
    case Command::TrophiesContinue:
    case Command::Resume:
    case Command::LeaveQuest:
    case Command::PauseOptions:
    case Command::OptionsOk:
    case Command::TrophiesClose:
    case Command::Quit:
        return true;
    default:
        return IsBetween(c, Command::ItemPlusFirst, Command::ItemPlusLast) ||
               IsBetween(c, Command::ItemMinusFirst, Command::ItemMinusLast);
    }
}

// The presses the game acts on while the button is down.
bool IsGamePress(Command c)
{
    return c == Command::QuestMenu || c == Command::ReactionStop || c == Command::LessonClose ||
           IsBetween(c, Command::FullScreenBox, Command::WideScreenBox);
}

bool IsVolume(Command c) { return c == Command::SoundVolume || c == Command::MusicVolume; }

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

void CGameScreens::Push(ScreenEvent::Kind kind, Command command)
{
    ScreenEvent e;
    e.kind = kind;
    e.command = command;
    m_events.push_back(e);
}

void CGameScreens::PushFormEvent(ScreenEvent::Kind kind, const CountedHandle<CQoForm>& form)
{
    ScreenEvent e;
    e.kind = kind;
    e.form = form;
    m_events.push_back(e);
}

void CGameScreens::PushVolume(Command volume)
{
    const auto* scroller = static_cast<CQoScroller*>(
        (volume == Command::SoundVolume ? options.soundVolume : options.musicVolume).Get());
    ScreenEvent e;
    e.kind = ScreenEvent::Kind::VolumeChanged;
    e.command = volume;
    e.value = scroller->Value();
    m_events.push_back(e);
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
            PushFormEvent(ScreenEvent::Kind::FadedIn, form);
        } else {
            // Hidden at full alpha, so that the next fade-in starts from 0.
            form->SetAlpha(1.0f);
            form->active = true;
            form->ResetInput();
            form->SetVisible(false);
            PushFormEvent(ScreenEvent::Kind::FadedOut, form);
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
    PlaceTutorialPointer(pointerX, pointerY, pointerSide);
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
    m_events.clear();
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
        const Command command = CommandOf(e.id);
        if (e.code == GuiCode::Enter && (e.kind == WindowKind::Button || e.kind == WindowKind::Checkbox))
            PlayHover(x);
        if (command == Command::Hint && e.code == GuiCode::Enter) {
            quest.hintHighlight->SetVisible(true);
            static_cast<CQoCheckbox*>(quest.hintHighlight.Get())->SetChecked(true);
        } else if (command == Command::Hint && e.code == GuiCode::Leave) {
            quest.hintHighlight->SetVisible(false);
        }
        if (e.code == GuiCode::ValueChanged && IsVolume(command))
            PushVolume(command);
    }
    return static_cast<int>(m_events.size());
}

void CGameScreens::OnProfilePress(Command rowCommand)
{
    if (rowCommand == Command::ProfileRowFirst && profileScroll == -1) {
        SetNameEntry(kDefaultPlayerName, 1);
        HideForm(profiles.form, kScreenSpeed);
        ShowForm(newProfile.form, kScreenSpeed);
        return;
    }
    const size_t row = static_cast<size_t>(IndexIn(rowCommand, Command::ProfileRowFirst));
    for (size_t r = 0; r < profiles.rows.Size(); ++r)
        static_cast<CQoCheckbox*>(profiles.rows.At(r).Get())->SetChecked(r == row);
    profileSelected = profileScroll + static_cast<int32_t>(row);
}

int CGameScreens::OnMouseDown(float x, float y)
{
    m_events.clear();
    m_formsManager->OnMouseDown(x, y, 0);
    for (const GuiEvent& e : m_formsManager->Events()) {
        const Command command = CommandOf(e.id);
        if (e.code == GuiCode::LeftDown) {
            if (IsPressable(e.kind))
                PlayClick(x);
            if (command == Command::Hint) {
                quest.hintHighlight->SetVisible(true);
                static_cast<CQoCheckbox*>(quest.hintHighlight.Get())->SetChecked(false);
                Push(ScreenEvent::Kind::Press, command);
            } else if (IsGamePress(command)) {
                Push(ScreenEvent::Kind::Press, command);
            } else if (IsBetween(command, Command::ProfileRowFirst, Command::ProfileRowLast)) {
                OnProfilePress(command);
            }
        } else if (e.code == GuiCode::ValueChanged && IsVolume(command)) {
            PushVolume(command);
        }
    }
    return static_cast<int>(m_events.size());
}

int CGameScreens::OnMouseUp(float x, float y)
{
    m_events.clear();
    m_cursorX = x;
    m_formsManager->OnMouseUp(x, y, 0);
    // The list is copied: a command may show forms and change the manager's.
    const std::vector<GuiEvent> events = m_formsManager->Events();
    for (const GuiEvent& e : events)
        if (e.code == GuiCode::Click)
            OnClick(CommandOf(e.id));
    return static_cast<int>(m_events.size());
}

void CGameScreens::OnClick(Command command)
{
    if (IsGameCommand(command)) {
        Push(ScreenEvent::Kind::Click, command);
        return;
    }
    if (IsBetween(command, Command::NewspaperFirst, Command::NewspaperLast)) {
        ShowNewspaper(IndexIn(command, Command::NewspaperFirst));
        HideForm(map.form, kScreenSpeed);
        ShowForm(newspaper.form, kScreenSpeed);
        return;
    }
    if (IsBetween(command, Command::MessageOk, Command::MessageNo)) {
        OnMessageAnswer(command);
        return;
    }
    switch (command) {
    case Command::Help:
        ShowHelpPage(1);
        HideForm(mainMenu.form, kHelpSpeed);
        ShowForm(help.form, kHelpSpeed);
        break;
    case Command::HighScores:
        FillHighScores(highScoreTable);
        ShowForm(highScores.form, kScreenSpeed);
        HideForm(mainMenu.form, kScreenSpeed);
        break;
    case Command::Players:
        m_profileNameOnOpen = ProfileName(profileSelected);
        HideForm(mainMenu.form, kScreenSpeed);
        RefreshProfileRows();
        ShowForm(profiles.form, kScreenSpeed);
        break;
    case Command::Store:
        if (!m_storeLink.empty())
            m_linkOpener(m_storeLink);
        break;
    case Command::Hint:
        static_cast<CQoCheckbox*>(quest.hintHighlight.Get())->SetChecked(true);
        Push(ScreenEvent::Kind::Click, command);
        break;
    case Command::ProfileOk:
        if (profileSelected - profileScroll > 5)
            profileScroll = profileSelected - 5;
        RefreshProfileRows();
        ShowPlayerName();
        HideForm(profiles.form, kScreenSpeed);
        ShowForm(mainMenu.form, kScreenSpeed);
        Push(ScreenEvent::Kind::Click, command);
        break;
    case Command::ProfileCancel: {
        const int index = m_profiles ? m_profiles->FindProfile(m_profileNameOnOpen) : -1;
        if (index >= 0) {
            profileSelected = index;
            if (index > 4)
                profileScroll = index - 5;
            Push(ScreenEvent::Kind::Click, Command::ProfileCancel);
        } else {
            // The player of before is gone: take the selection as it stands.
            Push(ScreenEvent::Kind::Click, Command::ProfileOk);
        }
        ShowPlayerName();
        HideForm(profiles.form, kScreenSpeed);
        ShowForm(mainMenu.form, kScreenSpeed);
        break;
    }
    case Command::ProfileDelete:
        if (profileSelected < 0 || profileSelected >= ProfileCount())
            break; // nobody chosen: nothing to ask about
        SetMessageBox(FormatTableText(31, 256, ProfileName(profileSelected)), "", kGroupDeleteKeep,
                      Question::DeleteProfile);
        ShowForm(msgBox.form, kDialogSpeed);
        SetActive(profiles.form, false);
        break;
    case Command::ProfileUp:
        if (profileScroll >= 0) {
            --profileScroll;
            RefreshProfileRows();
        }
        break;
    case Command::ProfileDown:
        if (ProfileCount() - profileScroll > 6) {
            ++profileScroll;
            RefreshProfileRows();
        }
        break;
    case Command::NameOk:
        if (ConfirmName(true))
            Push(ScreenEvent::Kind::Click, command);
        break;
    case Command::NameBack:
        RefreshProfileRows();
        HideForm(newProfile.form, kScreenSpeed);
        ShowForm(profiles.form, kScreenSpeed);
        break;
    case Command::NewQuest:
        SetMessageBox(GetString(34), "", kGroupYesNo, Question::ReplaceSavedQuest);
        SetActive(startQuest.form, false);
        ShowForm(msgBox.form, kDialogSpeed);
        break;
    case Command::ContinueQuest:
        HideForm(startQuest.form, kScreenSpeed);
        Push(ScreenEvent::Kind::Click, command);
        break;
    case Command::QuestBack:
        HideForm(startQuest.form, kScreenSpeed);
        ShowForm(mainMenu.form, kScreenSpeed);
        break;
    case Command::HighScoresBack:
        HideForm(highScores.form, kScreenSpeed);
        ShowForm(mainMenu.form, kScreenSpeed);
        break;
    case Command::HelpBack:
        HideForm(help.form, kHelpSpeed);
        ShowForm(mainMenu.form, kHelpSpeed);
        break;
    case Command::HelpPrevious:
        ShowHelpPage(m_helpPage - 1);
        break;
    case Command::HelpNext:
        ShowHelpPage(m_helpPage + 1);
        break;
    default:
        break;
    }
}

// The message box's answers: what an answer does depends on the question
// that was asked.
void CGameScreens::OnMessageAnswer(Command answer)
{
    const Question question = m_question;
    if (answer == Command::MessageOk) {
        switch (question) {
        case Question::ShopNotice:
        case Question::NoStarsLeft:
            HideForm(msgBox.form, question == Question::ShopNotice ? kScreenSpeed : kDialogSpeed);
            if (shop.form)
                shop.form->SetEnabled(true);
            break;
        case Question::BonusLevelRules:
        case Question::LevelFailed:
        case Question::GameOver:
            HideForm(msgBox.form, kScreenSpeed);
            Push(ScreenEvent::Kind::Click, answer);
            break;
        case Question::NewHighScore:
            HideForm(msgBox.form, kDialogSpeed);
            ShowForm(highScores.form, kScreenSpeed);
            break;
        case Question::HardModeUnlocked:
            // The box goes before the event: without a new hiscore the game
            // brings the main menu, and a box left over it would block it;
            // with one the game refills the box, and its fade turns round.
            HideForm(msgBox.form, kDialogSpeed);
            Push(ScreenEvent::Kind::Click, answer);
            break;
        default:
            break;
        }
        return;
    }
    const bool yes = answer == Command::MessageYes, no = answer == Command::MessageNo;
    if (question == Question::DeleteProfile && answer == Command::MessageKeep) {
        HideForm(msgBox.form, kDialogSpeed);
        SetActive(profiles.form, true);
    } else if (question == Question::DeleteProfile && yes) {
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
            SetNameEntry(kDefaultPlayerName, 0);
            HideForm(profiles.form, kScreenSpeed);
            ShowForm(newProfile.form, kScreenSpeed);
        }
    } else if (question == Question::ReplaceSavedQuest && yes) {
        HideForm(msgBox.form, kDialogSpeed);
        Push(ScreenEvent::Kind::Click, answer);
    } else if (question == Question::ReplaceSavedQuest && no) {
        HideForm(msgBox.form, kDialogSpeed);
        SetActive(startQuest.form, true);
    } else if (question == Question::StarsLeft && (yes || no)) {
        HideForm(msgBox.form, kDialogSpeed);
        if (shop.form)
            shop.form->SetEnabled(true);
        Push(ScreenEvent::Kind::Click, answer);
    } else if (question == Question::TryHardMode && (yes || no)) {
        HideForm(msgBox.form, kDialogSpeed);
        HideForm(startQuest.form, kScreenSpeed);
        Push(ScreenEvent::Kind::Click, answer);
    }
}
