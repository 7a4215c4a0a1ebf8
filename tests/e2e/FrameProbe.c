// The walks' probe, put into the game with LD_PRELOAD: it counts the frames
// the game shows and can stop the game after a given one, and it notes what
// the frame pacer decides.
//
// GALVORINE_FRAMES=<file>   the number of frames shown so far, rewritten
//                           after each swap: a walk waits for frames, not
//                           for time, however slow the machine draws.
// GALVORINE_HOLD_AT=<file>  a frame number a walk writes there: the game
//                           stops itself (SIGSTOP) right after showing that
//                           frame (or the next, when it has gone by), and
//                           goes on when the walk sends SIGCONT.
//                           With a fixed step a frame (GALVORINE_FRAME_STEP)
//                           the walk can so look at the game at an exact
//                           time of its own clock.
// GALVORINE_FRAME_PROBE=<file> the pacer's decisions: the first monotonic
//                           reading after each swap ("n <ns>", the one the
//                           pacer decides on) and the absolute sleeps that
//                           follow it ("s <ns>"), both counted from the
//                           first such reading: small numbers, which a
//                           reader holding them as doubles keeps exact
//                           however long the machine has been up.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static int g_pacerNotes = -1;
static int g_frames = -1;
static int g_holdAt = -1;
static long long g_shown = 0;
static long long g_heldAt = 0;
// The thread that swaps is the one that draws; the flag is set when its swap
// returns and cleared by its next reading of the clock.
static _Thread_local bool t_draws = false;
static _Thread_local bool t_afterSwap = false;

static int OpenNamed(const char* variable, int flags)
{
    const char* file = getenv(variable);
    return file && *file ? open(file, flags | O_CLOEXEC, 0600) : -1;
}

// The probe is the game's alone: a process the game starts (the sanitizers'
// symbolizer at exit) must neither load it nor empty the files it keeps.
__attribute__((constructor)) static void OpenTheFiles(void)
{
    g_pacerNotes = OpenNamed("GALVORINE_FRAME_PROBE", O_WRONLY | O_CREAT | O_TRUNC | O_APPEND);
    g_frames = OpenNamed("GALVORINE_FRAMES", O_WRONLY | O_CREAT | O_TRUNC);
    g_holdAt = OpenNamed("GALVORINE_HOLD_AT", O_RDONLY | O_CREAT);
    unsetenv("LD_PRELOAD");
    unsetenv("GALVORINE_FRAME_PROBE");
    unsetenv("GALVORINE_FRAMES");
    unsetenv("GALVORINE_HOLD_AT");
}

static void Note(char kind, int64_t nanoseconds)
{
    static bool started = false;
    static int64_t origin = 0;
    if (g_pacerNotes < 0)
        return;
    if (!started) {
        started = true;
        origin = nanoseconds;
    }
    char line[40];
    const int n = snprintf(line, sizeof line, "%c %lld\n", kind, (long long)(nanoseconds - origin));
    if (n > 0 && write(g_pacerNotes, line, (size_t)n) < 0)
        g_pacerNotes = -1;
}

// The count goes out whole in one write of a fixed width, so that a walk
// reading it meanwhile sees the old number or the new one.
static void CountTheFrame(void)
{
    ++g_shown;
    if (g_frames >= 0) {
        char line[24];
        const int n = snprintf(line, sizeof line, "%20lld\n", g_shown);
        if (n > 0 && pwrite(g_frames, line, (size_t)n, 0) < 0)
            g_frames = -1;
    }
    // A frame asked for that has gone by already (the walk asked late)
    // holds the game at the next one; each number holds it once.
    if (g_holdAt >= 0) {
        char text[24] = {0};
        const long long wanted = pread(g_holdAt, text, sizeof text - 1, 0) > 0 ? atoll(text) : 0;
        if (wanted > g_heldAt && g_shown >= wanted) {
            g_heldAt = wanted;
            raise(SIGSTOP);
        }
    }
}

void SDL_GL_SwapWindow(void* window)
{
    static void (*real)(void*) = NULL;
    if (!real)
        real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    t_draws = t_afterSwap = true;
    CountTheFrame();
}

int clock_gettime(clockid_t clock, struct timespec* now)
{
    static int (*real)(clockid_t, struct timespec*) = NULL;
    if (!real)
        real = (int (*)(clockid_t, struct timespec*))dlsym(RTLD_NEXT, "clock_gettime");
    const int result = real(clock, now);
    if (t_afterSwap && clock == CLOCK_MONOTONIC && result == 0) {
        t_afterSwap = false;
        Note('n', (int64_t)now->tv_sec * 1000000000 + now->tv_nsec);
    }
    return result;
}

int clock_nanosleep(clockid_t clock, int flags, const struct timespec* until, struct timespec* left)
{
    static int (*real)(clockid_t, int, const struct timespec*, struct timespec*) = NULL;
    if (!real)
        real =
            (int (*)(clockid_t, int, const struct timespec*, struct timespec*))dlsym(RTLD_NEXT, "clock_nanosleep");
    if (t_draws && clock == CLOCK_MONOTONIC && (flags & TIMER_ABSTIME))
        Note('s', (int64_t)until->tv_sec * 1000000000 + until->tv_nsec);
    return real(clock, flags, until, left);
}
