// Reduction on transfer: the picture a transfer has just written into a destination folder is
// reduced in place to about 2 or 1 megapixels. A reduced move keeps the full-size file beside
// the reduced one under its "Org_" name until the deletion pass or an undo; a reduced copy
// works through a "___" temporary that is gone afterwards.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/display/entry_events.h"
#include "core/ports/control_id.h"
#include "core/session/sorting_session.h"
#include "outputs/reduce_pipeline.h"
#include "platform/safe_copy.h"

namespace sortelia {

inline constexpr const char* kTemporaryPrefix = "___";

// The reduced width of a resize option (1: 1600, 2: 1280); 0 for full size.
int reducedWidthOf(int resizeOption);

// The box, in the file's own pixels, that a picture of fileWidth x fileHeight pixels whose
// comment starts with rotationMark is reduced to for a resize option. The box is taken at
// the size the picture is shown: the option's width and the height in proportion, rounded
// half to even, where a quarter-turn mark ("@090:", "@270:") exchanges the file's width and
// height; such a box is then turned back into the file's orientation, so that the reduced
// picture, keeping its mark, shows as the original did at the option's width. nullopt when
// the option keeps the full size or the size is empty.
std::optional<outputs::ReduceSize> transferReduceSize(int resizeOption, int fileWidth,
                                                      int fileHeight,
                                                      const std::string& rotationMark = "");

class TransferReduction : public EntryListener {
 public:
  TransferReduction(SortingSession& session, fs::FileOperations& files);

  // RSOPchg: a click on one of the three size options (RadioButton1..3). The option chosen
  // before returns to normal text, the clicked one turns red bold, and ResizeOption follows.
  void RSOPchg(Control clicked);

  // The quality level of reductions on transfer (RSOPUpDown, 1..10, default 7).
  int level() const { return level_; }
  void setLevel(int level);
  // Reports whether reductions turn the picture grey (the "BW" box of the reduced-size save
  // window); unset means never.
  std::function<bool()> blackAndWhite;
  // How reductions read and write pictures (tests inject faults here).
  outputs::PictureFiles pictureFiles;

  // Remembers the picture on display: its path and its size in its file.
  void entryShown(const ShownEntry& e) override;
  void noPicture() override;

  // The box the transfer of source is reduced to (transferReduceSize with the rotation mark
  // of the file's comment), or nullopt when it is transferred unchanged: full size chosen, a
  // movie, or a picture that is not on display (not decoded).
  std::optional<outputs::ReduceSize> plannedSize(const std::string& source) const;

  // Before anything is copied: a reduced move of destination needs its "Org_" name free.
  // Returns false after telling the person when that name is taken.
  bool canKeepOriginal(const std::string& destination);

  // ReSizImg: reduces the just-transferred file in place to size. With keepOriginal (move
  // mode) the full-size file stays beside it as "Org_" + name; otherwise it goes through a
  // free "___" temporary that is deleted afterwards. EXIF data are copied when asked. On
  // failure file is back under its own name at full size, nothing else is left, and the
  // error is thrown (outputs::ReductionError, exif::ExifWriteError, fs errors as
  // ReductionError).
  void ReSizImg(const std::string& file, bool keepOriginal, bool copyExif,
                outputs::ReduceSize size);

 private:
  std::optional<std::string> freeTemporaryName(const std::string& file);
  void reduceInto(const std::string& from, const std::string& to, bool copyExif,
                  outputs::ReduceSize size);

  SortingSession& session_;
  fs::FileOperations& files_;
  int level_ = 7;
  std::string shownPath_;
  int fileWidth_ = 0;
  int fileHeight_ = 0;
};

}  // namespace sortelia
