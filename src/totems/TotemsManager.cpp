#include "totems/TotemsManager.h"

#include "balance/BalanceState.h"
#include "tokens/BoardGrid.h"
#include "totems/TotemBalance.h"

#include <algorithm>

namespace {

constexpr float kSwapFadeSpeed = 10.0f;
constexpr int kHighestLevel = 4;
constexpr int kHighestBlueLevel = 3;

const char* const kPowerSounds[kTotemColours] = {"TotemGreen1.wav", "TotemYellow1.wav", "TotemRed1.wav",
                                                 "TotemBlue1.wav",  "TotemOrange.wav",  "TotemWhite1.wav",
                                                 "TotemViolet.wav"};

} // namespace

// The display a totem shows in front of the board (its red balls, violet
// glow, green twinkling or white fog), on or off.
void CTotemsManager::SwitchTargets(CTotem& totem, bool on)
{
    switch (totem.kind) {
    case kRedTotem:
        static_cast<CRedTotem&>(totem).SetTargets(on, 2);
        break;
    case kVioletTotem:
        static_cast<CVioletTotem&>(totem).SetTargets(on);
        break;
    case kGreenTotem:
        static_cast<CGreenTotem&>(totem).SetTargets(on);
        break;
    case kWhiteTotem:
        static_cast<CWhiteTotem&>(totem).SetTargets(on);
        break;
    default:
        break;
    }
}

// A totem leaving: its shields, lamps and display go, then it fades.
void CTotemsManager::Dismiss(CTotem& totem, float speed)
{
    if (totem.kind == kBlueTotem)
        static_cast<CBlueTotem&>(totem).ApplyPower(false);
    if (totem.mode > kSmallTotem) {
        totem.FadeOutLights(false);
        SwitchTargets(totem, false);
    }
    totem.FadeOut(speed);
}

CTotemsManager::CTotemsManager()
{
    layout.center = ScreenPoint(152.0f, 600.0f, -45.0f);
    layout.pos.fill(ScreenPoint(20.0f, 512.0f, -40.0f));
    layout.smallPos.fill(ScreenPoint(20.0f, 512.0f, -40.0f));
    m_totems.reserve(24);
    m_actions.reserve(20);
    m_panel.reserve(15);
    for (auto& list : m_shopSprites)
        list.reserve(3);
}

// The balance state it stored goes with the game that owns both: a later
// game's powers never read it.
CTotemsManager::~CTotemsManager()
{
    if (m_balance && TotemBalanceState() == m_balance)
        SetTotemBalanceState(nullptr);
    if (m_sprites) {
        for (const auto& sprite : m_panel)
            m_sprites->Remove(sprite);
        for (const auto& list : m_shopSprites)
            for (const auto& sprite : list)
                m_sprites->Remove(sprite);
    }
}

void CTotemsManager::SetRenderers(CountedHandle<CRenderDevice> device, CountedHandle<CSpriteRenderer> sprites,
                                  CountedHandle<CParticleSystemsManager> particles,
                                  CountedHandle<CFlareRenderer> flares, CBalanceState* balance)
{
    m_device = std::move(device);
    m_sprites = std::move(sprites);
    m_particles = std::move(particles);
    m_flares = std::move(flares);
    m_balance = balance;
    SetTotemBalanceState(balance);
}

int CTotemsManager::OwnedLevel(int colour) const
{
    if (colour < 0 || colour >= kColours)
        return 0;
    const int level = levels[static_cast<size_t>(colour)];
    return level <= 0 ? 0 : std::min(level, colour == kBlueTotem ? kHighestBlueLevel : kHighestLevel);
}

int CTotemsManager::CountOwnedColours() const
{
    int owned = 0;
    for (int c = 0; c < kColours; ++c)
        owned += OwnedLevel(c) > 0 ? 1 : 0;
    return owned;
}

// ---- The factory ----

CountedHandle<CTotem> CTotemsManager::CreateTotem(int colour, int mode, int level, bool registerIt)
{
    CountedHandle<CTotem> handle;
    CColourTotem* totem = nullptr;
    switch (colour) {
    case kGreenTotem: {
        auto green = MakeCountedHandle(new CGreenTotem());
        green->SetResources(Resources(colour));
        green->SetParameters(greenParams);
        green->sounds = sounds;
        handle = green;
        totem = green.Get();
        break;
    }
    case kYellowTotem: {
        auto yellow = MakeCountedHandle(new CYellowTotem());
        yellow->SetResources(Resources(colour));
        yellow->SetParameters(yellowParams);
        handle = yellow;
        totem = yellow.Get();
        break;
    }
    case kRedTotem: {
        auto red = MakeCountedHandle(new CRedTotem());
        red->SetResources(Resources(colour));
        red->SetParameters(redParams);
        handle = red;
        totem = red.Get();
        break;
    }
    case kBlueTotem: {
        auto blue = MakeCountedHandle(new CBlueTotem());
        blue->SetResources(Resources(colour));
        blue->SetParameters(blueParams);
        handle = blue;
        totem = blue.Get();
        break;
    }
    case kOrangeTotem: {
        auto orange = MakeCountedHandle(new COrangeTotem());
        orange->SetResources(Resources(colour));
        orange->SetParameters(orangeParams);
        handle = orange;
        totem = orange.Get();
        break;
    }
    case kWhiteTotem: {
        auto white = MakeCountedHandle(new CWhiteTotem());
        white->SetResources(Resources(colour));
        white->SetParameters(whiteParams);
        handle = white;
        totem = white.Get();
        break;
    }
    case kVioletTotem: {
        auto violet = MakeCountedHandle(new CVioletTotem());
        violet->SetResources(Resources(colour));
        violet->SetParameters(violetParams);
        handle = violet;
        totem = violet.Get();
        break;
    }
    default:
        return {};
    }
    totem->factor = totemFactor;
    // An item level the shop never gives (an edited save) still builds a
    // totem its shapes have: the colour's nearest level.
    totem->level = std::clamp(level, 1, colour == kBlueTotem ? kHighestBlueLevel : kHighestLevel);
    totem->Init(mode, shapeSets[static_cast<size_t>(colour)]);
    // The shields pulse on every blue totem while they are on, also on one
    // that takes another's place.
    if (colour == kBlueTotem && blueActive)
        static_cast<CBlueTotem*>(totem)->ApplyPower(true);
    if (registerIt)
        RegisterTotem(handle);
    return handle;
}

void CTotemsManager::RegisterTotem(const CountedHandle<CTotem>& totem)
{
    totem->factor = totemFactor;
    m_totems.push_back(totem);
}

void CTotemsManager::RemoveFromList(const CountedHandle<CTotem>& totem)
{
    const CountedHandle<CTotem> held = totem; // the argument may be one of the entries
    m_totems.erase(std::remove(m_totems.begin(), m_totems.end(), held), m_totems.end());
    for (auto& entry : m_placed)
        if (entry == held)
            entry.Reset();
}

void CTotemsManager::RemoveTotem(const CountedHandle<CTotem>& totem, float speed)
{
    if (!totem)
        return;
    const CountedHandle<CTotem> held = totem;
    for (auto& entry : m_placed)
        if (entry == held)
            entry.Reset();
    for (auto& entry : shopTotems)
        if (entry == held)
            entry.Reset();
    Dismiss(*held, speed);
}

// ---- Play ----

void CTotemsManager::Reset()
{
    pendingColour = -1;
    charge = 0;
    m_queue.clear();
    ready = true;
    m_actions.clear();
    for (auto& entry : m_placed)
        if (entry) {
            const CountedHandle<CTotem> held = entry;
            RemoveFromList(held);
        }
    for (int c = 0; c < kColours; ++c) {
        const int level = OwnedLevel(c);
        if (level == 0)
            continue;
        CountedHandle<CTotem> small = CreateTotem(c, kSmallTotem, level, true);
        const Vec3& at = layout.smallPos[static_cast<size_t>(c)];
        small->SetPosition(at.x, at.y, at.z);
        small->SetZOrder(layout.bottomZOrder);
        m_placed[static_cast<size_t>(c)] = small;
    }
}

void CTotemsManager::QueueTotem(int colour) { m_queue.push_back(colour); }

void CTotemsManager::PlaySound(const char* name, const float* pannedX) const
{
    if (!sounds)
        return;
    if (pannedX)
        sounds->PlayPanned(sounds->Sample(name), *pannedX, 0, 0);
    else
        sounds->Play(sounds->Sample(name), 0, 0);
}

// A large totem of the colour flies from its place to the front while its
// small one fades.
void CTotemsManager::BringForward(int colour, int zOrder, float time)
{
    const size_t c = static_cast<size_t>(colour);
    CountedHandle<CTotem> large = CreateTotem(colour, kLargeTotem, OwnedLevel(colour), true);
    const Vec3& from = layout.pos[c];
    large->SetPosition(from.x, from.y, from.z);
    large->SetScale(layout.smallSize.x, layout.smallSize.y);
    large->SetZOrder(zOrder);
    large->fadeSpeed = kSwapFadeSpeed;
    large->MoveTo(layout.center.x, layout.center.y, layout.center.z, layout.mainSize.x, layout.mainSize.y, time);
    if (m_placed[c])
        m_placed[c]->FadeOut(kSwapFadeSpeed);
    m_placed[c] = large;
    ready = false;
    pendingColour = colour;
    charge = 1;
    m_resort = true;
}

// The totem in front flies back to its place, its lamps and display off.
void CTotemsManager::SendBack()
{
    if (pendingColour < 0)
        return;
    const CountedHandle<CTotem> pending = m_placed[static_cast<size_t>(pendingColour)];
    if (!pending)
        return;
    SwitchTargets(*pending, false);
    pending->SetZOrder(layout.bottomZOrder - 5);
    pending->FadeOutLights(false);
    const Vec3& to = layout.pos[static_cast<size_t>(pendingColour)];
    pending->MoveTo(to.x, to.y, to.z, layout.smallSize.x, layout.smallSize.y, layout.backTime);
}

void CTotemsManager::TakeQueued(int colour)
{
    if (pendingColour >= 0 && !m_placed[static_cast<size_t>(pendingColour)])
        pendingColour = -1; // nothing stands in front any more
    if (pendingColour < 0) {
        if (OwnedLevel(colour) > 0)
            BringForward(colour, layout.bottomZOrder - 10, layout.inTime);
        return;
    }
    if (colour == pendingColour) {
        const CountedHandle<CTotem> pending = m_placed[static_cast<size_t>(colour)];
        charge += 1;
        pending->SetLightCount(charge);
        pending->Activate(std::min(charge - 1, 2));
        ready = false;
        PlaySound(kPowerSounds[colour]);
        TotemAction started;
        started.type = TotemAction::kPowerStarted;
        m_actions.push_back(started);
        return;
    }
    SendBack();
    charge = 1;
    m_resort = true;
    if (OwnedLevel(colour) > 0) {
        BringForward(colour, layout.bottomZOrder - 5, layout.switchInTime);
    } else {
        ready = true;
        pendingColour = -1;
    }
}

int CTotemsManager::Update(float dt)
{
    if (!panelShown && m_sprites)
        for (const auto& sprite : m_panel)
            if (sprite->visible && sprite->opacity <= 0.0f)
                m_sprites->SetVisible(sprite, false);
    m_actions.clear();
    if (ready && !m_queue.empty()) {
        const int colour = m_queue.front();
        m_queue.pop_front();
        TakeQueued(colour);
    }
    for (size_t i = 0; i < m_totems.size();) {
        const CountedHandle<CTotem> totem = m_totems[i];
        const int reported = totem->Process(dt);
        Collect(*totem);
        if (!reported) {
            ++i;
            continue;
        }
        if (totem->eventCode == kTotemFadedOut) {
            m_totems.erase(m_totems.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        OnEvent(totem);
        ++i;
    }
    if (m_resort && m_sprites)
        m_sprites->Resort();
    m_resort = false;
    return static_cast<int>(m_actions.size());
}

void CTotemsManager::OnEvent(const CountedHandle<CTotem>& totem)
{
    switch (totem->eventCode) {
    case kTotemArrived: {
        if (pendingColour >= 0 && m_placed[static_cast<size_t>(pendingColour)] == totem) {
            charge = 1;
            totem->SetLightCount(1);
            totem->state = kTotemIdle;
            SwitchTargets(*totem, true);
            PlaySound("TotemEye.wav", &totem->position[0]);
            ready = true;
            return;
        }
        // Back at its place: a new small totem takes over while it fades.
        int colour = -1;
        for (int c = 0; c < kColours; ++c)
            if (m_placed[static_cast<size_t>(c)] == totem)
                colour = c;
        totem->FadeOut(kSwapFadeSpeed);
        m_resort = true;
        if (colour < 0)
            return; // it has no place any more
        const size_t c = static_cast<size_t>(colour);
        m_placed[c].Reset();
        if (OwnedLevel(colour) == 0)
            return;
        CountedHandle<CTotem> small = CreateTotem(colour, kSmallTotem, OwnedLevel(colour), true);
        const Vec3& at = layout.smallPos[c];
        small->SetPosition(at.x, at.y, at.z);
        small->SetScale(layout.smallSize.x, layout.smallSize.y);
        small->SetZOrder(layout.bottomZOrder);
        small->fadeSpeed = kSwapFadeSpeed;
        m_placed[c] = small;
        return;
    }
    case kTotemPowerOver:
    case kTotemFullPowerOver:
        if (totem->state == kTotemBack && pendingColour >= 0) {
            SendBack();
            m_resort = true;
            pendingColour = -1;
            charge = 0;
        }
        ready = true;
        return;
    case kTotemShown:
        totem->state = kTotemIdle;
        if (totem->mode == kShopTotem)
            SwitchTargets(*totem, true);
        return;
    default:
        totem->state = kTotemIdle;
        return;
    }
}

void CTotemsManager::PlacePendingTotem()
{
    if (pendingColour < 0)
        return;
    SendBack();
    ready = true;
    pendingColour = -1;
    charge = 1;
}

void CTotemsManager::SetBlueTotemsActive(bool on)
{
    blueActive = on;
    for (const auto& totem : m_totems)
        if (totem->kind == kBlueTotem)
            static_cast<CBlueTotem&>(*totem).ApplyPower(on);
}

// ---- The powers' records ----

void CTotemsManager::Record(int type, int column, int row, int value, int amount, float weight)
{
    TotemAction a;
    a.type = type;
    a.column = column;
    a.row = row;
    a.value = value;
    a.weight = weight;
    a.amount = amount;
    m_actions.push_back(a);
}

void CTotemsManager::Collect(CTotem& totem)
{
    switch (totem.kind) {
    case kGreenTotem: {
        CGreenTotem& green = static_cast<CGreenTotem&>(totem);
        // The request goes out every frame until the board answers.
        if (green.waitingFlag && green.PowerRuns())
            Record(kGreenTotem, 0, 0, 0);
        if (green.finishFlag && !green.waitingFlag) {
            Record(kGreenTotem, 0, 0, 1);
            green.finishFlag = false;
        }
        return;
    }
    case kYellowTotem: {
        CYellowTotem& yellow = static_cast<CYellowTotem&>(totem);
        if (yellow.releaseFlag == 1) {
            Record(kYellowTotem, yellow.level, yellow.strength, 0);
            yellow.releaseFlag = 2;
        }
        return;
    }
    case kRedTotem: {
        CRedTotem& red = static_cast<CRedTotem&>(totem);
        for (const auto& hit : red.hits)
            Record(kRedTotem, hit->column, hit->row, hit->sizeClass);
        red.hits.clear();
        return;
    }
    case kBlueTotem:
        CollectBlue(static_cast<CBlueTotem&>(totem));
        return;
    case kOrangeTotem: {
        COrangeTotem& orange = static_cast<COrangeTotem&>(totem);
        if (orange.releaseFlag == 1) {
            Record(kOrangeTotem, 0, 0, orange.strength, orange.level);
            orange.releaseFlag = 2;
        }
        return;
    }
    case kWhiteTotem:
        CollectWhite(static_cast<CWhiteTotem&>(totem));
        return;
    case kVioletTotem: {
        CVioletTotem& violet = static_cast<CVioletTotem&>(totem);
        if (violet.releaseFlag == 1) {
            m_actions.insert(m_actions.end(), violet.ownActions.begin(), violet.ownActions.end());
            violet.releaseFlag = 2;
        }
        return;
    }
    default:
        return;
    }
}

// The request for the steel tokens while the strike waits for them (at
// full strength the shields come on with it), else a record for every cell
// a bolt reached and, from level 3, for its neighbours on the board.
void CTotemsManager::CollectBlue(CBlueTotem& blue)
{
    if (blue.strikeRequest && blue.PowerRuns()) {
        Record(kBlueTotem, 0, 0, blue.strength);
        if (blue.strength == 3)
            SetBlueTotemsActive(true);
        return;
    }
    const CBoardGrid& grid = BoardGrid();
    const bool wide = blue.level >= 3;
    for (const auto& hit : blue.hits) {
        const TotemCell cells[5] = {{hit->column, hit->row},
                                    {hit->column - 1, hit->row},
                                    {hit->column + 1, hit->row},
                                    {hit->column, hit->row - 1},
                                    {hit->column, hit->row + 1}};
        for (int k = 0; k < (wide ? 5 : 1); ++k)
            if (k == 0 || grid.Contains(cells[k].column, cells[k].row))
                Record(kBlueTotem, cells[k].column, cells[k].row, 0, 0, wide ? 1.0f : 0.0f);
    }
    blue.hits.clear();
}

// The request for tokens while the power waits for them, else a record for
// every token a stream reached, and once all have, the end of the power
// (again every frame while the totem waits in front, for the board to look
// for new runs).
void CTotemsManager::CollectWhite(CWhiteTotem& white)
{
    if (white.waitingFlag) {
        if (white.PowerRuns())
            Record(kWhiteTotem, 0, 0, CBalanceState::TotemCount(white.level, white.strength));
        return;
    }
    for (const auto& hit : white.hits)
        Record(kWhiteTotem, hit->column, hit->row, 0, hit->colourIndex);
    white.hits.clear();
    if ((white.state == kTotemBack || white.state == kTotemStays) &&
        (white.eventCode == kTotemPowerOver || white.eventCode == kTotemFullPowerOver))
        Record(kWhiteTotem, 0, 0, -1);
}

CTotem* CTotemsManager::Powering(int colour) const
{
    CTotem* totem = m_placed[static_cast<size_t>(colour)].Get();
    return totem && totem->PowerRuns() ? totem : nullptr;
}

void CTotemsManager::StrikeGreen(const std::vector<Vec2>& gems, const std::vector<Vec2>& points,
                                 const std::vector<TotemCell>& cells, std::vector<float>* delays)
{
    CTotem* totem = Powering(kGreenTotem);
    if (!totem)
        return;
    const CountedHandle<CTotem> held = m_placed[kGreenTotem];
    CGreenTotem& green = static_cast<CGreenTotem&>(*totem);
    green.ApplyPower(gems, points, cells, delays);
    green.waitingFlag = false;
}

void CTotemsManager::StrikeBlue(const std::vector<Vec2>& points, const std::vector<TotemCell>& cells)
{
    if (CTotem* totem = Powering(kBlueTotem)) {
        const CountedHandle<CTotem> held = m_placed[kBlueTotem];
        static_cast<CBlueTotem&>(*totem).SetTargets(points, cells);
    }
}

void CTotemsManager::StrikeWhite(const std::vector<Vec2>& points, const std::vector<TotemCell>& cells)
{
    if (CTotem* totem = Powering(kWhiteTotem)) {
        const CountedHandle<CTotem> held = m_placed[kWhiteTotem];
        static_cast<CWhiteTotem&>(*totem).ApplyPower(points, cells);
    }
}

std::vector<CountedHandle<CFlareList>>* CTotemsManager::GreenUnigems()
{
    CTotem* totem = m_placed[kGreenTotem].Get();
    return totem ? &static_cast<CGreenTotem&>(*totem).unigems : nullptr;
}
