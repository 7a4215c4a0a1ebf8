// Where a picture set writes its files: the writer picks the format from the
// extension, and every file written is read back at the end so that a broken
// asset fails the build.
#pragma once

#include <string>
#include <vector>

#include "image.h"

namespace gfx {

class Output {
public:
    // `root` is the installation folder; pictures go to Data/Gfx, fonts to
    // Data/Fonts.
    explicit Output(const std::string& root);

    const std::string& GfxDir() const { return gfxDir_; }
    const std::string& FontsDir() const { return fontsDir_; }

    // Writes <Data/Gfx>/<name>; the extension picks PNG, JPEG, TGA or BMP.
    bool Save(const std::string& name, const Image& img);
    // Writes <stem>.jpg and its grey "_alpha" companion of the same size.
    bool SaveWithAlpha(const std::string& stem, const Image& img);
    // The same at a high quality with every texel's own colour, for pictures
    // seen large and up close: the pair is read back and measured against
    // the picture, and one whose 8 x 8 blocks would show fails.
    bool SaveUnblockedWithAlpha(const std::string& stem, const Image& img);
    // Records a file written by other means, to be checked for its size in
    // bytes (or, with 0, for being a readable picture).
    void Record(const std::string& path, size_t bytes);
    // A picture whose size need not be a power of two.
    void AllowAnySize(const std::string& name);

    // Reads every recorded file back; prints what is wrong and returns false.
    bool Verify() const;
    size_t Count() const { return files_.size(); }

private:
    struct File {
        std::string path;
        int w, h;     // 0 when only readability is checked
        size_t bytes; // non-zero for files that are not pictures
        bool anySize;
    };
    std::string gfxDir_;
    std::string fontsDir_;
    std::vector<File> files_;
    std::vector<std::string> anySize_;
};

// Runs one picture set: `write` fills the output; the set's files are read
// back. Returns the process exit code.
int RunSet(int argc, char** argv, const char* setName, bool (*write)(Output&));

} // namespace gfx
