#include "TestSupport.h"

#include "engine/Log.h"
#include "platform/Files.h"

#include <cstdio>
#include <cstdlib>
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

LogCapture::LogCapture()
{
    char pattern[] = "/tmp/galvorine-log-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("no log folder");
    m_folder = std::string(pattern) + "/";
    const std::string user = GetUserDataFolder();
    const std::string shared = GetSharedDataFolder();
    const bool perUser = HasUserDataFolders() != 0;
    SetDataFoldersForTests(m_folder, "");
    SetLogName("test.log");
    SetDataFoldersForTests(perUser ? user : "", shared);
    ClearLog();
}

LogCapture::~LogCapture()
{
    std::remove((m_folder + "test.log").c_str());
    rmdir(m_folder.c_str());
    SetLogName("Objects.log");
}

std::string LogCapture::Text() const { return ReadText(m_folder + "test.log"); }
void LogCapture::Clear() const { ClearLog(); }

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
