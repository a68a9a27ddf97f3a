#pragma once
// The search options almx search and almx list share: the foldings, --mode and --targets.

#include <string>

#include "cli/command_registry.h"
#include "core/search_condition.h"

namespace almx::cli {

// Reads the options into the condition; an error text when one is not understood.
std::string ReadSearchOptions(OptionReader& options, SearchCondition& condition);

inline constexpr const char* kSearchOptionsUsage =
    "[--ignore-case] [--ignore-width] [--kana] [--mode contains|equals|starts|ends] "
    "[--targets title,place,memo]";

}  // namespace almx::cli
