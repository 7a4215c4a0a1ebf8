// Operating-system services the game needs beyond the window: time, the
// pseudo-random generator, GUIDs, the single-instance guard, message boxes
// and handing a file to the desktop's opener.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace plat {

// Milliseconds since system start, as a wrapping 32-bit counter.
uint32_t TimeGetTime();
// The game raises the timer resolution for its whole run; our clock is
// always precise, so these only keep the call sites honest.
inline void TimeBeginPeriod(unsigned) {}
inline void TimeEndPeriod(unsigned) {}
inline unsigned TimerMinPeriod() { return 1; }

// For the end-to-end walks only: with GALVORINE_FRAME_STEP=<milliseconds>
// (more than 0, at most 500) every frame moves the game on by exactly that,
// however long it took, so that a walk which stops the process while it
// looks finds everything where it saw it when it lets the game go on. 0 when
// unset or unreadable: frames move the game by the time that passed.
double FixedFrameStepMs();

// For tests only: with GALVORINE_SEED=<number> (decimal, 0 to 4294967295)
// the game seeds its random numbers with that number instead of the clock,
// so that a walk plays the same game every time and a failure can be played
// again. Nothing when unset or unreadable.
std::optional<uint32_t> FixedSeed();

// Nanoseconds of a monotonic clock, and a precise sleep until such a time.
int64_t MonotonicNanoseconds();
void SleepUntil(int64_t nanoseconds);

// Holds presented frames to one per period when the swap itself does not
// wait for the display (drivers that refuse a swap interval, as Xvfb's
// does): after each swap it sleeps out what is left of the period since the
// frame before. A frame that came late is not made up for by hurrying the
// next ones.
class FramePacer {
public:
    using Clock = int64_t (*)();
    using Sleep = void (*)(int64_t until);
    explicit FramePacer(Clock clock = MonotonicNanoseconds, Sleep sleep = SleepUntil)
        : m_clock(clock), m_sleep(sleep)
    {}
    // 0 lets every frame through at once.
    void SetPeriod(int64_t nanoseconds);
    int64_t Period() const { return m_period; }
    void AfterSwap();

private:
    Clock m_clock;
    Sleep m_sleep;
    int64_t m_period = 0;
    int64_t m_frameStart = -1; // when the frame being drawn was let go
};

// A 15-bit linear congruential generator: Rand() yields 0..RandMax, both
// included, so callers dividing by RandMax can reach exactly 1.0.
constexpr int RandMax = 32767;
void SeedRandom(uint32_t seed);
int Rand();

// A 16-byte GUID filled from the system's random source (version 4).
// After SeedGuids() the bytes come from a stream of their own seeded with
// that number instead (a test's fixed game), until UnseedGuids().
struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};
bool operator==(const Guid& a, const Guid& b);
inline bool operator!=(const Guid& a, const Guid& b) { return !(a == b); }
bool CreateGuid(Guid* out);
void SeedGuids(uint32_t seed);
void UnseedGuids();

// Holds an exclusive lock on a file named after `name` in the runtime folder
// for as long as the object lives. Acquire() returns false when another
// process holds it already.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    bool Acquire(const std::string& name);

private:
    int m_fd = -1;
};

// Message box flags the game uses.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;

// Shows a modal box with one OK button. With GALVORINE_NO_DIALOGS=1, or when
// no display can show it, the caption and the text go to standard error.
void MessageBox(const std::string& text, const std::string& caption, unsigned flags);

// Opens `path` with the desktop's registered handler without waiting for it.
void ShellOpen(const std::string& path);

// Makes the folder of the running executable the working folder, as a
// desktop shortcut's "start in" does: the game's data lies beside it. False
// (and the working folder unchanged) when the executable cannot be found.
bool EnterExecutableFolder();

} // namespace plat
