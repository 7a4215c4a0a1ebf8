// Files and folders. Game code writes paths the way its data names them,
// with backslashes ("Data\\Gfx\\Frame.png"); they become native paths here,
// at the boundary, and nowhere else. The folders the system hands out (the
// data home) are native already and stay as they are, backslashes and all.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace plat {

// "Data\\Gfx\\Frame.png" -> "Data/Gfx/Frame.png".
std::string NativePath(const std::string& gamePath);

// A name read from a list file that stays inside the folder it is joined to:
// not empty, no separator of either kind and no "..".
bool IsPlainFileName(const std::string& name);

// What a reader takes of one file at most. Settings, saves, lists, forms,
// levels and texts hold a few kB: 1 MB is generous. Sounds hold minutes of
// music. A picture's bound comes from its header (d3d::DecodeImageFile).
constexpr size_t kTextFileLimit = size_t{1} << 20;
constexpr size_t kSoundFileLimit = size_t{64} << 20;

// Every read of a file goes through one bounded opening: the path is opened
// without waiting (a FIFO or a device could otherwise hold the frame for
// ever) and refused unless it leads to a regular file of at most the limit;
// a file that grows past the limit while it is read is refused as well.
// Each refusal, and each file that is there but cannot be opened, is
// reported with the game path and the reason in words ("is a FIFO, not a
// file"); a missing file is not, as many are optional.
using ReadRefusalReport = void (*)(const std::string& gamePath, const std::string& why);
// The log installs its report; none is made before.
void SetReadRefusalReport(ReadRefusalReport report);
// For a reader that refuses a file by what it holds (a picture larger than
// its header says), so that the log tells it the same way.
void ReportReadRefusal(const std::string& gamePath, const std::string& why);

// fopen on the native form of `gamePath`. Text modes behave like binary ones;
// readers of text tolerate "\r\n" themselves. A mode that only reads goes
// through the bounded opening with `readLimit`.
FILE* OpenFile(const std::string& gamePath, const char* mode, size_t readLimit = kTextFileLimit);

bool FileExists(const std::string& gamePath);
bool DirectoryExists(const std::string& gamePath);
// A folder itself, not a link to one.
bool IsRealDirectory(const std::string& gamePath);
// Creates one folder; false when it could not be made (an existing folder is
// not an error for the callers, who test nothing).
bool CreateDirectory(const std::string& gamePath);
// Removes a folder and everything below it.
bool RemoveDirectoryTree(const std::string& gamePath);
// Removes one empty folder; false when it is not empty or cannot be removed.
bool RemoveDirectory(const std::string& gamePath);
bool RemoveFile(const std::string& gamePath);
// Renames, replacing the target when it exists.
bool RenameFile(const std::string& fromGamePath, const std::string& toGamePath);
// Copies through a temporary in the target's folder, so a target is either
// the old file or the whole new one.
bool CopyFile(const std::string& fromGamePath, const std::string& toGamePath, bool failIfExists);

struct DirEntry {
    std::string name;
    bool isDirectory = false; // a folder, or a link to one
    bool isLink = false;
};
// The entries of a folder without "." and "..", sorted by name.
std::vector<DirEntry> ListDirectory(const std::string& gamePath);

// What stat tells of a file: a rewrite in place changes the size or the
// times, a replacement by rename changes the inode.
struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const FileStamp& other) const;
};
// The stamp of what the path leads to now (links followed); false when
// there is nothing there or it cannot be told, with errno set.
bool StampOf(const std::string& gamePath, FileStamp* stamp);

// The whole file, through the bounded opening with `limit`.
bool ReadWholeFile(const std::string& gamePath, std::vector<uint8_t>* out, size_t limit = kTextFileLimit);
// The same, telling a file that is not there from one that is there and
// cannot be read (no permission, a folder, a FIFO, too large, an I/O
// error). `stamp`, when given, receives the stamp of the file that was read.
enum class ReadOutcome { Read, Missing, Failed };
ReadOutcome ReadWholeFileOutcome(const std::string& gamePath, std::vector<uint8_t>* out,
                                 size_t limit = kTextFileLimit, FileStamp* stamp = nullptr);
// The first `count` bytes of a file (fewer when it is shorter) and its size,
// with no bound on the size: the caller judges it by what the head says.
ReadOutcome ReadFileHead(const std::string& gamePath, size_t count, std::vector<uint8_t>* head,
                         uint64_t* fileSize);

// Writes `size` bytes as the new content of `gamePath`: a temporary file in
// the same folder, every write checked, fsync, then rename over the target,
// keeping the target's mode. Temporaries that an interrupted write of the
// same file left behind are removed first. On any failure the temporary is
// removed and the old file stays whole.
bool WriteFileAtomically(const std::string& gamePath, const void* data, size_t size);
// The same, telling a file that could not be created (or put in place) from
// one whose bytes could not all be written.
enum class WriteOutcome { Written, CannotCreate, WriteFailed };
WriteOutcome WriteFileAtomicallyOutcome(const std::string& gamePath, const void* data, size_t size);
// When `name` is a temporary that an interrupted atomic write left behind,
// the name of the file it was meant to become; else empty.
std::string AtomicWriteLeftoverTarget(const std::string& name);

// Removes, in `gamePath` and every real folder below it, the temporaries
// that interrupted atomic writes left behind; the number removed. Only for
// a folder no other running copy of the game writes to.
int RemoveAtomicWriteLeftovers(const std::string& gamePath);

// Test hook: makes the next atomic writes fail after `bytesAllowed` bytes
// (negative: no failure). Lets tests show that the old file survives.
void InjectWriteFailureForTests(long bytesAllowed);

// From now on every write, creation, removal or rename at or below
// `gamePath` (a file or a folder; "" for every path) fails without touching
// anything: the game runs on without changing what it must not change.
void RefuseWrites(const std::string& gamePath);
void ClearWriteRefusalsForTests();

// Lets every local user read and write the file (shared hiscore tables).
bool MakeWorldWritable(const std::string& gamePath);

// The per-user and the shared application-data folders, native and without
// a trailing separator: $XDG_DATA_HOME (default ~/.local/share). Empty when
// neither can be found.
std::string UserAppDataFolder();
std::string CommonAppDataFolder();

} // namespace plat
