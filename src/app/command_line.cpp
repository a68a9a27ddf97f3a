#include "app/command_line.h"

#include <array>
#include <string_view>

namespace almx {

namespace {

constexpr std::array<std::string_view, 5> kViewFlags = {"month", "week", "todo", "diary", "memo"};

}  // namespace

CAlmxCommandLineInfo CAlmxCommandLineInfo::Parse(const std::vector<std::string>& arguments) {
    CAlmxCommandLineInfo info;
    for (const std::string& argument : arguments) {
        if (argument.empty()) continue;
        const bool flagLike = argument.size() > 1 && (argument[0] == '/' || argument[0] == '-');
        if (flagLike) {
            std::string_view word = std::string_view(argument).substr(1);
            if (word == "s") {
                info.showToday = false;
                continue;
            }
            bool matched = false;
            for (std::size_t kind = 0; kind < kViewFlags.size(); ++kind) {
                if (word == kViewFlags[kind]) {
                    info.viewKind = static_cast<int>(kind);
                    matched = true;
                }
            }
            if (matched) continue;
            // A Linux path begins with "/"; an unknown "-" option is nobody's file.
            if (argument[0] == '-') {
                info.ignored.push_back(argument);
                continue;
            }
        }
        if (info.fileName.empty()) {
            info.fileName = argument;
            info.shellCommand = Shell::FileOpen;
        }
    }
    return info;
}

}  // namespace almx
