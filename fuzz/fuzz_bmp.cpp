// The hand-written BMP readers: the gems bar's "BarGems.bmp" and the jungle
// scene's "JungleFlashMask.bmp", both from the same bytes. Any file is read
// or refused without fault; a mask that loads has its full size.
#include "FuzzInput.h"
#include "backgrounds/JungleBackground.h"
#include "board/GemsBar.h"
#include "engine/Log.h"

using fuzz_input::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SetLogName("/dev/null"), true);
    (void)quiet;
    CGemsBar bar;
    bar.LoadBarGems(fuzz_input::Write("BarGems.bmp", data, size));
    CJungleBackground jungle;
    if (jungle.LoadFlashMask(fuzz_input::Write("JungleFlashMask.bmp", data, size)))
        Check(jungle.FlashMask().size() ==
              static_cast<size_t>(CJungleBackground::kMaskWidth) * CJungleBackground::kMaskHeight);
    return 0;
}
