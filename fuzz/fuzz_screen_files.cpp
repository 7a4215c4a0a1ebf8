// The story ("Story.txt") and the GUI's texture list ("Textures.lst"), both
// from the same text: the story always has its forty texts, and every entry
// of the list has a file, a name and 0..2 mip levels.
#include "FuzzInput.h"
#include "engine/Log.h"
#include "screens/ScreenFiles.h"

using fuzz_input::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SetLogName("/dev/null"), true);
    (void)quiet;
    std::vector<std::string> story;
    Check(ReadStoryFile(fuzz_input::Write("Story.txt", data, size), 40, &story));
    Check(story.size() == 40);

    std::vector<TextureListEntry> entries;
    Check(ReadTextureList(fuzz_input::Write("Textures.lst", data, size), &entries));
    for (const TextureListEntry& e : entries)
        Check(e.mips <= 2);
    return 0;
}
