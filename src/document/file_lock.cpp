#include "document/file_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "base/file_io.h"
#include "text/encoding.h"

namespace almx {

FileLock::FileLock(FileLock&& other) noexcept {
    *this = std::move(other);
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this == &other) return *this;
    Release();
    path_ = std::move(other.path_);
    owner_ = std::move(other.owner_);
    held_ = other.held_;
    other.path_.clear();
    other.held_ = false;
    return *this;
}

bool FileLock::HeldByOther(const std::string& path) const {
    if (path.empty()) return false;
    if (held_ && path == path_) return false;
    return PathExists(LockPathOf(path));
}

bool FileLock::Take(const std::string& path, const DateTime& now, std::string_view computerName) {
    if (path.empty()) return true;
    if (held_ && path == path_) return true;
    Release();
    const std::string lockPath = LockPathOf(path);
    // Created only when absent, so two programs cannot both take it.
    int fd = ::open(lockPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    owner_ = std::to_string(::getpid());
    std::string bytes = text::ToShiftJis(LockFileText(now, computerName, owner_));
    FileWriter writer;
    bool written = writer.Write(fd, bytes);
    if (::close(fd) != 0) written = false;
    if (!written) {
        ::unlink(lockPath.c_str());
        return false;
    }
    path_ = path;
    held_ = true;
    return true;
}

void FileLock::Release() {
    if (!held_) return;
    ::unlink(LockPathOf(path_).c_str());
    held_ = false;
    path_.clear();
}

std::string LockFileText(const DateTime& now, std::string_view computerName,
                         std::string_view owner) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %02d:%02d", now.Year(), now.Month(),
                  now.Day(), now.Hour(), now.Minute());
    std::string text = stamp;
    text += "\r\n";
    text += computerName;
    text += "\r\n";
    text += owner;
    text += "\r\n";
    return text;
}

namespace {

std::string ReadLink(const std::string& path) {
    char target[4096];
    ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) return std::string();
    std::string text(target, static_cast<std::size_t>(n));
    // A program replaced on disk while it runs.
    constexpr std::string_view kDeleted = " (deleted)";
    if (text.size() > kDeleted.size() && text.ends_with(kDeleted)) {
        text.resize(text.size() - kDeleted.size());
    }
    return text;
}

std::string ProcessName(const std::string& procFolder) {
    FileBytes comm = ReadFileBytes(procFolder + "/comm");
    std::string name = comm.bytes;
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    return name;
}

// The lines of the text, split at CR LF or a bare LF.
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

}  // namespace

std::optional<LockFileLines> ReadLockFile(const std::string& lockPath) {
    FileBytes file = ReadFileBytes(lockPath);
    if (file.status != ReadStatus::Complete) return std::nullopt;
    LockFileLines lock;
    std::vector<std::string> lines = Lines(text::FromShiftJis(file.bytes));
    lines.resize(std::max<std::size_t>(lines.size(), 3));
    lock.taken = lines[0];
    lock.computer = lines[1];
    lock.owner = lines[2];
    lock.bytes = std::move(file.bytes);
    return lock;
}

long LockOwnerProcess(std::string_view owner) {
    if (owner.empty() || owner.size() > 9) return 0;
    long pid = 0;
    for (char c : owner) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

bool IsRunningInstance(long pid) {
    if (pid <= 0) return false;
    if (pid == static_cast<long>(::getpid())) return true;
    const std::string folder = "/proc/" + std::to_string(pid);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return false;
    // A program killed a moment ago may not have been reaped yet: it runs no more.
    const std::string stat = ReadFileBytes(folder + "/stat").bytes;
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd != std::string::npos && nameEnd + 2 < stat.size() &&
        (stat[nameEnd + 2] == 'Z' || stat[nameEnd + 2] == 'X')) {
        return false;
    }
    // Another user's process hides its executable; its name is readable.
    const std::string ownExe = ReadLink("/proc/self/exe");
    const std::string exe = ReadLink(folder + "/exe");
    if (!exe.empty() && exe == ownExe) return true;
    const std::string name = ProcessName(folder);
    if (name.empty()) return false;
    return name == ProcessName("/proc/self") || name == "almanix" || name == "almx";
}

std::optional<LockFileLines> AbandonedOwnLock(const std::string& path,
                                              std::string_view computerName) {
    if (path.empty()) return std::nullopt;
    std::optional<LockFileLines> lock = ReadLockFile(FileLock::LockPathOf(path));
    if (!lock || computerName.empty() || lock->computer != computerName) return std::nullopt;
    const long pid = LockOwnerProcess(lock->owner);
    if (pid == 0 || IsRunningInstance(pid)) return std::nullopt;
    return lock;
}

bool RemoveAbandonedLock(const std::string& path, const LockFileLines& lock) {
    const std::string lockPath = FileLock::LockPathOf(path);
    FileBytes now = ReadFileBytes(lockPath);
    if (now.status != ReadStatus::Complete || now.bytes != lock.bytes) return false;
    return ::unlink(lockPath.c_str()) == 0;
}

std::string ComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return std::string();
    return name;
}

}  // namespace almx
