// The sub-commands of sortelia-cli register themselves here.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sortelia::cli {

// One sub-command: its name, a usage line, and its body, which receives the arguments after
// the sub-command's name and returns the exit status.
struct Command {
  std::string name;
  std::string usage;
  std::function<int(const std::vector<std::string>&)> run;
};

// All registered sub-commands, in registration order.
std::vector<Command>& commands();

// Registers a sub-command at program start: `static Registrar r{{"exif", "...", runExif}};`
struct Registrar {
  explicit Registrar(Command c) { commands().push_back(std::move(c)); }
};

}  // namespace sortelia::cli
