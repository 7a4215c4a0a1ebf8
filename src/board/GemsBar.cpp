// The gems bar: reading the gem pictures, composing and uploading the strip,
// spacing the gems by the goal, the fill and counter, fading, and the
// sparkles and flares that rise from the filled part of the strip.
#include "board/GemsBar.h"

#include "engine/BitmapFont.h"
#include "engine/Flare.h"
#include "engine/Log.h"
#include "engine/Random.h"
#include "engine/RenderDevice.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "layout/QuestLayout.h"
#include "platform/Files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace d3d;

namespace {

constexpr float kPi = 3.1415927f;
constexpr int kFirstSlotMargin = 37; // room left of the first gem while it flies in
// The strip is folded into the texture: its columns 0-207 in rows 0-39,
// its columns 199-406 in rows 40-79 from texture column 48.
constexpr int kSurfaceWidth = 256, kSurfaceHeight = 128;
constexpr int kFoldWidth = 208, kSecondBandFrom = 199, kSecondBandColumn = 48;
// The left sprite of the strip, fill and frame is 204 units wide, the right
// one 203 (the frame's pieces 205 each).
constexpr float kLeftWidth = 204.0f, kRightWidth = 203.0f, kFramePiece = 205.0f;
constexpr float kFrameHeight = 46.0f, kFillHeight = 32.0f;
// The sprites and text stand this far in front of the bar's origin.
constexpr float kDepth = 500.0f;
// The effects' spawn rate grows with the strip's filled width over this.
constexpr float kEffectWidth = 703.0f;

// "BarGems.bmp": seven 40 x 40 gems side by side over their alpha masks.
constexpr int kBmpWidth = 320, kBmpHeight = 80;
constexpr size_t kBmpPixels = static_cast<size_t>(kBmpWidth) * kBmpHeight * 3;

uint32_t Word(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

enum class BmpFault { None, NotFound, Header, Pixels };

// Reads the file's pixels, bottom row first, 3 bytes (blue, green, red) each.
BmpFault ReadBarGems(const std::string& path, std::vector<uint8_t>* pixels)
{
    FILE* file = plat::OpenFile(path, "rb");
    if (!file)
        return BmpFault::NotFound;
    uint8_t header[54];
    BmpFault fault = BmpFault::None;
    if (std::fread(header, 1, sizeof header, file) != sizeof header) {
        fault = BmpFault::Header;
    } else {
        const uint32_t offset = Word(header + 10);
        const int32_t width = static_cast<int32_t>(Word(header + 18));
        const int32_t height = static_cast<int32_t>(Word(header + 22));
        const uint16_t bits = static_cast<uint16_t>(header[28] | header[29] << 8);
        const uint32_t compression = Word(header + 30);
        // Only a plain 24-bit picture has the layout the gems are cut from.
        if (width != kBmpWidth || height != kBmpHeight || bits != 24 || compression != 0)
            fault = BmpFault::Header;
        else if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0 ||
                 std::fread(pixels->data(), 1, kBmpPixels, file) != kBmpPixels)
            fault = BmpFault::Pixels;
    }
    std::fclose(file);
    return fault;
}

uint32_t Channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

// One strip pixel in the texture's format, keeping the top bits of every
// channel.
uint32_t Texel(uint32_t argb, D3DFORMAT format)
{
    const uint32_t a = Channel(argb, 24), r = Channel(argb, 16), g = Channel(argb, 8), b = Channel(argb, 0);
    switch (format) {
    case D3DFMT_A8R8G8B8:
        return argb;
    case D3DFMT_A1R5G5B5:
        return (a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    case D3DFMT_A4R4G4B4:
        return (a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | b >> 4;
    case D3DFMT_A8R3G3B2:
        return a << 8 | (r >> 5) << 5 | (g >> 5) << 2 | b >> 6;
    case D3DFMT_A2B10G10R10:
        return (a >> 6) << 30 | b << 22 | g << 12 | r << 2;
    default:
        return 0;
    }
}

bool CanWrite(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_A1R5G5B5 || format == D3DFMT_A4R4G4B4 ||
           format == D3DFMT_A8R3G3B2 || format == D3DFMT_A2B10G10R10;
}

void PutTexel(uint8_t* row, int column, uint32_t texel, uint32_t bytes)
{
    std::memcpy(row + static_cast<size_t>(column) * bytes, &texel, bytes);
}

} // namespace

CGemsBar::CGemsBar() : m_strip(static_cast<size_t>(kStripWidth) * kStripHeight, 0u)
{
    m_collected.reserve(400);
    m_sparkles.reserve(20);
    m_sparkleAges.reserve(20);
}

CGemsBar::~CGemsBar()
{
    if (m_sprites) {
        for (const auto& sprite : m_frameSprites)
            m_sprites->Remove(sprite);
        for (const auto& sprite : m_fillSprites)
            m_sprites->Remove(sprite);
        for (const auto& sprite : m_sparkles)
            m_sprites->Remove(sprite);
    }
    if (m_texts && m_counter)
        m_texts->Remove(m_counter);
    if (m_device) {
        const int index = m_device->FindTextureIndex(kSurfaceName);
        if (index >= 0)
            m_device->RemoveTexture(index);
    }
}

void CGemsBar::SetSharedObjects(CountedHandle<CRenderDevice> device, CountedHandle<CTexture> frameTexture,
                                CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts,
                                CountedHandle<CBitmapFont> font, CountedHandle<CFlareRenderer> flares)
{
    m_device = std::move(device);
    m_frameTexture = std::move(frameTexture);
    m_sprites = std::move(sprites);
    m_texts = std::move(texts);
    m_font = std::move(font);
    m_flares = std::move(flares);
}

// A value the skin gives that is not a finite number keeps the bar's own.
void CGemsBar::ApplyLayout(const CQuestLayout& layout)
{
    auto take = [](float value, float* out) {
        if (std::isfinite(value))
            *out = value;
    };
    auto shift = [&take](const Vec2& value, Vec2* out) {
        take(value.x, &out->x);
        take(value.y, &out->y);
    };
    shift(layout.gemsOverlayShift, &m_look.frameShift);
    shift(layout.gemsFillingShift, &m_look.fillShift);
    shift(layout.gemsGemsShift, &m_look.stripShift);
    shift(layout.gemsCountShift, &m_look.countShift);
    take(layout.gemsTextCharSize, &m_look.textScale);
    m_look.textColour = layout.gemsTextColour;
    const GemsFlares& big = layout.gemsBigFlares;
    take(big.lifeTime, &m_look.sparkleLife);
    take(big.maxT, &m_look.sparklePeriod);
    take(big.size, &m_look.sparkleSize);
    take(big.w, &m_look.sparkleSpin);
    m_look.sparkleColour = big.colour;
    const GemsFlares& small = layout.gemsSmallFlares;
    take(small.lifeTime, &m_look.flareLife);
    take(small.maxT, &m_look.flarePeriod);
    take(small.size, &m_look.flareSize);
    take(small.w, &m_look.flareSpin);
    m_look.flareColour = small.colour & 0xFFFFFF;
    // Only a fully opaque colour lets the flares shine.
    m_look.flareIntensity = (small.colour >> 24) == 0xFF ? 1.0f : 0.0f;
}

int CGemsBar::GemWidth(int colour) const
{
    return colour >= 0 && colour < kColours ? m_widths[static_cast<size_t>(colour)] : 0;
}

bool CGemsBar::LoadBarGems(const std::string& path)
{
    std::vector<uint8_t> pixels(kBmpPixels);
    switch (ReadBarGems(path, &pixels)) {
    case BmpFault::None:
        break;
    case BmpFault::NotFound:
        WriteLog("BarGems.bmp File not found!\n");
        return false;
    case BmpFault::Header:
    case BmpFault::Pixels:
        WriteLog("Error loading BarGems.bmp file!\n");
        return false;
    }
    // Picture row r (top first) is file row 79 - r; the mask of a gem's row
    // r is the blue of picture row 40 + r.
    auto at = [&pixels](int column, int pictureRow) {
        return pixels.data() + (static_cast<size_t>(kBmpHeight - 1 - pictureRow) * kBmpWidth + column) * 3;
    };
    for (int j = 0; j < kColours; ++j) {
        Picture& picture = m_pictures[static_cast<size_t>(j)];
        int width = 0;
        for (int r = 0; r < kGemSize; ++r)
            for (int i = 0; i < kGemSize; ++i) {
                const uint8_t* colour = at(kGemSize * j + i, r);
                const uint32_t alpha = at(kGemSize * j + i, kGemSize + r)[0];
                picture[static_cast<size_t>(r * kGemSize + i)] =
                    alpha << 24 | static_cast<uint32_t>(colour[2]) << 16 | colour[1] << 8 | colour[0];
                if (alpha != 0)
                    width = std::max(width, i + 1);
            }
        m_widths[static_cast<size_t>(j)] = width;
    }
    return true;
}

bool CGemsBar::Init()
{
    static const std::vector<D3DFORMAT> kFormats = {D3DFMT_A2B10G10R10, D3DFMT_A8R3G3B2, D3DFMT_A4R4G4B4,
                                                    D3DFMT_A1R5G5B5, D3DFMT_A8R8G8B8};
    m_surface = m_device->CreateTextureAutoFormat(kSurfaceName, kSurfaceWidth, kSurfaceHeight, kFormats, 1, 0,
                                                  D3DPOOL_MANAGED);
    if (!m_surface) {
        WriteLog("Unable to create GemsTexture!\n");
        return false;
    }
    struct Piece {
        const CountedHandle<CTexture>& texture;
        float width, height;
        float u0, v0, u1, v1;
        int32_t zOrder;
    };
    const Piece frame[4] = {
        {m_frameTexture, kFramePiece, kFrameHeight, 0.01171875f, 0.00390625f, 0.8046875f, 0.18359375f, 500},
        {m_frameTexture, kFramePiece, kFrameHeight, 0.1875f, 0.19140625f, 0.98828125f, 0.37109375f, 500},
        {m_surface, kLeftWidth, kStripHeight, 0.0f, 0.0f, 0.796875f, 0.3125f, 501},
        {m_surface, kRightWidth, kStripHeight, 0.2109375f, 0.3125f, 1.0f, 0.625f, 501},
    };
    const Piece fill[2] = {
        {m_frameTexture, kLeftWidth, kFillHeight, 0.015625f, 0.375f, 0.8125f, 0.5f, 502},
        {m_frameTexture, kRightWidth, kFillHeight, 0.1875f, 0.5f, 0.98046875f, 0.625f, 502},
    };
    auto make = [this](const Piece& p) {
        auto sprite =
            MakeCountedHandle(new CSprite(0, 0, m_z + kDepth, p.width, p.height, 0xFFFFFFFF, p.texture, 1));
        sprite->SetFrameRect(0, p.u0, p.v0, p.u1, p.v1);
        sprite->zOrder = p.zOrder;
        sprite->SetAlphaNow(m_alpha);
        sprite->visible = m_shown ? 1 : 0;
        m_sprites->Add(sprite);
        return sprite;
    };
    for (size_t i = 0; i < m_frameSprites.size(); ++i)
        m_frameSprites[i] = make(frame[i]);
    for (size_t i = 0; i < m_fillSprites.size(); ++i)
        m_fillSprites[i] = make(fill[i]);

    m_counter = MakeCountedHandle(new CText(m_font));
    m_counter->colour = m_look.textColour;
    m_counter->visible = m_shown ? 1 : 0;
    m_counter->alignment = CText::CENTER;
    m_counter->srcBlend = D3DBLEND_SRCALPHA;
    m_counter->destBlend = D3DBLEND_ONE;
    const float size = m_font ? m_font->header3f * m_look.textScale : m_look.textScale;
    m_counter->SetCharSize(size, size);
    m_texts->Add(m_counter);
    PlaceSprites();
    Refresh();
    return true;
}

void CGemsBar::PlaceSprites()
{
    const GemsBarLook& k = m_look;
    const float frameX = m_x + k.frameShift.x + kFramePiece / 2, frameY = m_y + k.frameShift.y - kFrameHeight / 2;
    const float stripY = m_y + k.stripShift.y - kStripHeight / 2.0f;
    const float at[4][2] = {
        {frameX, frameY},
        {frameX + kFramePiece, frameY},
        {m_x + k.stripShift.x + kLeftWidth / 2, stripY},
        {m_x + k.stripShift.x + kLeftWidth + kRightWidth / 2, stripY},
    };
    for (size_t i = 0; i < m_frameSprites.size(); ++i) {
        if (!m_frameSprites[i])
            continue;
        CSprite& s = *m_frameSprites[i];
        s.x = at[i][0];
        s.y = at[i][1];
        s.z = m_z + kDepth;
    }
    PlaceFill();
    if (m_counter) {
        m_counter->origin[0] = m_x + k.countShift.x;
        m_counter->origin[1] = m_y + k.countShift.y;
        m_counter->origin[2] = m_z + kDepth;
        m_counter->Relayout();
    }
}

void CGemsBar::PlaceFill()
{
    const float y = m_y + m_look.fillShift.y - kFillHeight / 2;
    const float left = m_x + m_look.fillShift.x;
    if (CSprite* s = m_fillSprites[0].Get()) {
        s->x = left + m_fillLeft / 2;
        s->y = y;
        s->z = m_z + kDepth;
        s->SetSize(m_fillLeft, kFillHeight);
        s->SetFrameRect(0, 0.015625f, 0.375f, 0.015625f + m_fillLeft / kSurfaceWidth, 0.5f);
    }
    if (CSprite* s = m_fillSprites[1].Get()) {
        s->x = left + kLeftWidth + m_fillRight / 2;
        s->y = y;
        s->z = m_z + kDepth;
        s->SetSize(m_fillRight, kFillHeight);
        s->SetFrameRect(0, 0.1875f, 0.5f, 0.1875f + m_fillRight / kSurfaceWidth, 0.625f);
    }
}

void CGemsBar::SetPosition(float x, float y, float z)
{
    m_x = x;
    m_y = y;
    m_z = z;
    PlaceSprites();
}

void CGemsBar::SetAlpha(float alpha)
{
    m_alpha = alpha;
    for (const auto& sprite : m_frameSprites)
        if (sprite)
            sprite->SetAlphaNow(alpha);
    for (const auto& sprite : m_fillSprites)
        if (sprite)
            sprite->SetAlphaNow(alpha);
    if (m_counter) {
        m_counter->alphaFactor = alpha;
        m_counter->ApplyColor();
    }
}

void CGemsBar::ShowSprites(bool visible)
{
    const int flag = visible ? 1 : 0;
    auto set = [this, flag](const CountedHandle<CSprite>& sprite) {
        if (sprite && sprite->visible != flag)
            m_sprites->SetVisible(sprite, flag);
    };
    for (const auto& sprite : m_frameSprites)
        set(sprite);
    for (const auto& sprite : m_fillSprites)
        set(sprite);
    if (m_counter)
        m_counter->visible = flag;
    // Sparkles age only while the bar is shown; hidden ones would stand
    // still on the screen.
    if (!visible)
        DropSparkles();
}

void CGemsBar::DropSparkles()
{
    if (m_sprites)
        for (const auto& sprite : m_sparkles)
            m_sprites->Remove(sprite);
    m_sparkles.clear();
    m_sparkleAges.clear();
}

void CGemsBar::Show(bool shown, float rate)
{
    if (shown) {
        m_shown = true;
        ShowSprites(true);
        // The right fill stays hidden while the fill ends on the left half.
        PlaceFill();
        if (m_fillRight <= 0.0f && m_fillSprites[1])
            m_sprites->SetVisible(m_fillSprites[1], 0);
        if (rate <= 0.0f) {
            SetAlpha(1.0f);
            m_fadeRate = 0.0f;
        } else {
            SetAlpha(m_alpha);
            m_fadeRate = rate;
        }
        return;
    }
    if (rate <= 0.0f) {
        m_shown = false;
        m_fadeRate = 0.0f;
        m_alpha = 0.0f;
    } else {
        m_fadeRate = -rate;
    }
    if (m_alpha <= 0.0f) {
        m_shown = false;
        ShowSprites(false);
    }
}

void CGemsBar::BlendGem(int colour, int column)
{
    const Picture& picture = m_pictures[static_cast<size_t>(colour)];
    const int width = m_widths[static_cast<size_t>(colour)];
    for (int r = 0; r < kGemSize; ++r)
        for (int i = 0; i < width; ++i) {
            const uint32_t src = picture[static_cast<size_t>(r * kGemSize + i)];
            uint32_t& dst = m_strip[static_cast<size_t>(r * kStripWidth + column + i)];
            const uint32_t a = Channel(src, 24);
            uint32_t out = std::max(a, Channel(dst, 24)) << 24;
            for (int shift : {16, 8, 0}) {
                const uint32_t mixed = ((Channel(dst, shift) * (255 - a)) >> 8) + ((Channel(src, shift) * a) >> 8);
                out |= std::min(255u, mixed) << shift;
            }
            dst = out;
        }
}

// Every gem ends right-aligned at the cursor, and the width still free is
// shared evenly among the gems to come; gems overlap where the share is
// narrower than their pictures.
bool CGemsBar::AddGem(int colour)
{
    m_collected.push_back(colour);
    const int n = Collected();
    if (n > goal || colour < 0 || colour >= kColours)
        return Refresh();
    const int w = m_widths[static_cast<size_t>(colour)];
    int column = 0;
    if (n == 1) {
        m_cursor = static_cast<float>(w);
    } else {
        const float step = (kStripWidth - m_cursor) / static_cast<float>(goal - n + 1);
        const float m = m_cursor + step;
        if (static_cast<float>(w) > m) {
            m_cursor = static_cast<float>(w);
        } else {
            m_cursor = m;
            column = std::clamp(static_cast<int>(m_cursor) - w, 0, kStripWidth - w);
        }
    }
    BlendGem(colour, column);
    return Refresh();
}

Vec3 CGemsBar::GetGemTarget(int colour, int n) const
{
    const float w = static_cast<float>(GemWidth(colour));
    const int k = Collected();
    // The gems in flight share what is left of the strip; once nothing is
    // left to share (the goal reached or passed) they land on the last gem.
    const int divisor = goal - k - (k == 0 ? 1 : 0);
    float offset = 0.0f;
    if (k == goal || divisor <= 0) {
        offset = m_cursor - w / 2;
    } else if (n == 1 && k == 0) {
        offset = w / 2;
    } else {
        const float margin = k == 0 ? static_cast<float>(kFirstSlotMargin) : 0.0f;
        const float step = (kStripWidth - m_cursor - margin) / static_cast<float>(divisor);
        const float landing = k > 0 ? m_cursor + static_cast<float>(n) * step
                                    : kFirstSlotMargin + m_cursor + static_cast<float>(n - 1) * step;
        offset = w > landing ? w / 2 : landing - w / 2;
    }
    return Vec3{m_x + m_look.stripShift.x + offset, m_y + m_look.stripShift.y - kStripHeight / 2.0f,
                m_z + kDepth - 0.5f};
}

bool CGemsBar::ResetLevel()
{
    m_collected.clear();
    m_cursor = 0.0f;
    std::fill(m_strip.begin(), m_strip.end(), 0u);
    DropSparkles();
    return Refresh();
}

bool CGemsBar::Refresh()
{
    const bool uploaded = UploadBuffer();
    // A goal of 0 or less is reached before the first gem: the bar is full.
    const float f = goal <= 0 ? 1.0f : std::clamp(static_cast<float>(Collected()) / goal, 0.0f, 1.0f);
    const float width = f * kStripWidth;
    m_fillLeft = std::min(width, kLeftWidth);
    m_fillRight = width > kLeftWidth ? width - kLeftWidth : 0.0f;
    PlaceFill();
    if (const CountedHandle<CSprite>& right = m_fillSprites[1]) {
        if (m_fillRight > 0.0f && !right->visible && m_shown)
            m_sprites->SetVisible(right, 1);
        else if (m_fillRight <= 0.0f && right->visible)
            m_sprites->SetVisible(right, 0);
    }
    if (m_counter) {
        char text[32];
        std::snprintf(text, sizeof text, "%d/%d", Collected(), goal);
        m_counter->SetText(text);
        m_counter->ApplyColor();
    }
    if (!uploaded)
        WriteLog("Warning! Unable to refresh Gems buffer texture\n");
    return uploaded;
}

bool CGemsBar::UploadBuffer()
{
    IDirect3DTexture8* texture = m_surface ? m_surface->texture.get() : nullptr;
    D3DSURFACE_DESC description;
    D3DLOCKED_RECT locked;
    if (!texture || Failed(texture->GetLevelDesc(0, &description)) || Failed(texture->LockRect(0, &locked, 0)))
        return false;
    const D3DFORMAT format = description.Format;
    const uint32_t bytes = FormatBytes(format);
    auto row = [&locked](int y) {
        return static_cast<uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(y) * locked.Pitch;
    };
    for (uint32_t y = 0; y < description.Height; ++y)
        std::memset(row(static_cast<int>(y)), 0, static_cast<size_t>(description.Width) * bytes);
    const bool writable =
        CanWrite(format) && description.Width >= kSurfaceWidth && description.Height >= 2 * kStripHeight;
    if (writable)
        for (int y = 0; y < kStripHeight; ++y) {
            for (int x = 0; x < kFoldWidth; ++x)
                PutTexel(row(y), x, Texel(StripPixel(x, y), format), bytes);
            for (int x = kSecondBandFrom; x < kStripWidth; ++x)
                PutTexel(row(kStripHeight + y), kSecondBandColumn + x - kSecondBandFrom,
                         Texel(StripPixel(x, y), format), bytes);
        }
    texture->UnlockRect(0);
    return writable;
}

void CGemsBar::EffectPoint(float* x, float* y) const
{
    *x = m_x + m_look.stripShift.x + (RandomUnit() * 0.95f + 0.025f) * m_cursor;
    *y = m_y + m_look.stripShift.y - (RandomUnit() * 0.6f + 0.2f) * kStripHeight;
}

void CGemsBar::SpawnSparkle(float x, float y)
{
    if (!m_sprites)
        return;
    const float size = m_look.sparkleSize;
    auto sprite = MakeCountedHandle(
        new CSprite(x, y, m_z + kDepth - 0.5f, size, size, m_look.sparkleColour, m_effectTexture, 1));
    const float h = RandomUnit() >= 0.5f ? 1.0f : 0.0f;
    sprite->SetFrameRect(0, h / 2, 0.0f, (h + 1) / 2, 0.5f);
    sprite->zOrder = 499;
    sprite->SetBlendMode(1, 1);
    sprite->SetAlphaNow(0.0f);
    sprite->depthWrite = 0;
    sprite->SetAngle(RandomUnit() * kPi);
    sprite->spinning = 1;
    sprite->spinSpeed = m_look.sparkleSpin;
    m_sprites->Add(sprite);
    m_sparkles.push_back(sprite);
    m_sparkleAges.push_back(0.0f);
}

// A bar not given its renderers shows no flares (nor sparkles).
void CGemsBar::SpawnFlare(float x, float y)
{
    if (!m_flares)
        return;
    auto flare = MakeCountedHandle(new CFlare(x, y, m_z + kDepth - 0.5f, m_effectTexture, m_look.flareColour));
    const float k = std::min(std::floor(RandomUnit() * 4.0f), 3.0f);
    flare->SetTextureRect(k / 4, 0.625f, (k + 1) / 4, 0.875f);
    flare->SetSize(m_look.flareSize, m_look.flareSize);
    flare->alphaFactor = m_look.flareIntensity * m_alpha;
    flare->flickerDepth = 0.0f;
    flare->fadeIn = 0.04f;
    flare->fadeOutStart = m_look.flareLife;
    flare->fadeOut = 0.08f;
    const float axis1[3] = {1, 0, 0}, axis2[3] = {0, 1, 0};
    flare->SetSpin(RandomUnit() * 2 * kPi, m_look.flareSpin, axis1, axis2);
    m_flares->Add(flare);
}

void CGemsBar::Update(float dt)
{
    if (m_fadeRate != 0.0f) {
        m_alpha += dt * m_fadeRate;
        if (m_fadeRate > 0.0f && m_alpha > 1.0f) {
            m_alpha = 1.0f;
            m_fadeRate = 0.0f;
        } else if (m_fadeRate < 0.0f && m_alpha <= 0.0f) {
            m_alpha = 0.0f;
            m_fadeRate = 0.0f;
            m_shown = false;
            ShowSprites(false);
        }
        SetAlpha(m_alpha);
    }
    if (!m_shown)
        return;
    const float rate = m_cursor / kEffectWidth;

    const float life = m_look.sparkleLife > 0.0f ? m_look.sparkleLife : 1.0f;
    for (size_t i = 0; i < m_sparkles.size();) {
        m_sparkleAges[i] += dt;
        const float t = m_sparkleAges[i] / life;
        if (t >= 1.0f) {
            m_sprites->Remove(m_sparkles[i]);
            m_sparkles.erase(m_sparkles.begin() + static_cast<ptrdiff_t>(i));
            m_sparkleAges.erase(m_sparkleAges.begin() + static_cast<ptrdiff_t>(i));
            continue;
        }
        CSprite& s = *m_sparkles[i];
        const float fade = t < 0.1f ? 10.0f * t : t > 0.9f ? 10.0f * (1.0f - t) : 1.0f;
        s.SetAlphaNow(m_alpha * fade);
        const float side = ((0.5f - std::fabs(0.5f - t)) * 1.8f + 0.1f) * m_look.sparkleSize;
        s.SetSize(side, side);
        ++i;
    }

    float x = 0, y = 0;
    m_sparkleClock += rate * dt;
    if (m_look.sparklePeriod > 0.0f && m_sparkleClock >= m_look.sparklePeriod) {
        m_sparkleClock -= m_look.sparklePeriod;
        EffectPoint(&x, &y);
        SpawnSparkle(x, y);
    }
    m_flareClock += rate * dt;
    if (m_look.flarePeriod > 0.0f && m_flareClock >= m_look.flarePeriod) {
        m_flareClock -= m_look.flarePeriod;
        EffectPoint(&x, &y);
        SpawnFlare(x, y);
    }
}
