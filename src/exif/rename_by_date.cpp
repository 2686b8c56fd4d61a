#include "exif/rename_by_date.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

#include "platform/file_kinds.h"
#include "platform/file_list.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/path.h"
#include "platform/text_codec.h"

namespace sortelia::exif {
namespace {

// Numbers tried behind a stem before a picture is given up as having no free name.
constexpr int kMaxNumber = 99999;

// The extension of a file name as written: from its last "." on; "" when it has none.
std::string extensionOf(const std::string& name) {
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

// True when text has a digit wherever pattern has a "9" and pattern's own character elsewhere.
bool matchesDigits(std::string_view text, std::string_view pattern) {
  if (text.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (pattern[i] == '9' ? !digit : text[i] != pattern[i]) return false;
  }
  return true;
}

// The names of folder in ASCII lower case, once for each name that lowers to it: a camera
// card or a Windows disk holds at most one of names that differ only in letter case, and the
// image list treats them as one. An unreadable folder gives none; the rename itself then
// reports what is wrong.
std::multiset<std::string> lowerCaseNamesIn(const std::string& folder) {
  std::multiset<std::string> names;
  for (const std::string& name : listNames(folder)) names.insert(text::asciiLower(name));
  return names;
}

std::string renameFailure(const std::string& from, const std::string& to, int err) {
  return "cannot rename \"" + from + "\" to \"" + to + "\": " + std::strerror(err);
}

// The stem of an entry: from its shooting time, else from its modification time; nullopt (with
// errno set) when neither can be had. A file that cannot be read has a shooting time nobody
// knows: it is not named after the time it was last written instead.
std::optional<std::string> stemOf(const std::string& path, const PhotoRecord& record) {
  if (auto stem = shootingTimeStem(record)) return stem;
  if (const int err = fs::readError(path)) {
    errno = err;
    return std::nullopt;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return fileTimeStem(st.st_mtime);
}

}  // namespace

std::optional<std::string> shootingTimeStem(const PhotoRecord& record) {
  if (!matchesDigits(record.ShotDate, "9999:99:99") || !matchesDigits(record.ShotTime, "99:99:99"))
    return std::nullopt;
  std::string stem;
  for (const char c : record.ShotDate + "-" + record.ShotTime) {
    if (c != ':') stem.push_back(c);
  }
  return stem;
}

std::string fileTimeStem(std::time_t time) {
  std::tm t{};
  ::localtime_r(&time, &t);
  return format("%.4d%.2d%.2d-%d%.2d%.2d",
                {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec});
}

BatchReport renameByShootingTime(const std::vector<std::string>& entries, PhotoDataLoader& loader,
                                 const RenameOptions& options) {
  BatchReport report;
  std::map<std::string, std::multiset<std::string>> folders;  // lower-case names by folder
  for (const std::string& entry : entries) {
    if (isMarkedEntry(entry)) continue;
    const std::optional<std::string> stem = stemOf(entry, loader.GetPdata(entry));
    if (!stem) {
      const int err = errno;
      report.fail(entry, "cannot read the time of \"" + entry + "\": " + std::strerror(err));
      continue;
    }
    const std::string folder = fs::folderPrefixOf(entry);
    // Each folder is listed once; the renames of this run keep its names up to date.
    auto known = folders.find(folder);
    if (known == folders.end()) known = folders.emplace(folder, lowerCaseNamesIn(folder)).first;
    std::multiset<std::string>& taken = known->second;
    const std::string ext = extensionOf(fs::fileNameOf(entry));
    const std::vector<std::string> companions =
        options.companionsOf ? options.companionsOf(entry) : std::vector<std::string>{};
    const auto free = [&](const std::string& name) {
      return !taken.contains(text::asciiLower(name)) && !fs::exists(folder + name);
    };
    const auto companionTarget = [&](const std::string& companion, const std::string& name) {
      return fs::companionName(fs::fileNameOf(entry), name, fs::fileNameOf(companion));
    };
    bool settled = false;
    for (int n = 0; n <= kMaxNumber && !settled; ++n) {
      const std::string name = n == 0 ? *stem + ext : *stem + format("_%d", {n}) + ext;
      const std::string target = folder + name;
      if (!free(name) ||
          !std::all_of(companions.begin(), companions.end(),
                       [&](const std::string& c) { return free(companionTarget(c, name)); })) {
        continue;
      }
      const fs::FileResult r = options.rename(entry, target);
      if (r.error == EEXIST) {  // taken since the look: try the next number
        taken.insert(text::asciiLower(name));
        continue;
      }
      settled = true;
      if (!r.ok()) {
        report.fail(entry, renameFailure(entry, target, r.error));
        continue;
      }
      ++report.done;
      const auto renamed = [&](const std::string& from, const std::string& to) {
        // The old name is free now, unless another name of the folder lowers to it too.
        if (auto gone = taken.find(text::asciiLower(fs::fileNameOf(from))); gone != taken.end())
          taken.erase(gone);
        taken.insert(text::asciiLower(fs::fileNameOf(to)));
        if (options.renamed) options.renamed(from, to);
      };
      renamed(entry, target);
      for (const std::string& c : companions) {
        const std::string to = folder + companionTarget(c, name);
        const fs::FileResult cr = options.rename(c, to);
        if (cr.ok()) {
          renamed(c, to);
        } else {
          report.fail(c, renameFailure(c, to, cr.error));
        }
      }
    }
    if (!settled) report.fail(entry, "no free name for \"" + entry + "\"");
  }
  return report;
}

}  // namespace sortelia::exif
