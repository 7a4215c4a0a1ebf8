// Helpers shared by the tests: a scratch folder per test and small file
// utilities.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// A fresh empty folder below the system's temporary folder, removed with
// everything in it when the object goes away. Path() ends in "/".
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// Points the log at a file of its own for the test's lifetime.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    std::string Text() const;
    void Clear() const;

private:
    std::string m_folder;
};

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
std::vector<unsigned char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

} // namespace testing_support
