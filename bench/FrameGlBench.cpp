// The game's frame on the real OpenGL device, where a machine without a
// graphics card spends its time: the real game object from the installed
// data in a window of the offscreen driver, drawn by Mesa's software
// rasteriser with its thread count fixed (LP_NUM_THREADS, 4 unless set) and
// printed. Frames of 1/60 s, seeded, not paced to a refresh: the main menu,
// level 3 with the level lab's reference player, the level results' tally
// and the shop, at 640 x 480 and 800 x 600. For each: the CPU time a frame
// costs over all threads of the process (getrusage, the rasteriser's threads
// included) and the frames a second.
//
//   frame_gl_bench                 the table
//   frame_gl_bench --draws         also the 40 costliest kinds of draw of each
//                                  scene (each draw finished before and after,
//                                  summed by texture, blend and vertex count
//                                  over 120 frames)
//   frame_gl_bench --startup       start-up: the loading picture on screen and
//                                  the end of loading after exec, warm and on
//                                  a first start, and memory at the main menu;
//                                  what each load step of a warm start costs
//   --size WxH (again for more), --frames N (timed frames a scene), --scene
//   menu|play|results|shop, --png FILE (the last frame timed; with more than
//   one scene or size, "-<scene>-<W>x<H>" goes before the extension),
//   --level N (the level played instead of 3, on its stage's scene)
//
// Each scene is reached as a player reaches it (the main menu gone before
// the quest starts), and the device is made as the shell makes it: the
// game's tests hold a frame of this benchmark to the game's own picture.
#include "GlGame.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

using gl_game::GlGame;
using gl_game::kFrame;
using gl_game::Proc;
using gl_game::Size;

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int64_t RealtimeNanoseconds()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Options {
    std::vector<Size> sizes;
    bool draws = false;
    bool startup = false;
    int frames = 600;
    std::string scene;
    std::string png;
    int level = 3;
};

// Sums the timed draws by texture, blend and vertex count.
class DrawCosts {
public:
    DrawCosts(CRenderDevice& device, Size size)
        : m_device(device), m_screenPixels(static_cast<double>(size.width) * size.height)
    {}
    void Add(const d3d::DrawTiming& t)
    {
        Entry& e = m_entries[std::make_tuple(Name(t.texture), BlendName(t), t.vertexCount)];
        e.seconds += t.seconds;
        e.pixels += t.pixels;
        ++e.count;
    }
    void Print(int frames) const
    {
        std::vector<std::pair<Key, Entry>> sorted(m_entries.begin(), m_entries.end());
        std::sort(sorted.begin(), sorted.end(),
                  [](const auto& a, const auto& b) { return a.second.seconds > b.second.seconds; });
        double total = 0.0;
        for (const auto& [key, entry] : sorted)
            total += entry.seconds;
        double pixels = 0.0;
        for (const auto& [key, entry] : sorted)
            pixels += entry.pixels;
        std::printf("    draws a frame %.1f, their time %.2f ms a frame (finished one by one), %.2f screens "
                    "of pixels\n",
                    Count() / static_cast<double>(frames), 1000.0 * total / frames,
                    pixels / frames / m_screenPixels);
        std::printf("    %-28s %-18s %8s %9s %10s %6s\n", "texture", "blend", "vertices", "per frame",
                    "ms a frame", "share");
        for (size_t i = 0; i < sorted.size() && i < 40; ++i) {
            const auto& [key, entry] = sorted[i];
            std::printf("    %-28s %-10s %8u %9.1f %10.3f %5.1f%% %9.2f\n", std::get<0>(key).c_str(),
                        std::get<1>(key).c_str(), std::get<2>(key), entry.count / static_cast<double>(frames),
                        1000.0 * entry.seconds / frames, 100.0 * entry.seconds / total,
                        entry.pixels / frames / m_screenPixels);
        }
    }

private:
    using Key = std::tuple<std::string, std::string, uint32_t>;
    struct Entry {
        double seconds = 0.0;
        double pixels = 0.0;
        long count = 0;
    };
    long Count() const
    {
        long n = 0;
        for (const auto& [key, entry] : m_entries)
            n += entry.count;
        return n;
    }
    std::string Name(d3d::IDirect3DTexture8* texture) const
    {
        if (!texture)
            return "(none)";
        for (const CountedHandle<CTexture>& t : m_device.textures)
            if (t->texture.get() == texture)
                return t->name;
        return "(unregistered)";
    }
    static std::string BlendName(const d3d::DrawTiming& t)
    {
        if (!t.blend)
            return "opaque";
        if (t.sourceBlend == d3d::D3DBLEND_SRCALPHA && t.destinationBlend == d3d::D3DBLEND_INVSRCALPHA)
            return "alpha";
        if (t.sourceBlend == d3d::D3DBLEND_SRCALPHA && t.destinationBlend == d3d::D3DBLEND_ONE)
            return "additive";
        if (t.sourceBlend == d3d::D3DBLEND_ONE && t.destinationBlend == d3d::D3DBLEND_ONE)
            return "add";
        return std::to_string(t.sourceBlend) + "/" + std::to_string(t.destinationBlend);
    }
    CRenderDevice& m_device;
    double m_screenPixels;
    std::map<Key, Entry> m_entries;
};

// The PNG of a scene's last timed frame: the name given when the run times
// one scene at one size, else the scene and size go before its extension.
std::string PngName(const Options& options, const char* scene, Size size)
{
    if (!options.scene.empty() && options.sizes.size() == 1)
        return options.png;
    const size_t dot = options.png.rfind('.');
    const size_t at = dot == std::string::npos || dot < options.png.rfind('/') ? options.png.size() : dot;
    std::string file = options.png;
    file.insert(at,
                "-" + std::string(scene) + "-" + std::to_string(size.width) + "x" + std::to_string(size.height));
    return file;
}

// Times `frames` frames of `step` (which draws one frame and may play), and
// with --draws times 120 more draw by draw; with --png writes the last.
void TimeFrames(GlGame& game, const Options& options, const char* scene, Size size,
                const std::function<void()>& step)
{
    const double cpu0 = CpuSeconds(), wall0 = WallSeconds();
    for (int i = 0; i < options.frames; ++i)
        step();
    const double cpu = CpuSeconds() - cpu0, wall = WallSeconds() - wall0;
    std::printf("%-8s %4dx%-4d %9.2f ms %9.1f\n", scene, size.width, size.height, 1000.0 * cpu / options.frames,
                options.frames / wall);
    std::fflush(stdout);
    if (options.draws) {
        DrawCosts costs(*game.renderer->device, size);
        d3d::SetDrawTimer(game.Device(), [&](const d3d::DrawTiming& t) { costs.Add(t); });
        constexpr int kTimedFrames = 120;
        for (int i = 0; i < kTimedFrames; ++i)
            step();
        d3d::SetDrawTimer(game.Device(), {});
        costs.Print(kTimedFrames);
        std::fflush(stdout);
    }
    if (!options.png.empty()) {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        const std::string file = PngName(options, scene, size);
        if (!game.Grab(&pixels, &width, &height, file))
            std::printf("    the frame could not be written to %s\n", file.c_str());
    }
}

void RunScenes(const Options& options, Size size)
{
    auto wanted = [&](const char* name) { return options.scene.empty() || options.scene == name; };
    if (wanted("menu")) {
        testing_support::ScratchDir user;
        gl_game::MakeBenchPlayer(user.Path());
        plat::SeedRandom(3);
        GlGame game(size, user.Path(), gl_game::Presenting::Unpaced);
        if (!gl_game::ToTheMenu(game)) {
            std::printf("menu: the game did not reach the main menu\n");
            return;
        }
        game.Frame(); // the first frame draws what the menu's fade left
        TimeFrames(game, options, "menu", size, [&] { game.Frame(); });
    }
    if (wanted("play") || wanted("results") || wanted("shop")) {
        testing_support::ScratchDir user;
        gl_game::MakeBenchPlayer(user.Path());
        plat::SeedRandom(3);
        GlGame game(size, user.Path(), gl_game::Presenting::Unpaced);
        gl_game::Player player(game);
        if (!gl_game::ToLevelInPlay(game, options.level, player, 5.0f)) {
            std::printf("play: the game did not reach level %d\n", options.level);
            return;
        }
        auto play = [&] {
            player.Frame();
            game.Frame();
        };
        if (wanted("play"))
            TimeFrames(game, options, "play", size, play);
        if (!wanted("results") && !wanted("shop"))
            return;
        game->services.board->SetGemCounts(0, game->services.board->GemsToPlace());
        if (!game.RunUntil([&] { return game->flow.IsIn<CLevelResults>(); }, 10.0f)) {
            std::printf("results: the level did not end\n");
            return;
        }
        // The tally runs about seven seconds; the frames after it hold its end.
        if (wanted("results"))
            TimeFrames(game, options, "results", size, [&] { game.Frame(); });
        if (!wanted("shop"))
            return;
        if (!game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 20.0f))
            return;
        game.ClickId(game->services.screens->statistics.form, Command::ResultsContinue);
        for (float t = 0.0f; t < 30.0f && !game->flow.IsIn<CShopVisit>(); t += kFrame) {
            if (game->flow.IsIn<CBetweenLevels>() && game->flow.WaitsForPlayer())
                game->OnKeyDown(32);
            game.Frame();
        }
        if (!game.RunUntil(
                [&] {
                    return GlGame::Shown(game->services.screens->shop.form) &&
                           game->services.shop->OpenFraction() >= 1.0f;
                },
                10.0f)) {
            std::printf("shop: the shop did not open\n");
            return;
        }
        TimeFrames(game, options, "shop", size, [&] { game.Frame(); });
    }
}

// One start of the game in this process, exec'd by RunStartups: when the
// loading picture was first drawn and when loading ended, in milliseconds
// after `execNanoseconds`, and the memory at the main menu; before them a
// line "step <ms> <name>" for the end of each part of start-up.
int StartOnce(const std::string& userFolder, int64_t execNanoseconds, Size size)
{
    double firstDraw = -1.0;
    auto since = [&] { return (RealtimeNanoseconds() - execNanoseconds) / 1e6; };
    auto mark = [&](const char* step) { std::printf("step %.2f %s\n", since(), step); };
    mark("exec to main");
    std::string why;
    plat::InitVideo(&why);
    mark("video");
    SetDataFoldersForTests(userFolder, userFolder);
    for (const char* sub : {"Players", "Data", "Data\\Config"})
        plat::CreateDirectory(userFolder + sub);
    SetLogName(userFolder + "Objects.log");
    ClearLog();
    auto window = std::make_unique<plat::Window>("frame_gl_bench", size.width, size.height, Proc);
    mark("window");
    std::unique_ptr<d3d::IDirect3D8> direct3d = d3d::CreateDirect3D();
    DisplaySettings settings;
    ReadDisplaySettings();
    GetDisplaySettings(&settings);
    settings.width = size.width;
    settings.height = size.height;
    settings.fullScreen = 0;
    auto renderer = MakeCountedHandle(new CSceneRenderer());
    if (!direct3d || d3d::Failed(renderer->CreateDevice(&settings, direct3d.get(), window.get(), d3d::D3DFMT_D16)))
        return 3;
    SetDisplaySettings(settings);
    WriteDisplaySettings();
    mark("device");
    d3d::SetDrawTimer(renderer->device->Device(), [&](const d3d::DrawTiming&) {
        if (firstDraw < 0.0)
            firstDraw = since();
    });
    auto game = MakeCountedHandle(new CGame(renderer));
    renderer.Reset();
    game->services.loadStepDone = mark;
    if (game->Init(window.get(), nullptr) != 1)
        return 4;
    mark("after the load table");
    const double loaded = since();
    game->services.loadStepDone = {};
    d3d::SetDrawTimer(game->services.device->Device(), {});
    // Two seconds at the menu, each frame drawn to its end before the next
    // as a paced game's is.
    for (int i = 0; i < 120; ++i) {
        game->Frame(kFrame, 1, 0);
        d3d::FinishDrawing(game->services.device->Device());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const struct mallinfo2 heap = mallinfo2();
    std::printf("%.1f %.1f %.1f %.1f\n", firstDraw, loaded, usage.ru_maxrss / 1024.0,
                static_cast<double>(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0));
    std::fflush(stdout);
    game->SaveQuestOnExit();
    game.Reset();
    direct3d.reset();
    window.reset();
    plat::ShutdownVideo();
    return 0;
}

// What each part of start-up took, as the median over the warm starts, in
// start-up's order.
class StartupSteps {
public:
    // Takes one start's "step" lines.
    void Add(const std::string& output)
    {
        double last = 0.0;
        size_t at = 0;
        std::map<std::string, double> run;
        std::string previous;
        while ((at = output.find("step ", at)) != std::string::npos) {
            double ms = 0.0;
            char text[128] = {};
            if (std::sscanf(output.c_str() + at, "step %lf %127[^\n]", &ms, text) == 2) {
                // Loading frames are told apart by the step they follow.
                const std::string name =
                    std::strcmp(text, "loading frame") == 0 ? "  its loading frame (" + previous + ")" : text;
                previous = text;
                if (std::find(m_order.begin(), m_order.end(), name) == m_order.end())
                    m_order.push_back(name);
                run[name] += ms - last;
                last = ms;
            }
            at += 5;
        }
        for (const auto& [name, ms] : run)
            m_times[name].push_back(ms);
    }
    void Print() const
    {
        std::printf("%-48s %6s\n", "part of a warm start (median)", "ms");
        for (const std::string& name : m_order) {
            std::vector<double> times = m_times.at(name);
            std::sort(times.begin(), times.end());
            std::printf("%-48s %6.1f\n", name.c_str(), times[times.size() / 2]);
        }
    }

private:
    std::vector<std::string> m_order;
    std::map<std::string, std::vector<double>> m_times;
};

// Starts the game `runs` times in a process of its own each: the first with
// a fresh user folder, the others in the folder the first left (warm).
void RunStartups(Size size, int runs)
{
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return;
    testing_support::ScratchDir user;
    StartupSteps steps;
    std::printf("start      loading picture   end of loading   peak memory   heap at the menu\n");
    for (int run = 0; run < runs; ++run) {
        char nanoseconds[32];
        std::snprintf(nanoseconds, sizeof nanoseconds, "%lld", static_cast<long long>(RealtimeNanoseconds()));
        int out[2];
        if (pipe(out) != 0)
            return;
        const pid_t child = fork();
        if (child == 0) {
            dup2(out[1], 1);
            close(out[0]);
            const std::string sizeText = std::to_string(size.width) + "x" + std::to_string(size.height);
            std::snprintf(nanoseconds, sizeof nanoseconds, "%lld", static_cast<long long>(RealtimeNanoseconds()));
            execl(self, self, "--start-once", user.Path().c_str(), nanoseconds, sizeText.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        std::string output;
        char buffer[4096];
        for (ssize_t got = 0; (got = read(out[0], buffer, sizeof buffer)) > 0;)
            output.append(buffer, static_cast<size_t>(got));
        close(out[0]);
        int status = 0;
        waitpid(child, &status, 0);
        const size_t lastLine = output.rfind('\n', output.size() > 1 ? output.size() - 2 : 0);
        const std::string line = output.substr(lastLine == std::string::npos ? 0 : lastLine + 1);
        double picture = 0, loaded = 0, peak = 0, heap = 0;
        if (std::sscanf(line.c_str(), "%lf %lf %lf %lf", &picture, &loaded, &peak, &heap) != 4) {
            std::printf("%-10s failed (status %d)\n", run == 0 ? "first" : "warm", status);
            continue;
        }
        if (run > 0)
            steps.Add(output);
        std::printf("%-10s %12.0f ms %13.0f ms %10.0f MiB %12.1f MiB\n", run == 0 ? "first" : "warm", picture,
                    loaded, peak, heap);
        std::fflush(stdout);
    }
    steps.Print();
}

bool ParseSize(const char* text, Size* size)
{
    return std::sscanf(text, "%dx%d", &size->width, &size->height) == 2 && size->width >= 320 &&
           size->height >= 240;
}

} // namespace

int main(int argc, char** argv)
{
    // The offscreen driver, and a rasteriser thread count that does not
    // follow the machine.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("LP_NUM_THREADS", "4", 0);
    if (chdir(GALVORINE_GAME_DIR) != 0)
        return 2;
    if (argc == 5 && std::strcmp(argv[1], "--start-once") == 0) {
        Size size;
        ParseSize(argv[4], &size);
        return StartOnce(argv[2], std::atoll(argv[3]), size);
    }
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        Size size;
        if (arg == "--draws") {
            options.draws = true;
        } else if (arg == "--startup") {
            options.startup = true;
        } else if (arg == "--size" && i + 1 < argc && ParseSize(argv[i + 1], &size)) {
            options.sizes.push_back(size);
            ++i;
        } else if (arg == "--frames" && i + 1 < argc) {
            options.frames = std::max(10, std::atoi(argv[++i]));
        } else if (arg == "--scene" && i + 1 < argc) {
            options.scene = argv[++i];
        } else if (arg == "--level" && i + 1 < argc) {
            options.level = std::clamp(std::atoi(argv[++i]), 2, 41);
        } else if (arg == "--png" && i + 1 < argc) {
            options.png = argv[++i];
        } else {
            std::fprintf(stderr, "usage: frame_gl_bench [--draws] [--startup] [--size WxH]... [--frames N] "
                                 "[--scene menu|play|results|shop] [--png FILE] [--level N]\n");
            return 1;
        }
    }
    if (options.sizes.empty())
        options.sizes = {Size{640, 480}, Size{800, 600}};
    std::printf("LP_NUM_THREADS=%s, SDL_VIDEODRIVER=%s\n", std::getenv("LP_NUM_THREADS"),
                std::getenv("SDL_VIDEODRIVER"));
    {
        testing_support::ScratchDir user;
        gl_game::MakeBenchPlayer(user.Path());
        GlGame probe(options.sizes.front(), user.Path(), gl_game::Presenting::Unpaced);
        std::printf("renderer: %s\n", probe.started ? d3d::DeviceRendererName(probe.Device()).c_str() : "(none)");
    }
    if (options.startup) {
        RunStartups(options.sizes.front(), 6);
        return 0;
    }
    std::printf("scene         size      CPU a frame   frames a second (%d frames, unpaced)\n", options.frames);
    for (const Size& size : options.sizes)
        RunScenes(options, size);
    return 0;
}
