// sortelia-cli exif: prints the EXIF record of pictures, or rewrites a picture's user comment.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/folder_pictures.h"
#include "exif/exif_info.h"
#include "exif/exif_record_text.h"
#include "exif/exif_writer.h"
#include "exif/rotation_mark.h"
#include "imaging/picture_file.h"
#include "platform/file_ops.h"

namespace sortelia::cli {
namespace {

// --set-comment TEXT FILE: the comment becomes the one line TEXT, behind the old comment's
// rotation mark when it had one.
int setComment(const std::string& textArg, const std::string& path) {
  if (!readableFile(path)) return 1;
  exif::TExifInfo info;
  if (!info.HasExif(path)) {
    const auto picture = imaging::readPictureFile(path);
    if (picture && picture->coding != imaging::PictureCoding::Jpeg) {
      std::fprintf(stderr, "%s: comments are written into JPEG files only\n", path.c_str());
    } else {
      std::fprintf(stderr, "%s: no EXIF segment\n", path.c_str());
    }
    return 1;
  }
  info.setImageFileName(path);
  std::string old;
  for (const std::string& line : info.UserComment) old += line + "\r\n";
  info.UserComment = {exif::keepRotationMark(old, textArg)};
  exif::WriteExif(info, path);
  return 0;
}

// The two forms of the command: reading records, and rewriting one picture's comment into text.
Syntax readSyntax() { return syntaxOf("exif", {}, "FILE...", 1); }
Syntax setCommentSyntax(std::string& text) {
  return syntaxOf(
      "exif",
      {required(textFlag("--set-comment", "TEXT",
                         "the picture's user comment becomes the one line TEXT", text))},
      "FILE", 1, 1);
}

int runExif(const std::vector<std::string>& args) {
  if (std::find(args.begin(), args.end(), "--set-comment") != args.end()) {
    std::string text;
    const auto file = parseOrReport(setCommentSyntax(text), args);
    return file ? setComment(text, file->front()) : 2;
  }
  const auto files = parseOrReport(readSyntax(), args);
  if (!files) return 2;
  int status = 0;
  exif::TExifInfo info;
  std::string out;
  bool firstRecord = true;
  for (const std::string& path : *files) {
    if (!readableFile(path)) {
      status = 1;
      continue;
    }
    bool missing = false;
    info.OnReadError = [&missing](exif::TExifInfo&) { missing = true; };
    info.setImageFileName(path);
    if (missing) {
      std::fflush(stdout);
      std::fprintf(stderr, "%s: no EXIF segment\n", path.c_str());
      status = 1;
      continue;
    }
    if (!firstRecord) out += '\n';
    firstRecord = false;
    out += exif::recordText(info);
    std::fwrite(out.data(), 1, out.size(), stdout);
    out.clear();
  }
  return status;
}

Command exifCommand() {
  std::string unused;
  const Syntax setComment = setCommentSyntax(unused);
  return {"exif", usageOf(readSyntax()) + " | " + usageOf(setComment), runExif, helpOf(setComment)};
}

const Registrar kExif{exifCommand()};

}  // namespace
}  // namespace sortelia::cli
