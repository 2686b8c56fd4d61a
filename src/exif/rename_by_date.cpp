#include "exif/rename_by_date.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/format.h"
#include "platform/path.h"

namespace sortelia::exif {
namespace {

// Numbers tried behind a stem before a picture is given up as having no free name.
constexpr int kMaxNumber = 99999;

// The extension of a file name as written: from its last "." on; "" when it has none.
std::string extensionOf(const std::string& name) {
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string renameFailure(const std::string& from, const std::string& to, int err) {
  return "cannot rename \"" + from + "\" to \"" + to + "\": " + std::strerror(err);
}

// The stem of an entry: from its shooting time, else from its modification time; nullopt (with
// errno set) when neither can be had.
std::optional<std::string> stemOf(const std::string& path, const PhotoRecord& record) {
  if (auto stem = shootingTimeStem(record)) return stem;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return fileTimeStem(st.st_mtime);
}

}  // namespace

std::optional<std::string> shootingTimeStem(const PhotoRecord& record) {
  const std::string joined = record.ShotDate + "-" + record.ShotTime;
  std::string stem;
  int removed = 0;
  for (const char c : joined) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || u < 0x20 || u == 0x7F) return std::nullopt;
    if (c == ':') {
      ++removed;
    } else {
      stem.push_back(c);
    }
  }
  if (removed != 4) return std::nullopt;
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
  for (const std::string& entry : entries) {
    if (isMarkedEntry(entry)) continue;
    const std::optional<std::string> stem = stemOf(entry, loader.GetPdata(entry));
    if (!stem) {
      const int err = errno;
      report.fail(entry, "cannot read the time of \"" + entry + "\": " + std::strerror(err));
      continue;
    }
    const std::string head = fs::folderPrefixOf(entry) + *stem;
    const std::string ext = extensionOf(fs::fileNameOf(entry));
    bool settled = false;
    for (int n = 0; n <= kMaxNumber && !settled; ++n) {
      const std::string target = n == 0 ? head + ext : head + format("_%d", {n}) + ext;
      if (fs::exists(target)) continue;
      const fs::FileResult r = options.rename(entry, target);
      if (r.error == EEXIST) continue;  // taken since the look: try the next number
      settled = true;
      if (!r.ok()) {
        report.fail(entry, renameFailure(entry, target, r.error));
      } else {
        ++report.done;
        if (options.renamed) options.renamed(entry, target);
      }
    }
    if (!settled) report.fail(entry, "no free name for \"" + entry + "\"");
  }
  return report;
}

}  // namespace sortelia::exif
