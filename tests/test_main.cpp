#include "TestSupport.h"
#include "engine/Log.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Every test starts the shared generator where a process starts it (1) and
// the GUIDs on a fixed stream, so that what it draws is the same on every
// run and whatever ran before it in the same process (a repeat, a shuffled
// order, a filter). A test that wants other draws seeds them itself.
class FixedDraws : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        plat::SeedRandom(1);
        plat::SeedGuids(1);
    }
};

} // namespace

int main(int argc, char** argv)
{
    // Headless by default; an explicit environment still wins.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("GALVORINE_NO_DIALOGS", "1", 0);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FixedDraws);
    testing_support::ResetDataFolders();
    int result = RUN_ALL_TESTS();
    // Tests run in the installation folder and write nothing there: a test
    // that leaves the log relative to it would have the next lines land there
    // (destructors log after the test's own checks).
    if (GetLogPath().empty() || GetLogPath()[0] != '/') {
        std::fprintf(stderr, "A test left the log in the working folder: %s\n", GetLogPath().c_str());
        result = 1;
    }
    testing_support::RemoveRunFolder();
    return result;
}
