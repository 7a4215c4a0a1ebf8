// Construction of the screens controller and the loading of its forms: the
// textures of "Textures.lst", then the 26 form files in a fixed order, each
// with the controls the controller keeps by key, checked for the counts and
// kinds the screens rely on, and each form's own set-up.
#include "screens/GameScreens.h"
#include "screens/ScreenFiles.h"

#include "engine/DataPaths.h"
#include "engine/Log.h"
#include "engine/Sprite.h"
#include "engine/TextReader.h"
#include "gui/FormFile.h"
#include "platform/Files.h"
#include "platform/System.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace d3d;

CountedHandle<CQoStatic> ControlRow::Get(size_t i) const
{
    return i < m_controls.size() ? m_controls[i] : CountedHandle<CQoStatic>();
}

void ControlRow::SetAlpha(float alpha) const
{
    for (const auto& c : m_controls)
        c->SetAlpha(alpha);
}

void ControlRow::SetVisible(bool visible) const
{
    for (const auto& c : m_controls)
        c->SetVisible(visible);
}

void ControlRow::ResetInput() const
{
    for (const auto& c : m_controls)
        c->ResetInput();
}

namespace {

// The forms in load order; a form's text layer is its place in this list.
enum Form {
    kMainMenu,
    kQuest,
    kStatistics,
    kBackground,
    kShop,
    kMap,
    kNewLevel,
    kGameMenu,
    kMemory,
    kArcade,
    kThimbles,
    kBlinker,
    kSplash,
    kProfiles,
    kNewProfile,
    kMsgBox,
    kStartQuest,
    kTutorial,
    kWin,
    kOptions,
    kHighScores,
    kNewspaper,
    kIntro,
    kTrophies,
    kHelp,
    kWinBox,
};

constexpr int32_t kKeepZOrder = 1; // no z-order of its own: the file's stays

struct FormInfo {
    const char* file;
    const char* name;
    int32_t zOrder;
};

const FormInfo kFormTable[CGameScreens::kForms] = {
    {"MainMenu.qof", "MainMenu", kKeepZOrder},
    {"Quest.qof", "Quest", -30},
    {"Statistics.qof", "Statistics", -30},
    {"Background.qof", "Background", 0},
    {"Shop.qof", "Shop", 0},
    {"Map.qof", "Map", -10},
    {"NewLevel.qof", "NewLevel", -50},
    {"GameMenu.qof", "GameMenu", -150},
    {"Memory.qof", "Memory", -60},
    {"Arcade.qof", "Arcade", -60},
    {"Thimbles.qof", "Thimbles", -60},
    {"Blinker.qof", "Blinker", -60},
    {"Splash.qof", "Splash", -300},
    {"Profiles.qof", "Profiles", -10},
    {"NewProfile.qof", "NewProfile", -20},
    {"MsgBox.qof", "MsgBox", -550},
    {"StartQuest.qof", "StartQuest", -10},
    {"Tutorial.qof", "Tutorial", -50},
    {"Win.qof", "Win", -25},
    {"Options.qof", "Options", -170},
    {"HighScores.qof", "HighScores", -10},
    {"Newspaper.qof", "Newspaper", -25},
    {"Intro.qof", "Intro", -25},
    {"Trophies.qof", "Trophies", -300},
    {"Help.qof", "Help", -250},
    {"WinBox.qof", "WinBox", -650},
};

// Textures whose pictures stay out of memory until their screen needs them.
// The pictures of screens that are not up at start-up (the play screen's
// panel, gauge, glass and lesson arrows, the shop, the map, the intro, the
// trophies, the newspaper and the help pages with their caps): start-up
// reads only their headers; each comes into memory when its screen first
// draws it or brings it back.
const char* const kLoadedOnShow[] = {"PanelQuest", "Gauge",     "GemProgress", "PanelGlass", "Tutorial",
                                     "ShopFrame",  "ShopColor", "ShopMul",     "ShopBW",     "ShopCtrls1",
                                     "ShopCtrls2", "MapDiff3",  "MapDiff4_1",  "MapDiff4_2", "MapDiff5_1",
                                     "MapDiff5_2", "Intro",     "Trophies",    "Map",        "MapIcons",
                                     "Newspaper5", "HelpPage",  "HelpCaps",    "HelpCapsGem"};

const char* KindName(WindowKind kind)
{
    switch (kind) {
    case WindowKind::Button:
        return "a button";
    case WindowKind::Checkbox:
        return "a check box";
    case WindowKind::Scroller:
        return "a scroller";
    default:
        return "a control";
    }
}

bool CreationFailed(int index, const std::string& why)
{
    WriteLog(std::string("Error Creating Form ") + kFormTable[index].name + ": " + why + "\n");
    return false;
}

} // namespace

// Where the controls of one key range go, how many each key must give, and
// which kind they must be (Static: any control).
struct CGameScreens::Binding {
    int32_t first, last;
    CountedHandle<CQoStatic>* singles = nullptr; // one per key
    ControlRow* rows = nullptr;                  // one row per key, or
    bool oneRow = false;                         // one row for the whole range
    size_t minCount = 1, maxCount = 1;           // per key, or for the one row
    WindowKind kind = WindowKind::Static;
};

// Carries one form from its file to the controller's fields.
class CGameScreens::FormLoader {
public:
    FormLoader(CGameScreens& screens, int index) : m_screens(screens), m_index(index) {}

    // Loads, creates and binds the form; false after logging why.
    bool Run(CountedHandle<CQoForm>* out, const std::vector<Binding>& bindings);

private:
    bool Bind(const std::vector<Binding>& bindings, int32_t key, const CountedHandle<CQoStatic>& control);
    bool CheckCounts(const std::vector<Binding>& bindings);
    bool Fail(const std::string& why);

    CGameScreens& m_screens;
    int m_index;
    std::vector<std::pair<int32_t, size_t>> m_counts; // key, controls bound
};

bool CGameScreens::FormLoader::Fail(const std::string& why) { return CreationFailed(m_index, why); }

bool CGameScreens::FormLoader::Run(CountedHandle<CQoForm>* out, const std::vector<Binding>& bindings)
{
    const FormInfo& info = kFormTable[m_index];
    CFormFile file(m_screens.m_device);
    if (!file.LoadFromFile(m_screens.m_paths.folders[CDataPaths::Forms] + info.file, -512.0f, 384.0f)) {
        WriteLog(std::string("Error loading Form ") + info.name + ": " + file.errorText + "\n");
        return false;
    }
    auto sprites =
        MakeCountedHandle(new CSpriteRenderer(m_screens.m_device, m_screens.m_vertices, m_screens.m_indices));
    if (!file.CreateForm(sprites, m_screens.m_texts, m_screens.m_fonts, m_index))
        return Fail(file.errorText);
    *out = file.Form();
    // The z-order comes before the form joins the manager, whose list is
    // ordered by it: drawing and input then follow it, not the file.
    if (info.zOrder != kKeepZOrder)
        file.Form()->SetZOrder(info.zOrder);
    m_screens.m_formsManager->AddForm(file.Form());
    file.Form()->SetVisible(false);
    for (bool interrupted = true; interrupted;) {
        if (!file.CreateControls(&interrupted)) {
            // The main menu's creation message names it in two words.
            const std::string name = m_index == kMainMenu ? "Main Menu" : info.name;
            WriteLog("Error Creating Form " + name + ": " + file.errorText + "\n");
            return false;
        }
        if (interrupted && !Bind(bindings, file.InterruptValue(), file.InterruptingControl()))
            return false;
    }
    return CheckCounts(bindings);
}

bool CGameScreens::FormLoader::Bind(const std::vector<Binding>& bindings, int32_t key,
                                    const CountedHandle<CQoStatic>& control)
{
    bool kept = false;
    for (const Binding& b : bindings) {
        if (key < b.first || key > b.last)
            continue;
        if (b.kind != WindowKind::Static && control->Kind() != b.kind)
            return Fail("key " + std::to_string(key) + " must be " + KindName(b.kind));
        const size_t slot = static_cast<size_t>(key - b.first);
        if (b.singles)
            b.singles[slot] = control;
        else
            b.rows[b.oneRow ? 0 : slot].Add(control);
        kept = true;
    }
    if (kept) {
        auto it = std::find_if(m_counts.begin(), m_counts.end(), [&](const auto& c) { return c.first == key; });
        if (it == m_counts.end())
            m_counts.emplace_back(key, 1);
        else
            ++it->second;
    }
    return true;
}

bool CGameScreens::FormLoader::CheckCounts(const std::vector<Binding>& bindings)
{
    auto count = [&](int32_t key) {
        auto it = std::find_if(m_counts.begin(), m_counts.end(), [&](const auto& c) { return c.first == key; });
        return it == m_counts.end() ? size_t{0} : it->second;
    };
    for (const Binding& b : bindings) {
        if (b.oneRow) {
            size_t n = 0;
            for (int32_t key = b.first; key <= b.last; ++key)
                n += count(key);
            if (n < b.minCount || n > b.maxCount)
                return Fail("keys " + std::to_string(b.first) + "-" + std::to_string(b.last) + " give " +
                            std::to_string(n) + " controls, not " + std::to_string(b.minCount) + "-" +
                            std::to_string(b.maxCount));
            continue;
        }
        for (int32_t key = b.first; key <= b.last; ++key) {
            const size_t n = count(key);
            if (n < b.minCount || n > b.maxCount)
                return Fail("key " + std::to_string(key) + " gives " + std::to_string(n) + " controls, not " +
                            std::to_string(b.minCount) + "-" + std::to_string(b.maxCount));
        }
    }
    return true;
}

CGameScreens::CGameScreens(void* instance, CountedHandle<CRenderDevice> device,
                           CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices,
                           CountedHandle<CTextBatch> texts, const std::vector<CountedHandle<CBitmapFont>>& fonts)
    : m_instance(instance), m_device(std::move(device)), m_vertices(std::move(vertices)),
      m_indices(std::move(indices)), m_texts(std::move(texts)), m_fonts(fonts), m_linkOpener(plat::ShellOpen)
{
    if (!m_fonts.empty() && m_fonts[0]) {
        m_font = m_fonts[0];
        m_fontSize = static_cast<float>(m_font->header3);
    }
    for (const auto& font : m_fonts)
        m_fontSizes.push_back(font ? static_cast<float>(font->header3) : 0.0f);
    m_formFades.reserve(16);
    m_events.reserve(32);
    m_groupFades.reserve(16);
    StartOverlay(false);
}

CGameScreens::~CGameScreens() = default;

bool CGameScreens::LoadTextures(const std::string& formsFolder, const std::string& graphicsFolder)
{
    const std::vector<D3DFORMAT> alphaFormats = {D3DFMT_A1R5G5B5, D3DFMT_A4L4, D3DFMT_A8R3G3B2,
                                                 D3DFMT_A4R4G4B4, D3DFMT_A8L8, D3DFMT_A8R8G8B8};
    std::vector<TextureListEntry> entries;
    const std::string list = formsFolder + "Textures.lst";
    if (!ReadTextureList(list, &entries)) {
        m_loadFailure = list;
        return false;
    }
    for (const TextureListEntry& entry : entries) {
        const std::string path = graphicsFolder + entry.file;
        const bool onShow =
            std::find(std::begin(kLoadedOnShow), std::end(kLoadedOnShow), entry.name) != std::end(kLoadedOnShow);
        CountedHandle<CTexture> texture;
        if (onShow && !entry.companion && !entry.alpha)
            texture = m_device->RegisterTexture(path, entry.name, entry.mips, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        else if (entry.companion)
            texture = m_device->LoadTextureForAlpha(path, entry.name, entry.alpha ? 1 : 0, 0, D3DPOOL_MANAGED);
        else if (entry.alpha)
            texture =
                m_device->LoadTextureAutoFormat(path, entry.name, alphaFormats, entry.mips, 0, D3DPOOL_MANAGED);
        else
            texture = m_device->LoadTexture(path, entry.name, entry.mips, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        if (!texture) {
            WriteLog("Unable to load texture " + entry.name + "\n");
            m_loadFailure = path + " (" + entry.name + " of " + list + ")";
            return false;
        }
        if (onShow && texture->texture)
            texture->ReleaseD3DResource();
    }
    return true;
}

bool CGameScreens::LoadForms(const CDataPaths& paths, const CQuestLayout& layout, LevelMapper levelMapper)
{
    m_paths = paths;
    m_layout = layout;
    m_levelMapper = levelMapper;
    if (!LoadTextures(paths.folders[CDataPaths::Forms], paths.folders[CDataPaths::Gfx]))
        return false;
    m_formsManager = MakeCountedHandle(new CQoFormsManager());
    for (int i = 0; i < kForms; ++i) {
        if (!LoadForm(i)) {
            m_loadFailure = paths.folders[CDataPaths::Forms] + kFormTable[i].file;
            return false;
        }
        SetUpForm(i);
    }
    return true;
}

// The form's handle and where its kept controls go, by key.
std::vector<CGameScreens::Binding> CGameScreens::BindingsOf(int index, CountedHandle<CQoForm>** formOut)
{
    using K = WindowKind;
    auto singles = [](int32_t first, int32_t last, CountedHandle<CQoStatic>* at, K kind = K::Static) {
        Binding b{first, last};
        b.singles = at;
        b.kind = kind;
        return b;
    };
    auto rows = [](int32_t first, int32_t last, ControlRow* at, size_t min, size_t max) {
        Binding b{first, last};
        b.rows = at;
        b.minCount = min;
        b.maxCount = max;
        return b;
    };
    auto row = [&](int32_t first, int32_t last, ControlRow* at, size_t min, size_t max, K kind = K::Static) {
        Binding b = rows(first, last, at, min, max);
        b.oneRow = true;
        b.kind = kind;
        return b;
    };
    const size_t many = 1024;
    std::vector<Binding> b;
    CountedHandle<CQoForm>* form = nullptr;
    switch (index) {
    case kMainMenu:
        form = &mainMenu.form;
        b = {singles(1, 1, &mainMenu.playerLabel), singles(2, 2, &mainMenu.versionLabel),
             singles(3, 3, &mainMenu.storeButton, K::Button)};
        break;
    case kQuest:
        form = &quest.form;
        b = {singles(1, 1, &quest.hintCounter),
             singles(2, 2, &quest.hintHighlight, K::Checkbox),
             singles(4, 4, &quest.shadowHand),
             singles(5, 5, &quest.hand),
             singles(6, 6, &quest.score),
             singles(7, 7, &quest.count),
             singles(9, 9, &quest.hintButton),
             singles(105, 105, &quest.shuffleNote),
             singles(203, 203, &quest.warningLamp, K::Checkbox),
             row(3, 3, &quest.gauge, 4, 4),
             row(8, 8, &quest.overlay, 2, 2),
             row(15, 15, &quest.shuffleGroup, 1, many),
             row(200, 200, &quest.items, 1, many),
             row(201, 201, &quest.warningGroup, 1, many),
             row(202, 202, &quest.marks, 1, many)};
        break;
    case kStatistics:
        form = &statistics.form;
        b = {singles(0, 13, statistics.values.data()), rows(100, 104, statistics.results.data(), 1, many),
             rows(200, 204, statistics.levelRows.data(), 1, many),
             rows(300, 304, statistics.questRows.data(), 1, many)};
        break;
    case kBackground:
        form = &background.form;
        b = {row(1, 1, &background.blink, 1, many)};
        break;
    case kShop:
        form = &shop.form;
        b = {singles(1, 1, &shop.tip),
             singles(2, 2, &shop.noStars),
             singles(5, 5, &shop.rays),
             singles(6, 6, &shop.backdrop),
             singles(7, 7, &shop.starsPanel),
             row(3, 3, &shop.dial, 4, 4),
             row(4, 4, &shop.hands, 2, 2),
             row(3, 4, &shop.item6, 6, 6),
             row(400, 400, &shop.item6, 1, many),
             row(5, 5, &shop.item7, 1, 1),
             row(401, 401, &shop.item7, 1, many),
             rows(100, 104, shop.levelGroups.data(), 1, many),
             row(100, 104, &shop.item8, 5, many),
             row(402, 402, &shop.item8, 1, many),
             rows(60, 65, shop.bonusGroups.data(), 1, many),
             rows(66, 68, shop.ruleLocks.data(), 1, many),
             singles(20, 35, shop.bars.data()),
             singles(40, 55, shop.plusButtons.data(), K::Button),
             singles(240, 255, shop.minusButtons.data(), K::Button),
             singles(200, 215, shop.firstPictures.data()),
             singles(220, 235, shop.secondPictures.data())};
        break;
    case kMap:
        form = &map.form;
        b = {singles(1, 1, &map.story),
             singles(10, 10, &map.caption),
             singles(30, 30, &map.flagShadow),
             singles(31, 31, &map.flag),
             rows(2, 5, map.stagePictures.data(), 1, many),
             row(11, 14, &map.seals, 4, 4),
             row(21, 24, &map.gems, 4, 4)};
        for (int s = 1; s <= 5; ++s)
            b.push_back(row(100 * s, 100 * s + 99, &map.spots[static_cast<size_t>(s - 1)], 1, many));
        break;
    case kNewLevel:
        form = &newLevel.form;
        b = {singles(1, 1, &newLevel.caption)};
        break;
    case kGameMenu:
        form = &gameMenu.form;
        break;
    case kMemory:
        form = &memory.form;
        b = {singles(1, 2, memory.captions.data())};
        break;
    case kArcade:
        form = &arcade.form;
        b = {singles(1, 1, arcade.captions.data())};
        break;
    case kThimbles:
        form = &thimbles.form;
        b = {singles(1, 3, thimbles.captions.data())};
        break;
    case kBlinker:
        form = &blinker.form;
        b = {singles(1, 4, blinker.captions.data()), singles(5, 5, &blinker.stop, K::Button)};
        break;
    case kSplash:
        form = &splash.form;
        splash.groups.assign(10, ControlRow());
        b = {row(1000, 1000, &splash.pictures, 1, many), row(0, 0, &splash.base, 1, many)};
        for (int32_t key = 1; key <= 10; ++key) {
            Binding g = rows(key, key, &splash.groups[static_cast<size_t>(key - 1)], 0, many);
            b.push_back(g);
        }
        break;
    case kProfiles:
        form = &profiles.form;
        b = {row(1, 1, &profiles.rows, kProfileRows, kProfileRows, K::Checkbox)};
        break;
    case kNewProfile:
        form = &newProfile.form;
        b = {singles(1, 1, &newProfile.name), singles(2, 2, &newProfile.cancel),
             singles(3, 3, &newProfile.caption), singles(4, 4, &newProfile.fromList),
             singles(5, 5, &newProfile.firstStart)};
        break;
    case kMsgBox:
        form = &msgBox.form;
        b = {singles(1, 1, &msgBox.text1), singles(2, 2, &msgBox.text2),
             rows(100, 104, msgBox.groups.data(), 1, many)};
        break;
    case kStartQuest:
        form = &startQuest.form;
        b = {singles(1, 1, &startQuest.caption)};
        break;
    case kTutorial: {
        form = &tutorial.form;
        auto& r = tutorial.rows;
        b = {row(0, 0, &r[0], 1, many),
             row(100, 100, &r[0], 1, 1),
             row(1, 1, &r[1], 1, many),
             row(101, 101, &r[1], 1, 1),
             row(200, 201, &r[1], 2, 2),
             row(2, 2, &r[2], 1, many),
             row(3, 3, &r[3], 1, many),
             row(4, 4, &r[4], 1, many),
             row(5, 5, &r[5], 1, many),
             row(105, 105, &r[5], 1, 1),
             row(6, 6, &r[6], 1, many),
             singles(100, 100, &tutorial.title),
             singles(101, 101, &tutorial.panelText),
             singles(105, 105, &tutorial.shopText),
             singles(200, 200, &tutorial.tabAbove),
             singles(201, 201, &tutorial.tabBelow)};
        break;
    }
    case kWin:
        form = &win.form;
        b = {row(1, 1, &win.blink, 1, many)};
        break;
    case kOptions:
        form = &options.form;
        b = {singles(1, 1, &options.soundVolume, K::Scroller), singles(2, 2, &options.musicVolume, K::Scroller),
             singles(3, 6, options.switches.data(), K::Checkbox)};
        break;
    case kHighScores:
        form = &highScores.form;
        b = {row(1, 1, &highScores.ranks, kHiscoreRows, kHiscoreRows),
             row(2, 2, &highScores.names, kHiscoreRows, kHiscoreRows),
             row(3, 3, &highScores.scores, kHiscoreRows, kHiscoreRows)};
        break;
    case kNewspaper:
        form = &newspaper.form;
        b = {row(100, 100, &newspaper.blink, 1, many), rows(1, 4, newspaper.pages.data(), 1, many)};
        break;
    case kIntro:
        form = &intro.form;
        b = {row(1, 1, &intro.pages, 1, many)};
        break;
    case kTrophies:
        form = &trophies.form;
        b = {singles(0, 0, &trophies.title), row(1, 1, &trophies.description, 1, many),
             rows(100, 108, trophies.levels.data(), 1, 3), rows(200, 208, trophies.locked.data(), 1, many)};
        break;
    case kHelp:
        form = &help.form;
        b = {rows(1, 3, help.pages.data(), 1, many)};
        break;
    default:
        form = &winBox.form;
        break;
    }
    *formOut = form;
    return b;
}

bool CGameScreens::LoadForm(int index)
{
    CountedHandle<CQoForm>* form = nullptr;
    const std::vector<Binding> bindings = BindingsOf(index, &form);
    FormLoader loader(*this, index);
    if (!loader.Run(form, bindings))
        return false;
    // Counts that depend on each other or on the quest's stages.
    if (index == kQuest && quest.marks.Size() > quest.items.Size())
        return CreationFailed(index, "key 202 gives more marks than key 200 gives items");
    if (index == kMap)
        for (int s = 1; s <= 5; ++s)
            if (map.spots[static_cast<size_t>(s - 1)].Size() != static_cast<size_t>(StageSize(s)))
                return CreationFailed(index, "stage " + std::to_string(s) + " needs " +
                                                 std::to_string(StageSize(s)) + " level spots");
    if (index == kSplash) {
        // Groups run from key 1 up to the last one given, without a gap.
        while (!splash.groups.empty() && splash.groups.back().Empty())
            splash.groups.pop_back();
        if (splash.groups.empty())
            return CreationFailed(index, "keys 1-10 give no splash group");
        for (size_t g = 0; g < splash.groups.size(); ++g)
            if (splash.groups[g].Empty())
                return CreationFailed(index, "key " + std::to_string(g + 1) + " gives no controls");
    }
    return true;
}

void CGameScreens::SetUpForm(int index)
{
    switch (index) {
    case kMainMenu:
        mainMenu.versionLabel->SetText("Ver.1.09");
        ReadStoreLink("AppStoreURL.txt");
        break;
    case kQuest:
        SetUpQuestGauge();
        // The highlight only shows the hint button's looks: the button under
        // it takes the cursor and the clicks.
        quest.hintHighlight->SetEnabled(false);
        quest.hintHighlight->SetVisible(false);
        m_gaugeValue = m_gaugeTarget = 0;
        m_shownScore = m_shownCount = 0;
        break;
    case kBackground:
        m_backgroundBlinkTimer = 0;
        break;
    case kShop:
        SetUpShopDial();
        for (auto [row, colors] :
             {std::pair{&shop.item6, &shop.item6Colors}, std::pair{&shop.item7, &shop.item7Colors},
              std::pair{&shop.item8, &shop.item8Colors}}) {
            colors->clear();
            for (const auto& control : *row)
                colors->push_back(control->color);
        }
        break;
    case kMap:
        ReadStory(m_paths.folders[CDataPaths::Txt] + "Story.txt");
        for (const ControlRow& pictures : map.stagePictures)
            pictures.SetVisible(false);
        for (const ControlRow& spots : map.spots)
            spots.SetVisible(false);
        break;
    case kThimbles:
        thimbles.captions[2]->SetVisible(false);
        break;
    case kProfiles:
        profileScroll = profileSelected = -1;
        m_profiles = MakeCountedHandle(new CProfiles(m_paths.folders[CDataPaths::Players]));
        break;
    case kNewProfile:
        m_enteredName.clear();
        break;
    case kMsgBox:
        m_question = Question::None;
        break;
    case kTutorial:
        SetUpTutorialOffsets();
        break;
    case kWin:
        m_blinkTimer = 0;
        break;
    case kHighScores:
        highScoreTable = 0;
        highScoreHighlight = -1;
        break;
    case kIntro:
        m_introPage = 0;
        break;
    case kHelp:
        m_helpPage = 1;
        break;
    default:
        break;
    }
}

namespace {
// The quarter of the dial each quadrant piece covers, as corner offsets
// (top-left, top-right, bottom-right, bottom-left) in dial units, y up.
const float kQuarterQuads[4][8] = {
    {-0.5f, 0.5f, 0, 0.5f, 0, 0, -0.5f, 0},
    {-0.5f, 0, 0, 0, 0, -0.5f, -0.5f, -0.5f},
    {0, 0, 0.5f, 0, 0.5f, -0.5f, 0, -0.5f},
    {0, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0},
};

CSprite* FirstSprite(const CountedHandle<CQoStatic>& control)
{
    return control && control->SpriteCount() > 0 ? control->Sprite(0).Get() : nullptr;
}

// The point of a hand's picture it turns about, given in units from the
// picture's middle.
void SetPivot(const CountedHandle<CQoStatic>& hand, const Vec2& pivot)
{
    CSprite* s = FirstSprite(hand);
    if (s && s->width > 0 && s->height > 0) {
        s->originX = pivot.x / s->width;
        s->originY = pivot.y / s->height;
    }
}
} // namespace

void CGameScreens::SetUpQuestGauge()
{
    for (size_t q = 0; q < quest.gauge.Size(); ++q)
        if (CSprite* s = FirstSprite(quest.gauge.At(q))) {
            s->SetAngle(m_layout.globalAngle);
            s->SetVertexOffsets(kQuarterQuads[q]);
        }
    SetPivot(quest.shadowHand, m_layout.arrowShadowCenter);
    SetPivot(quest.hand, m_layout.arrowCenter);
}

void CGameScreens::SetUpShopDial()
{
    for (size_t q = 0; q < shop.dial.Size(); ++q)
        if (CSprite* s = FirstSprite(shop.dial.At(q)))
            s->SetVertexOffsets(kQuarterQuads[q]);
}

void CGameScreens::SetUpTutorialOffsets()
{
    auto offsets = [](const ControlRow& row) {
        std::vector<Vec2> out;
        for (const auto& c : row)
            out.push_back({c->relativePosition.x - row.At(0)->relativePosition.x,
                           c->relativePosition.y - row.At(0)->relativePosition.y});
        return out;
    };
    tutorial.panelOffsets = offsets(tutorial.rows[1]);
    tutorial.pointerOffsets = offsets(tutorial.rows[4]);
    tutorial.itemOffsets = offsets(tutorial.rows[6]);
    // The hand's mirror, for pointing right, and the hand turned a quarter
    // each way, for pointing up and down: its further frames (corners from
    // the top left round to the bottom left).
    if (CSprite* hand = tutorial.rows[4].Empty() ? nullptr : FirstSprite(tutorial.rows[4].At(0))) {
        if (hand->frames.size() == 8) {
            const std::vector<float> uv(hand->frames.data(), hand->frames.data() + 8);
            const float mirrored[8] = {uv[2], uv[3], uv[0], uv[1], uv[6], uv[7], uv[4], uv[5]};
            const float up[8] = {uv[6], uv[7], uv[0], uv[1], uv[2], uv[3], uv[4], uv[5]};
            const float down[8] = {uv[2], uv[3], uv[4], uv[5], uv[6], uv[7], uv[0], uv[1]};
            for (const float* frame : {mirrored, up, down})
                hand->AddFrameQuad(frame);
        }
    }
}

void CGameScreens::ReadStoreLink(const std::string& path)
{
    m_storeLink.clear();
    mainMenu.storeButton->SetVisible(true);
    mainMenu.storeButton->SetEnabled(true);
    FILE* f = plat::OpenFile(path, "r");
    if (!f) {
        mainMenu.storeButton->SetVisible(false);
        return;
    }
    char line[2048] = {};
    if (!std::fgets(line, sizeof line, f))
        line[0] = '\0';
    std::fclose(f);
    std::string text = line;
    const size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    // Only a web address goes to the opener: anything else could be taken
    // for an option or a local file.
    const bool web = text.rfind("http://", 0) == 0 || text.rfind("https://", 0) == 0;
    if (text.size() < 3 || !web) {
        mainMenu.storeButton->SetEnabled(false);
        return;
    }
    m_storeLink = text;
}

bool CGameScreens::ReadStory(const std::string& path) { return ReadStoryFile(path, kStoryTexts, &m_story); }
