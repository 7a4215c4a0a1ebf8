#include "platform/System.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace plat {

int64_t MonotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

uint32_t TimeGetTime()
{
    // Counted from system start, not from our own: the game seeds its random
    // generator with the first reading, which must differ from run to run.
    return static_cast<uint32_t>(MonotonicNanoseconds() / 1000000);
}

double FixedFrameStepMs()
{
    const char* value = std::getenv("GALVORINE_FRAME_STEP");
    if (!value || !*value)
        return 0.0;
    char* end = nullptr;
    const double ms = std::strtod(value, &end);
    return *end == '\0' && std::isfinite(ms) && ms > 0.0 && ms <= 500.0 ? ms : 0.0;
}

std::optional<uint32_t> FixedSeed()
{
    const char* value = std::getenv("GALVORINE_SEED");
    if (!value || *value < '0' || *value > '9')
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long seed = std::strtoull(value, &end, 10);
    if (*end != '\0' || errno == ERANGE || seed > UINT32_MAX)
        return std::nullopt;
    return static_cast<uint32_t>(seed);
}

void SleepUntil(int64_t nanoseconds)
{
    const timespec until{static_cast<time_t>(nanoseconds / 1000000000),
                         static_cast<long>(nanoseconds % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

void FramePacer::SetPeriod(int64_t nanoseconds)
{
    m_period = std::max<int64_t>(nanoseconds, 0);
    m_frameStart = -1;
}

void FramePacer::AfterSwap()
{
    const int64_t now = m_clock();
    if (m_period > 0 && m_frameStart >= 0 && now - m_frameStart < m_period) {
        // The next frame starts one period after this one did, not when the
        // sleep happens to end, so the rate holds however the sleep rounds.
        m_frameStart += m_period;
        m_sleep(m_frameStart);
    } else {
        m_frameStart = now;
    }
}

namespace {
uint32_t g_randState = 1;
}

void SeedRandom(uint32_t seed) { g_randState = seed; }

int Rand()
{
    g_randState = g_randState * 214013u + 2531011u;
    return static_cast<int>((g_randState >> 16) & 0x7fff);
}

bool operator==(const Guid& a, const Guid& b)
{
    return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
           std::memcmp(a.data4, b.data4, sizeof a.data4) == 0;
}

namespace {
// The fixed stream of SeedGuids(): splitmix64, whose every output is a
// well-mixed 64-bit word however plain the seed.
std::optional<uint64_t> g_guidState;

uint64_t NextGuidWord(uint64_t& state)
{
    uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}
} // namespace

void SeedGuids(uint32_t seed) { g_guidState = seed; }
void UnseedGuids() { g_guidState.reset(); }

bool CreateGuid(Guid* out)
{
    uint8_t bytes[16];
    size_t got = 0;
    if (g_guidState) {
        for (size_t word = 0; word < 2; ++word) {
            const uint64_t value = NextGuidWord(*g_guidState);
            std::memcpy(bytes + 8 * word, &value, 8);
        }
        got = sizeof bytes;
    }
    while (got < sizeof bytes) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        got += static_cast<size_t>(n);
    }
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0f) | 0x40); // version 4
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3f) | 0x80); // RFC 4122 variant
    out->data1 = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
                 static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
    out->data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
    out->data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
    std::memcpy(out->data4, bytes + 8, 8);
    return true;
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool InstanceLock::Acquire(const std::string& name)
{
    std::string dir;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        dir = runtime;
    else
        dir = "/tmp";
    const std::string path = dir + "/" + name + "-" + std::to_string(getuid()) + ".lock";
    m_fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return true; // no lock file possible: better to run than to refuse
    if (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        close(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
}

namespace {
bool DialogsDisabled()
{
    const char* value = std::getenv("GALVORINE_NO_DIALOGS");
    return value && std::strcmp(value, "1") == 0;
}
} // namespace

void MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    if (!DialogsDisabled()) {
        const Uint32 kind = (flags & 0xF0) == MB_ICONSTOP ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_WARNING;
        if (SDL_ShowSimpleMessageBox(kind, caption.c_str(), text.c_str(), nullptr) == 0)
            return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void ShellOpen(const std::string& path)
{
    // Spawned without a shell and never waited for: a child that outlives us
    // is reparented, one that fails is simply gone.
    pid_t pid = 0;
    char opener[] = "xdg-open";
    std::string arg = path;
    char* argv[] = {opener, arg.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The game ignores SIGPIPE for its display's sake; an ignored signal stays
    // ignored across exec, and the opener and its pipelines expect the default.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    posix_spawnp(&pid, opener, &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
}

bool EnterExecutableFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return false;
    path[n] = '\0';
    char* slash = std::strrchr(path, '/');
    if (!slash)
        return false;
    *(slash == path ? slash + 1 : slash) = '\0';
    return chdir(path) == 0;
}

} // namespace plat
