#include "exif/comment_line.h"

#include <sys/stat.h>

#include <ctime>

#include "exif/rotation_mark.h"
#include "platform/format.h"
#include "platform/path.h"
#include "platform/text_codec.h"

namespace sortelia::exif {
namespace {

constexpr std::size_t kLineWidth = 50;

// Date "yyyy/MM/dd" and time "H:mm:ss" of the file's modification time; empty when unknown.
void fileDateTime(const std::string& path, std::string& date, std::string& time) {
  date.clear();
  time.clear();
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return;
  std::tm tm{};
  const std::time_t t = st.st_mtime;
  if (!::localtime_r(&t, &tm)) return;
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y/%m/%d", &tm);
  date = buf;
  time = format("%d:%.2d:%.2d", {tm.tm_hour, tm.tm_min, tm.tm_sec});
}

}  // namespace

std::string makecmt(const PhotoRecord& record, const std::string& path, bool withName,
                    const std::string& freeText, bool withComment, bool withTime, bool withDate,
                    bool exifDateTime) {
  std::string date, time;
  if (exifDateTime) {
    date = record.ShotDate;
    time = record.ShotTime;
  }
  if (!exifDateTime || date.empty()) fileDateTime(path, date, time);
  std::string s;
  if (withName) s = format("%s %s ", {s, fs::fileNameOf(record.FilePath)});
  if (withDate) s = format("%s %s ", {s, date});
  if (withTime) s = format("%s %s ", {s, time});
  const std::string t = withComment ? format("%s:%s", {freeText, record.Comment}) : freeText;
  return trimText(text::cutToCp932Width(s + t, kLineWidth));
}

}  // namespace sortelia::exif
