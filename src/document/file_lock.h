#pragma once
// The lock file that makes a schedule file read-only for a second user: the file's full name
// with ".lock" appended, holding the time it was taken, the computer name and the owner. The
// owner line holds the process id of the program that took it, so that a lock left by a
// program of ours that has ended on this computer can be told from a live one.

#include <optional>
#include <string>
#include <string_view>

#include "base/date_time.h"

namespace almx {

class FileLock {
  public:
    FileLock() = default;
    ~FileLock() { Release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // Takes over the other's lock file (releasing its own first).
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;

    static std::string LockPathOf(const std::string& path) { return path + ".lock"; }

    // Whether a lock file for the path exists that this lock does not hold.
    bool HeldByOther(const std::string& path) const;
    // Creates the lock file; false when another holder's lock file exists or the file cannot
    // be written. An unnamed document succeeds at once without a file.
    bool Take(const std::string& path, const DateTime& now, std::string_view computerName);
    // Deletes the lock file when this lock holds it.
    void Release();

    bool Held() const { return held_; }
    const std::string& Path() const { return path_; }
    const std::string& Owner() const { return owner_; }

  private:
    std::string path_;
    std::string owner_;  // this process's id once taken
    bool held_ = false;
};

// A lock file's three lines, decoded; nullopt when there is no lock file to read.
struct LockFileLines {
    std::string taken;
    std::string computer;
    std::string owner;
    std::string bytes;  // the file as it was read
};
std::optional<LockFileLines> ReadLockFile(const std::string& lockPath);

// The process id an owner line records; 0 when it records none (a lock of another program).
long LockOwnerProcess(std::string_view owner);

// Whether the process runs and is a program of ours (the same executable, or by its name).
bool IsRunningInstance(long pid);

// The lock file of the path when it names this computer and a program of ours that no longer
// runs: a crash left it, and it may be removed. nullopt for a live holder, another computer's
// lock or a lock that does not say who took it.
std::optional<LockFileLines> AbandonedOwnLock(const std::string& path,
                                              std::string_view computerName);

// Deletes the lock file of the path when it still holds the bytes read before (nobody took
// it in between).
bool RemoveAbandonedLock(const std::string& path, const LockFileLines& lock);

// The lock file's three lines: "%Y/%m/%d %H:%M", the computer name, the owner, each ending
// in CR LF (UTF-8; the file holds the Shift_JIS form).
std::string LockFileText(const DateTime& now, std::string_view computerName,
                         std::string_view owner);

// This machine's name.
std::string ComputerName();

}  // namespace almx
