#include "core/options/extra_options.h"

#include <optional>

#include "platform/file_ops.h"
#include "platform/line_file.h"
#include "platform/path.h"

namespace sortelia {
namespace {

// One stored option: its key, its value as written, and the reading of a value (false when
// the value does not read, which leaves the option as it was).
struct StoredOption {
  const char* key;
  std::string (*write)(const Options&);
  bool (*read)(Options&, const std::string&);
};

// A switch stored as "1" (on) or "0" (off).
template <bool Options::*Member>
constexpr StoredOption flag(const char* key) {
  return {key, [](const Options& o) { return std::string(o.*Member ? "1" : "0"); },
          [](Options& o, const std::string& value) {
            if (value != "0" && value != "1") return false;
            o.*Member = value == "1";
            return true;
          }};
}

// A whole number from low to high, written in decimal.
template <int Options::*Member, int low, int high>
constexpr StoredOption number(const char* key) {
  return {key, [](const Options& o) { return std::to_string(o.*Member); },
          [](Options& o, const std::string& value) {
            if (value.empty() || value.size() > 9 ||
                value.find_first_not_of("0123456789") != std::string::npos) {
              return false;
            }
            const int n = std::stoi(value);
            if (n < low || n > high) return false;
            o.*Member = n;
            return true;
          }};
}

constexpr StoredOption kStoredOptions[] = {
    flag<&Options::keepCompanions>("Companions"),
    flag<&Options::trashDeleted>("Trash"),
    number<&Options::queueSteps, 1, kMaxQueueSteps>("QueueSteps"),
    number<&Options::queueMegabytes, 1, kMaxQueueMegabytes>("QueueMegabytes"),
    flag<&Options::jpegMovMpgOnly>("JpegMovMpgOnly"),
};

// The key and value of a "Key=value" line, both trimmed; nullopt without "=".
std::optional<std::pair<std::string, std::string>> keyAndValue(const std::string& line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return std::pair(text::trimWhitespace(line.substr(0, eq)),
                   text::trimWhitespace(line.substr(eq + 1)));
}

const StoredOption* storedOption(const std::string& key) {
  for (const StoredOption& option : kStoredOptions) {
    if (key == option.key) return &option;
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> extraOptionLines(const Options& options) {
  std::vector<std::string> lines;
  for (const StoredOption& option : kStoredOptions) {
    lines.push_back(std::string(option.key) + "=" + option.write(options));
  }
  return lines;
}

void readExtraOptionLines(const std::vector<std::string>& lines, Options& options) {
  for (const std::string& line : lines) {
    const auto kv = keyAndValue(line);
    if (!kv) continue;
    if (const StoredOption* option = storedOption(kv->first))
      (void)option->read(options, kv->second);
  }
}

void readExtraOptions(const std::string& dataFolder, Options& options) {
  if (dataFolder.empty()) return;
  if (const auto lines = readTextLines(dataFolder + "/" + kExtraOptionsFileName)) {
    readExtraOptionLines(*lines, options);
  }
}

bool writeExtraOptions(const std::string& dataFolder, const Options& options) {
  if (dataFolder.empty() || !fs::makeDirectories(dataFolder).ok()) return false;
  const std::string path = dataFolder + "/" + kExtraOptionsFileName;
  std::vector<std::string> lines = extraOptionLines(options);
  // Lines of keys another version of the program stores stay for it.
  if (const auto old = readTextLines(path)) {
    for (const std::string& line : *old) {
      const auto kv = keyAndValue(line);
      if (kv && !kv->first.empty() && !storedOption(kv->first)) lines.push_back(line);
    }
  }
  return writeTextLines(path, lines).ok();
}

void applyStoredExtraOptions(SortingSession& session) {
  readExtraOptions(session.dataFolder(), session.state().options);
}

}  // namespace sortelia
