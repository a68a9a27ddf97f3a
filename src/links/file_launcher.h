#pragma once
// Handing a file or an address to the desktop's associated program. The launcher answers with
// the shell's result codes: above 31 is success, 0 to 31 a failure whose text the table holds.

#include <string>
#include <string_view>

namespace almx {

class Prompter;

class FileLauncher {
  public:
    virtual ~FileLauncher() = default;
    virtual int Open(const std::string& target, const std::string& parameters) = 0;
};

// Moves a file to the desktop's trash, where the user can restore it.
class FileTrash {
  public:
    virtual ~FileTrash() = default;
    virtual bool MoveToTrash(const std::string& path) = 0;
};

namespace launch {
inline constexpr int kSuccess = 42;
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kNoAssociation = 31;
}  // namespace launch

// The code for a target that cannot be handed over at all (a missing file or folder, a file
// that cannot be read, a link written on Windows), or 0 when it may be launched.
int UnlaunchableCode(std::string_view target);

// The message of a failure code 0..22; empty for any other code.
std::string_view LaunchFailureText(int code);

// Launches and reports: 0 success, 1 a failure not reported (23..31, or "file not found" for
// a name without "."), 3 a failure shown to the user.
int LaunchFile(FileLauncher& launcher, Prompter& prompter, const std::string& target,
               const std::string& parameters = "");

}  // namespace almx
