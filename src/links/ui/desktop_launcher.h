#pragma once
// The desktop's open-with-associated-program and move-to-trash operations. Files and addresses
// go to QDesktopServices (xdg-open on Linux): nothing is run through a shell, and an
// executable is handed to its associated program like any other file, never run.

#include "links/file_launcher.h"

namespace almx {

class DesktopLauncher : public FileLauncher {
  public:
    int Open(const std::string& target, const std::string& parameters) override;
};

class DesktopTrash : public FileTrash {
  public:
    bool MoveToTrash(const std::string& path) override;
};

}  // namespace almx
