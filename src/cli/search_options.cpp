#include "cli/search_options.h"

#include <sstream>

#include "text/matcher.h"

namespace almx::cli {

std::string ReadSearchOptions(OptionReader& options, SearchCondition& condition) {
    condition.ignoreCase = options.Flag("--ignore-case");
    condition.ignoreWidth = options.Flag("--ignore-width");
    condition.extraFolding = options.Flag("--kana") ? unsigned{text::kFoldKana} : 0u;
    std::string mode;
    if (options.Value("--mode", mode)) {
        static const char* const kModes[] = {"contains", "equals", "starts", "ends"};
        condition.mode = -1;
        for (int i = 0; i < 4; ++i) {
            if (mode == kModes[i]) condition.mode = i;
        }
        if (condition.mode < 0) return "--mode takes contains, equals, starts or ends";
    }
    std::string targets;
    if (options.Value("--targets", targets)) {
        condition.targets = 0;
        std::istringstream names(targets);
        std::string name;
        while (std::getline(names, name, ',')) {
            if (name == "title") {
                condition.targets |= kTargetTitle;
            } else if (name == "place") {
                condition.targets |= kTargetPlace;
            } else if (name == "memo") {
                condition.targets |= kTargetMemo;
            } else {
                return "--targets takes title, place and memo separated by commas";
            }
        }
        if (condition.targets == 0) return "--targets names no field";
    }
    return {};
}

}  // namespace almx::cli
