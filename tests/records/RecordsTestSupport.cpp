#include "RecordsTestSupport.h"

#include "engine/Log.h"

LoggedScratch::LoggedScratch()
{
    SetDataFoldersForTests(m_dir.Path(), m_dir.Path());
    SetLogName("Objects.log");
    ClearLog();
}

LoggedScratch::~LoggedScratch() { testing_support::ResetDataFolders(); }

std::string LoggedScratch::TakeLog()
{
    const std::string text = testing_support::ReadText(GetLogPath());
    ClearLog();
    return text;
}

void PutWord(std::vector<uint8_t>& bytes, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
}
