#pragma once
// The lock file that makes a schedule file read-only for a second user: the file's full name
// with ".lock" appended, holding the time it was taken, the computer name and the owner.

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
    std::string owner_;  // always empty
    bool held_ = false;
};

// The lock file's three lines: "%Y/%m/%d %H:%M", the computer name, the owner, each ending
// in CR LF (UTF-8; the file holds the Shift_JIS form).
std::string LockFileText(const DateTime& now, std::string_view computerName,
                         std::string_view owner);

// This machine's name.
std::string ComputerName();

}  // namespace almx
