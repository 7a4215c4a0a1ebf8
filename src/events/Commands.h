// What the forms send, by name: the commands of the controls the game and the
// menu screens act on, and the questions the message box asks. Their values
// are the control ids the form files give the buttons and the numbers the
// message box keeps with its question; the form files keep their numbers,
// they are data.
#pragma once

#include <cstdint>

enum class Command : int32_t {
    None = 0,
    // The main menu.
    PlayQuest = 1,
    Exit = 2,
    Options = 3,
    Help = 4,
    HighScores = 5,
    Players = 6,
    Store = 7,
    // The quest screen's HUD.
    Hint = 10,
    QuestMenu = 11,
    ShuffleFirst = 12,
    ShuffleSecond = 13,
    // The level results.
    ResultsContinue = 20,
    // The shop: back to the menu, done, and each item's plus and minus.
    ShopToMenu = 30,
    ShopDone = 31,
    ItemPlusFirst = 40,
    ItemPlusLast = 55,
    ItemMinusFirst = 60,
    ItemMinusLast = 75,
    // The map and its newspapers.
    MapPlay = 150,
    MapToMenu = 151,
    NewspaperFirst = 152,
    NewspaperLast = 155,
    // The trophies screen's continue.
    TrophiesContinue = 159,
    // The pause menu.
    Resume = 160,
    LeaveQuest = 161,
    PauseOptions = 162,
    // The Reaction challenge's stop.
    ReactionStop = 170,
    // The players: the list and the name entry.
    ProfileOk = 180,
    ProfileCancel = 181,
    ProfileDelete = 182,
    ProfileUp = 183,
    ProfileDown = 184,
    ProfileRowFirst = 185,
    ProfileRowLast = 190,
    NameOk = 195,
    NameBack = 196,
    // The message box's buttons.
    MessageOk = 200,
    MessageKeep = 201,
    MessageYes = 202,
    MessageNo = 203,
    // The continue screen of a saved quest.
    NewQuest = 210,
    ContinueQuest = 211,
    QuestBack = 212,
    // The lesson panel's close.
    LessonClose = 220,
    // The options screen: OK, the two volumes and the four display boxes.
    OptionsOk = 230,
    SoundVolume = 231,
    MusicVolume = 232,
    FullScreenBox = 233,
    WindowSizeBox = 234,
    ColourDepthBox = 235,
    WideScreenBox = 236,
    HighScoresBack = 250,
    // The trophies screen's close.
    TrophiesClose = 260,
    HelpBack = 270,
    HelpPrevious = 271,
    HelpNext = 272,
    // The window's quit button.
    Quit = 280,
};

// The questions the message box asks; the answer is read by the question.
enum class Question : int32_t {
    None = 0,
    DeleteProfile = 1,
    // Starting afresh loses the saved quest.
    ReplaceSavedQuest = 2,
    // A notice over the shop; its OK hands the shop back.
    ShopNotice = 3,
    BonusLevelRules = 4,
    LevelFailed = 5,
    GameOver = 6,
    // Golden Stars left to spend: done with the shop?
    StarsLeft = 7,
    NoStarsLeft = 8,
    NewHighScore = 9,
    HardModeUnlocked = 10,
    TryHardMode = 11,
};

constexpr int32_t IdOf(Command command) { return static_cast<int32_t>(command); }
constexpr Command CommandOf(int32_t id) { return static_cast<Command>(id); }

constexpr bool IsBetween(Command command, Command first, Command last)
{
    return IdOf(command) >= IdOf(first) && IdOf(command) <= IdOf(last);
}
// The n-th (from 0) command of a run of commands.
constexpr Command NthOf(Command first, int n) { return CommandOf(IdOf(first) + n); }
// Where a command stands in its run, from 0.
constexpr int IndexIn(Command command, Command first) { return IdOf(command) - IdOf(first); }
