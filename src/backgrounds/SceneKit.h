// What the six background scenes share: the drawing services every scene
// holds, its textures found or loaded by registry name, the mesh layers it
// writes into the shared buffers every frame, the reading of its section of
// "Background.cfg", and a few sprite helpers. The scenes are separate classes
// without a common base; each one is built from these parts.
#pragma once

#include "audio/SoundManager.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/RenderDevice.h"
#include "engine/Settings.h"
#include "engine/Sprite.h"
#include "engine/VectorMath.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Every configured position is placed relative to this point: the picture's
// centre half a pixel off, far back in the depth range.
constexpr float kOriginX = -0.5f;
constexpr float kOriginY = 0.5f;
constexpr float kOriginZ = 999.0f;
constexpr float kScreenWidth = 1024.0f;
constexpr float kScreenHeight = 768.0f;
constexpr float kPi = 3.1415927f;
// The most quads a scene's configured counts may make: their vertices must
// stay addressable by 16-bit indices (two quads are kept for the treasury's
// sun rays).
constexpr int kMaxCountedQuads = 16382;

// The scenes' sounds, by slot of the sound-effects manager.
enum SceneSound : int {
    kSoundBackground = 58, // a progress gem appears
    kSoundMuseum = 59,     // the museum's map unrolls
    kSoundFlare = 60,      // a stage's closing flare
    kSoundDoor = 61,       // the door opens
    kSoundTreasure = 62,   // the chest bursts
};

// The vertex of a scene's mesh layers: the shared buffers' layout, with the
// layer texture in stage 0 and its mask in stage 1.
struct SceneVertex {
    float x, y, z;
    uint32_t diffuse;
    float u, v;         // layer texture
    float maskU, maskV; // mask texture
};
static_assert(sizeof(SceneVertex) == 32, "a scene vertex is one vertex of the shared buffers");

// A scene's full-screen textured quads, copied whole into the shared ring
// buffers every frame.
struct SceneMeshLayer {
    std::vector<SceneVertex> vertices;
    std::vector<uint16_t> indices;
    int32_t firstVertex = 0;
    int32_t firstIndex = 0;

    // Sizes the mesh for `quads` quads and writes their indices.
    void SizeForQuads(size_t quads);
    SceneVertex* Quad(size_t quad) { return &vertices[quad * 4]; }
};

// What the scenes share, handed over once at start-up; each scene takes the
// part it uses.
struct BackgroundResources {
    CountedHandle<CSpriteRenderer> sprites; // drawn only inside the scenes
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CFlareRenderer> flares;
    CountedHandle<CTexture> flare; // "Flare": the progress flares
    CountedHandle<CTexture> jungleFlash;
    CountedHandle<CTexture> smallSand;
    CountedHandle<CTexture> cloud;
    CountedHandle<CTexture> spark; // "Spark": rainbow streaks and chest rays
    CountedHandle<CTexture> halo;
};

// The services a scene draws and plays through, shared by all six.
struct SceneServices {
    CountedHandle<CRenderDevice> device;
    CountedHandle<CVertexBuffer> vertexBuffer;
    CountedHandle<CIndexBuffer> indexBuffer;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CFlareRenderer> flares;
    CountedHandle<CSoundManager> sounds;

    void SetDevice(const CountedHandle<CRenderDevice>& renderDevice, const CountedHandle<CVertexBuffer>& vertices,
                   const CountedHandle<CIndexBuffer>& indices);
    // Once, at its first variant, not looped; nothing without sound.
    void Play(SceneSound sound) const;
    // Adds a sprite to the background sprite renderer and returns it.
    const CountedHandle<CSprite>& Add(const CountedHandle<CSprite>& sprite) const;
    // Takes the sprite out of the renderer and empties the handle.
    void Drop(CountedHandle<CSprite>* sprite) const;
    void Drop(std::initializer_list<CountedHandle<CSprite>*> sprites) const;
    void DropAll(std::vector<CountedHandle<CSprite>>* list) const;
};

// How a scene texture is made when no texture of its name is registered.
enum class TextureLoader {
    Plain,       // the file's own format
    AutoFormat,  // the first mask format the device takes
    AlphaGrey,   // with its "_alpha" companion, grey-alpha formats first
    AlphaColour, // with its "_alpha" companion, colour-alpha formats first
};

// One of a scene's textures: its registry name, its compiled-in file, how it
// is made, and the "Background.cfg" key that may name another file (none for
// the files a scene always uses).
struct SceneTexture {
    const char* name;
    const char* file;
    TextureLoader loader;
    const char* fileKey = nullptr;
};

class CSceneSettings;

// The light rays some stage scenes turn slowly over their picture.
struct TurningRays {
    Vec2 centre{};
    Vec2 size{};
    float spin = 0.0f; // radians per second
    uint32_t colour = 0xFFFFFFFF;

    // "FlareCenter", "FlareRaysSize" and "FlareRaysRotT" (seconds a turn,
    // its sign the direction).
    void Read(const CSceneSettings& file, const char* centreDefault, const char* periodDefault);
};

// What every scene holds first: its services and its textures, with the
// protocol steps that are the same in all six (the manager takes them through
// the scene's core: device, sound manager, loading and releasing textures).
class CSceneCore {
public:
    explicit CSceneCore(std::initializer_list<SceneTexture> textures);
    // After the scene has released its objects.
    ~CSceneCore() { ReleaseTextures(); }
    CSceneCore(const CSceneCore&) = delete;
    CSceneCore& operator=(const CSceneCore&) = delete;

    SceneServices services;

    void SetDevice(const CountedHandle<CRenderDevice>& device, const CountedHandle<CVertexBuffer>& vertices,
                   const CountedHandle<CIndexBuffer>& indices)
    {
        services.SetDevice(device, vertices, indices);
    }
    void SetResources(const BackgroundResources& shared)
    {
        services.sprites = shared.sprites;
        services.particles = shared.particles;
        services.flares = shared.flares;
        resources = shared;
    }
    BackgroundResources resources;
    // The files of the textures that have a key, from the scene's section.
    void ReadTextureFiles(const CSceneSettings& file);
    // Shares each texture already registered under its name and loads the
    // others from `folder`; false when any stays empty (the rest still load).
    bool LoadTextures(const std::string& folder);
    // Takes the scene's names out of the registry, even those it shared, and
    // empties its handles; always succeeds.
    int ReleaseTextures();
    const CountedHandle<CTexture>& Texture(size_t index) const { return m_textures[index].texture; }

    // The scene's picture: the top 768 rows of texture 0 over the whole
    // screen, behind everything, in the main pass; added to the renderer.
    CountedHandle<CSprite> MakePicture(bool depth) const;
    // The light rays of `texture`, screened over the picture; added to the
    // renderer.
    CountedHandle<CSprite> MakeTurningRays(const TurningRays& rays, size_t texture) const;

    // The frame of a scene with mesh layers: the main pass and sprite layer
    // 0, then the mesh, then sprite layer 1 over it; the mesh's result.
    template <typename RenderMesh>
    d3d::HRESULT RenderAroundMesh(RenderMesh renderMesh) const
    {
        if (!services.sprites)
            return d3d::D3D_OK;
        services.sprites->Render();
        services.sprites->RenderLayer(0);
        const d3d::HRESULT hr = renderMesh();
        services.sprites->RenderLayer(1);
        return hr;
    }

private:
    struct Slot {
        SceneTexture wanted; // the name, loader and default file asked for
        std::string file;
        CountedHandle<CTexture> texture;
    };
    // Fixed from construction on: scenes keep references into it.
    std::vector<Slot> m_textures;
};

// What each of the six scenes is built on: its core, made from the scene's
// textures, through which the manager hands it the device, the sound and the
// shared resources.
class CScene {
public:
    CScene(const CScene&) = delete;
    CScene& operator=(const CScene&) = delete;

    // Its services and textures: device, sound, loading and releasing.
    CSceneCore& Core() { return m_core; }
    void SetResources(const BackgroundResources& shared) { m_core.SetResources(shared); }

protected:
    explicit CScene(std::initializer_list<SceneTexture> textures) : m_core(textures) {}
    ~CScene() = default;

    CSceneCore m_core;
};

// Dust drifting in stacked full-screen layers of a scene's mesh.
class CDustLayers {
public:
    // "DustLayersCount", "DustSizeFactor" and each layer's "DustVec_%d" (x
    // right, y down on screen; the vault's own frame runs y up).
    void Read(const CSceneSettings& file, bool yUp);
    // Sizes `mesh` for the layers and `extraQuads` more full-screen quads at
    // depth `z` and starts each layer at a random offset.
    void Init(SceneMeshLayer* mesh, size_t extraQuads, float z, uint32_t colour);
    void Drift(SceneMeshLayer* mesh, float dt);
    size_t Count() const { return m_layers.size(); }

private:
    struct Layer {
        Vec2 velocity; // in the layer's own turned frame
        Vec2 offset;
        Vec2 corners[3];
    };
    float m_size = 4.0f;
    std::vector<Layer> m_layers;
};

// One draw of a run of the mesh's quads with a layer texture over a mask.
struct MeshPass {
    size_t firstQuad = 0;
    size_t quadCount = 0;
    CountedHandle<CTexture> layer;
    CountedHandle<CTexture> mask;
    PassBlend blend = PassBlend::Alpha();
    // The vertex colour with the layer's alpha, in place of the layer's colour.
    bool vertexColour = false;
    bool clampU = false;
    bool clampV = false;
    // Drawn only where the screen in front leaves the faint layers in view.
    bool faint = false;
};

// Copies the whole mesh into the shared buffers and draws the passes over it,
// the mask multiplying the layer in colour and alpha, without depth writes
// (engine draw passes: the frame's states come back after them); faint
// passes cut to what `view` leaves of the faint layers. A failed buffer lock
// skips the frame's mesh and is returned.
d3d::HRESULT RenderMeshPasses(const SceneServices& services, const SceneMeshLayer& mesh, const MeshPass* passes,
                              size_t passCount, const SceneView& view = {});

// Runs `draw` with the device's draws cut to what `view` leaves of the
// faint layers in view, then cuts them to the whole scene's view again.
template <typename Draw>
void DrawFaint(CRenderDevice& device, const SceneView& view, Draw draw)
{
    if (!view.cut) {
        draw();
        return;
    }
    device.CutDrawsTo(view.faint);
    draw();
    device.CutDrawsTo(view.whole);
}

// A screen rectangle of "Background.cfg" (left, top, width, height in pixels
// of the 1024 x 768 picture, y down) as a centre on the virtual screen.
struct ScreenBox {
    float x = 0, y = 0; // centre, y up
    float width = 0, height = 0;
};

// Reads one section of "Background.cfg" key by key, each with its default.
// Numbers that are not finite read as the default's; times, periods and
// intervals the scenes divide by read as the default unless they are
// positive.
class CSceneSettings {
public:
    CSceneSettings(std::string file, const char* section) : m_file(std::move(file)), m_section(section) {}

    std::string Text(const char* key, const char* defaultText) const;
    int32_t Int(const char* key, const char* defaultText) const;
    float Float(const char* key, const char* defaultText) const;
    // Seconds, or a speed a scene divides by: positive and finite.
    float Positive(const char* key, const char* defaultText) const;
    // A period whose sign picks a direction: non-zero and finite.
    float NonZero(const char* key, const char* defaultText) const;
    Vec2 Pair(const char* key, const char* defaultText) const;
    Vec3 Triple(const char* key, const char* defaultText) const;
    Vec4 Quad(const char* key, const char* defaultText) const;
    IntPair Ints(const char* key, const char* defaultText) const;
    uint32_t Colour(const char* key, const char* defaultText) const;
    // "Screen" gives blend preset 3, "Normal" 0, anything else 1 (exactly).
    int BlendPreset(const char* key, const char* defaultText) const;
    // A point in pixels (y down) on the virtual screen (y up).
    Vec2 Position(const char* key, const char* defaultText) const;
    ScreenBox Box(const char* key, const char* defaultText) const;
    // A rectangle in texels (left, top, right, bottom) in texture units.
    Vec4 TexelRect(const char* key, const char* defaultText, float texWidth, float texHeight) const;

    const std::string& File() const { return m_file; }
    const char* Section() const { return m_section; }

private:
    std::string m_file;
    const char* m_section;
};

// A numbered key: ("Gem", 3) gives "Gem3".
std::string Numbered(const char* prefix, int number);

// A sprite in the layer pass of `layer` with a blend preset.
CountedHandle<CSprite> MakeLayerSprite(float x, float y, float z, float width, float height, uint32_t colour,
                                       const CountedHandle<CTexture>& texture, int layer, int preset);
// A sprite of the main pass (alpha-tested, no blending).
CountedHandle<CSprite> MakeMainSprite(float x, float y, float z, float width, float height, uint32_t colour,
                                      const CountedHandle<CTexture>& texture);
void SetDepth(CSprite& sprite, bool test, bool write);
// Fades the sprite out and lets the renderer drop it when `life` is spent.
void FadeOutAndExpire(CSprite& sprite, float life);
// The same over the time its own fade to 0 takes.
void FadeOutAtOwnRate(CSprite& sprite);

// A quad over the whole screen at depth `z`, its mask over the picture's
// 1024 x 768 of a 1024-square texture.
void FullScreenQuad(SceneVertex quad[4], float z, uint32_t colour);
// Dust layers stacked over a picture turn their texture a further quarter
// turn per layer, so that they never line up. Corners 1 to 3 of layer
// `layer`'s texture window, `size` repeats across the screen (corner 0 is
// the layer's offset)...
void DustCorners(int layer, float size, Vec2 corners[3]);
// ...and a drift on screen (x right, y down) in that layer's turned frame,
// so every layer still drifts the same way.
Vec2 TurnedDrift(Vec2 drift, int layer);

// Wraps a texture offset into [0, 1) with one step either way.
float WrapUnit(float value);
// Wraps a phase that passed 2 pi (or equals it, when `atTwoPi`) by one turn.
float WrapPhase(float phase, bool atTwoPi);
