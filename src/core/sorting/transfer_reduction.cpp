#include "core/sorting/transfer_reduction.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/sorting/comment_edit.h"
#include "core/sorting/undo_journal.h"
#include "platform/format.h"
#include "platform/path.h"

namespace sortelia {

int reducedWidthOf(int resizeOption) {
  switch (resizeOption) {
    case 1:
      return 1600;
    case 2:
      return 1280;
    default:
      return 0;
  }
}

std::optional<outputs::ReduceSize> transferReduceSize(int resizeOption, int fileWidth,
                                                      int fileHeight,
                                                      const std::string& rotationMark) {
  const int width = reducedWidthOf(resizeOption);
  if (width == 0 || fileWidth < 1 || fileHeight < 1) return std::nullopt;
  const bool sideways = rotationMark == "@090:" || rotationMark == "@270:";
  const int shownWidth = sideways ? fileHeight : fileWidth;
  const int shownHeight = sideways ? fileWidth : fileHeight;
  const auto height = roundHalfEven(static_cast<double>(shownHeight) * width / shownWidth);
  const outputs::ReduceSize shown{width, static_cast<int>(std::max<std::int64_t>(height, 1))};
  return sideways ? outputs::ReduceSize{shown.height, shown.width} : shown;
}

TransferReduction::TransferReduction(SortingSession& session, fs::FileOperations& files)
    : session_(session), files_(files) {}

void TransferReduction::RSOPchg(Control clicked) {
  const Control buttons[] = {Control::RadioButton1, Control::RadioButton2, Control::RadioButton3};
  int& option = session_.state().options.resizeOption;
  if (option >= 0 && option <= 2) session_.controls().setEmphasized(buttons[option], false);
  session_.controls().setEmphasized(clicked, true);
  option = clicked == Control::RadioButton2 ? 1 : clicked == Control::RadioButton3 ? 2 : 0;
}

void TransferReduction::setLevel(int level) { level_ = std::clamp(level, 1, 10); }

void TransferReduction::entryShown(const ShownEntry& e) {
  if (e.hasPicture() && e.isJpeg) {
    shownPath_ = e.path;
    fileWidth_ = e.width;
    fileHeight_ = e.height;
  } else {
    noPicture();
  }
}

void TransferReduction::noPicture() {
  shownPath_.clear();
  fileWidth_ = fileHeight_ = 0;
}

std::optional<outputs::ReduceSize> TransferReduction::plannedSize(const std::string& source) const {
  // Only the picture on display has a known shown size; anything else (a movie, a picture
  // that could not be decoded) is transferred as it is.
  if (source != shownPath_ || !fs::hasExtension(source, ".jpg")) return std::nullopt;
  const int option = session_.state().options.resizeOption;
  if (reducedWidthOf(option) == 0) return std::nullopt;
  // The mark the reduced file keeps with the EXIF data it is given is the file's own.
  std::string mark;
  try {
    mark = rotationMarkOfFile(source);
  } catch (const std::exception&) {
    // Unreadable now: the copy that follows meets the same fault and says so.
  }
  return transferReduceSize(option, fileWidth_, fileHeight_, mark);
}

bool TransferReduction::canKeepOriginal(const std::string& destination) {
  const std::string kept = keptOriginalPath(destination);
  if (!files_.exists(kept)) return true;
  // The name is the undo's and the deletion pass's only way to the full-size file, so an
  // older file there can be neither reused nor replaced.
  session_.ui().message(
      Icon::Warning,
      format(session_.tr("縮小前のオリジナルを残す名前のファイルが既にあります。\r\n[ %s ]\r\n"
                         "転送を中止します。",
                         "A file keeping the original before reduction already exists.\r\n"
                         "[ %s ]\r\nThe transfer is stopped."),
             {kept}),
      Buttons::Ok);
  return false;
}

void TransferReduction::ReSizImg(const std::string& file, bool keepOriginal, bool copyExif,
                                 outputs::ReduceSize size) {
  // The full-size file moves aside under a name that never replaces anything: a name taken
  // after the look (by another program) is refused by the rename itself.
  std::string holder;
  fs::FileResult moved;
  if (keepOriginal) {
    holder = keptOriginalPath(file);
    moved = files_.renameNoReplace(file, holder);
    if (moved.error == EEXIST) {
      throw outputs::ReductionError("\"" + holder + "\" exists already; \"" + file +
                                    "\" is left at full size");
    }
  } else {
    // A temporary name taken since the look is passed over for the next free one.
    do {
      auto temporary = freeTemporaryName(file);
      if (!temporary) {
        throw outputs::ReductionError("no free temporary name beside \"" + file + "\"");
      }
      holder = *temporary;
      moved = files_.renameNoReplace(file, holder);
    } while (moved.error == EEXIST);
  }
  if (!moved.ok()) {
    throw outputs::ReductionError("cannot rename \"" + file + "\": " + std::strerror(moved.error));
  }
  try {
    reduceInto(holder, file, copyExif, size);
  } catch (const std::exception& e) {
    // The reduced file is written in one atomic step, so nothing of ours stands at file now:
    // the full-size picture goes back under its own name, unless something else has taken
    // the name meanwhile; it then stays under holder rather than replace that, and the
    // message says where it is.
    if (files_.renameNoReplace(holder, file).ok()) throw;
    throw outputs::ReductionError(std::string(e.what()) + "; the full-size picture is kept as \"" +
                                  holder + "\"");
  } catch (...) {
    (void)files_.renameNoReplace(holder, file);
    throw;
  }
  if (!keepOriginal) (void)files_.removeFile(holder);
}

std::optional<std::string> TransferReduction::freeTemporaryName(const std::string& file) {
  const std::string folder = fs::folderPrefixOf(file);
  const std::string name = fs::fileNameOf(file);
  std::string candidate = folder + kTemporaryPrefix + name;
  for (int n = 1; n <= 100 && files_.exists(candidate); ++n)
    candidate = folder + kTemporaryPrefix + std::to_string(n) + "_" + name;
  if (files_.exists(candidate)) return std::nullopt;
  return candidate;
}

void TransferReduction::reduceInto(const std::string& from, const std::string& to, bool copyExif,
                                   outputs::ReduceSize size) {
  outputs::ReduceOptions options;
  options.blackAndWhite = blackAndWhite && blackAndWhite();
  options.addExif = copyExif;
  outputs::FToFJpgStrchTD(from, to, options, size, level_, pictureFiles);
}

}  // namespace sortelia
