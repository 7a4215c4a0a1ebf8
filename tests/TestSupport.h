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

// The folder of this test run's own files, the log among them; the test
// main removes it at the end. Tests run in the installation folder and write
// nothing there.
const std::string& RunFolder();
// No per-user data folders, and the log in the run folder.
void ResetDataFolders();
// The log in the run folder, the data folders left as they are.
void UseRunLog();
void RemoveRunFolder();

// Sets an environment variable for the scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had = false;
    std::string m_old;
};

// Makes `path` the working folder for the scope.
class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const std::string& path);
    ~ScopedWorkingFolder();
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

private:
    std::string m_old;
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
    // The text logged since the last Clear or Take, and a clear log.
    std::string Take() const;

private:
    std::string m_folder;
};

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
std::vector<unsigned char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

} // namespace testing_support
