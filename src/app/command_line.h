#pragma once
// The program's command line (CAlmxCommandLineInfo): an optional schedule file, the flag "s"
// (no today's schedules at start) and one view flag, each flag written with "/" or "-".

#include <string>
#include <vector>

namespace almx {

struct CAlmxCommandLineInfo {
    enum class Shell { FileNew, FileOpen };

    Shell shellCommand = Shell::FileNew;
    std::string fileName;
    bool showToday = true;
    int viewKind = -1;  // 0 month, 1 week, 2 to-do, 3 diary, 4 memo
    // "-" options that are no flag of ours (Qt's own are taken out before).
    std::vector<std::string> ignored;

    // The arguments after the program name. Only the exact flag words count as flags, so a
    // path such as "/home/u/plan.alx" is a file; the first file named is the one opened.
    static CAlmxCommandLineInfo Parse(const std::vector<std::string>& arguments);
};

}  // namespace almx
