#pragma once
// Command routing: the active view, its frame, the document, the main frame, the
// application. The first target that knows a command answers for it.

#include <optional>
#include <span>

#include "ui/command_target.h"

namespace almx {

// The state of the command as the first target that knows it says; nullopt when none does
// (the command is then disabled). Null targets are skipped.
std::optional<CommandState> RouteStatus(std::span<CommandTarget* const> chain, int id);

// Gives the command to the first target that knows it, when that target has it enabled.
// True when a target handled it.
bool RouteCommand(std::span<CommandTarget* const> chain, int id);

}  // namespace almx
