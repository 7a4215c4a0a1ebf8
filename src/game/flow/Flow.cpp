// The flow's bookkeeping (the state that shows, its step and the step's
// time), the frame and the input given to the state that shows, and the ways
// through the quest that cross states.
#include "game/flow/Flow.h"

#include "engine/StringTable.h"
#include "game/QuestState.h"
#include "game/Services.h"

// ---- A state's view of the flow ----

CFlowState::CFlowState(CGameFlow& flow) : m_flow(flow), m_services(flow.m_services), m_quest(flow.m_quest) {}

int CFlowState::StepIndex() const { return m_flow.m_step; }

float CFlowState::StepTime() const { return m_flow.m_timer; }

void CFlowState::SetStepTime(float seconds) { m_flow.m_timer = seconds; }

void CFlowState::GoToIndex(int step)
{
    m_flow.m_step = step;
    m_flow.m_timer = 0.0f;
    ++m_flow.m_moves;
}

unsigned CFlowState::Moves() const { return m_flow.m_moves; }

// ---- The state that shows ----

CGameFlow::CGameFlow(CGameServices& services, CQuestState& quest) : m_services(services), m_quest(quest) {}

void CGameFlow::Start() { Enter(splash); }

void CGameFlow::Enter(CFlowState& state, int step)
{
    if (m_current)
        m_current->Leave();
    m_current = &state;
    m_step = step;
    m_timer = 0.0f;
    ++m_moves;
    state.Enter();
}

GameMode CGameFlow::Mode() const { return m_current ? m_current->Mode() : kModeConstructed; }

PlayPhase CGameFlow::Phase() const { return m_current ? m_current->Phase() : static_cast<PlayPhase>(0); }

const char* CGameFlow::StateName() const { return m_current ? m_current->Name() : "constructed"; }

const char* CGameFlow::StepName() const { return m_current ? m_current->StepName() : ""; }

bool CGameFlow::WaitsForPlayer() const { return m_current && m_current->WaitsForPlayer(); }

// ---- The frame and the input ----

void CGameFlow::TakeScreenEvents()
{
    for (const ScreenEvent& event : m_services.screens->Events())
        HandleScreenEvent(event);
}

void CGameFlow::HandleScreenEvent(const ScreenEvent& event)
{
    CGameServices& s = m_services;
    switch (event.kind) {
    case ScreenEvent::Kind::VolumeChanged:
        if (event.command == Command::SoundVolume && s.sounds)
            s.sounds->SetVolume(event.value);
        else if (event.command == Command::MusicVolume && s.music)
            s.music->SetVolume(event.value);
        break;
    case ScreenEvent::Kind::FadedOut:
        if (event.form != s.screens->intro.form)
            break;
        s.screens->SetIntroTextureLoaded(false);
        if (IsIn<CStoryPages>())
            storyPages.IntroFadedOut();
        break;
    default:
        break;
    }
}

// The shop's own frame runs on the level whatever state shows: it opens
// and fades out on its own time.
void CGameFlow::Update(float dt)
{
    m_frameTime = dt;
    m_timer += dt;
    if (!m_current)
        return;
    if (m_current->Mode() != kModePlaying) {
        m_current->Update(dt);
        return;
    }
    level.Frame(dt);
    m_current->Update(dt);
    if (m_quest.gameType == 0)
        shopVisit.RunTheShop(dt);
}

// The press goes to the menu screens first, then to the state.
void CGameFlow::Press(float x, float y)
{
    CGameServices& s = m_services;
    if (!s.board->Picked())
        level.dragging = false;
    if (m_current && m_current->TakesPressFirst(x, y))
        return;
    ScreenPress press;
    s.screens->OnMouseDown(x, y);
    for (const ScreenEvent& event : s.screens->Events())
        HandleScreenPress(event, &press);
    if (m_current)
        m_current->Press(x, y, press);
}

void CGameFlow::HandleScreenPress(const ScreenEvent& event, ScreenPress* press)
{
    if (event.kind == ScreenEvent::Kind::VolumeChanged) {
        HandleScreenEvent(event);
        return;
    }
    if (event.kind != ScreenEvent::Kind::Press)
        return;
    switch (event.command) {
    case Command::QuestMenu:
        press->consumed = true;
        break;
    case Command::ReactionStop:
        if (bonusLevel.StopPressed())
            press->consumed = true;
        break;
    case Command::LessonClose:
        lessons.Close(true);
        press->offBoard = true;
        break;
    case Command::FullScreenBox:
    case Command::WindowSizeBox:
    case Command::ColourDepthBox:
    case Command::WideScreenBox:
        options.PressBox(IndexIn(event.command, Command::FullScreenBox));
        break;
    default:
        break;
    }
}

// The release's commands go to the state that shows (and, on the level, to
// the quest form's and the pause menu's); the window's quit button works
// in every state. The events are copied: a command may refill the screens'
// list.
InputResult CGameFlow::Release(float x, float y)
{
    CGameServices& s = m_services;
    level.dragging = false;
    if (m_current)
        m_current->Release(x, y);
    s.screens->OnMouseUp(x, y);
    std::vector<Command> commands;
    for (const ScreenEvent& e : s.screens->Events())
        if (e.kind == ScreenEvent::Kind::Click)
            commands.push_back(e.command);
    InputResult result = InputResult::Continue;
    auto take = [&result](InputResult r) {
        if (r == InputResult::Quit)
            result = r;
    };
    for (const Command command : commands) {
        if (command == Command::Quit) {
            result = InputResult::Quit;
            continue;
        }
        if (!m_current)
            continue;
        const bool onLevel = m_current->Mode() == kModePlaying;
        take(m_current->OnCommand(command));
        if (onLevel) {
            take(level.OnCommand(command));
            take(pause.OnCommand(command));
        }
    }
    if (m_current)
        m_current->AfterCommands();
    return result;
}

// A name typed into the name entry comes first; the pause keys work on the
// level when the state did not take the key.
InputResult CGameFlow::Key(int key)
{
    CGameServices& s = m_services;
    if (s.screens->OnNameKey(key) == 3) {
        menus.MakeProfileCurrent(s.screens->profileSelected);
        return InputResult::Continue;
    }
    if (m_current && m_current->Key(key))
        return InputResult::Continue;
    if ((key == plat::VK_SPACE || key == plat::VK_ESCAPE || key == plat::VK_P) && Mode() == kModePlaying &&
        m_quest.gameType == 0)
        pause.Toggle();
    return InputResult::Continue;
}

void CGameFlow::LetGoOfThePick()
{
    if (IsIn<CPlay>() && m_services.board)
        level.LetGoOfThePick();
}

// ---- The ways through the quest ----

void CGameFlow::StartNewQuest(int difficulty)
{
    CGameServices& s = m_services;
    Enter(storyPages);
    s.SwapPanelTextures(false, false);
    if (!s.capsRenderer->SwitchTextureSet(0))
        WriteLog("Error switching Caps textures\n");
    s.screens->RecreateMapTextures(1);
    loader.StartNewQuest(difficulty);
}

void CGameFlow::CompleteQuest() { Enter(questComplete); }

void CGameFlow::ReturnToMenu(int text, Question question)
{
    CGameServices& s = m_services;
    if (text)
        s.ShowMessage(GetString(text), CGameScreens::kGroupOk, question, 2.0f);
    else
        s.screens->ShowForm(s.screens->mainMenu.form, 2.0f);
    Enter(menus);
    if (s.questSave)
        s.questSave->state = 0;
}

void CGameFlow::ResetQuestDisplay()
{
    play.ResetAutosave();
    level.ResetHints();
    m_services.screens->SetQuestGroupVisible(m_quest.gameType != 0, false);
    m_services.screens->SetQuestOverlayVisible(false);
}

void CGameFlow::StoreShopAndSave()
{
    CGameServices& s = m_services;
    if (m_quest.gameType == 0 && IsIn<CShopVisit>() && s.shop->IsShown() && s.shop->OpenFraction() >= 1.0f) {
        s.shop->SettleStars();
        m_quest.Store(CQuestSave::kResumeInShop, true);
        s.questSave->state = 2;
    }
    if (QuestInProgress())
        s.questSave->Save(QuestSavePath(m_quest.PlayerFolder()));
}

void CGameFlow::ClearLevelForQuit()
{
    level.DropBoardEvents();
    m_services.board->SetSandDrain(false, 0.0f);
    m_services.board->FlushTokens();
}

void CGameFlow::QuitQuestToMenu()
{
    ResetQuestDisplay();
    if (IsIn<CBonusLevel>())
        bonusLevel.Abandon();
    StoreShopAndSave();
    ClearLevelForQuit();
    Enter(backToMenu);
    m_quest.EnterHiscore();
}

void CGameFlow::SaveQuestAndLeave(bool fromMap)
{
    CGameServices& s = m_services;
    if (fromMap) {
        if (QuestInProgress())
            s.questSave->Save(QuestSavePath(m_quest.PlayerFolder()));
        s.screens->HideForm(s.screens->map.form, 2.0f);
    } else {
        StoreShopAndSave();
        s.shop->Show(0, 2.0f, m_quest.level + 1);
        s.screens->HideForm(s.screens->shop.form, 2.0f);
        lessons.HideShopLesson();
    }
    // The screen left is on its way out already: no wait for the board.
    Enter(backToMenu, CBackToMenu::kClear);
    m_quest.EnterHiscore();
}

void CGameFlow::EndQuestSession()
{
    ResetQuestDisplay();
    m_services.board->StopPlay();
    Enter(questOver);
    m_quest.EnterHiscore();
}

bool CGameFlow::LoadQuestCheckpoint(bool noLivesLeft)
{
    ResetQuestDisplay();
    const CBalanceState& balance = m_services.balance;
    if (!m_quest.LoadCheckpoint(noLivesLeft, balance.livesLimited, balance.maxLives))
        return false;
    ClearLevelForQuit();
    Enter(levelFailed);
    return true;
}

bool CGameFlow::QuestInProgress() const
{
    const CountedHandle<CQuestSave>& save = m_services.questSave;
    return Mode() == kModePlaying && save && save->state == 2 && !m_quest.levelIntroPending;
}

// A close in play keeps the level as it stands when the board rests; under
// an overlay or in the middle of a move, the last rest the record took.
void CGameFlow::SaveQuestOnExit()
{
    CGameServices& s = m_services;
    if (!s.board || !s.questSave)
        return;
    play.KeepRestIfAtRest();
    if (m_quest.gameType == 0 && IsIn<CShopVisit>()) {
        s.shop->SettleStars();
        s.shop->Show(0, 0.0f, m_quest.level + 1);
        m_quest.Store(CQuestSave::kResumeInShop, true);
        s.questSave->state = 2;
    }
    if (QuestInProgress())
        s.questSave->Save(QuestSavePath(m_quest.PlayerFolder()));
}

int32_t CGameFlow::ResumeKind() const
{
    if (IsIn<CLevelResults>())
        return CQuestSave::kResumeAtResults;
    if (IsIn<CShopVisit>())
        return CQuestSave::kResumeInShop;
    return CQuestSave::kResumeInPlay;
}
