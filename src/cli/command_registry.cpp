#include "cli/command_registry.h"

#include <algorithm>

namespace almx::cli {

namespace {
std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}
}  // namespace

const std::vector<Command>& Commands() {
    std::sort(Registry().begin(), Registry().end(),
              [](const Command& a, const Command& b) { return std::string(a.name) < b.name; });
    return Registry();
}

CommandRegistrar::CommandRegistrar(const Command& command) { Registry().push_back(command); }

OptionReader::OptionReader(const Arguments& args) : rest_(args) {}

bool OptionReader::Flag(const std::string& name) {
    auto it = std::find(rest_.begin(), rest_.end(), name);
    if (it == rest_.end()) return false;
    rest_.erase(it);
    return true;
}

bool OptionReader::Value(const std::string& name, std::string& value) {
    auto it = std::find(rest_.begin(), rest_.end(), name);
    if (it == rest_.end() || it + 1 == rest_.end()) return false;
    value = *(it + 1);
    rest_.erase(it, it + 2);
    return true;
}

std::string OptionReader::Unknown() const {
    for (const auto& arg : rest_) {
        if (arg.size() > 2 && arg.rfind("--", 0) == 0) return arg;
    }
    return {};
}

}  // namespace almx::cli
