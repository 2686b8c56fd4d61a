// The reduced-size save window's behaviour: the size fields kept in the picture's aspect
// ratio, the quality level, the exclusive sepia and black-and-white options, the preview, the
// save beside the source file, and the command that opens the window over the shown picture
// and offers to rescan the folder afterwards.
#pragma once

#include <memory>
#include <string>

#include "core/ports/stretch_window.h"
#include "core/session/sorting_session.h"
#include "imaging/bitmap.h"

namespace sortelia {

// The options that outlive one opening of the window (and that reductions on transfer read).
struct StretchOptions {
  int level = 8;  // quality level 1..10
  bool sepia = false;
  bool blackAndWhite = false;
  bool addExif = false;
};

class StretchSave {
 public:
  explicit StretchSave(SortingSession& session);

  // stretchsave1Click: opens the window over the shown picture (only a decoded ".jpg"),
  // then asks "再オープンしますか？" and on Yes runs the deletion pass and rescans.
  void stretchsave1Click(StretchWindow& window);

  // Prepares the window for picture (the working bitmap) taken from path: the fields and
  // their maximum at its size, the preview showing it.
  void open(std::shared_ptr<const imaging::Bitmap> picture, const std::string& path);
  // Lets go of the working bitmap and the preview.
  void close();

  // Edit1Exit / Edit2Exit: a new width (height) in the field; the other field follows in the
  // picture's aspect ratio, rounded half to even. Values are kept within 0 .. the picture's
  // size. The field being set from the other one does not echo back.
  void Edit1Exit(int width);
  void Edit2Exit(int height);
  int width() const { return width_; }
  int height() const { return height_; }
  int maxWidth() const { return picture_ ? picture_->width() : 0; }
  int maxHeight() const { return picture_ ? picture_->height() : 0; }

  // The quality field (1..10).
  void setLevel(int level);
  // CBSepiaClick / CBbwClick: ticking one clears the other.
  void CBSepiaClick(bool checked);
  void CBbwClick(bool checked);
  void CBExifAddClick(bool checked) { options_.addExif = checked; }
  const StretchOptions& options() const { return options_; }

  // Button1Click: the preview at the fields' size (the fields then settle through the
  // aspect rule). A size of 0 is refused with a message.
  void Button1Click();
  // Button2Click: writes the preview beside the source as MakeReducedName names it, with
  // the source's EXIF data when asked. The preview's pixels are the picture as shown, turned
  // already, so the copied comment loses its rotation mark (the rest of it is kept). Without
  // a preview at the fields' size and with the effects now ticked it only asks for one.
  // Throws outputs::ReductionError when the file cannot be written.
  void Button2Click();
  // True when the preview was made at the fields' size (Save and the batch run may go).
  bool previewCurrent() const;
  // True when the preview was made with the sepia and black-and-white options now ticked.
  bool previewEffectsCurrent() const;

  std::shared_ptr<const imaging::Bitmap> picture() const { return picture_; }
  std::shared_ptr<const imaging::Bitmap> preview() const { return preview_; }
  int previewWidth() const { return previewWidth_; }
  int previewHeight() const { return previewHeight_; }
  const std::string& sourcePath() const { return path_; }
  SortingSession& session() { return session_; }
  // Label2: the picture's own size, "%8.0n            %8.0n".
  std::string sizeText() const;

 private:
  SortingSession& session_;
  StretchOptions options_;
  std::shared_ptr<const imaging::Bitmap> picture_;
  std::shared_ptr<const imaging::Bitmap> preview_;
  std::string path_;
  int width_ = 0;
  int height_ = 0;
  int previewWidth_ = 0;
  int previewHeight_ = 0;
  bool previewSepia_ = false;
  bool previewBlackAndWhite_ = false;
};

}  // namespace sortelia
