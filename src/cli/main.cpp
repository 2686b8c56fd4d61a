// sortelia-cli: the program's one-shot jobs from a terminal.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/help/help_commands.h"

namespace sortelia::cli {

std::vector<Command>& commands() {
  static std::vector<Command> all;
  return all;
}

}  // namespace sortelia::cli

namespace {

// The usage of every sub-command; with help, each followed by what its flags do.
void printUsage(std::FILE* out, bool help) {
  std::fprintf(out, "usage: sortelia-cli COMMAND [ARGS...]\n\ncommands:\n");
  for (const auto& c : sortelia::cli::commands()) {
    std::fprintf(out, "  %s\n", c.usage.c_str());
    if (help) std::fputs(c.help.c_str(), out);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    printUsage(stderr, false);
    return 2;
  }
  const std::string name = argv[1];
  if (name == "--version") {
    std::printf("sortelia-cli %s\n", SORTELIA_VERSION);
    for (const char* c = sortelia::kLicenceEnglish; *c; ++c)
      if (*c != '\r') std::putchar(*c);
    std::putchar('\n');
    return 0;
  }
  if (name == "--help" || name == "-h" || name == "help") {
    printUsage(stdout, true);
    return 0;
  }
  for (const auto& c : sortelia::cli::commands()) {
    if (c.name != name) continue;
    try {
      return c.run(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "sortelia-cli %s: %s\n", name.c_str(), e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "sortelia-cli: unknown command \"%s\"\n", name.c_str());
  printUsage(stderr, false);
  return 2;
}
