// A scratch data folder with the log inside it, so a test can read the log
// lines its readers wrote.
#pragma once

#include "TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

class LoggedScratch {
public:
    LoggedScratch();
    ~LoggedScratch();
    LoggedScratch(const LoggedScratch&) = delete;
    LoggedScratch& operator=(const LoggedScratch&) = delete;

    std::string File(const std::string& name) const { return m_dir.File(name); }
    const std::string& Path() const { return m_dir.Path(); }
    // Everything logged since the last call.
    std::string TakeLog();

private:
    testing_support::ScratchDir m_dir;
};

// Little-endian words, written out by hand in the tests' expected images.
void PutWord(std::vector<uint8_t>& bytes, uint32_t word);
