#include "document/file_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "base/file_io.h"
#include "text/encoding.h"

namespace almx {

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

std::string ComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return std::string();
    return name;
}

}  // namespace almx
