#pragma once
// One link of the command route: active view, its frame, the document, the main frame, the
// application. Each answers for the command ids it knows; the first that knows one handles it.

#include <optional>

namespace almx {

struct CommandState {
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
};

class CommandTarget {
  public:
    virtual ~CommandTarget() = default;
    // True when this target handled the command.
    virtual bool OnCommand(int id) = 0;
    // The command's state when this target handles it; nullopt passes it down the route.
    virtual std::optional<CommandState> CommandStatus(int id) const = 0;
};

}  // namespace almx
