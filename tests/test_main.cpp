#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Headless by default; an explicit environment still wins.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("GALVORINE_NO_DIALOGS", "1", 0);
    ::testing::InitGoogleTest(&argc, argv);
    testing_support::ResetDataFolders();
    const int result = RUN_ALL_TESTS();
    testing_support::RemoveRunFolder();
    return result;
}
