#include "support/exiftool.h"

#include "support/run_process.h"

namespace sortelia::testing {
namespace {

// Lines "-Group:Tag=value" of exiftool -args; values with line breaks are folded by
// exiftool itself, so one line is one tag.
std::vector<std::pair<std::string, std::string>> exiftoolArgs(const std::string& path) {
  const ProcessResult r =
      runProcess({"exiftool", "-n", "-a", "-G1", "-args", "-charset", "exif=utf8", path});
  std::vector<std::pair<std::string, std::string>> out;
  std::size_t start = 0;
  while (start < r.out.size()) {
    std::size_t end = r.out.find('\n', start);
    if (end == std::string::npos) end = r.out.size();
    const std::string line = r.out.substr(start, end - start);
    start = end + 1;
    const auto eq = line.find('=');
    if (line.empty() || line[0] != '-' || eq == std::string::npos) continue;
    out.emplace_back(line.substr(1, eq - 1), line.substr(eq + 1));
  }
  return out;
}

}  // namespace

bool haveExiftool() { return haveProgram("exiftool"); }

ExiftoolTags readWithExiftool(const std::string& path) {
  ExiftoolTags tags;
  for (auto& [k, v] : exiftoolArgs(path)) tags.emplace(k, v);  // keeps the first
  return tags;
}

std::vector<std::string> allExiftoolValues(const std::string& path, const std::string& groupTag) {
  std::vector<std::string> values;
  for (auto& [k, v] : exiftoolArgs(path)) {
    if (k == groupTag) values.push_back(v);
  }
  return values;
}

}  // namespace sortelia::testing
