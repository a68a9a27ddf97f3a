#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

namespace almx {

namespace fs = std::filesystem;

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Creates a new file that did not exist (mode 0666 before the umask); -1 on failure.
int CreateExclusive(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

void SyncFolder(const fs::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The file a save replaces: a symbolic link is followed, so the link stays a link.
fs::path SaveTarget(const std::string& path) {
    std::error_code error;
    fs::path target(path);
    if (fs::is_symlink(fs::symlink_status(target, error))) {
        fs::path resolved = fs::canonical(target, error);
        if (!error) return resolved;
    }
    return target;
}

}  // namespace

bool FileWriter::Write(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool FileWriter::Sync(int fd) {
    return ::fsync(fd) == 0;
}

void FileWriter::SyncFolderOf(const std::string& folder) {
    SyncFolder(folder);
}

FileBytes ReadFileBytes(const std::string& path) {
    FileBytes result;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return result;
    try {
        result.bytes.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[1 << 16];
        while (true) {
            ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                result.status = ReadStatus::Partial;
                return result;
            }
            if (n == 0) break;
            result.bytes.append(buffer, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        result.bytes = std::string();
        return result;
    }
    result.status = ReadStatus::Complete;
    return result;
}

ReadStatus ReadFilePieces(const std::string& path,
                          const std::function<void(std::string_view piece)>& onPiece) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return ReadStatus::CannotOpen;
    }
    // Large enough that the system calls cost nothing beside the work on the bytes, small
    // enough to stay in the cache while that work is done.
    constexpr std::size_t kPiece = 256 * 1024;
    std::vector<char> buffer(kPiece);
    while (true) {
        const ssize_t n = ::read(fd.Get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ReadStatus::Partial;
        if (n == 0) return ReadStatus::Complete;
        onPiece(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    }
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

std::string BackupPathOf(const std::string& path) {
    return fs::path(path).replace_extension("bak").string();
}

namespace {

// The names of a file's extended attributes; nullopt when they cannot be listed (a file system
// without them lists none).
std::optional<std::vector<std::string>> AttributeNames(int fd, const char* path) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::llistxattr(path, nullptr, 0);
        if (size < 0) {
            if (errno == ENOTSUP) return std::vector<std::string>();
            return std::nullopt;
        }
        std::string list(static_cast<std::size_t>(size), '\0');
        size = fd >= 0 ? ::flistxattr(fd, list.data(), list.size())
                       : ::llistxattr(path, list.data(), list.size());
        if (size < 0 && errno == ERANGE) continue;  // grew in between
        if (size < 0) return std::nullopt;
        std::vector<std::string> names;
        for (std::size_t at = 0; at < static_cast<std::size_t>(size);) {
            std::size_t end = list.find('\0', at);
            if (end == std::string::npos) end = static_cast<std::size_t>(size);
            if (end > at) names.emplace_back(list, at, end - at);
            at = end + 1;
        }
        return names;
    }
    return std::nullopt;
}

std::optional<std::string> AttributeValue(const char* path, const std::string& name) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = ::lgetxattr(path, name.c_str(), nullptr, 0);
        if (size < 0) return std::nullopt;
        std::string value(static_cast<std::size_t>(size), '\0');
        size = ::lgetxattr(path, name.c_str(), value.data(), value.size());
        if (size < 0 && errno == ERANGE) continue;
        if (size < 0) return std::nullopt;
        value.resize(static_cast<std::size_t>(size));
        return value;
    }
    return std::nullopt;
}

// Gives the new file what the old one was besides its bytes: owner, group, extended attributes
// (ACLs are among them) and mode. False when any of them could not be given, so that a rename
// would change the file for someone.
bool TakeOverAttributes(int fd, const struct stat& old, const char* oldPath) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) return false;
    if (old.st_uid != now.st_uid) {
        // Only the owner of the file itself (or root) may keep another user's file theirs.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) return false;
    } else if (old.st_gid != now.st_gid) {
        if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) return false;
    }
    std::optional<std::vector<std::string>> names = AttributeNames(-1, oldPath);
    std::optional<std::vector<std::string>> inherited = AttributeNames(fd, nullptr);
    if (!names || !inherited) return false;
    for (const std::string& name : *inherited) {
        // An attribute the folder gave the new file (a default ACL) that the old file lacks.
        if (std::find(names->begin(), names->end(), name) != names->end()) continue;
        if (::fremovexattr(fd, name.c_str()) != 0 && errno != ENODATA) return false;
    }
    for (const std::string& name : *names) {
        std::optional<std::string> value = AttributeValue(oldPath, name);
        if (!value || ::fsetxattr(fd, name.c_str(), value->data(), value->size(), 0) != 0) {
            return false;
        }
    }
    // Last: a change of owner clears the set-id bits, and an ACL carries mode bits too.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// A new file in the folder under a name nothing else uses; -1 when none could be made.
int CreateTemporary(const fs::path& target, std::string& temp) {
    const fs::path folder = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(1, '.');
        name += target.filename().string();
        name += ".tmp";
        name += std::to_string(::getpid());
        name += '-';
        name += std::to_string(attempt);
        temp = (folder / name).string();
        int fd = CreateExclusive(temp);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Puts the old bytes under the backup name, flushed to disk before anything else happens.
bool CopyToBackup(const fs::path& target, const std::string& backup, std::string_view bytes,
                  const struct stat& old) {
    std::string temp;
    Descriptor fd(CreateTemporary(target, temp));
    if (fd.Get() < 0) return false;
    // Readable by no one the file itself was not readable by; group kept where we may.
    if (old.st_gid != ::getegid()) {
        [[maybe_unused]] int kept = ::fchown(fd.Get(), static_cast<uid_t>(-1), old.st_gid);
    }
    FileWriter plain;
    if (::fchmod(fd.Get(), old.st_mode & 0777) != 0 || !plain.Write(fd.Get(), bytes) ||
        !plain.Sync(fd.Get()) || !fd.Close() || ::rename(temp.c_str(), backup.c_str()) != 0) {
        fd.Close();
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(target.parent_path());
    return true;
}

ByteMaker MakerOf(std::string_view bytes) {
    return [bytes](const ByteSink& sink) { return sink(bytes); };
}

// Runs make; when it throws, undo runs before the exception goes on.
template <class Undo>
bool Make(const ByteMaker& make, const ByteSink& sink, Undo undo) {
    try {
        return make(sink);
    } catch (...) {
        undo();
        throw;
    }
}

// Writes what make gives from the file's start and cuts the file where it ends.
bool WriteFromStart(int fd, const ByteMaker& make, FileWriter& writer) {
    if (::lseek(fd, 0, SEEK_SET) != 0) return false;
    bool written = true;
    off_t size = 0;
    const ByteSink sink = [&](std::string_view bytes) {
        written = written && writer.Write(fd, bytes);
        size += static_cast<off_t>(bytes.size());
        return written;
    };
    return make(sink) && written && ::ftruncate(fd, size) == 0 && writer.Sync(fd);
}

// Writes over the file's own bytes, so that its every name and attribute stays. The old bytes
// are held (and in the backup, when one is kept) before the first byte changes, and put back
// when the write fails.
bool SaveInPlace(const fs::path& target, const ByteMaker& make, FileWriter& writer,
                 const struct stat& old, bool keepBackup) {
    Descriptor fd(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (fd.Get() < 0) return false;
    FileBytes previous = ReadFileBytes(target.string());
    if (previous.status != ReadStatus::Complete) return false;
    const std::string backup = BackupPathOf(target.string());
    if (keepBackup && backup != target.string() &&
        !CopyToBackup(target, backup, previous.bytes, old)) {
        return false;
    }
    FileWriter plain;
    const auto restore = [&] { WriteFromStart(fd.Get(), MakerOf(previous.bytes), plain); };
    bool written = false;
    try {
        written = WriteFromStart(fd.Get(), make, writer);
    } catch (...) {
        restore();
        throw;
    }
    if (written && fd.Close()) return true;
    restore();
    return false;
}

// The one save: a temporary file beside the target, filled by make, flushed and renamed over
// it (the old file under the backup name when keepBackup); or, for a file that must keep its
// identity, written in place. On any failure the old file stays as it was.
bool SaveFile(const std::string& path, const ByteMaker& make, FileWriter& writer, bool keepBackup) {
    const fs::path target = SaveTarget(path);
    struct stat old {};
    const bool exists = ::lstat(target.c_str(), &old) == 0;
    // Never put a file in the place of a folder or a device.
    if (exists && !S_ISREG(old.st_mode)) return false;

    const fs::path folder = target.parent_path();
    std::string temp;
    const int rawFd = CreateTemporary(target, temp);
    if (rawFd < 0) return false;
    Descriptor fd(rawFd);
    auto abandon = [&] {
        fd.Close();
        ::unlink(temp.c_str());
        return false;
    };
    // A second name of the file would keep the old bytes after a rename, and an attribute the
    // new file cannot have would be lost: such a file is written in place.
    if (exists && (old.st_nlink > 1 || !TakeOverAttributes(fd.Get(), old, target.c_str()))) {
        abandon();
        return SaveInPlace(target, make, writer, old, keepBackup);
    }
    bool written = true;
    const ByteSink sink = [&](std::string_view bytes) {
        written = written && writer.Write(fd.Get(), bytes);
        return written;
    };
    if (!Make(make, sink, abandon) || !written || !writer.Sync(fd.Get()) || !fd.Close()) {
        return abandon();
    }

    bool movedAside = false;
    const std::string backup = BackupPathOf(target.string());
    if (keepBackup && exists && backup != target.string()) {
        if (::unlink(backup.c_str()) != 0 && errno != ENOENT) return abandon();
        // A hard link keeps the old file under its own name until the new one replaces it.
        if (::link(target.c_str(), backup.c_str()) != 0) {
            if (::rename(target.c_str(), backup.c_str()) != 0) return abandon();
            movedAside = true;
        }
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        if (movedAside) ::rename(backup.c_str(), target.c_str());
        return abandon();
    }
    writer.SyncFolderOf(folder.string());
    return true;
}

}  // namespace

bool SaveWithBackup(const std::string& path, std::string_view bytes, FileWriter& writer) {
    return SaveFile(path, MakerOf(bytes), writer, true);
}

bool SaveReplacing(const std::string& path, std::string_view bytes, FileWriter& writer) {
    return SaveFile(path, MakerOf(bytes), writer, false);
}

bool SaveReplacingStreamed(const std::string& path, const ByteMaker& make, FileWriter& writer) {
    return SaveFile(path, make, writer, false);
}

bool SaveWithBackupStreamed(const std::string& path, const ByteMaker& make, FileWriter& writer) {
    return SaveFile(path, make, writer, true);
}

namespace {

std::optional<std::string> CopyToFreeName(const std::string& path, int firstNumber) {
    FileBytes source = ReadFileBytes(path);
    if (source.status == ReadStatus::CannotOpen) return std::nullopt;
    for (int number = firstNumber; number < 1000; ++number) {
        std::string name = number == 1
                               ? BackupPathOf(path)
                               : fs::path(path).replace_extension(std::to_string(number)).string();
        if (name == path) continue;
        if (PathExists(name)) {
            if (IsRegularFile(name)) {
                FileBytes existing = ReadFileBytes(name);
                if (existing.status == ReadStatus::Complete && existing.bytes == source.bytes) {
                    return name;
                }
            }
            continue;
        }
        Descriptor fd(CreateExclusive(name));
        if (fd.Get() < 0) {
            if (errno == EEXIST) continue;
            return std::nullopt;
        }
        FileWriter writer;
        if (!writer.Write(fd.Get(), source.bytes) || !writer.Sync(fd.Get()) || !fd.Close()) {
            ::unlink(name.c_str());
            return std::nullopt;
        }
        SyncFolder(fs::path(name).parent_path());
        return name;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> CopyToFreeBackup(const std::string& path) {
    return CopyToFreeName(path, 1);
}

std::optional<std::string> CopyToUntouchedBackup(const std::string& path) {
    return CopyToFreeName(path, 2);
}

}  // namespace almx
