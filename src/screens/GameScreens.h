// The controller of the game's menu screens. It loads every form of the game
// from its form file, keeps the controls the game changes (by the key the
// form file hands them over under), runs the fades of forms and groups of
// controls, puts the game's values on the HUD and the menus, and turns what
// the player does with the controls into GameEvent records for the game.
//
// The GUI toolkit knows no game terms; this is where the forms become the
// main menu, the quest HUD, the map and the rest. The game calls Update once
// a frame and the mouse and key entries from its input handlers, and reads
// Events() after each call.
#pragma once

#include "audio/SoundManager.h"
#include "balance/BalanceState.h"
#include "engine/BitmapFont.h"
#include "engine/CountedHandle.h"
#include "engine/DataPaths.h"
#include "engine/Log.h"
#include "engine/RenderDevice.h"
#include "engine/Text.h"
#include "events/Commands.h"
#include "events/GameEvent.h"
#include "gui/QoButton.h"
#include "gui/QoForm.h"
#include "gui/QoFormsManager.h"
#include "gui/QoScroller.h"
#include "gui/QoStatic.h"
#include "layout/QuestLayout.h"
#include "platform/System.h"
#include "records/HiscoreTable.h"
#include "records/Profiles.h"

#include <array>
#include <string>
#include <vector>

// An ordered list of kept controls, acted on as one.
class ControlRow {
public:
    void Add(const CountedHandle<CQoStatic>& control) { m_controls.push_back(control); }
    size_t Size() const { return m_controls.size(); }
    bool Empty() const { return m_controls.empty(); }
    const CountedHandle<CQoStatic>& At(size_t i) const { return m_controls[i]; }
    // The control at i, or an empty handle past the end.
    CountedHandle<CQoStatic> Get(size_t i) const;
    void SetAlpha(float alpha) const;
    void SetVisible(bool visible) const;
    void ResetInput() const;
    auto begin() const { return m_controls.begin(); }
    auto end() const { return m_controls.end(); }

private:
    std::vector<CountedHandle<CQoStatic>> m_controls;
};

// An integer on display that rolls towards its target, faster the longer it
// rolls, and never overshoots.
class CRollingCounter {
public:
    void SetNow(int32_t value);
    void SetTarget(int32_t value);
    // One frame; false when the shown value is the target already.
    bool Step(float dt);
    int32_t Shown() const { return m_shown; }
    int32_t Target() const { return m_target; }

private:
    int32_t m_shown = 0;
    int32_t m_target = 0;
    float m_position = 0;
    float m_speed = 0;
    float m_targetF = 0;
    float m_minSpeed = 1000.0f;
    float m_acceleration = 1000.0f;
};

// What the player did with the screens, for the game: a click or a press on
// a control with its command, a volume moved, or a form at the end of its
// fade.
struct ScreenEvent {
    enum class Kind { Click, Press, VolumeChanged, FadedOut, FadedIn };
    Kind kind = Kind::Click;
    Command command = Command::None;
    // A volume's new value, 0 to 1.
    float value = 0.0f;
    // The form whose fade ended.
    CountedHandle<CQoForm> form;

    bool operator==(const ScreenEvent& other) const
    {
        return kind == other.kind && command == other.command && value == other.value && form == other.form;
    }
};

// The level split the map and the captions use: (stage, level in stage) of
// an overall level number, true while the stage has a map.
using LevelMapper = bool (*)(int level, int* stage, int* levelInStage);

// Where the tutorial's hand lies beside the point it shows, pointing at it:
// to its right (pointing left), to its left, below it (pointing up) or
// above it (pointing down).
enum class PointerSide { Right, Left, Below, Above };

// A rectangle of the virtual screen (y up).
struct ScreenRect {
    float left = 0, right = 0, bottom = 0, top = 0;
    bool Overlaps(const ScreenRect& o) const
    {
        return left < o.right && o.left < right && bottom < o.top && o.bottom < top;
    }
};

class CGameScreens {
public:
    // The button groups of the message box: OK, Continue, Yes/No,
    // Delete/Keep, Hard/Normal.
    enum MessageGroup : int32_t { kGroupOk, kGroupContinue, kGroupYesNo, kGroupDeleteKeep, kGroupHardNormal };
    static constexpr int kForms = 26;
    static constexpr int kStoryTexts = 40;
    static constexpr int kProfileRows = 6;
    static constexpr int kHiscoreRows = 10;

    CGameScreens(void* instance, CountedHandle<CRenderDevice> device, CountedHandle<CVertexBuffer> vertices,
                 CountedHandle<CIndexBuffer> indices, CountedHandle<CTextBatch> texts,
                 const std::vector<CountedHandle<CBitmapFont>>& fonts);
    ~CGameScreens();
    CGameScreens(const CGameScreens&) = delete;
    CGameScreens& operator=(const CGameScreens&) = delete;

    // "Textures.lst", then the 26 forms in order. False after the first
    // failure, which is in the log; nothing is shown to the player.
    bool LoadForms(const CDataPaths& paths, const CQuestLayout& layout, LevelMapper levelMapper);
    // After a failed LoadForms, the file that failed it: a form file, the
    // texture list, or a picture the list names (with its name and the
    // list's path).
    const std::string& LoadFailure() const { return m_loadFailure; }
    // The 40 story texts of "Story.txt"; false when it cannot be opened.
    bool ReadStory(const std::string& path);
    // The store link from the first line of `path` ("AppStoreURL.txt" in the
    // working folder at load): without the file the store button is hidden;
    // with anything but a web address in it, disabled.
    void ReadStoreLink(const std::string& path);

    const CountedHandle<CQoFormsManager>& FormsManager() const { return m_formsManager; }
    const CountedHandle<CProfiles>& Profiles() const { return m_profiles; }
    const std::vector<std::string>& StoryTexts() const { return m_story; }
    const std::string& StoreLink() const { return m_storeLink; }
    // What opens the store link (the desktop's opener; tests put their own).
    using LinkOpener = void (*)(const std::string& link);
    void SetLinkOpener(LinkOpener opener) { m_linkOpener = opener; }
    void SetSoundManager(const CountedHandle<CSoundManager>& sounds) { m_sounds = sounds; }
    // The sounds the screens play; the shop plays through them too.
    const CountedHandle<CSoundManager>& Sounds() const { return m_sounds; }
    // The game's hiscore tables; the HighScores rows read table n.
    void SetHiscoreTables(const std::vector<const CHiscoreTable*>& tables) { m_hiscores = tables; }

    // The events of the last Update, OnMouseDown or OnMouseUp.
    const std::vector<ScreenEvent>& Events() const { return m_events; }

    // ---- Fades and input (ScreenCommands.cpp) ----
    void ShowForm(const CountedHandle<CQoForm>& form, float speed);
    void HideForm(const CountedHandle<CQoForm>& form, float speed);
    void FadeInControls(const ControlRow& group, float speed);
    void FadeOutControls(const ControlRow& group, float speed);
    // Each returns the number of events produced.
    int Update(float x, float y, float dt);
    int OnMouseDown(float x, float y);
    int OnMouseUp(float x, float y);
    // The mouse-move entry of the game's handler: moves reach the forms
    // through Update.
    static int ReturnZero(float, float) { return 0; }

    // ---- Widgets (ScreenWidgets.cpp) ----
    void SetScore(int32_t score, bool roll);
    void SetHudValues(int32_t score, int32_t count, float gauge);
    void SetGaugeTarget(float value);
    void SetProgressGauge(float value, bool jump);
    void SetClockWipe(float value);
    void SetNewLevelCaption(int level);
    void SetNewLevelCaptionText(const std::string& text);
    void SetMemoryCaptions(int bonusLevel, int round, int rounds);
    void SetAccuracyCaption(int bonusLevel);
    void SetAttentionCaptions(int bonusLevel, int round, int rounds);
    // The caption, with the hints and the "Stop!" button shown.
    void SetReactionCaption(int bonusLevel);
    // The Reaction challenge's hints and its "Stop!" button, which go when
    // its time runs out or it is won.
    void SetReactionStopShown(bool shown);
    // The box's texts, its buttons and the question its answer is read by.
    void SetMessageBox(const std::string& text1, const std::string& text2, int group, Question question);
    void SetOptionsScrollers(float sound, float music);
    void FillHighScores(int table);
    void RefreshProfileRows();
    void ShowFirstItems(int n);
    bool SetQuestGroupVisible(bool skip, bool visible);
    void SetQuestOverlayVisible(bool visible);
    void ShowIntroPage(int page);
    void HideTutorialRows();
    void ShowTutorialRow(int row);
    void HideBackgroundItems();
    bool SetIntroTextureLoaded(bool loaded);

    // ---- Profiles (ProfileEntry.cpp) ----
    void SetNameEntry(const std::string& name, int mode);
    int OnNameChar(int character);
    // 3 when a profile was confirmed and the main menu is coming, else 0.
    int OnNameKey(int key);
    void ShowPlayerName();
    const std::string& EnteredName() const { return m_enteredName; }

    // ---- Map, newspaper, help and tutorial (MapPages.cpp) ----
    void FillMapScreen(int level, int flag);
    // The flag on its way from the spot of level `from` to that of `to`, at
    // `share` (0 to 1) of the way, hopping over it.
    void PlaceMapFlag(int from, int to, float share);
    void SetStartQuestCaption(int level, bool hard);
    void RecreateMapTextures(int stage);
    bool SwitchNewspaper();
    bool ShowNewspaper(int page);
    bool ShowHelpPage(int page);
    // The tutorial's panel with its tab's tip at (x, y): below the point
    // (the tab pointing up) with `below` set, else above it; without the
    // choice, below a point in the screen's upper half.
    void PlaceTutorialPanel(float x, float y, bool below);
    void PlaceTutorialPanel(float x, float y) { PlaceTutorialPanel(x, y, y >= 0); }
    // The panel without a tab, its left edge at `left` and its middle at
    // `y`: beside the hand that points at something off the board.
    void PlaceTutorialPanelBeside(float left, float y);
    void PlaceTutorialItem(float x, float y);
    // The pointing hand with its fingertip at (x, y), lying on `side` of it;
    // it bobs away from the point and back, never past it.
    void PlaceTutorialPointer(float x, float y, PointerSide side = PointerSide::Right);
    // What the hand would cover with its fingertip at (x, y) on `side`,
    // over the whole of its bob.
    ScreenRect TutorialPointerReach(float x, float y, PointerSide side) const;
    void StartOverlay(bool start);
    void SetMapDifficultyTexture(const CountedHandle<CTexture>& first, const CountedHandle<CTexture>& second);

    // ---- State the game reads and sets ----
    // The game type: 0 the quest with stages, lives and shop. While set, the
    // score display is frozen and the level caption has no stage.
    int32_t gaugeHold = 0;
    int32_t profileSelected = -1;
    int32_t profileScroll = -1;
    int32_t highScoreTable = 0;
    int32_t highScoreHighlight = -1;
    // The question the message box asks (or last asked).
    Question AskedQuestion() const { return m_question; }
    float GaugeValue() const { return m_gaugeValue; }
    float GaugeTarget() const { return m_gaugeTarget; }
    int32_t ShownScore() const { return m_shownScore; }
    const CRollingCounter& ScoreCounter() const { return m_scoreCounter; }
    int HelpPage() const { return m_helpPage; }
    int IntroPage() const { return m_introPage; }
    bool OverlayActive() const { return m_overlayActive; }
    const CountedHandle<CTexture>& MapDifficultyTexture() const { return m_mapDifficulty; }
    // The tutorial pointer's base point and side, placed by
    // PlaceTutorialPointer.
    float pointerX = 0, pointerY = 0;
    PointerSide pointerSide = PointerSide::Right;

    // ---- The forms and their kept controls, by form ----
    struct MainMenuForm {
        CountedHandle<CQoForm> form;
        CountedHandle<CQoStatic> playerLabel, versionLabel, storeButton;
    } mainMenu;
    struct QuestForm {
        CountedHandle<CQoForm> form;
        CountedHandle<CQoStatic> hintCounter, hintHighlight, score, count, hintButton, shuffleNote, warningLamp;
        CountedHandle<CQoStatic> shadowHand, hand;
        ControlRow gauge, overlay, shuffleGroup, items, warningGroup, marks;
    } quest;
    struct StatisticsForm {
        CountedHandle<CQoForm> form;
        std::array<CountedHandle<CQoStatic>, 14> values;
        std::array<ControlRow, 5> results, levelRows, questRows;
    } statistics;
    struct BackgroundForm {
        CountedHandle<CQoForm> form;
        ControlRow blink;
    } background;
    struct ShopForm {
        CountedHandle<CQoForm> form;
        CountedHandle<CQoStatic> tip, noStars, rays, backdrop, starsPanel;
        ControlRow dial, hands, item6, item7, item8;
        // Per item: its star bar, its "+" and "-" buttons and its two
        // picture controls, the first (keys 200-215) recoloured with the bar
        // and the buttons by the shop, the second (keys 220-235) only
        // pointed at.
        std::array<CountedHandle<CQoStatic>, 16> bars, plusButtons, minusButtons, firstPictures, secondPictures;
        // The colours the form gave the controls of the item-6, 7 and 8
        // lists, in list order: a locked item's controls are dimmed from
        // them and get them back when it unlocks.
        std::vector<uint32_t> item6Colors, item7Colors, item8Colors;
        std::array<ControlRow, 6> bonusGroups;
        // The locks over the rule items 6, 7 and 8 while they are locked.
        std::array<ControlRow, 3> ruleLocks;
        std::array<ControlRow, 5> levelGroups;
    } shop;
    struct MapForm {
        CountedHandle<CQoForm> form;
        CountedHandle<CQoStatic> story, caption, flag, flagShadow;
        std::array<ControlRow, 4> stagePictures;
        ControlRow seals, gems;
        std::array<ControlRow, 5> spots;
    } map;
    struct CaptionForm {
        CountedHandle<CQoForm> form;
        CountedHandle<CQoStatic> caption;
    } newLevel, startQuest;
    struct PlainForm {
        CountedHandle<CQoForm> form;
    } gameMenu, winBox;
    struct ChallengeForm {
        CountedHandle<CQoForm> form;
        std::array<CountedHandle<CQoStatic>, 4> captions; // keys 1 to 4
        CountedHandle<CQoStatic> stop;                    // key 5: the Reaction's "Stop!" button
    } memory, arcade, thimbles, blinker;
    struct SplashForm {
        CountedHandle<CQoForm> form;
        ControlRow pictures, base;
        std::vector<ControlRow> groups;
    } splash;
    struct ProfilesForm {
        CountedHandle<CQoForm> form;
        ControlRow rows;
    } profiles;
    struct NewProfileForm {
        CountedHandle<CQoForm> form;
        CountedHandle<CQoStatic> name, cancel, caption, fromList, firstStart;
    } newProfile;
    struct MsgBoxForm {
        CountedHandle<CQoForm> form;
        CountedHandle<CQoStatic> text1, text2;
        std::array<ControlRow, 5> groups;
    } msgBox;
    struct TutorialForm {
        CountedHandle<CQoForm> form;
        std::array<ControlRow, 7> rows;
        CountedHandle<CQoStatic> title, panelText, shopText, tabAbove, tabBelow;
        // The controls of the panel, pointer and item rows, each from its
        // row's first control, taken at load.
        std::vector<Vec2> panelOffsets, pointerOffsets, itemOffsets;
    } tutorial;
    struct BlinkForm {
        CountedHandle<CQoForm> form;
        ControlRow blink;
    } win;
    struct OptionsForm {
        CountedHandle<CQoForm> form;
        CountedHandle<CQoStatic> soundVolume, musicVolume;
        std::array<CountedHandle<CQoStatic>, 4> switches; // keys 3 to 6
    } options;
    struct HighScoresForm {
        CountedHandle<CQoForm> form;
        ControlRow ranks, names, scores;
    } highScores;
    struct NewspaperForm {
        CountedHandle<CQoForm> form;
        ControlRow blink;
        std::array<ControlRow, 4> pages;
    } newspaper;
    struct IntroForm {
        CountedHandle<CQoForm> form;
        ControlRow pages;
    } intro;
    struct TrophiesForm {
        CountedHandle<CQoForm> form;
        CountedHandle<CQoStatic> title;
        ControlRow description;
        std::array<ControlRow, 9> levels, locked;
    } trophies;
    struct HelpForm {
        CountedHandle<CQoForm> form;
        std::array<ControlRow, 3> pages;
    } help;

private:
    // One running fade of a form, or of a group of controls (known by its
    // first control).
    template <typename Target>
    struct Fade {
        Target target;
        bool fadingIn = true;
        float alpha = 0;
        float speed = 0;
        bool stopAtGoal = false; // no operation starts such a fade yet
        float goal = 1;
        // Turns the fade in or out at its current alpha.
        void Turn(bool in, float newSpeed)
        {
            fadingIn = in;
            speed = newSpeed;
            stopAtGoal = false;
            goal = in ? 1.0f : 0.0f;
        }
        // One frame; true when the fade has come to its end.
        bool Advance(float dt)
        {
            alpha += fadingIn ? speed * dt : -speed * dt;
            const float end = stopAtGoal ? goal : (fadingIn ? 1.0f : 0.0f);
            return fadingIn ? alpha >= end : alpha <= end;
        }
    };
    using FormFade = Fade<CountedHandle<CQoForm>>;
    using GroupFade = Fade<ControlRow>;
    // How the hand lies on a side: the size it takes, its fingertip from
    // its top-left corner (y down), the way it bobs, and its picture's frame.
    struct PointerPose {
        GuiSize size;
        Vec2 tip;
        Vec2 away;
        int frame = 0;
    };
    PointerPose PoseOf(PointerSide side) const;
    class FormLoader;
    struct Binding;

    bool LoadTextures(const std::string& formsFolder, const std::string& graphicsFolder);
    std::vector<Binding> BindingsOf(int index, CountedHandle<CQoForm>** form);
    bool LoadForm(int index);
    void SetUpForm(int index);
    void SetUpQuestGauge();
    void SetUpShopDial();
    void SetUpTutorialOffsets();

    // Fades and the frame (ScreenCommands.cpp).
    void StepFormFades(float dt);
    void StepGroupFades(float dt);
    void StepBlinking(float dt);
    void StepPointer(float dt);
    void StepOverlay(float dt);
    void OnClick(Command command);
    void OnMessageAnswer(Command answer);
    void OnProfilePress(Command row);
    void Push(ScreenEvent::Kind kind, Command command);
    void PushFormEvent(ScreenEvent::Kind kind, const CountedHandle<CQoForm>& form);
    void PushVolume(Command volume);
    void PlayHover(float x);
    void PlayClick(float x);
    // The form's active flag, as the modal dialogs leave it.
    static void SetActive(const CountedHandle<CQoForm>& form, bool active);

    // Widgets (ScreenWidgets.cpp).
    void QuadrantWipe(const ControlRow& quadrants, float value, bool shopDial);

    // Profiles (ProfileEntry.cpp).
    void ShowEnteredName();
    // True when the name became the current player's and the main menu
    // comes next.
    bool ConfirmName(bool byClick);
    void BringIntoView(int index);
    void PlayError(bool byClick);
    int32_t ProfileCount() const;
    std::string ProfileName(int index) const;

    // Pages (MapPages.cpp).
    bool LoadPageTexture(const char* name, const std::string& file);
    // The newspaper texture with another page; the blinking group goes.
    bool LoadNewspaper(const std::string& file, const ControlRow& blink);
    // Loads a registered texture's picture again from its file; a failure
    // leaves it registered under its name and file, without a picture.
    bool Reload(CTexture& texture) const;
    void PlaceRow(const ControlRow& row, const std::vector<Vec2>& offsets, float x, float y, bool rounded);
    // The spot of a level on the map; false when the map has none.
    bool SpotOf(int level, Vec3* at) const;
    void PutFlag(float x, float y, float hop);

    void* m_instance;
    CountedHandle<CRenderDevice> m_device;
    CountedHandle<CVertexBuffer> m_vertices;
    CountedHandle<CIndexBuffer> m_indices;
    CountedHandle<CTextBatch> m_texts;
    CountedHandle<CBitmapFont> m_font;
    float m_fontSize = 0;
    std::vector<CountedHandle<CBitmapFont>> m_fonts;
    std::vector<float> m_fontSizes;
    CountedHandle<CQoFormsManager> m_formsManager;
    std::vector<ScreenEvent> m_events;
    CDataPaths m_paths;
    CQuestLayout m_layout;
    LevelMapper m_levelMapper = nullptr;
    std::vector<FormFade> m_formFades;
    std::vector<GroupFade> m_groupFades;
    CountedHandle<CSoundManager> m_sounds;
    CRollingCounter m_scoreCounter;
    std::vector<const CHiscoreTable*> m_hiscores;
    CountedHandle<CProfiles> m_profiles;

    std::string m_storeLink;
    std::string m_loadFailure;
    LinkOpener m_linkOpener;
    float m_cursorX = 0; // of the last release, for the sounds its click plays
    float m_gaugeValue = 0;
    float m_gaugeTarget = 0;
    float m_gaugeSpeed = 0.5f;
    int32_t m_shownScore = 0;
    int32_t m_shownCount = 0;
    float m_backgroundBlinkTimer = 0;
    std::vector<std::string> m_story;
    std::string m_profileNameOnOpen;
    std::string m_enteredName;
    Question m_question = Question::None;
    float m_pointerPhase = 0;
    float m_blinkTimer = 0;
    int m_introPage = 0;
    int m_helpPage = 1;
    CountedHandle<CTexture> m_mapDifficulty;

    bool m_overlayActive = false;
    float m_overlayPhase = 0;
    float m_overlayRate = 25.132742f;
    float m_overlayTime = 0;
    float m_overlayDuration = 0.75f;
};
