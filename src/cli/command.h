// The sub-commands of sortelia-cli register themselves here.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/flags.h"

namespace sortelia::cli {

// One sub-command: its name, a usage line, and its body, which receives the arguments after
// the sub-command's name and returns the exit status; help holds the lines that explain its
// flags in the listing of `sortelia-cli --help`.
struct Command {
  std::string name;
  std::string usage;
  std::function<int(const std::vector<std::string>&)> run;
  std::string help;
};

// The command declared by syntax(args): its usage line and flag help come from the declaration.
// syntax binds the flags to the fields of an Args; a run builds its own to parse into.
template <class Args>
Command declaredCommand(Syntax (*syntax)(Args&),
                        std::function<int(const std::vector<std::string>&)> run) {
  Args unused;
  const Syntax s = syntax(unused);
  return {s.command, usageOf(s), std::move(run), helpOf(s)};
}

// All registered sub-commands, in registration order.
std::vector<Command>& commands();

// Registers a sub-command at program start: `static Registrar r{{"exif", "...", runExif}};`
struct Registrar {
  explicit Registrar(Command c) { commands().push_back(std::move(c)); }
};

}  // namespace sortelia::cli
