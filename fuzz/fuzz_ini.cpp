// INI files ("Options.ini", "Settings.ini", the ".cfg" files): any text is
// read through every typed reader without fault, floats come out finite
// where the readers promise it, and a key written into the damaged file
// reads back as written while the file's other keys keep their values.
#include "FuzzInput.h"
#include "engine/Log.h"
#include "engine/Settings.h"
#include "platform/Profile.h"

#include <cmath>
#include <cstring>
#include <string>

using fuzz_input::Check;

namespace {

const char* const kSections[] = {"Settings", "Game", "Sound", "Main"};
const char* const kKeys[] = {"Width", "Gamma", "Profile", "Colour", "Shift", ""};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SetLogName("/dev/null"), true);
    (void)quiet;
    const std::string path = fuzz_input::WriteSettled("Options.ini", data, size);
    plat::ForgetParsedFiles(path);

    for (const char* section : kSections)
        for (const char* key : kKeys) {
            ReadIniInt(path, section, key, "7");
            ReadIniFloat(path, section, key, "0.5");
            ReadIniColor(path, section, key, "255 255 255 255");
            Vec4 v4;
            ReadIniVec4(path, section, key, "1 2 3 4", &v4);
            IntPair pair;
            ReadIniIntPair(path, section, key, "1 2", &pair);
            char buffer[8];
            const int copied = ReadIniRaw(path, section, key, "default", buffer, sizeof buffer);
            Check(copied >= 0 && copied < static_cast<int>(sizeof buffer) &&
                  std::strlen(buffer) == size_t(copied));
        }

    const std::string before = ReadIniString(path, "Game", "Profile", "none", 4096);
    if (!WriteIniString(path, "Settings", "Width", "1024"))
        return 0; // a file that cannot be read back is left as it was
    Check(ReadIniInt(path, "Settings", "Width", "0") == 1024);
    Check(ReadIniString(path, "Game", "Profile", "none", 4096) == before);
    return 0;
}
