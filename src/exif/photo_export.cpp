#include "exif/photo_export.h"

#include <sys/stat.h>

#include <cstring>
#include <map>
#include <optional>
#include <utility>

#include "platform/file_ops.h"
#include "platform/path.h"
#include "platform/text_codec.h"

namespace sortelia::exif {
namespace {

constexpr const char* kRecordEnd = "\r\n\r\n";

// The bytes of an export file: name bytes that are not UTF-8 escaped ("\xNN"), then CP932
// when every character has a CP932 form, else UTF-8, so the file is valid in one of them.
std::string exportBytes(std::string_view records) {
  return text::encodeForFile(text::escapeInvalidUtf8(records));
}

std::string writeFailure(const fs::FileResult& r) {
  return "cannot write \"" + r.path + "\": " + std::strerror(r.error);
}

// The failure of a picture that cannot be read, whose record would be all blanks and zeros as
// if it had no EXIF; empty when it can be read.
std::string readFailure(const std::string& picture) {
  const int err = fs::readError(picture);
  return err == 0 ? "" : "cannot read \"" + picture + "\": " + std::strerror(err);
}

}  // namespace

std::vector<std::string> exportedPictures(const std::vector<std::string>& entries) {
  std::vector<std::string> out;
  for (const std::string& entry : entries) {
    if (!isMarkedEntry(entry) && fs::isRegularFile(entry)) out.push_back(entry);
  }
  return out;
}

std::string infoFileNameOf(const std::string& picture) {
  const std::string name = fs::fileNameOf(picture);
  const auto dot = name.rfind('.');
  const std::string folder = picture.substr(0, picture.size() - name.size());
  return folder + (dot == std::string::npos ? name : name.substr(0, dot)) + ".txt";
}

BatchReport exportAllInOne(const std::vector<std::string>& entries, const std::string& sourceDir,
                           PhotoDataLoader& loader, const ExportedCallback& exported) {
  BatchReport report;
  const std::string target = sourceDir + kPhotoInfoFileName;
  std::vector<std::string> pictures;
  std::string all;
  for (const std::string& picture : exportedPictures(entries)) {
    if (const std::string failure = readFailure(picture); !failure.empty()) {
      report.fail(picture, failure);
      continue;
    }
    loader.GetPdata(picture);
    all += loader.MakeDspPdat() + kRecordEnd;
    pictures.push_back(picture);
  }
  // One encoding for the whole file: CP932 unless some record needs UTF-8.
  const fs::FileResult r = fs::writeFileAtomic(target, exportBytes(all));
  if (!r.ok()) {
    report.fail(target, writeFailure(r));
    return report;
  }
  report.done = static_cast<int>(pictures.size());
  if (exported) {
    for (const std::string& picture : pictures) exported(picture, target);
  }
  return report;
}

BatchReport exportEachPicture(const std::vector<std::string>& entries, PhotoDataLoader& loader,
                              const ExportedCallback& exported) {
  BatchReport report;
  // The text files written so far (device and inode, so that names a case-folding file
  // system takes as one count as one), with the picture each holds.
  std::map<std::pair<dev_t, ino_t>, std::string> written;
  const auto fileOf = [](const std::string& path) -> std::optional<std::pair<dev_t, ino_t>> {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return std::pair(st.st_dev, st.st_ino);
  };
  for (const std::string& picture : exportedPictures(entries)) {
    const std::string target = infoFileNameOf(picture);
    if (target == picture) {
      // A list entry that is itself a ".txt" file would be replaced by its own information.
      report.fail(picture, "\"" + picture + "\" would be replaced by its own information");
      continue;
    }
    // A picture and a movie of one stem share a text file: the first keeps it.
    if (const auto file = fileOf(target)) {
      if (const auto first = written.find(*file); first != written.end()) {
        report.fail(picture, "\"" + picture + "\" would replace the information of \"" +
                                 first->second + "\" in \"" + target + "\"");
        continue;
      }
    }
    if (const std::string failure = readFailure(picture); !failure.empty()) {
      report.fail(picture, failure);
      continue;
    }
    loader.GetPdata(picture);
    const fs::FileResult r =
        fs::writeFileAtomic(target, exportBytes(loader.MakeDspPdat() + kRecordEnd));
    if (!r.ok()) {
      report.fail(picture, writeFailure(r));
      continue;
    }
    ++report.done;
    if (const auto file = fileOf(target)) written.emplace(*file, picture);
    if (exported) exported(picture, target);
  }
  return report;
}

}  // namespace sortelia::exif
