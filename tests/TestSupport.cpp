#include "TestSupport.h"

#include "engine/Log.h"
#include "platform/Files.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace testing_support {

ScratchDir::ScratchDir()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/galvorine-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a scratch folder");
    m_path = pattern + "/";
}

ScratchDir::~ScratchDir() { plat::RemoveDirectoryTree(m_path.substr(0, m_path.size() - 1)); }

namespace {
std::unique_ptr<ScratchDir>& Run()
{
    static std::unique_ptr<ScratchDir> run;
    return run;
}
} // namespace

const std::string& RunFolder()
{
    if (!Run())
        Run() = std::make_unique<ScratchDir>();
    return Run()->Path();
}

void RemoveRunFolder() { Run().reset(); }

namespace {
// The log at `path`, whatever the data folders are, which stay as they are.
void PointLogAt(const std::string& path)
{
    const std::string user = GetUserDataFolder();
    const std::string shared = GetSharedDataFolder();
    const bool perUser = HasUserDataFolders() != 0;
    SetDataFoldersForTests("", "");
    SetLogName(path);
    SetDataFoldersForTests(perUser ? user : "", shared);
}
} // namespace

void UseRunLog() { PointLogAt(RunFolder() + "Objects.log"); }

void ResetDataFolders()
{
    SetDataFoldersForTests("", "");
    SetLogName(RunFolder() + "Objects.log");
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name)
{
    const char* old = std::getenv(name);
    m_had = old != nullptr;
    if (old)
        m_old = old;
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (m_had)
        setenv(m_name, m_old.c_str(), 1);
    else
        unsetenv(m_name);
}

ScopedWorkingFolder::ScopedWorkingFolder(const std::string& path)
{
    char old[4096];
    if (!getcwd(old, sizeof old) || chdir(path.c_str()) != 0)
        throw std::runtime_error("cannot change to " + path);
    m_old = old;
}

ScopedWorkingFolder::~ScopedWorkingFolder()
{
    if (chdir(m_old.c_str()) != 0)
        std::perror("chdir");
}

LogCapture::LogCapture()
{
    char pattern[] = "/tmp/galvorine-log-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("no log folder");
    m_folder = std::string(pattern) + "/";
    PointLogAt(m_folder + "test.log");
    ClearLog();
}

LogCapture::~LogCapture()
{
    std::remove((m_folder + "test.log").c_str());
    rmdir(m_folder.c_str());
    UseRunLog();
}

std::string LogCapture::Text() const { return ReadText(m_folder + "test.log"); }
void LogCapture::Clear() const { ClearLog(); }

std::string LogCapture::Take() const
{
    const std::string text = Text();
    Clear();
    return text;
}

void WriteText(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

std::string ReadText(const std::string& path)
{
    const std::vector<unsigned char> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::vector<unsigned char> bytes;
    plat::ReadWholeFile(path, &bytes);
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

} // namespace testing_support
