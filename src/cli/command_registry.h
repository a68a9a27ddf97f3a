#pragma once
// Subcommands of almx register themselves here, one file each, so adding one touches no other.

#include <iosfwd>
#include <string>
#include <vector>

namespace almx::cli {

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;    // the arguments, e.g. "FILE [--password P]"
    const char* summary;  // one line for --help
    int (*run)(const Arguments& args, std::ostream& out, std::ostream& err);
};

const std::vector<Command>& Commands();

struct CommandRegistrar {
    explicit CommandRegistrar(const Command& command);
};

// Shared option handling: "--name value" pairs and flags anywhere after the subcommand.
class OptionReader {
public:
    explicit OptionReader(const Arguments& args);
    bool Flag(const std::string& name);
    // The value after "--name"; empty optional when the option is absent.
    bool Value(const std::string& name, std::string& value);
    // What is left once every option was taken, in order.
    const Arguments& Positional() const { return rest_; }
    // An option that nobody asked for, if any.
    std::string Unknown() const;

private:
    Arguments rest_;
};

}  // namespace almx::cli
