// sortelia-cli dump: the hex dump of the head of a file, as the dump window shows it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command.h"
#include "outputs/dump/hex_dump.h"

namespace sortelia::cli {
namespace {

constexpr const char* kUsage = "dump FILE";

int runDump(const std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0].starts_with("-") && args[0].size() > 1)) {
    std::fprintf(stderr, "usage: sortelia-cli %s\n", kUsage);
    return 2;
  }
  const outputs::HexDump dump = outputs::MakeDump(args[0]);
  if (!dump.result.ok()) {
    std::fprintf(stderr, "sortelia-cli dump: cannot read \"%s\": %s\n", args[0].c_str(),
                 std::strerror(dump.result.error));
    return 1;
  }
  std::string out = std::string(outputs::kDumpColumnHeader) + "\n";
  for (const std::string& line : dump.lines) out += line + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

const Registrar kDump{{"dump", kUsage, runDump, ""}};

}  // namespace
}  // namespace sortelia::cli
