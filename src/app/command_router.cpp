#include "app/command_router.h"

namespace almx {

std::optional<CommandState> RouteStatus(std::span<CommandTarget* const> chain, int id) {
    for (CommandTarget* target : chain) {
        if (!target) continue;
        if (std::optional<CommandState> state = target->CommandStatus(id)) return state;
    }
    return std::nullopt;
}

bool RouteCommand(std::span<CommandTarget* const> chain, int id) {
    for (CommandTarget* target : chain) {
        if (!target) continue;
        std::optional<CommandState> state = target->CommandStatus(id);
        if (!state) continue;
        return state->enabled && target->OnCommand(id);
    }
    return false;
}

}  // namespace almx
