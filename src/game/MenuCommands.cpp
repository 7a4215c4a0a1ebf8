// The left button's release and the commands of the menu screens' buttons,
// by game mode: the main menu's quest, options and profiles; in play the
// hint, pause, shuffle, results, shop, map and message-box buttons; the
// completed quest's trophies. Also the shop's closing, the shuffle a life
// pays for and the hint that costs points.
#include "game/Game.h"

#include "engine/Random.h"
#include "engine/StringTable.h"
#include "gui/QoScroller.h"
#include "platform/Files.h"

InputResult CGame::OnRelease(plat::MouseButton button, int px, int py)
{
    if (!screens || button != plat::MouseButton::Left)
        return InputResult::Continue;
    dragging = false;
    // Without a client area the release stands where the cursor was last.
    float x = cursorX, y = cursorY;
    MapPoint(px, py, &x, &y);
    if (mode == kModePlaying && phase == kPhaseShop)
        shop->OnMouseUp(x, y);
    screens->OnMouseUp(x, y);
    // The events are copied: a command may refill the screens' list.
    std::vector<Command> commands;
    for (const ScreenEvent& e : screens->Events())
        if (e.kind == ScreenEvent::Kind::Click)
            commands.push_back(e.command);
    InputResult result = InputResult::Continue;
    auto take = [&result](InputResult r) {
        if (r == InputResult::Quit)
            result = r;
    };
    for (const Command command : commands) {
        // The window's quit button works in every mode, the intros too.
        if (command == Command::Quit)
            result = InputResult::Quit;
        else if (mode == kModeMenus)
            take(OnMenuCommand(command));
        else if (mode == kModePlaying)
            take(OnPlayCommand(command));
        else if (mode == kModeQuestComplete)
            take(OnCompleteCommand(command));
    }
    if (mode == kModePlaying && phase == kPhaseAfterResults && (subState == 10 || subState == 14))
        ContinueAfterWait();
    return result;
}

InputResult CGame::OnMenuCommand(Command command)
{
    const Question asked = screens->AskedQuestion();
    switch (command) {
    case Command::PlayQuest:
        StartQuestFromMenu();
        return InputResult::Continue;
    case Command::Exit:
        return InputResult::Quit;
    case Command::Options:
        OpenOptions(screens->mainMenu.form, 2.0f);
        return InputResult::Continue;
    case Command::ProfileOk:
    case Command::NameOk:
        MakeProfileCurrent(screens->profileSelected);
        return InputResult::Continue;
    case Command::MessageOk:
        if (asked == Question::HardModeUnlocked) {
            if (hiscoreEntered)
                ShowMessage(GetString(61), CGameScreens::kGroupOk, Question::NewHighScore, 2.0f);
            else
                screens->ShowForm(screens->mainMenu.form, 2.0f);
        }
        return InputResult::Continue;
    case Command::MessageYes:
    case Command::MessageNo:
        if (asked == Question::ReplaceSavedQuest && command == Command::MessageYes) {
            if (profile && profile->veteran) {
                AskHardMode(4.0f);
            } else {
                screens->HideForm(screens->startQuest.form, 2.0f);
                StartFreshQuest(0);
            }
        } else if (asked == Question::TryHardMode) {
            screens->HideForm(screens->msgBox.form, 2.0f);
            StartFreshQuest(command == Command::MessageYes ? 1 : 0);
        }
        return InputResult::Continue;
    case Command::ContinueQuest:
        questSave->state = 2;
        StartQuestLevel();
        mode = phaseEntry;
        modeTimer = 0.0f;
        return InputResult::Continue;
    case Command::OptionsOk:
        ConfirmOptions(screens->mainMenu.form, 2.0f);
        return InputResult::Continue;
    default:
        return InputResult::Continue;
    }
}

InputResult CGame::OnPlayCommand(Command command)
{
    if (IsBetween(command, Command::ItemPlusFirst, Command::ItemPlusLast)) {
        if (shop->CountAvailableStars() > 0) {
            shop->ChangeLevel(IndexIn(command, Command::ItemPlusFirst), 1);
        } else {
            screens->shop.form->SetEnabled(false);
            ShowMessage(GetString(60), CGameScreens::kGroupOk, Question::NoStarsLeft, 4.0f);
        }
        return InputResult::Continue;
    }
    if (IsBetween(command, Command::ItemMinusFirst, Command::ItemMinusLast)) {
        shop->ChangeLevel(IndexIn(command, Command::ItemMinusFirst), 0);
        return InputResult::Continue;
    }
    const Question asked = screens->AskedQuestion();
    switch (command) {
    case Command::Hint:
        if (board->CurrentLesson().lesson != Lesson::None)
            return InputResult::Continue;
        ApplyLevelState(true);
        if (ShowHint())
            AddScore(-balance.BonusPoints());
        return InputResult::Continue;
    case Command::QuestMenu:
        if (!IsReadyForInput())
            return InputResult::Continue;
        board->SetLocked(true);
        screens->ShowForm(screens->gameMenu.form, 4.0f);
        if (gameType == 0)
            screens->quest.form->SetEnabled(false);
        return InputResult::Continue;
    case Command::ShuffleFirst:
    case Command::ShuffleSecond:
        if (board->CurrentLesson().lesson == Lesson::None)
            ShuffleForLife(IndexIn(command, Command::ShuffleFirst));
        return InputResult::Continue;
    case Command::ResultsContinue:
        ContinueAfterStatistics();
        return InputResult::Continue;
    case Command::ShopToMenu:
        SaveQuestAndLeave(false);
        return InputResult::Continue;
    case Command::ShopDone:
        if (shop->openFraction < 1.0f)
            return InputResult::Continue;
        if (shop->CountAvailableStars() > 0 && shop->CanStillUpgrade()) {
            screens->shop.form->SetEnabled(false);
            ShowMessage(GetString(59), CGameScreens::kGroupYesNo, Question::StarsLeft, 4.0f);
        } else {
            CloseShop();
        }
        return InputResult::Continue;
    case Command::MapPlay:
        PlayMapLevel();
        return InputResult::Continue;
    case Command::MapToMenu:
        SaveQuestAndLeave(true);
        return InputResult::Continue;
    case Command::TrophiesContinue:
        RunTrophyStep();
        return InputResult::Continue;
    case Command::Resume:
        screens->HideForm(screens->gameMenu.form, 4.0f);
        if (gameType == 0)
            screens->quest.form->SetEnabled(true);
        board->SetLocked(false);
        return InputResult::Continue;
    case Command::LeaveQuest:
        screens->HideForm(screens->gameMenu.form, 2.0f);
        ApplyLevelState(false);
        QuitQuestToMenu();
        return InputResult::Continue;
    case Command::PauseOptions:
        OpenOptions(screens->gameMenu.form, 5.0f);
        return InputResult::Continue;
    case Command::MessageOk:
        if (asked == Question::BonusLevelRules) {
            Next(-7);
        } else if (asked == Question::LevelFailed || asked == Question::GameOver) {
            Next(3);
        }
        return InputResult::Continue;
    case Command::MessageYes:
        if (asked == Question::StarsLeft)
            CloseShop();
        return InputResult::Continue;
    case Command::OptionsOk:
        ConfirmOptions(screens->gameMenu.form, 5.0f);
        return InputResult::Continue;
    case Command::TrophiesClose:
        RunTrophyStep();
        return InputResult::Continue;
    default:
        return InputResult::Continue;
    }
}

// The completed quest: the trophies screen's buttons both leave it (the
// continue button would otherwise do nothing here).
InputResult CGame::OnCompleteCommand(Command command)
{
    if (command == Command::TrophiesContinue || command == Command::TrophiesClose) {
        if (subState == 10)
            RunTrophyStep();
        return InputResult::Continue;
    }
    return InputResult::Continue;
}

void CGame::StartQuestFromMenu()
{
    gameType = 0;
    RunChallenge(kOrdinaryLevel);
    if (!questSave)
        questSave = MakeCountedHandle(new CQuestSave());
    const std::string folder = PlayerFolder();
    const bool loaded = questSave->Load(QuestSavePath(folder)) || questSave->Load(SecondCheckpointPath(folder)) ||
                        questSave->Load(FirstCheckpointPath(folder));
    screens->HideForm(screens->mainMenu.form, 2.0f);
    if (loaded) {
        screens->SetStartQuestCaption(questSave->level + (questSave->resumeKind == 8 ? 1 : 0),
                                      questSave->difficulty != 0);
        screens->ShowForm(screens->startQuest.form, 2.0f);
    } else if (profile && profile->veteran) {
        AskHardMode(2.0f);
    } else {
        EnterLevelIntro(0);
    }
}

void CGame::AskHardMode(float speed)
{
    ShowMessage(GetString(63), CGameScreens::kGroupHardNormal, Question::TryHardMode, speed);
}

void CGame::StartFreshQuest(int difficulty)
{
    DeleteQuestSaves(0, true);
    EnterLevelIntro(difficulty);
}

void CGame::OpenOptions(const CountedHandle<CQoForm>& from, float speed)
{
    appliedDisplayMask = pendingDisplayMask = GetDisplayFlags();
    screens->SetOptionsScrollers(soundOptions.soundVolume, soundOptions.musicVolume);
    UpdateToggleControls(pendingDisplayMask);
    screens->HideForm(from, speed);
    screens->ShowForm(screens->options.form, speed);
}

void CGame::ConfirmOptions(const CountedHandle<CQoForm>& back, float speed)
{
    const std::string options = paths.folders[CDataPaths::UserConfig] + "Options.ini";
    if (pendingDisplayMask != appliedDisplayMask && ApplyDisplayMode(pendingDisplayMask)) {
        appliedDisplayMask = pendingDisplayMask;
        int w = 0, h = 0;
        d3d::D3DFORMAT format = 0;
        renderer->GetDisplayMode(fullScreen, &w, &h, &format);
        WriteDisplayModeSettings(options, w, h, format, fullScreen);
    }
    soundOptions.soundVolume = static_cast<const CQoScroller*>(screens->options.soundVolume.Get())->Value();
    soundOptions.musicVolume = static_cast<const CQoScroller*>(screens->options.musicVolume.Get())->Value();
    soundOptions.Write(options);
    screens->HideForm(screens->options.form, speed);
    screens->ShowForm(back, speed);
}

// The profile chosen on the Profiles or NewProfile form becomes the current
// player; an index outside the list (nothing chosen yet) changes nothing.
void CGame::MakeProfileCurrent(int index)
{
    if (!profiles || index < 0 || static_cast<size_t>(index) >= profiles->Count())
        return;
    profile = profiles->At(static_cast<size_t>(index));
    playerName = profile->name;
    nameEntryPending = false;
    gameOptions.profile = profile->Name();
    gameOptions.Write(paths.folders[CDataPaths::UserConfig] + "Options.ini");
    board->SetLessons(CurrentLessonPlan());
    trophies->Load(PlayerFolder() + "Trophies.dat");
}

void CGame::ContinueAfterStatistics()
{
    int number = 0, group = 0;
    const int kind = BonusLevelAfterLevel(level, &number, &group);
    if (kind >= 1 && kind <= 4) {
        // Memory, Accuracy, Attention and Reaction in the balance's order.
        static const ChallengeKind kChallenges[4] = {kMemory, kAccuracy, kAttention, kReaction};
        StartBonusLevel(number, group, kChallenges[kind - 1]);
        return;
    }
    screens->HideForm(screens->statistics.form, 2.0f);
    screens->HideForm(screens->quest.form, 2.0f);
    totems->ShowPanel(0, 2.0f);
    totems->FadeOutAll(2.0f);
    screens->HideBackgroundItems();
    screens->ShowForm(screens->background.form, 2.0f);
    phase = kPhaseAfterResults;
    Next(0);
}

// The shop's stars come to rest before its levels go into the record, and
// it fades out with its form.
void CGame::CloseShop()
{
    shop->SettleStars();
    shop->Show(0, 2.0f, level + 1);
    StoreQuestState(true);
    questSave->state = 2;
    screens->HideForm(screens->shop.form, 2.0f);
    HideShopLesson();
    screens->FillMapScreen(level + 1, 1);
    screens->ShowForm(screens->map.form, 2.0f);
    phase = kPhaseMapMarch;
    Next(0);
    m_marchFrom = level;
    m_marchTo = level + 1;
}

// The map's Play button: the won level gives way to the next one.
void CGame::PlayMapLevel()
{
    StartLevel(level + 1);
    screens->FillMapScreen(level, 1);
    screens->HideForm(screens->map.form, 2.0f);
    SwitchBackgroundForStage(level - 1, level);
    EnterPhase10();
}

void CGame::ShuffleForLife(int button)
{
    screens->SetQuestOverlayVisible(false);
    overlayIdleTimer = 0.0f;
    overlayBlinking = false;
    if (phase != kPhasePlay || board->CurrentLesson().lesson != Lesson::None || starAward->running ||
        lifeLostAward->running || lifeLost.active || !IsReadyForInput() || !board->IsIdle())
        return;
    lifeLost.active = true;
    lifeLost.timer = 0.0f;
    lifeLost.timeUp = false;
    lifeLost.finished = false;
    Play(FlowSound::Shuffle);
    CountedHandle<CQoStatic> pressed;
    for (const auto& control : screens->quest.shuffleGroup)
        if (CommandOf(control->id) == NthOf(Command::ShuffleFirst, button))
            pressed = control;
    const Vec3 at = pressed ? pressed->Position() : Vec3{};
    StartLifeLostAnimation(GetString(72), at.x, at.y, static_cast<bool>(pressed));
    board->ShuffleAnimated(1.5f, 30);
    --lives;
    ShowLivesLeft();
    if (pressed)
        pressed->SetVisible(false);
    DropBoardEvents();
}

bool CGame::ShowHint()
{
    const BoardStatus status = board->Status();
    if (status.ended || !status.sandActive || status.locked)
        return false;
    MatchMove move;
    if (!board->Analysis().PickRandomMove(&move, RandomUnit()))
        return false;
    for (const auto& [column, row] : {std::pair{move.column1, move.row1}, std::pair{move.column2, move.row2}}) {
        const Vec2 p = board->CellToPoint(column, row, true);
        adviser->AddArrow(p.x, p.y + 0.3f * board->CellHeight());
    }
    PlayAt(FlowSound::Hint, board->CellToPoint(move.column2, move.row2, true).x);
    trophyCounters[1] = -1;
    return true;
}
