#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {
// The log's stamp in the working folder (the installation folder), 0 when
// there is none.
long long LogStampInWorkingFolder()
{
    struct stat st {};
    return stat("Objects.log", &st) == 0
               ? static_cast<long long>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec
               : 0;
}
} // namespace

int main(int argc, char** argv)
{
    // Headless by default; an explicit environment still wins.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("GALVORINE_NO_DIALOGS", "1", 0);
    ::testing::InitGoogleTest(&argc, argv);
    testing_support::ResetDataFolders();
    const long long logBefore = LogStampInWorkingFolder();
    int result = RUN_ALL_TESTS();
    testing_support::RemoveRunFolder();
    // Tests write into folders of their own, never where they run.
    if (LogStampInWorkingFolder() != logBefore) {
        std::fprintf(stderr, "A test wrote Objects.log into the working folder\n");
        result = 1;
    }
    return result;
}
