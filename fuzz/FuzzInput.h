// What the reader targets share: the input written to a file of the reader's
// own name in a private scratch folder, and a check that stops the fuzzer.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace fuzz_input {

inline void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A folder of this process's own, ending with "/".
inline const std::string& Folder()
{
    static const std::string folder = [] {
        std::string f = "/tmp/galvorine_fuzz_" + std::to_string(getpid()) + "/";
        mkdir(f.c_str(), 0755);
        return f;
    }();
    return folder;
}

// Writes `size` bytes as `name` in the folder; returns its path.
inline std::string Write(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = Folder() + name;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size)
            std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}

// The same for a settings file read key by key: its time of change is put
// long before now, as an installed file's is, so that the INI reader reads
// it once instead of once for every key (which it does for a file changed
// within a tick of the clock). The caller forgets what was read of it.
inline std::string WriteSettled(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = Write(name, data, size);
    const timespec times[2] = {{0, UTIME_OMIT}, {1, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
    return path;
}

} // namespace fuzz_input
