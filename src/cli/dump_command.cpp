// sortelia-cli dump: the hex dump of the head of a file, as the dump window shows it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command.h"
#include "outputs/dump/hex_dump.h"

namespace sortelia::cli {
namespace {

Syntax dumpSyntax() { return syntaxOf("dump", {}, "FILE", 1, 1); }

int runDump(const std::vector<std::string>& args) {
  const auto file = parseOrReport(dumpSyntax(), args);
  if (!file) return 2;
  const std::string& path = file->front();
  const outputs::HexDump dump = outputs::MakeDump(path);
  if (!dump.result.ok()) {
    std::fprintf(stderr, "sortelia-cli dump: cannot read \"%s\": %s\n", path.c_str(),
                 std::strerror(dump.result.error));
    return 1;
  }
  std::string out = std::string(outputs::kDumpColumnHeader) + "\n";
  for (const std::string& line : dump.lines) out += line + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

const Registrar kDump{{"dump", usageOf(dumpSyntax()), runDump, ""}};

}  // namespace
}  // namespace sortelia::cli
