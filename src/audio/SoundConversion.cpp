// The shipped effects are OGG files; the effects manager loads WAV files.
// The first start decodes every file of "Ogg.lst" into a WAV file in the
// writable sound folder and leaves a marker so later starts skip the work.
#include "audio/SoundManager.h"

#include "engine/Log.h"
#include "engine/Settings.h"
#include "engine/TextReader.h"
#include "platform/Audio.h"
#include "platform/Files.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace snd = plat::snd;

namespace {

void PutLe32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutLe16(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

bool WriteLe32At(FILE* file, long offset, uint32_t value)
{
    uint8_t bytes[4];
    PutLe32(bytes, value);
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fwrite(bytes, 1, 4, file) == 4;
}

} // namespace

int CSoundManager::ConvertOggToWav(const std::string& oggPath, const std::string& wavPath)
{
    const uint32_t stream = snd::StreamCreateFile(0, oggPath.c_str(), 0, 0, snd::STREAM_DECODE);
    if (!stream) {
        WriteLog("Unable to stream file ");
        WriteLog(oggPath);
        WriteLog("\n");
        return 0;
    }
    FILE* file = plat::OpenFile(wavPath, "wb");
    if (!file) {
        WriteLog("Unable to create file ");
        WriteLog(wavPath);
        WriteLog("\n");
        snd::StreamFree(stream);
        return 0;
    }

    snd::ChannelInfo info;
    snd::ChannelGetInfo(stream, &info);
    const uint32_t bits = (info.flags & snd::SAMPLE_8BITS) ? 8 : 16;
    const uint32_t align = info.chans * bits / 8;

    static const uint8_t kHead[20] = {'R', 'I', 'F', 'F', 0,   0,   0,  0, 'W', 'A',
                                      'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0,   0};
    uint8_t format[16];
    PutLe16(format + 0, 1);
    PutLe16(format + 2, info.chans);
    PutLe32(format + 4, info.freq);
    PutLe32(format + 8, align * info.freq);
    PutLe16(format + 12, align);
    PutLe16(format + 14, bits);
    static const uint8_t kData[8] = {'d', 'a', 't', 'a', 0, 0, 0, 0};
    bool ok = std::fwrite(kHead, 1, sizeof kHead, file) == sizeof kHead &&
              std::fwrite(format, 1, sizeof format, file) == sizeof format &&
              std::fwrite(kData, 1, sizeof kData, file) == sizeof kData;

    std::vector<char> buffer(20000);
    while (ok && snd::ChannelIsActive(stream) == snd::ACTIVE_PLAYING) {
        const int32_t got = snd::ChannelGetData(stream, buffer.data(), 20000);
        if (got > 0)
            ok = std::fwrite(buffer.data(), 1, static_cast<size_t>(got), file) == static_cast<size_t>(got);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ok = ok && std::fflush(file) == 0;
    long length = ok ? std::ftell(file) : -1;
    ok = ok && length >= 44 && WriteLe32At(file, 4, static_cast<uint32_t>(length - 8)) &&
         WriteLe32At(file, 40, static_cast<uint32_t>(length - 44));
    ok = std::fclose(file) == 0 && ok;
    snd::StreamFree(stream);
    if (!ok) {
        // A half-written file would load as a broken sound; without it the
        // next start converts it again.
        WriteLog("Unable to write file ");
        WriteLog(wavPath);
        WriteLog("\n");
        plat::RemoveFile(wavPath);
        return 0;
    }
    return 1;
}

int CSoundManager::ConvertOggSounds(const std::string& optionsFile, const std::string& installedFolder,
                                    const std::string& writableFolder)
{
    const bool sharedFolder = HasUserDataFolders() && writableFolder != installedFolder;
    m_convertedFolder = writableFolder;
    m_optionsFile = optionsFile;
    m_markedByFile = sharedFolder;
    if (sharedFolder) {
        if (FILE* marker = plat::OpenFile(writableFolder + "Vol.cfg", "r")) {
            std::fclose(marker);
            return 1;
        }
    } else {
        char value[255];
        ReadIniRaw(optionsFile, "Sound", "Converted", "0", value, sizeof value);
        if (std::atoi(value) == 1)
            return 1;
    }

    WriteLog("Firs time sound convertion...\n");
    FILE* list = plat::OpenFile(installedFolder + "Ogg.lst", "r");
    if (!list) {
        WriteLog("Unable to open file Ogg.lst");
        return 0;
    }
    bool everyFile = true;
    int converted = 0;
    char line[512];
    while (std::fgets(line, 511, list)) {
        CTextReader::CutAtLastNewline(line);
        // A list saved with "\r\n" line ends still names the same files.
        const size_t length = std::strlen(line);
        if (length > 0 && line[length - 1] == '\r')
            line[length - 1] = '\0';
        if (line[0] == '\0')
            continue;
        // A name is joined to two folders: one with a separator or ".." in it
        // would read and write outside them.
        if (!plat::IsPlainFileName(line)) {
            WriteLog(std::string("Refused sound name in Ogg.lst: ") + line + "\n");
            everyFile = false;
        } else if (ConvertOggToWav(installedFolder + line + ".ogg", writableFolder + line + ".wav")) {
            ++converted;
        } else {
            WriteLog("Fist time sound convertion error!\n");
            everyFile = false;
        }
    }
    std::fclose(list);
    WriteLog("Done\n");

    // Only a complete conversion is marked: a file that failed (a full disk,
    // a damaged OGG that a reinstall repairs) is tried again on the next
    // start instead of leaving the sound off for good. An empty list
    // converted nothing, and marks nothing either.
    if (everyFile && converted > 0) {
        if (sharedFolder)
            plat::CopyFile(installedFolder + "Vol.cfg", writableFolder + "Vol.cfg", false);
        else
            WriteIniString(optionsFile, "Sound", "Converted", "1");
    }
    return 1;
}

void CSoundManager::ForgetConversion()
{
    if (m_convertedFolder.empty())
        return;
    if (m_markedByFile)
        plat::RemoveFile(m_convertedFolder + "Vol.cfg");
    else
        WriteIniString(m_optionsFile, "Sound", "Converted", "0");
    WriteLog("The converted sounds are made again on the next start\n");
}
