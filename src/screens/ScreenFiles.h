// The screens' own text files read into plain records, apart from the
// screens that use them: the story's texts and the list of the GUI's
// textures. Both readers take whatever a damaged file holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The texts of "Story.txt": a header line, then the texts, each ended by a
// line starting with "#". `texts` gets `count` entries, those the file does
// not fill blank; a file that leaves any blank is named in the log. False
// (after a log line) when the file cannot be read.
bool ReadStoryFile(const std::string& path, int count, std::vector<std::string>* texts);

// One entry of "Textures.lst": file name, texture name, "a" for a picture
// with alpha, and "p" for a picture whose alpha comes from a companion file,
// else the number of mip levels (0..2).
struct TextureListEntry {
    std::string file;
    std::string name;
    bool alpha = false;
    bool companion = false;
    uint32_t mips = 0;
};
// Entries of four tokens; one cut short by the end of the list is left out.
// False (after a log line) when the list cannot be opened.
bool ReadTextureList(const std::string& path, std::vector<TextureListEntry>* entries);
