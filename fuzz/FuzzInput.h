// What the reader targets share: the input written to a file of the reader's
// own name in a private scratch folder, and a check that stops the fuzzer.
#pragma once

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

} // namespace fuzz_input
