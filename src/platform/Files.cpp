#include "platform/Files.h"

#include "platform/Profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

long g_failAfterBytes = -1;

// Native folders that came from the system as they stand (the data home):
// a backslash in them is part of a name, not a separator of the game's.
std::vector<std::string>& NativeRoots()
{
    static std::vector<std::string> roots;
    return roots;
}

// Native paths the game must leave alone; "" stands for every path.
std::vector<std::string>& RefusedPaths()
{
    static std::vector<std::string> refused;
    return refused;
}

bool IsAtOrBelow(const std::string& native, const std::string& folder)
{
    if (folder.empty())
        return true;
    if (native.compare(0, folder.size(), folder) != 0)
        return false;
    return native.size() == folder.size() || folder.back() == '/' || native[folder.size()] == '/';
}

// Every change to the file system passes here first; what the INI reader
// parsed of the path is forgotten, so a write is seen by the next read.
bool MayWrite(const std::string& native)
{
    ForgetParsedFiles(native);
    for (const std::string& refused : RefusedPaths())
        if (IsAtOrBelow(native, refused)) {
            errno = EACCES;
            return false;
        }
    return true;
}

// mkstemp fills in the six X.
constexpr char kTemporarySuffix[] = ".tmpXXXXXX";

std::string FolderOf(const std::string& native)
{
    const size_t slash = native.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return native.substr(0, slash);
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        size_t chunk = size - done;
        if (g_failAfterBytes >= 0) {
            const size_t allowed = static_cast<size_t>(g_failAfterBytes);
            if (allowed == 0) {
                errno = ENOSPC;
                return false;
            }
            chunk = std::min(chunk, allowed);
        }
        const ssize_t n = write(fd, data + done, chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
        if (g_failAfterBytes >= 0)
            g_failAfterBytes -= n;
    }
    return true;
}

void SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

std::string BaseName(const std::string& native)
{
    const size_t slash = native.find_last_of('/');
    return slash == std::string::npos ? native : native.substr(slash + 1);
}

// Temporaries that an interrupted write of this file left behind: only one
// copy of the game runs, so none of them is being written now.
void RemoveLeftovers(const std::string& native)
{
    const std::string folder = FolderOf(native);
    const std::string name = BaseName(native);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir))
        if (AtomicWriteLeftoverTarget(entry->d_name) == name)
            unlink((folder + "/" + entry->d_name).c_str());
    closedir(dir);
}

WriteOutcome AtomicWriteNative(const std::string& native, const void* data, size_t size)
{
    if (!MayWrite(native))
        return WriteOutcome::CannotCreate;
    RemoveLeftovers(native);
    // The new file keeps the mode of the one it replaces (a shared hiscore
    // table stays writable for every user).
    struct stat old {};
    const mode_t mode = stat(native.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    std::string temp = native + kTemporarySuffix;
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return WriteOutcome::CannotCreate;
    fchmod(fd, mode);
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size);
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (!ok) {
        unlink(temp.c_str());
        return WriteOutcome::WriteFailed;
    }
    if (rename(temp.c_str(), native.c_str()) != 0) {
        unlink(temp.c_str());
        return WriteOutcome::CannotCreate;
    }
    SyncFolder(FolderOf(native));
    return WriteOutcome::Written;
}

ReadRefusalReport g_refusalReport = nullptr;

FileStamp StampOfStat(const struct stat& st)
{
    FileStamp stamp;
    stamp.device = static_cast<uint64_t>(st.st_dev);
    stamp.inode = static_cast<uint64_t>(st.st_ino);
    stamp.size = static_cast<int64_t>(st.st_size);
    stamp.modified = st.st_mtim;
    stamp.changed = st.st_ctim;
    return stamp;
}

// What a path leads to, for the log, when it is not a regular file.
std::string NotAFile(mode_t mode)
{
    const char* kind = S_ISDIR(mode)                    ? "a folder"
                       : S_ISFIFO(mode)                 ? "a FIFO"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "something else";
    return std::string("is ") + kind + ", not a file";
}

// Opens a regular file of at most `limit` bytes for reading; -1 with the
// outcome otherwise. The kind is checked before the open, so that no
// device is ever opened, and again on the descriptor, as the path may have
// changed in between. O_NONBLOCK stays on: regular files ignore it, and a
// file that is not one can then not stall a read either.
int OpenBounded(const std::string& gamePath, size_t limit, struct stat* st, ReadOutcome* outcome)
{
    const std::string native = NativePath(gamePath);
    auto cannotOpen = [&]() {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            *outcome = ReadOutcome::Missing;
            return -1;
        }
        ReportReadRefusal(gamePath, "cannot be opened (" + std::string(std::strerror(error)) + ")");
        *outcome = ReadOutcome::Failed;
        errno = error;
        return -1;
    };
    auto refuse = [&](const std::string& why, int error) {
        ReportReadRefusal(gamePath, why);
        *outcome = ReadOutcome::Failed;
        errno = error;
        return -1;
    };
    auto judge = [&](const struct stat& s) {
        if (!S_ISREG(s.st_mode))
            return refuse(NotAFile(s.st_mode), S_ISDIR(s.st_mode) ? EISDIR : EINVAL);
        if (static_cast<uint64_t>(s.st_size) > limit)
            return refuse("is " + std::to_string(s.st_size) + " bytes, more than the " + std::to_string(limit) +
                              " a file of its kind may hold",
                          EFBIG);
        return 0;
    };
    if (stat(native.c_str(), st) != 0)
        return cannotOpen();
    if (judge(*st) < 0)
        return -1;
    const int fd = open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return cannotOpen();
    if (fstat(fd, st) != 0 || judge(*st) < 0) {
        const int error = errno;
        close(fd);
        errno = error;
        *outcome = ReadOutcome::Failed;
        return -1;
    }
    *outcome = ReadOutcome::Read;
    return fd;
}

enum class ReadEnd { Whole, PastLimit, Failed };

// Reads to the end, or one byte past `limit`: the size stat gave is only
// where a file stood when it was opened (and 0 for many kernel files).
ReadEnd ReadUpTo(int fd, size_t limit, std::vector<uint8_t>* out)
{
    uint8_t buffer[65536];
    for (;;) {
        const size_t room = limit - std::min(limit, out->size());
        const ssize_t n = read(fd, buffer, std::min(sizeof buffer - 1, room) + 1);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ReadEnd::Failed;
        }
        if (n == 0)
            return ReadEnd::Whole;
        out->insert(out->end(), buffer, buffer + n);
        if (out->size() > limit)
            return ReadEnd::PastLimit;
    }
}

} // namespace

std::string NativePath(const std::string& gamePath)
{
    size_t root = 0;
    for (const std::string& r : NativeRoots())
        if (r.size() > root && gamePath.compare(0, r.size(), r) == 0)
            root = r.size();
    std::string native = gamePath;
    std::replace(native.begin() + static_cast<long>(root), native.end(), '\\', '/');
    return native;
}

bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name.find_first_of("/\\") == std::string::npos && name.find("..") == std::string::npos;
}

FILE* OpenFile(const std::string& gamePath, const char* mode, size_t readLimit)
{
    const std::string native = NativePath(gamePath);
    if (std::strpbrk(mode, "wa+"))
        return MayWrite(native) ? std::fopen(native.c_str(), mode) : nullptr;
    struct stat st {};
    ReadOutcome outcome = ReadOutcome::Read;
    const int fd = OpenBounded(gamePath, readLimit, &st, &outcome);
    if (fd < 0)
        return nullptr;
    FILE* file = fdopen(fd, mode);
    if (!file)
        close(fd);
    return file;
}

bool FileExists(const std::string& gamePath)
{
    struct stat st {};
    return stat(NativePath(gamePath).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& gamePath)
{
    struct stat st {};
    return stat(NativePath(gamePath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRealDirectory(const std::string& gamePath)
{
    struct stat st {};
    return lstat(NativePath(gamePath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDirectory(const std::string& gamePath)
{
    const std::string native = NativePath(gamePath);
    return MayWrite(native) && mkdir(native.c_str(), 0755) == 0;
}

namespace {
// Below the top folder the names are the file system's own: a backslash in
// one is part of it.
bool RemoveTreeNative(const std::string& native)
{
    DIR* dir = opendir(native.c_str());
    if (!dir)
        return false;
    bool ok = true;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        const std::string child = native + "/" + entry->d_name;
        struct stat st {};
        if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            ok = RemoveTreeNative(child) && ok;
        else
            ok = unlink(child.c_str()) == 0 && ok;
    }
    closedir(dir);
    return rmdir(native.c_str()) == 0 && ok;
}
} // namespace

bool RemoveDirectoryTree(const std::string& gamePath)
{
    const std::string native = NativePath(gamePath);
    return MayWrite(native) && RemoveTreeNative(native);
}

bool RemoveDirectory(const std::string& gamePath)
{
    const std::string native = NativePath(gamePath);
    return MayWrite(native) && rmdir(native.c_str()) == 0;
}

bool RemoveFile(const std::string& gamePath)
{
    const std::string native = NativePath(gamePath);
    return MayWrite(native) && unlink(native.c_str()) == 0;
}

bool RenameFile(const std::string& fromGamePath, const std::string& toGamePath)
{
    const std::string from = NativePath(fromGamePath);
    const std::string to = NativePath(toGamePath);
    if (!MayWrite(from) || !MayWrite(to) || rename(from.c_str(), to.c_str()) != 0)
        return false;
    SyncFolder(FolderOf(to));
    return true;
}

bool FileStamp::operator==(const FileStamp& other) const
{
    auto same = [](const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return device == other.device && inode == other.inode && size == other.size &&
           same(modified, other.modified) && same(changed, other.changed);
}

bool StampOf(const std::string& gamePath, FileStamp* stamp)
{
    struct stat st {};
    if (stat(NativePath(gamePath).c_str(), &st) != 0)
        return false;
    *stamp = StampOfStat(st);
    return true;
}

ReadOutcome ReadWholeFileOutcome(const std::string& gamePath, std::vector<uint8_t>* out, size_t limit,
                                 FileStamp* stamp)
{
    out->clear();
    struct stat st {};
    ReadOutcome outcome = ReadOutcome::Read;
    const int fd = OpenBounded(gamePath, limit, &st, &outcome);
    if (fd < 0)
        return outcome;
    if (stamp)
        *stamp = StampOfStat(st);
    out->reserve(static_cast<size_t>(st.st_size));
    const ReadEnd end = ReadUpTo(fd, limit, out);
    const int error = errno;
    close(fd);
    if (end == ReadEnd::Whole)
        return ReadOutcome::Read;
    out->clear();
    if (end == ReadEnd::PastLimit)
        ReportReadRefusal(gamePath, "grew past the " + std::to_string(limit) +
                                        " bytes a file of its kind may hold while it was read");
    else
        ReportReadRefusal(gamePath, "cannot be read (" + std::string(std::strerror(error)) + ")");
    return ReadOutcome::Failed;
}

bool ReadWholeFile(const std::string& gamePath, std::vector<uint8_t>* out, size_t limit)
{
    return ReadWholeFileOutcome(gamePath, out, limit) == ReadOutcome::Read;
}

ReadOutcome ReadFileHead(const std::string& gamePath, size_t count, std::vector<uint8_t>* head, uint64_t* fileSize)
{
    head->clear();
    struct stat st {};
    ReadOutcome outcome = ReadOutcome::Read;
    const int fd = OpenBounded(gamePath, SIZE_MAX, &st, &outcome);
    if (fd < 0)
        return outcome;
    *fileSize = static_cast<uint64_t>(st.st_size);
    // Past `count` is no fault here: only the head is wanted.
    const ReadEnd end = ReadUpTo(fd, count, head);
    const int error = errno;
    close(fd);
    if (end == ReadEnd::Failed) {
        head->clear();
        ReportReadRefusal(gamePath, "cannot be read (" + std::string(std::strerror(error)) + ")");
        return ReadOutcome::Failed;
    }
    if (head->size() > count)
        head->resize(count);
    return ReadOutcome::Read;
}

bool CopyFile(const std::string& fromGamePath, const std::string& toGamePath, bool failIfExists)
{
    if (failIfExists && FileExists(toGamePath))
        return false;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fromGamePath, &bytes))
        return false;
    return WriteFileAtomically(toGamePath, bytes.data(), bytes.size());
}

std::vector<DirEntry> ListDirectory(const std::string& gamePath)
{
    std::vector<DirEntry> entries;
    const std::string native = NativePath(gamePath);
    DIR* dir = opendir(native.empty() ? "." : native.c_str());
    if (!dir)
        return entries;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        DirEntry e;
        e.name = entry->d_name;
        struct stat st {};
        const std::string child = (native.empty() ? std::string(".") : native) + "/" + e.name;
        e.isDirectory = stat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        e.isLink = lstat(child.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
        entries.push_back(std::move(e));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return entries;
}

bool WriteFileAtomically(const std::string& gamePath, const void* data, size_t size)
{
    return AtomicWriteNative(NativePath(gamePath), data, size) == WriteOutcome::Written;
}

WriteOutcome WriteFileAtomicallyOutcome(const std::string& gamePath, const void* data, size_t size)
{
    return AtomicWriteNative(NativePath(gamePath), data, size);
}

std::string AtomicWriteLeftoverTarget(const std::string& name)
{
    const size_t suffix = sizeof kTemporarySuffix - 1;
    if (name.size() <= suffix || name.compare(name.size() - suffix, 4, kTemporarySuffix, 4) != 0)
        return {};
    return name.substr(0, name.size() - suffix);
}

namespace {
int RemoveLeftoversBelow(const std::string& native)
{
    DIR* dir = opendir(native.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        const std::string child = native + "/" + entry->d_name;
        struct stat st {};
        if (lstat(child.c_str(), &st) != 0)
            continue;
        // A link may lead anywhere: only the folder's own tree is swept.
        if (S_ISDIR(st.st_mode))
            removed += RemoveLeftoversBelow(child);
        else if (S_ISREG(st.st_mode) && !AtomicWriteLeftoverTarget(entry->d_name).empty() &&
                 unlink(child.c_str()) == 0)
            ++removed;
    }
    closedir(dir);
    return removed;
}
} // namespace

int RemoveAtomicWriteLeftovers(const std::string& gamePath)
{
    const std::string native = NativePath(gamePath);
    return MayWrite(native) ? RemoveLeftoversBelow(native) : 0;
}

void SetReadRefusalReport(ReadRefusalReport report) { g_refusalReport = report; }

void ReportReadRefusal(const std::string& gamePath, const std::string& why)
{
    if (g_refusalReport)
        g_refusalReport(gamePath, why);
}

void InjectWriteFailureForTests(long bytesAllowed) { g_failAfterBytes = bytesAllowed; }

void RefuseWrites(const std::string& gamePath) { RefusedPaths().push_back(NativePath(gamePath)); }

void ClearWriteRefusalsForTests() { RefusedPaths().clear(); }

bool MakeWorldWritable(const std::string& gamePath)
{
    const std::string native = NativePath(gamePath);
    return MayWrite(native) && chmod(native.c_str(), 0666) == 0;
}

namespace {
std::string DataHome()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        // A relative HOME would put the user folder inside the working
        // folder, which is the installation: it counts as none, like an
        // empty one.
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : nullptr;
        }
        if (!home || home[0] != '/')
            return {};
        base = std::string(home) + "/.local/share";
    }
    // Make the chain of folders so that callers can create their own below it.
    std::string partial;
    for (size_t i = 0; i <= base.size(); ++i) {
        if (i == base.size() || (base[i] == '/' && i > 0)) {
            partial = base.substr(0, i);
            mkdir(partial.c_str(), 0755);
        }
    }
    struct stat st {};
    if (stat(base.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {};
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    if (std::find(NativeRoots().begin(), NativeRoots().end(), base) == NativeRoots().end())
        NativeRoots().push_back(base);
    return base;
}
} // namespace

std::string UserAppDataFolder() { return DataHome(); }

// One user, one machine: the shared folder lives beside the user's own; its
// subfolders ("Data\\GameData", "Data\\Sfx") do not collide with theirs.
std::string CommonAppDataFolder() { return DataHome(); }

} // namespace plat
