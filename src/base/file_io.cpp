#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <new>
#include <system_error>

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

bool SaveWithBackup(const std::string& path, std::string_view bytes, FileWriter& writer) {
    const fs::path target = SaveTarget(path);
    struct stat old {};
    const bool exists = ::lstat(target.c_str(), &old) == 0;
    // Never put a file in the place of a folder or a device.
    if (exists && !S_ISREG(old.st_mode)) return false;

    const fs::path folder = target.parent_path();
    std::string temp;
    int rawFd = -1;
    for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
        std::string name(1, '.');
        name += target.filename().string();
        name += ".tmp";
        name += std::to_string(::getpid());
        name += '-';
        name += std::to_string(attempt);
        temp = (folder / name).string();
        rawFd = CreateExclusive(temp);
        if (rawFd < 0 && errno != EEXIST) return false;
    }
    if (rawFd < 0) return false;
    Descriptor fd(rawFd);
    auto abandon = [&] {
        fd.Close();
        ::unlink(temp.c_str());
        return false;
    };
    if (exists) ::fchmod(fd.Get(), old.st_mode & 07777);
    if (!writer.Write(fd.Get(), bytes) || !writer.Sync(fd.Get()) || !fd.Close()) {
        return abandon();
    }

    bool movedAside = false;
    const std::string backup = BackupPathOf(target.string());
    if (exists && backup != target.string()) {
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
    SyncFolder(folder);
    return true;
}

std::optional<std::string> CopyToFreeBackup(const std::string& path) {
    FileBytes source = ReadFileBytes(path);
    if (source.status == ReadStatus::CannotOpen) return std::nullopt;
    for (int number = 1; number < 1000; ++number) {
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
        return name;
    }
    return std::nullopt;
}

}  // namespace almx
